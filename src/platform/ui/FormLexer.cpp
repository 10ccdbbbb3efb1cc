#include "platform/ui/FormLexer.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace form {

namespace {

constexpr std::size_t kMaxToken = 64 * 1024;

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

void AppendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

Token MakeError(Position pos, std::string message)
{
    Token t;
    t.kind = TokenKind::Error;
    t.pos = pos;
    t.text = std::move(message);
    return t;
}

}  // namespace

const char* TokenName(TokenKind kind)
{
    switch (kind) {
    case TokenKind::End: return "end of file";
    case TokenKind::Identifier: return "a name";
    case TokenKind::Integer: return "a number";
    case TokenKind::Float: return "a number";
    case TokenKind::String: return "a text";
    case TokenKind::Colon: return "':'";
    case TokenKind::Equals: return "'='";
    case TokenKind::LBracket: return "'['";
    case TokenKind::RBracket: return "']'";
    case TokenKind::LParen: return "'('";
    case TokenKind::RParen: return "')'";
    case TokenKind::Comma: return "','";
    case TokenKind::Plus: return "'+'";
    case TokenKind::Error: return "an error";
    }
    return "?";
}

void Lexer::Advance()
{
    const char c = text_[at_++];
    if (c == '\n') {
        ++line_;
        col_ = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        ++col_;  // columns count characters, not UTF-8 bytes
    }
}

void Lexer::SkipBlanks()
{
    while (at_ < text_.size() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\r' || Peek() == '\n')) {
        Advance();
    }
}

Token Lexer::Next()
{
    SkipBlanks();
    const Position start{line_, col_};
    if (at_ >= text_.size()) {
        Token t;
        t.pos = start;
        return t;
    }
    const char c = Peek();
    if (IsIdentStart(c)) {
        Token t;
        t.kind = TokenKind::Identifier;
        t.pos = start;
        while (IsIdentChar(Peek()) || (Peek() == '.' && IsIdentStart(Peek(1)))) {
            t.text += Peek();
            Advance();
        }
        if (t.text.size() > 255) {
            return MakeError(start, "name too long");
        }
        return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || (c == '-' && std::isdigit(static_cast<unsigned char>(Peek(1))))) {
        return LexNumber(start);
    }
    if (c == '\'' || c == '#') {
        return LexString(start);
    }
    TokenKind kind = TokenKind::Error;
    switch (c) {
    case ':': kind = TokenKind::Colon; break;
    case '=': kind = TokenKind::Equals; break;
    case '[': kind = TokenKind::LBracket; break;
    case ']': kind = TokenKind::RBracket; break;
    case '(': kind = TokenKind::LParen; break;
    case ')': kind = TokenKind::RParen; break;
    case ',': kind = TokenKind::Comma; break;
    case '+': kind = TokenKind::Plus; break;
    default: break;
    }
    if (kind == TokenKind::Error) {
        std::string shown(1, c);
        if (static_cast<unsigned char>(c) >= 0x80) {
            shown = "a non-ASCII character";
        }
        Advance();
        return MakeError(start, "unexpected " + (shown.size() == 1 ? "'" + shown + "'" : shown));
    }
    Advance();
    Token t;
    t.kind = kind;
    t.pos = start;
    return t;
}

Token Lexer::LexNumber(Position start)
{
    std::string lit;
    if (Peek() == '-') {
        lit += '-';
        Advance();
    }
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
        lit += Peek();
        Advance();
    }
    bool isFloat = false;
    if (Peek() == '.' && std::isdigit(static_cast<unsigned char>(Peek(1)))) {
        isFloat = true;
        lit += '.';
        Advance();
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            lit += Peek();
            Advance();
        }
    }
    if (IsIdentChar(Peek())) {
        return MakeError(start, "bad number");
    }
    if (lit.size() > 40) {
        return MakeError(start, "number too long");
    }
    Token t;
    t.pos = start;
    t.text = lit;
    if (isFloat) {
        t.kind = TokenKind::Float;
        return t;
    }
    errno = 0;
    const long long v = std::strtoll(lit.c_str(), nullptr, 10);
    if (errno == ERANGE || v > INT_MAX || v < INT_MIN) {
        return MakeError(start, "number out of range");
    }
    t.kind = TokenKind::Integer;
    t.integer = v;
    return t;
}

Token Lexer::LexString(Position start)
{
    Token t;
    t.kind = TokenKind::String;
    t.pos = start;
    // A string is a run of quoted parts and #code characters without blanks in between ('a'#13'b').
    for (;;) {
        if (Peek() == '\'') {
            Advance();
            for (;;) {
                if (at_ >= text_.size() || Peek() == '\n') {
                    return MakeError(start, "text not closed");
                }
                if (Peek() == '\'') {
                    if (Peek(1) == '\'') {
                        t.text += '\'';
                        Advance();
                        Advance();
                        continue;
                    }
                    Advance();
                    break;
                }
                t.text += Peek();
                Advance();
            }
        } else if (Peek() == '#') {
            const Position at{line_, col_};
            Advance();
            unsigned cp = 0;
            int digits = 0;
            while (std::isdigit(static_cast<unsigned char>(Peek())) && digits < 8) {
                cp = cp * 10 + static_cast<unsigned>(Peek() - '0');
                Advance();
                ++digits;
            }
            if (digits == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                return MakeError(at, "bad character code");
            }
            AppendUtf8(t.text, cp);
        } else {
            break;
        }
        if (t.text.size() > kMaxToken) {
            return MakeError(start, "text too long");
        }
    }
    return t;
}

const char* KindName(Value::Kind kind)
{
    switch (kind) {
    case Value::Kind::Integer: return "a whole number";
    case Value::Kind::Float: return "a number";
    case Value::Kind::String: return "a text";
    case Value::Kind::Identifier: return "a name";
    case Value::Kind::Set: return "a set";
    case Value::Kind::List: return "a list";
    }
    return "?";
}

}  // namespace form
