// What the print list needs to know about a check result table before it prints one: whether the check has
// made it, and which report's result it holds. Several reports' checks may write one result table (reports 6
// and 11 both write "kfqzh3_r.db"); the send list's entry for the table, which every completed check rewrites
// with its own text, tells which of them ran last.
#pragma once

#include <string>

namespace print {

// True when the check has made the table: the file exists and holds rows (every check run leaves at least
// one, "无任何错误及警告" when it found nothing).
bool CheckTableMade(const std::string& table);

// The message for a check table that is not made yet: it names the entry and the report(s) whose check
// writes the table, and says to run that check first.
std::string MissingCheckTableText(const std::string& entry, const std::string& table);

// The heading to print over a check table listed as entry: the entry itself when only one report's check
// writes the table; otherwise the text of the check that wrote it last, or, when that is not known any more,
// the texts of all the reports that may have written it.
std::string CheckTableHeading(const std::string& entry, const std::string& table);

}  // namespace print
