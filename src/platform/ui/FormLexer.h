// Tokenizer of window descriptions: a pure function from text and offset to the next token. Strings are
// single-quoted UTF-8 with '' for a quote; #nnn adds a character by its code point; identifiers may be dotted.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/FormSyntax.h"

namespace form {

enum class TokenKind { End, Identifier, Integer, Float, String, Colon, Equals, LBracket, RBracket, LParen, RParen,
                       Comma, Plus, Error };

struct Token {
    TokenKind kind = TokenKind::End;
    Position pos;
    std::string text;  // identifier, decoded string, number as written, or the error message
    long long integer = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}
    Token Next();

private:
    char Peek(std::size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
    void Advance();
    void SkipBlanks();
    Token LexString(Position start);
    Token LexNumber(Position start);

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1, col_ = 1;
};

const char* TokenName(TokenKind kind);

}  // namespace form
