// The record constraints of a table, checked at every store. Each constraint is a condition of the local SQL that
// SQLite evaluates on a one-row relation of the record's values, cast to the declared types of their fields, so
// that a rule means the same here as in a statement on the stored table ('1900'>=1949 included). All constraints
// go into one prepared statement, made again only when their texts change; the relation holds only the fields
// the conditions name, so that a store binds no others. A condition that is unknown (null) passes.
#include "platform/db/TableImpl.h"

namespace {

// The record as a relation: (SELECT CAST(?1 AS TEXT) AS "Id", ...) of the given fields. A bare value has no
// affinity, as a BLOB field has none.
std::string recordRelation(const db::TableSchema& schema, const std::vector<int>& fields)
{
    std::string cols;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const db::FieldDesc& f = schema.fields[static_cast<std::size_t>(fields[k])];
        const std::string param = std::to_string(k + 1);
        const std::string type = db::DeclaredType(f.type);
        cols += k ? ", " : "";
        if (type == "BLOB") {
            cols += "?" + param;
        } else {
            cols += "CAST(?" + param + " AS " + type + ")";
        }
        cols += " AS ";
        cols += db::QuoteIdentifier(f.name);
    }
    return "(SELECT " + (cols.empty() ? std::string("NULL") : cols) + ")";
}

// The text with its ASCII letters in lower case, as SQLite matches identifiers.
std::string folded(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string truth(const std::string& expr) { return "CASE WHEN (" + expr + ") THEN 1 WHEN NOT (" + expr + ") THEN 0 END"; }

// True when the statement's column col holds a definite false.
bool fails(db::Statement& st, int col)
{
    return sqlite3_column_type(st.get(), col) != SQLITE_NULL && st.columnInt(col) == 0;
}

// Runs the statement once; the first constraint it finds false, or -1. The statement is reset whatever happens.
int firstFailing(db::Statement& st, std::size_t count)
{
    int bad = -1;
    try {
        if (st.step()) {
            for (std::size_t i = 0; i < count && bad < 0; ++i) {
                if (fails(st, static_cast<int>(i)))
                    bad = static_cast<int>(i);
            }
        }
    } catch (...) {
        st.reset();
        throw;
    }
    st.reset();
    return bad;
}

}  // namespace

bool TTable::Impl::checkIsCurrent() const
{
    const TCheckConstraints& cs = owner->Constraints;
    if (static_cast<std::size_t>(cs.Count()) != checkTexts.size())
        return false;
    for (std::size_t i = 0; i < checkTexts.size(); ++i) {
        if (cs[static_cast<int>(i)].CustomConstraint != checkTexts[i])
            return false;
    }
    return true;
}

// Translates the constraints and prepares their statement on the relation of the fields they name; where some
// constraint does not prepare, each runs on its own, so that the constraints before the faulty one still come
// first.
void TTable::Impl::prepareCheck()
{
    const TCheckConstraints& cs = owner->Constraints;
    std::vector<std::string> texts, exprs;
    std::vector<int> which;
    for (int i = 0; i < cs.Count(); ++i) {
        texts.push_back(cs[i].CustomConstraint);
        std::string expr = translate(cs[i].CustomConstraint);
        if (!expr.empty()) {
            exprs.push_back(std::move(expr));
            which.push_back(i);
        }
    }
    checkStmt = db::Statement();
    checkExprs = std::move(exprs);
    checkWhich = std::move(which);
    checkFields.clear();
    checkSingly = false;
    std::string all;
    for (const std::string& expr : checkExprs)
        all += folded(expr) + "\n";
    for (std::size_t f = 0; f < schema.fields.size(); ++f) {
        // the name as the conditions have it, or quoted (a quote in it doubled)
        const std::string name = folded(schema.fields[f].name);
        if (all.find(name) != std::string::npos || all.find(db::QuoteIdentifier(name)) != std::string::npos)
            checkFields.push_back(static_cast<int>(f));
    }
    checkTexts = std::move(texts);
    if (checkExprs.empty())
        return;
    std::string sel;
    for (std::size_t i = 0; i < checkExprs.size(); ++i)
        sel += (i ? ", " : "") + truth(checkExprs[i]);
    try {
        checkStmt = db::Statement(conn.get(), "SELECT " + sel + " FROM " + recordRelation(schema, checkFields));
    } catch (const EDatabaseError&) {
        checkSingly = true;
    }
}

void TTable::Impl::checkConstraints(const std::vector<db::Variant>& buffer)
{
    if (owner->Constraints.Count() == 0)
        return;
    if (!checkIsCurrent())
        prepareCheck();
    if (checkExprs.empty())
        return;
    auto failed = [&](std::size_t i) {
        const std::string& text = owner->Constraints[checkWhich[i]].ErrorMessage;
        return EDatabaseError(text.empty() ? "记录不符合约束条件" : text);
    };
    auto bindRecord = [&](db::Statement& st) {
        for (std::size_t k = 0; k < checkFields.size(); ++k) {
            const auto f = static_cast<std::size_t>(checkFields[k]);
            st.bind(static_cast<int>(k + 1), f < buffer.size() ? db::ToStorage(buffer[f]) : db::Variant{});
        }
    };
    if (checkSingly) {
        for (std::size_t i = 0; i < checkExprs.size(); ++i) {
            db::Statement st(conn.get(), "SELECT " + truth(checkExprs[i]) + " FROM " + recordRelation(schema, checkFields));
            bindRecord(st);
            if (st.step() && fails(st, 0))
                throw failed(i);
        }
        return;
    }
    bindRecord(checkStmt);
    const int bad = firstFailing(checkStmt, checkExprs.size());
    if (bad >= 0)
        throw failed(static_cast<std::size_t>(bad));
}
