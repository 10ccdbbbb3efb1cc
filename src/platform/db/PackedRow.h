// A row's values as SQLite stores them, packed into one buffer. The row cache and the view's order values hold
// rows this way: a row costs one allocation (a short key none), and a value becomes a field value only when a
// field is read.
#pragma once

#include <sqlite3.h>

#include <cstdint>
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

class PackedRow {
public:
    PackedRow() = default;  // no values: every value reads as null

    // Columns [first, first + count) of the current row of a statement.
    static PackedRow FromColumns(sqlite3_stmt* st, int first, int count);
    // The same into this row, reusing its buffer: a cache that repacks its rows allocates no more once warm.
    void assign(sqlite3_stmt* st, int first, int count);

    void clear() { buf_.clear(); }  // no values, the buffer kept

    std::size_t size() const;
    StoredRef stored(std::size_t i) const;               // null beyond the last value
    Variant value(std::size_t i, FieldType type) const;  // as the field's type, as FromStorage converts it

    // Equal as the fields read them (a value stored as 5 and one stored as 5.0 in a float field are equal).
    bool sameValues(const PackedRow& other, const std::vector<FieldDesc>& fields) const;

private:
    // Header: the width w of its numbers (2 or 4 bytes), the count, the end of each value in the data; then
    // the data: per value a storage-class byte and its bytes (integers in as few bytes as hold them).
    std::string buf_;
};

}  // namespace db
