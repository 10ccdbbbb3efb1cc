// Tokenizer, parser and evaluator of report expressions.
#include "platform/report/Expression.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/report/ValueFormat.h"

namespace report {

EExpressionError::EExpressionError(const std::string& message, std::size_t pos)
    : Exception(message + " (position " + std::to_string(pos + 1) + ")"), Position(pos)
{
}

namespace {

bool identStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool identChar(unsigned char c) { return identStart(c) || std::isdigit(c); }

}  // namespace

std::vector<ExprToken> tokenizeExpression(std::string_view text)
{
    std::vector<ExprToken> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        ExprToken tok;
        tok.pos = i;
        if (identStart(c)) {
            std::size_t j = i;
            while (j < text.size() && identChar(static_cast<unsigned char>(text[j]))) {
                ++j;
            }
            tok.kind = ExprToken::Ident;
            tok.text = std::string(text.substr(i, j - i));
            i = j;
        } else if (std::isdigit(c)) {
            std::size_t j = i;
            while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) {
                ++j;
            }
            tok.kind = ExprToken::Number;
            tok.text = std::string(text.substr(i, j - i));
            i = j;
        } else if (c == '\'') {
            std::string s;
            std::size_t j = i + 1;
            for (;;) {
                if (j >= text.size()) {
                    throw EExpressionError("Unterminated string in expression", i);
                }
                if (text[j] == '\'') {
                    if (j + 1 < text.size() && text[j + 1] == '\'') {
                        s += '\'';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                s += text[j++];
            }
            tok.kind = ExprToken::String;
            tok.text = std::move(s);
            i = j;
        } else {
            switch (c) {
            case '(': tok.kind = ExprToken::LParen; break;
            case ')': tok.kind = ExprToken::RParen; break;
            case ',': tok.kind = ExprToken::Comma; break;
            case '.': tok.kind = ExprToken::Dot; break;
            case '+': tok.kind = ExprToken::Plus; break;
            case '=': tok.kind = ExprToken::Equal; break;
            default: throw EExpressionError(std::string("Unexpected character '") + char(c) + "' in expression", i);
            }
            tok.text = std::string(1, char(c));
            ++i;
        }
        out.push_back(std::move(tok));
    }
    ExprToken end;
    end.pos = text.size();
    out.push_back(end);
    return out;
}

std::string exprValueText(const ExprValue& v)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return plainNumberText(*d);
    }
    if (const auto* b = std::get_if<bool>(&v)) {
        return *b ? "True" : "False";
    }
    return {};
}

struct Expression::Node {
    enum Kind { Constant, Field, Add, Equal, If };
    Kind kind = Constant;
    ExprValue value;
    std::string table, field;
    std::vector<std::unique_ptr<Node>> args;
};

namespace {

using Node = Expression::Node;

bool sameText(const std::string& a, const char* b)
{
    std::size_t n = 0;
    for (; b[n]; ++n) {
        if (n >= a.size() || std::toupper(static_cast<unsigned char>(a[n])) != b[n]) {
            return false;
        }
    }
    return n == a.size();
}

class Parser {
public:
    explicit Parser(std::vector<ExprToken> tokens) : toks_(std::move(tokens)) {}

    std::unique_ptr<Node> parseAll()
    {
        if (peek().kind == ExprToken::End) {
            return std::make_unique<Node>();
        }
        auto n = comparison(0);
        if (peek().kind != ExprToken::End) {
            throw EExpressionError("Unexpected '" + peek().text + "' in expression", peek().pos);
        }
        return n;
    }

private:
    static constexpr int kMaxDepth = 64;

    const ExprToken& peek() const { return toks_[at_]; }
    const ExprToken& take() { return toks_[at_ < toks_.size() - 1 ? at_++ : at_]; }
    void expect(ExprToken::Kind k, const char* what)
    {
        if (peek().kind != k) {
            throw EExpressionError(std::string("Expected ") + what + " in expression", peek().pos);
        }
        take();
    }

    std::unique_ptr<Node> comparison(int depth)
    {
        auto left = sum(depth);
        if (peek().kind == ExprToken::Equal) {
            take();
            auto n = std::make_unique<Node>();
            n->kind = Node::Equal;
            n->args.push_back(std::move(left));
            n->args.push_back(sum(depth));
            return n;
        }
        return left;
    }

    // A chain of "+" is one node holding every term, so that neither evaluation nor destruction recurses
    // once per term of a long chain.
    std::unique_ptr<Node> sum(int depth)
    {
        auto first = primary(depth);
        if (peek().kind != ExprToken::Plus) {
            return first;
        }
        auto n = std::make_unique<Node>();
        n->kind = Node::Add;
        n->args.push_back(std::move(first));
        while (peek().kind == ExprToken::Plus) {
            take();
            n->args.push_back(primary(depth));
        }
        return n;
    }

    std::unique_ptr<Node> primary(int depth)
    {
        if (depth > kMaxDepth) {
            throw EExpressionError("Expression nested too deeply", peek().pos);
        }
        const ExprToken& t = take();
        auto n = std::make_unique<Node>();
        switch (t.kind) {
        case ExprToken::String:
            n->value = t.text;
            return n;
        case ExprToken::Number: {
            char* end = nullptr;
            const double d = std::strtod(t.text.c_str(), &end);
            if (end != t.text.c_str() + t.text.size()) {
                throw EExpressionError("Bad number '" + t.text + "' in expression", t.pos);
            }
            n->value = d;
            return n;
        }
        case ExprToken::LParen: {
            auto inner = comparison(depth + 1);
            expect(ExprToken::RParen, "')'");
            return inner;
        }
        case ExprToken::Ident:
            if (peek().kind == ExprToken::LParen) {
                if (!sameText(t.text, "IF")) {
                    throw EExpressionError("Unknown function '" + t.text + "' in expression", t.pos);
                }
                take();
                n->kind = Node::If;
                n->args.push_back(comparison(depth + 1));
                expect(ExprToken::Comma, "','");
                n->args.push_back(comparison(depth + 1));
                expect(ExprToken::Comma, "','");
                n->args.push_back(comparison(depth + 1));
                expect(ExprToken::RParen, "')'");
                return n;
            }
            n->kind = Node::Field;
            if (peek().kind == ExprToken::Dot) {
                take();
                if (peek().kind != ExprToken::Ident) {
                    throw EExpressionError("Expected a field name in expression", peek().pos);
                }
                n->table = t.text;
                n->field = take().text;
            } else {
                n->field = t.text;
            }
            return n;
        default:
            throw EExpressionError(t.kind == ExprToken::End ? "Unexpected end of expression"
                                                            : "Unexpected '" + t.text + "' in expression",
                                   t.pos);
        }
    }

    std::vector<ExprToken> toks_;
    std::size_t at_ = 0;
};

bool truth(const ExprValue& v)
{
    if (const auto* b = std::get_if<bool>(&v)) {
        return *b;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return *d != 0;
    }
    if (const auto* s = std::get_if<std::string>(&v)) {
        return sameText(*s, "TRUE");
    }
    return false;
}

ExprValue eval(const Node& n, const FieldResolver& fields)
{
    switch (n.kind) {
    case Node::Constant:
        return n.value;
    case Node::Field:
        return fields(n.table, n.field);
    case Node::Add: {
        // left to right, as (a + b) + c: numbers add until a text joins, from then on the texts concatenate
        ExprValue sum = eval(*n.args[0], fields);
        for (std::size_t i = 1; i < n.args.size(); ++i) {
            const ExprValue b = eval(*n.args[i], fields);
            const auto* da = std::get_if<double>(&sum);
            const auto* db = std::get_if<double>(&b);
            if (da && db) {
                sum = *da + *db;
            } else if (auto* text = std::get_if<std::string>(&sum)) {
                *text += exprValueText(b);
            } else {
                sum = exprValueText(sum) + exprValueText(b);
            }
        }
        return sum;
    }
    case Node::Equal: {
        const ExprValue a = eval(*n.args[0], fields);
        const ExprValue b = eval(*n.args[1], fields);
        const auto* da = std::get_if<double>(&a);
        const auto* db = std::get_if<double>(&b);
        if (da && db) {
            return *da == *db;
        }
        return exprValueText(a) == exprValueText(b);
    }
    case Node::If:
        return truth(eval(*n.args[0], fields)) ? eval(*n.args[1], fields) : eval(*n.args[2], fields);
    }
    return {};
}

}  // namespace

Expression::Expression(std::string_view text) : root_(Parser(tokenizeExpression(text)).parseAll()) {}
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

ExprValue Expression::evaluate(const FieldResolver& fields) const { return eval(*root_, fields); }

}  // namespace report
