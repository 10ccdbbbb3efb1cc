// Table names as the windows write them ("kfq_1.db", "tmp\kfq_1", "check_db.DB", a full path from a file
// dialog) resolved to files: "\" is a separator, a name without extension means ".db", and every component
// matches its folder's entries without regard to case. Bare names resolve against the current folder.
#pragma once

#include <string>

namespace db {

// The format of a table file, picked by its extension.
enum class TableFormat { Sqlite, DBase, Text };

// The path of a table name: separators normalised, ".db" added when there is no extension, prefixed with
// databaseName unless that is empty or "." or the name is absolute, and each existing component replaced by
// the entry of its folder that matches it without regard to case. The file itself need not exist; the result
// is absolute and lexically normal, so that two spellings of one file give one path.
std::string ResolveTableName(const std::string& name, const std::string& databaseName = {});

// ".dbf" dBase, ".txt" text, anything else an SQLite table file.
TableFormat FormatOfPath(const std::string& path);

}  // namespace db
