#include "platform/ui/Convert.h"

#include <charconv>

#include "platform/db/Exception.h"

int StrToInt(const std::string& text)
{
    std::size_t b = text.find_first_not_of(" \t");
    const std::size_t e = text.find_last_not_of(" \t");
    int value = 0;
    if (b != std::string::npos) {
        if (text[b] == '+' && b < e) {
            ++b;
        }
        const char* first = text.data() + b;
        const char* last = text.data() + e + 1;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec == std::errc() && end == last) {
            return value;
        }
    }
    throw EConvertError("“" + text + "”不是有效的整数");
}
