// Queries on the page model.
#include "platform/report/PageModel.h"

namespace report {

std::vector<std::string> Page::texts() const
{
    std::vector<std::string> out;
    for (const auto& item : items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            out.push_back(t->text);
        }
    }
    return out;
}

std::vector<const TextItem*> Page::findText(const std::string& text) const
{
    std::vector<const TextItem*> out;
    for (const auto& item : items) {
        if (const auto* t = std::get_if<TextItem>(&item); t && t->text == text) {
            out.push_back(t);
        }
    }
    return out;
}

}  // namespace report
