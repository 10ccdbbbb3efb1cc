#include "entry/ChangeR2.h"

#include "app/Main.h"
#include "entry/Locate.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

std::string SearchField;
std::string SearchIndex;

TF_change_r2::TF_change_r2(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_change_r2");
    Edit1 = Get<TEdit>("Edit1");
    RadioButton1 = Get<TRadioButton>("RadioButton1");
    RadioButton2 = Get<TRadioButton>("RadioButton2");
    RadioButton3 = Get<TRadioButton>("RadioButton3");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
}

void TF_change_r2::FormActivate(TObject*) { Edit1->SetText(""); }

void TF_change_r2::Edit1KeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_RETURN) {
        Button1Click(Button1);
    }
}

void TF_change_r2::Button1Click(TObject*)
{
    const std::string text = Edit1->Text();
    if (text.empty()) {
        return;
    }
    TTable* t = LocateTable;
    if (RadioButton1->Checked()) {
        LocateByNumber(t, RecordNumberOf(text));
    } else if (t->FindField(SearchField) == nullptr) {
        // A detail showing every enterprise has no legal-entity code: searching its key instead would move
        // to some other record. The dialog stays open for another choice.
        const TRadioButton* chosen = RadioButton2->Checked() ? RadioButton2 : RadioButton3;
        Application->MessageBox("当前表格中没有“" + chosen->Caption() + "”，请按“" + RadioButton1->Caption() +
                                    "”或“" + RadioButton2->Caption() + "”定位",
                                "提示", MB_OK | MB_ICONINFORMATION);
        return;
    } else if (t->FindField(SearchField) != nullptr && t->Schema().findIndex(SearchIndex) != nullptr) {
        LocateByKey(t, SearchField, SearchIndex, text);
    } else {
        // A detail that shows every enterprise has neither index: it is searched on its own key and index and
        // keeps its own order.
        const std::string indexName = t->IndexName();
        const std::string indexFields = t->IndexFieldNames();
        t->SetIndexFieldNames("");
        t->SetIndexName(LocateIndex);
        t->SetKey();
        t->FieldByName(LocateField)->SetAsString(text);
        t->GotoKey();
        if (indexFields.empty()) {
            t->SetIndexName(indexName);
        } else {
            t->SetIndexFieldNames(indexFields);
        }
    }
    Close();
}

void TF_change_r2::Button2Click(TObject*) { Close(); }

void TF_change_r2::RadioButton2Click(TObject*)
{
    SearchField = "qa01";
    SearchIndex = "kfq_1";
}

void TF_change_r2::RadioButton3Click(TObject*)
{
    SearchField = "qa03";
    SearchIndex = "kfq_12";
}

namespace {

const ClassBuilder<TF_change_r2> kChangeR2Class("TF_change_r2", "TForm", [](ClassBuilder<TF_change_r2>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_change_r2::FormActivate);
    c.Handler("Edit1KeyDown", &TF_change_r2::Edit1KeyDown);
    c.Handler("Button1Click", &TF_change_r2::Button1Click);
    c.Handler("Button2Click", &TF_change_r2::Button2Click);
    c.Handler("RadioButton2Click", &TF_change_r2::RadioButton2Click);
    c.Handler("RadioButton3Click", &TF_change_r2::RadioButton3Click);
});

const FormSlot<TF_change_r2> kChangeR2Slot("TF_change_r2", &F_change_r2);

}  // namespace
