// The keywords of the local SQL dialect, in one place. A word is matched without regard to case; the
// tokenizer leaves words alone and the recogniser asks here whether a word is reserved.
#pragma once

#include <string_view>

namespace sql {

enum class Keyword {
    None,
    All, And, As, Asc, Between, By, Case, Cross, Delete, Desc, Distinct, Else, End, Escape, Exists, For,
    From, Full, Group, Having, In, Inner, Insert, Into, Is, Join, Left, Like, Not, Null, On, Or, Order, Outer,
    Right, Select, Set, Then, Union, Update, Values, When, Where,
};

// The keyword a word spells, or Keyword::None for a name.
Keyword keywordOf(std::string_view word);

// The keyword's spelling in the SQL handed to SQLite.
std::string_view keywordText(Keyword k);

}  // namespace sql
