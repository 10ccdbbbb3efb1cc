// The tokenizer of the local SQL dialect: a pure function from statement text to tokens with their byte
// positions. It knows nothing of statements; file names such as tmp\kfq_1.db come out as several adjacent
// tokens, which the recogniser joins in table positions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

enum class TokenKind {
    Word,      // a name or keyword: letters, digits, '_', '$' and any non-ASCII character
    Number,    // 12, 1.5, .5, 1e3
    String,    // '...' ('' inside stands for one quote)
    Quoted,    // "..." ("" inside stands for one quote): a file name, name or string by position
    Operator,  // = <> != < > <= >= + - * / || ( ) , . ; \ :
    End,       // after the last token; offset = text size
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;   // the source text of the token, quotes included
    std::string value;  // String and Quoted: the content without quotes; otherwise the text
    std::size_t offset = 0;  // byte offset of the first character
    bool spaceBefore = false;  // white space (or the start of the text) right before it

    std::size_t endOffset() const { return offset + text.size(); }
    bool is(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
};

// Statement texts longer than this are refused before tokenizing.
inline constexpr std::size_t kMaxStatementBytes = 1 << 20;

// Splits text into tokens, ending with one End token. Raises SqlError for an unterminated quote, a character
// that has no place in the dialect, or a text over kMaxStatementBytes.
std::vector<Token> tokenize(std::string_view text);

}  // namespace sql
