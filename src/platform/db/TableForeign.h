// Tables kept in foreign formats (dBase ".dbf", text ".txt" for export): a table works on an in-memory copy
// with the table-file layout, loaded from the file when it opens and written back when it is flushed or
// closed. The files themselves are read and written by the dBase and text writers.
#pragma once

#include <sqlite3.h>

#include <string>

#include "platform/db/Names.h"
#include "platform/db/Schema.h"
#include "platform/db/TableFile.h"

namespace db {

// Loads a dBase table into an empty connection (layout and rows); returns its description.
TableSchema LoadForeignTable(sqlite3* db, const std::string& path, const std::string& displayName);

// Raises EDatabaseError naming the field when a row of converted values cannot be written to the foreign file,
// so that the store that would put it there fails and the file stays as it is.
void CheckForeignRow(const TableSchema& schema, const Row& row, TableFormat format);

// Writes every row of the connection's table, in rowid order, into the foreign file.
void SaveForeignTable(sqlite3* db, const std::string& path, const TableSchema& schema, TableFormat format);

// Creates an empty foreign table file, replacing an existing one.
void CreateForeignTable(const std::string& path, const TableSchema& schema, TableFormat format);

}  // namespace db
