// The inside of TTable, shared by its source files: the file and connection, its batches and runs, the view of
// row ids kept in the active order with the cache of rows (TableView.cpp), the master link and the constraint
// check (TableConstraints.cpp).
#pragma once

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <map>
#include <unordered_map>

#include "platform/db/Messages.h"
#include "platform/db/Names.h"
#include "platform/db/PackedRow.h"
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

// The first column of a statement's first row as an integer, none when there is no row. The statement is reset
// whether it ran or failed, so that it holds no lock.
inline std::int64_t firstInt(db::Statement& st, std::int64_t none)
{
    std::int64_t v = none;
    try {
        if (st.step())
            v = st.columnInt(0);
    } catch (...) {
        st.reset();
        throw;
    }
    st.reset();
    return v;
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

    // The view: the rows in the active order, with the order's values of each row as stored (packed), so that
    // searches and placements compare in memory. Inside a run new rows go to the end of the view; the run's end
    // puts the view back in order.
    std::vector<std::int64_t> view;
    db::PackedList keys;
    bool inOrder = true;
    std::unordered_map<std::int64_t, int> positions;  // rowid to view position while out of order, built on demand
    int lastFetched = -1;                              // view position of the last row read, to tell a walk
    std::int64_t cacheVersion = -1;  // the file's data version when the oldest row in the cache was read
    std::int64_t editVersion = -1;   // cacheVersion when the edit began
    std::vector<OrderTerm> order;
    std::string where;                      // conditions of the view, with ?1.. for the master values
    std::vector<db::Variant> masterValues;  // of the master's current record, as the view was built
    std::vector<int> linkFields;            // detail fields of the master link
    int lastPostPos = -1;
    std::int64_t editRowid = -1;  // the row being edited; the view may have been rebuilt since the edit began
    db::PackedRow editRead;       // that row's values as they were read, to tell another user's store

    db::Statement fetchStmt, rangeStmt, orderStmt, memberStmt, rowStmt, versionStmt;
    std::map<std::string, db::Statement> keyStmts;  // key searches by their SQL text
    using RowCache = std::unordered_map<std::int64_t, db::PackedRow>;
    RowCache cache;                         // rows as stored, converted when a field is read
    std::vector<RowCache::node_type> spare;  // entries of rows dropped from the cache, kept with their buffers
    // The rows of the last block a walk read by range, by view position: rows[k] is the row of view position
    // start + k while ids[k] is its rowid (-1 once the row is written). They lie one after another in one
    // buffer, reused from block to block.
    struct Block {
        int start = 0;
        std::vector<std::int64_t> ids;
        db::PackedList rows;
        std::vector<int> slot;  // while reading: rowid - low to k, -1 for rows of the range outside the block
        void clear() { ids.clear(); }
    } block;

    bool inBatch = false;
    int runDepth = 0;   // BeginBatch nesting: stores of a run commit together
    int runStores = 0;  // stores since the run's last commit
    MasterLink masterLink;
    std::vector<db::Variant> savedKey;
    std::map<std::string, std::string> translated;  // condition texts already translated

    // ---- file ----

    bool fileOpen() const { return static_cast<bool>(conn); }

    // holdRead: the reads of the layout run in a read transaction that stays open for the caller's first reads
    // (the view), ended by endRead; one transaction costs one round of file locks and checks instead of one per
    // statement.
    void openFile(bool holdRead = false)
    {
        if (fileOpen())
            return;
        if (owner->tableName_.empty())
            throw EDatabaseError("没有给出数据表名");
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
                if (!owner->SyncedWrites)
                    conn.exec("PRAGMA synchronous=OFF");
                if (holdRead)
                    conn.exec("BEGIN");
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
            if (e.Message.find(displayName) == std::string::npos &&
                e.Message.find(db::msg::ShownName(path)) == std::string::npos)
                throw EDatabaseError(db::msg::InTable(db::msg::Table(displayName), e.Message));
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

    void endRead()
    {
        if (conn && sqlite3_get_autocommit(conn.get()) == 0)
            conn.exec("COMMIT");
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
        rangeStmt = db::Statement();
        orderStmt = db::Statement();
        memberStmt = db::Statement();
        rowStmt = db::Statement();
        versionStmt = db::Statement();
        keyStmts.clear();
        checkStmt = db::Statement();
        checkTexts.clear();
        checkExprs.clear();
        checkWhich.clear();
        checkFields.clear();
        checkSingly = false;
        writer.reset();
        conn.close();
        if (registered)
            db::UnregisterOpenFile(this);
        registered = false;
        view.clear();
        keys.clear();
        positions.clear();
        inOrder = true;
        cache.clear();
        spare.clear();
        block = Block{};
        translated.clear();
        if (failure)
            std::rethrow_exception(failure);
    }

    void writeBack()
    {
        if (format != db::TableFormat::Sqlite)
            db::SaveForeignTable(conn.get(), path, schema, format);
        dirty = false;
    }

    // A row that the table's own format cannot hold (dBase, text) is refused before it is stored, so that
    // writing the file back never fails on it.
    void checkWritable(const db::Row& values) const
    {
        if (format != db::TableFormat::Sqlite)
            db::CheckForeignRow(schema, values, format);
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

    // ---- order and view (TableView.cpp) ----

    void setUpOrder();
    std::string orderBy() const;       // the browse order: text by the GBK collations, then rowid
    std::string indexOrderBy() const;  // the same fields under the collations of the file's indexes
    void setUpWhere();
    std::vector<db::Variant> currentMasterValues() const;
    void bindMaster(db::Statement& st);
    void buildView();
    std::size_t reserveFor();  // the rows a view of the whole table can hold at most, 0 when unknown or many
    void putInOrder();  // sorts the view by its keys where it is not in order (the cursor is left alone)
    void settleOrder(bool sorted);  // the view in order from now on; sorted by its keys first unless sorted
    void rebuild();
    std::int64_t currentRowid() const;
    void rebuildKeepingRecord();
    db::PackedRow orderKey(std::int64_t rowid);  // the order's values of a stored row, as stored
    int compareEntries(db::PackedView ka, std::int64_t ra, db::PackedView kb, std::int64_t rb) const;
    bool isMember(std::int64_t rowid);
    int placeRow(std::int64_t rowid);           // puts a stored row into the view; its position or -1
    int positionOf(std::int64_t rowid);         // in the view, or -1
    void removeAt(int pos);
    int keepAfterUpdate(int pos, std::int64_t rowid);  // the view position of an updated row, or -1
    int findKey(const std::vector<db::Variant>& key);  // first row with the key (null = any), -2 when unknown
    // The first row whose leading order values are these, as stored, or -1; the view must be in order.
    int findStored(const std::vector<db::StoredRef>& want) const;
    // The row at a view position, valid until the next read: a row of the block at hand is found inline.
    db::PackedView fetch(int viewPos)
    {
        const std::int64_t rowid = view[static_cast<std::size_t>(viewPos)];
        if (!inBlock(viewPos, rowid))
            return fetchRead(viewPos);
        lastFetched = viewPos;
        return block.rows[static_cast<std::size_t>(viewPos - block.start)];
    }
    db::PackedView fetchRead(int viewPos);
    void versionIfNothingOlder(bool newBlock);
    bool readRow(std::int64_t rowid, db::PackedRow& out);  // one row as fetch reads it; false when it is gone
    void dropCache();                                // empties the cache, keeping its entries for reuse
    bool inBlock(int viewPos, std::int64_t rowid) const
    {
        const auto k = static_cast<std::size_t>(viewPos - block.start);
        return viewPos >= block.start && k < block.ids.size() && block.ids[k] == rowid;
    }
    void startBlock(int start, int end);
    void forgetRow(std::int64_t rowid);  // drops the row from the cache and the block: it is read again
    void forgetRows();                   // drops every row read
    db::PackedRow& cacheEntry(std::int64_t rowid);   // the row's entry in the cache, made (or reused) if none
    void cacheRow(std::int64_t rowid);               // the stored row into the cache, as it is now
    void masterChanged();

    // ---- stores (Table.cpp) ----

    bool updateEdited(std::int64_t rowid, const db::Row& values);
    std::int64_t dataVersion();

    // ---- constraints (TableConstraints.cpp) ----

    db::Statement checkStmt;
    std::vector<std::string> checkTexts;  // the constraints (all of them) checkStmt was made from
    std::vector<std::string> checkExprs;  // the translated constraints checkStmt evaluates, in order
    std::vector<int> checkWhich;          // the constraint of each of them
    std::vector<int> checkFields;         // the fields of the record relation, bound in this order
    bool checkSingly = false;             // some constraint does not prepare: each is run on its own
    bool checkIsCurrent() const;          // checkStmt was made from the constraints as they are now
    void prepareCheck();
    void checkConstraints(const std::vector<db::Variant>& buffer);
};

