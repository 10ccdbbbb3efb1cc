// The record constraints of a table, checked at every store. Each constraint is a condition of the local SQL that
// SQLite evaluates on a one-row relation of the record's values, cast to the declared types of their fields, so
// that a rule means the same here as in a statement on the stored table ('1900'>=1949 included). All constraints
// go into one prepared statement, made again only when they change; a condition that is unknown (null) passes.
#include "platform/db/TableImpl.h"

namespace {

// The record as a relation: (SELECT CAST(?1 AS TEXT) AS "Id", ...). A bare value has no affinity, as a BLOB
// field has none.
std::string recordRelation(const db::TableSchema& schema)
{
    std::string cols;
    for (std::size_t i = 0; i < schema.fields.size(); ++i) {
        std::string param = "?" + std::to_string(i + 1);
        std::string type = db::DeclaredType(schema.fields[i].type);
        cols += (i ? ", " : "") + (type == "BLOB" ? param : "CAST(" + param + " AS " + type + ")") + " AS " +
                db::QuoteIdentifier(schema.fields[i].name);
    }
    return "(SELECT " + cols + ")";
}

std::string truth(const std::string& expr) { return "CASE WHEN (" + expr + ") THEN 1 WHEN NOT (" + expr + ") THEN 0 END"; }

// True when the statement's column col holds a definite false.
bool fails(db::Statement& st, int col) { return !db::isNull(st.column(col)) && st.columnInt(col) == 0; }

}  // namespace

void TTable::Impl::checkConstraints(const std::vector<db::Variant>& buffer)
{
    const TCheckConstraints& cs = owner->Constraints;
    if (cs.Count() == 0)
        return;
    std::vector<std::string> exprs;
    std::vector<const TCheckConstraint*> which;
    for (const auto& c : cs) {
        std::string expr = translate(c.CustomConstraint);
        if (!expr.empty()) {
            exprs.push_back(std::move(expr));
            which.push_back(&c);
        }
    }
    if (exprs.empty())
        return;
    auto failed = [&](std::size_t i) {
        const std::string& text = which[i]->ErrorMessage;
        return EDatabaseError(text.empty() ? "记录不符合约束条件" : text);
    };
    auto bindRecord = [&](db::Statement& st) {
        for (std::size_t i = 0; i < schema.fields.size(); ++i)
            st.bind(static_cast<int>(i + 1), i < buffer.size() ? db::ToStorage(buffer[i]) : db::Variant{});
    };
    if (exprs != checkExprs) {
        checkExprs = exprs;
        checkSingly = false;
        std::string sel;
        for (std::size_t i = 0; i < exprs.size(); ++i)
            sel += (i ? ", " : "") + truth(exprs[i]);
        try {
            checkStmt = db::Statement(conn.get(), "SELECT " + sel + " FROM " + recordRelation(schema));
        } catch (const EDatabaseError&) {
            checkStmt = db::Statement();
            checkSingly = true;  // the constraints before the faulty one still come first
        }
    }
    if (checkSingly) {
        for (std::size_t i = 0; i < exprs.size(); ++i) {
            db::Statement st(conn.get(), "SELECT " + truth(exprs[i]) + " FROM " + recordRelation(schema));
            bindRecord(st);
            if (st.step() && fails(st, 0))
                throw failed(i);
        }
        return;
    }
    bindRecord(checkStmt);
    int bad = -1;
    try {
        if (checkStmt.step()) {
            for (std::size_t i = 0; i < exprs.size() && bad < 0; ++i) {
                if (fails(checkStmt, static_cast<int>(i)))
                    bad = static_cast<int>(i);
            }
        }
    } catch (...) {
        checkStmt.reset();
        throw;
    }
    checkStmt.reset();
    if (bad >= 0)
        throw failed(static_cast<std::size_t>(bad));
}
