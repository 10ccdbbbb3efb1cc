// TNMSMTP: the SMTP client component of the send window. Connect opens a session with the server (greeting,
// EHLO with UserID as the client's name, STARTTLS where offered), SendMail sends PostMessage on it (one RCPT per
// address, refused recipients reported and the rest served), Disconnect ends it. The component writes the mail
// with GMime and passes it to libcurl; every text that goes into the dialogue is checked first.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/mail/MailEvents.h"
#include "platform/ui/Component.h"

namespace mail {
class CurlSession;
}

enum class TMailEncoding { uuMime };  // attachments as MIME parts (base64)
enum class TMailSubType { mtPlain };  // the body as text/plain

// The mail to send. Attachments are file paths, opened relative to the current folder; each goes under its
// bare name. Blank address entries give no recipient.
struct TPostMessage {
    std::string FromAddress;
    std::string FromName;
    std::string Subject;
    std::vector<std::string> ToAddress;
    std::vector<std::string> ToCarbonCopy;
    std::vector<std::string> Attachments;
    std::vector<std::string> Body;
};

class TNMSMTP : public TComponent {
public:
    explicit TNMSMTP(TComponent* owner);
    ~TNMSMTP() override;

    std::string Host;
    int Port = 25;
    std::string UserID;
    int TimeOut = 30000;  // milliseconds for connecting, each reply and a stalled transfer
    TMailEncoding EncodeType = TMailEncoding::uuMime;
    TMailSubType SubType = TMailSubType::mtPlain;
    std::string Charset = "us-ascii";  // of an all-ASCII body; any other body is sent as UTF-8
    bool ClearParams = true;           // PostMessage is emptied after each mail sent
    TPostMessage PostMessage;

    // Each raises EMailError (EMailInput for text that cannot go into the dialogue) when it fails.
    void Connect();
    void SendMail();
    // Ends the session (QUIT); never raises. During a transfer the transfer is stopped first.
    void Disconnect();
    bool Connected() const { return session_ != nullptr; }
    void ClearParameters() { PostMessage = TPostMessage(); }

    TMailStatusEvent OnStatus;               // each reply of the server
    TMailPacketEvent OnPacketSent;           // after each block of the mail
    TMailAddressEvent OnRecipientNotFound;   // each address the server refused
    TMailNotifyEvent OnSendStart;
    TMailFileEvent OnEncodeStart, OnEncodeEnd;  // around the encoding of each attachment

private:
    void Perform(const std::string& what);

    std::unique_ptr<mail::CurlSession> session_;
    bool closeAfterTransfer_ = false;
};
