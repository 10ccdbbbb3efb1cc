// The columns of a query answer: the field type and size of a column that is not a plain column of a table
// file (inferred from the translator's hint and from the values), the values in the form of their column's
// type, and unique names, so that an answer can be saved as a table.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/db/Schema.h"
#include "platform/db/SqlTranslate.h"

namespace sql {

using Row = std::vector<db::Variant>;

// Float for sum and avg, integer for count, text for text expressions, else what the values hold: text sized
// to its longest value (at least 1; memo above 255 characters), integer or float.
db::FieldDesc InferAnswerColumn(const std::string& name, ColumnHint hint, const std::vector<Row>& rows,
                                std::size_t col);

// A value of the answer as its column's type holds it (numbers as text for text columns, dates parsed).
db::Variant ToAnswerValue(const db::Variant& v, const db::FieldDesc& d);

// Later columns of the same name (without regard to case) get "_1", "_2" ...
void MakeNamesUnique(std::vector<db::FieldDesc>& fields);

}  // namespace sql
