#include "platform/mail/NMSMTP.h"

#include <cstring>

#include "platform/mail/CurlSession.h"
#include "platform/mail/MailBuilder.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailText.h"
#include "platform/ui/Registry.h"

namespace {

// The recipient of a "RCPT TO:<address>" command.
std::string RecipientOf(const std::string& command)
{
    if (command.rfind("RCPT TO:", 0) != 0) {
        return {};
    }
    const std::size_t open = command.find('<');
    const std::size_t close = command.rfind('>');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return command.substr(8);
    }
    return command.substr(open + 1, close - open - 1);
}

// The last line of a reply: its code is followed by a blank (or nothing), not by "-".
bool FinalLine(const std::string& reply)
{
    return reply.size() < 4 || reply[3] != '-';
}

struct Upload {
    const std::string* data = nullptr;
    std::size_t sent = 0;
    mail::CurlSession* session = nullptr;
    TNMSMTP* owner = nullptr;
};

std::size_t ReadBlock(char* buffer, std::size_t size, std::size_t count, void* user)
{
    auto* up = static_cast<Upload*>(user);
    const std::size_t n = std::min(size * count, up->data->size() - up->sent);
    std::memcpy(buffer, up->data->data() + up->sent, n);
    up->sent += n;
    if (n > 0 && up->owner->OnPacketSent) {
        const bool ok = up->session->CallSafely([&] {
            up->owner->OnPacketSent(up->owner, static_cast<long long>(up->sent), static_cast<long long>(up->data->size()));
        });
        if (!ok) {
            return CURL_READFUNC_ABORT;
        }
    }
    mail::PaintPending();
    return n;
}

}  // namespace

TNMSMTP::TNMSMTP(TComponent* owner) : TComponent(owner) {}

TNMSMTP::~TNMSMTP() = default;

void TNMSMTP::Perform(const std::string& what)
{
    closeAfterTransfer_ = false;
    try {
        session_->Perform(what);
    } catch (...) {
        if (closeAfterTransfer_) {
            session_.reset();
        }
        throw;
    }
    if (closeAfterTransfer_) {
        session_.reset();
    }
}

void TNMSMTP::Connect()
{
    Disconnect();
    mail::CheckDialogueText("用户名", UserID);
    auto session = std::make_unique<mail::CurlSession>(
        mail::ServerAddress{mail::MailProtocol::Smtp, Host, Port, TimeOut > 0 ? TimeOut : 30000});
    session->SetPath(mail::Trimmed(UserID));
    session->OnReply = [this](const std::string& line) {
        if (OnStatus) {
            OnStatus(this, line);
        }
    };
    CURL* h = session->Handle();
    curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    session_ = std::move(session);
    try {
        Perform("连接邮件服务器");
    } catch (...) {
        session_.reset();
        throw;
    }
    if (session_) {
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, nullptr);
        curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    }
}

void TNMSMTP::Disconnect()
{
    if (!session_) {
        return;
    }
    if (session_->Busy()) {
        closeAfterTransfer_ = true;
        session_->RequestAbort();
        return;
    }
    session_.reset();
}

void TNMSMTP::SendMail()
{
    if (!session_) {
        throw EMailError("发送邮件失败：没有连接邮件服务器");
    }
    const TPostMessage& m = PostMessage;
    mail::CheckDialogueText("发件人地址", m.FromAddress);
    mail::CheckDialogueText("发件人", m.FromName);
    mail::CheckDialogueText("邮件主题", m.Subject);
    mail::OutgoingMail out;
    out.fromAddress = mail::Trimmed(m.FromAddress);
    out.fromName = mail::Trimmed(m.FromName);
    out.subject = m.Subject;
    auto addresses = [](const char* item, const std::vector<std::string>& entries, std::vector<std::string>& to) {
        for (const std::string& e : entries) {
            mail::CheckDialogueText(item, e);
            if (std::string a = mail::Trimmed(e); !a.empty()) {
                to.push_back(a);
            }
        }
    };
    addresses("收件人", m.ToAddress, out.to);
    addresses("抄送", m.ToCarbonCopy, out.cc);
    if (out.to.empty() && out.cc.empty()) {
        throw EMailInput("没有填写收件人，邮件未发送");
    }
    out.body = m.Body;
    out.attachments = m.Attachments;
    out.charset = Charset;
    const std::string data = mail::BuildMail(
        out,
        [this](const std::string& name) {
            if (OnEncodeStart) {
                OnEncodeStart(this, name);
            }
        },
        [this](const std::string& name) {
            if (OnEncodeEnd) {
                OnEncodeEnd(this, name);
            }
        });
    if (OnSendStart) {
        OnSendStart(this);
    }
    if (!session_) {
        throw EMailError("发送邮件失败：与邮件服务器的连接已关闭");
    }

    curl_slist* recipients = nullptr;
    for (const auto* list : {&out.to, &out.cc}) {
        for (const std::string& a : *list) {
            recipients = curl_slist_append(recipients, ("<" + a + ">").c_str());
        }
    }
    const std::size_t recipientCount = out.to.size() + out.cc.size();
    std::vector<std::string> refused;
    std::string refusedReply, asked;
    session_->OnCommand = [&](const std::string& line) { asked = RecipientOf(line); };
    session_->OnReply = [&, this](const std::string& line) {
        if (!asked.empty() && FinalLine(line)) {
            if (line[0] == '4' || line[0] == '5') {
                refused.push_back(asked);
                refusedReply = line;
            }
            asked.clear();
        }
        if (OnStatus) {
            OnStatus(this, line);
        }
    };
    Upload up{&data, 0, session_.get(), this};
    CURL* h = session_->Handle();
    const std::string from = "<" + out.fromAddress + ">";
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, &ReadBlock);
    curl_easy_setopt(h, CURLOPT_READDATA, &up);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(data.size()));
    auto reset = [&] {
        if (session_) {
            curl_easy_setopt(h, CURLOPT_MAIL_RCPT, nullptr);
            curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
            curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
            session_->OnCommand = nullptr;
            session_->OnReply = [this](const std::string& line) {
                if (OnStatus) {
                    OnStatus(this, line);
                }
            };
        }
        curl_slist_free_all(recipients);
        for (const std::string& a : refused) {
            if (OnRecipientNotFound) {
                OnRecipientNotFound(this, a);
            }
        }
    };
    try {
        Perform("发送邮件");
    } catch (const EMailError&) {
        reset();
        if (refused.size() == recipientCount) {
            throw EMailError("发送邮件失败：邮件服务器拒绝了全部收件人。服务器答复：" + refusedReply);
        }
        throw;
    } catch (...) {
        reset();
        throw;
    }
    reset();
    if (ClearParams) {
        ClearParameters();
    }
}

namespace {

const ClassBuilder<TNMSMTP> kSmtpClass("TNMSMTP", "TComponent", [](ClassBuilder<TNMSMTP>& c) {
    c.String("Host", [](TNMSMTP& s, const std::string& v) { s.Host = v; });
    c.Int("Port", [](TNMSMTP& s, int v) { s.Port = v; });
    c.String("UserID", [](TNMSMTP& s, const std::string& v) { s.UserID = v; });
    c.Int("TimeOut", [](TNMSMTP& s, int v) { s.TimeOut = v; });
    c.Enum("EncodeType", ClassBuilder<TNMSMTP>::Ordinals({"uuMime"}),
           [](TNMSMTP& s, long long v) { s.EncodeType = static_cast<TMailEncoding>(v); });
    c.Enum("SubType", ClassBuilder<TNMSMTP>::Ordinals({"mtPlain"}),
           [](TNMSMTP& s, long long v) { s.SubType = static_cast<TMailSubType>(v); });
    c.String("Charset", [](TNMSMTP& s, const std::string& v) { s.Charset = v; });
    c.Bool("ClearParams", [](TNMSMTP& s, bool v) { s.ClearParams = v; });
    c.Event("OnStatus", &TNMSMTP::OnStatus);
    c.Event("OnPacketSent", &TNMSMTP::OnPacketSent);
    c.Event("OnRecipientNotFound", &TNMSMTP::OnRecipientNotFound);
    c.Event("OnSendStart", &TNMSMTP::OnSendStart);
    c.Event("OnEncodeStart", &TNMSMTP::OnEncodeStart);
    c.Event("OnEncodeEnd", &TNMSMTP::OnEncodeEnd);
});

}  // namespace
