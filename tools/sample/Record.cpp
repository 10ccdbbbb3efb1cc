#include "Record.h"

#include <cctype>
#include <stdexcept>

namespace sample {

namespace {

std::string lower(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isNumeric(db::FieldType t)
{
    return t == db::FieldType::Float || t == db::FieldType::Smallint || t == db::FieldType::Integer ||
           t == db::FieldType::Currency;
}

}  // namespace

Layout::Layout(db::TableSchema schema) : schema_(std::move(schema))
{
    for (std::size_t i = 0; i < schema_.fields.size(); ++i)
        byName_.emplace(lower(schema_.fields[i].name), static_cast<int>(i));
}

int Layout::index(const std::string& name) const
{
    auto it = byName_.find(lower(name));
    return it == byName_.end() ? -1 : it->second;
}

int Layout::require(const std::string& name) const
{
    const int i = index(name);
    if (i < 0)
        throw std::runtime_error(tableName + " has no field " + name);
    return i;
}

Record::Record(const Layout& layout) : layout_(&layout), values_(layout.schema().fields.size()) {}

void Record::set(int index, db::Variant v)
{
    const auto type = layout_->schema().fields[static_cast<std::size_t>(index)].type;
    if (auto n = std::get_if<std::int64_t>(&v); n && (type == db::FieldType::Float || type == db::FieldType::Currency))
        v = static_cast<double>(*n);
    else if (auto d = std::get_if<double>(&v); d && (type == db::FieldType::Smallint || type == db::FieldType::Integer))
        v = static_cast<std::int64_t>(*d);
    else if (auto s = std::get_if<std::string>(&v); s && s->empty())
        v = std::monostate{};
    values_[static_cast<std::size_t>(index)] = std::move(v);
}

void Record::set(const std::string& name, db::Variant v)
{
    const int i = layout_->index(name);
    if (i >= 0)
        set(i, std::move(v));
}

double Record::number(const std::string& name) const
{
    const int i = layout_->index(name);
    if (i < 0)
        return 0;
    const auto& v = get(i);
    if (auto d = std::get_if<double>(&v))
        return *d;
    if (auto n = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*n);
    return 0;
}

std::string Record::text(const std::string& name) const
{
    const int i = layout_->index(name);
    if (i < 0)
        return {};
    auto s = std::get_if<std::string>(&get(i));
    return s ? *s : std::string();
}

void Record::zeroEmptyNumbers()
{
    const auto& fields = layout_->schema().fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!db::isNull(values_[i]) || !isNumeric(fields[i].type))
            continue;
        if (fields[i].type == db::FieldType::Float || fields[i].type == db::FieldType::Currency)
            values_[i] = 0.0;
        else
            values_[i] = std::int64_t{0};
    }
}

}  // namespace sample
