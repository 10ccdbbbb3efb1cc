#include "platform/db/TableStore.h"

#include <strings.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/db/Messages.h"

namespace db {

int Utf8Length(std::string_view s)
{
    int n = 0;
    for (char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

std::string Utf8Prefix(std::string_view s, int chars)
{
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars)
                return std::string(s.substr(0, i));
            ++n;
        }
    }
    return std::string(s);
}

std::string PlainText(const Variant& v)
{
    if (auto* s = std::get_if<std::string>(&v))
        return *s;
    if (auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) {
        char buf[400];
        auto r = std::to_chars(buf, buf + sizeof buf, *d, std::chars_format::fixed);
        return std::string(buf, r.ptr);
    }
    if (auto* dt = std::get_if<Date>(&v))
        return FormatDate(*dt);
    return {};
}

namespace {

std::string trimmed(const std::string& s)
{
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

[[noreturn]] void badValue(const std::string& text, const FieldDesc& f, const char* what)
{
    throw EConvertError(msg::BadValue(f.name, text, what));
}

bool parseInteger(const std::string& t, std::int64_t& out)
{
    std::int64_t v = 0;
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+')
        ++b;
    auto r = std::from_chars(b, e, v);
    if (r.ec == std::errc() && r.ptr == e && b != e) {
        out = v;
        return true;
    }
    return false;
}

bool parseFloat(const std::string& t, double& out)
{
    if (t.empty())
        return false;
    const char* b = t.data();
    const char* e = b + t.size();
    if (*b == '+')
        ++b;
    double v = 0;
    auto r = std::from_chars(b, e, v);
    if (r.ec == std::errc() && r.ptr == e && std::isfinite(v)) {
        out = v;
        return true;
    }
    return false;
}

}  // namespace

Variant ConvertForField(const Variant& v, const FieldDesc& f, TextFit fit)
{
    if (isNull(v))
        return v;
    switch (f.type) {
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc: {
        std::int64_t out = 0;
        if (auto* i = std::get_if<std::int64_t>(&v)) {
            out = *i;
        } else if (auto* d = std::get_if<double>(&v)) {
            out = static_cast<std::int64_t>(std::llround(*d));
        } else if (auto* s = std::get_if<std::string>(&v)) {
            std::string t = trimmed(*s);
            if (t.empty())
                return std::monostate{};
            double d = 0;
            if (!parseInteger(t, out)) {
                if (!parseFloat(t, d) || d != std::floor(d))
                    badValue(*s, f, "整数");
                out = static_cast<std::int64_t>(d);
            }
        } else {
            badValue(PlainText(v), f, "整数");
        }
        if (f.type == FieldType::Smallint && (out < -32768 || out > 32767))
            throw EDatabaseError(msg::OutOfRange(f.name, out, -32768, 32767));
        return out;
    }
    case FieldType::Float:
    case FieldType::Currency: {
        if (auto* i = std::get_if<std::int64_t>(&v))
            return static_cast<double>(*i);
        if (auto* d = std::get_if<double>(&v))
            return *d;
        if (auto* s = std::get_if<std::string>(&v)) {
            std::string t = trimmed(*s);
            if (t.empty())
                return std::monostate{};
            double d = 0;
            if (!parseFloat(t, d))
                badValue(*s, f, "数值");
            return d;
        }
        badValue(PlainText(v), f, "数值");
    }
    case FieldType::Date: {
        if (std::holds_alternative<Date>(v))
            return v;
        if (auto* s = std::get_if<std::string>(&v)) {
            std::string t = trimmed(*s);
            if (t.empty())
                return std::monostate{};
            Date d;
            if (!ParseDate(t, d))
                badValue(*s, f, "日期");
            return d;
        }
        badValue(PlainText(v), f, "日期");
    }
    case FieldType::Boolean: {
        if (auto* i = std::get_if<std::int64_t>(&v))
            return std::int64_t{*i != 0};
        if (auto* d = std::get_if<double>(&v))
            return std::int64_t{*d != 0};
        if (auto* s = std::get_if<std::string>(&v)) {
            std::string t = trimmed(*s);
            if (t.empty())
                return std::monostate{};
            for (const char* yes : {"1", "true", "t", "y", "yes"}) {
                if (strcasecmp(t.c_str(), yes) == 0)
                    return std::int64_t{1};
            }
            for (const char* no : {"0", "false", "f", "n", "no"}) {
                if (strcasecmp(t.c_str(), no) == 0)
                    return std::int64_t{0};
            }
        }
        badValue(PlainText(v), f, "逻辑值");
    }
    default: {
        Variant text = ToStorage(PlainText(v));
        if (isNull(text))
            return text;
        auto& s = std::get<std::string>(text);
        if (f.type == FieldType::String && f.size > 0 && Utf8Length(s) > f.size) {
            if (fit == TextFit::Cut)
                return ToStorage(Utf8Prefix(s, f.size));
            throw EDatabaseError(msg::ValueTooLong(f.name, f.size));
        }
        return text;
    }
    }
}

std::vector<IndexKey> UniqueKeys(sqlite3* db)
{
    Statement st(db, "SELECT l.name, x.name, x.coll FROM pragma_index_list('data','main') AS l "
                     "JOIN pragma_index_xinfo(l.name,'main') AS x "
                     "WHERE l.\"unique\" AND NOT l.partial AND x.key ORDER BY l.seq, x.seqno");
    std::vector<IndexKey> keys;
    std::string index;
    auto text = [&st](int col) {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), col));
        return std::string(t != nullptr ? t : "");
    };
    while (st.step()) {
        if (keys.empty() || text(0) != index) {
            index = text(0);
            keys.emplace_back();
        }
        keys.back().emplace_back(text(1), text(2));
    }
    return keys;
}

bool HasUniqueIndex(const std::vector<IndexKey>& keys, const std::vector<std::string>& names,
                    const std::vector<std::string>& collates)
{
    for (const IndexKey& key : keys) {
        bool same = key.size() == names.size();
        for (std::size_t k = 0; same && k < key.size(); ++k)
            same = strcasecmp(key[k].first.c_str(), names[k].c_str()) == 0 &&
                   strcasecmp(key[k].second.c_str(), collates[k].c_str()) == 0;
        if (same)
            return true;
    }
    return false;
}

// ---- RowWriter ----

// The statements are prepared when first used: a table opened for reading (most are) prepares none, and an
// insert of all the fields of a wide table is costly to prepare. The fields are checked against the file's
// columns here, so that a description naming a column the rows lack fails the open, not the first store.
RowWriter::RowWriter(sqlite3* db, const TableSchema& schema) : db_(db), schema_(schema)
{
    for (const auto& f : schema.fields) {
        if (sqlite3_table_column_metadata(db, "main", "data", f.name.c_str(), nullptr, nullptr, nullptr, nullptr,
                                          nullptr) != SQLITE_OK)
            throw EDatabaseError("table data has no column named " + f.name);
    }
    auto addCheck = [&](const IndexDesc& ix) {
        KeyCheck kc;
        kc.indexName = ix.primary ? std::string() : ix.name;
        std::string where;
        for (const auto& name : ix.fields) {
            int fi = schema.fieldIndex(name);
            if (fi < 0)
                throw EDatabaseError(msg::IndexFieldMissing(ix.name, name));
            kc.fields.push_back(fi);
            bool text = schema.fields[static_cast<std::size_t>(fi)].type == FieldType::String ||
                        schema.fields[static_cast<std::size_t>(fi)].type == FieldType::Memo;
            kc.names.push_back(name);
            kc.collates.push_back(ix.caseInsensitive && text ? "NOCASE" : "BINARY");
            where += QuoteIdentifier(name) + " IS ?" + std::to_string(kc.fields.size()) +
                     (ix.caseInsensitive && text ? " COLLATE NOCASE" : "") + " AND ";
        }
        kc.sql = "SELECT 1 FROM data WHERE " + where + "rowid IS NOT ?" + std::to_string(kc.fields.size() + 1) +
                 " LIMIT 1";
        checks_.push_back(std::move(kc));
    };
    if (const IndexDesc* pk = schema.primaryIndex())
        addCheck(*pk);
    for (const auto& ix : schema.indexes) {
        if (!ix.primary && ix.unique && !ix.fields.empty())
            addCheck(ix);
    }
}

bool RowWriter::keyStays(KeyCheck& kc, const Row& values, const std::vector<bool>& changed)
{
    for (int f : kc.fields) {
        if (changed[static_cast<std::size_t>(f)] || isNull(values[static_cast<std::size_t>(f)]))
            return false;
    }
    if (kc.enforced < 0)
        kc.enforced = HasUniqueIndex(UniqueKeys(db_), kc.names, kc.collates) ? 1 : 0;
    return kc.enforced == 1;
}

void RowWriter::checkKeys(const Row& values, std::int64_t self, const std::vector<bool>* changed)
{
    for (auto& kc : checks_) {
        if (changed && keyStays(kc, values, *changed))
            continue;
        if (!kc.stmt)
            kc.stmt = Statement(db_, kc.sql);
        for (std::size_t k = 0; k < kc.fields.size(); ++k)
            kc.stmt.bind(static_cast<int>(k + 1), ToStorage(values[static_cast<std::size_t>(kc.fields[k])]));
        if (self >= 0)
            kc.stmt.bindInt(static_cast<int>(kc.fields.size() + 1), self);
        bool dup = kc.stmt.step();
        kc.stmt.reset();
        if (dup) {
            if (kc.indexName.empty())
                throw EDatabaseError(kKeyViolation);
            throw EDatabaseError("Key violation in unique index " + kc.indexName + ".");
        }
    }
}

namespace {

// Runs a statement once; it is reset (bindings cleared) whether it went through or not. True when it gave a row.
bool runOnce(Statement& s)
{
    bool row = false;
    try {
        row = s.step();
    } catch (...) {
        s.reset();
        throw;
    }
    s.reset();
    return row;
}

}  // namespace

std::int64_t RowWriter::insert(const Row& values)
{
    checkKeys(values, -1, nullptr);
    if (!insert_) {
        std::string cols, params;
        for (std::size_t i = 0; i < schema_.fields.size(); ++i) {
            cols += i ? "," : "";
            cols += QuoteIdentifier(schema_.fields[i].name);
            params += i ? ",?" : "?";
            params += std::to_string(i + 1);
        }
        insert_ = Statement(db_, "INSERT INTO data(" + cols + ") VALUES(" + params + ")");
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        insert_.bind(static_cast<int>(i + 1), ToStorage(values[i]));
    runOnce(insert_);
    return sqlite3_last_insert_rowid(db_);
}

namespace {

// True when binding v stores exactly s: the same storage class and the same number or bytes.
bool storesAs(const Variant& v, const StoredRef& s)
{
    const StoredRef b = RefOf(v);
    if (b.kind != s.kind)
        return false;
    switch (b.kind) {
    case StoredRef::Kind::Null:
        return true;
    case StoredRef::Kind::Integer:
        return b.integer == s.integer;
    case StoredRef::Kind::Real:
        return std::memcmp(&b.real, &s.real, sizeof b.real) == 0;
    case StoredRef::Kind::Text:
        return b.text == s.text;
    }
    return false;
}

}  // namespace

// The statements of the field sets stores write; a window's stores write a few sets again and again.
Statement& RowWriter::updateOf(const std::vector<int>& fields)
{
    auto it = updates_.find(fields);
    if (it != updates_.end())
        return it->second;
    if (updates_.size() >= 16)
        updates_.clear();
    std::string sets;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        sets += k ? "," : "";
        sets += QuoteIdentifier(schema_.fields[static_cast<std::size_t>(fields[k])].name);
        sets += "=?" + std::to_string(k + 1);
    }
    Statement st(db_, "UPDATE data SET " + sets + " WHERE rowid=?" + std::to_string(fields.size() + 1));
    return updates_.emplace(fields, std::move(st)).first->second;
}

bool RowWriter::update(std::int64_t rowid, const Row& values, const PackedRow& stored)
{
    Row bound(values.size());
    std::vector<int> fields;
    std::vector<bool> changed(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        bound[i] = ToStorage(values[i]);
        // A stored blob reads as text: a BLOB field is always written, so that it ends as the store binds it.
        changed[i] = schema_.fields[i].type == FieldType::Blob || !storesAs(bound[i], stored.stored(i));
        if (changed[i])
            fields.push_back(static_cast<int>(i));
    }
    checkKeys(values, rowid, &changed);
    if (fields.empty()) {
        if (!exists_)
            exists_ = Statement(db_, "SELECT 1 FROM data WHERE rowid=?1");
        exists_.bindInt(1, rowid);
        return runOnce(exists_);
    }
    Statement& st = updateOf(fields);
    for (std::size_t k = 0; k < fields.size(); ++k)
        st.bind(static_cast<int>(k + 1), bound[static_cast<std::size_t>(fields[k])]);
    st.bindInt(static_cast<int>(fields.size() + 1), rowid);
    runOnce(st);
    return sqlite3_changes(db_) > 0;
}

void RowWriter::remove(std::int64_t rowid)
{
    if (!delete_)
        delete_ = Statement(db_, "DELETE FROM data WHERE rowid=?1");
    delete_.bindInt(1, rowid);
    runOnce(delete_);
}

}  // namespace db
