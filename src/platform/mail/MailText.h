// Checks of the texts that the mail components put into the SMTP and POP3 dialogue. A CR or LF would start a
// command of its own (libcurl passes them through), and a NUL would cut the text short, so such text is refused
// before any byte of it is sent.
#pragma once

#include <string>
#include <vector>

namespace mail {

// Raises EMailInput naming the item ("收件人" ...) when text holds CR, LF or NUL.
void CheckDialogueText(const std::string& item, const std::string& text);

// The text without blanks and tabs at either end.
std::string Trimmed(const std::string& text);

// The lines of a text (LF or CR LF); the line end of the last line opens no further line.
std::vector<std::string> SplitLines(const std::string& text);

// The last component of a path written with "/" or "\\".
std::string BareName(const std::string& path);

// The path with "\\" turned into "/".
std::string SlashPath(const std::string& path);

}  // namespace mail
