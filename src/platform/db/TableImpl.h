// The inside of TTable, shared by its source files: the file and connection, the view of row ids kept in the
// active order, the block cache of rows, the master link and the constraint check.
#pragma once

#include <strings.h>

#include <algorithm>
#include <exception>
#include <map>
#include <unordered_map>

#include "platform/db/Names.h"
#include "platform/db/SqlTranslate.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableForeign.h"
#include "platform/db/TableStore.h"

namespace tableimpl {

inline std::vector<std::string> splitNames(const std::string& s)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : s + ";") {
        if (c == ';') {
            std::size_t b = cur.find_first_not_of(' ');
            std::size_t e = cur.find_last_not_of(' ');
            if (b != std::string::npos)
                out.push_back(cur.substr(b, e - b + 1));
            cur.clear();
        } else {
            cur += c;
        }
    }
    return out;
}

inline bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (strcasecmp(a[i].c_str(), b[i].c_str()) != 0)
            return false;
    }
    return true;
}

inline bool isText(db::FieldType t) { return t == db::FieldType::String || t == db::FieldType::Memo; }

// SQLite's order of stored values: null, numbers, text, blobs; text by the GBK collation.
inline int compareStored(const db::Variant& a, const db::Variant& b, bool nocase)
{
    auto rank = [](const db::Variant& v) {
        if (db::isNull(v))
            return 0;
        if (std::holds_alternative<std::int64_t>(v) || std::holds_alternative<double>(v))
            return 1;
        return 2;
    };
    int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        auto num = [](const db::Variant& v) {
            if (auto* i = std::get_if<std::int64_t>(&v))
                return static_cast<long double>(*i);
            return static_cast<long double>(std::get<double>(v));
        };
        long double x = num(a), y = num(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return db::CompareGbk(std::get<std::string>(a), std::get<std::string>(b), nocase);
}

}  // namespace tableimpl

struct TTable::Impl : db::OpenTableFile {
    struct OrderTerm {
        int field;
        bool nocase;
    };

    // Follows the master's data source.
    struct MasterLink : TDataLink {
        Impl* impl = nullptr;
        void ActiveChanged() override { impl->masterChanged(); }
        void DataSetChanged() override { impl->masterChanged(); }
        void RecordChanged(TField*) override { impl->masterChanged(); }
        void DataSourceDestroyed(TDataSource* src) override
        {
            if (impl->owner->masterSource_ == src)
                impl->owner->masterSource_ = nullptr;
        }
    };

    explicit Impl(TTable* t) : owner(t) { masterLink.impl = this; }
    ~Impl() override
    {
        try {
            closeFile();
        } catch (...) {
        }
    }

    TTable* owner;
    std::string path, displayName;
    db::TableFormat format = db::TableFormat::Sqlite;
    db::Connection conn;
    db::TableSchema schema;
    std::unique_ptr<db::RowWriter> writer;
    bool registered = false;
    bool dirty = false;  // a foreign (dBase) table changed since it was written back

    std::vector<std::int64_t> view;
    std::vector<OrderTerm> order;
    std::string where;                      // conditions of the view, with ?1.. for the master values
    std::vector<db::Variant> masterValues;  // of the master's current record, as the view was built
    std::vector<int> linkFields;            // detail fields of the master link
    int lastPostPos = -1;
    std::int64_t editRowid = -1;  // the row being edited; the view may have been rebuilt since the edit began
    db::Row editRead;             // that row's values as they were read, to tell another user's store

    db::Statement fetchStmt, orderStmt, memberStmt, rowStmt;
    std::unordered_map<std::int64_t, db::Row> cache;

    bool inBatch = false;
    int runDepth = 0;   // BeginBatch nesting: stores of a run commit together
    int runStores = 0;  // stores since the run's last commit
    MasterLink masterLink;
    std::vector<db::Variant> savedKey;
    std::map<std::string, std::string> translated;  // condition texts already translated

    // ---- file ----

    bool fileOpen() const { return static_cast<bool>(conn); }

    void openFile()
    {
        if (fileOpen())
            return;
        if (owner->tableName_.empty())
            throw EDatabaseError("No table name given");
        path = owner->resolvedPath();
        displayName = owner->tableName_;
        format = db::FormatOfPath(path);
        if (owner->TableType == TTableType::ttDBase)
            format = db::TableFormat::DBase;
        if (format == db::TableFormat::Sqlite)
            db::CheckTableFile(path, displayName);
        try {
            if (format == db::TableFormat::Sqlite) {
                conn = db::Connection(path, db::Connection::Mode::ReadWrite);
                schema = db::ReadLayout(conn.get(), displayName);
            } else if (format == db::TableFormat::DBase) {
                conn = db::Connection({}, db::Connection::Mode::Memory);
                schema = db::LoadForeignTable(conn.get(), path, displayName);
            } else {
                // Text tables are written only: the table works on an empty copy of its field definitions.
                conn = db::Connection({}, db::Connection::Mode::Memory);
                schema = db::TableSchema{};
                schema.fields = owner->FieldDefs.Items();
                db::CreateLayout(conn.get(), schema);
            }
            writer = std::make_unique<db::RowWriter>(conn.get(), schema);
        } catch (const EDatabaseError& e) {
            writer.reset();
            conn.close();
            // A layout that SQLite refuses (a damaged description) is as foreign as any other file.
            if (e.Message.find(displayName) == std::string::npos)
                throw EDatabaseError("Table '" + displayName + "': " + e.Message);
            throw;
        } catch (...) {
            writer.reset();
            conn.close();
            throw;
        }
        dirty = false;
        db::RegisterOpenFile(this);
        registered = true;
    }

    // Releases the file whatever happens; a failure to commit or write back is raised after the release.
    void closeFile()
    {
        runDepth = 0;
        std::exception_ptr failure;
        try {
            if (inBatch)
                endBatch();
            if (dirty)
                writeBack();
        } catch (...) {
            failure = std::current_exception();
            dirty = false;
        }
        fetchStmt = db::Statement();
        orderStmt = db::Statement();
        memberStmt = db::Statement();
        rowStmt = db::Statement();
        writer.reset();
        conn.close();
        if (registered)
            db::UnregisterOpenFile(this);
        registered = false;
        view.clear();
        cache.clear();
        translated.clear();
        checkTableReady = false;
        if (failure)
            std::rethrow_exception(failure);
    }

    void writeBack()
    {
        if (format != db::TableFormat::Sqlite)
            db::SaveForeignTable(conn.get(), path, schema, format);
        dirty = false;
    }

    void afterWrite()
    {
        if (format != db::TableFormat::Sqlite)
            dirty = true;
        else
            db::TableFileChanged(path, this);
    }

    // ---- batches ----

    void beginBatch()
    {
        conn.exec("BEGIN IMMEDIATE");
        inBatch = true;
    }

    void endBatch()
    {
        inBatch = false;
        if (sqlite3_get_autocommit(conn.get()) == 0)
            conn.exec("COMMIT");
    }

    // Commits what a batch has stored so far; its next write opens a new transaction (so that a statement of
    // another connection can write the file in between).
    void commitBatch()
    {
        if (inBatch && sqlite3_get_autocommit(conn.get()) == 0)
            conn.exec("COMMIT");
        runStores = 0;
    }

    // Before every write: inside a batch the write goes into the batch's transaction.
    void batchWrite()
    {
        if (inBatch && sqlite3_get_autocommit(conn.get()) != 0)
            conn.exec("BEGIN IMMEDIATE");
    }

    // After each store or delete of a run: every 1,000 rows go to disk.
    void countRunStore()
    {
        if (runDepth > 0 && ++runStores >= 1000)
            commitBatch();
    }

    // OpenTableFile
    const std::string& openPath() const override { return path; }
    void commitPendingWrites() override
    {
        commitBatch();
        if (dirty)
            writeBack();
    }
    void fileChanged() override
    {
        if (!owner->Active())
            return;
        rebuildKeepingRecord();
        owner->DataSetChanged();
    }

    // ---- conditions ----

    std::string translate(const std::string& text)
    {
        auto it = translated.find(text);
        if (it != translated.end())
            return it->second;
        std::string expr = sql::TranslateCondition(text);
        translated.emplace(text, expr);
        return expr;
    }

    // ---- order and view ----

    void setUpOrder()
    {
        order.clear();
        std::vector<std::string> names;
        const db::IndexDesc* ix = nullptr;
        if (!owner->indexFieldNames_.empty()) {
            names = tableimpl::splitNames(owner->indexFieldNames_);
            for (const auto& cand : schema.indexes) {
                if (tableimpl::sameNames(cand.fields, names)) {
                    ix = &cand;
                    break;
                }
            }
        } else if (!owner->indexName_.empty()) {
            ix = schema.findIndex(owner->indexName_);
            if (!ix)
                throw EDatabaseError("Index '" + owner->indexName_ + "' does not exist in table '" + displayName + "'");
            names = ix->fields;
        } else if ((ix = schema.primaryIndex())) {
            names = ix->fields;
        }
        for (const auto& n : names) {
            int fi = schema.fieldIndex(n);
            if (fi < 0)
                throw EDatabaseError("Field '" + n + "' not found in table '" + displayName + "'");
            bool nocase = ix && ix->caseInsensitive && tableimpl::isText(schema.fields[static_cast<std::size_t>(fi)].type);
            order.push_back({fi, nocase});
        }
        std::string cols;
        for (const auto& t : order)
            cols += db::QuoteIdentifier(schema.fields[static_cast<std::size_t>(t.field)].name) + ",";
        orderStmt = db::Statement(conn.get(), "SELECT " + cols + "rowid FROM data WHERE rowid=?1");
    }

    std::string orderBy() const
    {
        std::string s;
        for (const auto& t : order) {
            const auto& f = schema.fields[static_cast<std::size_t>(t.field)];
            s += db::QuoteIdentifier(f.name);
            if (tableimpl::isText(f.type))
                s += t.nocase ? " COLLATE GBK_NOCASE" : " COLLATE GBK";
            s += ",";
        }
        return s + "rowid";
    }

    void setUpWhere()
    {
        std::vector<std::string> conds;
        linkFields.clear();
        masterValues.clear();
        if (owner->masterSource_ && !owner->masterFields_.empty()) {
            for (const auto& n : tableimpl::splitNames(owner->masterFields_)) {
                int fi = schema.fieldIndex(n);
                if (fi < 0)
                    throw EDatabaseError("Field '" + n + "' not found in table '" + displayName + "'");
                linkFields.push_back(fi);
                conds.push_back(db::QuoteIdentifier(schema.fields[static_cast<std::size_t>(fi)].name) + " = ?" +
                                std::to_string(linkFields.size()));
            }
            masterValues = currentMasterValues();
        }
        if (owner->filtered_) {
            std::string expr = translate(owner->filter_);
            if (!expr.empty())
                conds.push_back("(" + expr + ")");
        }
        where.clear();
        for (std::size_t i = 0; i < conds.size(); ++i)
            where += (i ? " AND " : "") + conds[i];
        std::string self = std::to_string(linkFields.size() + 1);
        memberStmt = where.empty() ? db::Statement()
                                   : db::Statement(conn.get(), "SELECT 1 FROM data WHERE rowid=?" + self + " AND " + where);
    }

    std::vector<db::Variant> currentMasterValues() const
    {
        std::vector<db::Variant> vals;
        TDataSet* m = owner->masterSource_ ? owner->masterSource_->DataSet() : nullptr;
        for (std::size_t i = 0; i < linkFields.size(); ++i) {
            std::vector<std::string> names = tableimpl::splitNames(owner->masterFields_);
            if (!m || !m->Active()) {
                vals.emplace_back();
                continue;
            }
            TField* f = m->FindField(names[i]);
            vals.push_back(f ? db::ToStorage(f->Value()) : db::Variant{});
        }
        return vals;
    }

    void bindMaster(db::Statement& st)
    {
        for (std::size_t i = 0; i < masterValues.size(); ++i)
            st.bind(static_cast<int>(i + 1), masterValues[i]);
    }

    void buildView()
    {
        view.clear();
        cache.clear();
        db::Statement st(conn.get(), "SELECT rowid FROM data" + (where.empty() ? std::string() : " WHERE " + where) +
                                         " ORDER BY " + orderBy());
        bindMaster(st);
        while (st.step())
            view.push_back(st.columnInt(0));
    }

    void rebuild()
    {
        setUpOrder();
        setUpWhere();
        buildView();
    }

    std::int64_t currentRowid() const
    {
        int pos = owner->CursorPos();
        return pos >= 0 && pos < static_cast<int>(view.size()) ? view[static_cast<std::size_t>(pos)] : -1;
    }

    void rebuildKeepingRecord()
    {
        std::int64_t rowid = currentRowid();
        rebuild();
        auto it = std::find(view.begin(), view.end(), rowid);
        if (it != view.end())
            owner->SetCursorPos(static_cast<int>(it - view.begin()));
    }

    db::Row orderKey(std::int64_t rowid)
    {
        orderStmt.bindInt(1, rowid);
        db::Row key;
        if (orderStmt.step()) {
            for (std::size_t i = 0; i <= order.size(); ++i)
                key.push_back(orderStmt.column(static_cast<int>(i)));
        }
        orderStmt.reset();
        return key;
    }

    int compareKeys(const db::Row& a, const db::Row& b) const
    {
        for (std::size_t i = 0; i < order.size(); ++i) {
            int c = tableimpl::compareStored(a[i], b[i], order[i].nocase);
            if (c != 0)
                return c;
        }
        return tableimpl::compareStored(a.back(), b.back(), false);
    }

    bool isMember(std::int64_t rowid)
    {
        if (!memberStmt)
            return true;
        bindMaster(memberStmt);
        memberStmt.bindInt(static_cast<int>(linkFields.size() + 1), rowid);
        bool yes = memberStmt.step();
        memberStmt.reset();
        return yes;
    }

    // Puts a stored row into the view at its place in the order; returns its position or -1.
    int placeRow(std::int64_t rowid)
    {
        if (!isMember(rowid))
            return -1;
        db::Row key = orderKey(rowid);
        std::size_t lo = 0, hi = view.size();
        while (lo < hi) {
            std::size_t mid = (lo + hi) / 2;
            if (compareKeys(orderKey(view[mid]), key) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        view.insert(view.begin() + static_cast<std::ptrdiff_t>(lo), rowid);
        return static_cast<int>(lo);
    }

    // Rows are read in blocks of the view, so that walking a table costs one statement per block.
    static constexpr int kBlock = 128;

    const db::Row& fetch(int viewPos)
    {
        std::int64_t rowid = view[static_cast<std::size_t>(viewPos)];
        auto it = cache.find(rowid);
        if (it != cache.end())
            return it->second;
        if (cache.size() > 16 * kBlock)
            cache.clear();
        if (!fetchStmt) {
            std::string cols, params;
            for (std::size_t i = 0; i < schema.fields.size(); ++i)
                cols += "," + db::QuoteIdentifier(schema.fields[i].name);
            for (int i = 0; i < kBlock; ++i)
                params += (i ? ",?" : "?") + std::to_string(i + 1);
            fetchStmt = db::Statement(conn.get(), "SELECT rowid" + cols + " FROM data WHERE rowid IN (" + params + ")");
        }
        int start = viewPos - viewPos % kBlock;
        int end = std::min<int>(start + kBlock, static_cast<int>(view.size()));
        for (int p = start; p < end; ++p)
            fetchStmt.bindInt(p - start + 1, view[static_cast<std::size_t>(p)]);
        try {
            while (fetchStmt.step()) {
                db::Row r;
                r.reserve(schema.fields.size());
                for (std::size_t i = 0; i < schema.fields.size(); ++i)
                    r.push_back(fetchStmt.column(static_cast<int>(i + 1), schema.fields[i].type));
                cache[fetchStmt.columnInt(0)] = std::move(r);
            }
        } catch (...) {
            fetchStmt.reset();
            throw;
        }
        fetchStmt.reset();
        it = cache.find(rowid);
        if (it == cache.end())
            it = cache.emplace(rowid, db::Row(schema.fields.size())).first;
        return it->second;
    }

    // One row read as the view's rows are read; false when it is not (or no longer) in the file.
    bool readRow(std::int64_t rowid, db::Row& out)
    {
        if (!rowStmt) {
            std::string cols;
            for (std::size_t i = 0; i < schema.fields.size(); ++i)
                cols += (i ? "," : "") + db::QuoteIdentifier(schema.fields[i].name);
            rowStmt = db::Statement(conn.get(), "SELECT " + cols + " FROM data WHERE rowid=?1");
        }
        rowStmt.bindInt(1, rowid);
        bool found = false;
        try {
            found = rowStmt.step();
            out.clear();
            for (std::size_t i = 0; found && i < schema.fields.size(); ++i)
                out.push_back(rowStmt.column(static_cast<int>(i), schema.fields[i].type));
        } catch (...) {
            rowStmt.reset();
            throw;
        }
        rowStmt.reset();
        return found;
    }

    // Stores the edited row unless another user stored or deleted it since it was read: the read, the
    // comparison and the write run in one write transaction, so that no other writer slips in between. Returns
    // false for a row that is gone; raises ERecordChanged, the view showing the fresh values, for a changed one.
    bool updateEdited(std::int64_t rowid, const db::Row& values)
    {
        const bool own = sqlite3_get_autocommit(conn.get()) != 0;
        if (own)
            conn.exec("BEGIN IMMEDIATE");
        bool changed = false, found = false;
        try {
            db::Row now;
            found = readRow(rowid, now);
            changed = found && now != editRead;
            if (found && !changed)
                writer->update(rowid, values);
            if (own)
                conn.exec(found && !changed ? "COMMIT" : "ROLLBACK");
        } catch (...) {
            if (own && sqlite3_get_autocommit(conn.get()) == 0) {
                try {
                    conn.exec("ROLLBACK");
                } catch (...) {
                }
            }
            throw;
        }
        if (changed) {
            rebuildKeepingRecord();
            throw ERecordChanged("记录已被其他用户修改（" + displayName + "），现显示其最新内容，请重新修改后再保存");
        }
        return found;
    }

    // ---- master link ----

    void masterChanged()
    {
        if (!owner->Active() || linkFields.empty())
            return;
        // A key being typed for a search is not a record to follow.
        TDataSet* m = owner->masterSource_ ? owner->masterSource_->DataSet() : nullptr;
        if (m && m->State() == TDataSetState::dsSetKey)
            return;
        std::vector<db::Variant> now = currentMasterValues();
        if (now == masterValues)
            return;
        owner->CheckBrowseMode();
        masterValues = now;
        buildView();
        owner->ResetCursor();
    }

    // ---- constraints ----

    bool checkTableReady = false;

    void checkConstraints(const std::vector<db::Variant>& buffer)
    {
        const TCheckConstraints& cs = owner->Constraints;
        if (cs.Count() == 0)
            return;
        if (!checkTableReady) {
            std::string cols, params;
            for (std::size_t i = 0; i < schema.fields.size(); ++i) {
                cols += (i ? ", " : "") + db::QuoteIdentifier(schema.fields[i].name) + " " +
                        db::DeclaredType(schema.fields[i].type);
            }
            conn.exec("CREATE TEMP TABLE IF NOT EXISTS rowcheck(" + cols + ")");
            checkTableReady = true;
        }
        conn.exec("DELETE FROM temp.rowcheck");
        {
            std::string params;
            for (std::size_t i = 0; i < schema.fields.size(); ++i)
                params += (i ? ",?" : "?") + std::to_string(i + 1);
            db::Statement ins(conn.get(), "INSERT INTO temp.rowcheck VALUES(" + params + ")");
            for (std::size_t i = 0; i < schema.fields.size() && i < buffer.size(); ++i)
                ins.bind(static_cast<int>(i + 1), db::ToStorage(buffer[i]));
            ins.step();
        }
        for (const auto& c : cs) {
            std::string expr = translate(c.CustomConstraint);
            if (expr.empty())
                continue;
            db::Statement st(conn.get(), "SELECT CASE WHEN (" + expr + ") THEN 1 WHEN NOT (" + expr +
                                             ") THEN 0 END FROM temp.rowcheck");
            if (st.step() && !db::isNull(st.column(0)) && st.columnInt(0) == 0)
                throw EDatabaseError(c.ErrorMessage.empty() ? "Record or field constraint failed." : c.ErrorMessage);
        }
    }
};

