#include "check/CheckPrint.h"

#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

TF_check_p::TF_check_p(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_check_p");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    QuickRep1 = Get<TQuickRep>("QuickRep1");
}

void TF_check_p::SetResult(const std::string& table, const std::string& heading)
{
    Table1->Close();
    Table1->SetTableName(table);
    Table2->Open();
    try {
        if (Table2->IsEmpty()) {
            Table2->Append();
        } else {
            Table2->Edit();
        }
        Table2->FieldByName("Text")->SetAsString(heading);
        Table2->Post();
    } catch (...) {
        Table2->Cancel();
        throw;
    }
}

void TF_check_p::QuickRep1BeforePrint(TQuickRep*, bool&)
{
    if (!Table1->Active()) {
        Table1->Open();
    }
    if (!Table2->Active()) {
        Table2->Open();
    }
}

void TF_check_p::QuickRep1AfterPrint(TObject*)
{
    Table1->Close();
    Table2->Close();
}

void TF_check_p::QuickRep1AfterPreview(TObject*)
{
    Table1->Close();
    Table2->Close();
}

namespace {

const ClassBuilder<TF_check_p> kCheckPClass("TF_check_p", "TForm", [](ClassBuilder<TF_check_p>& c) {
    c.NotCreatable();
    c.Handler("QuickRep1BeforePrint", &TF_check_p::QuickRep1BeforePrint);
    c.Handler("QuickRep1AfterPrint", &TF_check_p::QuickRep1AfterPrint);
    c.Handler("QuickRep1AfterPreview", &TF_check_p::QuickRep1AfterPreview);
});

const FormSlot<TF_check_p> kCheckPSlot("TF_check_p", &F_check_p);

}  // namespace
