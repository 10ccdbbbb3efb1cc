// A row's values as SQLite stores them, packed into one buffer. The row cache holds rows this way (a row costs
// one allocation) and the view's order values are packed one after another into one list; a value becomes a
// field value only when a field is read.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Schema.h"

namespace db {

// One stored value: its storage class and its number or bytes (pointing into the row or value that holds it).
// Blobs count as text, as the engine reads them.
struct StoredRef {
    enum class Kind : unsigned char { Null, Integer, Real, Text };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;
};

// A value in its stored form (as ToStorage gives it); v must outlive the reference.
StoredRef RefOf(const Variant& v);

// SQLite's order of stored values: null, numbers, text; text by the GBK collation (folding ASCII case with nocase).
int CompareStored(const StoredRef& a, const StoredRef& b, bool nocase);

// Packed values read where they lie: in a PackedRow's buffer or in an entry of a PackedList. Valid while that
// holder is unchanged.
class PackedView {
public:
    PackedView() = default;  // no values: every value reads as null
    explicit PackedView(const char* packed) : p_(packed) {}

    std::size_t size() const { return p_ == nullptr ? 0 : number(p_ + 1, p_[0]); }
    std::size_t bytes() const;  // of the packed values, header and all
    StoredRef stored(std::size_t i) const;               // null beyond the last value
    Variant value(std::size_t i, FieldType type) const;  // as the field's type, as FromStorage converts it
    const char* data() const { return p_; }

private:
    // A number of the header: width 2 or 4 bytes, least significant first.
    static std::size_t number(const char* at, int width)
    {
        auto byte = [at](int k) { return static_cast<std::size_t>(static_cast<unsigned char>(at[k])); };
        std::size_t v = byte(0) | byte(1) << 8;
        if (width == 4)
            v |= byte(2) << 16 | byte(3) << 24;
        return v;
    }

    const char* p_ = nullptr;
};

// Read in place, inline: the view's searches and walks read values by the million.
inline StoredRef PackedView::stored(std::size_t i) const
{
    StoredRef r;
    const std::size_t n = size();
    if (i >= n)
        return r;
    const int width = p_[0];
    const char* ends = p_ + 1 + width;
    const char* data = ends + static_cast<std::size_t>(width) * n;
    const std::size_t begin = i == 0 ? 0 : number(ends + static_cast<std::size_t>(width) * (i - 1), width);
    const std::size_t end = number(ends + static_cast<std::size_t>(width) * i, width);
    const char* payload = data + begin + 1;
    const std::size_t bytes = end - begin - 1;
    r.kind = static_cast<StoredRef::Kind>(data[begin]);
    if (r.kind == StoredRef::Kind::Integer) {
        std::uint64_t u = 0;
        for (std::size_t k = 0; k < bytes; ++k)
            u |= static_cast<std::uint64_t>(static_cast<unsigned char>(payload[k])) << (8 * k);
        if (bytes > 0 && bytes < 8 && (u >> (8 * bytes - 1)) & 1)
            u |= ~std::uint64_t{0} << (8 * bytes);  // sign extension
        r.integer = static_cast<std::int64_t>(u);
    } else if (r.kind == StoredRef::Kind::Real) {
        std::memcpy(&r.real, payload, sizeof(double));
    } else if (r.kind == StoredRef::Kind::Text) {
        r.text = std::string_view(payload, bytes);
    }
    return r;
}

class PackedRow {
public:
    PackedRow() = default;  // no values: every value reads as null
    explicit PackedRow(PackedView v) : buf_(v.data() != nullptr ? std::string(v.data(), v.bytes()) : std::string()) {}

    // Columns [first, first + count) of the current row of a statement.
    static PackedRow FromColumns(sqlite3_stmt* st, int first, int count);
    // The same into this row, reusing its buffer: a cache that repacks its rows allocates no more once warm.
    void assign(sqlite3_stmt* st, int first, int count);

    void clear() { buf_.clear(); }  // no values, the buffer kept

    PackedView view() const { return buf_.empty() ? PackedView() : PackedView(buf_.data()); }
    std::size_t size() const { return view().size(); }
    StoredRef stored(std::size_t i) const { return view().stored(i); }
    Variant value(std::size_t i, FieldType type) const { return view().value(i, type); }

    // Equal as the fields read them (a value stored as 5 and one stored as 5.0 in a float field are equal).
    bool sameValues(const PackedRow& other, const std::vector<FieldDesc>& fields) const;

private:
    // Header: the width w of its numbers (2 or 4 bytes), the count, the end of each value in the data; then
    // the data: per value a storage-class byte and its bytes (integers in as few bytes as hold them).
    std::string buf_;
};

// Columns [first, first + count) of the current row of a statement, packed into out from at on (out ends there).
void PackColumns(sqlite3_stmt* st, int first, int count, std::string& out, std::size_t at);

// A list of packed rows, one after another in one buffer: the view's order values, where a PackedRow each would
// cost a string of its own and the copies of growing a list of them. A view into the list holds until it changes.
// An entry replaced or removed leaves its bytes behind until they outweigh the rest; the list is then packed anew.
class PackedList {
public:
    std::size_t size() const { return at_.size(); }
    bool empty() const { return at_.empty(); }
    // An entry left empty by reset has no values.
    PackedView operator[](std::size_t i) const
    {
        return at_[i] == kEmpty ? PackedView() : PackedView(bytes_.data() + at_[i]);
    }
    PackedView back() const { return (*this)[size() - 1]; }

    // As PackColumns; true when every value is null, a number or ASCII text (no blob), on which SQLite's index
    // order and CompareStored agree.
    bool appendColumns(sqlite3_stmt* st, int first, int count);
    void setColumns(std::size_t pos, sqlite3_stmt* st, int first, int count);
    void reset(std::size_t entries);  // that many entries, each empty; the buffer's room is kept
    void append(PackedView row);
    void insert(std::size_t pos, PackedView row);
    void set(std::size_t pos, PackedView row);
    void erase(std::size_t pos);
    void clear();
    void reserve(std::size_t entries) { at_.reserve(entries); }
    void reserveBytes(std::size_t bytes) { bytes_.reserve(bytes); }
    void shrinkToFit();
    void swap(PackedList& other) noexcept;

private:
    std::size_t put(PackedView row);  // appends the bytes, giving where they start
    void collect();                   // drops the bytes no entry holds

    static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

    // A buffer that grows by doubling and leaves the room it adds unset, as it is written at once.
    class Bytes {
    public:
        std::size_t size() const { return size_; }
        const char* data() const { return p_.get(); }
        char* grow(std::size_t n);  // n more bytes at the end, unset; where they start
        void append(const char* from, std::size_t n);
        void clear() { size_ = 0; }
        void reserve(std::size_t n);
        void shrinkToFit();
        void swap(Bytes& other) noexcept;

    private:
        std::unique_ptr<char[]> p_;
        std::size_t size_ = 0, room_ = 0;
    };

    Bytes bytes_;
    std::vector<std::size_t> at_;  // where each entry starts in bytes_, kEmpty for an entry without values
    std::size_t unused_ = 0;       // bytes of bytes_ that no entry holds
};

}  // namespace db
