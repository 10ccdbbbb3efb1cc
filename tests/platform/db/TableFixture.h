// A fresh data folder per test, made the current folder (bare table names resolve against it), and small
// helpers to create table files and read them back.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/db/Connection.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

class TableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "vemora_db_XXXXXX").string();
        char* made = mkdtemp(tmpl.data());
        ASSERT_NE(made, nullptr);
        dir_ = made;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override
    {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::filesystem::path dir_, old_;
};

namespace fixture {

inline db::FieldDesc F(const std::string& name, db::FieldType t, int size = 0)
{
    return db::FieldDesc{name, t, size, false};
}

inline db::IndexDesc Primary(std::vector<std::string> fields, bool nocase = false)
{
    return db::IndexDesc{"", std::move(fields), true, true, nocase};
}

inline db::IndexDesc Index(const std::string& name, std::vector<std::string> fields, bool unique, bool nocase)
{
    return db::IndexDesc{name, std::move(fields), false, unique, nocase};
}

inline std::string S(const db::Variant& v)
{
    if (auto* s = std::get_if<std::string>(&v))
        return *s;
    if (auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v))
        return std::to_string(*d);
    if (auto* dt = std::get_if<db::Date>(&v))
        return db::FormatDate(*dt);
    return "<null>";
}

// The values of one field over the whole view, from the first row.
inline std::vector<std::string> Column(TTable& t, const std::string& field)
{
    std::vector<std::string> out;
    for (t.First(); !t.Eof(); t.Next())
        out.push_back(t.FieldByName(field)->AsString());
    return out;
}

// Rows of a table file straight from SQLite, in rowid order, one field as text.
inline std::vector<std::string> StoredColumn(const std::string& path, const std::string& field)
{
    db::Connection c(path, db::Connection::Mode::ReadWrite);
    db::Statement s(c.get(), "SELECT " + db::QuoteIdentifier(field) + " FROM data ORDER BY rowid");
    std::vector<std::string> out;
    while (s.step())
        out.push_back(S(s.column(0)));
    return out;
}

// The enterprise table of the report windows, cut down: primary on Id, unique nocase indexes on QA01 and QA04.
inline db::TableSchema Enterprise()
{
    using T = db::FieldType;
    db::TableSchema s;
    s.fields = {F("Id", T::String, 9), F("QA01", T::String, 6), F("QA04", T::String, 10), F("QC02", T::Float),
                F("qa_one", T::Smallint), F("QA12", T::Date), F("QL", T::Boolean)};
    s.indexes = {Primary({"Id"}), Index("kfq_1", {"QA01"}, true, true), Index("kfq_13", {"QA04"}, true, true)};
    return s;
}

}  // namespace fixture
