#include "query/HeadingEditor.h"

#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

TF_bt_p::TF_bt_p(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_bt_p");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    Button1 = Get<TButton>("Button1");
    Table1 = Get<TTable>("Table1");
}

void TF_bt_p::FormActivate(TObject*)
{
    Table1->Open();
}

void TF_bt_p::FormClose(TObject*, TCloseAction&)
{
    // A pending change is stored; an untouched table gets no row (an empty one stays empty).
    if (Table1->State() == TDataSetState::dsEdit || Table1->State() == TDataSetState::dsInsert) {
        Table1->Post();
    }
    Table1->Close();
}

void TF_bt_p::Button1Click(TObject*)
{
    Close();
}

namespace {

const ClassBuilder<TF_bt_p> kBtPClass("TF_bt_p", "TForm", [](ClassBuilder<TF_bt_p>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_bt_p::FormActivate);
    c.Handler("FormClose", &TF_bt_p::FormClose);
    c.Handler("Button1Click", &TF_bt_p::Button1Click);
});

const FormSlot<TF_bt_p> kBtPSlot("TF_bt_p", &F_bt_p);

}  // namespace
