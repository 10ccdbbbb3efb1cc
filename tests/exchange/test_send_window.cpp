// The send window end to end against a real SMTP server: the attachments and body lines of each send mode,
// the staging copies and their lifetime, the connect, disconnect and send steps with their status texts and
// button states, refused recipients, text that must not reach the SMTP dialogue, and the settings kept on close.
#include <gtest/gtest.h>

#include "MailFixture.h"
#include "platform/mail/MailReader.h"

namespace {

using namespace mailtest;
namespace fs = std::filesystem;

class SendWindow : public MailWindowTest {
protected:
    // Two check result tables (id 1) and three data tables (id 2), in table order, with their files.
    void ListFiles()
    {
        SendList({{"2", "kfq_1.db", "高新区企业数据库"}, {"1", "kfq_r.db", "高新区企业校验表"},
                  {"2", "kfq_2.db", "高新区企业产品"}, {"1", "gjxm_r.db", "国家级项目校验表"},
                  {"2", "kfq_5.db", "高新区企业项目"}});
        for (const char* name : {"kfq_r.db", "gjxm_r.db"}) {
            WriteFile(name, std::string("result table ") + name + std::string(3000, '\x01'));
        }
    }

    static std::vector<bool> Buttons(TF_smtp& w)
    {
        return {w.Button1->Enabled(), w.Button6->Enabled(), w.Button2->Enabled()};
    }
};

struct ModeCase {
    int mode;
    std::vector<std::string> files;
    std::vector<std::string> body;  // as sent
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << "mode " << c.mode; }

class SendModes : public SendWindow, public testing::WithParamInterface<ModeCase> {};

TEST_P(SendModes, TakeTheirRowsOfTheSendListAndSendThemUnderTheMarker)
{
    const ModeCase& c = GetParam();
    ListFiles();
    Servers().StartSmtp();
    Settings();
    std::vector<std::string> staged;
    InSend(c.mode, [&](TF_smtp& w) {
        EXPECT_EQ(ReportKind, c.mode);
        EXPECT_EQ(w.ListBox1->Items(), c.files);
        EXPECT_EQ(w.Memo1->Lines(), c.mode == 0 ? std::vector<std::string>{} : c.body);
        // Table files are copied through the engine's backup: the same rows, not necessarily the same bytes.
        for (const std::string& f : c.files) {
            staged.push_back(ReadFile(fs::path("sendfile") / f));
            if (f.find("_r.db") != std::string::npos) {
                EXPECT_TRUE(staged.back() == ReadFile(f)) << f;
            } else {
                EXPECT_EQ(ReadTable("sendfile\\" + f), ReadTable(f)) << f;
            }
        }
        EXPECT_EQ(Buttons(w), (std::vector<bool>{true, true, false}));
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "to@example.com"));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已断开");
        EXPECT_EQ(Buttons(w), (std::vector<bool>{true, true, false}));
        EXPECT_FALSE(MailConnected);
        EXPECT_EQ(w.ListBox1->Items(), c.files);  // a send does not clear the list
    });
    const auto mails = Servers().Mails();
    ASSERT_EQ(mails.size(), 1u);
    const mail::IncomingMail in = mail::ReadMail(mails[0]);
    EXPECT_EQ(in.subject, "***Vemora计划统计软件***");
    EXPECT_EQ(in.from, "统计处 <sender@example.com>");
    EXPECT_EQ(in.body, c.body);
    ASSERT_EQ(in.attachments.size(), c.files.size());
    for (std::size_t i = 0; i < c.files.size(); ++i) {
        EXPECT_EQ(in.attachments[i].name, c.files[i]);
        EXPECT_TRUE(in.attachments[i].data == staged[i]) << c.files[i];
    }
    // Closing removes the staging copies and leaves the start folder's files as they were.
    for (const std::string& f : c.files) {
        EXPECT_FALSE(fs::exists(fs::path("sendfile") / f)) << f;
        EXPECT_TRUE(fs::exists(f)) << f;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SendModes,
    testing::Values(ModeCase{1, {"kfq_r.db", "gjxm_r.db"}, {"高新区企业校验表", "国家级项目校验表"}},
                    ModeCase{2, {"kfq_1.db", "kfq_2.db", "kfq_5.db"}, {"高新区企业数据库", "高新区企业产品", "高新区企业项目"}},
                    ModeCase{0, {}, {"内容为空"}}),
    [](const testing::TestParamInfo<ModeCase>& i) { return "Mode" + std::to_string(i.param.mode); });

// Connecting to a server that is down, sending without a connection, a port that is not a number, then a
// good connection and its end; an empty user name greets as "user".
TEST_F(SendWindow, ConnectAndDisconnectReportEachStepAndSetTheButtons)
{
    Settings("");
    InSend(0, [&](TF_smtp& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "连接服务器错误");
        EXPECT_EQ(Buttons(w), (std::vector<bool>{true, true, false}));
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "to@example.com"));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "发送邮件错误");
        EXPECT_FALSE(MailConnected);

        ASSERT_TRUE(TScriptedUser::Type(*w.DBEdit5, "2x5"));
        User().ExpectMessage(Title(), "端口“2x5”不是整数");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "发送邮件错误");  // the connect attempt ended before any status
        EXPECT_EQ(Buttons(w), (std::vector<bool>{true, true, false}));

        Servers().StartSmtp();
        ASSERT_TRUE(TScriptedUser::Type(*w.DBEdit5, std::to_string(Servers().SmtpPort())));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已连接");
        EXPECT_TRUE(MailConnected);
        EXPECT_EQ(Buttons(w), (std::vector<bool>{false, true, true}));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button2));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已断开");
        EXPECT_FALSE(MailConnected);
        EXPECT_EQ(Buttons(w), (std::vector<bool>{true, true, false}));
    });
    EXPECT_EQ(Servers().SmtpLog(), std::vector<std::string>{"EHLO user"});
}

TEST_F(SendWindow, ARefusedRecipientIsShownAndTheCopyRecipientServed)
{
    Servers().StartSmtp();
    Settings();
    InSend(0, [&](TF_smtp& w) {
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "refused@example.com"));
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit2, "copy@example.com"));
        User().ExpectMessage(Title(), "refused@example.com not found");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已断开");

        // With no recipient left the send fails, and the user is told why.
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit2, ""));
        User().ExpectMessage(Title(), "refused@example.com not found");
        User().ExpectMessageContaining("错误窗口", "550");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已断开");
        EXPECT_EQ(Buttons(w), (std::vector<bool>{true, true, false}));
    });
    const auto mails = Servers().Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_NE(mails[0].find("X-RcptTo: copy@example.com"), std::string::npos);
}

// A line break pasted into an address or kept in the settings would add commands to the SMTP dialogue.
TEST_F(SendWindow, LineBreaksInAddressesNameOrSenderAreRefusedWithAMessage)
{
    Servers().StartSmtp();
    const struct {
        const char* to;
        const char* name;
        const char* address;
        const char* told;
    } cases[] = {
        {"to@example.com\r\nRCPT TO:<inject@example.com>", "统计处", "sender@example.com", "收件人"},
        {"to@example.com", "统计处\r\nBcc: inject@example.com", "sender@example.com", "发件人"},
        {"to@example.com", "统计处", "sender@example.com>\nRCPT TO:<inject@example.com", "发件人地址"},
    };
    for (const auto& c : cases) {
        Settings("user", c.name, c.address);
        InSend(0, [&](TF_smtp& w) {
            w.Edit1->SetText(c.to);  // as pasted
            User().ExpectMessageContaining("错误窗口", c.told);
            ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
            EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已断开");
        });
    }
    for (const std::string& line : Servers().SmtpLog()) {
        EXPECT_EQ(line.find("inject"), std::string::npos) << line;
        EXPECT_EQ(line.rfind("RCPT", 0), std::string::npos) << line;
    }
    EXPECT_TRUE(Servers().Mails().empty());
}

TEST_F(SendWindow, AttachmentsAreStagedOnceUnderABareNameAndRemovedWithTheirCopies)
{
    Settings();
    SendList({{"1", "kfq_r.db", "高新区企业校验表"}});
    WriteFile("kfq_r.db", "result");
    fs::create_directories(Base() / "other");
    WriteFile(Base() / "other" / "KFQ_R.db", "another result");
    WriteFile(Base() / "other" / "说明.txt", "第一行");
    WriteFile("sendfile/old.db", "already staged");
    InSend(1, [&](TF_smtp& w) {
        // A second file of a listed name, and a file that is itself in the staging folder, are refused.
        User().AnswerFile((Base() / "other" / "KFQ_R.db").string(), "Attach File");
        User().ExpectMessage("提示", "已有名为 KFQ_R.db 的附件，同名的文件不能再作为附件");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        User().AnswerFile(fs::absolute("sendfile/old.db").string(), "Attach File");
        User().ExpectMessageContaining(Title(), "已在附件暂存文件夹");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        EXPECT_EQ(ReadFile("sendfile/old.db"), "already staged");

        User().AnswerFile((Base() / "other" / "说明.txt").string(), "Attach File");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        User().CancelFile("Attach File");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        EXPECT_EQ(w.ListBox1->Items(), (std::vector<std::string>{"kfq_r.db", "说明.txt"}));
        EXPECT_EQ(ReadFile("sendfile/说明.txt"), "第一行");

        ASSERT_TRUE(TScriptedUser::Press(*w.Button5));  // nothing chosen: nothing happens
        EXPECT_EQ(w.ListBox1->Count(), 2);
        ASSERT_TRUE(TScriptedUser::Choose(*w.ListBox1, 0));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button5));
        EXPECT_EQ(w.ListBox1->Items(), std::vector<std::string>{"说明.txt"});
        EXPECT_FALSE(fs::exists("sendfile/kfq_r.db"));
    });
    EXPECT_FALSE(fs::exists("sendfile/说明.txt"));
    EXPECT_EQ(ReadFile("sendfile/old.db"), "already staged");
    EXPECT_EQ(ReadFile("kfq_r.db"), "result");
    EXPECT_EQ(ReadFile(Base() / "other" / "说明.txt"), "第一行");
}

// A listed file or the staging folder missing ends the opening with a message naming it; the window closes
// again, removing the copies made before, and the settings are left as they were.
TEST_F(SendWindow, AMissingListedFileOrStagingFolderEndsTheOpeningWithAMessage)
{
    Settings();
    const auto settings = ReadTable("mailinit.db");
    SendList({{"1", "gjxm_r.db", "国家级项目校验表"}, {"1", "dat_r.db", "测试校验表"}});
    WriteFile("gjxm_r.db", "result");
    const struct {
        std::function<void()> damage;
        const char* told;
    } cases[] = {
        {[] {}, "dat_r.db"},
        {[] {
             WriteFile("dat_r.db", "result");
             fs::remove_all("sendfile");
         },
         "附件暂存文件夹 sendfile\\ 不存在"},
    };
    for (const auto& c : cases) {
        c.damage();
        User().ExpectMessageContaining(Title(), "无法打开窗口“发送邮件”：");
        F_main->Button9Click(nullptr);
        ASSERT_FALSE(User().Messages().empty());
        EXPECT_NE(User().Messages().back().text.find(c.told), std::string::npos) << User().Messages().back().text;
        EXPECT_FALSE(F_smtp->Visible());
        EXPECT_FALSE(fs::exists("sendfile/gjxm_r.db"));
    }
    EXPECT_FALSE(fs::exists("sendfile"));
    EXPECT_EQ(ReadTable("mailinit.db"), settings);
}

TEST_F(SendWindow, TypedSettingsAreStoredOnCloseWithoutASend)
{
    MakeTable("mailinit.db", {Text("Smtp_s", 80), Text("Smtp_u", 80), Text("Smtp_p", 10), Text("Pop3_s", 80),
                              Text("Pop3_u", 80), Text("Pop3_p", 10), Text("Address", 80), Text("Name", 80)});
    InSend(0, [&](TF_smtp& w) {
        const std::pair<TDBEdit*, const char*> typed[] = {{w.DBEdit1, "统计处"}, {w.DBEdit2, "tj@example.com"},
                                                          {w.DBEdit3, "tj"}, {w.DBEdit4, "smtp.example.com"},
                                                          {w.DBEdit5, "2525"}};
        for (const auto& [edit, text] : typed) {
            ASSERT_TRUE(TScriptedUser::Type(*edit, text));
        }
    });
    const auto rows = ReadTable("mailinit.db");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("Name"), "统计处");
    EXPECT_EQ(rows[0].at("Address"), "tj@example.com");
    EXPECT_EQ(rows[0].at("Smtp_u"), "tj");
    EXPECT_EQ(rows[0].at("Smtp_s"), "smtp.example.com");
    EXPECT_EQ(rows[0].at("Smtp_p"), "2525");
}

// The four mail buttons cannot be pressed; their handlers store the send mode and open the windows.
TEST_F(SendWindow, TheMailButtonsStayDisabledAndTheirHandlersOpenTheWindows)
{
    for (TButton* b : {F_main->Button9, F_main->Button3, F_main->Button8, F_main->Button2}) {
        EXPECT_FALSE(TScriptedUser::Press(*b)) << b->Caption();
    }
    for (const int mode : {1, 2, 0}) {
        ReportKind = 7;
        bool shown = false;
        InSend(mode, [&](TF_smtp& w) {
            shown = true;
            EXPECT_EQ(w.Caption(), "发送邮件");
        });
        EXPECT_TRUE(shown);
        EXPECT_EQ(ReportKind, mode);
    }
    TForm* first = F_smtp;
    InSend(0, [&](TF_smtp& w) { EXPECT_EQ(&w, first); });
    bool shown = false;
    InReceive([&](TF_pop3& w) {
        shown = true;
        EXPECT_EQ(w.Caption(), "接收邮件");
    });
    EXPECT_TRUE(shown);
}

}  // namespace
