// The statement recogniser: walks the tokens of one statement, finds the table positions and the select
// list, and hands every other token to the emitter translated one by one. It checks the structure it needs
// (table names, parentheses, clause order); what it passes on unchanged SQLite checks when preparing.
#include "platform/db/SqlTranslate.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "platform/db/SqlComparison.h"
#include "platform/db/SqlEmitter.h"
#include "platform/db/SqlKeywords.h"
#include "platform/db/SqlTokenizer.h"

namespace sql {

namespace {

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Keywords that start or separate clauses: inside an expression they are a fault, not a word.
bool isClauseKeyword(Keyword k)
{
    switch (k) {
    case Keyword::Select: case Keyword::From: case Keyword::Where: case Keyword::Group: case Keyword::Order:
    case Keyword::Having: case Keyword::Union: case Keyword::Insert: case Keyword::Update:
    case Keyword::Delete: case Keyword::Set: case Keyword::Values: case Keyword::Into: case Keyword::Join:
    case Keyword::Left: case Keyword::Right: case Keyword::Full: case Keyword::Inner: case Keyword::Cross:
    case Keyword::Outer: case Keyword::On: case Keyword::By: case Keyword::Asc: case Keyword::Desc:
    case Keyword::As: case Keyword::For:
        return true;
    default:
        return false;
    }
}

// Tokens that may continue a bare file name when nothing separates them: tmp\kfq_1.db, c:\data\a.db.
bool continuesFileName(const Token& t)
{
    if (t.spaceBefore)
        return false;
    return t.kind == TokenKind::Word || t.kind == TokenKind::Number || t.is(".") || t.is("\\") ||
           t.is("/") || t.is(":") || t.is("-");
}

class Recogniser {
public:
    Recogniser(std::string_view text, const TranslateOptions& options, bool condition)
        : text_(text), tokens_(tokenize(text)), options_(options), condition_(condition)
    {
    }

    Translation statement()
    {
        Translation& r = result_;
        switch (keyword()) {
        case Keyword::Select:
            r.kind = StatementKind::Select;
            outermost_ = true;
            select();
            break;
        case Keyword::Insert:
            r.kind = StatementKind::Insert;
            insert();
            break;
        case Keyword::Update:
            r.kind = StatementKind::Update;
            update();
            break;
        case Keyword::Delete:
            r.kind = StatementKind::Delete;
            deleteFrom();
            break;
        default:
            if (peek().kind == TokenKind::End)
                fail("empty statement");
            fail("statement must begin with SELECT, INSERT, UPDATE or DELETE");
        }
        finish();
        r.sql = out_.text();
        r.positions = out_.map();
        return r;
    }

    std::string condition()
    {
        if (peek().kind == TokenKind::End)
            return {};
        expr({}, Comma::Stop);
        finish();
        return out_.text();
    }

private:
    enum class Comma { Stop, Continue };

    struct DepthGuard {
        explicit DepthGuard(Recogniser& r) : r_(r)
        {
            if (++r_.depth_ > kMaxDepth)
                r_.fail("nested deeper than " + std::to_string(kMaxDepth) + " levels");
        }
        ~DepthGuard() { --r_.depth_; }
        Recogniser& r_;
    };

    // --- token access -------------------------------------------------------------------------------

    const Token& peek(std::size_t ahead = 0) const
    {
        const std::size_t i = std::min(pos_ + ahead, limit_);
        return tokens_[std::min(i, tokens_.size() - 1)];
    }
    bool atEnd() const { return pos_ >= limit_ || peek().kind == TokenKind::End; }
    Keyword keyword(std::size_t ahead = 0) const
    {
        const Token& t = peek(ahead);
        if (pos_ + ahead >= limit_ || t.kind != TokenKind::Word)
            return Keyword::None;
        return keywordOf(t.text);
    }
    bool at(Keyword k, std::size_t ahead = 0) const { return keyword(ahead) == k; }
    bool atOp(std::string_view op) const { return !atEnd() && peek().is(op); }

    [[noreturn]] void fail(const std::string& what) const { fail(what, peek().offset); }
    [[noreturn]] void fail(const std::string& what, std::size_t offset) const
    {
        throw SqlError(what, text_, offset);
    }
    [[noreturn]] void unexpected() const
    {
        if (atEnd())
            fail("unexpected end of statement");
        fail("unexpected '" + peek().text + "'");
    }

    void emitKeyword()
    {
        out_.token(keywordText(keyword()), peek().offset);
        ++pos_;
    }
    void expectKeyword(Keyword k)
    {
        if (!at(k))
            fail(std::string(keywordText(k)) + " expected" + (atEnd() ? "" : " before '" + peek().text + "'"));
        emitKeyword();
    }
    void expectOp(std::string_view op)
    {
        if (!atOp(op))
            fail("'" + std::string(op) + "' expected" + (atEnd() ? "" : " before '" + peek().text + "'"));
        out_.token(op, peek().offset);
        ++pos_;
    }
    bool isName(std::size_t ahead = 0) const
    {
        return pos_ + ahead < limit_ && peek(ahead).kind == TokenKind::Word && keyword(ahead) == Keyword::None;
    }

    void finish()
    {
        if (atOp(";"))
            ++pos_;
        if (!atEnd())
            unexpected();
    }

    // --- statements ---------------------------------------------------------------------------------

    void select()
    {
        DepthGuard guard(*this);
        const bool outermost = outermost_;
        outermost_ = false;
        expectKeyword(Keyword::Select);
        if (at(Keyword::Distinct) || at(Keyword::All))
            emitKeyword();
        selectList(outermost);
        if (at(Keyword::From)) {
            emitKeyword();
            tableList();
        }
        if (at(Keyword::Where)) {
            emitKeyword();
            required({Keyword::Group, Keyword::Having, Keyword::Order, Keyword::Union}, Comma::Stop, "condition");
        }
        if (at(Keyword::Group)) {
            emitKeyword();
            expectKeyword(Keyword::By);
            required({Keyword::Having, Keyword::Order, Keyword::Union}, Comma::Continue, "group list");
        }
        if (at(Keyword::Having)) {
            emitKeyword();
            required({Keyword::Order, Keyword::Union}, Comma::Stop, "condition");
        }
        if (at(Keyword::Union)) {
            emitKeyword();
            if (at(Keyword::All))
                emitKeyword();
            select();
            return;
        }
        if (at(Keyword::Order)) {
            emitKeyword();
            expectKeyword(Keyword::By);
            orderList();
        }
    }

    void insert()
    {
        expectKeyword(Keyword::Insert);
        expectKeyword(Keyword::Into);
        result_.target = tableRef(Alias::None);
        if (atOp("(") && !at(Keyword::Select, 1)) {
            expectOp("(");
            while (true) {
                const Token& t = peek();
                if (isName())
                    out_.identifier(t.text, t.offset);
                else if (t.kind == TokenKind::Quoted && !atEnd())
                    out_.identifier(t.value, t.offset);
                else
                    fail("column name expected");
                ++pos_;
                if (!atOp(","))
                    break;
                expectOp(",");
            }
            expectOp(")");
        }
        if (at(Keyword::Values)) {
            emitKeyword();
            required({}, Comma::Continue, "values");
        } else if (at(Keyword::Select)) {
            select();
        } else {
            fail("VALUES or SELECT expected");
        }
    }

    void update()
    {
        expectKeyword(Keyword::Update);
        result_.target = tableRef(Alias::Allowed);
        expectKeyword(Keyword::Set);
        // Assignments: name = expression, separated by commas ("= NULL" here stores an empty value).
        while (true) {
            if (!isName())
                fail(atEnd() ? "column name expected" : "column name expected before '" + peek().text + "'");
            out_.identifier(peek().text, peek().offset);
            ++pos_;
            expectOp("=");
            required({Keyword::Where}, Comma::Stop, "value");
            if (!atOp(","))
                break;
            expectOp(",");
        }
        if (at(Keyword::Where)) {
            emitKeyword();
            required({}, Comma::Stop, "condition");
        }
    }

    void deleteFrom()
    {
        expectKeyword(Keyword::Delete);
        expectKeyword(Keyword::From);
        result_.target = tableRef(Alias::Allowed);
        if (at(Keyword::Where)) {
            emitKeyword();
            required({}, Comma::Stop, "condition");
        }
    }

    // --- select list --------------------------------------------------------------------------------

    // End (exclusive) of the select-list item that starts at pos_.
    std::size_t itemEnd() const
    {
        int depth = 0;
        std::size_t i = pos_;
        for (; i < tokens_.size() && tokens_[i].kind != TokenKind::End; ++i) {
            const Token& t = tokens_[i];
            if (t.is("("))
                ++depth;
            else if (t.is(")")) {
                if (depth == 0)
                    break;
                --depth;
            } else if (depth == 0 && (t.is(",") || t.is(";")))
                break;
            else if (depth == 0 && t.kind == TokenKind::Word && keywordOf(t.text) == Keyword::From)
                break;
        }
        return i;
    }

    static bool endsExpression(const Token& t)
    {
        if (t.kind == TokenKind::Word) {
            const Keyword k = keywordOf(t.text);
            return k == Keyword::None || k == Keyword::Null || k == Keyword::End;
        }
        return t.kind == TokenKind::Number || t.kind == TokenKind::String || t.kind == TokenKind::Quoted ||
               t.is(")");
    }

    void selectList(bool outermost)
    {
        bool star = false;
        while (true) {
            const std::size_t begin = pos_;
            const std::size_t end = itemEnd();
            if (begin == end)
                fail(atEnd() ? "select list expected" : "select list item expected before '" + peek().text + "'");
            // An alias: AS name, or a name right after something that ends an expression.
            std::size_t exprEnd = end;
            const Token* alias = nullptr;
            const Token& last = tokens_[end - 1];
            const bool lastIsName = (last.kind == TokenKind::Word && keywordOf(last.text) == Keyword::None) ||
                                    last.kind == TokenKind::Quoted;
            if (lastIsName && end - begin >= 2) {
                const Token& before = tokens_[end - 2];
                if (before.kind == TokenKind::Word && keywordOf(before.text) == Keyword::As) {
                    alias = &last;
                    exprEnd = end - 2;
                } else if (endsExpression(before)) {
                    alias = &last;
                    exprEnd = end - 1;
                }
            }
            if (exprEnd == begin)
                fail("expression expected before '" + tokens_[exprEnd].text + "'", tokens_[exprEnd].offset);
            const bool isStar = tokens_[exprEnd - 1].is("*") &&
                                (exprEnd - begin == 1 || (exprEnd - begin == 3 && tokens_[begin + 1].is(".")));
            const bool isColumn = (exprEnd - begin == 1 && tokens_[begin].kind == TokenKind::Word) ||
                                  (exprEnd - begin == 3 && tokens_[begin].kind == TokenKind::Word &&
                                   tokens_[begin + 1].is(".") && tokens_[begin + 2].kind == TokenKind::Word);
            star = star || isStar;
            if (outermost && !isStar)
                result_.columns.push_back(isColumn ? AnswerColumn{ColumnHint::Source, {}, {}}
                                                   : answerOf(begin, exprEnd));

            if (isStar) {
                if (exprEnd - begin == 3) {
                    out_.identifier(tokens_[begin].text, tokens_[begin].offset);
                    out_.token(".", tokens_[begin + 1].offset);
                }
                out_.token("*", tokens_[exprEnd - 1].offset);
                pos_ = exprEnd;
            } else {
                const std::size_t saved = limit_;
                limit_ = exprEnd;
                expr({}, Comma::Stop);
                if (pos_ != exprEnd)
                    unexpected();
                limit_ = saved;
            }
            if (alias) {
                out_.token("AS", alias->offset);
                out_.identifier(alias->kind == TokenKind::Quoted ? alias->value : alias->text, alias->offset);
            } else if (!isStar && !isColumn) {
                out_.token("AS", tokens_[begin].offset);
                out_.identifier(sourceText(begin, exprEnd), tokens_[begin].offset);
            }
            pos_ = end;
            if (!atOp(","))
                break;
            expectOp(",");
        }
        if (star)
            result_.columns.clear();
    }

    // The statement text of tokens [begin, end), runs of white space as one blank.
    std::string sourceText(std::size_t begin, std::size_t end) const
    {
        std::string s;
        for (std::size_t i = begin; i < end; ++i) {
            if (i > begin && tokens_[i].spaceBefore)
                s += ' ';
            s += tokens_[i].text;
        }
        return s;
    }

    AnswerColumn answerOf(std::size_t begin, std::size_t end) const
    {
        const Token& first = tokens_[begin];
        if (first.kind == TokenKind::String || (first.kind == TokenKind::Quoted && end - begin == 1))
            return {ColumnHint::Text, {}, {}};
        for (std::size_t i = begin; i < end; ++i) {
            if (tokens_[i].is("||"))
                return {ColumnHint::Text, {}, {}};
        }
        if (first.kind == TokenKind::Word && end - begin >= 3 && tokens_[begin + 1].is("(") &&
            tokens_[end - 1].is(")") && matchingParen(begin + 1) == end - 1) {
            const std::string f = lower(first.text);
            if (f == "count")
                return {ColumnHint::Integer, {}, {}};
            if (f == "sum" || f == "avg")
                return {ColumnHint::Float, {}, {}};
            if (f == "substring" || f == "substr" || f == "upper" || f == "lower" || f == "trim")
                return {ColumnHint::Text, {}, {}};
            const std::size_t args = end - begin - 3;  // tokens between the parentheses
            const auto isWord = [this](std::size_t i) {
                return tokens_[i].kind == TokenKind::Word && keywordOf(tokens_[i].text) == Keyword::None;
            };
            if (f == "min" || f == "max") {
                if (args == 1 && isWord(begin + 2))
                    return {ColumnHint::Argument, {}, tokens_[begin + 2].text};
                if (args == 3 && isWord(begin + 2) && tokens_[begin + 3].is(".") && isWord(begin + 4))
                    return {ColumnHint::Argument, tokens_[begin + 2].text, tokens_[begin + 4].text};
            }
        }
        return {ColumnHint::Values, {}, {}};
    }

    std::size_t matchingParen(std::size_t open) const
    {
        int depth = 0;
        for (std::size_t i = open; i < tokens_.size(); ++i) {
            if (tokens_[i].is("("))
                ++depth;
            else if (tokens_[i].is(")") && --depth == 0)
                return i;
        }
        return tokens_.size();
    }

    // --- table lists --------------------------------------------------------------------------------

    enum class Alias { None, Allowed };

    void tableList()
    {
        tableRef(Alias::Allowed);
        while (true) {
            if (atOp(",")) {
                expectOp(",");
                tableRef(Alias::Allowed);
                continue;
            }
            if (!joinKeywords())
                break;
            tableRef(Alias::Allowed);
            if (at(Keyword::On)) {
                emitKeyword();
                required({Keyword::Where, Keyword::Group, Keyword::Having, Keyword::Order, Keyword::Union,
                      Keyword::Left, Keyword::Right, Keyword::Full, Keyword::Inner, Keyword::Cross,
                      Keyword::Join},
                         Comma::Stop, "join condition");
            }
        }
    }

    // [LEFT|RIGHT|FULL [OUTER] | INNER | CROSS] JOIN; false when no join starts here.
    bool joinKeywords()
    {
        const Keyword k = keyword();
        if (k == Keyword::Left || k == Keyword::Right || k == Keyword::Full) {
            emitKeyword();
            if (at(Keyword::Outer))
                emitKeyword();
        } else if (k == Keyword::Inner || k == Keyword::Cross) {
            emitKeyword();
        } else if (k != Keyword::Join) {
            return false;
        }
        expectKeyword(Keyword::Join);
        return true;
    }

    // A table position: a quoted or bare file name, or a subquery, with its alias. Returns the file's index
    // in the translation's files (-1 for a subquery).
    int tableRef(Alias aliasRule)
    {
        int index = -1;
        const Token& first = peek();
        if (condition_)
            fail("a table has no place in a condition");
        if (atOp("(") && at(Keyword::Select, 1)) {
            expectOp("(");
            select();
            expectOp(")");
        } else {
            std::string name;
            if (!atEnd() && first.kind == TokenKind::Quoted) {
                name = first.value;
                ++pos_;
            } else if (!atEnd() && ((first.kind == TokenKind::Word && keywordOf(first.text) == Keyword::None) ||
                                    first.kind == TokenKind::Number || first.is("\\") || first.is("/") ||
                                    first.is("."))) {
                std::size_t i = pos_ + 1;
                while (i < limit_ && continuesFileName(tokens_[i]))
                    ++i;
                name = std::string(text_.substr(first.offset, tokens_[i - 1].endOffset() - first.offset));
                pos_ = i;
            } else {
                fail(atEnd() ? "table name expected" : "table name expected before '" + first.text + "'");
            }
            if (name.empty())
                fail("empty table name", first.offset);
            index = addFile(name, first.offset);
            const FileRef& f = result_.files[static_cast<std::size_t>(index)];
            out_.token(Emitter::quoteIdentifier(f.schema) + "." + Emitter::quoteIdentifier(options_.innerTable),
                       first.offset);
        }
        if (aliasRule == Alias::Allowed) {
            if (at(Keyword::As)) {
                ++pos_;
                if (!isName())
                    fail("alias expected");
            }
            if (isName()) {
                out_.token("AS", peek().offset);
                out_.identifier(peek().text, peek().offset);
                if (index >= 0)
                    result_.aliases.emplace_back(peek().text, index);
                ++pos_;
            }
        }
        return index;
    }

    int addFile(const std::string& name, std::size_t offset)
    {
        const std::string key = options_.fileKey ? options_.fileKey(name) : normalFileName(name);
        auto& files = result_.files;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].key == key)
                return static_cast<int>(i);
        }
        if (files.size() >= kMaxFiles)
            fail("more than " + std::to_string(kMaxFiles) + " table files in one statement", offset);
        files.push_back({name, key, "vq" + std::to_string(files.size() + 1), offset});
        return static_cast<int>(files.size() - 1);
    }

    // --- expressions --------------------------------------------------------------------------------

    void orderList()
    {
        while (true) {
            const std::size_t begin = pos_;
            expr({Keyword::Asc, Keyword::Desc, Keyword::Union}, Comma::Stop);
            if (pos_ == begin)
                unexpected();
            if (!options_.orderCollation.empty()) {
                out_.token("COLLATE", peek().offset);
                out_.identifier(options_.orderCollation, peek().offset);
            }
            if (at(Keyword::Asc) || at(Keyword::Desc))
                emitKeyword();
            if (!atOp(","))
                break;
            expectOp(",");
        }
    }

    // Copies an expression (or a list of them with Comma::Continue) up to the end, a ')' that closes an
    // outer parenthesis, a ';', or a keyword of stops.
    void expr(std::initializer_list<Keyword> stops, Comma comma)
    {
        DepthGuard guard(*this);
        const std::size_t begin = pos_;
        while (!atEnd()) {
            const Token& t = peek();
            if (t.is(")") || t.is(";") || (comma == Comma::Stop && t.is(",")))
                break;
            if (t.kind == TokenKind::Word) {
                const Keyword k = keywordOf(t.text);
                if (std::find(stops.begin(), stops.end(), k) != stops.end())
                    break;
                if (k != Keyword::None) {
                    if (isClauseKeyword(k))
                        unexpected();
                    emitKeyword();
                } else if (peek(1).is("(") && pos_ + 1 < limit_) {
                    call();
                } else {
                    out_.identifier(t.text, t.offset);
                    ++pos_;
                }
                continue;
            }
            switch (t.kind) {
            case TokenKind::Quoted:
                // After a '.' a double-quoted token is a column name; anywhere else a string.
                if (pos_ > begin && tokens_[pos_ - 1].is("."))
                    out_.identifier(t.value, t.offset);
                else
                    out_.literal(t.value, t.offset);
                ++pos_;
                break;
            case TokenKind::String:
                out_.literal(t.value, t.offset);
                ++pos_;
                break;
            case TokenKind::Number:
                out_.token(t.text, t.offset);
                ++pos_;
                break;
            default:
                if (auto c = literalComparison(tokens_, pos_, begin, limit_))
                    result_.comparisons.push_back(std::move(*c));
                if (t.is("(")) {
                    if (at(Keyword::Select, 1)) {
                        if (condition_)
                            fail("a subquery has no place in a condition", peek(1).offset);
                        expectOp("(");
                        select();
                    } else {
                        expectOp("(");
                        expr({}, Comma::Continue);
                    }
                    expectOp(")");
                } else if ((t.is("=") || t.is("<>") || t.is("!=")) && at(Keyword::Null, 1)) {
                    // "x = NULL" asks whether x is empty, as the engine always read it.
                    out_.token(t.is("=") ? "IS" : "IS NOT", t.offset);
                    ++pos_;
                } else if (t.is("!=")) {
                    out_.token("<>", t.offset);
                    ++pos_;
                } else if (t.is("/")) {
                    // Division is on numbers, never integer division: 7/2 is 3.5. Multiplying the left operand
                    // chain by 1.0 keeps the grouping (* and / bind alike, from the left).
                    out_.token("* 1.0 /", t.offset);
                    ++pos_;
                } else if (t.is("\\") || t.is(":")) {
                    unexpected();
                } else {
                    out_.token(t.text, t.offset);
                    ++pos_;
                }
            }
        }
    }

    // An expression that must not be empty: what names the missing part in the message.
    void required(std::initializer_list<Keyword> stops, Comma comma, const char* what)
    {
        const std::size_t begin = pos_;
        expr(stops, comma);
        if (pos_ == begin)
            fail(std::string(what) + " expected" + (atEnd() ? "" : " before '" + peek().text + "'"));
    }

    // A function call name(...); SUBSTRING(x FROM a FOR b) becomes substr(x, a, b).
    void call()
    {
        DepthGuard guard(*this);
        const Token& name = peek();
        if (lower(name.text) == "mod") {
            modulo();
            return;
        }
        const bool substring = lower(name.text) == "substring";
        out_.token(substring ? std::string("substr") : lower(name.text), name.offset);
        ++pos_;
        out_.glued("(", peek().offset);
        ++pos_;
        if (substring) {
            while (true) {
                const std::size_t begin = pos_;
                expr({Keyword::From, Keyword::For}, Comma::Stop);
                if (pos_ == begin)
                    unexpected();
                if (at(Keyword::From) || at(Keyword::For) || atOp(",")) {
                    out_.token(",", peek().offset);
                    ++pos_;
                    continue;
                }
                break;
            }
        } else {
            expr({}, Comma::Continue);
        }
        expectOp(")");
    }

    // MOD(a, b): the remainder of a divided by b, both taken as whole numbers (their fractions dropped, a
    // text read as the number it begins with), with the sign of a; null when b is 0 or either is null. It
    // becomes SQLite's % operator, whatever functions the SQLite library was built with.
    void modulo()
    {
        const std::size_t at = peek().offset;
        ++pos_;
        ++pos_;  // the '(' that made this a call
        out_.token("((", at);
        const std::size_t first = pos_;
        expr({}, Comma::Stop);
        if (pos_ == first || !atOp(","))
            fail("MOD takes two numbers: MOD(a, b)", at);
        ++pos_;
        out_.glued(") % (", at);
        const std::size_t second = pos_;
        expr({}, Comma::Stop);
        if (pos_ == second || !atOp(")"))
            fail("MOD takes two numbers: MOD(a, b)", at);
        out_.glued("))", peek().offset);
        ++pos_;
    }

    std::string_view text_;
    std::vector<Token> tokens_;
    const TranslateOptions& options_;
    bool condition_;
    std::size_t pos_ = 0;
    std::size_t limit_ = static_cast<std::size_t>(-1);  // tokens at or after it read as the end
    int depth_ = 0;
    bool outermost_ = false;
    Emitter out_;
    Translation result_;
};

}  // namespace

std::size_t Translation::sourceOffset(std::size_t sqlOffset) const
{
    auto it = std::upper_bound(positions.begin(), positions.end(), sqlOffset,
                               [](std::size_t off, const auto& p) { return off < p.first; });
    if (it == positions.begin())
        return positions.empty() ? 0 : positions.front().second;
    return std::prev(it)->second;
}

std::string normalFileName(const std::string& name)
{
    std::string s = lower(name);
    std::replace(s.begin(), s.end(), '\\', '/');
    const auto slash = s.find_last_of('/');
    const auto base = slash == std::string::npos ? 0 : slash + 1;
    if (s.find('.', base) == std::string::npos)
        s += ".db";
    return s;
}

Translation translateStatement(std::string_view text, const TranslateOptions& options)
{
    Recogniser r(text, options, false);
    return r.statement();
}

std::string TranslateCondition(const std::string& text)
{
    static const TranslateOptions kOptions;
    Recogniser r(text, kOptions, true);
    return r.condition();
}

}  // namespace sql
