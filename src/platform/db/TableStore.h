// Storing rows in a table file: conversion of values to their field's type and size, and the row writer that
// checks keys the engine's way before SQLite sees the row (primary index first, a blank key counts as one
// value, a unique secondary index is named in its message).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/Schema.h"

namespace db {

using Row = std::vector<Variant>;

// What a text longer than its field gets: refused (an ordinary store) or cut (a batch move).
enum class TextFit { Refuse, Cut };

// Converts a value to the field's type as a store does: text loses trailing blanks and empty text is null;
// numbers, dates and logicals are parsed from text. Raises EConvertError for a text that is not of the
// field's type, EDatabaseError naming the field for a text longer than its size when fit is Refuse.
Variant ConvertForField(const Variant& v, const FieldDesc& field, TextFit fit);

// A value as plain text: numbers in full (fixed notation), dates as yyyy-mm-dd, "" for null.
std::string PlainText(const Variant& v);

int Utf8Length(std::string_view s);                  // characters
std::string Utf8Prefix(std::string_view s, int chars);

// The key-violation message of the primary index, exactly as the windows compare it.
inline constexpr const char* kKeyViolation = "Key violation.";

class RowWriter {
public:
    RowWriter(sqlite3* db, const TableSchema& schema);

    // Values must already be converted, one per field. Raise EDatabaseError on a key violation.
    std::int64_t insert(const Row& values);
    void update(std::int64_t rowid, const Row& values);
    void remove(std::int64_t rowid);

private:
    void checkKeys(const Row& values, std::int64_t self);

    struct KeyCheck {
        std::string indexName;  // empty for the primary index
        std::vector<int> fields;
        Statement stmt;
    };

    sqlite3* db_;
    const TableSchema& schema_;
    std::vector<KeyCheck> checks_;
    Statement insert_, update_, delete_;
};

}  // namespace db
