// The moves of the locate dialogs: to a record by its number in the table's current order, or to the record
// with a key on a named index.
#pragma once

#include <string>

class TTable;

// The record number as an integer; raises EConvertError, before anything moves, for a text that is not one.
int RecordNumberOf(const std::string& text);

// First, then MoveBy(number - 1): 1 is the first record, beyond the last stops on the last.
void LocateByNumber(TTable* table, int number);

// Key search of field = value on index (none: the active order); a miss leaves the table where it was. After
// a search on an index the table is ordered by IndexFieldNames "id" again.
void LocateByKey(TTable* table, const std::string& field, const std::string& index, const std::string& value);
