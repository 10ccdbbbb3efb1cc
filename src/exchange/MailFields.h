// The values the mail windows make of texts: the port of a settings row, whether a mail is one of the
// system's own (by its subject), and the date text of a received mail, each cut to the size of its field.
#pragma once

#include <string>
#include <vector>

// The port text of a settings row as a number; raises EConvertError when it is not a whole number.
int PortNumber(const std::string& text);

// Whether a summary subject (as delivered, one leading character before the text) is exactly the marker.
bool IsSystemSubject(const std::string& subject, const std::string& marker);

// The date text of a mail from its header lines: year-month-day time from the first "Date: " line (month
// names as numbers), "" without one. Each token is cut to its limit and the whole to 29 characters.
std::string MailDateText(const std::vector<std::string>& head);

// The first n characters of a UTF-8 text.
std::string FirstChars(const std::string& text, std::size_t n);
