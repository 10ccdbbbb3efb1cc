// Loader of window descriptions: creates the nested components from the class registry into a root (a window
// or a report), sets their properties, resolves references and binds events to the root class's handlers.
// Every fault (unknown class, property, event or handler, a value of the wrong kind, a control in a place that
// cannot hold it, a duplicate name) raises EFormError with file:line:col before the window is used.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/Component.h"
#include "platform/ui/FormParser.h"
#include "platform/ui/Registry.h"

namespace form {

// Loads a parsed description into root, whose registered class is rootClass.
void Load(TComponent& root, const std::string& rootClass, const Document& doc);

// Parses and loads; fileName is used in messages.
void LoadText(TComponent& root, const std::string& rootClass, std::string_view text, const std::string& fileName);

// The text of the description resource of a class (":/forms/<class>.form"); raises EFormError when absent.
std::string ResourceText(const std::string& className, std::string* fileName = nullptr);

}  // namespace form
