// TF_change_r2: the locate dialog of the enterprise window, by record number, report number or legal-entity
// code. The radio buttons choose SearchField and SearchIndex, which every opening shares.
#pragma once

#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/RadioButton.h"

extern std::string SearchField;
extern std::string SearchIndex;

class TF_change_r2 : public TForm {
public:
    explicit TF_change_r2(TComponent* owner);

    TEdit* Edit1;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TRadioButton* RadioButton3;
    TButton* Button1;
    TButton* Button2;

    void FormActivate(TObject* Sender);
    void Edit1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void RadioButton3Click(TObject* Sender);
};
