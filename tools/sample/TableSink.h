// Writes generated records into one table file of a data folder through the engine: the table is emptied, then
// the records are appended by batch moves (one batch per chunk), columns by position in the table's own order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Record.h"
#include "platform/db/Table.h"

namespace sample {

class TableSink {
public:
    TableSink(const std::string& folder, const std::string& table);  // opens and empties the table
    ~TableSink();
    TableSink(const TableSink&) = delete;
    TableSink& operator=(const TableSink&) = delete;

    const Layout& layout() const { return *layout_; }
    Record record() const { return Record(*layout_); }

    void add(Record rec);  // stored with the next flush; a full chunk is flushed at once
    void flush();
    std::size_t written() const { return written_; }

private:
    TTable table_;
    std::unique_ptr<Layout> layout_;
    std::vector<std::vector<db::Variant>> pending_;
    std::size_t written_ = 0;
};

}  // namespace sample
