// Reads the mails that the POP3 component fetches, with GMime: the header lines as delivered (unfolded, encoded
// words decoded), the sender, the subject, the plain text of the body line by line, and each attachment with its
// name and decoded content. Text is turned into UTF-8 from the charset the mail declares; raw 8-bit text with no
// usable charset is read as UTF-8 when it is valid UTF-8, else as GB18030.
#pragma once

#include <string>
#include <vector>

namespace mail {

struct IncomingAttachment {
    std::string name;  // as the mail names it (decoded), not yet made safe for a file system
    std::string data;
};

struct IncomingMail {
    std::vector<std::string> head;  // "Name: value", in the order delivered
    std::string from;
    std::string subject;
    std::vector<std::string> body;
    std::vector<IncomingAttachment> attachments;
};

// Raises EMailError when the bytes are not a mail at all.
IncomingMail ReadMail(const std::string& bytes);

// The Subject header of a header block as delivered (beginning with the blank after "Subject:"), decoded;
// "" when there is none.
std::string ReadSubject(const std::string& headerBlock);

}  // namespace mail
