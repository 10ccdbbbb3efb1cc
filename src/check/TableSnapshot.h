// The rows of a table file as they were when taken, to put the table back after a check run that failed
// midway: the run writes into the result table and the send list statement by statement, and a half-done
// run must leave both as the last complete run left them.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Schema.h"

class TableSnapshot {
public:
    // Reads every row of the table file; raises the engine's error when it cannot be opened.
    static TableSnapshot Take(const std::string& tableName);
    // Empties the table and appends the rows taken, in their order.
    void Restore() const;
    const std::string& TableName() const { return tableName_; }
    std::size_t RowCount() const { return rows_.size(); }

private:
    std::string tableName_;
    std::vector<std::vector<db::Variant>> rows_;
};
