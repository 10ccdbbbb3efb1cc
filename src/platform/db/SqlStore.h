// What a modifying statement leaves in its table file, made to agree with a table store: text as a store
// keeps it, numbers and dates checked, keys checked the engine's way, and SQLite's own key failures named as
// the engine names them. TQuery runs these inside the statement's transaction.
#pragma once

#include <sqlite3.h>

#include <string>

#include "platform/db/Schema.h"

namespace sql {

// table: the attached table as SQL ("vq1"."data"); schema: its file's description; described: the table file
// as a message names it. Raises EDatabaseError.
void StoreAsTheTableDoes(sqlite3* c, const std::string& table, const db::TableSchema& schema,
                         const std::string& described);

// Raises the engine's key violation for SQLite's last unique-constraint failure on a table of schema.
[[noreturn]] void ThrowUniqueViolation(sqlite3* c, const db::TableSchema& schema);

}  // namespace sql
