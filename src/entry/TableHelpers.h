// The table helpers every data-entry window uses: empty numbers become 0 before a store, and a table from
// which records were deleted is packed when its window closes.
#pragma once

#include <string>

#include "platform/db/Database.h"

class TDataSet;

// Sets every null small-integer, integer and float field of the data set to 0, first field to last. The data
// set must be in edit or insert state; other fields are left alone.
void ZeroNullNumericFields(TDataSet* dataSet);

// Packs one closed table by its name as the table component holds it. The result is not examined: a table that
// is open, missing or foreign is simply left as it is.
void PackParadoxTable(hDBIDb database, const std::string& tableName);
