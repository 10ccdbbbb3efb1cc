// SQLite connections set up the engine's way, the GBK collations, and the mapping between field values and
// SQLite values. Every connection of the engine (table files, statements, scratch) goes through
// OpenConnection or SetUpConnection so that they all behave alike: double-quoted strings off, the collations
// "GBK" and "GBK_NOCASE" registered, a short busy timeout, rollback journal with synchronous=FULL.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Exception.h"
#include "platform/db/Schema.h"

namespace db {

// How long a statement waits for a file locked by another program before it fails.
inline constexpr int kBusyTimeoutMs = 1500;

// Raises EDatabaseError with a message in Chinese that names the connection's table files: a locked file, a
// damaged one (with the way back from the backup folder), a full disk, a read-only file or a failing medium;
// otherwise SQLite's own text. context, when given, comes first.
[[noreturn]] void ThrowSqliteError(sqlite3* db, int rc, const std::string& context = {});

// Applies the engine's settings to a connection opened elsewhere (DQS off, collations, busy timeout,
// journal_mode=DELETE, synchronous=FULL). The first call also sets how much freed memory the process keeps (see
// Connection.cpp). Raises EDatabaseError.
void SetUpConnection(sqlite3* db);

// Registers the collations "GBK" (text in GBK byte order) and "GBK_NOCASE" (the same after folding ASCII
// letters) on a connection. They exist only on connections, never in files.
void RegisterGbkCollation(sqlite3* db);

// Three-way comparison of UTF-8 texts in GBK byte order (characters outside GBK after all others).
int CompareGbk(std::string_view a, std::string_view b, bool caseInsensitive = false);

// An owned connection.
class Connection {
public:
    enum class Mode { ReadWrite, ReadWriteCreate, Memory };

    Connection() = default;
    Connection(const std::string& path, Mode mode);  // raises EDatabaseError
    ~Connection();
    Connection(Connection&& o) noexcept : db_(o.db_) { o.db_ = nullptr; }
    Connection& operator=(Connection&& o) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* get() const { return db_; }
    explicit operator bool() const { return db_ != nullptr; }
    void close();

    // Runs statements without results; raises EDatabaseError.
    void exec(const std::string& sql);

private:
    sqlite3* db_ = nullptr;
};

// An owned prepared statement. Reset after use so that no read lock is held between calls.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const std::string& sql);  // raises EDatabaseError
    ~Statement();
    Statement(Statement&& o) noexcept : db_(o.db_), stmt_(o.stmt_) { o.stmt_ = nullptr; }
    Statement& operator=(Statement&& o) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }

    void bind(int index, const Variant& v);  // 1-based
    void bindInt(int index, std::int64_t v);
    bool step();    // true while there is a row; raises EDatabaseError
    void reset();   // resets and clears bindings
    int changes() const;

    std::int64_t columnInt(int col) const;
    Variant column(int col) const;                  // by SQLite storage class
    Variant column(int col, FieldType type) const;  // converted to the field's type

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// Declared SQLite type of a field type in a table file: TEXT for A, M, D, T, @; REAL for N and $; INTEGER for
// S, I, +, L; BLOB for B.
const char* DeclaredType(FieldType t);

// A name quoted as an SQLite identifier ("a""b").
std::string QuoteIdentifier(const std::string& name);

// Value as stored: dates become yyyy-mm-dd text, texts lose trailing blanks and empty text becomes null.
Variant ToStorage(const Variant& v);

// Value read from a column of the given type: dates are parsed from their text, integers and logicals are
// integers, floats are doubles.
Variant FromStorage(const Variant& v, FieldType type);

std::string FormatDate(const Date& d);            // yyyy-mm-dd
bool ParseDate(std::string_view text, Date& out);  // yyyy-mm-dd (also yyyy/mm/dd and yyyymmdd); checks the day

}  // namespace db
