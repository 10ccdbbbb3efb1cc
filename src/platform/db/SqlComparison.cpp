// Column-with-literal comparisons in a statement's tokens, for the engine's check of the literal's type.
#include "platform/db/SqlComparison.h"

#include <algorithm>

#include "platform/db/SqlKeywords.h"

namespace sql {

namespace {

bool isComparison(const Token& t)
{
    return t.is("=") || t.is("<>") || t.is("!=") || t.is("<") || t.is(">") || t.is("<=") || t.is(">=");
}

bool isKeyword(const Token& t) { return t.kind == TokenKind::Word && keywordOf(t.text) != Keyword::None; }

struct Tokens {
    const std::vector<Token>& all;
    std::size_t begin, end;  // the expression's first token; the first token read as the end

    bool in(std::size_t i) const { return i >= begin && i < end; }
    // Token i starts an operand: nothing of the expression stands right before it.
    bool startsOperand(std::size_t i) const
    {
        if (i == begin)
            return true;
        const Token& before = all[i - 1];
        return before.is("(") || before.is(",") || isKeyword(before);
    }
    // Token i ends an operand: nothing of the expression follows it.
    bool endsOperand(std::size_t i) const
    {
        if (!in(i + 1))
            return true;
        const Token& next = all[i + 1];
        return next.kind == TokenKind::End || next.is(")") || next.is(",") || next.is(";") || isKeyword(next);
    }
    // A string: a quoted token anywhere but after a '.', where it names a column.
    bool isLiteral(std::size_t i) const
    {
        const Token& t = all[i];
        return t.kind == TokenKind::String || (t.kind == TokenKind::Quoted && !(i > begin && all[i - 1].is(".")));
    }
    // A plain column in tokens [first, last]: a name, or an alias, a '.' and a name.
    bool column(std::size_t first, std::size_t last, LiteralComparison& c) const
    {
        const Token& name = all[last];
        const bool named = (name.kind == TokenKind::Word && !isKeyword(name)) ||
                           (name.kind == TokenKind::Quoted && last > first && all[last - 1].is("."));
        if (!named)
            return false;
        if (first != last && (first + 2 != last || !all[first + 1].is(".") ||
                              all[first].kind != TokenKind::Word || isKeyword(all[first])))
            return false;
        c.column = name.value;
        c.qualifier = first == last ? std::string() : all[first].text;
        return true;
    }
};

}  // namespace

std::optional<LiteralComparison> literalComparison(const std::vector<Token>& tokens, std::size_t op,
                                                   std::size_t begin, std::size_t limit)
{
    const Tokens t{tokens, begin, std::min(limit, tokens.size())};
    if (!t.in(op) || op == begin || !t.in(op + 1) || !isComparison(tokens[op]))
        return std::nullopt;
    LiteralComparison c;
    std::size_t literal = 0;
    const std::size_t left = op >= begin + 3 && tokens[op - 2].is(".") ? op - 3 : op - 1;
    const std::size_t right = t.in(op + 3) && tokens[op + 2].is(".") ? op + 3 : op + 1;
    if (t.isLiteral(op + 1) && t.endsOperand(op + 1) && t.startsOperand(left) && t.column(left, op - 1, c))
        literal = op + 1;
    else if (t.isLiteral(op - 1) && t.startsOperand(op - 1) && t.endsOperand(right) && t.column(op + 1, right, c))
        literal = op - 1;
    else
        return std::nullopt;
    c.literal = tokens[literal].value;
    c.offset = tokens[literal].offset;
    return c;
}

}  // namespace sql
