// Storing rows in a table file: conversion of values to their field's type and size, and the row writer that
// checks keys the engine's way before SQLite sees the row (primary index first, a blank key counts as one
// value, a unique secondary index is named in its message). An update writes only the fields whose stored
// value changes, so that the indexes of the others are left alone.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/PackedRow.h"
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

// The keys of the file's own unique indexes (no partial one): each index's columns with their collations, in order.
using IndexKey = std::vector<std::pair<std::string, std::string>>;
std::vector<IndexKey> UniqueKeys(sqlite3* db);

// True when one of keys is these columns under these collations ("NOCASE", "BINARY"), in this order: SQLite then
// refuses a repeated key that has no null part.
bool HasUniqueIndex(const std::vector<IndexKey>& keys, const std::vector<std::string>& names,
                    const std::vector<std::string>& collates);

// The key-violation message of the primary index, exactly as the windows compare it.
inline constexpr const char* kKeyViolation = "Key violation.";

class RowWriter {
public:
    RowWriter(sqlite3* db, const TableSchema& schema);

    // Values must already be converted, one per field. Raise EDatabaseError on a key violation.
    std::int64_t insert(const Row& values);
    // Gives the row the values, stored holding its values exactly as they are stored now: only the fields whose
    // stored value changes are written (none, nothing is written). False when the row is gone.
    bool update(std::int64_t rowid, const Row& values, const PackedRow& stored);
    void remove(std::int64_t rowid);

private:
    struct KeyCheck {
        std::string indexName;  // empty for the primary index
        std::vector<int> fields;
        std::vector<std::string> names, collates;
        std::string sql;
        Statement stmt;  // prepared from sql when first needed
        int enforced = -1;  // the file's own unique index refuses a repeat of a key without a null part; -1 unknown
    };

    // changed: the fields an update changes (null for an insert); a key the update leaves as it is, with no null
    // part, is not looked up where the file's own index refuses its repeats.
    void checkKeys(const Row& values, std::int64_t self, const std::vector<bool>* changed);
    bool keyStays(KeyCheck& kc, const Row& values, const std::vector<bool>& changed);
    Statement& updateOf(const std::vector<int>& fields);

    sqlite3* db_;
    const TableSchema& schema_;
    std::vector<KeyCheck> checks_;
    Statement insert_, delete_, exists_;
    std::map<std::vector<int>, Statement> updates_;  // by the fields they write
};

}  // namespace db
