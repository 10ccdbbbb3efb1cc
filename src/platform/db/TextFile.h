// The engine's text table (".txt"): one line per record, GBK on disk, lines ended by CR LF, no heading line.
// Values are separated by commas. Text values (A, M, B, T, @) are written in double quotes, a quote inside
// doubled ("say ""hi"""); a line break inside a text stays inside its quotes, so such a record continues on
// the next line. Numbers are written unquoted in plain decimal, dates unquoted as yyyy-mm-dd, logicals as T or
// F. A null value is written as nothing at all (two commas in a row), so it is told apart from the quoted
// empty text "" only by the quotes.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Schema.h"

namespace db::text {

using Row = std::vector<Variant>;

// Writes path, replacing an existing file only once the new one is complete. Each row holds one value per
// schema field. A value that cannot be written (a character without a GBK code, a text in a numeric field)
// raises EDatabaseError naming the file, record and field.
void Write(const std::string& path, const TableSchema& schema, const std::vector<Row>& rows);

// Raises EDatabaseError naming the field when a row could not be written in this form (a character without a
// GBK code, a text in a numeric field), so that a store can refuse it before anything is written.
void CheckRow(const TableSchema& schema, const Row& row);

// Reads a text table written in this form, typing its values by schema. A quoted empty text reads as null
// (empty text is null everywhere in the engine). Raises EDatabaseError naming the file and line for a record
// with the wrong number of values, a value that does not suit its field, an unclosed quote or invalid GBK.
std::vector<Row> Read(const std::string& path, const TableSchema& schema);

}  // namespace db::text
