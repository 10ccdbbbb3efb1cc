#include "check/TableSnapshot.h"

#include "platform/db/Table.h"

TableSnapshot TableSnapshot::Take(const std::string& tableName)
{
    TableSnapshot s;
    s.tableName_ = tableName;
    TTable t;
    t.SetTableName(tableName);
    t.Open();
    for (t.First(); !t.Eof(); t.Next()) {
        std::vector<db::Variant> row;
        row.reserve(static_cast<std::size_t>(t.FieldCount()));
        for (int i = 0; i < t.FieldCount(); ++i) {
            row.push_back(t.GetFieldValue(i));
        }
        s.rows_.push_back(std::move(row));
    }
    t.Close();
    return s;
}

void TableSnapshot::Restore() const
{
    TTable t;
    t.SetTableName(tableName_);
    t.EmptyTable();
    t.Open();
    for (const auto& row : rows_) {
        t.Append();
        for (std::size_t i = 0; i < row.size() && static_cast<int>(i) < t.FieldCount(); ++i) {
            t.SetFieldValue(static_cast<int>(i), row[i]);
        }
        t.Post();
    }
    t.FlushBuffers();
    t.Close();
}
