// The description of a table file: its fields (name as written, type letter, size) and its named indexes.
// Every format the engine reads or writes (SQLite table files, dBase, the text form of data/) is turned into
// this one description, so that creating, copying and comparing tables never depends on the format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace db {

// Field types by their letter in the notation of the report tables: A text of n characters, N float,
// S small integer, I integer, D date, M memo, L logical. '+' auto-increment, '$' currency, 'T' time,
// '@' timestamp and 'B' binary exist in submitted files and are carried through unchanged.
enum class FieldType : char {
    String = 'A',
    Float = 'N',
    Smallint = 'S',
    Integer = 'I',
    Date = 'D',
    Memo = 'M',
    Boolean = 'L',
    AutoInc = '+',
    Currency = '$',
    Time = 'T',
    DateTime = '@',
    Blob = 'B',
};

std::optional<FieldType> fieldTypeFromLetter(char letter);
// Small integer, integer, float, currency, auto-increment.
bool isNumericType(FieldType type);
inline char fieldTypeLetter(FieldType t) { return static_cast<char>(t); }
// True for the types that carry a size (text only; memo and blob sizes are informational).
bool fieldTypeHasSize(FieldType t);

struct Date {
    int year = 0, month = 0, day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

// A field value: null, integer, float, text (UTF-8) or date. Empty text is stored as null.
using Variant = std::variant<std::monostate, std::int64_t, double, std::string, Date>;

inline bool isNull(const Variant& v) { return std::holds_alternative<std::monostate>(v); }

struct FieldDesc {
    std::string name;  // as written; matched without regard to case
    FieldType type = FieldType::String;
    int size = 0;      // characters for A; 0 where the type has no size
    bool required = false;
    friend bool operator==(const FieldDesc&, const FieldDesc&) = default;
};

struct IndexDesc {
    std::string name;                 // empty for the primary index
    std::vector<std::string> fields;  // in key order
    bool primary = false;
    bool unique = false;              // the primary index is always unique
    bool caseInsensitive = false;
    friend bool operator==(const IndexDesc&, const IndexDesc&) = default;
};

struct TableSchema {
    std::vector<FieldDesc> fields;
    std::vector<IndexDesc> indexes;  // the primary index, if any, first

    // Position of a field by name without regard to case, or -1.
    int fieldIndex(const std::string& name) const;
    const IndexDesc* primaryIndex() const;
    const IndexDesc* findIndex(const std::string& name) const;  // by name, without regard to case
    friend bool operator==(const TableSchema&, const TableSchema&) = default;
};

}  // namespace db
