// The mail windows in a fresh data folder, opened through the main window's handlers (its mail buttons stay
// disabled) and driven by the scripted user, against real mail servers started for the test. The settings row
// of "mailinit.db" points at the servers; helpers write the send list, put mails into the mailbox and read the
// tables back.
#pragma once

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "check/CheckFixture.h"
#include "exchange/Pop3.h"
#include "exchange/Smtp.h"
#include "support/MailServers.h"

namespace mailtest {

using checktest::MakeTable;
using checktest::ReadTable;
using checktest::Record;
using checktest::Text;
using testsupport::MailServers;

class MailWindowTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        if (!MailServers::CanRunDovecot()) {
            GTEST_SKIP() << "the mail servers of the tests need root";
        }
        servers_ = std::make_unique<MailServers>();
        StartProgram();
    }
    void TearDown() override
    {
        ProgramTest::TearDown();
        servers_.reset();
    }

    MailServers& Servers() { return *servers_; }

    // The settings row: both servers on loopback, the sender, the POP3 user; ports of servers not started are
    // ports nobody listens on.
    void Settings(const std::string& smtpUser = "user", const std::string& name = "统计处",
                  const std::string& address = "sender@example.com")
    {
        const auto port = [](int p) { return std::to_string(p ? p : testsupport::FreeLoopbackPort()); };
        MakeTable("mailinit.db",
                  {Text("Smtp_s", 80), Text("Smtp_u", 80), Text("Smtp_p", 10), Text("Pop3_s", 80), Text("Pop3_u", 80),
                   Text("Pop3_p", 10), Text("Address", 80), Text("Name", 80)},
                  {{"127.0.0.1", smtpUser, port(servers_->SmtpPort()), "127.0.0.1", MailServers::kUser,
                    port(servers_->Pop3Port()), address, name}});
    }

    // The send list: id, name, text per row.
    static void SendList(const std::vector<std::vector<std::string>>& rows)
    {
        MakeTable("sendname.db", {{"id", db::FieldType::Integer, 0, false}, Text("name", 40), Text("text", 120)}, rows);
    }

    static void WriteFile(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadFile(const std::filesystem::path& path) { return MailServers::ReadFile(path); }
    // The caption of the framework's own boxes (errors, ShowMessage): the application's title.
    static std::string Title() { return Application->Title; }

    // Opens the send window in a mode through the main window's handler and acts in it; the window is closed
    // after. What the window tells while it opens comes before the act: script it before the call.
    void InSend(int mode, const std::function<void(TF_smtp&)>& act)
    {
        User().InModal("TF_smtp", [&](TForm& f) {
            act(static_cast<TF_smtp&>(f));
            if (f.Visible()) {
                f.Close();
            }
        });
        if (mode == 1) {
            F_main->Button9Click(nullptr);
        } else if (mode == 2) {
            F_main->Button3Click(nullptr);
        } else {
            F_main->Button8Click(nullptr);
        }
    }

    void InReceive(const std::function<void(TF_pop3&)>& act)
    {
        User().InModal("TF_pop3", [&](TForm& f) {
            act(static_cast<TF_pop3&>(f));
            if (f.Visible()) {
                f.Close();
            }
        });
        F_main->Button2Click(nullptr);
    }

    // A mail of the system (or with another subject) as an older program would deliver it.
    static std::string SystemMail(const std::string& date, const std::string& body = "第一行",
                                  const std::string& subject = "=?UTF-8?B?KioqVmVtb3Jh6K6h5YiS57uf6K6h6L2v5Lu2Kioq?=")
    {
        std::string m = "From: =?UTF-8?B?57uf6K6h5aSE?= <sender@example.com>\r\nSubject: " + subject + "\r\n";
        if (!date.empty()) {
            m += "Date: " + date + "\r\n";
        }
        return m + "Content-Type: text/plain; charset=utf-8\r\n\r\n" + body + "\r\n";
    }

    // A system mail with attachments (name, content).
    static std::string MailWithFiles(const std::vector<std::pair<std::string, std::string>>& files,
                                     const std::string& date = "Sat, 5 Dec 2009 10:30:00 +0800",
                                     const std::string& body = "files")
    {
        std::string m = "From: sender@example.com\r\nSubject: =?UTF-8?B?KioqVmVtb3Jh6K6h5YiS57uf6K6h6L2v5Lu2Kioq?=\r\n"
                        "Date: " + date + "\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
                        "--b\r\nContent-Type: text/plain\r\n\r\n" + body + "\r\n";
        for (const auto& [name, content] : files) {
            m += "--b\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"" + name +
                 "\"\r\n\r\n" + content + "\r\n";
        }
        return m + "--b--\r\n";
    }

    std::unique_ptr<MailServers> servers_;
};

}  // namespace mailtest
