#include "platform/db/Connection.h"
#include "platform/db/Messages.h"
#include "platform/db/TableStore.h"

#include <iconv.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace db {

// ---- errors ----

namespace {

// The table files of a connection: its main file and every attached one (none for a scratch connection).
std::vector<std::string> filesOf(sqlite3* db)
{
    std::vector<std::string> out;
    for (int i = 0; db; ++i) {
        const char* name = sqlite3_db_name(db, i);
        if (!name)
            break;
        const char* file = sqlite3_db_filename(db, name);
        if (file && *file)
            out.push_back(msg::ShownName(file));
    }
    return out;
}

}  // namespace

void ThrowSqliteError(sqlite3* db, int rc, const std::string& context)
{
    const std::vector<std::string> files = filesOf(db);
    std::string message;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        message = msg::TableLocked(files);
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        message = msg::TableCorrupt(files);
        break;
    case SQLITE_FULL:
        message = msg::DiskFull(files);
        break;
    case SQLITE_READONLY:
        message = msg::TableReadOnly(files);
        break;
    case SQLITE_IOERR:
        message = msg::MediaFault(files);
        break;
    default:
        message = msg::InTable(files.empty() ? std::string() : msg::Tables(files),
                               db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        break;
    }
    if (!context.empty())
        message = context + "：" + message;
    throw EDatabaseError(message);
}

// ---- GBK collation ----

namespace {

// Sort key of every BMP character: its GBK code (lead byte * 256 + trail byte), ASCII as byte * 256, and
// characters outside GBK after all of them.
const std::vector<std::uint32_t>& gbkKeys()
{
    static std::vector<std::uint32_t> keys;
    static std::once_flag once;
    std::call_once(once, [] {
        keys.resize(0x10000);
        for (std::uint32_t c = 0; c < 0x80; ++c)
            keys[c] = c << 8;
        iconv_t cd = iconv_open("GBK", "UTF-32LE");
        for (std::uint32_t c = 0x80; c < 0x10000; ++c) {
            keys[c] = 0x10000 + c;
            if (cd == reinterpret_cast<iconv_t>(-1) || (c >= 0xD800 && c < 0xE000))
                continue;
            char in[4] = {static_cast<char>(c & 0xff), static_cast<char>((c >> 8) & 0xff), 0, 0};
            char out[8];
            char* ip = in;
            char* op = out;
            size_t il = 4, ol = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1)) {
                size_t n = static_cast<size_t>(op - out);
                if (n == 2)
                    keys[c] = (static_cast<unsigned char>(out[0]) << 8) | static_cast<unsigned char>(out[1]);
                else if (n == 1)
                    keys[c] = static_cast<unsigned char>(out[0]) << 8;
            }
        }
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    });
    return keys;
}

// Decodes one UTF-8 character at s[i]; malformed bytes come back one by one above every character.
std::uint32_t nextKey(std::string_view s, std::size_t& i, const std::vector<std::uint32_t>& keys, bool fold)
{
    auto b = static_cast<unsigned char>(s[i]);
    std::uint32_t cp;
    std::size_t len;
    if (b < 0x80) {
        cp = b;
        len = 1;
    } else if ((b & 0xE0) == 0xC0) {
        cp = b & 0x1F;
        len = 2;
    } else if ((b & 0xF0) == 0xE0) {
        cp = b & 0x0F;
        len = 3;
    } else if ((b & 0xF8) == 0xF0) {
        cp = b & 0x07;
        len = 4;
    } else {
        ++i;
        return 0x200000u + b;
    }
    if (i + len > s.size()) {
        ++i;
        return 0x200000u + b;
    }
    for (std::size_t k = 1; k < len; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0x200000u + b;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += len;
    if (fold && cp >= 'A' && cp <= 'Z')
        cp += 'a' - 'A';
    return cp < 0x10000 ? keys[cp] : 0x10000u + cp;
}

int gbkCollate(void* fold, int la, const void* a, int lb, const void* b)
{
    return CompareGbk(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(la)),
                      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lb)),
                      fold != nullptr);
}

}  // namespace

int CompareGbk(std::string_view a, std::string_view b, bool caseInsensitive)
{
    static const std::vector<std::uint32_t>& keys = gbkKeys();  // one guard test where the once-call is a call
    // The bytes both texts share are passed over up to the last character start among them: the decoding
    // starts afresh at every byte that is no continuation byte, so the shared characters compare equal.
    const std::size_t shared = std::min(a.size(), b.size());
    std::size_t p = 0;
    while (p + 8 <= shared && std::memcmp(a.data() + p, b.data() + p, 8) == 0)
        p += 8;
    while (p < shared && a[p] == b[p])
        ++p;
    // Where the texts part at an ASCII byte on both sides (or one ends and the other goes on with one), those
    // bytes decide, as their keys are byte * 256: the common case of codes and numbers.
    {
        const int ca = p < a.size() ? static_cast<unsigned char>(a[p]) : -1;
        const int cb = p < b.size() ? static_cast<unsigned char>(b[p]) : -1;
        if (ca < 0x80 && cb < 0x80) {
            if (ca < 0 && cb < 0)
                return 0;
            auto folded = [caseInsensitive](int c) { return caseInsensitive && c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
            if (folded(ca) != folded(cb))
                return folded(ca) < folded(cb) ? -1 : 1;
        }
    }
    auto continuation = [](std::string_view s, std::size_t k) {
        return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
    };
    while (p > 0 && (continuation(a, p) || continuation(b, p)))
        --p;
    std::size_t i = p, j = p;
    while (i < a.size() && j < b.size()) {
        std::uint32_t ka = nextKey(a, i, keys, caseInsensitive);
        std::uint32_t kb = nextKey(b, j, keys, caseInsensitive);
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

void RegisterGbkCollation(sqlite3* db)
{
    static int foldFlag = 1;
    gbkKeys();
    int rc = sqlite3_create_collation(db, "GBK", SQLITE_UTF8, nullptr, gbkCollate);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation(db, "GBK_NOCASE", SQLITE_UTF8, &foldFlag, gbkCollate);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db, rc, "collation");
}

namespace {

// Every statement of TQuery opens a connection and attaches its files; each attached file gets a page cache of up
// to 2 MB, in small blocks, that goes when the statement ends. By default glibc hands freed memory at the top of
// the heap back to the kernel as soon as 128 KB are free there, until the free of some large block happens to
// raise that threshold; until then every statement of a larger table faults its cache in again, page by page,
// which took several times the statement's own work. The process keeps up to 32 MB of freed memory at the top of
// its heap instead. Blocks of 1 MB and more still get memory of their own, which goes back to the kernel when
// they are freed, so that they leave no holes in the heap and the peak of memory stays what the work needs.
void keepFreedMemory()
{
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
    });
#endif
}

}  // namespace

void SetUpConnection(sqlite3* db)
{
    keepFreedMemory();
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    RegisterGbkCollation(db);
    char* err = nullptr;
    int rc = sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db, rc);
}

// ---- Connection ----

Connection::Connection(const std::string& path, Mode mode)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::ReadWriteCreate)
        flags |= SQLITE_OPEN_CREATE;
    if (mode == Mode::Memory)
        flags |= SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY;
    int rc = sqlite3_open_v2(mode == Mode::Memory ? ":memory:" : path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string detail = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw EDatabaseError(msg::CannotOpen(msg::ShownName(path), detail));
    }
    try {
        SetUpConnection(db_);
    } catch (...) {
        close();
        throw;
    }
}

Connection::~Connection() { close(); }

Connection& Connection::operator=(Connection&& o) noexcept
{
    if (this != &o) {
        close();
        db_ = o.db_;
        o.db_ = nullptr;
    }
    return *this;
}

void Connection::close()
{
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Connection::exec(const std::string& sql)
{
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db_, rc);
}

// ---- Statement ----

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db)
{
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db, rc);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::operator=(Statement&& o) noexcept
{
    if (this != &o) {
        sqlite3_finalize(stmt_);
        db_ = o.db_;
        stmt_ = o.stmt_;
        o.stmt_ = nullptr;
    }
    return *this;
}

void Statement::bind(int index, const Variant& v)
{
    int rc = SQLITE_OK;
    if (std::holds_alternative<std::monostate>(v)) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (auto* i = std::get_if<std::int64_t>(&v)) {
        rc = sqlite3_bind_int64(stmt_, index, *i);
    } else if (auto* d = std::get_if<double>(&v)) {
        rc = sqlite3_bind_double(stmt_, index, *d);
    } else if (auto* s = std::get_if<std::string>(&v)) {
        rc = sqlite3_bind_text(stmt_, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    } else if (auto* dt = std::get_if<Date>(&v)) {
        std::string t = FormatDate(*dt);
        rc = sqlite3_bind_text(stmt_, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        ThrowSqliteError(db_, rc);
}

void Statement::bindInt(int index, std::int64_t v)
{
    int rc = sqlite3_bind_int64(stmt_, index, v);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db_, rc);
}

bool Statement::step()
{
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    ThrowSqliteError(db_, rc);
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::changes() const { return sqlite3_changes(db_); }

std::int64_t Statement::columnInt(int col) const { return sqlite3_column_int64(stmt_, col); }

Variant Statement::column(int col) const
{
    switch (sqlite3_column_type(stmt_, col)) {
    case SQLITE_INTEGER:
        return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, col));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, col);
    case SQLITE_NULL:
        return std::monostate{};
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_blob(stmt_, col));
        int n = sqlite3_column_bytes(stmt_, col);
        return std::string(p ? p : "", static_cast<std::size_t>(n));
    }
    }
}

Variant Statement::column(int col, FieldType type) const { return FromStorage(column(col), type); }

// ---- types and values ----

const char* DeclaredType(FieldType t)
{
    switch (t) {
    case FieldType::Float:
    case FieldType::Currency:
        return "REAL";
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Boolean:
        return "INTEGER";
    case FieldType::Blob:
        return "BLOB";
    default:
        return "TEXT";
    }
}

std::string QuoteIdentifier(const std::string& name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

Variant ToStorage(const Variant& v)
{
    if (auto* s = std::get_if<std::string>(&v)) {
        std::size_t end = s->find_last_not_of(' ');
        if (end == std::string::npos)
            return std::monostate{};
        return s->substr(0, end + 1);
    }
    if (auto* d = std::get_if<Date>(&v))
        return FormatDate(*d);
    return v;
}

Variant FromStorage(const Variant& v, FieldType type)
{
    if (isNull(v))
        return v;
    switch (type) {
    case FieldType::Date:
        if (auto* s = std::get_if<std::string>(&v)) {
            Date d;
            if (ParseDate(*s, d))
                return d;
        }
        return v;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Boolean:
        if (auto* d = std::get_if<double>(&v))
            return static_cast<std::int64_t>(std::llround(*d));
        return v;
    case FieldType::Float:
    case FieldType::Currency:
        if (auto* i = std::get_if<std::int64_t>(&v))
            return static_cast<double>(*i);
        return v;
    default:
        if (auto* i = std::get_if<std::int64_t>(&v))
            return std::to_string(*i);
        if (std::holds_alternative<double>(v))
            return PlainText(v);  // any magnitude in plain decimal
        return v;
    }
}

std::string FormatDate(const Date& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

bool ParseDate(std::string_view text, Date& out)
{
    int y = 0, m = 0, d = 0;
    auto num = [&](std::string_view s, int& v) {
        if (s.empty())
            return false;
        for (char c : s) {
            if (c < '0' || c > '9')
                return false;
        }
        v = std::stoi(std::string(s));
        return true;
    };
    bool ok = false;
    if (text.size() == 10 && (text[4] == '-' || text[4] == '/') && text[7] == text[4]) {
        ok = num(text.substr(0, 4), y) && num(text.substr(5, 2), m) && num(text.substr(8, 2), d);
    } else if (text.size() == 8) {
        ok = num(text.substr(0, 4), y) && num(text.substr(4, 2), m) && num(text.substr(6, 2), d);
    }
    if (!ok || m < 1 || m > 12 || d < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    int maxDay = days[m - 1] + (m == 2 && leap ? 1 : 0);
    if (d > maxDay)
        return false;
    out = Date{y, m, d};
    return true;
}

}  // namespace db
