// The print list window: filling the list from "rept_db.db", the ticks, and the print driver with its table
// of print keys.
#include "print/Report.h"

#include "app/Main.h"
#include "check/CheckPrint.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"
#include "print/CheckTables.h"
#include "print/ReportForms.h"

int PrintListKind = 0;

namespace {

// A print key names a report form and what happens before the form prints: a builder that rewrites its table
// (none: the table is printed as it comes) and a title set on the form. A list line whose text is no key, byte
// for byte, names a check result table.
struct PrintKey {
    const char* key;
    const char* formClass;
    void (*build)(TF_report&);
    const char* title;
};

// The run-time titles carry the year of every stored title (and of the main window).
const PrintKey kPrintKeys[] = {
    {"xmdcb", "TF_xmdcb_p", nullptr, nullptr},
    {"gjwsb", "TF_gjwsb_p", nullptr, nullptr},
    {"gjhz", "TF_gjhz_p", [](TF_report& r) { r.BuildNationalProjectSummary(); }, nullptr},
    {"dfwsb", "TF_dfwsb_p", nullptr, nullptr},
    {"dfhz", "TF_dfhz_p", [](TF_report& r) { r.BuildLocalProjectSummary(); }, nullptr},
    {"kfqhz", "TF_qyhz_p", [](TF_report& r) { r.BuildZoneSummary(); }, nullptr},
    {"dqy", "TF_dqy_p", [](TF_report& r) { r.BuildLargeEnterpriseList(1); },
     "2009年高新技术产业开发区（区外高新技术企业）总收入上亿元以上清单"},
    {"gyqy", "TF_gyqy_p", [](TF_report& r) { r.BuildIndustrialList(); }, nullptr},
    {"fwqy", "TF_fwqy_p", [](TF_report& r) { r.BuildServiceList(); }, nullptr},
    {"rjqyhz", "TF_rjqyhz_p", [](TF_report& r) { r.BuildSoftwareSummary(); }, nullptr},
    {"shqy", "TF_dqy_p", [](TF_report& r) { r.BuildLargeEnterpriseList(2); }, "2009年上市企业清单"},
};

const PrintKey* FindKey(const std::string& text)
{
    for (const PrintKey& k : kPrintKeys) {
        if (text == k.key) {
            return &k;
        }
    }
    return nullptr;
}

// The enterprises outside the zones (report 3) share the tables, and so the list, of report 1.
int PreTickKind(int kind) { return kind == 3 ? 1 : kind; }

void Output(TQuickRep* report, PrintTarget target)
{
    if (target == PrintTarget::Printer) {
        report->Print();
    } else {
        report->Preview();
    }
}

}  // namespace

TF_report::TF_report(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_report");
    CheckListBox1 = Get<TCheckListBox>("CheckListBox1");
    ListBox1 = Get<TListBox>("ListBox1");
    Query1 = Get<TQuery>("Query1");
    ToolButton2 = Get<TToolButton>("ToolButton2");
    ToolButton3 = Get<TToolButton>("ToolButton3");
    ToolButton4 = Get<TToolButton>("ToolButton4");
    ToolButton5 = Get<TToolButton>("ToolButton5");
    PrintListKind = 0;  // a new window's list is empty, whatever an earlier one held
}

void TF_report::FormActivate(TObject*) { FillList(); }

// The list is filled again only for another kind, so the user's ticks survive reopening the window. The rows
// are read before the list changes, and the kind is stored only once the list holds them: a failed read leaves
// an empty list that the next activation fills, never the list of another report.
void TF_report::FillList()
{
    if (PreTickKind(ReportKind) == PreTickKind(PrintListKind)) {
        return;
    }
    PrintListKind = 0;
    CheckListBox1->Clear();
    ListBox1->Clear();

    struct Row {
        std::string name, key;
        bool ticked;
    };
    std::vector<Row> rows;
    const int kind = PreTickKind(ReportKind);
    TTable* list = F_main->Table1;
    list->Close();
    list->SetTableName("rept_db.db");
    try {
        list->Open();
        for (list->First(); !list->Eof(); list->Next()) {
            TField* id = list->FieldByName("id");
            rows.push_back({list->FieldByName("report_name")->AsString(), list->FieldByName("report_p")->AsString(),
                            !id->IsNull() && id->AsInteger() == kind});
        }
    } catch (...) {
        list->Close();
        throw;
    }
    list->Close();

    for (const Row& r : rows) {
        const int line = CheckListBox1->Add(r.name);
        ListBox1->Add(r.key);
        CheckListBox1->SetChecked(line, r.ticked);
    }
    PrintListKind = ReportKind;
}

void TF_report::ToolButton2Click(TObject*)
{
    for (int i = 0; i < CheckListBox1->Count(); ++i) {
        CheckListBox1->SetChecked(i, false);
    }
}

void TF_report::ToolButton3Click(TObject*) { PrintSelectedReports(PrintTarget::Printer); }

void TF_report::ToolButton4Click(TObject*) { PrintSelectedReports(PrintTarget::Preview); }

void TF_report::ToolButton5Click(TObject*) { Close(); }

void TF_report::CheckListBox1DblClick(TObject*)
{
    const int line = CheckListBox1->ItemIndex();
    if (line >= 0) {
        CheckListBox1->SetChecked(line, !CheckListBox1->Checked(line));
    }
}

// A preview returns when its window closes, so each entry is built just before its own preview: "dqy" and
// "shqy" rewrite the same table and title and still each show their own.
void TF_report::PrintSelectedReports(PrintTarget target)
{
    if (!F_check_p) {
        Application->CreateForm(&F_check_p);
    }
    for (int i = 0; i < CheckListBox1->Count(); ++i) {
        if (!CheckListBox1->Checked(i)) {
            continue;
        }
        const PrintKey* key = FindKey(ListBox1->Item(i));
        if (!key) {
            PrintCheckTable(i, target);
            continue;
        }
        auto* form = dynamic_cast<TReportForm*>(TFormFactory::Obtain(key->formClass));
        if (key->build) {
            key->build(*this);
        }
        if (key->title) {
            form->QRLabel1->SetCaption(key->title);
        }
        Output(form->QuickRep1, target);
    }
}

void TF_report::PrintCheckTable(int line, PrintTarget target)
{
    const std::string table = ListBox1->Item(line);
    const std::string entry = CheckListBox1->Item(line);
    if (!print::CheckTableMade(table)) {
        // told, and the other entries still print: there is nothing of this one to print yet
        Application->MessageBox(print::MissingCheckTableText(entry, table), "错误窗口", MB_OK | MB_ICONERROR);
        return;
    }
    F_check_p->SetResult(table, print::CheckTableHeading(entry, table));
    Output(F_check_p->QuickRep1, target);
}

namespace {

const ClassBuilder<TF_report> kReportClass("TF_report", "TForm", [](ClassBuilder<TF_report>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_report::FormActivate);
    c.Handler("ToolButton2Click", &TF_report::ToolButton2Click);
    c.Handler("ToolButton3Click", &TF_report::ToolButton3Click);
    c.Handler("ToolButton4Click", &TF_report::ToolButton4Click);
    c.Handler("ToolButton5Click", &TF_report::ToolButton5Click);
    c.Handler("CheckListBox1DblClick", &TF_report::CheckListBox1DblClick);
});

const FormSlot<TF_report> kReportSlot("TF_report", &F_report);

}  // namespace
