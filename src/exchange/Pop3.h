// TF_pop3: the receive window. It fetches the system's own mails (subject = the marker) from a POP3 mailbox
// through NMPOP31 into "mailbox.db", one row per mail, with the attachments written into "attach\"; a mail
// leaves the server only once its row is stored. It browses the stored mails and deletes one together with its
// attachment files; the table is packed on close after a delete.
#pragma once

#include <string>
#include <vector>

#include "app/Forms.h"
#include "exchange/MailConnection.h"
#include "platform/mail/NMPOP3.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBEdit.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBMemo.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/StatusBar.h"

class TF_pop3 : public TForm {
public:
    explicit TF_pop3(TComponent* owner);

    TDBEdit* DBEdit1;  // 用户名
    TEdit* Edit1;      // 密码
    TDBEdit* DBEdit2;  // 邮件服务器
    TDBEdit* DBEdit3;  // 端口
    TDBGrid* DBGrid1;
    TDBMemo* DBMemo1;
    TListBox* ListBox1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button4;
    TButton* Button5;
    TButton* Button6;
    TButton* Button7;
    TButton* Button8;
    TButton* Button9;
    TButton* Button11;
    TStatusBar* StatusBar1;
    TNMPOP3* NMPOP31;
    TTable* Table1;  // mailbox.db
    TTable* Table2;  // mailinit.DB
    TDataSource* DataSource1;
    TDataSource* DataSource2;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Table1AfterScroll(TDataSet* DataSet);

private:
    void SetStatus(const std::string& text);
    void SetButtons(bool receive, bool connect, bool disconnect);
    void ShowAttachments();
    // Stores the fetched mail as a row; when the store fails, its attachment files go again.
    void StoreMail();

    TMailConnectionSteps connection_;};
