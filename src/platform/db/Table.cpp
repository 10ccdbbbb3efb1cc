// TTable: a cursor over one table file. The view is the ordered list of row ids that the active order, the
// master link and the filter select; it is built once by SQL and then kept up to date row by row as records are
// stored and deleted, so that a store costs a key check, a write and a binary search, not a new view.
// Whole-table operations (emptying, batch moves, creation) are in TableOps.cpp.
#include "platform/db/Table.h"

#include <utility>

#include "platform/db/TableImpl.h"

// ---- TTable ----

TTable::TTable() : impl_(std::make_unique<Impl>(this)) {}

TTable::~TTable()
{
    try {
        Close();
    } catch (...) {
    }
    if (masterSource_)
        detachMaster();
    impl_.reset();
}

void TTable::SetTableName(const std::string& name)
{
    if (Active())
        throw EDatabaseError(db::msg::Table(tableName_) + "已打开，不能更改表名");
    tableName_ = name;
}

void TTable::InternalOpen()
{
    impl_->openFile(true);
    try {
        CreateFields(impl_->schema.fields);
        FieldDefs.Assign(impl_->schema.fields);
        impl_->rebuild();
        // The cursor starts on the first row, which every use of an open table reads: read in the open's
        // transaction, it and the data version it is known by come from the same moment.
        if (!impl_->view.empty())
            impl_->fetch(0);
        impl_->endRead();
    } catch (...) {
        impl_->closeFile();
        fields_.Clear();
        throw;
    }
}

void TTable::InternalClose()
{
    try {
        impl_->closeFile();
    } catch (...) {
        fields_.Clear();
        throw;
    }
    fields_.Clear();
}

int TTable::ViewSize() const { return static_cast<int>(impl_->view.size()); }

db::Variant TTable::StoredValue(int viewPos, int field) const
{
    if (viewPos < 0 || viewPos >= static_cast<int>(impl_->view.size()))
        return {};
    if (field < 0 || field >= static_cast<int>(impl_->schema.fields.size()))
        return {};
    const auto i = static_cast<std::size_t>(field);
    return impl_->fetch(viewPos).value(i, impl_->schema.fields[i].type);
}

void TTable::InitNewRecord(std::vector<db::Variant>& buffer)
{
    for (std::size_t i = 0; i < impl_->linkFields.size() && i < impl_->masterValues.size(); ++i) {
        int fi = impl_->linkFields[i];
        buffer[static_cast<std::size_t>(fi)] = db::FromStorage(impl_->masterValues[i], impl_->schema.fields[static_cast<std::size_t>(fi)].type);
    }
}

void TTable::CheckConstraints(const std::vector<db::Variant>& buffer) { impl_->checkConstraints(buffer); }

void TTable::InternalPost(bool inserting, int viewPos, const std::vector<db::Variant>& buffer)
{
    auto& im = *impl_;
    db::Row values(im.schema.fields.size());
    try {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto& f = im.schema.fields[i];
            values[i] = db::ConvertForField(i < buffer.size() ? buffer[i] : db::Variant{}, f, db::TextFit::Refuse);
            if (f.type == db::FieldType::AutoInc && db::isNull(values[i]) && inserting) {
                db::Statement mx(im.conn.get(),
                                 "SELECT coalesce(max(" + db::QuoteIdentifier(f.name) + "),0)+1 FROM data");
                mx.step();
                values[i] = mx.columnInt(0);
            }
            if (f.required && db::isNull(values[i]))
                throw EDatabaseError(db::msg::FieldRequired(f.name));
        }
        im.checkWritable(values);
    } catch (Exception& e) {
        e.Message = db::msg::InTable(Describe(), e.Message);
        throw;
    }
    std::int64_t rowid;
    try {
        im.batchWrite();
        if (inserting) {
            rowid = im.writer->insert(values);
        } else {
            rowid = im.editRowid;
            if (!im.updateEdited(rowid, values))
                throw EDatabaseError("记录已被其他用户删除（" + tableName_ + "）");
        }
    } catch (...) {
        if (im.runDepth > 0)
            im.commitBatch();  // the run's rows before the failing one stay
        throw;
    }
    im.countRunStore();
    if (inserting) {
        im.lastPostPos = im.placeRow(rowid);
    } else {
        int pos = viewPos >= 0 && viewPos < static_cast<int>(im.view.size()) && im.view[static_cast<std::size_t>(viewPos)] == rowid
                      ? viewPos
                      : static_cast<int>(std::find(im.view.begin(), im.view.end(), rowid) - im.view.begin());
        im.lastPostPos = im.keepAfterUpdate(pos < static_cast<int>(im.view.size()) ? pos : -1, rowid);
    }
    if (im.runDepth > 0)
        im.forgetRow(rowid);  // a run (an import) reads the row again only if it comes back to it
    else
        im.cacheRow(rowid);  // the controls show the stored row at once
    im.afterWrite();
}

void TTable::InternalDelete(int viewPos)
{
    auto& im = *impl_;
    if (viewPos < 0 || viewPos >= static_cast<int>(im.view.size()))
        throw EDatabaseError(db::msg::DataSetEmpty(Describe()));
    std::int64_t rowid = im.view[static_cast<std::size_t>(viewPos)];
    im.batchWrite();
    im.writer->remove(rowid);
    im.countRunStore();
    im.removeAt(viewPos);
    im.forgetRow(rowid);
    im.afterWrite();
}

int TTable::PositionAfterPost() const { return impl_->lastPostPos; }

void TTable::FilterChanged() { impl_->rebuild(); }

void TTable::InternalRefresh() { impl_->rebuildKeepingRecord(); }

void TTable::InternalEdit()
{
    auto& im = *impl_;
    im.editRowid = im.currentRowid();
    im.editRead = im.editRowid >= 0 ? db::PackedRow(im.fetch(CursorPos())) : db::PackedRow{};
    im.editVersion = im.cacheVersion;
}

// The file's data version: it changes whenever another connection (another table, a statement, another program)
// commits a change to the file.
std::int64_t TTable::Impl::dataVersion()
{
    if (!versionStmt)
        versionStmt = db::Statement(conn.get(), "PRAGMA data_version");
    return tableimpl::firstInt(versionStmt, -1);
}

// Stores the edited row unless another user stored or deleted it since it was read: the check and the write run
// in one write transaction, so that no other writer slips in between. Where no other connection committed to the
// file since the row was read, the row is as it was read. Only the fields whose stored value changes are written.
// Returns false for a row that is gone; raises ERecordChanged, the view showing the fresh values, for a changed
// one.
bool TTable::Impl::updateEdited(std::int64_t rowid, const db::Row& values)
{
    const bool own = sqlite3_get_autocommit(conn.get()) != 0;
    if (own)
        conn.exec("BEGIN IMMEDIATE");
    bool changed = false, found = true;
    try {
        const db::PackedRow* stored = &editRead;
        db::PackedRow now;
        if (editVersion < 0 || dataVersion() != editVersion) {
            found = readRow(rowid, now);
            changed = found && !now.sameValues(editRead, schema.fields);
            stored = &now;
        }
        if (found && !changed)
            found = writer->update(rowid, values, *stored);
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

bool TTable::CanModify() const { return Active(); }

std::string TTable::Describe() const { return tableName_.empty() ? TDataSet::Describe() : db::msg::Table(tableName_); }

const std::string& TTable::FilePath() const { return impl_->path; }
const db::TableSchema& TTable::Schema() const { return impl_->schema; }

// ---- order ----

void TTable::SetIndexName(const std::string& name)
{
    if (Active()) {
        CheckBrowseMode();
        if (!name.empty() && !impl_->schema.findIndex(name))
            throw EDatabaseError(db::msg::IndexMissing(tableName_, name));
    }
    setOrder(name, {});
}

void TTable::SetIndexFieldNames(const std::string& names)
{
    if (Active())
        CheckBrowseMode();
    setOrder({}, names);
}

// An order is an index name or a list of fields (the other one empty). On an open table the view is rebuilt
// at once, keeping the current record; a failed rebuild restores the old order.
void TTable::setOrder(std::string indexName, std::string fieldNames)
{
    std::string oldName = indexName_, oldFields = indexFieldNames_;
    indexName_ = std::move(indexName);
    indexFieldNames_ = std::move(fieldNames);
    if (!Active())
        return;
    try {
        impl_->rebuildKeepingRecord();
    } catch (...) {
        indexName_ = oldName;
        indexFieldNames_ = oldFields;
        impl_->rebuildKeepingRecord();
        throw;
    }
    DataSetChanged();
}

// ---- key search ----

void TTable::SetKey()
{
    CheckBrowseMode();
    buffer_.assign(static_cast<std::size_t>(fields_.Count()), db::Variant{});
    SetState(TDataSetState::dsSetKey);
}

void TTable::EditKey()
{
    CheckBrowseMode();
    buffer_ = impl_->savedKey;
    buffer_.resize(static_cast<std::size_t>(fields_.Count()));
    SetState(TDataSetState::dsSetKey);
}

bool TTable::GotoKey()
{
    CheckActive();
    if (State() != TDataSetState::dsSetKey)
        throw EDatabaseError(Describe() + "不在输入查找关键字的状态");
    auto& im = *impl_;
    std::vector<db::Variant> key = buffer_;
    im.savedKey = key;
    buffer_.clear();
    SetState(TDataSetState::dsBrowse);

    int pos = im.findKey(key);
    if (pos == -2) {
        std::string cond;
        std::vector<db::Variant> params;
        for (const auto& t : im.order) {
            const db::Variant& v = key[static_cast<std::size_t>(t.field)];
            if (db::isNull(v))
                continue;
            params.push_back(db::ToStorage(v));
            cond += " AND " + db::QuoteIdentifier(im.schema.fields[static_cast<std::size_t>(t.field)].name) + " = ?" +
                    std::to_string(im.masterValues.size() + params.size()) + (t.nocase ? " COLLATE NOCASE" : "");
        }
        if (params.empty())
            return false;
        std::string sqlText = "SELECT rowid FROM data WHERE " + (im.where.empty() ? std::string("1") : im.where) + cond +
                              " ORDER BY " + im.orderBy() + " LIMIT 1";
        if (im.keyStmts.size() > 16)
            im.keyStmts.clear();
        auto found = im.keyStmts.find(sqlText);
        if (found == im.keyStmts.end())
            found = im.keyStmts.emplace(sqlText, db::Statement(im.conn.get(), sqlText)).first;
        db::Statement& st = found->second;
        im.bindMaster(st);
        for (std::size_t i = 0; i < params.size(); ++i)
            st.bind(static_cast<int>(im.masterValues.size() + i + 1), params[i]);
        std::int64_t rowid = tableimpl::firstInt(st, -1);
        pos = rowid < 0 ? -1 : im.positionOf(rowid);
    }
    if (pos < 0)
        return false;
    if (BeforeScroll)
        BeforeScroll(this);
    SetCursorPos(pos);
    DataSetChanged();
    if (AfterScroll)
        AfterScroll(this);
    return true;
}

bool TTable::FindKey(const std::vector<db::Variant>& values)
{
    SetKey();
    for (std::size_t i = 0; i < values.size() && i < impl_->order.size(); ++i)
        SetFieldValue(impl_->order[i].field, values[i]);
    return GotoKey();
}

// A name without extension takes the one of the table type (".db" unless dBase or text is asked for).
std::string TTable::resolvedPath() const
{
    std::string name = tableName_;
    std::string base = name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
    if (base.find('.') == std::string::npos) {
        if (TableType == TTableType::ttDBase)
            name += ".dbf";
        else if (TableType == TTableType::ttASCII)
            name += ".txt";
    }
    return db::ResolveTableName(name, DatabaseName);
}

// ---- master/detail ----

void TTable::detachMaster()
{
    masterSource_->RemoveLink(&impl_->masterLink);
    masterSource_ = nullptr;
}

void TTable::SetMasterSource(TDataSource* src)
{
    if (src == masterSource_)
        return;
    if (masterSource_)
        detachMaster();
    masterSource_ = src;
    if (masterSource_) {
        masterSource_->AddLink(&impl_->masterLink);
    }
    if (Active()) {
        CheckBrowseMode();
        impl_->rebuild();
        ResetCursor();
    }
}

void TTable::SetMasterFields(const std::string& fields)
{
    if (fields == masterFields_)
        return;
    if (Active())
        CheckBrowseMode();
    std::string old = masterFields_;
    masterFields_ = fields;
    if (!Active())
        return;
    try {
        impl_->rebuild();
    } catch (...) {
        masterFields_ = old;
        impl_->rebuild();
        throw;
    }
    ResetCursor();
}

