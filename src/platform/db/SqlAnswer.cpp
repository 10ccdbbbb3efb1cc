#include "platform/db/SqlAnswer.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "platform/db/Connection.h"

namespace sql {

namespace {

// Text columns of an answer wider than this become memo columns.
constexpr int kMaxTextSize = 255;

int utf8Length(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

std::string plainNumber(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

}  // namespace

// The answer's column type where the source field does not give it: from the translator's hint and the values.
db::FieldDesc InferAnswerColumn(const std::string& name, ColumnHint hint, const std::vector<Row>& rows,
                                std::size_t col)
{
    db::FieldDesc d;
    d.name = name;
    bool anyText = false, anyFloat = false, anyInt = false;
    int width = 0;
    for (const auto& row : rows) {
        const db::Variant& v = row[col];
        if (std::holds_alternative<std::string>(v)) {
            anyText = true;
            width = std::max(width, utf8Length(std::get<std::string>(v)));
        } else if (std::holds_alternative<double>(v)) {
            anyFloat = true;
            width = std::max(width, utf8Length(plainNumber(std::get<double>(v))));
        } else if (std::holds_alternative<std::int64_t>(v)) {
            anyInt = true;
            width = std::max(width, utf8Length(std::to_string(std::get<std::int64_t>(v))));
        }
    }
    switch (hint) {
    case ColumnHint::Integer:
        d.type = db::FieldType::Integer;
        break;
    case ColumnHint::Float:
        d.type = db::FieldType::Float;
        break;
    case ColumnHint::Text:
        d.type = db::FieldType::String;
        break;
    default:
        if (anyText || (!anyFloat && !anyInt))
            d.type = db::FieldType::String;
        else
            d.type = anyFloat ? db::FieldType::Float : db::FieldType::Integer;
    }
    if (d.type == db::FieldType::String) {
        d.size = std::max(width, 1);
        if (d.size > kMaxTextSize) {
            d.type = db::FieldType::Memo;
            d.size = 0;
        }
    }
    return d;
}

// A value of the answer in the form of its column's type.
db::Variant ToAnswerValue(const db::Variant& v, const db::FieldDesc& d)
{
    if (db::isNull(v))
        return v;
    if (d.type == db::FieldType::String || d.type == db::FieldType::Memo) {
        if (std::holds_alternative<std::int64_t>(v))
            return std::to_string(std::get<std::int64_t>(v));
        if (std::holds_alternative<double>(v))
            return plainNumber(std::get<double>(v));
        return v;
    }
    if (d.type == db::FieldType::Float && std::holds_alternative<std::int64_t>(v))
        return static_cast<double>(std::get<std::int64_t>(v));
    return db::FromStorage(v, d.type);
}

// Later columns of the same name (without regard to case) get "_1", "_2" ... so that an answer can be saved.
void MakeNamesUnique(std::vector<db::FieldDesc>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto taken = [&](const std::string& n) {
            for (std::size_t j = 0; j < i; ++j) {
                if (strcasecmp(fields[j].name.c_str(), n.c_str()) == 0)
                    return true;
            }
            return false;
        };
        if (!taken(fields[i].name))
            continue;
        for (int k = 1;; ++k) {
            std::string n = fields[i].name + "_" + std::to_string(k);
            if (!taken(n)) {
                fields[i].name = n;
                break;
            }
        }
    }
}

}  // namespace sql
