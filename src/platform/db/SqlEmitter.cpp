#include "platform/db/SqlEmitter.h"

namespace sql {

namespace {

std::string quoted(std::string_view s, char q)
{
    std::string out(1, q);
    for (char c : s) {
        out += c;
        if (c == q)
            out += q;
    }
    out += q;
    return out;
}

}  // namespace

std::string Emitter::quoteIdentifier(std::string_view name) { return quoted(name, '"'); }

std::string Emitter::quoteLiteral(std::string_view value) { return quoted(value, '\''); }

void Emitter::token(std::string_view text, std::size_t sourceOffset)
{
    if (text.empty())
        return;
    if (!text_.empty()) {
        const char last = text_.back();
        const char first = text.front();
        const bool glue = last == '(' || last == '.' || first == ')' || first == ',' || first == '.';
        if (!glue)
            text_ += ' ';
    }
    map_.emplace_back(text_.size(), sourceOffset);
    text_ += text;
}

void Emitter::glued(std::string_view text, std::size_t sourceOffset)
{
    map_.emplace_back(text_.size(), sourceOffset);
    text_ += text;
}

void Emitter::identifier(std::string_view name, std::size_t sourceOffset)
{
    token(quoteIdentifier(name), sourceOffset);
}

void Emitter::literal(std::string_view value, std::size_t sourceOffset)
{
    token(quoteLiteral(value), sourceOffset);
}

}  // namespace sql
