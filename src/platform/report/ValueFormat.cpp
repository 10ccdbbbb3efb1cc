// Number and value formatting for printed texts.
#include "platform/report/ValueFormat.h"

#include <cmath>
#include <cstdio>

namespace report {

std::string plainNumberText(double v)
{
    if (!std::isfinite(v)) {
        return std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF");
    }
    // Decimals so that 15 significant digits are kept, then trailing zeros dropped.
    const double mag = v == 0 ? 0 : std::floor(std::log10(std::fabs(v)));
    const int decimals = std::max(0, 14 - static_cast<int>(mag));
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::min(decimals, 20), v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') {
            s.pop_back();
        }
        if (!s.empty() && s.back() == '.') {
            s.pop_back();
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return s;
}

std::string formatNumberMask(double v, const std::string& mask)
{
    // Find the placeholder run: from the first to the last of "0#.,".
    const auto first = mask.find_first_of("0#.,");
    if (first == std::string::npos) {
        return mask;
    }
    const auto last = mask.find_last_of("0#.,");
    const std::string prefix = mask.substr(0, first);
    const std::string suffix = mask.substr(last + 1);
    const std::string body = mask.substr(first, last - first + 1);

    const auto point = body.find('.');
    const std::string intPart = body.substr(0, point);
    const std::string fracPart = point == std::string::npos ? std::string() : body.substr(point + 1);
    int minInt = 0;
    for (char c : intPart) {
        minInt += c == '0';
    }
    int minFrac = 0, maxFrac = 0;
    for (char c : fracPart) {
        if (c == '0') {
            ++minFrac, ++maxFrac;
        } else if (c == '#') {
            ++maxFrac;
        }
    }
    const bool group = intPart.find(',') != std::string::npos;

    // Round half away from zero at maxFrac decimals.
    const double scale = std::pow(10.0, maxFrac);
    const double rounded = std::round(std::fabs(v) * scale) / scale;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", maxFrac, rounded);
    std::string digits = buf;
    std::string ip = digits.substr(0, digits.find('.'));
    std::string fp = maxFrac > 0 ? digits.substr(digits.find('.') + 1) : std::string();
    while (static_cast<int>(fp.size()) > minFrac && !fp.empty() && fp.back() == '0') {
        fp.pop_back();
    }
    if (ip == "0" && minInt == 0) {
        ip.clear();
    }
    if (static_cast<int>(ip.size()) < minInt) {
        ip = std::string(static_cast<std::size_t>(minInt) - ip.size(), '0') + ip;
    }
    // Digits are appended one by one (grouped from the right when asked).
    std::string out;
    out.reserve(ip.size() + ip.size() / 3 + fp.size() + 2);
    for (std::size_t i = 0; i < ip.size(); ++i) {
        if (group && i > 0 && (ip.size() - i) % 3 == 0) {
            out.push_back(',');
        }
        out.push_back(ip[i]);
    }
    if (!fp.empty()) {
        out.push_back('.');
        out.append(fp);
    }
    const bool negative = v < 0 && (rounded != 0);
    std::string result = prefix;
    if (negative) {
        result.push_back('-');
    }
    result.append(out);
    result.append(suffix);
    return result;
}

std::string variantText(const db::Variant& v)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return std::to_string(*i);
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return plainNumberText(*d);
    }
    if (const auto* dt = std::get_if<db::Date>(&v)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt->year, dt->month, dt->day);
        return buf;
    }
    return {};
}

}  // namespace report
