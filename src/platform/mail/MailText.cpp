#include "platform/mail/MailText.h"

#include "platform/mail/MailError.h"

namespace mail {

void CheckDialogueText(const std::string& item, const std::string& text)
{
    for (const char c : text) {
        if (c == '\r' || c == '\n' || c == '\0') {
            throw EMailInput(item + "中含有回车、换行或空字符，不能用于邮件");
        }
    }
}

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        out.push_back(std::move(line));
        start = end + 1;
    }
    return out;
}

std::string BareName(const std::string& path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string SlashPath(const std::string& path)
{
    std::string out = path;
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

}  // namespace mail
