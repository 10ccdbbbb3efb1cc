// Packing a statement's row into one buffer, reading its values back as stored or as field values, and the
// order of stored values the view sorts by.
#include "platform/db/PackedRow.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <utility>

#include "platform/db/Connection.h"
#include "platform/db/Gbk.h"

namespace db {

namespace {

using Kind = StoredRef::Kind;

// Bytes that hold v sign-extended: 0 for zero, up to 8.
int intBytes(std::int64_t v)
{
    if (v == 0)
        return 0;
    const int bits = 64 - __builtin_clrsbll(v);  // with the sign bit
    return (bits + 7) / 8;
}

void putUint(char* at, std::uint32_t v, int width)
{
    at[0] = static_cast<char>(v & 0xff);
    at[1] = static_cast<char>((v >> 8) & 0xff);
    if (width == 4) {
        at[2] = static_cast<char>((v >> 16) & 0xff);
        at[3] = static_cast<char>((v >> 24) & 0xff);
    }
}

struct Column {
    Kind kind;
    std::int64_t integer;
    double real;
    const char* text;
    std::size_t bytes;  // of the payload
};

}  // namespace

StoredRef RefOf(const Variant& v)
{
    StoredRef r;
    if (auto* i = std::get_if<std::int64_t>(&v)) {
        r.kind = Kind::Integer;
        r.integer = *i;
    } else if (auto* d = std::get_if<double>(&v)) {
        r.kind = Kind::Real;
        r.real = *d;
    } else if (auto* s = std::get_if<std::string>(&v)) {
        r.kind = Kind::Text;
        r.text = *s;
    }
    return r;
}

int CompareStored(const StoredRef& a, const StoredRef& b, bool nocase)
{
    auto rank = [](const StoredRef& r) {
        return r.kind == Kind::Null ? 0 : (r.kind == Kind::Text ? 2 : 1);
    };
    int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        if (a.kind == Kind::Integer && b.kind == Kind::Integer)
            return a.integer < b.integer ? -1 : (a.integer > b.integer ? 1 : 0);
        auto num = [](const StoredRef& r) {
            return r.kind == Kind::Integer ? static_cast<long double>(r.integer) : static_cast<long double>(r.real);
        };
        long double x = num(a), y = num(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return CompareGbk(a.text, b.text, nocase);
}

PackedRow PackedRow::FromColumns(sqlite3_stmt* st, int first, int count)
{
    PackedRow row;
    row.assign(st, first, count);
    return row;
}

void PackedRow::assign(sqlite3_stmt* st, int first, int count) { PackColumns(st, first, count, buf_, 0); }

namespace {

// Packs the columns into the bytes room(n) gives for them. With plainness asked for, true when every value is
// null, a number or ASCII text (no blob): values SQLite's index order and the engine's order agree on.
template <bool kPlainness = false, class Room>
bool Pack(sqlite3_stmt* st, int first, int count, Room room)
{
    bool plain = true;
    // Each value is looked at once (its kind, size and place), then written; a row of a few values needs no list.
    thread_local std::vector<Column> many;
    Column few[8];
    Column* cols = few;
    if (static_cast<std::size_t>(count) > std::size(few)) {
        if (many.size() < static_cast<std::size_t>(count))
            many.resize(static_cast<std::size_t>(count));
        cols = many.data();
    }
    std::size_t data = 0;
    for (int c = 0; c < count; ++c) {
        Column& col = cols[c];
        // The column's value read directly: each sqlite3_column_ call looks the column up and checks the
        // connection's state again, which counts over every value of a walk. The connection is used by one
        // thread only, so the value need not be protected.
        sqlite3_value* v = sqlite3_column_value(st, first + c);
        const int type = sqlite3_value_type(v);
        switch (type) {
        case SQLITE_INTEGER:
            col.kind = Kind::Integer;
            col.integer = sqlite3_value_int64(v);
            col.bytes = static_cast<std::size_t>(intBytes(col.integer));
            break;
        case SQLITE_FLOAT:
            col.kind = Kind::Real;
            col.real = sqlite3_value_double(v);
            col.bytes = sizeof(double);
            break;
        case SQLITE_NULL:
            col.kind = Kind::Null;
            col.bytes = 0;
            break;
        default:
            col.kind = Kind::Text;
            col.text = static_cast<const char*>(sqlite3_value_blob(v));
            col.bytes = static_cast<std::size_t>(sqlite3_value_bytes(v));
            if constexpr (kPlainness) {
                plain = plain && type == SQLITE_TEXT &&
                        (col.text == nullptr || gbk::IsAscii(std::string_view(col.text, col.bytes)));
            }
            break;
        }
        data += 1 + col.bytes;
    }
    const int width = data + 2 * (static_cast<std::size_t>(count) + 1) < 0xffff ? 2 : 4;
    const std::size_t header = 1 + static_cast<std::size_t>(width) * (static_cast<std::size_t>(count) + 1);
    char* out = room(header + data);
    out[0] = static_cast<char>(width);
    putUint(out + 1, static_cast<std::uint32_t>(count), width);
    char* ends = out + 1 + width;
    char* at = out + header;
    std::size_t end = 0;
    for (int c = 0; c < count; ++c) {
        const Column& col = cols[c];
        at[end] = static_cast<char>(col.kind);
        if (col.kind == Kind::Integer) {
            auto u = static_cast<std::uint64_t>(col.integer);
            for (std::size_t k = 0; k < col.bytes; ++k)
                at[end + 1 + k] = static_cast<char>((u >> (8 * k)) & 0xff);
        } else if (col.kind == Kind::Real) {
            std::memcpy(at + end + 1, &col.real, sizeof(double));
        } else if (col.kind == Kind::Text && col.bytes > 0) {
            std::memcpy(at + end + 1, col.text, col.bytes);
        }
        end += 1 + col.bytes;
        putUint(ends + static_cast<std::size_t>(width) * static_cast<std::size_t>(c), static_cast<std::uint32_t>(end), width);
    }
    return plain;
}

}  // namespace

void PackColumns(sqlite3_stmt* st, int first, int count, std::string& buf, std::size_t offset)
{
    Pack(st, first, count, [&buf, offset](std::size_t n) {
        buf.resize(offset + n);
        return buf.data() + offset;
    });
}

std::size_t PackedView::bytes() const
{
    if (p_ == nullptr)
        return 0;
    const int width = p_[0];
    const std::size_t n = size();
    const std::size_t header = 1 + static_cast<std::size_t>(width) * (n + 1);
    return header + (n == 0 ? 0 : number(p_ + 1 + width + static_cast<std::size_t>(width) * (n - 1), width));
}

Variant PackedView::value(std::size_t i, FieldType type) const
{
    const StoredRef r = stored(i);
    switch (r.kind) {
    case Kind::Null:
        return std::monostate{};
    case Kind::Integer:
        if (type == FieldType::Smallint || type == FieldType::Integer || type == FieldType::AutoInc ||
            type == FieldType::Boolean)
            return r.integer;  // as FromStorage leaves it
        return FromStorage(Variant{r.integer}, type);
    case Kind::Real:
        if (type == FieldType::Float || type == FieldType::Currency)
            return r.real;
        return FromStorage(Variant{r.real}, type);
    case Kind::Text:
        break;
    }
    // Text stays text in every field but a date.
    if (type == FieldType::Date)
        return FromStorage(Variant{std::string(r.text)}, type);
    return std::string(r.text);
}

bool PackedRow::sameValues(const PackedRow& other, const std::vector<FieldDesc>& fields) const
{
    if (buf_ == other.buf_)
        return true;
    if (size() != other.size())
        return false;
    for (std::size_t i = 0; i < size(); ++i) {
        const FieldType type = i < fields.size() ? fields[i].type : FieldType::String;
        if (value(i, type) != other.value(i, type))
            return false;
    }
    return true;
}

// ---- PackedList ----

namespace {

// The packing of a row without values, for an entry of a list (a view without bytes has nowhere to point).
constexpr char kNoValues[] = {2, 0, 0};

}  // namespace

std::size_t PackedList::put(PackedView row)
{
    const char* p = row.data() != nullptr ? row.data() : kNoValues;
    const std::size_t n = row.data() != nullptr ? row.bytes() : sizeof kNoValues;
    const std::size_t at = bytes_.size();
    bytes_.append(p, n);
    return at;
}

bool PackedList::appendColumns(sqlite3_stmt* st, int first, int count)
{
    const std::size_t at = bytes_.size();
    const bool plain = Pack<true>(st, first, count, [this](std::size_t n) { return bytes_.grow(n); });
    at_.push_back(at);
    return plain;
}

void PackedList::setColumns(std::size_t pos, sqlite3_stmt* st, int first, int count)
{
    unused_ += (*this)[pos].bytes();
    const std::size_t at = bytes_.size();
    Pack(st, first, count, [this](std::size_t n) { return bytes_.grow(n); });
    at_[pos] = at;
    collect();
}

void PackedList::reset(std::size_t entries)
{
    bytes_.clear();
    at_.assign(entries, kEmpty);
    unused_ = 0;
}

void PackedList::append(PackedView row) { at_.push_back(put(row)); }

void PackedList::insert(std::size_t pos, PackedView row)
{
    const std::size_t at = put(row);
    at_.insert(at_.begin() + static_cast<std::ptrdiff_t>(pos), at);
}

void PackedList::set(std::size_t pos, PackedView row)
{
    unused_ += (*this)[pos].bytes();
    at_[pos] = put(row);
    collect();
}

void PackedList::erase(std::size_t pos)
{
    unused_ += (*this)[pos].bytes();
    at_.erase(at_.begin() + static_cast<std::ptrdiff_t>(pos));
    collect();
}

void PackedList::clear()
{
    bytes_.clear();
    at_.clear();
    unused_ = 0;
}

void PackedList::collect()
{
    if (unused_ < 4096 || unused_ < bytes_.size() / 2)
        return;
    PackedList packed;
    packed.bytes_.reserve(bytes_.size() - unused_);
    packed.at_.reserve(at_.size());
    for (std::size_t i = 0; i < size(); ++i)
        packed.append((*this)[i]);
    swap(packed);
}

void PackedList::shrinkToFit()
{
    bytes_.shrinkToFit();
    at_.shrink_to_fit();
}

void PackedList::swap(PackedList& other) noexcept
{
    bytes_.swap(other.bytes_);
    at_.swap(other.at_);
    std::swap(unused_, other.unused_);
}

void PackedList::Bytes::append(const char* from, std::size_t n)
{
    // bytes of this buffer stay readable while it moves
    const std::less<const char*> before;
    const bool own = p_ != nullptr && !before(from, p_.get()) && before(from, p_.get() + size_);
    const std::size_t offset = own ? static_cast<std::size_t>(from - p_.get()) : 0;
    char* to = grow(n);
    std::memcpy(to, own ? p_.get() + offset : from, n);
}

char* PackedList::Bytes::grow(std::size_t n)
{
    if (size_ + n > room_)
        reserve(std::max(size_ + n, 2 * room_ + 256));
    char* at = p_.get() + size_;
    size_ += n;
    return at;
}

void PackedList::Bytes::reserve(std::size_t n)
{
    if (n <= room_)
        return;
    std::unique_ptr<char[]> p(new char[n]);
    if (size_ > 0)
        std::memcpy(p.get(), p_.get(), size_);
    p_ = std::move(p);
    room_ = n;
}

void PackedList::Bytes::shrinkToFit()
{
    if (room_ == size_)
        return;
    std::unique_ptr<char[]> p(size_ > 0 ? new char[size_] : nullptr);
    if (size_ > 0)
        std::memcpy(p.get(), p_.get(), size_);
    p_ = std::move(p);
    room_ = size_;
}

void PackedList::Bytes::swap(Bytes& other) noexcept
{
    p_.swap(other.p_);
    std::swap(size_, other.size_);
    std::swap(room_, other.room_);
}

}  // namespace db
