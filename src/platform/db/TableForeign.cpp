#include "platform/db/TableForeign.h"

#include <filesystem>

#include "platform/db/Connection.h"
#include "platform/db/Dbf.h"
#include "platform/db/Messages.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableStore.h"
#if __has_include("platform/db/TextFile.h")
#include "platform/db/TextFile.h"
#define VEMORA_HAVE_TEXT_WRITER 1
#endif

namespace db {

namespace {

void writeFile(const std::string& path, const TableSchema& schema, const Rows& rows, TableFormat format)
{
    if (format == TableFormat::DBase) {
        dbf::Write(path, schema, rows);
        return;
    }
#ifdef VEMORA_HAVE_TEXT_WRITER
    text::Write(path, schema, rows);
#else
    (void)path;
    (void)schema;
    (void)rows;
    throw EDatabaseError("不能写入文本表");
#endif
}

}  // namespace

void CheckForeignRow(const TableSchema& schema, const Row& row, TableFormat format)
{
    if (format == TableFormat::DBase) {
        dbf::CheckRow(schema, row);
        return;
    }
#ifdef VEMORA_HAVE_TEXT_WRITER
    if (format == TableFormat::Text)
        text::CheckRow(schema, row);
#endif
}

TableSchema LoadForeignTable(sqlite3* db, const std::string& path, const std::string& displayName)
{
    if (FormatOfPath(path) != TableFormat::DBase)
        throw EDatabaseError(msg::Table(displayName) + "是文本表，只能写出，不能打开");
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw EDatabaseError(msg::TableMissing(displayName));
    dbf::Table t = dbf::Read(path);
    char* err = nullptr;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, &err);
    sqlite3_free(err);
    CreateLayout(db, t.schema);
    {
        RowWriter w(db, t.schema);
        Row values(t.schema.fields.size());
        for (const auto& row : t.rows) {
            for (std::size_t i = 0; i < values.size(); ++i)
                values[i] = ConvertForField(i < row.size() ? row[i] : Variant{}, t.schema.fields[i], TextFit::Cut);
            w.insert(values);
        }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, &err);
    sqlite3_free(err);
    return t.schema;
}

void SaveForeignTable(sqlite3* db, const std::string& path, const TableSchema& schema, TableFormat format)
{
    Rows rows;
    Statement s(db, "SELECT * FROM data ORDER BY rowid");
    while (s.step()) {
        Row r;
        for (std::size_t i = 0; i < schema.fields.size(); ++i)
            r.push_back(s.column(static_cast<int>(i), schema.fields[i].type));
        rows.push_back(std::move(r));
    }
    writeFile(path, schema, rows, format);
}

void CreateForeignTable(const std::string& path, const TableSchema& schema, TableFormat format)
{
    writeFile(path, schema, {}, format);
}

}  // namespace db
