#include "platform/db/TextFileValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace db::text {

std::string FormatFloat(double value)
{
    if (!std::isfinite(value))
        return {};
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, res.ptr);
    if (s == "-0")
        s = "0";
    return s;
}

std::string FormatDate(const Date& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

std::string ValueText(const Variant& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (const auto* f = std::get_if<double>(&v))
        return FormatFloat(*f);
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* d = std::get_if<Date>(&v))
        return FormatDate(*d);
    return {};
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Sign, digits, and (when allowPoint) a point with digits; at least one digit.
bool IsPlainNumber(std::string_view s, bool allowPoint)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            ++digits;
        } else if (s[i] == '.' && allowPoint && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view s)
{
    if (!IsPlainNumber(s, true))
        return std::nullopt;
    if (s[0] == '+')
        s.remove_prefix(1);
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

std::optional<std::int64_t> ParseInteger(std::string_view s)
{
    if (!IsPlainNumber(s, false))
        return std::nullopt;
    if (s[0] == '+')
        s.remove_prefix(1);
    std::int64_t v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

bool IsValidDate(const Date& d)
{
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int max = days[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
    return d.day <= max;
}

std::optional<Date> ParseDate(std::string_view s)
{
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return std::nullopt;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(s[i]))
            return std::nullopt;
    }
    const auto num = [&](std::size_t from, std::size_t len) {
        int v = 0;
        for (std::size_t i = from; i < from + len; ++i)
            v = v * 10 + (s[i] - '0');
        return v;
    };
    const Date d{num(0, 4), num(5, 2), num(8, 2)};
    if (!IsValidDate(d))
        return std::nullopt;
    return d;
}

}  // namespace db::text
