#include "platform/db/SqlStore.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/Messages.h"
#include "platform/db/TableStore.h"

namespace sql {

namespace {

void exec(sqlite3* c, const std::string& sql)
{
    const int rc = sqlite3_exec(c, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        db::ThrowSqliteError(c, rc);
}

bool anyRow(sqlite3* c, const std::string& sql)
{
    db::Statement s(c, sql);
    return s.step();
}

}  // namespace

// Makes what a statement wrote into table look as a table store leaves it, and refuses what a store would
// refuse: text loses trailing blanks, empty text becomes null and text longer than its field is cut (as in a
// batch move); a number or date field holding something else, a small integer outside -32768..32767, or a
// duplicate key (a blank key counting as one value), raises EDatabaseError.
void StoreAsTheTableDoes(sqlite3* c, const std::string& table, const db::TableSchema& schema,
                         const std::string& described)
{
    for (const auto& f : schema.fields) {
        const std::string col = db::QuoteIdentifier(f.name);
        switch (f.type) {
        case db::FieldType::String:
        case db::FieldType::Memo: {
            std::string value = "RTRIM(" + col + ")";
            std::string where = col + " = '' OR " + col + " GLOB '* '";
            if (f.type == db::FieldType::String && f.size > 0) {
                value = "RTRIM(substr(" + value + ", 1, " + std::to_string(f.size) + "))";
                where += " OR length(" + col + ") > " + std::to_string(f.size);
            }
            exec(c, "UPDATE " + table + " SET " + col + " = NULLIF(" + value + ", '') WHERE typeof(" + col +
                   ") = 'text' AND (" + where + ")");
            break;
        }
        case db::FieldType::Date:
            exec(c, "UPDATE " + table + " SET " + col + " = NULL WHERE " + col + " = ''");
            if (anyRow(c, "SELECT 1 FROM " + table + " WHERE " + col + " IS NOT NULL AND (typeof(" + col +
                                    ") <> 'text' OR " + col +
                                    " NOT GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]') LIMIT 1"))
                throw EDatabaseError(db::msg::InTable(described, "字段“" + f.name + "”的值不是有效的日期"));
            break;
        case db::FieldType::Float:
        case db::FieldType::Currency:
        case db::FieldType::Smallint:
        case db::FieldType::Integer:
        case db::FieldType::AutoInc:
        case db::FieldType::Boolean:
            exec(c, "UPDATE " + table + " SET " + col + " = NULL WHERE " + col + " = ''");
            if (anyRow(c, "SELECT 1 FROM " + table + " WHERE typeof(" + col +
                                    ") NOT IN ('integer', 'real', 'null') LIMIT 1"))
                throw EDatabaseError(db::msg::InTable(described, "字段“" + f.name + "”的值不是有效的数值"));
            if (f.type == db::FieldType::Smallint) {
                db::Statement wide(c, "SELECT " + col + " FROM " + table + " WHERE " + col + " < -32768 OR " + col +
                                          " > 32767 LIMIT 1");
                if (wide.step())
                    throw EDatabaseError(
                        db::msg::InTable(described, db::msg::OutOfRange(f.name, wide.columnInt(0), -32768, 32767)));
            }
            break;
        default:
            break;
        }
    }
    // Keys: the primary index first, then the unique secondary indexes; GROUP BY puts blank keys together.
    std::vector<const db::IndexDesc*> keys;
    if (const db::IndexDesc* pk = schema.primaryIndex())
        keys.push_back(pk);
    for (const auto& ix : schema.indexes) {
        if (!ix.primary && ix.unique)
            keys.push_back(&ix);
    }
    for (const db::IndexDesc* ix : keys) {
        if (ix->fields.empty())
            continue;
        std::string group;
        for (const auto& name : ix->fields) {
            if (!group.empty())
                group += ", ";
            group += db::QuoteIdentifier(name) + (ix->caseInsensitive ? " COLLATE NOCASE" : "");
        }
        if (anyRow(c, "SELECT 1 FROM " + table + " GROUP BY " + group + " HAVING count(*) > 1 LIMIT 1")) {
            if (ix->primary)
                throw EDatabaseError(db::kKeyViolation);
            throw EDatabaseError("Key violation in unique index " + ix->name + ".");
        }
    }
}

// SQLite names the columns of a failed unique index ("UNIQUE constraint failed: data.A, data.B"); the
// engine names the index.
[[noreturn]] void ThrowUniqueViolation(sqlite3* c, const db::TableSchema& schema)
{
    std::string msg = sqlite3_errmsg(c);
    std::vector<std::string> columns;
    const auto colon = msg.find(':');
    for (std::size_t i = colon == std::string::npos ? msg.size() : colon + 1; i < msg.size();) {
        std::size_t end = msg.find(',', i);
        if (end == std::string::npos)
            end = msg.size();
        std::string part = msg.substr(i, end - i);
        part.erase(0, part.find_first_not_of(' '));
        if (const auto dot = part.find('.'); dot != std::string::npos)
            part = part.substr(dot + 1);
        columns.push_back(part);
        i = end + 1;
    }
    for (const auto& ix : schema.indexes) {
        if (ix.primary || ix.fields.size() != columns.size())
            continue;
        const auto same = [](const std::string& a, const std::string& b) {
            return strcasecmp(a.c_str(), b.c_str()) == 0;
        };
        if (std::equal(ix.fields.begin(), ix.fields.end(), columns.begin(), same))
            throw EDatabaseError("Key violation in unique index " + ix.name + ".");
    }
    throw EDatabaseError(db::kKeyViolation);
}

}  // namespace sql
