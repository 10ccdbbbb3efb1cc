#include "exchange/Smtp.h"

#include <strings.h>

#include "app/Main.h"
#include "exchange/MailFields.h"
#include "exchange/Staging.h"
#include "platform/mail/MailText.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

TF_smtp::TF_smtp(TComponent* owner)
    : TForm(owner),
      connection_([this](const std::string& text) { SetStatus(text); },
                  [this](bool connected) { SetButtons(!connected, true, connected); })
{
    LoadDescription("TF_smtp");
    Edit1 = Get<TEdit>("Edit1");
    Edit2 = Get<TEdit>("Edit2");
    DBEdit1 = Get<TDBEdit>("DBEdit1");
    DBEdit2 = Get<TDBEdit>("DBEdit2");
    DBEdit3 = Get<TDBEdit>("DBEdit3");
    DBEdit4 = Get<TDBEdit>("DBEdit4");
    DBEdit5 = Get<TDBEdit>("DBEdit5");
    Memo1 = Get<TMemo>("Memo1");
    ListBox1 = Get<TListBox>("ListBox1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button6 = Get<TButton>("Button6");
    Button7 = Get<TButton>("Button7");
    StatusBar1 = Get<TStatusBar>("StatusBar1");
    OpenDialog1 = Get<TOpenDialog>("OpenDialog1");
    NMSMTP1 = Get<TNMSMTP>("NMSMTP1");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    DataSource1 = Get<TDataSource>("DataSource1");
}

void TF_smtp::SetStatus(const std::string& text)
{
    StatusBar1->SetSimpleText(text);
}

void TF_smtp::SetButtons(bool connect, bool send, bool disconnect)
{
    Button1->SetEnabled(connect);
    Button6->SetEnabled(send);
    Button2->SetEnabled(disconnect);
}

bool TF_smtp::Listed(const std::string& bareName) const
{
    for (const std::string& n : ListBox1->Items()) {
        if (strcasecmp(n.c_str(), bareName.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

void TF_smtp::FormActivate(TObject*)
{
    if (Table1->Active()) {
        return;  // regaining the focus changes nothing
    }
    MailConnected = false;
    ListBox1->Clear();
    Memo1->Clear();
    if (ReportKind == 1 || ReportKind == 2) {
        Table2->Open();
        for (Table2->First(); !Table2->Eof(); Table2->Next()) {
            if (!Table2->Fields()[0]->IsNull() && Table2->Fields()[0]->AsInteger() == ReportKind) {
                ListBox1->Add(Table2->FieldByName("name")->AsString());
                Memo1->AddLine(Table2->FieldByName("text")->AsString());
            }
        }
        Table2->Close();
    }
    for (const std::string& name : ListBox1->Items()) {
        StageFile(StartFolderPath(name), name);
    }
    Table1->Open();
}

void TF_smtp::Button1Click(TObject*)
{
    if (MailConnected) {
        return;
    }
    SetButtons(false, false, false);
    NMSMTP1->Host = Table1->FieldByName("Smtp_s")->AsString();
    try {
        NMSMTP1->Port = PortNumber(Table1->FieldByName("Smtp_p")->AsString());
    } catch (...) {
        MailConnected = false;
        SetButtons(true, true, false);
        throw;
    }
    const std::string user = Table1->FieldByName("Smtp_u")->AsString();
    NMSMTP1->UserID = user.empty() ? "user" : user;
    SetStatus("正在连接服务器...");
    connection_.Connect([this] { NMSMTP1->Connect(); });
}

void TF_smtp::Button2Click(TObject*)
{
    connection_.Disconnect([this] { NMSMTP1->Disconnect(); });
}

void TF_smtp::Button6Click(TObject* Sender)
{
    if (!connection_.EnsureConnected([&] { Button1Click(Sender); }, "发送邮件错误")) {
        return;
    }
    SetButtons(false, false, false);
    NMSMTP1->ClearParameters();
    TPostMessage& m = NMSMTP1->PostMessage;
    m.FromAddress = Table1->FieldByName("Address")->AsString();
    m.FromName = Table1->FieldByName("Name")->AsString();
    m.Subject = MailMarker;
    m.ToAddress = {Edit1->Text()};
    m.ToCarbonCopy = {Edit2->Text()};
    // The staged copies, not the tables in the start folder that a user may be changing meanwhile.
    for (const std::string& name : ListBox1->Items()) {
        m.Attachments.push_back(StagedPath(name));
    }
    m.Body = Memo1->Lines();
    if (m.Body.empty()) {
        m.Body = {"内容为空"};
    }
    SetStatus("正在发送邮件");
    try {
        NMSMTP1->SendMail();
    } catch (const std::exception& e) {
        connection_.Failed("邮件发送错误", e, [this] { NMSMTP1->Disconnect(); });
        return;
    }
    SetStatus("邮件发送完成");
    Button2Click(Sender);
}

void TF_smtp::Button4Click(TObject*)
{
    if (!OpenDialog1->Execute()) {
        return;
    }
    const std::string name = mail::BareName(OpenDialog1->FileName);
    if (Listed(name)) {
        Application->MessageBox("已有名为 " + name + " 的附件，同名的文件不能再作为附件", "提示",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    StageFile(OpenDialog1->FileName, name);
    ListBox1->Add(name);
}

void TF_smtp::Button5Click(TObject*)
{
    const int i = ListBox1->ItemIndex();
    if (i < 0) {
        return;
    }
    UnstageFile(ListBox1->Items()[static_cast<std::size_t>(i)]);
    ListBox1->Delete(i);
}

void TF_smtp::Button7Click(TObject*)
{
    Close();
}

void TF_smtp::FormClose(TObject* Sender, TCloseAction&)
{
    Button2Click(Sender);
    if (Table1->Active()) {
        Table1->Edit();
        Table1->Post();
        Table1->Close();
    }
    for (const std::string& name : ListBox1->Items()) {
        UnstageFile(name);
    }
}

void TF_smtp::NMSMTP1Status(TObject*, const std::string& Status)
{
    SetStatus(Status);
}

void TF_smtp::NMSMTP1PacketSent(TObject*, long long BytesSent, long long BytesTotal)
{
    SetStatus(std::to_string(BytesSent) + " bytes of " + std::to_string(BytesTotal) + " sent");
}

void TF_smtp::NMSMTP1RecipientNotFound(TObject*, const std::string& Address)
{
    ShowMessage(Address + " not found");
}

void TF_smtp::NMSMTP1SendStart(TObject*)
{
    SetStatus("Sending message");
}

void TF_smtp::NMSMTP1EncodeStart(TObject*, const std::string& FileName)
{
    SetStatus("Decoding " + FileName);
}

void TF_smtp::NMSMTP1EncodeEnd(TObject*, const std::string& FileName)
{
    SetStatus("Encoding " + FileName);
}

namespace {

const ClassBuilder<TF_smtp> kSmtpWindowClass("TF_smtp", "TForm", [](ClassBuilder<TF_smtp>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_smtp::FormActivate);
    c.Handler("FormClose", &TF_smtp::FormClose);
    c.Handler("Button1Click", &TF_smtp::Button1Click);
    c.Handler("Button2Click", &TF_smtp::Button2Click);
    c.Handler("Button6Click", &TF_smtp::Button6Click);
    c.Handler("Button4Click", &TF_smtp::Button4Click);
    c.Handler("Button5Click", &TF_smtp::Button5Click);
    c.Handler("Button7Click", &TF_smtp::Button7Click);
    c.Handler("NMSMTP1Status", &TF_smtp::NMSMTP1Status);
    c.Handler("NMSMTP1PacketSent", &TF_smtp::NMSMTP1PacketSent);
    c.Handler("NMSMTP1RecipientNotFound", &TF_smtp::NMSMTP1RecipientNotFound);
    c.Handler("NMSMTP1SendStart", &TF_smtp::NMSMTP1SendStart);
    c.Handler("NMSMTP1EncodeStart", &TF_smtp::NMSMTP1EncodeStart);
    c.Handler("NMSMTP1EncodeEnd", &TF_smtp::NMSMTP1EncodeEnd);
});

const FormSlot<TF_smtp> kSmtpSlot("TF_smtp", &F_smtp);

}  // namespace
