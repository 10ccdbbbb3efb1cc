// TF_bt_p: the heading editor of the page printer, a grid on "bt_p.db" (each printed column's heading and its
// width in bytes of text). It holds the table open only while it is shown.
#pragma once

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"

class TF_bt_p : public TForm {
public:
    explicit TF_bt_p(TComponent* owner);

    TDBGrid* DBGrid1;
    TButton* Button1;
    TTable* Table1;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender);
};
