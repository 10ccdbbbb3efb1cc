#include "exchange/Pop3.h"

#include <strings.h>

#include <filesystem>
#include <system_error>

#include "app/Main.h"
#include "entry/TableHelpers.h"
#include "exchange/MailFields.h"
#include "platform/mail/MailText.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

namespace fs = std::filesystem;

namespace {

const char* kAttachFolder = "attach\\";

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += (i ? "\n" : "") + lines[i];
    }
    return out;
}

// Deletes the attachment file of a row, inside "attach\" only: a name that is not a bare file name (a row
// written by hand, a damaged table) reaches nothing outside it. A file already gone is no error.
void RemoveAttachment(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
        return;
    }
    const fs::path folder = fs::path("attach");
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string existing = entry.path().filename().string();
        if (existing.size() == name.size() && strcasecmp(existing.c_str(), name.c_str()) == 0) {
            fs::remove(entry.path(), ec);
            return;
        }
    }
}

}  // namespace

TF_pop3::TF_pop3(TComponent* owner)
    : TForm(owner),
      connection_([this](const std::string& text) { SetStatus(text); },
                  [this](bool connected) {
                      SetButtons(true, !connected, connected);
                      if (!connected) {
                          Button4->SetEnabled(true);
                      }
                  })
{
    LoadDescription("TF_pop3");
    DBEdit1 = Get<TDBEdit>("DBEdit1");
    Edit1 = Get<TEdit>("Edit1");
    DBEdit2 = Get<TDBEdit>("DBEdit2");
    DBEdit3 = Get<TDBEdit>("DBEdit3");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    DBMemo1 = Get<TDBMemo>("DBMemo1");
    ListBox1 = Get<TListBox>("ListBox1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button6 = Get<TButton>("Button6");
    Button7 = Get<TButton>("Button7");
    Button8 = Get<TButton>("Button8");
    Button9 = Get<TButton>("Button9");
    Button11 = Get<TButton>("Button11");
    StatusBar1 = Get<TStatusBar>("StatusBar1");
    NMPOP31 = Get<TNMPOP3>("NMPOP31");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    DataSource1 = Get<TDataSource>("DataSource1");
    DataSource2 = Get<TDataSource>("DataSource2");
}

void TF_pop3::SetStatus(const std::string& text)
{
    StatusBar1->SetSimpleText(text);
}

void TF_pop3::SetButtons(bool receive, bool connect, bool disconnect)
{
    Button6->SetEnabled(receive);
    Button1->SetEnabled(connect);
    Button2->SetEnabled(disconnect);
}

void TF_pop3::FormActivate(TObject*)
{
    if (Table2->Active()) {
        return;  // regaining the focus changes nothing
    }
    MailConnected = false;
    Table1->Open();
    Table2->Open();
    TableDeleted = false;
}

void TF_pop3::Button1Click(TObject*)
{
    if (MailConnected) {
        return;
    }
    NMPOP31->SetAttachFilePath(kAttachFolder);
    NMPOP31->DeleteOnRead = true;
    NMPOP31->ReportLevel = 2;
    NMPOP31->TimeOut = 20000;
    NMPOP31->Host = Table2->FieldByName("Pop3_s")->AsString();
    NMPOP31->Port = PortNumber(Table2->FieldByName("Pop3_p")->AsString());
    NMPOP31->UserID = Table2->FieldByName("Pop3_u")->AsString();
    NMPOP31->Password = Edit1->Text();
    connection_.Connect([this] { NMPOP31->Connect(); });
}

void TF_pop3::Button2Click(TObject*)
{
    connection_.Disconnect([this] { NMPOP31->Disconnect(); });
}

void TF_pop3::Button6Click(TObject* Sender)
{
    if (!connection_.EnsureConnected([&] { Button1Click(Sender); }, "接收邮件错误")) {
        return;
    }
    SetButtons(false, false, false);
    Button4->SetEnabled(false);
    const int count = NMPOP31->MailCount();
    for (int n = 1; n <= count; ++n) {
        NMPOP31->GetSummary(n);
        if (!IsSystemSubject(NMPOP31->Summary.Subject, MailMarker)) {
            continue;  // not the system's: not fetched, it stays on the server
        }
        try {
            NMPOP31->GetMailMessage(n);
        } catch (const std::exception& e) {
            connection_.Failed("邮件接收错误", e, [this] { NMPOP31->Disconnect(); });
            return;
        }
        SetStatus("邮件接收完成");
        StoreMail();
        // Only now that the row and its files are on disk may the mail leave the server.
        if (NMPOP31->DeleteOnRead) {
            NMPOP31->DeleteMailMessage(n);
        }
    }
    Button2Click(Sender);
}

void TF_pop3::StoreMail()
{
    const TMailMessage& m = NMPOP31->MailMessage;
    try {
        Table1->Append();
        TField* from = Table1->FieldByName("发件人");
        from->SetAsString(FirstChars(m.From, static_cast<std::size_t>(from->Size())));
        TField* date = Table1->FieldByName("日期");
        date->SetAsString(FirstChars(MailDateText(m.Head), static_cast<std::size_t>(date->Size())));
        Table1->FieldByName("长度")->SetAsFloat(static_cast<double>(NMPOP31->Summary.Bytes));
        Table1->FieldByName("内容")->SetAsString(Joined(m.Body));
        if (!m.Attachments.empty()) {
            Table1->FieldByName("附件")->SetAsString(Joined(m.Attachments));
        }
        Table1->Post();
    } catch (...) {
        if (Table1->State() == TDataSetState::dsInsert) {
            Table1->Cancel();
        }
        for (const std::string& name : m.Attachments) {
            RemoveAttachment(name);
        }
        throw;
    }
    ShowAttachments();
}

void TF_pop3::Button4Click(TObject*)
{
    if (!Table1->Active() || Table1->IsEmpty()) {
        return;
    }
    for (const std::string& name : ListBox1->Items()) {
        RemoveAttachment(name);
    }
    Table1->Delete();
    TableDeleted = true;
    ShowAttachments();
}

void TF_pop3::Button7Click(TObject*)
{
    Table1->First();
}

void TF_pop3::Button5Click(TObject*)
{
    Table1->Last();
}

void TF_pop3::Button8Click(TObject*)
{
    Table1->Prior();
}

void TF_pop3::Button9Click(TObject*)
{
    Table1->Next();
}

void TF_pop3::Button11Click(TObject*)
{
    Close();
}

void TF_pop3::ShowAttachments()
{
    if (!Table1->Active() || Table1->IsEmpty() || Table1->State() == TDataSetState::dsInsert) {
        ListBox1->Clear();
        return;
    }
    ListBox1->SetItems(mail::SplitLines(Table1->FieldByName("附件")->AsString()));
}

void TF_pop3::Table1AfterScroll(TDataSet*)
{
    ShowAttachments();
}

void TF_pop3::FormClose(TObject* Sender, TCloseAction&)
{
    Button2Click(Sender);
    Table1->Close();
    if (TableDeleted) {
        PackParadoxTable(F_main ? F_main->Database1->Handle() : nullptr, "mailbox.db");
    }
    if (Table2->Active()) {
        Table2->Edit();
        Table2->Post();
        Table2->Close();
    }
}

namespace {

const ClassBuilder<TF_pop3> kPop3WindowClass("TF_pop3", "TForm", [](ClassBuilder<TF_pop3>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_pop3::FormActivate);
    c.Handler("FormClose", &TF_pop3::FormClose);
    c.Handler("Button1Click", &TF_pop3::Button1Click);
    c.Handler("Button2Click", &TF_pop3::Button2Click);
    c.Handler("Button6Click", &TF_pop3::Button6Click);
    c.Handler("Button4Click", &TF_pop3::Button4Click);
    c.Handler("Button7Click", &TF_pop3::Button7Click);
    c.Handler("Button5Click", &TF_pop3::Button5Click);
    c.Handler("Button8Click", &TF_pop3::Button8Click);
    c.Handler("Button9Click", &TF_pop3::Button9Click);
    c.Handler("Button11Click", &TF_pop3::Button11Click);
    c.Handler("Table1AfterScroll", &TF_pop3::Table1AfterScroll);
});

const FormSlot<TF_pop3> kPop3Slot("TF_pop3", &F_pop3);

}  // namespace
