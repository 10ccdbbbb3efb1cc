#include "platform/mail/CurlSession.h"

#include <QCoreApplication>
#include <QEvent>

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <utility>

#include "platform/mail/MailError.h"
#include "platform/mail/MailText.h"

namespace mail {

namespace {

void GlobalInit()
{
    static const bool done = [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            throw EMailError("无法启动邮件传输库（libcurl）");
        }
        std::atexit([] { curl_global_cleanup(); });
        return true;
    }();
    (void)done;
}

// A negative reply: an SMTP code 4xx or 5xx, or a POP3 "-ERR".
bool Negative(const std::string& reply)
{
    return (!reply.empty() && (reply[0] == '4' || reply[0] == '5')) || reply.rfind("-ERR", 0) == 0;
}

long Seconds(int ms)
{
    return ms <= 0 ? 1 : (ms + 999) / 1000;
}

}  // namespace

void PaintPending()
{
    if (!QCoreApplication::instance()) {
        return;
    }
    static auto last = std::chrono::steady_clock::time_point{};
    const auto now = std::chrono::steady_clock::now();
    if (now - last < std::chrono::milliseconds(50)) {
        return;
    }
    last = now;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

CurlSession::CurlSession(const ServerAddress& server) : server_(server)
{
    GlobalInit();
    const std::string host = Trimmed(server.host);
    if (host.empty()) {
        throw EMailInput("没有填写邮件服务器");
    }
    CheckDialogueText("邮件服务器", host);
    if (server.port < 1 || server.port > 65535) {
        throw EMailInput("端口 " + std::to_string(server.port) + " 不是有效的端口号（1 至 65535）");
    }
    server_.host = host;
    url_ = curl_url();
    curl_ = curl_easy_init();
    if (!url_ || !curl_) {
        curl_url_cleanup(url_);
        curl_easy_cleanup(curl_);
        throw EMailError("无法启动邮件传输库（libcurl）");
    }
    const bool smtp = server.protocol == MailProtocol::Smtp;
    const std::string port = std::to_string(server.port);
    if (curl_url_set(url_, CURLUPART_SCHEME, smtp ? "smtp" : "pop3", 0) != CURLUE_OK ||
        curl_url_set(url_, CURLUPART_HOST, host.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url_, CURLUPART_PORT, port.c_str(), 0) != CURLUE_OK) {
        curl_url_cleanup(url_);
        curl_easy_cleanup(curl_);
        throw EMailInput("邮件服务器“" + host + "”不是有效的主机名或地址");
    }
    curl_easy_setopt(curl_, CURLOPT_CURLU, url_);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, smtp ? "smtp" : "pop3");
    curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(server.timeoutMs));
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, Seconds(server.timeoutMs));
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, Seconds(server.timeoutMs));
    curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);  // the dialogue goes to Trace, not to stderr
    curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &CurlSession::Trace);
    curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CurlSession::Progress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
}

CurlSession::~CurlSession()
{
    // Cleaning up the handle closes its connection with QUIT (bounded by the reply time-out).
    OnReply = nullptr;
    OnCommand = nullptr;
    curl_easy_cleanup(curl_);
    curl_url_cleanup(url_);
}

std::string CurlSession::ServerName() const
{
    return server_.host + ":" + std::to_string(server_.port);
}

void CurlSession::SetPath(const std::string& path)
{
    curl_url_set(url_, CURLUPART_PATH, ("/" + path).c_str(), CURLU_URLENCODE);
    curl_easy_setopt(curl_, CURLOPT_CURLU, url_);
}

void CurlSession::Perform(const std::string& what)
{
    lastReply_.clear();
    abort_ = false;
    pending_ = nullptr;
    busy_ = true;
    const CURLcode code = curl_easy_perform(curl_);
    busy_ = false;
    if (pending_) {
        std::rethrow_exception(std::exchange(pending_, nullptr));
    }
    if (code != CURLE_OK) {
        Fail(what, code);
    }
}

void CurlSession::Fail(const std::string& what, CURLcode code)
{
    std::string message = what + "失败：" + Reason(code);
    if (Negative(lastReply_)) {
        message += "。服务器答复：" + lastReply_;
    }
    throw EMailError(message);
}

void CurlSession::Open(const std::string& what)
{
    curl_easy_setopt(curl_, CURLOPT_CONNECT_ONLY, 1L);
    Perform(what);
    if (curl_easy_getinfo(curl_, CURLINFO_ACTIVESOCKET, &socket_) != CURLE_OK || socket_ == CURL_SOCKET_BAD) {
        Fail(what, CURLE_COULDNT_CONNECT);
    }
}

void CurlSession::Wait(const std::string& what, short events)
{
    pollfd p{socket_, events, 0};
    const int ready = poll(&p, 1, server_.timeoutMs);
    if (ready == 0) {
        Fail(what, CURLE_OPERATION_TIMEDOUT);
    }
    if (ready < 0 && errno != EINTR) {
        Fail(what, CURLE_RECV_ERROR);
    }
}

void CurlSession::SendLine(const std::string& what, const std::string& line)
{
    const std::string data = line + "\r\n";
    std::size_t done = 0;
    busy_ = true;
    while (done < data.size()) {
        std::size_t n = 0;
        const CURLcode code = curl_easy_send(curl_, data.data() + done, data.size() - done, &n);
        if (code == CURLE_AGAIN) {
            Wait(what, POLLOUT);
            continue;
        }
        if (code != CURLE_OK) {
            busy_ = false;
            Fail(what, CURLE_SEND_ERROR);
        }
        done += n;
    }
    busy_ = false;
}

std::string CurlSession::ReadLine(const std::string& what)
{
    busy_ = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{busy_};
    for (;;) {
        const std::size_t end = input_.find('\n');
        if (end != std::string::npos) {
            std::string line = input_.substr(0, end);
            input_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
        if (abort_) {
            Fail(what, CURLE_ABORTED_BY_CALLBACK);
        }
        char buffer[65536];
        std::size_t n = 0;
        const CURLcode code = curl_easy_recv(curl_, buffer, sizeof buffer, &n);
        if (code == CURLE_AGAIN) {
            PaintPending();
            Wait(what, POLLIN);
            continue;
        }
        if (code != CURLE_OK || n == 0) {
            // The server closed the connection (or it broke) before the answer was complete.
            Fail(what, CURLE_RECV_ERROR);
        }
        input_.append(buffer, n);
        PaintPending();
    }
}

std::string CurlSession::Reason(CURLcode code) const
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "找不到邮件服务器 " + server_.host;
    case CURLE_COULDNT_CONNECT:
        return "无法连接邮件服务器 " + ServerName();
    case CURLE_OPERATION_TIMEDOUT:
        return "邮件服务器 " + ServerName() + " 在 " + std::to_string(Seconds(server_.timeoutMs)) + " 秒内没有应答";
    case CURLE_LOGIN_DENIED:
        return "邮件服务器拒绝了用户名或密码";
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return "与邮件服务器 " + ServerName() + " 的连接中断";
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
        return "与邮件服务器 " + ServerName() + " 建立加密连接失败";
    case CURLE_ABORTED_BY_CALLBACK:
        return "操作已取消";
    default:
        return "邮件服务器 " + ServerName() + " 没有完成请求（" + curl_easy_strerror(code) + "）";
    }
}

bool CurlSession::CallSafely(const std::function<void()>& call)
{
    if (pending_) {
        return false;
    }
    try {
        call();
        return true;
    } catch (...) {
        pending_ = std::current_exception();
        abort_ = true;
        return false;
    }
}

int CurlSession::Trace(CURL*, curl_infotype type, char* data, std::size_t size, void* self)
{
    auto* s = static_cast<CurlSession*>(self);
    if (type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT) {
        return 0;
    }
    for (const std::string& line : SplitLines(std::string(data, size))) {
        if (line.empty()) {
            continue;
        }
        if (type == CURLINFO_HEADER_IN) {
            s->lastReply_ = line;
            if (s->OnReply) {
                s->CallSafely([&] { s->OnReply(line); });
            }
        } else if (s->OnCommand) {
            s->CallSafely([&] { s->OnCommand(line); });
        }
    }
    return 0;
}

int CurlSession::Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    PaintPending();
    return static_cast<CurlSession*>(self)->abort_ ? 1 : 0;
}

}  // namespace mail
