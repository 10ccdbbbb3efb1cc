// The receive window end to end against real POP3 servers: a mail sent by the send window comes back whole
// (row and attachment files), foreign and look-alike mails stay on the server, the date text of each form of
// Date line, a mail leaves the server only once its row is stored (a dropped connection, a refused store, a
// missing attachment folder lose nothing), hostile attachment names, browsing, deleting and packing.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "MailFixture.h"

namespace {

using namespace mailtest;
namespace fs = std::filesystem;

const std::string kMarkerWord = "=?UTF-8?B?KioqVmVtb3Jh6K6h5YiS57uf6K6h6L2v5Lu2Kioq?=";

class ReceiveWindow : public MailWindowTest {
protected:
    // Receives with the window: password typed, "接收邮件" pressed; returns the status text. A failure that
    // is to be told comes in a box of the given text.
    std::string Receive(const std::string& password = MailServers::kPassword, const std::string& told = {})
    {
        std::string status;
        InReceive([&](TF_pop3& w) {
            ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, password));
            if (!told.empty()) {
                User().ExpectMessageContaining("错误窗口", told);
            }
            ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
            status = w.StatusBar1->SimpleText();
        });
        return status;
    }

    static std::vector<std::string> Column(const std::string& field)
    {
        std::vector<std::string> out;
        for (const Record& r : ReadTable("mailbox.db")) {
            out.push_back(r.at(field));
        }
        return out;
    }

    static long long FreePages(const std::string& file)
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA freelist_count", -1, &st, nullptr);
        const long long n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
        sqlite3_finalize(st);
        sqlite3_close(db);
        return n;
    }
};

// Sent by the send window, fetched by the receive window: one row, the files equal to the originals.
TEST_F(ReceiveWindow, AMailOfTheSystemComesBackWholeAndForeignMailsStay)
{
    Servers().StartSmtp();
    Servers().StartPop3();
    Settings();
    SendList({{"1", "kfq_r.db", "高新区企业校验表"}, {"1", "gjxm_r.db", "国家级项目校验表"}});
    std::string big;
    for (int i = 0; i < 300000; ++i) {
        big += static_cast<char>(i % 251);
    }
    WriteFile("kfq_r.db", big);
    WriteFile("gjxm_r.db", "second");
    InSend(1, [&](TF_smtp& w) {
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "to@example.com"));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
    });
    Servers().Deliver(SystemMail("Sat, 5 Dec 2009 10:30:00 +0800", "not ours", "foreign"));
    Servers().Deliver(SystemMail("Sat, 5 Dec 2009 10:30:00 +0800", "not ours", kMarkerWord + " and more"));

    InReceive([&](TF_pop3& w) {
        EXPECT_EQ(w.Button2->Enabled(), false);
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, MailServers::kPassword));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "服务器已断开");
        EXPECT_EQ(w.ListBox1->Items(), (std::vector<std::string>{"kfq_r.db", "gjxm_r.db"}));
        EXPECT_EQ(w.DBMemo1->Text(), "高新区企业校验表\n国家级项目校验表");
        EXPECT_TRUE(w.Button6->Enabled() && w.Button1->Enabled() && w.Button4->Enabled());
        EXPECT_FALSE(w.Button2->Enabled());
    });
    const auto rows = ReadTable("mailbox.db");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("发件人"), "统计处 <sender@example.com>");
    EXPECT_EQ(rows[0].at("内容"), "高新区企业校验表\n国家级项目校验表");
    EXPECT_EQ(rows[0].at("附件"), "kfq_r.db\ngjxm_r.db");
    EXPECT_GT(std::stod(rows[0].at("长度")), 300000.0);
    EXPECT_EQ(rows[0].at("日期").size(), 19u);  // yyyy-m-d hh:mm:ss with a two-digit day from our own sender
    EXPECT_EQ(ReadFile("attach/kfq_r.db"), big);
    EXPECT_EQ(ReadFile("attach/gjxm_r.db"), "second");
    const auto left = Servers().Mails();
    ASSERT_EQ(left.size(), 2u);  // the foreign mail and the look-alike stay on the server
    for (const std::string& m : left) {
        EXPECT_NE(m.find("not ours"), std::string::npos);
    }
}

TEST_F(ReceiveWindow, TheDateTextIsBuiltByPositionAndCutToItsField)
{
    const struct {
        const char* date;
        const char* text;
    } cases[] = {
        {"Sat, 5 Dec 2009 10:30:00 +0800", "2009-12-5 10:30:00"},
        {"Mon, 07 Dec 2009 08:01:02 GMT", "2009-12-07 08:01:02"},
        {"Mon, 07 dec 2009 08:01:02 GMT", "2009-dec-07 08:01:02"},
        {"5 Dec 2009 10:30:00 +0800", "10:30:0-200-Dec +080"},  // no weekday: read by position all the same
        {"Saturday, 0500000000 December 2009000000 10:30:00.000000000 +0800", "2009000-12-0500000 1"},
        {"", ""},
    };
    for (const auto& c : cases) {
        Servers().Deliver(SystemMail(c.date));
    }
    Servers().StartScriptedPop3();
    Settings();
    EXPECT_EQ(Receive(), "服务器已断开");
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        expected.push_back(c.text);
    }
    EXPECT_EQ(Column("日期"), expected);
    EXPECT_TRUE(Servers().Mails().empty());
}

// Each mail is deleted on the server only after its row and files are stored: a connection dropped in a
// fetch, a store the engine refuses or a missing attachment folder leave that mail (and the later ones) there.
TEST_F(ReceiveWindow, AMailLeavesTheServerOnlyOnceItsRowIsStored)
{
    for (int i = 1; i <= 3; ++i) {
        Servers().Deliver(MailWithFiles({{"f" + std::to_string(i) + ".db", std::string(5000, 'a' + i)}},
                                        "Sat, " + std::to_string(i) + " Dec 2009 10:30:00 +0800"));
    }
    Servers().StartScriptedPop3(2);
    Settings();
    EXPECT_EQ(Receive(MailServers::kPassword, "邮件接收错误："), "服务器已断开");
    EXPECT_EQ(Column("附件"), std::vector<std::string>{"f1.db"});
    EXPECT_FALSE(fs::exists("attach/f2.db"));
    auto log = Servers().Pop3Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "DELE 1"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "DELE 2"), 0);
    EXPECT_EQ(Servers().Mails().size(), 3u);  // the lost session deleted nothing: mail 1 comes again later
}

TEST_F(ReceiveWindow, AStoreTheEngineRefusesLeavesTheMailAndNoFiles)
{
    // A unique date: the second mail of the same date is refused by the engine.
    db::TableSchema schema;
    schema.fields = {Text("发件人", 80), Text("日期", 20), {"长度", db::FieldType::Float, 0, false},
                     {"内容", db::FieldType::Memo, 0, false}, {"附件", db::FieldType::Memo, 0, false}};
    schema.indexes.push_back({"bydate", {"日期"}, false, true, false});
    db::CreateTableFile("mailbox.db", schema);
    Servers().Deliver(MailWithFiles({{"one.db", "1"}}));
    Servers().Deliver(MailWithFiles({{"two.db", "2"}}));
    Servers().StartScriptedPop3();
    Settings();
    InReceive([&](TF_pop3& w) {
        ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, MailServers::kPassword));
        User().ExpectMessageContaining(Title(), "bydate");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        // The buttons stay disabled and the connection open until the window closes.
        EXPECT_FALSE(w.Button6->Enabled() || w.Button1->Enabled() || w.Button2->Enabled() || w.Button4->Enabled());
        EXPECT_TRUE(MailConnected);
    });
    EXPECT_FALSE(MailConnected);
    EXPECT_EQ(Column("附件"), std::vector<std::string>{"one.db"});
    EXPECT_TRUE(fs::exists("attach/one.db"));
    EXPECT_FALSE(fs::exists("attach/two.db"));
    const auto log = Servers().Pop3Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "DELE 2"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "REMOVED 1"), 1);
    ASSERT_EQ(Servers().Mails().size(), 1u);
    EXPECT_NE(Servers().Mails()[0].find("two.db"), std::string::npos);
}

TEST_F(ReceiveWindow, AMissingAttachmentFolderIsToldAndLosesNothing)
{
    Servers().Deliver(MailWithFiles({{"one.db", "1"}}));
    Servers().StartScriptedPop3();
    Settings();
    fs::remove_all("attach");
    EXPECT_EQ(Receive(MailServers::kPassword, "附件文件夹 attach"), "服务器已断开");
    EXPECT_TRUE(ReadTable("mailbox.db").empty());
    EXPECT_EQ(Servers().Mails().size(), 1u);
    EXPECT_FALSE(fs::exists("attach"));
}

// Names that climb out of "attach\", absolute paths, control characters and repeats become bare unique names;
// the delete button removes a row's files from "attach\" and nothing outside it.
TEST_F(ReceiveWindow, HostileAttachmentNamesStayInsideTheAttachmentFolder)
{
    const std::string original = ReadFile("kfq_1.db");
    Servers().Deliver(MailWithFiles({{"../kfq_1.db", "x"}, {"..\\\\..\\\\kfq_2.db", "y"}, {"/etc/passwd", "z"},
                                     {"a\x01" "b.db", "w"}, {"same.db", "1"}, {"SAME.db", "2"}}));
    Servers().StartScriptedPop3();
    Settings();
    EXPECT_EQ(Receive(), "服务器已断开");
    EXPECT_EQ(Column("附件"), std::vector<std::string>{"kfq_1.db\nkfq_2.db\npasswd\nab.db\nsame.db\nSAME(2).db"});
    EXPECT_EQ(ReadFile("kfq_1.db"), original);
    EXPECT_EQ(ReadFile("attach/kfq_1.db"), "x");
    EXPECT_EQ(ReadFile("attach/SAME(2).db"), "2");

    // A row whose names were changed by hand to point outside.
    {
        TTable t;
        t.SetTableName("mailbox.db");
        t.Open();
        t.Append();
        t.FieldByName("附件")->SetAsString("../kfq_1.db\n/etc/hostname\nsame.db");
        t.Post();
    }
    InReceive([&](TF_pop3& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button5));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        EXPECT_TRUE(w.ListBox1->Items().empty());
    });
    EXPECT_EQ(ReadFile("kfq_1.db"), original);
    EXPECT_TRUE(fs::exists("/etc/hostname"));
    EXPECT_TRUE(fs::is_empty("attach"));
    EXPECT_TRUE(ReadTable("mailbox.db").empty());
}

TEST_F(ReceiveWindow, BrowsingShowsEachRowsFilesAndDeletingPacksOnClose)
{
    for (int i = 1; i <= 3; ++i) {
        // Long bodies: a deleted row leaves free pages behind until the table is packed.
        Servers().Deliver(MailWithFiles({{"f" + std::to_string(i) + ".db", "x"}},
                                        "Sat, " + std::to_string(i) + " Dec 2009 10:30:00 +0800", std::string(20000, 'a' + i)));
    }
    Servers().StartScriptedPop3();
    Settings();
    EXPECT_EQ(Receive(), "服务器已断开");
    const auto before = ReadFile("mailbox.db");
    InReceive([&](TF_pop3& w) {
        const std::pair<TButton*, const char*> moves[] = {{w.Button7, "f1.db"}, {w.Button9, "f2.db"},
                                                          {w.Button5, "f3.db"}, {w.Button8, "f2.db"}};
        for (const auto& [button, shown] : moves) {
            ASSERT_TRUE(TScriptedUser::Press(*button));
            EXPECT_EQ(w.ListBox1->Items(), std::vector<std::string>{shown}) << button->Caption();
        }
    });
    EXPECT_EQ(ReadFile("mailbox.db"), before);  // no delete: no pack

    InReceive([&](TF_pop3& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button9));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        EXPECT_EQ(w.ListBox1->Items(), std::vector<std::string>{"f3.db"});
        EXPECT_GT(FreePages("mailbox.db"), 0);
    });
    EXPECT_EQ(FreePages("mailbox.db"), 0);
    EXPECT_EQ(Column("附件"), (std::vector<std::string>{"f1.db", "f3.db"}));
    EXPECT_FALSE(fs::exists("attach/f2.db"));
}

TEST_F(ReceiveWindow, AMissingMailboxTableEndsTheOpeningWithTheEnginesMessage)
{
    fs::remove("mailbox.db");
    User().ExpectMessageContaining(Title(), "无法打开窗口“接收邮件”：");
    F_main->Button2Click(nullptr);
    EXPECT_NE(User().Messages().back().text.find("mailbox.db"), std::string::npos) << User().Messages().back().text;
    EXPECT_FALSE(F_pop3->Visible());
    EXPECT_FALSE(fs::exists("mailbox.db"));
}

TEST_F(ReceiveWindow, FailedConnectsAndAMailboxWithoutSystemMailsStoreNothing)
{
    Settings();
    InReceive([&](TF_pop3& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "连接服务器错误");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "接收邮件错误");
        EXPECT_TRUE(w.Button6->Enabled() && w.Button1->Enabled());
        EXPECT_FALSE(w.Button2->Enabled());
    });
    Servers().Deliver(SystemMail("Sat, 5 Dec 2009 10:30:00 +0800", "x", "other"));
    Servers().StartPop3();
    Settings();
    EXPECT_EQ(Receive(), "服务器已断开");
    EXPECT_EQ(Receive("wrong"), "接收邮件错误");
    EXPECT_TRUE(ReadTable("mailbox.db").empty());
    EXPECT_EQ(Servers().Mails().size(), 1u);
    // The typed password is never stored.
    const auto settings = ReadTable("mailinit.db");
    for (const auto& [field, value] : settings.at(0)) {
        EXPECT_NE(value, MailServers::kPassword) << field;
    }
}

}  // namespace
