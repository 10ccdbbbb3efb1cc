// How the file readers and writers (dBase, text, the text form of data/) write and read single values:
// numbers in plain decimal (never with an exponent), dates as yyyy-mm-dd.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/db/Schema.h"

namespace db::text {

// The shortest plain decimal that reads back as the same double ("12.5", "0.001", "-3"); "" for NaN or
// infinity, which no file format here can hold.
std::string FormatFloat(double value);
std::string FormatDate(const Date& d);  // yyyy-mm-dd
// A value as text: "" for null, numbers in plain decimal, dates yyyy-mm-dd.
std::string ValueText(const Variant& v);

// Plain decimal: optional sign, digits, optional point and digits; nothing else, not even blanks.
std::optional<double> ParseDecimal(std::string_view s);
std::optional<std::int64_t> ParseInteger(std::string_view s);
// yyyy-mm-dd naming a real day.
std::optional<Date> ParseDate(std::string_view s);
bool IsValidDate(const Date& d);

}  // namespace db::text
