// dBase table files: a ".dbf" with its ".dbt" memo file, text in GBK on disk. The reader and writer work at
// the level of dBase III/IV (field types C, N, F, D, L and M) and turn a file into the engine's table
// description and rows, and back.
//
// Type mapping, writing (schema letter -> dBase field):
//   A n  -> C, width = the longest value in GBK bytes (2 per Chinese character), at least min(n, 254);
//           a column whose values need more than 254 bytes becomes a memo, so nothing is ever cut
//   N, $ -> N, plain decimal; width and decimals (at least 1) chosen so that every value is written exactly
//           as its shortest round-trip form (rounded to fit only beyond 20 characters)
//   S    -> N(6,0)      I, + -> N(11,0)      D -> D(8) yyyymmdd      L -> L(1) T/F
//   M, B -> M (".dbt", dBase III blocks; B byte for byte, M in GBK)
//   T    -> C(8) hh:mm:ss      @ -> C(19) yyyy-mm-dd hh:mm:ss
// Type mapping, reading (dBase field -> schema letter):
//   C n  -> A n
//   N with no decimals and width <= 11 -> I (values read as integers); other N and every F -> N (float)
//   D -> D, L -> L (T/t/Y/y 1, F/f/N/n 0, otherwise null), M -> M
// Field names are at most 10 GBK bytes: a longer name is cut at a character boundary, and names are then
// made unique without regard to case by replacing their tail with "_1", "_2" ...
//
// Text values lose their trailing blanks, and empty text reads as null. Deleted records are skipped on
// reading. Every fault (a truncated or corrupt file, a missing memo file, invalid GBK, a value that does not
// fit its field) raises EDatabaseError naming the file, and where it applies the record and field.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Schema.h"

namespace db::dbf {

using Row = std::vector<Variant>;

struct Table {
    TableSchema schema;     // fields only: dBase files carry no index description here
    std::vector<Row> rows;  // each row has one value per field, in field order
};

// Reads path (and the ".dbt" beside it when a field is a memo).
Table Read(const std::string& path);

// Writes path, replacing an existing file (and its ".dbt"); each row holds one value per schema field.
// The files are written beside the target first and renamed into place, so a failed write leaves the
// previous file as it was.
void Write(const std::string& path, const TableSchema& schema, const std::vector<Row>& rows);

// Raises EDatabaseError naming the field when a row could not be written to a dBase file (a character without
// a GBK code, a number wider than a dBase numeric field, a memo holding the byte 0x1A), so that a store can
// refuse it before anything is written.
void CheckRow(const TableSchema& schema, const Row& row);

// The dBase field names that Write uses for the given names (cut to 10 bytes, made unique).
std::vector<std::string> FieldNames(const std::vector<std::string>& names);

}  // namespace db::dbf
