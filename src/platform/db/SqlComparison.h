// Finds, in the tokens of a statement, a plain column compared with a string literal: the translator notes
// each one so that the engine can check the literal against the column's type once the files are open.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/db/SqlTokenizer.h"
#include "platform/db/SqlTranslate.h"

namespace sql {

// The comparison around tokens[op] when it is "column op literal" or "literal op column" (the column plain or
// with its alias, each operand whole); begin: the first token of the expression, limit: tokens at or after it
// read as the end.
std::optional<LiteralComparison> literalComparison(const std::vector<Token>& tokens, std::size_t op,
                                                   std::size_t begin, std::size_t limit);

}  // namespace sql
