// TNMPOP3: the POP3 client component of the receive window. Connect logs in (libcurl: greeting, STLS where
// offered, authentication) and lists the mailbox (the count and size of each mail); GetSummary reads the headers
// of one mail without fetching it (TOP n 0); GetMailMessage fetches one mail (RETR) and writes its attachments
// into the attachment folder; DeleteMailMessage marks one for deletion, which the server carries out when
// Disconnect ends the session (QUIT). Mails are numbered from 1. An answer counts only when it ends with its
// closing dot: a connection lost in the middle fails the command, and the session is never opened anew
// behind the caller's back.
//
// DeleteOnRead is the caller's setting that a fetched mail is to leave the server: the component never deletes
// on its own inside GetMailMessage, so a caller deletes a mail (DeleteMailMessage) only once it has kept it, and
// a mail whose keeping failed stays on the server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Component.h"

namespace mail {
class CurlSession;
}

struct TMailSummary {
    std::string Subject;  // as delivered, beginning with the blank after "Subject:", decoded
    long long Bytes = 0;  // the size the server gives
};

struct TMailMessage {
    std::vector<std::string> Head;         // header lines "Name: value", as delivered
    std::string From;
    std::string Subject;
    std::vector<std::string> Body;         // the text, line by line
    std::vector<std::string> Attachments;  // bare names of the files written into the attachment folder
};

class TNMPOP3 : public TComponent {
public:
    explicit TNMPOP3(TComponent* owner);
    ~TNMPOP3() override;

    std::string Host;
    int Port = 110;
    std::string UserID;
    std::string Password;
    int TimeOut = 30000;  // milliseconds for connecting, each reply and a stalled transfer
    int ReportLevel = 0;  // kept for the caller: the component reports through exceptions only
    bool DeleteOnRead = false;
    void SetAttachFilePath(const std::string& folder) { attachFilePath_ = folder; }
    const std::string& AttachFilePath() const { return attachFilePath_; }

    // Each raises EMailError (EMailInput for text that cannot go into the dialogue) when it fails.
    void Connect();
    int MailCount() const { return static_cast<int>(sizes_.size()); }
    void GetSummary(int n);
    void GetMailMessage(int n);
    void DeleteMailMessage(int n);
    // Ends the session (QUIT, which carries out the deletions); never raises.
    void Disconnect();
    bool Connected() const { return session_ != nullptr; }

    TMailSummary Summary;
    TMailMessage MailMessage;

private:
    std::string Command(const std::string& what, const std::string& command);  // the +OK reply
    std::vector<std::string> MultiLine(const std::string& what, const std::string& command);
    void CheckNumber(int n) const;

    std::unique_ptr<mail::CurlSession> session_;
    std::vector<long long> sizes_;  // of mail n at n - 1
    std::string attachFilePath_;
};
