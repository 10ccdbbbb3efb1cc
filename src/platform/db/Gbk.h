// Text conversion between UTF-8 (used everywhere inside the program) and GBK (used by dBase and text files on
// disk). Reading accepts GBK as code page 936 has it (0x80 is the euro sign) and the four-byte sequences of
// GB18030; writing produces GBK only, so that the files stay readable by older programs. Invalid input is never passed through: it raises EDatabaseError
// naming the byte position of the fault.
#pragma once

#include <string>
#include <string_view>

namespace db::gbk {

// GBK (or GB18030) bytes to UTF-8. Raises EDatabaseError "invalid GBK text at byte N" for a malformed or
// incomplete sequence (N counts from 0).
std::string ToUtf8(std::string_view gbk);

// UTF-8 to GBK. Raises EDatabaseError for malformed UTF-8 or a character that GBK cannot represent, naming the
// byte position in the UTF-8 text (and the character where there is one).
std::string FromUtf8(std::string_view utf8);

// True when every byte is below 0x80: such text is the same in both encodings and needs no conversion.
bool IsAscii(std::string_view text);

}  // namespace db::gbk
