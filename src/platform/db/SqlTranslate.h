// The translator from the local SQL dialect to SQLite SQL: the statement recogniser on top of the tokenizer.
// File names in table positions (FROM, JOIN, UPDATE, INTO, DELETE FROM, comma lists; quoted or bare) become
// tables of attached databases, a double-quoted token elsewhere is a string literal, names are quoted,
// SUBSTRING(x FROM a FOR b) becomes substr(x, a, b), MOD(a, b) the remainder operator and ORDER BY sorts text
// in the GBK collation.
// The same expression language serves record constraints and filters (TranslateCondition).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/SqlError.h"

namespace sql {

// At most this many distinct table files in one statement (SQLite's default attach limit).
inline constexpr std::size_t kMaxFiles = 10;
// Parentheses, subqueries and function calls nest at most this deep.
inline constexpr int kMaxDepth = 64;

enum class StatementKind { Select, Insert, Update, Delete };

struct FileRef {
    std::string name;    // as written in the statement (quotes removed)
    std::string key;     // what tells files apart: TranslateOptions::fileKey of the name
    std::string schema;  // the attached database's name in the translated SQL ("vq1", "vq2" ...)
    std::size_t offset = 0;  // where the name first stands in the statement
};

// What the type of an answer column follows, for the select list of the outermost select.
enum class ColumnHint {
    Values,   // look at the answer's values
    Source,   // a plain column: the source table's field
    Integer,  // count
    Float,    // sum, avg
    Text,     // string literals, ||, substr, upper, lower, trim
    Argument, // min, max of a plain column: that column's field
};

struct AnswerColumn {
    ColumnHint hint = ColumnHint::Values;
    std::string qualifier, column;  // Argument: the column, with its table alias or ""
    friend bool operator==(const AnswerColumn&, const AnswerColumn&) = default;
};

// A plain column compared with a string literal, either way round (a.QC02 > "abc"): whether the literal suits
// the column's type is known only once the files are open.
struct LiteralComparison {
    std::string qualifier, column;  // the column, with its table alias or ""
    std::string literal;            // the string's content
    std::size_t offset = 0;         // where the literal stands in the statement
    friend bool operator==(const LiteralComparison&, const LiteralComparison&) = default;
};

struct Translation {
    StatementKind kind = StatementKind::Select;
    std::string sql;              // the SQLite statement
    std::vector<FileRef> files;   // distinct files in order of first appearance
    int target = -1;              // insert, update, delete: index in files of the file written
    // Outermost select: one entry per select-list item; empty when the list holds a '*'.
    std::vector<AnswerColumn> columns;
    // Table aliases of the statement (as written) and the index in files of the file each stands for.
    std::vector<std::pair<std::string, int>> aliases;
    std::vector<std::pair<std::size_t, std::size_t>> positions;  // (sql offset, statement offset)
    std::vector<LiteralComparison> comparisons;

    // The statement offset that an offset into sql stands for.
    std::size_t sourceOffset(std::size_t sqlOffset) const;
};

struct TranslateOptions {
    // The table inside every attached table file.
    std::string innerTable = "data";
    // The collation of ORDER BY terms; empty for none.
    std::string orderCollation = "GBK";
    // Maps a file name as written to the key that identifies the file (a resolved path); by default the name
    // lower-cased, with '/' for '\' and ".db" added when it has no extension.
    std::function<std::string(const std::string&)> fileKey;
};

// The default file key (see TranslateOptions::fileKey).
std::string normalFileName(const std::string& name);

// Translates one statement (a trailing ';' allowed). Raises SqlError with the position of the fault for text
// that is not a statement of the dialect or names more than kMaxFiles files.
Translation translateStatement(std::string_view text, const TranslateOptions& options = {});

// Translates a record constraint or filter text into a SQLite expression over unqualified column names.
// A blank text gives "". Raises SqlError for a text that is not a condition (subqueries and table names
// included).
std::string TranslateCondition(const std::string& text);

}  // namespace sql
