// A table file opened by name: the engine's TTable. Names resolve against the current folder without regard
// to case, with "\" as a separator and ".db" when no extension is given; the extension picks the format
// (".db" SQLite table file, ".dbf" dBase, ".txt" text, export only).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/DataSet.h"

enum class TTableType { ttDefault, ttParadox, ttDBase, ttASCII };
enum class TBatchMode { batAppend };

class TTable;

// A merge of another table's rows into a table by key (an import), as TTable::MergeFrom does it: each row of
// the source, in the source's order, updates the first row of the target's view with its key or is appended,
// field by field as the row-by-row import stores it.
struct TMerge {
    TTable* source = nullptr;
    std::vector<std::string> keyFields;  // text fields that lead the target's active order
    std::string requiredField;           // source rows where it is null are left out; "" for none
    bool zeroCopiedNumbers = false;      // a null number copied from the source is stored as 0
    std::vector<std::pair<std::string, db::Variant>> constants;  // set after the copy, in this order
    std::string idField;                 // set after the constants to the joined values of idFields
    std::vector<std::string> idFields;
    bool zeroAllNumbers = false;         // last: every null number of the row is stored as 0
    std::function<void()> beforeStores;  // runs once the rows are written and checked, before they commit
};

class TTable : public TDataSet {
public:
    TTable();
    ~TTable() override;

    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& name);  // the table must be closed
    TTableType TableType = TTableType::ttDefault;
    std::string DatabaseName;  // "" or "." for the current folder, else a folder prefix
    // false: the table's commits are not forced to disk one by one, for a file that no one sees before it is
    // complete (built under a temporary name and synced as a whole before it takes its name). Read at the open.
    bool SyncedWrites = true;

    // Order: IndexName (empty = primary index) or IndexFieldNames ("A;B"); setting one clears the other.
    // Changing the order keeps the current record current.
    const std::string& IndexName() const { return indexName_; }
    void SetIndexName(const std::string& name);  // raises EDatabaseError for an index the table lacks
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);

    // Key search on the active index: SetKey/EditKey, assign the key fields, GotoKey.
    void SetKey();
    void EditKey();
    bool GotoKey();  // true and moved, or false and unmoved
    bool FindKey(const std::vector<db::Variant>& values);

    // Master/detail: the view shows the rows whose MasterFields equal the master's current record.
    TDataSource* MasterSource() const { return masterSource_; }
    void SetMasterSource(TDataSource* src);
    const std::string& MasterFields() const { return masterFields_; }
    void SetMasterFields(const std::string& fields);  // "" shows every row

    TFieldDefs FieldDefs;
    void CreateTable();  // from FieldDefs (and IndexDefs); replaces an existing file
    std::vector<db::IndexDesc> IndexDefs;
    void EmptyTable();   // the table may be open or closed
    // Appends every row of source, columns by position; text is cut to the target field's size.
    void BatchMove(TDataSet* source, TBatchMode mode);
    void FlushBuffers() override;
    // A long run of stores (an import): its stores and deletes commit together, every 1,000 rows, when a store
    // fails and when the run ends (or the table closes), instead of one by one; FlushBuffers inside the run
    // commits nothing more. Rows stored inside the run join the view at its end and take their places in the
    // order when the run ends. Runs nest; the table must be open.
    void BeginBatch();
    void EndBatch();
    // Stores a merge in one pass of SQL, where that stores exactly what storing its rows one by one (key
    // search, Edit or Append, the copy, Post) would: every target field has a namesake of the same type in
    // the source or is set by the merge, every source value is one that its field stores unchanged, no two
    // source rows have the same key, and no store would fail. The rows go in as one transaction and the view
    // is rebuilt, keeping the current record. Returns the number of rows stored, or -1 having changed nothing
    // when the merge must be stored row by row (also when SQLite fails on the way). The table must be open, in
    // browse mode, without a batch or a filter, and with its constraints disabled. A detail keeps its master
    // link: its keys are searched among the rows of every master, as with the link off.
    int MergeFrom(const TMerge& merge);

    // The table's file as resolved, once opened or created.
    const std::string& FilePath() const;
    const db::TableSchema& Schema() const;

    bool CanModify() const override;
    std::string Describe() const override;  // the table file: "数据表“kfq_1.db”"

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int ViewSize() const override;
    db::Variant StoredValue(int viewPos, int field) const override;
    void InternalPost(bool inserting, int viewPos, const std::vector<db::Variant>& buffer) override;
    void InternalDelete(int viewPos) override;
    int PositionAfterPost() const override;
    void CheckConstraints(const std::vector<db::Variant>& buffer) override;
    void InitNewRecord(std::vector<db::Variant>& buffer) override;
    void FilterChanged() override;
    void InternalRefresh() override;
    void InternalEdit() override;

private:
    friend struct TableFileUse;
    struct Impl;
    void detachMaster();
    void setOrder(std::string indexName, std::string fieldNames);
    std::string resolvedPath() const;
    std::unique_ptr<Impl> impl_;
    std::string tableName_, indexName_, indexFieldNames_, masterFields_;
    TDataSource* masterSource_ = nullptr;
};
