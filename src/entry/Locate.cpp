#include "entry/Locate.h"

#include <charconv>

#include "platform/db/Table.h"

int RecordNumberOf(const std::string& text)
{
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    int n = 0;
    if (b != std::string::npos) {
        const char* first = text.data() + b;
        const char* last = text.data() + e + 1;
        if (*first == '+') {
            ++first;
        }
        auto [p, ec] = std::from_chars(first, last, n);
        if (ec == std::errc() && p == last && first != last) {
            return n;
        }
    }
    throw EConvertError("'" + text + "' is not a valid integer value");
}

void LocateByNumber(TTable* table, int number)
{
    table->First();
    table->MoveBy(number - 1);
}

void LocateByKey(TTable* table, const std::string& field, const std::string& index, const std::string& value)
{
    if (!index.empty()) {
        table->SetIndexFieldNames("");
        table->SetIndexName(index);
    }
    table->SetKey();
    table->FieldByName(field)->SetAsString(value);
    table->GotoKey();
    if (!index.empty()) {
        table->SetIndexName("");
        table->SetIndexFieldNames("id");
    }
}
