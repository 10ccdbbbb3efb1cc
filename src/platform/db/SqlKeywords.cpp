#include "platform/db/SqlKeywords.h"

#include <cctype>
#include <utility>

namespace sql {

namespace {

constexpr std::pair<std::string_view, Keyword> kKeywords[] = {
    {"ALL", Keyword::All},         {"AND", Keyword::And},       {"AS", Keyword::As},
    {"ASC", Keyword::Asc},         {"BETWEEN", Keyword::Between}, {"BY", Keyword::By},
    {"CASE", Keyword::Case},       {"CROSS", Keyword::Cross},   {"DELETE", Keyword::Delete},
    {"DESC", Keyword::Desc},       {"DISTINCT", Keyword::Distinct}, {"ELSE", Keyword::Else},
    {"END", Keyword::End},         {"ESCAPE", Keyword::Escape}, {"EXISTS", Keyword::Exists},
    {"FOR", Keyword::For},         {"FROM", Keyword::From},     {"FULL", Keyword::Full},
    {"GROUP", Keyword::Group},     {"HAVING", Keyword::Having}, {"IN", Keyword::In},
    {"INNER", Keyword::Inner},     {"INSERT", Keyword::Insert}, {"INTO", Keyword::Into},
    {"IS", Keyword::Is},           {"JOIN", Keyword::Join},     {"LEFT", Keyword::Left},
    {"LIKE", Keyword::Like},       {"NOT", Keyword::Not},       {"NULL", Keyword::Null},
    {"ON", Keyword::On},           {"OR", Keyword::Or},         {"ORDER", Keyword::Order},
    {"OUTER", Keyword::Outer},     {"RIGHT", Keyword::Right},   {"SELECT", Keyword::Select},
    {"SET", Keyword::Set},         {"THEN", Keyword::Then},     {"UNION", Keyword::Union},
    {"UPDATE", Keyword::Update},   {"VALUES", Keyword::Values}, {"WHEN", Keyword::When},
    {"WHERE", Keyword::Where},
};

bool equalsUpper(std::string_view word, std::string_view upper)
{
    if (word.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i])
            return false;
    }
    return true;
}

}  // namespace

Keyword keywordOf(std::string_view word)
{
    if (word.empty())
        return Keyword::None;
    for (const auto& [text, k] : kKeywords) {
        if (equalsUpper(word, text))
            return k;
    }
    return Keyword::None;
}

std::string_view keywordText(Keyword k)
{
    for (const auto& [text, kw] : kKeywords) {
        if (kw == k)
            return text;
    }
    return {};
}

}  // namespace sql
