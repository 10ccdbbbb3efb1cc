// The table file: one self-contained SQLite database per table. This file owns its layout, its creation, the
// check that refuses foreign files, and the hooks through which statements of TQuery work on table files that
// tables of this process hold open.
//
// Layout (format 1, PRAGMA application_id 0x56544246 "VTBF", user_version 1):
//   data          the rows: one column per field, named as written, with the declared type of its field type
//                 (see DeclaredType); PRIMARY KEY on the primary index's fields (COLLATE NOCASE where the index
//                 is case-insensitive). Rows have their implicit rowid; without a primary index the browse order
//                 is the rowid (insertion) order.
//   meta_fields   (pos INTEGER PRIMARY KEY, name TEXT, type TEXT one letter, size INTEGER, required INTEGER)
//   meta_indexes  (pos INTEGER PRIMARY KEY, name TEXT, fields TEXT "A;B", is_primary, is_unique, nocase)
//   ix_<name>     one SQLite index per secondary index (UNIQUE where unique, COLLATE NOCASE where
//                 case-insensitive), on data.
// Only built-in collations appear in the file; the GBK order is applied by the engine's connections.
// Journal mode DELETE, synchronous FULL: after a commit the file alone is complete.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/Schema.h"

namespace db {

using Row = std::vector<Variant>;
using Rows = std::vector<Row>;

inline constexpr int kTableFileApplicationId = 0x56544246;
inline constexpr const char* kDataTable = "data";

// Creates the layout in an empty connection (no transaction handling).
void CreateLayout(sqlite3* db, const TableSchema& schema);

// Reads the description of a table file from an open connection; raises EDatabaseError ("数据文件已损坏")
// when the layout is missing.
TableSchema ReadLayout(sqlite3* db, const std::string& displayName, const std::string& schemaName = "main");

// Creates an SQLite table file with the schema and rows, replacing an existing file only once the new one is
// complete (written beside it, then renamed over it). Values are converted as a store converts them; a key
// violation or a value that does not fit raises EDatabaseError and leaves the old file as it was.
void CreateTableFile(const std::string& path, const TableSchema& schema, const Rows& rows = {});

// Replaces every row of the table file target by the rows of source, a table file with the same fields, in one
// transaction: a reader sees the old rows or the new ones, never a part, and a writer killed midway leaves the
// old rows. Tables of this process open on target show the new rows afterwards.
void ReplaceTableRows(const std::string& targetPath, const std::string& sourcePath);

// Writes a file's contents (or a folder's entries) through to the disk; false when it cannot.
bool SyncFile(const std::string& path, bool folder = false);

// Raises EDatabaseError unless path names an existing SQLite table file: a missing file, an old Paradox
// table (named as such) or any other file (a damaged table file).
void CheckTableFile(const std::string& path, const std::string& displayName);

// Removes the rollback journal that a writer killed mid-transaction left beside a table file that is about to be
// replaced: SQLite would otherwise roll the old file's pages into the new file at its first opening.
void RemoveStaleJournal(const std::string& path);

// Closes a descriptor this process opened on a table file. Closing any descriptor of a file drops every lock the
// process holds on it, SQLite's among them; so while a table of this process has the file open, the descriptor
// is kept and closed when the last such table closes.
void CloseTableFileDescriptor(int fd, const std::string& path);

// Whether a file starts as an SQLite database file does; nullopt when it cannot be read. Its descriptor is closed
// through CloseTableFileDescriptor.
std::optional<bool> HasSqliteHeader(const std::string& path);

// True when the first bytes of a file are an old Paradox table header.
bool LooksLikeParadox(const std::string& path);

// Statements of TQuery on table files.
//
// CommitPendingWrites: before a statement reads or writes a file, every table of this process that holds
// uncommitted writes on it (a running batch) commits them, so that the statement sees them and meets no lock.
// TableFileChanged: after a statement modified a file, tables of this process open on it rebuild their views.
void CommitPendingWrites(const std::string& path);
void TableFileChanged(const std::string& path, const class OpenTableFile* except = nullptr);

// A table file made ready for ATTACH: an SQLite file is attached as it is; a ".dbf" file is copied into a
// temporary SQLite table file, which writeBack() writes back into the dBase file after a modifying statement.
// The temporary copy is removed when the object goes.
class AttachableFile;

// Tables of this process that hold a table file open register here, so that the hooks above reach them and
// PackTable can leave open files alone.
class OpenTableFile {
public:
    virtual ~OpenTableFile() = default;
    virtual const std::string& openPath() const = 0;
    virtual void commitPendingWrites() = 0;
    virtual void fileChanged() = 0;
};
void RegisterOpenFile(OpenTableFile* f);
void UnregisterOpenFile(OpenTableFile* f);
bool IsFileOpen(const std::string& path);

class AttachableFile {
public:
    explicit AttachableFile(const std::string& path);  // path as resolved; raises EDatabaseError
    ~AttachableFile();
    AttachableFile(const AttachableFile&) = delete;
    AttachableFile& operator=(const AttachableFile&) = delete;

    const std::string& sqlitePath() const { return sqlitePath_; }
    void writeBack();

private:
    std::string path_, sqlitePath_;
    bool temporary_ = false;
};

}  // namespace db
