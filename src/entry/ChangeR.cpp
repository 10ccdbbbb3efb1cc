#include "entry/ChangeR.h"

#include "app/Main.h"
#include "entry/Locate.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

TF_change_r::TF_change_r(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_change_r");
    Edit1 = Get<TEdit>("Edit1");
    RadioButton1 = Get<TRadioButton>("RadioButton1");
    RadioButton2 = Get<TRadioButton>("RadioButton2");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
}

void TF_change_r::FormActivate(TObject*) { Edit1->SetText(""); }

void TF_change_r::Edit1KeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_RETURN) {
        Button1Click(Button1);
    }
}

void TF_change_r::Button1Click(TObject*)
{
    const std::string text = Edit1->Text();
    if (text.empty()) {
        return;
    }
    if (RadioButton1->Checked()) {
        LocateByNumber(LocateTable, RecordNumberOf(text));
    } else {
        LocateByKey(LocateTable, LocateField, LocateIndex, text);
    }
    Close();
}

void TF_change_r::Button2Click(TObject*) { Close(); }

namespace {

const ClassBuilder<TF_change_r> kChangeRClass("TF_change_r", "TForm", [](ClassBuilder<TF_change_r>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_change_r::FormActivate);
    c.Handler("Edit1KeyDown", &TF_change_r::Edit1KeyDown);
    c.Handler("Button1Click", &TF_change_r::Button1Click);
    c.Handler("Button2Click", &TF_change_r::Button2Click);
});

const FormSlot<TF_change_r> kChangeRSlot("TF_change_r", &F_change_r);

}  // namespace
