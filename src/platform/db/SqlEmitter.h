// The emitter of translated SQL: collects the SQLite text token by token and remembers, for every emitted
// token, where it came from in the statement, so that an error SQLite reports in the translated text can be
// shown at its place in the text the caller wrote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sql {

class Emitter {
public:
    // Appends one token (a blank before it where needed) that stands for source text at sourceOffset.
    void token(std::string_view text, std::size_t sourceOffset);
    // Appends a token right after the previous one, without a blank (the '(' of a call).
    void glued(std::string_view text, std::size_t sourceOffset);
    // Appends an identifier in SQLite quoting ("a""b").
    void identifier(std::string_view name, std::size_t sourceOffset);
    // Appends a string literal in SQLite quoting ('a''b').
    void literal(std::string_view value, std::size_t sourceOffset);

    const std::string& text() const { return text_; }
    const std::vector<std::pair<std::size_t, std::size_t>>& map() const { return map_; }

    static std::string quoteIdentifier(std::string_view name);
    static std::string quoteLiteral(std::string_view value);

private:
    std::string text_;
    std::vector<std::pair<std::size_t, std::size_t>> map_;  // (emitted offset, source offset), ascending
};

}  // namespace sql
