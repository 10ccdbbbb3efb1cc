// TF_smtp: the send window. It lists the table files of the send list for the chosen mode (1 check results,
// 2 data tables, 0 none) with their body lines, keeps a copy of each attachment in the staging folder while
// it is open, edits the mail settings of "mailinit.db", and sends one mail with the system's subject marker
// through NMSMTP1, reporting each step in its status bar.
#pragma once

#include <string>

#include "app/Forms.h"
#include "exchange/MailConnection.h"
#include "platform/mail/NMSMTP.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBEdit.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/Memo.h"
#include "platform/ui/StatusBar.h"

class TF_smtp : public TForm {
public:
    explicit TF_smtp(TComponent* owner);

    TEdit* Edit1;  // 收件人
    TEdit* Edit2;  // 抄送
    TDBEdit* DBEdit1;
    TDBEdit* DBEdit2;
    TDBEdit* DBEdit3;
    TDBEdit* DBEdit4;
    TDBEdit* DBEdit5;
    TMemo* Memo1;
    TListBox* ListBox1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button4;
    TButton* Button5;
    TButton* Button6;
    TButton* Button7;
    TStatusBar* StatusBar1;
    TOpenDialog* OpenDialog1;
    TNMSMTP* NMSMTP1;
    TTable* Table1;  // mailinit.db
    TTable* Table2;  // sendname.db
    TDataSource* DataSource1;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void NMSMTP1Status(TObject* Sender, const std::string& Status);
    void NMSMTP1PacketSent(TObject* Sender, long long BytesSent, long long BytesTotal);
    void NMSMTP1RecipientNotFound(TObject* Sender, const std::string& Address);
    void NMSMTP1SendStart(TObject* Sender);
    void NMSMTP1EncodeStart(TObject* Sender, const std::string& FileName);
    void NMSMTP1EncodeEnd(TObject* Sender, const std::string& FileName);

private:
    void SetStatus(const std::string& text);
    void SetButtons(bool connect, bool send, bool disconnect);
    bool Listed(const std::string& bareName) const;

    TMailConnectionSteps connection_;};
