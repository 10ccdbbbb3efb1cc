#include "platform/db/SqlTokenizer.h"

#include "platform/db/SqlError.h"

namespace sql {

namespace {

bool isWordStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$' || c >= 0x80;
}

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool isWordChar(unsigned char c) { return isWordStart(c) || isDigit(c); }

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Length of a quoted token starting at i (quote included at both ends), or 0 when unterminated.
std::size_t quotedLength(std::string_view text, std::size_t i, std::string& value)
{
    const char q = text[i];
    value.clear();
    std::size_t j = i + 1;
    while (j < text.size()) {
        if (text[j] == q) {
            if (j + 1 < text.size() && text[j + 1] == q) {
                value += q;
                j += 2;
                continue;
            }
            return j + 1 - i;
        }
        value += text[j++];
    }
    return 0;
}

std::size_t numberLength(std::string_view text, std::size_t i)
{
    std::size_t j = i;
    while (j < text.size() && isDigit(static_cast<unsigned char>(text[j])))
        ++j;
    if (j < text.size() && text[j] == '.') {
        ++j;
        while (j < text.size() && isDigit(static_cast<unsigned char>(text[j])))
            ++j;
    }
    if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-'))
            ++k;
        if (k < text.size() && isDigit(static_cast<unsigned char>(text[k]))) {
            j = k;
            while (j < text.size() && isDigit(static_cast<unsigned char>(text[j])))
                ++j;
        }
    }
    return j - i;
}

std::size_t operatorLength(std::string_view text, std::size_t i)
{
    static constexpr std::string_view kTwo[] = {"<>", "!=", "<=", ">=", "||"};
    for (auto op : kTwo) {
        if (text.substr(i, 2) == op)
            return 2;
    }
    static constexpr std::string_view kOne = "=<>+-*/(),.;\\:";
    return kOne.find(text[i]) != std::string_view::npos ? 1 : 0;
}

}  // namespace

std::vector<Token> tokenize(std::string_view text)
{
    if (text.size() > kMaxStatementBytes)
        throw SqlError("statement longer than " + std::to_string(kMaxStatementBytes) + " bytes", text, 0);
    std::vector<Token> tokens;
    std::size_t i = 0;
    bool space = true;
    while (true) {
        while (i < text.size() && isSpace(static_cast<unsigned char>(text[i]))) {
            ++i;
            space = true;
        }
        Token t;
        t.offset = i;
        t.spaceBefore = space;
        space = false;
        if (i >= text.size()) {
            tokens.push_back(std::move(t));
            return tokens;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t len = 0;
        if (isWordStart(c)) {
            t.kind = TokenKind::Word;
            len = 1;
            while (i + len < text.size() && isWordChar(static_cast<unsigned char>(text[i + len])))
                ++len;
        } else if (isDigit(c) ||
                   (c == '.' && i + 1 < text.size() && isDigit(static_cast<unsigned char>(text[i + 1])))) {
            t.kind = TokenKind::Number;
            len = numberLength(text, i);
        } else if (c == '\'' || c == '"') {
            t.kind = c == '\'' ? TokenKind::String : TokenKind::Quoted;
            len = quotedLength(text, i, t.value);
            if (len == 0)
                throw SqlError(c == '\'' ? "unterminated string" : "unterminated quoted name", text, i);
        } else {
            t.kind = TokenKind::Operator;
            len = operatorLength(text, i);
            if (len == 0)
                throw SqlError("unexpected character '" + std::string(1, static_cast<char>(c)) + "'", text, i);
        }
        t.text = std::string(text.substr(i, len));
        if (t.kind != TokenKind::String && t.kind != TokenKind::Quoted)
            t.value = t.text;
        tokens.push_back(std::move(t));
        i += len;
    }
}

}  // namespace sql
