// The error of the local SQL translator: an engine error whose message names the place in the statement
// text (line and column, counted from 1; columns count characters, not bytes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/db/Exception.h"

namespace sql {

class SqlError : public EDatabaseError {
public:
    // what: the fault ("Unterminated string"); text and offset: the statement and the byte where it lies.
    SqlError(const std::string& what, std::string_view text, std::size_t offset);

    std::string What;   // the fault without its position
    std::size_t Offset; // byte offset into the statement text
    int Line, Column;
};

// Line and column (from 1) of a byte offset; the column counts UTF-8 characters.
void lineColumn(std::string_view text, std::size_t offset, int& line, int& column);

}  // namespace sql
