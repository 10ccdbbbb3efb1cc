#include "exchange/MailFields.h"

#include <charconv>
#include <sstream>

#include "platform/db/Exception.h"

namespace {

std::size_t CharLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

std::string FirstChars(const std::string& text, std::size_t n)
{
    std::size_t at = 0;
    for (std::size_t count = 0; count < n && at < text.size(); ++count) {
        at += CharLength(static_cast<unsigned char>(text[at]));
    }
    return text.substr(0, std::min(at, text.size()));
}

int PortNumber(const std::string& text)
{
    const std::size_t b = text.find_first_not_of(' ');
    const std::size_t e = text.find_last_not_of(' ');
    int value = 0;
    if (b != std::string::npos) {
        const auto r = std::from_chars(text.data() + b, text.data() + e + 1, value);
        if (r.ec == std::errc() && r.ptr == text.data() + e + 1) {
            return value;
        }
    }
    throw EConvertError("端口“" + text + "”不是整数");
}

bool IsSystemSubject(const std::string& subject, const std::string& marker)
{
    if (subject.empty()) {
        return false;
    }
    return subject.substr(CharLength(static_cast<unsigned char>(subject[0]))) == marker;
}

std::string MailDateText(const std::vector<std::string>& head)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (const std::string& line : head) {
        if (line.compare(0, 6, "Date: ") != 0) {
            continue;
        }
        std::istringstream in(FirstChars(line.substr(5), 80));
        std::string weekday, day, month, year, time;
        in >> weekday >> day >> month >> year >> time;
        day = FirstChars(day, 7);
        month = FirstChars(month, 3);
        year = FirstChars(year, 7);
        time = FirstChars(time, 11);
        for (int m = 0; m < 12; ++m) {
            if (month == kMonths[m]) {
                month = std::to_string(m + 1);
                break;
            }
        }
        return FirstChars(year + "-" + month + "-" + day + " " + time, 29);
    }
    return {};
}
