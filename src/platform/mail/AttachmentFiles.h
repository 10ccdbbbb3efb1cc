// The files of received attachments. A mail names its attachments as it likes ("../x", "C:\x", control
// characters, the same name twice), so each is written under a safe bare name inside the attachment folder,
// made unique there without regard to case, and created new: never through an existing file or link.
#pragma once

#include <string>

namespace mail {

// The last component of the given name (after "/" or "\"), without control characters and without blanks or
// leading dots, cut to a length every file system takes; "attachment" when nothing is left.
std::string SafeFileName(const std::string& given);

// Writes data into folder as name, or as name(2), name(3) ... when the name is taken; returns the name used.
// Raises EMailError when the folder is missing or the file cannot be written whole (nothing is left behind).
std::string WriteUniqueFile(const std::string& folder, const std::string& name, const std::string& data);

}  // namespace mail
