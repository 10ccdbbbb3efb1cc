// Operations of TTable on the whole table: emptying, batch moves, creating the file, flushing.
#include <algorithm>

#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

// ---- whole-table operations ----

// Opens the file of a closed table for the length of one operation.
struct TableFileUse {
    TTable::Impl* impl;
    bool opened = false;
    TableFileUse(TTable::Impl* i, bool active) : impl(i)
    {
        if (!active && !impl->fileOpen()) {
            impl->openFile();
            opened = true;
        }
    }
    ~TableFileUse()
    {
        if (opened) {
            try {
                impl->closeFile();
            } catch (...) {
            }
        }
    }
};

void TTable::EmptyTable()
{
    if (Active())
        CheckBrowseMode();
    TableFileUse use(impl_.get(), Active());
    impl_->conn.exec("DELETE FROM data");
    impl_->view.clear();
    impl_->keys.clear();
    impl_->positions.clear();
    impl_->forgetRows();
    impl_->afterWrite();
    if (use.opened)
        impl_->writeBack();
    if (Active())
        ResetCursor();
}

void TTable::BatchMove(TDataSet* source, TBatchMode /*mode*/)
{
    if (!source)
        throw EDatabaseError("批量追加没有源数据集");
    if (Active())
        CheckBrowseMode();
    if (!source->Active())
        source->Open();
    source->CheckBrowseMode();
    TableFileUse use(impl_.get(), Active());
    auto& im = *impl_;
    const auto& fields = im.schema.fields;
    std::size_t n = std::min<std::size_t>(fields.size(), static_cast<std::size_t>(source->FieldCount()));

    // after the move, whether it went through or not
    auto finish = [&] {
        source->EnableControls();
        im.afterWrite();
        if (use.opened)
            im.writeBack();
        if (Active()) {
            im.rebuildKeepingRecord();
            DataSetChanged();
        }
    };
    source->DisableControls();
    const bool ownBatch = !im.inBatch;  // inside a run the run's transaction carries the rows
    if (ownBatch)
        im.beginBatch();
    int count = 0;
    try {
        db::Row values(fields.size());
        for (source->First(); !source->Eof(); source->Next()) {
            std::fill(values.begin(), values.end(), db::Variant{});
            try {
                for (std::size_t i = 0; i < n; ++i)
                    values[i] = db::ConvertForField(source->GetFieldValue(static_cast<int>(i)), fields[i], db::TextFit::Cut);
                im.checkWritable(values);
            } catch (Exception& e) {
                e.Message = db::msg::InTable(Describe(), "第 " + std::to_string(count + 1) + " 条记录：" + e.Message);
                throw;
            }
            im.batchWrite();
            im.writer->insert(values);
            if (++count % 1000 == 0)
                im.commitBatch();
        }
        if (ownBatch)
            im.endBatch();
        else
            im.commitBatch();
    } catch (...) {
        try {
            if (ownBatch)
                im.endBatch();
            else
                im.commitBatch();
        } catch (...) {
        }
        finish();
        throw;
    }
    finish();
}

void TTable::CreateTable()
{
    if (Active())
        throw EDatabaseError(db::msg::Table(tableName_) + "已打开，不能重新创建");
    if (tableName_.empty())
        throw EDatabaseError("没有给出数据表名");
    db::TableSchema schema;
    schema.fields = FieldDefs.Items();
    schema.indexes = IndexDefs;
    std::stable_partition(schema.indexes.begin(), schema.indexes.end(), [](const db::IndexDesc& ix) { return ix.primary; });
    std::string path = resolvedPath();
    if (db::IsFileOpen(path))
        throw EDatabaseError(db::msg::Table(tableName_) + "正在使用，不能重新创建");
    db::TableFormat format = db::FormatOfPath(path);
    if (TableType == TTableType::ttDBase)
        format = db::TableFormat::DBase;
    else if (TableType == TTableType::ttASCII)
        format = db::TableFormat::Text;
    if (format == db::TableFormat::Sqlite)
        db::CreateTableFile(path, schema);
    else
        db::CreateForeignTable(path, schema, format);
    impl_->path = path;
    impl_->schema = schema;
}

void TTable::FlushBuffers()
{
    if (!Active())
        return;
    auto& im = *impl_;
    if (im.runDepth == 0)
        im.commitBatch();
    if (im.dirty)
        im.writeBack();
}

void TTable::BeginBatch()
{
    CheckActive();
    auto& im = *impl_;
    if (im.runDepth++ == 0) {
        im.runStores = 0;
        if (!im.inBatch)
            im.beginBatch();
    }
}

void TTable::EndBatch()
{
    auto& im = *impl_;
    if (im.runDepth == 0 || --im.runDepth > 0)
        return;
    if (!im.inOrder) {
        // the run's new rows into their places, the current record kept
        std::int64_t rowid = im.currentRowid();
        im.putInOrder();
        auto it = std::find(im.view.begin(), im.view.end(), rowid);
        if (it != im.view.end())
            SetCursorPos(static_cast<int>(it - im.view.begin()));
    }
    if (im.inBatch)
        im.endBatch();
    if (im.dirty)
        im.writeBack();
}
