#include "platform/mail/NMPOP3.h"

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <utility>

#include "platform/mail/AttachmentFiles.h"
#include "platform/mail/CurlSession.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailReader.h"
#include "platform/mail/MailText.h"
#include "platform/ui/Registry.h"

TNMPOP3::TNMPOP3(TComponent* owner) : TComponent(owner) {}

TNMPOP3::~TNMPOP3() = default;

void TNMPOP3::Connect()
{
    Disconnect();
    mail::CheckDialogueText("用户名", UserID);
    mail::CheckDialogueText("密码", Password);
    auto session = std::make_unique<mail::CurlSession>(
        mail::ServerAddress{mail::MailProtocol::Pop3, Host, Port, TimeOut > 0 ? TimeOut : 30000});
    CURL* h = session->Handle();
    curl_easy_setopt(h, CURLOPT_USERNAME, UserID.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, Password.c_str());
    session_ = std::move(session);
    try {
        session_->Open("连接邮件服务器");
        // One "number size" line per mail.
        std::vector<long long> sizes;
        for (const std::string& line : MultiLine("读取邮件列表", "LIST")) {
            std::istringstream fields(line);
            long long number = 0, size = 0;
            if (fields >> number >> size && number >= 1 && number <= 1000000) {
                if (sizes.size() < static_cast<std::size_t>(number)) {
                    sizes.resize(static_cast<std::size_t>(number), 0);
                }
                sizes[static_cast<std::size_t>(number - 1)] = size;
            }
        }
        sizes_ = std::move(sizes);
    } catch (...) {
        session_.reset();
        throw;
    }
}

void TNMPOP3::Disconnect()
{
    if (!session_) {
        return;
    }
    if (session_->Busy()) {
        session_->RequestAbort();  // the running command fails; the caller's Disconnect after it closes
        return;
    }
    // QUIT carries out the deletions; a session that is already broken just goes.
    try {
        Command("断开邮件服务器", "QUIT");
    } catch (const std::exception&) {
    }
    session_.reset();
    sizes_.clear();
}

void TNMPOP3::CheckNumber(int n) const
{
    if (!session_) {
        throw EMailError("没有连接邮件服务器");
    }
    if (n < 1 || n > MailCount()) {
        throw EMailError("邮箱中没有第 " + std::to_string(n) + " 封邮件");
    }
}

std::string TNMPOP3::Command(const std::string& what, const std::string& command)
{
    session_->SendLine(what, command);
    std::string reply = session_->ReadLine(what);
    if (reply.rfind("+OK", 0) != 0) {
        throw EMailError(what + "失败：邮件服务器拒绝了请求。服务器答复：" + reply);
    }
    return reply;
}

std::vector<std::string> TNMPOP3::MultiLine(const std::string& what, const std::string& command)
{
    Command(what, command);
    std::vector<std::string> lines;
    for (;;) {
        std::string line = session_->ReadLine(what);
        if (line == ".") {
            return lines;  // only the closing dot tells that the answer is whole
        }
        if (!line.empty() && line[0] == '.') {
            line.erase(0, 1);
        }
        lines.push_back(std::move(line));
    }
}

namespace {

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

}  // namespace

void TNMPOP3::GetSummary(int n)
{
    CheckNumber(n);
    Summary = TMailSummary();
    const std::string head = Joined(MultiLine("读取邮件摘要", "TOP " + std::to_string(n) + " 0"));
    Summary.Subject = mail::ReadSubject(head);
    Summary.Bytes = sizes_[static_cast<std::size_t>(n - 1)];
}

void TNMPOP3::GetMailMessage(int n)
{
    CheckNumber(n);
    MailMessage = TMailMessage();
    const std::string bytes = Joined(MultiLine("接收邮件", "RETR " + std::to_string(n)));
    mail::IncomingMail in = mail::ReadMail(bytes);
    TMailMessage out;
    out.Head = std::move(in.head);
    out.From = std::move(in.from);
    out.Subject = std::move(in.subject);
    out.Body = std::move(in.body);
    // All of the mail's files or none of them.
    const std::string folder = mail::SlashPath(attachFilePath_.empty() ? "." : attachFilePath_);
    try {
        for (const mail::IncomingAttachment& a : in.attachments) {
            out.Attachments.push_back(mail::WriteUniqueFile(folder, mail::SafeFileName(a.name), a.data));
        }
    } catch (...) {
        for (const std::string& written : out.Attachments) {
            ::unlink((std::filesystem::path(folder) / written).c_str());
        }
        throw;
    }
    MailMessage = std::move(out);
}

void TNMPOP3::DeleteMailMessage(int n)
{
    CheckNumber(n);
    Command("删除服务器上的邮件", "DELE " + std::to_string(n));
}

namespace {

const ClassBuilder<TNMPOP3> kPop3Class("TNMPOP3", "TComponent", [](ClassBuilder<TNMPOP3>& c) {
    c.String("Host", [](TNMPOP3& p, const std::string& v) { p.Host = v; });
    c.Int("Port", [](TNMPOP3& p, int v) { p.Port = v; });
    c.String("UserID", [](TNMPOP3& p, const std::string& v) { p.UserID = v; });
    c.Int("TimeOut", [](TNMPOP3& p, int v) { p.TimeOut = v; });
    c.Int("ReportLevel", [](TNMPOP3& p, int v) { p.ReportLevel = v; });
    c.Bool("DeleteOnRead", [](TNMPOP3& p, bool v) { p.DeleteOnRead = v; });
    c.String("AttachFilePath", [](TNMPOP3& p, const std::string& v) { p.SetAttachFilePath(v); });
});

}  // namespace
