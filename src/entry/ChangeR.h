// TF_change_r: the locate dialog of the entry windows other than the enterprise window. It moves LocateTable
// to a record number or to the record whose LocateField (on LocateIndex) is the text entered.
#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/RadioButton.h"

class TF_change_r : public TForm {
public:
    explicit TF_change_r(TComponent* owner);

    TEdit* Edit1;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TButton* Button1;
    TButton* Button2;

    void FormActivate(TObject* Sender);
    void Edit1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};
