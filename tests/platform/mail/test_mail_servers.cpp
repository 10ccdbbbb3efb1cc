// The SMTP and POP3 components against real servers on loopback ports: aiosmtpd delivering into a Maildir that
// Dovecot serves, and a POP3 script of our own for faults. Covers sending with recipients, attachments and
// events, refused recipients, text that must not reach the dialogue, servers that are down or silent, the POP3
// summary, fetch and delete, and a connection lost in the middle of a fetch.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/mail/MailError.h"
#include "platform/mail/MailReader.h"
#include "platform/mail/NMPOP3.h"
#include "platform/mail/NMSMTP.h"
#include "support/MailServers.h"

namespace {

namespace fs = std::filesystem;
using testsupport::MailServers;

const std::string kMarker = "***Vemora计划统计软件***";

class MailTransfer : public testing::Test {
protected:
    void SetUp() override
    {
        if (!MailServers::CanRunDovecot()) {
            GTEST_SKIP() << "the mail servers of the tests need root";
        }
        char pattern[] = "/tmp/vemora-mail-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        servers_ = std::make_unique<MailServers>();
        fs::create_directories(dir_ / "attach");
    }
    void TearDown() override
    {
        servers_.reset();
        if (!dir_.empty()) {
            fs::remove_all(dir_);
        }
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).string();
    }

    void Aim(TNMSMTP& s)
    {
        s.Host = "127.0.0.1";
        s.Port = servers_->SmtpPort();
        s.UserID = "user";
        s.TimeOut = 10000;
    }
    void Aim(TNMPOP3& p, const std::string& password = MailServers::kPassword)
    {
        p.Host = "127.0.0.1";
        p.Port = servers_->Pop3Port();
        p.UserID = MailServers::kUser;
        p.Password = password;
        p.TimeOut = 10000;
        p.SetAttachFilePath((dir_ / "attach").string());
    }

    // Sends one mail from sender@example.com with the marker as subject.
    void Send(const std::vector<std::string>& to, const std::vector<std::string>& attachments = {},
              const std::string& subject = kMarker)
    {
        TNMSMTP s(nullptr);
        Aim(s);
        s.Connect();
        s.PostMessage.FromAddress = "sender@example.com";
        s.PostMessage.FromName = "统计处";
        s.PostMessage.Subject = subject;
        s.PostMessage.ToAddress = to;
        s.PostMessage.Attachments = attachments;
        s.PostMessage.Body = {"内容为空"};
        s.SendMail();
        s.Disconnect();
    }

    fs::path dir_;
    std::unique_ptr<MailServers> servers_;
};

std::string Bytes(int n)
{
    std::string b;
    for (int i = 0; i < n; ++i) {
        b += static_cast<char>((i * 31 + 7) % 256);
    }
    return b;
}

TEST_F(MailTransfer, AMailReachesEachRecipientWithItsAttachmentsAndEvents)
{
    servers_->StartSmtp();
    TNMSMTP s(nullptr);
    Aim(s);
    std::vector<std::string> events;
    std::vector<std::pair<long long, long long>> packets;
    s.OnSendStart = [&](TObject*) { events.push_back("Sending message"); };
    s.OnEncodeStart = [&](TObject*, const std::string& f) { events.push_back("start " + f); };
    s.OnEncodeEnd = [&](TObject*, const std::string& f) { events.push_back("end " + f); };
    s.OnPacketSent = [&](TObject*, long long sent, long long total) { packets.emplace_back(sent, total); };
    int replies = 0;
    s.OnStatus = [&](TObject*, const std::string&) { ++replies; };
    s.Connect();
    ASSERT_TRUE(s.Connected());
    s.PostMessage.FromAddress = "sender@example.com";
    s.PostMessage.FromName = "统计处";
    s.PostMessage.Subject = kMarker;
    s.PostMessage.ToAddress = {" to@example.com "};
    s.PostMessage.ToCarbonCopy = {"", "cc@example.com"};
    s.PostMessage.Attachments = {Write("kfq_r.db", Bytes(200000)), Write("说明.txt", "第一行\r\n")};
    s.PostMessage.Body = {"高新区企业校验表", "区外企业校验表"};
    s.SendMail();
    EXPECT_TRUE(s.PostMessage.ToAddress.empty());  // parameters cleared after the mail
    s.Disconnect();
    EXPECT_FALSE(s.Connected());

    EXPECT_EQ(events, (std::vector<std::string>{"start kfq_r.db", "end kfq_r.db", "start 说明.txt", "end 说明.txt",
                                                "Sending message"}));
    ASSERT_FALSE(packets.empty());
    for (std::size_t i = 1; i < packets.size(); ++i) {
        EXPECT_GT(packets[i].first, packets[i - 1].first);
    }
    EXPECT_EQ(packets.back().first, packets.back().second);
    EXPECT_GT(replies, 0);
    EXPECT_EQ(servers_->SmtpLog(), (std::vector<std::string>{"EHLO user", "MAIL sender@example.com",
                                                             "RCPT to@example.com", "RCPT cc@example.com"}));
    const auto mails = servers_->Mails();
    ASSERT_EQ(mails.size(), 1u);
    const mail::IncomingMail in = mail::ReadMail(mails[0]);
    EXPECT_EQ(in.subject, kMarker);
    EXPECT_EQ(in.body, (std::vector<std::string>{"高新区企业校验表", "区外企业校验表"}));
    ASSERT_EQ(in.attachments.size(), 2u);
    EXPECT_EQ(in.attachments[0].data, Bytes(200000));
    EXPECT_EQ(in.attachments[1].name, "说明.txt");
}

TEST_F(MailTransfer, RefusedRecipientsAreToldAndTheOthersServed)
{
    servers_->StartSmtp();
    TNMSMTP s(nullptr);
    Aim(s);
    std::vector<std::string> refused;
    s.OnRecipientNotFound = [&](TObject*, const std::string& a) { refused.push_back(a); };
    s.Connect();
    s.PostMessage.FromAddress = "sender@example.com";
    s.PostMessage.ToAddress = {"refused1@example.com"};
    s.PostMessage.ToCarbonCopy = {"ok@example.com"};
    s.SendMail();
    EXPECT_EQ(refused, std::vector<std::string>{"refused1@example.com"});
    EXPECT_EQ(servers_->Mails().size(), 1u);

    // With every recipient refused nothing is sent, and the server's reply says why.
    refused.clear();
    s.PostMessage.FromAddress = "sender@example.com";
    s.PostMessage.ToAddress = {"refused2@example.com"};
    try {
        s.SendMail();
        FAIL() << "no error";
    } catch (const EMailError& e) {
        EXPECT_NE(std::string(e.what()).find("550"), std::string::npos) << e.what();
    }
    EXPECT_EQ(refused, std::vector<std::string>{"refused2@example.com"});
    EXPECT_EQ(servers_->Mails().size(), 1u);
}

struct InjectionCase {
    const char* item;
    std::function<void(TNMSMTP&)> set;
};

// A CR, LF or NUL would start a command of its own on the wire: such text is refused before anything is sent.
TEST_F(MailTransfer, LineBreaksAndNulInTheDialogueTextsAreRefusedBeforeTheyAreSent)
{
    servers_->StartSmtp();
    const InjectionCase cases[] = {
        {"收件人", [](TNMSMTP& s) { s.PostMessage.ToAddress = {"to@example.com>\r\nRCPT TO:<inject@example.com"}; }},
        {"抄送", [](TNMSMTP& s) { s.PostMessage.ToCarbonCopy = {"cc@example.com\nRCPT TO:<inject@example.com>"}; }},
        {"发件人地址", [](TNMSMTP& s) { s.PostMessage.FromAddress = "a@example.com>\r\nRCPT TO:<inject@example.com"; }},
        {"发件人", [](TNMSMTP& s) { s.PostMessage.FromName = "张三\r\nBcc: inject@example.com"; }},
        {"邮件主题", [](TNMSMTP& s) { s.PostMessage.Subject = std::string("主题\0inject@example.com", 26); }},
    };
    for (const InjectionCase& c : cases) {
        TNMSMTP s(nullptr);
        Aim(s);
        s.Connect();
        s.PostMessage.FromAddress = "sender@example.com";
        s.PostMessage.ToAddress = {"to@example.com"};
        c.set(s);
        try {
            s.SendMail();
            ADD_FAILURE() << c.item << ": no error";
        } catch (const EMailInput& e) {
            EXPECT_NE(std::string(e.what()).find(c.item), std::string::npos) << e.what();
        }
    }
    TNMSMTP s(nullptr);
    Aim(s);
    s.UserID = "user\r\nRCPT TO:<inject@example.com>";
    EXPECT_THROW(s.Connect(), EMailInput);
    EXPECT_FALSE(s.Connected());
    for (const std::string& line : servers_->SmtpLog()) {
        EXPECT_EQ(line.find("inject"), std::string::npos) << line;
        EXPECT_EQ(line.rfind("RCPT", 0), std::string::npos) << line;
    }
    EXPECT_TRUE(servers_->Mails().empty());
}

// A server that is down fails at once; one that accepts and never answers fails after the time-out.
TEST_F(MailTransfer, AServerThatIsDownOrSilentGivesAnErrorNotAHang)
{
    testsupport::SilentPort silent;
    const struct {
        int port;
        const char* told;
    } cases[] = {{testsupport::FreeLoopbackPort(), "无法连接邮件服务器"}, {silent.Port(), "没有应答"}};
    for (const auto& c : cases) {
        TNMSMTP s(nullptr);
        s.Host = "127.0.0.1";
        s.Port = c.port;
        s.TimeOut = 1000;
        TNMPOP3 p(nullptr);
        p.Host = "127.0.0.1";
        p.Port = c.port;
        p.TimeOut = 1000;
        for (const std::function<void()>& connect : {std::function<void()>([&] { s.Connect(); }),
                                                      std::function<void()>([&] { p.Connect(); })}) {
            try {
                connect();
                ADD_FAILURE() << c.port << ": no error";
            } catch (const EMailError& e) {
                EXPECT_NE(std::string(e.what()).find(c.told), std::string::npos) << e.what();
            }
        }
        EXPECT_FALSE(s.Connected());
        EXPECT_FALSE(p.Connected());
    }
    TNMSMTP s(nullptr);
    s.Port = 25;
    EXPECT_THROW(s.Connect(), EMailInput);  // no server named
}

TEST_F(MailTransfer, APop3SessionSummarisesFetchesAndDeletesTheMailsOfTheSender)
{
    servers_->StartSmtp();
    servers_->StartPop3();
    Send({"to@example.com"}, {Write("kfq_r.db", Bytes(50000)), Write("kfq_1.db", Bytes(10))});
    Send({"to@example.com"}, {}, "另一封邮件");

    TNMPOP3 p(nullptr);
    Aim(p);
    p.Connect();
    ASSERT_EQ(p.MailCount(), 2);
    std::vector<std::string> subjects;
    for (int n = 1; n <= p.MailCount(); ++n) {
        p.GetSummary(n);
        subjects.push_back(p.Summary.Subject);
        EXPECT_GT(p.Summary.Bytes, 0);
    }
    const int ours = subjects[0] == " " + kMarker ? 1 : 2;
    EXPECT_EQ(subjects[ours - 1], " " + kMarker);
    EXPECT_EQ(subjects[2 - ours], " 另一封邮件");
    p.GetMailMessage(ours);
    EXPECT_EQ(p.MailMessage.From, "统计处 <sender@example.com>");
    EXPECT_EQ(p.MailMessage.Body, std::vector<std::string>{"内容为空"});
    EXPECT_EQ(p.MailMessage.Attachments, (std::vector<std::string>{"kfq_r.db", "kfq_1.db"}));
    EXPECT_EQ(MailServers::ReadFile(dir_ / "attach" / "kfq_r.db"), Bytes(50000));
    EXPECT_EQ(MailServers::ReadFile(dir_ / "attach" / "kfq_1.db"), Bytes(10));
    EXPECT_THROW(p.GetSummary(3), EMailError);
    p.DeleteMailMessage(ours);
    EXPECT_EQ(servers_->Mails().size(), 2u);  // deletions take effect when the session ends
    p.Disconnect();
    const auto left = servers_->Mails();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(mail::ReadMail(left[0]).subject, "另一封邮件");

    // A wrong password: the server's reply is told. (Last: the server slows down logins after a failed one.)
    Aim(p, "wrong");
    try {
        p.Connect();
        FAIL() << "no error";
    } catch (const EMailError& e) {
        EXPECT_NE(std::string(e.what()).find("-ERR"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(p.Connected());
}

// A connection that drops in the middle of a fetch fails that fetch, writes none of its files, and the session
// is not silently replaced by a new one whose mail numbers and marks would differ.
TEST_F(MailTransfer, AConnectionLostInAFetchFailsItAndEveryLaterCommand)
{
    servers_->Deliver("Subject: one\r\n\r\nfirst\r\n");
    servers_->Deliver("Subject: two\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nsecond\r\n--b\r\n"
                      "Content-Disposition: attachment; filename=two.db\r\n\r\n" + std::string(20000, 'x') +
                      "\r\n--b--\r\n");
    servers_->StartScriptedPop3(2);
    TNMPOP3 p(nullptr);
    Aim(p);
    p.Connect();
    p.GetMailMessage(1);
    EXPECT_EQ(p.MailMessage.Body, std::vector<std::string>{"first"});
    p.DeleteMailMessage(1);
    EXPECT_THROW(p.GetMailMessage(2), EMailError);
    EXPECT_TRUE(fs::is_empty(dir_ / "attach"));
    try {
        p.GetSummary(1);
        FAIL() << "no error";
    } catch (const EMailError& e) {
        EXPECT_NE(std::string(e.what()).find("连接中断"), std::string::npos) << e.what();
    }
    p.Disconnect();
    const auto log = servers_->Pop3Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "DELE 1"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "DELE 2"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "REMOVED 1"), 0);  // the lost session's marks are void
    EXPECT_EQ(servers_->Mails().size(), 2u);
}

}  // namespace
