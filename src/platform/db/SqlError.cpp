#include "platform/db/SqlError.h"

namespace sql {

void lineColumn(std::string_view text, std::size_t offset, int& line, int& column)
{
    line = 1;
    column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column;
        }
    }
}

namespace {

std::string positioned(const std::string& what, std::string_view text, std::size_t offset)
{
    int line = 0, column = 0;
    lineColumn(text, offset, line, column);
    return "SQL 语句有误：" + what + "（第 " + std::to_string(line) + " 行第 " + std::to_string(column) + " 列）";
}

}  // namespace

SqlError::SqlError(const std::string& what, std::string_view text, std::size_t offset)
    : EDatabaseError(positioned(what, text, offset)), What(what), Offset(offset)
{
    lineColumn(text, offset, Line, Column);
}

}  // namespace sql
