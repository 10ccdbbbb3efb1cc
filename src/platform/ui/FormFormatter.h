// The canonical text of a window description: two blanks of indent per level, properties before nested
// objects, texts in single quotes with control characters as #codes, lists one item per line. Tests compare
// every description file with its canonical text, so that the files stay in one shape.
#pragma once

#include <string>

#include "platform/ui/FormSyntax.h"

namespace form {

std::string Format(const Document& doc);
std::string QuoteText(const std::string& text);

}  // namespace form
