// The one routine that writes a data set out as a new table file (SaveAsTable), used by the table tool, the
// query window, the report builders and maintenance, and the row/column swap into "hljh.db" that the table tool
// and the query window share. Neither needs a window: both work through a table object of their own or the
// caller's.
#pragma once

#include <string>

class TDataSet;
class TDBGrid;
class TTable;

// The swap's table, created anew by every swap.
inline constexpr const char* kSwapTableName = "hljh.db";
// The page printer's data and headings: a save to exactly "query_p.db" rewrites "bt_p.db" too.
inline constexpr const char* kPrintTableName = "query_p.db";
inline constexpr const char* kPrintHeadingsName = "bt_p.db";

// Writes every row of source into a new table file fileName, fields matched by position: dBase for the
// extension ".dbf" in any case, text for ".txt", otherwise a table file (".db" added when there is none).
// Field names and types come from source; with a grid, each field takes the title of the grid's column at its
// position as its name and, where the field has a size, the column's width in characters as its size (1 to
// 255; text longer than that is cut). The file is built under a temporary name beside the target and renamed
// over it only when complete, so a failure leaves an existing file as it was; an existing file is replaced
// without a question (callers that save on a user's behalf ask first, see SaveTarget.h). A target that a
// table of this program holds open is refused. For fileName exactly "query_p.db" the headings table "bt_p.db"
// (which must exist) is rewritten with one row per field: the name and the size capped at 40, or 10 for a field
// without a size. Engine errors propagate to the caller.
void SaveAsTable(TDataSet* source, TDBGrid* grid, const std::string& fileName);

// Writes "hljh.db" through target: the field "字段名" and one field "字段1", "字段2" ... per record of source,
// all text of one width (60, or the widest text field of source plus one, at most 255), and one record per
// field of source holding the field's name and its value in each record, as text. Refused with a message
// before anything is written when source has more records than a table can have fields. target is closed
// afterwards; source is left on its first record.
void SwapRowsColumns(TDataSet* source, TTable* target);
