// Text forms of printed values: plain decimal numbers (never an exponent) and display masks of the numeric
// format kind ("0.", "#,##0.00"), as printable data components apply them.
#pragma once

#include <string>

#include "platform/db/Schema.h"

namespace report {

// Up to 15 significant digits, no exponent, no trailing zeros: 1234567.5 -> "1234567.5", 3.0 -> "3".
std::string plainNumberText(double v);

// Formats a number by a display mask: '0' a digit always shown, '#' a digit shown when significant, '.' the
// decimal point (the count of '0'/'#' after it sets the decimals; none after it means whole numbers), ',' in
// the integer part groups thousands. Rounds half away from zero. Text around the placeholders is kept.
std::string formatNumberMask(double v, const std::string& mask);

// A field value as printed without a mask: "" for null, numbers in plain decimal, dates yyyy-mm-dd.
std::string variantText(const db::Variant& v);

}  // namespace report
