// How the data-aware controls show a field value as text and turn typed text back into a value. All edits
// and grid cells go through these two functions, so that every control shows numbers in plain decimal and
// dates as yyyy-mm-dd, and refuses a typed text that is not a number or date with the same clear message.
#pragma once

#include <QString>

#include "platform/db/DataSet.h"

// The text shown for a value of the field: "" for null, numbers in plain decimal (1234567.5, never
// 1.23457e+06), dates yyyy-mm-dd.
QString FieldDisplayText(const TField& field, const db::Variant& value);
inline QString FieldDisplayText(const TField& field) { return FieldDisplayText(field, field.Value()); }

// The value for a typed text: null for a blank text; numbers and dates parsed, anything else as text.
// Raises EConvertError naming the field when a numeric or date field gets a text that is not one.
db::Variant FieldValueFromText(const TField& field, const QString& text);

// Writes a typed text to the field of the current record (starting an edit where the data set browses).
void SetFieldText(TField& field, const QString& text);

// Whether a typed character can ever belong to a value of the field's type: digits and sign for integers,
// also the decimal point and the exponent for other numbers, digits and "-" for dates; any character for the
// other types. The data-aware controls refuse other characters as they are typed.
bool FieldAcceptsChar(const TField& field, QChar c);

// Plain decimal for a float: 15 significant digits without trailing zeros, never an exponent.
QString PlainDecimal(double v);
