// The dBase side of attaching a table file to a statement: a temporary SQLite copy, written back afterwards.
#include <unistd.h>

#include <filesystem>
#include <random>

#include "platform/db/Dbf.h"
#include "platform/db/Messages.h"
#include "platform/db/Names.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;

namespace db {

namespace {

std::string tempName()
{
    static std::mt19937_64 rng(std::random_device{}());
    return "vemora_attach_" + std::to_string(getpid()) + "_" + std::to_string(rng() % 1000000007ULL) + ".db";
}

}  // namespace

// ---- attachable files ----

AttachableFile::AttachableFile(const std::string& path) : path_(path), sqlitePath_(path)
{
    if (FormatOfPath(path) != TableFormat::DBase) {
        CheckTableFile(path, fs::path(path).filename().string());
        CommitPendingWrites(path);
        return;
    }
    CommitPendingWrites(path);
    if (!fs::exists(path))
        throw EDatabaseError(msg::TableMissing(fs::path(path).filename().string()));
    dbf::Table t = dbf::Read(path);
    sqlitePath_ = (fs::temp_directory_path() / tempName()).string();
    CreateTableFile(sqlitePath_, t.schema, t.rows);
    temporary_ = true;
}

AttachableFile::~AttachableFile()
{
    if (temporary_) {
        std::error_code ec;
        fs::remove(sqlitePath_, ec);
    }
}

void AttachableFile::writeBack()
{
    if (!temporary_) {
        TableFileChanged(path_);
        return;
    }
    Connection c(sqlitePath_, Connection::Mode::ReadWrite);
    TableSchema schema = ReadLayout(c.get(), sqlitePath_);
    Rows rows;
    Statement s(c.get(), "SELECT * FROM data ORDER BY rowid");
    while (s.step()) {
        Row r;
        for (std::size_t i = 0; i < schema.fields.size(); ++i)
            r.push_back(s.column(static_cast<int>(i), schema.fields[i].type));
        rows.push_back(std::move(r));
    }
    s = Statement();
    c.close();
    dbf::Write(path_, schema, rows);
    TableFileChanged(path_);
}

}  // namespace db
