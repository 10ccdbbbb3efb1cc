// TQuery: runs one statement of the local SQL dialect on the table files it names. The statement is
// translated (SqlTranslate), every file it names is attached to a fresh in-memory connection, and the answer
// of a select is read whole into memory before anything else happens, so that a later statement may empty or
// replace its sources. Answer columns carry a field type and size (from the source field for plain columns,
// from the expression and the values otherwise) so that an answer can be saved as a table.
#include "platform/db/Query.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/db/Connection.h"
#include "platform/db/Messages.h"
#include "platform/db/Names.h"
#include "platform/db/SqlAnswer.h"
#include "platform/db/SqlStore.h"
#include "platform/db/SqlTranslate.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableStore.h"

namespace {

// One attached file of a running statement.
struct Attached {
    std::string path;
    std::unique_ptr<db::AttachableFile> file;
    db::TableSchema schema;
};

// The connection a statement runs on: an empty in-memory main database to which the files are attached.
// (Opened without SQLITE_OPEN_MEMORY, which would make every attached database an in-memory one too.)
class StatementConnection {
public:
    StatementConnection()
    {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        const int rc = sqlite3_open_v2(":memory:", &db_, flags, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(db_);
            throw EDatabaseError(std::string("无法执行 SQL 语句：") + sqlite3_errstr(rc));
        }
        try {
            db::SetUpConnection(db_);
        } catch (...) {
            sqlite3_close_v2(db_);
            throw;
        }
    }
    ~StatementConnection() { close(); }
    StatementConnection(const StatementConnection&) = delete;
    StatementConnection& operator=(const StatementConnection&) = delete;

    sqlite3* get() const { return db_; }
    void exec(const std::string& sql)
    {
        const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            db::ThrowSqliteError(db_, rc);
    }
    void close()
    {
        if (db_)
            sqlite3_close_v2(db_);
        db_ = nullptr;
    }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace

// ---- TStrings ----

std::string TStrings::Text() const
{
    std::string s;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            s += '\n';
        s += lines_[i];
    }
    return s;
}

void TStrings::SetText(const std::string& text)
{
    lines_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines_.push_back(text.substr(start));
            break;
        }
        lines_.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    changed();
}

// ---- TQuery ----

struct TQuery::Impl {
    std::vector<db::FieldDesc> fields;
    db::Rows rows;
    int rowsAffected = 0;

    // Runs the statement; keeps the answer of a select when answer is true.
    void run(const TQuery& q, bool answer);
};

namespace {

[[noreturn]] void throwStatementError(sqlite3* c, int rc, const std::string& text, const sql::Translation& t)
{
    const int primary = rc & 0xff;
    if (rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw EDatabaseError(db::kKeyViolation);
    if (primary == SQLITE_ERROR) {
        const int off = sqlite3_error_offset(c);
        const std::string what = sqlite3_errmsg(c);
        throw sql::SqlError(what, text, off >= 0 ? t.sourceOffset(static_cast<std::size_t>(off)) : text.size());
    }
    db::ThrowSqliteError(c, rc);
}

// The field of the column that min or max takes: through its table alias, or the first file that has it.
const db::FieldDesc* argumentField(const sql::Translation& t, const std::vector<Attached>& files,
                                   const sql::AnswerColumn& col)
{
    auto fieldIn = [&](std::size_t f) -> const db::FieldDesc* {
        const int k = files[f].schema.fieldIndex(col.column);
        return k < 0 ? nullptr : &files[f].schema.fields[static_cast<std::size_t>(k)];
    };
    if (!col.qualifier.empty()) {
        for (const auto& [alias, index] : t.aliases) {
            if (strcasecmp(alias.c_str(), col.qualifier.c_str()) == 0)
                return fieldIn(static_cast<std::size_t>(index));
        }
        return nullptr;
    }
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (const db::FieldDesc* d = fieldIn(f))
            return d;
    }
    return nullptr;
}

bool isNumber(const std::string& s)
{
    const char* begin = s.c_str();
    char* end = nullptr;
    std::strtod(begin, &end);
    if (end == begin)
        return false;
    while (*end == ' ')
        ++end;
    return *end == '\0';
}

// A text that is no number compared with a numeric field matches nothing without a word from SQLite; the
// user is told instead, as of any other fault in the statement.
void checkLiteralTypes(const sql::Translation& t, const std::vector<Attached>& files, const std::string& text)
{
    for (const sql::LiteralComparison& cmp : t.comparisons) {
        const db::FieldDesc* d =
            argumentField(t, files, {sql::ColumnHint::Argument, cmp.qualifier, cmp.column});
        if (d && db::isNumericType(d->type) && !isNumber(cmp.literal))
            throw sql::SqlError("字段“" + cmp.column + "”是数值，不能与文字“" + cmp.literal + "”比较", text,
                                cmp.offset);
    }
}

}  // namespace

void TQuery::Impl::run(const TQuery& q, bool answer)
{
    const std::string text = q.SQL.Text();
    sql::TranslateOptions options;
    options.innerTable = db::kDataTable;
    const std::string folder = q.DatabaseName;
    options.fileKey = [&folder](const std::string& name) { return db::ResolveTableName(name, folder); };
    const sql::Translation t = sql::translateStatement(text, options);
    if (answer && t.kind != sql::StatementKind::Select)
        throw EDatabaseError("这条 SQL 语句没有结果可以打开，应当用 ExecSQL 执行");

    std::vector<Attached> files(t.files.size());
    StatementConnection c;
    for (std::size_t i = 0; i < t.files.size(); ++i) {
        Attached& a = files[i];
        a.path = t.files[i].key;
        a.file = std::make_unique<db::AttachableFile>(a.path);
        {
            db::Statement attach(c.get(), "ATTACH DATABASE ?1 AS " + db::QuoteIdentifier(t.files[i].schema));
            attach.bind(1, a.file->sqlitePath());
            attach.step();
        }
        // The layout is read through the statement's own connection: no second opening of the file.
        a.schema = db::ReadLayout(c.get(), std::filesystem::path(a.path).filename().string(), t.files[i].schema);
        c.exec("PRAGMA " + db::QuoteIdentifier(t.files[i].schema) + ".synchronous=FULL");
    }

    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(c.get(), t.sql.c_str(), static_cast<int>(t.sql.size()), &raw, nullptr);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    if (rc != SQLITE_OK)
        throwStatementError(c.get(), rc, text, t);
    checkLiteralTypes(t, files, text);

    if (t.kind == sql::StatementKind::Select) {
        const int n = sqlite3_column_count(stmt.get());
        db::Rows rows;
        while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
            if (!answer)
                continue;
            db::Row row(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                switch (sqlite3_column_type(stmt.get(), i)) {
                case SQLITE_INTEGER:
                    row[static_cast<std::size_t>(i)] = static_cast<std::int64_t>(sqlite3_column_int64(stmt.get(), i));
                    break;
                case SQLITE_FLOAT:
                    row[static_cast<std::size_t>(i)] = sqlite3_column_double(stmt.get(), i);
                    break;
                case SQLITE_NULL:
                    break;
                default: {
                    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), i));
                    std::string s(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt.get(), i)));
                    if (!s.empty())
                        row[static_cast<std::size_t>(i)] = std::move(s);
                }
                }
            }
            rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE)
            throwStatementError(c.get(), rc, text, t);
        if (!answer)
            return;
        std::vector<db::FieldDesc> defs;
        for (int i = 0; i < n; ++i) {
            const char* name = sqlite3_column_name(stmt.get(), i);
            const char* schema = sqlite3_column_database_name(stmt.get(), i);
            const char* origin = sqlite3_column_origin_name(stmt.get(), i);
            const db::FieldDesc* source = nullptr;
            if (schema && origin) {
                for (std::size_t f = 0; f < t.files.size(); ++f) {
                    if (t.files[f].schema == schema) {
                        const int k = files[f].schema.fieldIndex(origin);
                        if (k >= 0)
                            source = &files[f].schema.fields[static_cast<std::size_t>(k)];
                    }
                }
            }
            db::FieldDesc d;
            if (source) {
                d = *source;
                d.name = name ? name : source->name;
                d.required = false;
            } else {
                const sql::AnswerColumn col = static_cast<std::size_t>(i) < t.columns.size()
                                                  ? t.columns[static_cast<std::size_t>(i)]
                                                  : sql::AnswerColumn{};
                const db::FieldDesc* arg =
                    col.hint == sql::ColumnHint::Argument ? argumentField(t, files, col) : nullptr;
                if (arg) {
                    d = *arg;
                    d.name = name ? name : "";
                    d.required = false;
                } else {
                    d = sql::InferAnswerColumn(name ? name : "", col.hint, rows, static_cast<std::size_t>(i));
                }
            }
            defs.push_back(d);
        }
        sql::MakeNamesUnique(defs);
        for (auto& row : rows) {
            for (std::size_t i = 0; i < defs.size(); ++i)
                row[i] = sql::ToAnswerValue(row[i], defs[i]);
        }
        fields = std::move(defs);
        this->rows = std::move(rows);
        rowsAffected = 0;
        return;
    }

    // A modifying statement and the clean-up and checks of what it wrote run as one transaction: on any
    // failure no file changes.
    c.exec("BEGIN");
    try {
        rc = sqlite3_step(stmt.get());
        if (rc == SQLITE_CONSTRAINT_UNIQUE)
            sql::ThrowUniqueViolation(c.get(), files[static_cast<std::size_t>(t.target)].schema);
        if (rc != SQLITE_DONE)
            throwStatementError(c.get(), rc, text, t);
        const int changed = sqlite3_changes(c.get());
        stmt.reset();
        if (t.kind != sql::StatementKind::Delete && changed > 0) {
            const auto target = static_cast<std::size_t>(t.target);
            const std::string table =
                db::QuoteIdentifier(t.files[target].schema) + "." + db::QuoteIdentifier(db::kDataTable);
            sql::StoreAsTheTableDoes(c.get(), table, files[target].schema,
                                    db::msg::Table(db::msg::ShownName(files[target].path)));
        }
        c.exec("COMMIT");
        rowsAffected = changed;
    } catch (...) {
        stmt.reset();
        sqlite3_exec(c.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    stmt.reset();
    c.close();
    files[static_cast<std::size_t>(t.target)].file->writeBack();
}

TQuery::TQuery() : impl_(std::make_unique<Impl>())
{
    SQL.OnChange = [this] {
        if (Active())
            Close();
    };
}

TQuery::~TQuery() = default;

void TQuery::ExecSQL()
{
    if (Active())
        Close();
    impl_->rowsAffected = 0;
    Impl scratch;
    scratch.run(*this, false);
    impl_->rowsAffected = scratch.rowsAffected;
}

int TQuery::RowsAffected() const { return impl_->rowsAffected; }

void TQuery::InternalOpen()
{
    impl_->run(*this, true);
    CreateFields(impl_->fields);
}

void TQuery::InternalClose()
{
    impl_->rows.clear();
    impl_->fields.clear();
}

int TQuery::ViewSize() const { return static_cast<int>(impl_->rows.size()); }

db::Variant TQuery::StoredValue(int viewPos, int field) const
{
    return impl_->rows.at(static_cast<std::size_t>(viewPos)).at(static_cast<std::size_t>(field));
}

void TQuery::InternalPost(bool, int, const std::vector<db::Variant>&)
{
    throw EDatabaseError(db::msg::DataSetReadOnly(Describe()));
}

void TQuery::InternalDelete(int) { throw EDatabaseError(db::msg::DataSetReadOnly(Describe())); }

int TQuery::PositionAfterPost() const { return -1; }
