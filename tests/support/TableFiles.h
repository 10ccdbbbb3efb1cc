// Small table files for tests: made from field descriptions and rows of text, and read back as rows of text.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace testsupport {

using Record = std::map<std::string, std::string>;  // field name -> value as text ("" for null)

inline db::FieldDesc Text(const std::string& name, int size) { return {name, db::FieldType::String, size, false}; }
inline db::FieldDesc Number(const std::string& name) { return {name, db::FieldType::Float, 0, false}; }
inline db::FieldDesc Small(const std::string& name) { return {name, db::FieldType::Smallint, 0, false}; }
inline db::FieldDesc Day(const std::string& name) { return {name, db::FieldType::Date, 0, false}; }

// A table file with the fields and rows given; "" stands for null.
inline void MakeTable(const std::string& name, const std::vector<db::FieldDesc>& fields,
                      const std::vector<std::vector<std::string>>& rows = {})
{
    db::TableSchema schema;
    schema.fields = fields;
    db::Rows out;
    for (const auto& r : rows) {
        db::Row row;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string v = i < r.size() ? r[i] : std::string();
            if (v.empty()) {
                row.emplace_back();
            } else if (fields[i].type == db::FieldType::Float) {
                row.emplace_back(std::stod(v));
            } else {
                row.emplace_back(v);
            }
        }
        out.push_back(std::move(row));
    }
    db::CreateTableFile(name, schema, out);
}

// Every row of a table file, in its record order.
inline std::vector<Record> ReadTable(const std::string& name)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    std::vector<Record> out;
    for (t.First(); !t.Eof(); t.Next()) {
        Record r;
        for (int i = 0; i < t.FieldCount(); ++i) {
            r[t.Fields()[i]->FieldName()] = t.Fields()[i]->AsString();
        }
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace testsupport
