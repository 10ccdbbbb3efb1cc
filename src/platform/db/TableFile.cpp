#include "platform/db/TableFile.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>

#include "platform/db/Messages.h"
#include "platform/db/Names.h"
#include "platform/db/TableStore.h"

namespace fs = std::filesystem;

namespace db {

namespace {

std::string joinFields(const std::vector<std::string>& names)
{
    std::string s;
    for (std::size_t i = 0; i < names.size(); ++i)
        s += (i ? ";" : "") + names[i];
    return s;
}

std::vector<std::string> splitFields(const std::string& s)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t p = s.find(';', start);
        std::string part = s.substr(start, p == std::string::npos ? std::string::npos : p - start);
        if (!part.empty())
            out.push_back(part);
        if (p == std::string::npos)
            break;
        start = p + 1;
    }
    return out;
}

bool isTextType(FieldType t) { return t == FieldType::String || t == FieldType::Memo; }

std::string uniqueSuffix()
{
    static std::mt19937_64 rng(std::random_device{}());
    return std::to_string(getpid()) + "_" + std::to_string(rng() % 1000000007ULL);
}

}  // namespace

bool SyncFile(const std::string& path, bool folder)
{
    int fd = ::open(path.c_str(), folder ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void CreateLayout(sqlite3* db, const TableSchema& schema)
{
    if (schema.fields.empty())
        throw EDatabaseError("数据表至少要有一个字段");
    for (std::size_t i = 0; i < schema.fields.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (strcasecmp(schema.fields[i].name.c_str(), schema.fields[j].name.c_str()) == 0)
                throw EDatabaseError("字段名“" + schema.fields[i].name + "”重复");
        }
        if (schema.fields[i].name.empty())
            throw EDatabaseError("有字段没有名称");
    }
    std::string sql = "CREATE TABLE data(";
    for (std::size_t i = 0; i < schema.fields.size(); ++i) {
        const auto& f = schema.fields[i];
        sql += (i ? ", " : "") + QuoteIdentifier(f.name) + " " + DeclaredType(f.type);
    }
    if (const IndexDesc* pk = schema.primaryIndex()) {
        sql += ", PRIMARY KEY(";
        for (std::size_t i = 0; i < pk->fields.size(); ++i) {
            int fi = schema.fieldIndex(pk->fields[i]);
            if (fi < 0)
                throw EDatabaseError(msg::IndexFieldMissing("主索引", pk->fields[i]));
            sql += (i ? ", " : "") + QuoteIdentifier(pk->fields[i]);
            if (pk->caseInsensitive && isTextType(schema.fields[static_cast<std::size_t>(fi)].type))
                sql += " COLLATE NOCASE";
        }
        sql += ")";
    }
    sql += ");\n";
    sql += "CREATE TABLE meta_fields(pos INTEGER PRIMARY KEY, name TEXT NOT NULL, type TEXT NOT NULL, "
           "size INTEGER NOT NULL, required INTEGER NOT NULL);\n";
    sql += "CREATE TABLE meta_indexes(pos INTEGER PRIMARY KEY, name TEXT NOT NULL, fields TEXT NOT NULL, "
           "is_primary INTEGER NOT NULL, is_unique INTEGER NOT NULL, nocase INTEGER NOT NULL);\n";
    for (const auto& ix : schema.indexes) {
        if (ix.primary)
            continue;
        if (ix.name.empty())
            throw EDatabaseError("有次索引没有名称");
        sql += std::string("CREATE ") + (ix.unique ? "UNIQUE " : "") + "INDEX " + QuoteIdentifier("ix_" + ix.name) +
               " ON data(";
        for (std::size_t i = 0; i < ix.fields.size(); ++i) {
            int fi = schema.fieldIndex(ix.fields[i]);
            if (fi < 0)
                throw EDatabaseError(msg::IndexFieldMissing(ix.name, ix.fields[i]));
            sql += (i ? ", " : "") + QuoteIdentifier(ix.fields[i]);
            if (ix.caseInsensitive && isTextType(schema.fields[static_cast<std::size_t>(fi)].type))
                sql += " COLLATE NOCASE";
        }
        sql += ");\n";
    }
    sql += "PRAGMA application_id=" + std::to_string(kTableFileApplicationId) + ";\nPRAGMA user_version=1;\n";
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db, rc, "无法创建数据表");

    Statement f(db, "INSERT INTO meta_fields VALUES(?1,?2,?3,?4,?5)");
    for (std::size_t i = 0; i < schema.fields.size(); ++i) {
        const auto& fd = schema.fields[i];
        f.bindInt(1, static_cast<std::int64_t>(i));
        f.bind(2, fd.name);
        f.bind(3, std::string(1, fieldTypeLetter(fd.type)));
        f.bindInt(4, fd.size);
        f.bindInt(5, fd.required ? 1 : 0);
        f.step();
        f.reset();
    }
    Statement x(db, "INSERT INTO meta_indexes VALUES(?1,?2,?3,?4,?5,?6)");
    for (std::size_t i = 0; i < schema.indexes.size(); ++i) {
        const auto& ix = schema.indexes[i];
        x.bindInt(1, static_cast<std::int64_t>(i));
        x.bind(2, ix.name);
        x.bind(3, joinFields(ix.fields));
        x.bindInt(4, ix.primary ? 1 : 0);
        x.bindInt(5, ix.unique || ix.primary ? 1 : 0);
        x.bindInt(6, ix.caseInsensitive ? 1 : 0);
        x.step();
        x.reset();
    }
}

TableSchema ReadLayout(sqlite3* db, const std::string& displayName, const std::string& schemaName)
{
    const std::string in = QuoteIdentifier(schemaName) + ".";
    TableSchema schema;
    // The three tables, looked up in the schema SQLite has read (no statement to prepare).
    for (const char* table : {"data", "meta_fields", "meta_indexes"}) {
        const int rc = sqlite3_table_column_metadata(db, schemaName.c_str(), table, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr);
        if (rc == SQLITE_ERROR)  // no such table
            throw EDatabaseError(msg::TableCorrupt(displayName, "没有表的结构说明"));
        if (rc != SQLITE_OK)  // the schema could not be read: locked, damaged
            ThrowSqliteError(db, rc);
    }
    Statement f(db, "SELECT name, type, size, required FROM " + in + "meta_fields ORDER BY pos");
    while (f.step()) {
        FieldDesc fd;
        fd.name = std::get<std::string>(f.column(0));
        std::string letter = std::get<std::string>(f.column(1));
        auto t = letter.size() == 1 ? fieldTypeFromLetter(letter[0]) : std::nullopt;
        if (!t)
            throw EDatabaseError(msg::TableCorrupt(displayName, "字段类型“" + letter + "”未知"));
        fd.type = *t;
        fd.size = static_cast<int>(f.columnInt(2));
        fd.required = f.columnInt(3) != 0;
        schema.fields.push_back(fd);
    }
    Statement x(db, "SELECT name, fields, is_primary, is_unique, nocase FROM " + in +
                    "meta_indexes ORDER BY is_primary DESC, pos");
    while (x.step()) {
        IndexDesc ix;
        Variant n = x.column(0);
        ix.name = isNull(n) ? std::string() : std::get<std::string>(n);
        Variant fl = x.column(1);
        ix.fields = isNull(fl) ? std::vector<std::string>() : splitFields(std::get<std::string>(fl));
        ix.primary = x.columnInt(2) != 0;
        ix.unique = x.columnInt(3) != 0;
        ix.caseInsensitive = x.columnInt(4) != 0;
        schema.indexes.push_back(ix);
    }
    if (schema.fields.empty())
        throw EDatabaseError(msg::TableCorrupt(displayName, "没有字段"));
    return schema;
}

void CreateTableFile(const std::string& path, const TableSchema& schema, const Rows& rows)
{
    fs::path target(path);
    fs::path temp = target;
    temp += ".new" + uniqueSuffix();
    std::error_code ec;
    try {
        // No one sees the file before the rename and a failure removes it: it is built without a journal and
        // without syncs, and synced once before it takes its name.
        Connection c(temp.string(), Connection::Mode::ReadWriteCreate);
        c.exec("PRAGMA journal_mode=OFF");
        c.exec("PRAGMA synchronous=OFF");
        c.exec("BEGIN");
        CreateLayout(c.get(), schema);
        if (!rows.empty()) {
            RowWriter w(c.get(), schema);
            Row converted(schema.fields.size());
            for (const auto& row : rows) {
                for (std::size_t i = 0; i < schema.fields.size(); ++i) {
                    Variant v = i < row.size() ? row[i] : Variant{};
                    converted[i] = ConvertForField(v, schema.fields[i], TextFit::Refuse);
                }
                w.insert(converted);
            }
        }
        c.exec("COMMIT");
        c.close();
        if (!SyncFile(temp.string()))
            throw EDatabaseError("无法创建" + msg::Table(msg::ShownName(path)) + "：" + std::strerror(errno));
        RemoveStaleJournal(target.string());
        fs::rename(temp, target);
        // The new name is durable only once its folder is.
        SyncFile((target.parent_path().empty() ? fs::path(".") : target.parent_path()).string(), true);
    } catch (const fs::filesystem_error& e) {
        fs::remove(temp, ec);
        throw EDatabaseError("无法创建" + msg::Table(msg::ShownName(path)) + "：" + e.code().message());
    } catch (...) {
        fs::remove(temp, ec);
        fs::path journal = temp;
        journal += "-journal";
        fs::remove(journal, ec);
        throw;
    }
}

void RemoveStaleJournal(const std::string& path)
{
    std::error_code ec;
    fs::remove(path + "-journal", ec);
}

void ReplaceTableRows(const std::string& targetPath, const std::string& sourcePath)
{
    const std::string shown = msg::ShownName(targetPath);
    CheckTableFile(targetPath, shown);
    CheckTableFile(sourcePath, msg::ShownName(sourcePath));
    CommitPendingWrites(targetPath);
    CommitPendingWrites(sourcePath);
    {
        Connection c(targetPath, Connection::Mode::ReadWrite);
        const TableSchema schema = ReadLayout(c.get(), shown);
        {
            Statement attach(c.get(), "ATTACH DATABASE ?1 AS source");
            attach.bind(1, sourcePath);
            attach.step();
        }
        std::string cols;
        for (const auto& f : schema.fields)
            cols += (cols.empty() ? "" : ",") + QuoteIdentifier(f.name);
        c.exec("BEGIN IMMEDIATE");
        try {
            c.exec("DELETE FROM main.data");
            c.exec("INSERT INTO main.data(" + cols + ") SELECT " + cols + " FROM source.data ORDER BY rowid");
            c.exec("COMMIT");
        } catch (...) {
            sqlite3_exec(c.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    TableFileChanged(targetPath);
}

bool LooksLikeParadox(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char h[0x60] = {};
    in.read(reinterpret_cast<char*>(h), sizeof h);
    if (in.gcount() < static_cast<std::streamsize>(sizeof h))
        return false;
    unsigned recordSize = h[0] | (h[1] << 8);
    unsigned headerSize = h[2] | (h[3] << 8);
    unsigned fileType = h[4];
    unsigned blockSize = h[5];
    unsigned version = h[0x39];
    bool typeOk = fileType <= 8;
    bool blockOk = blockSize == 1 || blockSize == 2 || blockSize == 3 || blockSize == 4 || blockSize == 8 ||
                   blockSize == 16 || blockSize == 32;
    bool headerOk = headerSize >= 0x58 && headerSize % 0x800 == 0;
    bool versionOk = version >= 3 && version <= 12;
    return recordSize > 0 && typeOk && blockOk && headerOk && versionOk;
}

std::optional<bool> HasSqliteHeader(const std::string& path)
{
    // Read without a stream: a table is opened often, and 16 bytes need no buffer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char magic[16] = {};
    const ssize_t got = ::pread(fd, magic, sizeof magic, 0);
    CloseTableFileDescriptor(fd, path);
    return got == static_cast<ssize_t>(sizeof magic) && std::memcmp(magic, "SQLite format 3\0", sizeof magic) == 0;
}

void CheckTableFile(const std::string& path, const std::string& displayName)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        throw EDatabaseError(msg::TableMissing(displayName));
    if (fs::is_directory(status))
        throw EDatabaseError("“" + displayName + "”是一个文件夹，不是数据表");
    // A file a table of this process has open passed this check at that opening; reading it again would mean
    // closing a descriptor of it, which drops the locks SQLite holds on it for that table.
    if (IsFileOpen(path))
        return;
    const std::optional<bool> sqlite = HasSqliteHeader(path);
    if (!sqlite)
        throw EDatabaseError(msg::TableUnreadable(displayName));
    if (*sqlite)
        return;
    if (LooksLikeParadox(path))
        throw EDatabaseError(msg::OldParadoxTable(displayName));
    throw EDatabaseError(msg::TableCorrupt(displayName));
}

// ---- open files of this process ----

namespace {

std::mutex& registryMutex()
{
    static std::mutex m;
    return m;
}

std::vector<OpenTableFile*>& registry()
{
    static std::vector<OpenTableFile*> r;
    return r;
}

// Descriptors whose closing waits until no table of this process has their file open.
std::vector<std::pair<std::string, int>>& parked()
{
    static std::vector<std::pair<std::string, int>> p;
    return p;
}

bool openLocked(const std::string& path)
{
    return std::any_of(registry().begin(), registry().end(), [&](OpenTableFile* f) { return f->openPath() == path; });
}

std::vector<OpenTableFile*> openOn(const std::string& path)
{
    std::lock_guard lock(registryMutex());
    std::vector<OpenTableFile*> out;
    for (auto* f : registry()) {
        if (f->openPath() == path)
            out.push_back(f);
    }
    return out;
}

}  // namespace

void RegisterOpenFile(OpenTableFile* f)
{
    std::lock_guard lock(registryMutex());
    registry().push_back(f);
}

void UnregisterOpenFile(OpenTableFile* f)
{
    std::lock_guard lock(registryMutex());
    auto& r = registry();
    r.erase(std::remove(r.begin(), r.end(), f), r.end());
    const std::string path = f->openPath();
    if (openLocked(path))
        return;
    auto& p = parked();
    for (auto it = p.begin(); it != p.end();) {
        if (it->first == path) {
            ::close(it->second);
            it = p.erase(it);
        } else {
            ++it;
        }
    }
}

void CloseTableFileDescriptor(int fd, const std::string& path)
{
    std::lock_guard lock(registryMutex());
    if (openLocked(path))
        parked().emplace_back(path, fd);
    else
        ::close(fd);
}

bool IsFileOpen(const std::string& path) { return !openOn(path).empty(); }

void CommitPendingWrites(const std::string& path)
{
    for (auto* f : openOn(path))
        f->commitPendingWrites();
}

void TableFileChanged(const std::string& path, const OpenTableFile* except)
{
    for (auto* f : openOn(path)) {
        if (f != except)
            f->fileChanged();
    }
}

}  // namespace db
