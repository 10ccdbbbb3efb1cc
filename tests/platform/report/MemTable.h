// A small data set held in memory, for report fixtures: fields and rows given in the test.
#pragma once

#include <string>
#include <vector>

#include "platform/db/DataSet.h"

class MemTable : public TDataSet {
public:
    MemTable(std::string name, std::vector<db::FieldDesc> fields, std::vector<std::vector<db::Variant>> rows = {})
        : fields_(std::move(fields)), rows_(std::move(rows))
    {
        Name = std::move(name);
    }
    std::vector<std::vector<db::Variant>>& Rows() { return rows_; }
    int OpenCount = 0;

protected:
    void InternalOpen() override
    {
        ++OpenCount;
        CreateFields(fields_);
    }
    void InternalClose() override {}
    int ViewSize() const override { return static_cast<int>(rows_.size()); }
    db::Variant StoredValue(int viewPos, int field) const override
    {
        return rows_.at(static_cast<std::size_t>(viewPos)).at(static_cast<std::size_t>(field));
    }
    void InternalPost(bool inserting, int viewPos, const std::vector<db::Variant>& buffer) override
    {
        if (inserting) {
            rows_.push_back(buffer);
        } else {
            rows_.at(static_cast<std::size_t>(viewPos)) = buffer;
        }
    }
    void InternalDelete(int viewPos) override { rows_.erase(rows_.begin() + viewPos); }
    int PositionAfterPost() const override { return -1; }

private:
    std::vector<db::FieldDesc> fields_;
    std::vector<std::vector<db::Variant>> rows_;
};

inline db::Variant Text(const std::string& s) { return s.empty() ? db::Variant{} : db::Variant{s}; }
