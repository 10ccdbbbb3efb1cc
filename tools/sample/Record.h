// One record of sample data laid out as its table's fields, set by field name without regard to case.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/Schema.h"

namespace sample {

// The fields of one table with a fast name lookup; shared by all records of the table.
class Layout {
public:
    explicit Layout(db::TableSchema schema);
    const db::TableSchema& schema() const { return schema_; }
    int index(const std::string& name) const;  // -1 when the table has no such field
    int require(const std::string& name) const;  // raises std::runtime_error naming the table's field

    std::string tableName;

private:
    db::TableSchema schema_;
    std::unordered_map<std::string, int> byName_;
};

class Record {
public:
    explicit Record(const Layout& layout);

    const Layout& layout() const { return *layout_; }
    void set(const std::string& name, db::Variant v);  // a field the table lacks is ignored
    // Numbers take the field's kind (float or whole); empty text is null, as the engine stores it.
    void set(int index, db::Variant v);
    const db::Variant& get(int index) const { return values_[static_cast<std::size_t>(index)]; }
    double number(const std::string& name) const;  // 0 for null or a field the table lacks
    std::string text(const std::string& name) const;
    const std::vector<db::Variant>& values() const { return values_; }

    // Every empty small-integer, integer and float field becomes 0, as every window does before a store.
    void zeroEmptyNumbers();

private:
    const Layout* layout_;
    std::vector<db::Variant> values_;
};

}  // namespace sample
