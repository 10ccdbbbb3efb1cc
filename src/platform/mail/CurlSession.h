// One session with a mail server on a libcurl easy handle, in one of two ways: transfers that libcurl runs
// (Perform, for SMTP: the commands of the session run on the connection libcurl keeps open between them), or a
// connection that libcurl opens and logs in (greeting, TLS, authentication) and on which the caller then speaks
// line by line (Open, SendLine, ReadLine, for POP3, whose transfers libcurl would accept cut short). Closing
// the session ends it with QUIT. Every wait is bounded by the time-out, so a silent or vanished server gives an
// error instead of a hang; a failed step raises EMailError saying what failed, why, and the server's reply.
#pragma once

#include <curl/curl.h>

#include <exception>
#include <functional>
#include <string>

namespace mail {

enum class MailProtocol { Smtp, Pop3 };

struct ServerAddress {
    MailProtocol protocol = MailProtocol::Smtp;
    std::string host;
    int port = 0;
    int timeoutMs = 30000;
};

class CurlSession {
public:
    // Raises EMailInput for a host or port that cannot be one.
    explicit CurlSession(const ServerAddress& server);
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    CURL* Handle() const { return curl_; }
    // The URL path: for SMTP the name the client gives in EHLO, for POP3 the number of a mail to retrieve.
    void SetPath(const std::string& path);
    // Runs the transfer set up on the handle; what names the step in the message ("连接邮件服务器").
    void Perform(const std::string& what);

    // Opens and logs in the connection, then leaves it to SendLine and ReadLine.
    void Open(const std::string& what);
    void SendLine(const std::string& what, const std::string& line);  // CRLF is added
    // One line from the server without its line end; a lost connection or a time-out raises.
    std::string ReadLine(const std::string& what);
    // Makes the running transfer stop at its next progress call (it then fails as cancelled).
    void RequestAbort() { abort_ = true; }
    bool Busy() const { return busy_; }
    const ServerAddress& Server() const { return server_; }
    std::string ServerName() const;  // "host:port" for messages

    // The dialogue as it passes, line by line: the server's replies and the client's commands.
    std::function<void(const std::string&)> OnReply;
    std::function<void(const std::string&)> OnCommand;

    // Runs code on behalf of a libcurl callback: no exception may cross libcurl, so the first one is kept, the
    // transfer stops, and Perform raises it. False when the code raised.
    bool CallSafely(const std::function<void()>& call);

private:
    static int Trace(CURL*, curl_infotype type, char* data, std::size_t size, void* self);
    static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    std::string Reason(CURLcode code) const;
    [[noreturn]] void Fail(const std::string& what, CURLcode code);
    void Wait(const std::string& what, short events);

    ServerAddress server_;
    CURL* curl_ = nullptr;
    CURLU* url_ = nullptr;
    std::string lastReply_;
    std::exception_ptr pending_;
    curl_socket_t socket_ = CURL_SOCKET_BAD;
    std::string input_;  // received and not yet read as lines
    bool abort_ = false;
    bool busy_ = false;
};

// Lets the windows paint what changed (a status text) while a mail operation holds the event loop; only
// painting is done, so no click or close can reach a window in the middle of a transfer.
void PaintPending();

}  // namespace mail
