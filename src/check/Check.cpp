#include "check/Check.h"

#include "app/Main.h"
#include "check/CheckPrint.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

std::string ExtraColumn;

namespace {

// Where the jump back of a report goes: the key field, whether the detail key code2 is handed on, the
// data-entry window and its caption.
struct JumpTarget {
    int report;
    const char* field;
    bool detail;
    const char* className;
    const char* caption;
};

constexpr JumpTarget kJumpTargets[] = {
    {1, "qa01", false, "TF_kfq", "高新区企业"},
    {3, "qa01", false, "TF_kfq", "区外企业"},
    {4, "jb00", false, "TF_gjxm", "国家级项目"},
    {6, "code", false, "TF_tzjg", "创业投资机构情况"},
    {7, "code", true, "TF_rjjd", "软件产业基地情况"},
    {8, "code", true, "TF_dxkjy", "大学科技园情况"},
    {9, "code", true, "TF_fhq", "科技企业孵化器情况"},
    {10, "code", false, "TF_tsjd", "特色产业基地情况"},
    {11, "code", false, "TF_sjgxq", "省级高新区"},
};

std::string NoStepsMessage() { return "报表" + std::to_string(ReportKind) + "没有校验步骤，未作校验"; }

}  // namespace

TF_check::TF_check(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_check");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button3 = Get<TButton>("Button3");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    ProgressBar1 = Get<TProgressBar>("ProgressBar1");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    Table3 = Get<TTable>("Table3");
    Table4 = Get<TTable>("Table4");
    Table5 = Get<TTable>("Table5");
    Query1 = Get<TQuery>("Query1");
    DataSource1 = Get<TDataSource>("DataSource1");
}

void TF_check::FormActivate(TObject*)
{
    if (Table2->Active()) {
        return;  // only regaining the focus: the result is not reread
    }
    // The extra texts first, so that no check of this opening runs with another report's.
    if (ReportKind == 4) {
        ExtraFilter = " and (is_chge=\"1\" or is_chge=\"2\")";
        ExtraColumn = ",is_chge";
    } else {
        ExtraFilter.clear();
        ExtraColumn.clear();
    }
    if (!Table3->Active()) {
        Table3->Open();
    }
    bool found = false;
    for (Table3->First(); !Table3->Eof(); Table3->Next()) {
        if (Table3->Fields()[0]->AsString() == std::to_string(ReportKind)) {
            found = true;
            break;
        }
    }
    if (!found) {
        // Another report's result table must not be shown, run or printed under this report.
        Table2->SetTableName("");
        ResultText.clear();
        SetCaption("数据校验" + CaptionSuffix);
        Application->MessageBox(NoStepsMessage(), "提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    Table2->SetTableName(Table3->FieldByName("check_result")->AsString());
    ResultText = Table3->FieldByName("text3")->AsString();
    SetCaption(Table3->FieldByName("text1")->AsString() + CaptionSuffix);
    Table2->Open();
}

void TF_check::FormClose(TObject*, TCloseAction&)
{
    Table2->Close();
    Table3->Close();
}

bool TF_check::PrintableResult()
{
    if (!Table2->TableName().empty()) {
        return true;
    }
    Application->MessageBox(NoStepsMessage(), "提示", MB_OK | MB_ICONINFORMATION);
    return false;
}

void TF_check::PrepareCheckPrint()
{
    DataSource1->SetEnabled(false);
    // The grid comes back whatever fails on the way (a missing heading table), not only after a new run.
    struct Reattach {
        TDataSource* source;
        ~Reattach() { source->SetEnabled(true); }
    } reattach{DataSource1};
    if (!Table2->Active()) {
        Table2->Open();
    }
    F_check_p->SetResult(Table2->TableName(), Caption());
    F_check_p->Table1->Open();
}

bool TF_check::ReadyCheckPrint()
{
    if (!PrintableResult()) {
        return false;
    }
    if (!F_check_p) {
        Application->CreateForm(&F_check_p);
    }
    PrepareCheckPrint();
    return true;
}

void TF_check::Button4Click(TObject*)
{
    if (ReadyCheckPrint()) {
        F_check_p->QuickRep1->Preview();
    }
}

void TF_check::Button1Click(TObject*)
{
    if (ReadyCheckPrint()) {
        F_check_p->QuickRep1->Print();
    }
}

void TF_check::DBGrid1DblClick(TObject*)
{
    if (!Table2->Active()) {
        return;
    }
    LocateValue = Table2->FieldByName("编号")->AsString();
    LocateValue2.clear();
    LocateFaultField.clear();
    LocatePending = true;
    for (const JumpTarget& t : kJumpTargets) {
        if (t.report != ReportKind) {
            continue;
        }
        LocateField = t.field;
        if (t.detail) {
            const TField* code2 = Table2->FindField("code2");
            LocateValue2 = code2 ? code2->AsString() : std::string();
            LocateFaultField = Table2->FieldByName("字段名")->AsString();
        }
        if (TForm* f = OpenWindow(t.className)) {
            f->SetCaption(t.caption + CaptionSuffix);
            f->ShowModal();
        }
        return;
    }
}

void TF_check::Button5Click(TObject* Sender) { DBGrid1DblClick(Sender); }

void TF_check::Button2Click(TObject*) { Close(); }

namespace {

const ClassBuilder<TF_check> kCheckClass("TF_check", "TForm", [](ClassBuilder<TF_check>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_check::FormActivate);
    c.Handler("FormClose", &TF_check::FormClose);
    c.Handler("RunCheck", &TF_check::RunCheck);
    c.Handler("Button4Click", &TF_check::Button4Click);
    c.Handler("Button1Click", &TF_check::Button1Click);
    c.Handler("Button5Click", &TF_check::Button5Click);
    c.Handler("Button2Click", &TF_check::Button2Click);
    c.Handler("DBGrid1DblClick", &TF_check::DBGrid1DblClick);
});

const FormSlot<TF_check> kCheckSlot("TF_check", &F_check);

}  // namespace
