// Parser of window descriptions: tokens to the syntax tree.
//   object Name: Class  { Property = Value }  { object ... end }  end
//   Value: number | text { + text } | name | [name, ...] | ( value ... )
// Nesting and list sizes are limited; a fault raises EFormError with file:line:col.
#pragma once

#include <string>
#include <string_view>

#include "platform/db/Exception.h"
#include "platform/ui/FormLexer.h"
#include "platform/ui/FormSyntax.h"

// A fault in a window description, its message beginning with "file:line:col: ".
class EFormError : public Exception {
public:
    EFormError(const std::string& file, form::Position pos, const std::string& message);
    form::Position Where;
};

namespace form {

inline constexpr int kMaxDepth = 64;
inline constexpr std::size_t kMaxListItems = 10000;

Document Parse(std::string_view text, const std::string& fileName);

}  // namespace form
