// The mail as written and as read: headers with Chinese names and subject survive the trip (RFC 2047), the body
// keeps its lines in every charset a mail may declare (or fail to declare), attachments keep their bytes and
// names, and the names a mail gives its attachments become safe, unique files inside the attachment folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/mail/AttachmentFiles.h"
#include "platform/mail/MailBuilder.h"
#include "platform/mail/MailError.h"
#include "platform/mail/MailReader.h"
#include "support/MailServers.h"

namespace {

namespace fs = std::filesystem;

class MailFormat : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vemora-mail-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).string();
    }

    fs::path dir_;
};

std::string Binary()
{
    std::string b;
    for (int i = 0; i < 3000; ++i) {
        b += static_cast<char>(i * 7 % 256);
    }
    return b + "\r\n.\r\n..\n.";
}

TEST_F(MailFormat, AWrittenMailReadsBackWithHeadersBodyAndAttachments)
{
    mail::OutgoingMail out;
    out.fromAddress = "sender@example.com";
    out.fromName = "统计处 张三";
    out.subject = "***Vemora计划统计软件***";
    out.to = {"a@example.com"};
    out.cc = {"b@example.com"};
    out.body = {"高新区企业校验表", ".", "", "last line"};
    out.attachments = {Write("kfq_r.db", Binary()), Write("校验 结果.db", "second")};
    std::vector<std::string> steps;
    const std::string raw = mail::BuildMail(
        out, [&](const std::string& n) { steps.push_back("start " + n); },
        [&](const std::string& n) { steps.push_back("end " + n); });
    EXPECT_EQ(steps, (std::vector<std::string>{"start kfq_r.db", "end kfq_r.db", "start 校验 结果.db", "end 校验 结果.db"}));
    // Only 7-bit text on the wire: every header encoded, every line end CRLF.
    for (const unsigned char c : raw) {
        ASSERT_LT(c, 0x80);
    }
    EXPECT_EQ(raw.find("\n"), raw.find("\r\n") + 1);
    EXPECT_NE(raw.find("=?UTF-8?"), std::string::npos);

    const mail::IncomingMail in = mail::ReadMail(raw);
    EXPECT_EQ(in.subject, out.subject);
    EXPECT_EQ(in.from, "统计处 张三 <sender@example.com>");
    EXPECT_EQ(in.body, out.body);
    ASSERT_EQ(in.attachments.size(), 2u);
    EXPECT_EQ(in.attachments[0].name, "kfq_r.db");
    EXPECT_EQ(in.attachments[0].data, Binary());
    EXPECT_EQ(in.attachments[1].name, "校验 结果.db");
    EXPECT_EQ(in.attachments[1].data, "second");
    EXPECT_EQ(mail::ReadSubject(raw.substr(0, raw.find("\r\n\r\n") + 4)), " " + out.subject);
    bool date = false;
    for (const std::string& h : in.head) {
        date = date || h.rfind("Date: ", 0) == 0;
    }
    EXPECT_TRUE(date);
}

TEST_F(MailFormat, AnUnreadableAttachmentIsNamed)
{
    mail::OutgoingMail out;
    out.to = {"a@example.com"};
    out.attachments = {(dir_ / "missing.db").string()};
    try {
        mail::BuildMail(out, {}, {});
        FAIL() << "no error";
    } catch (const EMailError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.db"), std::string::npos) << e.what();
    }
}

struct BodyCase {
    const char* name;
    std::string raw;
    std::vector<std::string> body;
    std::string subject;
};

// Older programs sent GB2312 bytes unencoded, declared wrongly or not at all; each reads as the text it was.
TEST_F(MailFormat, TextInEveryDeclaredOrUndeclaredCharsetReadsAsItWasWritten)
{
    const std::string gbMarker = "***Vemora\xbc\xc6\xbb\xae\xcd\xb3\xbc\xc6\xc8\xed\xbc\xfe***";  // GB2312
    const std::string marker = "***Vemora计划统计软件***";
    const BodyCase cases[] = {
        {"raw GB bytes, no charset", "Subject: " + gbMarker + "\r\n\r\n\xd0\xa3\xd1\xe9\xb1\xed\r\n", {"校验表"}, marker},
        {"GB bytes declared us-ascii",
         "Subject: x\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n\xd0\xa3\xd1\xe9\r\nb\r\n", {"校验", "b"}, "x"},
        {"declared gb2312, quoted-printable",
         "Subject: =?gb2312?B?" "0KPR6bHt" "?=\r\nContent-Type: text/plain; charset=gb2312\r\n"
         "Content-Transfer-Encoding: quoted-printable\r\n\r\n=D0=A3=D1=E9\r\n", {"校验"}, "校验表"},
        {"utf-8 bare line feeds", "Subject: a\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n第一\n第二\n",
         {"第一", "第二"}, "a"},
        {"no body", "Subject: a\r\n\r\n", {}, "a"},
    };
    for (const BodyCase& c : cases) {
        const mail::IncomingMail in = mail::ReadMail(c.raw);
        EXPECT_EQ(in.body, c.body) << c.name;
        EXPECT_EQ(in.subject, c.subject) << c.name;
        EXPECT_EQ(mail::ReadSubject(c.raw), " " + c.subject) << c.name;
    }
}

struct NameCase {
    const char* given;
    const char* safe;
};

TEST_F(MailFormat, AttachmentNamesBecomeBareSafeFileNames)
{
    const NameCase cases[] = {
        {"kfq_r.db", "kfq_r.db"},
        {"../../etc/passwd", "passwd"},
        {"..\\..\\kfq_1.db", "kfq_1.db"},
        {"/etc/cron.d/job", "job"},
        {"C:\\Windows\\win.ini", "win.ini"},
        {"a\r\nb\x01" "c\x7f.db", "abc.db"},
        {"..", "attachment"},
        {".", "attachment"},
        {"", "attachment"},
        {"dir/", "attachment"},
        {" .hidden ", "hidden"},
        {"校验结果.db", "校验结果.db"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(mail::SafeFileName(c.given), c.safe) << c.given;
    }
    // A long name is cut at a character boundary and keeps its extension.
    std::string chars;
    for (int i = 0; i < 30; ++i) {
        chars += "表";
    }
    const std::string cut = mail::SafeFileName(std::string(150, 'x') + chars + ".db");
    EXPECT_LE(cut.size(), 200u);
    EXPECT_EQ(cut.substr(cut.size() - 3), ".db");
    EXPECT_EQ((cut.size() - 3 - 150) % 3, 0u);
}

TEST_F(MailFormat, AttachmentFilesAreNewAndUniqueInsideTheFolder)
{
    const fs::path attach = dir_ / "attach";
    fs::create_directories(attach);
    Write("attach/KFQ_R.db", "older");
    fs::create_symlink(dir_ / "target.db", attach / "link.db");
    const struct {
        const char* name;
        const char* stored;
    } cases[] = {
        {"kfq_r.db", "kfq_r(2).db"},  // taken without regard to case
        {"kfq_r.db", "kfq_r(3).db"},
        {"link.db", "link(2).db"},  // never written through a link
        {"noext", "noext"},
        {"noext", "noext(2)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mail::WriteUniqueFile(attach.string(), c.name, c.name), c.stored);
        EXPECT_EQ(testsupport::MailServers::ReadFile(attach / c.stored), c.name);
    }
    EXPECT_EQ(testsupport::MailServers::ReadFile(attach / "KFQ_R.db"), "older");
    EXPECT_FALSE(fs::exists(dir_ / "target.db"));
    EXPECT_THROW(mail::WriteUniqueFile((dir_ / "missing").string(), "a", "b"), EMailError);
}

}  // namespace
