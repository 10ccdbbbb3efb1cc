// Builds the mail that the SMTP component sends, with GMime: the headers (non-ASCII names and the subject
// encoded after RFC 2047), a plain-text body and each attachment as a base64 part under its bare file name
// (RFC 2231 for non-ASCII names). The result has CRLF line ends and is ready for the DATA command.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mail {

struct OutgoingMail {
    std::string fromAddress;
    std::string fromName;
    std::string subject;
    std::vector<std::string> to;  // addresses, without blank entries
    std::vector<std::string> cc;
    std::vector<std::string> body;         // the lines of the text
    std::vector<std::string> attachments;  // file paths; each is sent under its bare name
    // The character set declared for a body that is all ASCII; a body with other characters goes as UTF-8.
    std::string charset = "us-ascii";
};

// Around each attachment: its bare file name.
using AttachmentStep = std::function<void(const std::string& fileName)>;

// Raises EMailError naming the file when an attachment cannot be read.
std::string BuildMail(const OutgoingMail& mail, const AttachmentStep& encodeStart, const AttachmentStep& encodeEnd);

}  // namespace mail
