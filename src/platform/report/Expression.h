// Expressions of printable expression components: field references ("Table1.YY", or a bare field of the
// report's data set), string and number constants, "+" (addition of numbers, otherwise concatenation), "="
// and IF(condition, then, else). The tokenizer is a pure function; the parser builds a small tree once, which
// is evaluated for every record against a resolver that reads the fields.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/db/Exception.h"

namespace report {

// A malformed expression, with the 0-based byte offset where it goes wrong.
class EExpressionError : public Exception {
public:
    EExpressionError(const std::string& message, std::size_t pos);
    std::size_t Position;
};

struct ExprToken {
    enum Kind { End, Ident, String, Number, LParen, RParen, Comma, Dot, Plus, Equal };
    Kind kind = End;
    std::string text;  // identifier as written, string without quotes, number as written
    std::size_t pos = 0;
};

// Splits an expression into tokens, ending with an End token; raises EExpressionError on a bad character
// or an unterminated string.
std::vector<ExprToken> tokenizeExpression(std::string_view text);

// Null, a truth value, a number or a text.
using ExprValue = std::variant<std::monostate, bool, double, std::string>;

// The text form of a value as printed: numbers in plain decimal, truth values "True"/"False".
std::string exprValueText(const ExprValue& v);

// Reads a field; table is empty for a bare field name. Raises when the table or field does not exist.
using FieldResolver = std::function<ExprValue(const std::string& table, const std::string& field)>;

class Expression {
public:
    // Parses; raises EExpressionError. An empty text is a valid expression whose value is null.
    explicit Expression(std::string_view text);
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    ExprValue evaluate(const FieldResolver& fields) const;

    struct Node;

private:
    std::unique_ptr<Node> root_;
};

}  // namespace report
