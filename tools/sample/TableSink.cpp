#include "TableSink.h"

#include "platform/db/DataSet.h"

namespace sample {

namespace {

// Rows held before they are stored: a chunk of the widest table (205 fields) takes about 8 MB.
constexpr std::size_t kChunk = 1000;

// A read-only data set over rows held in memory: the source of a batch move.
class RowSource : public TDataSet {
public:
    RowSource(const db::TableSchema& schema, const std::vector<std::vector<db::Variant>>& rows)
        : schema_(schema), rows_(rows)
    {
        Name = "RowSource";
    }

    bool CanModify() const override { return false; }

protected:
    void InternalOpen() override { CreateFields(schema_.fields); }
    void InternalClose() override {}
    int ViewSize() const override { return static_cast<int>(rows_.size()); }
    db::Variant StoredValue(int viewPos, int field) const override
    {
        return rows_[static_cast<std::size_t>(viewPos)][static_cast<std::size_t>(field)];
    }
    void InternalPost(bool, int, const std::vector<db::Variant>&) override
    {
        throw EDatabaseError("Cannot modify a read-only dataset.");
    }
    void InternalDelete(int) override { throw EDatabaseError("Cannot modify a read-only dataset."); }
    int PositionAfterPost() const override { return -1; }

private:
    const db::TableSchema& schema_;
    const std::vector<std::vector<db::Variant>>& rows_;
};

}  // namespace

TableSink::TableSink(const std::string& folder, const std::string& table)
{
    table_.Name = table;
    table_.SetTableName(folder + "/" + table);
    table_.EmptyTable();
    table_.Open();
    layout_ = std::make_unique<Layout>(table_.Schema());
    layout_->tableName = table;
    // Closed between flushes: a batch move into a closed table keeps no view to rebuild after each chunk.
    table_.Close();
}

TableSink::~TableSink()
{
    try {
        flush();
        table_.Close();
    } catch (...) {
        // A destructor must not throw; run() flushes explicitly and reports failures.
    }
}

void TableSink::add(Record rec)
{
    rec.zeroEmptyNumbers();
    pending_.push_back(rec.values());
    if (pending_.size() >= kChunk)
        flush();
}

void TableSink::flush()
{
    if (pending_.empty())
        return;
    RowSource source(layout_->schema(), pending_);
    source.Open();
    table_.BatchMove(&source, TBatchMode::batAppend);
    source.Close();
    written_ += pending_.size();
    pending_.clear();
}

}  // namespace sample
