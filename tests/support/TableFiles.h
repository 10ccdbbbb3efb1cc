// Small table files for tests: made from field descriptions and rows of text, read back as rows of text, and
// records appended by field name.
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

// Appends one record to a table file: values is a range of (field name, value as text) pairs.
template <class Values>
void AddRecord(const std::string& name, const Values& values)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    t.Append();
    for (const auto& [field, value] : values) {
        t.FieldByName(field)->SetAsString(value);
    }
    t.Post();
    t.Close();
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

// The field names of a table file, in order.
inline std::vector<std::string> FieldNames(const std::string& name)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    std::vector<std::string> out;
    for (int i = 0; i < t.FieldCount(); ++i) {
        out.push_back(t.Fields()[i]->FieldName());
    }
    return out;
}

// Appends records to an existing table file, each field given by name as text; fields not named stay empty.
inline void AppendRecords(const std::string& name, const std::vector<Record>& records)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    for (const Record& r : records) {
        t.Append();
        for (const auto& [field, value] : r) {
            t.FieldByName(field)->SetAsString(value);
        }
        t.Post();
    }
}

inline void EmptyTable(const std::string& name)
{
    TTable t;
    t.SetTableName(name);
    t.EmptyTable();
}

}  // namespace testsupport
