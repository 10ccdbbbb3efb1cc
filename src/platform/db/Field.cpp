// Fields of a data set: reading the current record's values as the types the windows ask for, and assigning
// them through the data set's record buffer.
#include <strings.h>

#include <charconv>
#include <cmath>

#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Messages.h"
#include "platform/db/TableStore.h"

// ---- TField ----

TField::TField(TDataSet* dataSet, int index, db::FieldDesc desc) : dataSet_(dataSet), index_(index), desc_(std::move(desc))
{
}

bool TField::IsNumeric() const { return db::isNumericType(desc_.type); }

bool TField::IsNull() const { return db::isNull(Value()); }

db::Variant TField::Value() const { return dataSet_->GetFieldValue(index_); }

std::string TField::AsString() const
{
    db::Variant v = Value();
    if (desc_.type == TFieldType::Boolean) {
        if (db::isNull(v))
            return {};
        return AsBoolean() ? "True" : "False";
    }
    return db::PlainText(v);
}

std::int64_t TField::AsInteger() const
{
    db::Variant v = Value();
    if (auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (auto* d = std::get_if<double>(&v))
        return static_cast<std::int64_t>(std::llround(*d));
    if (auto* s = std::get_if<std::string>(&v)) {
        std::string t = *s;
        while (!t.empty() && t.back() == ' ')
            t.pop_back();
        std::size_t b = t.find_first_not_of(' ');
        t = b == std::string::npos ? std::string() : t.substr(b);
        std::int64_t out = 0;
        auto r = std::from_chars(t.data(), t.data() + t.size(), out);
        if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
            throw EConvertError(db::msg::BadValue(desc_.name, *s, "整数"));
        return out;
    }
    if (std::holds_alternative<db::Date>(v))
        throw EConvertError("字段“" + desc_.name + "”是日期，不能当作整数读取");
    return 0;
}

double TField::AsFloat() const
{
    db::Variant v = Value();
    if (auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v))
        return *d;
    if (auto* s = std::get_if<std::string>(&v)) {
        db::FieldDesc asFloat{desc_.name, TFieldType::Float, 0, false};
        db::Variant c = db::ConvertForField(*s, asFloat, db::TextFit::Refuse);
        return db::isNull(c) ? 0.0 : std::get<double>(c);
    }
    if (std::holds_alternative<db::Date>(v))
        throw EConvertError("字段“" + desc_.name + "”是日期，不能当作数值读取");
    return 0.0;
}

bool TField::AsBoolean() const
{
    db::Variant v = Value();
    if (auto* i = std::get_if<std::int64_t>(&v))
        return *i != 0;
    if (auto* d = std::get_if<double>(&v))
        return *d != 0;
    if (auto* s = std::get_if<std::string>(&v)) {
        db::FieldDesc asBool{desc_.name, TFieldType::Boolean, 0, false};
        db::Variant c = db::ConvertForField(*s, asBool, db::TextFit::Refuse);
        return !db::isNull(c) && std::get<std::int64_t>(c) != 0;
    }
    return false;
}

void TField::SetValue(const db::Variant& v) { dataSet_->SetFieldValue(index_, v); }
void TField::SetAsString(const std::string& s) { dataSet_->SetFieldValue(index_, s); }
void TField::SetAsInteger(std::int64_t v) { dataSet_->SetFieldValue(index_, v); }
void TField::SetAsFloat(double v) { dataSet_->SetFieldValue(index_, v); }
void TField::Clear() { dataSet_->SetFieldValue(index_, std::monostate{}); }

namespace {

std::string foldedAscii(const std::string& name)
{
    std::string s = name;
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

}  // namespace

TField* TFields::Find(const std::string& name) const
{
    if (byName_.empty()) {
        for (const auto& f : items_)
            byName_.emplace(foldedAscii(f->FieldName()), f.get());
    }
    auto it = byName_.find(foldedAscii(name));
    if (it != byName_.end())
        return it->second;
    // A name that matches only as the locale folds letters beyond ASCII.
    for (const auto& f : items_) {
        if (strcasecmp(f->FieldName().c_str(), name.c_str()) == 0)
            return f.get();
    }
    return nullptr;
}

void TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required)
{
    items_.push_back(db::FieldDesc{name, type, db::fieldTypeHasSize(type) ? size : 0, required});
}

