// TF_report: the print list of the report chosen on the main window. It lists the rows of "rept_db.db", ticked
// for the report, and prints or previews every ticked entry: a summary or list through its builder and report
// form (the builders are in Builders.cpp), a table printed as it is through its form, or a check result table
// through the check print form.
#pragma once

#include "app/Forms.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/ToolBar.h"

namespace print {
struct Statement;
}

// The report kind for which the list was last filled; 0 when it has not been filled (or its filling failed).
extern int PrintListKind;

enum class PrintTarget { Printer, Preview };

class TF_report : public TForm {
public:
    explicit TF_report(TComponent* owner);

    TCheckListBox* CheckListBox1;
    TListBox* ListBox1;  // invisible: line i holds the print key or check table of CheckListBox1's line i
    TQuery* Query1;      // the builders' statements
    TToolButton* ToolButton2;
    TToolButton* ToolButton3;
    TToolButton* ToolButton4;
    TToolButton* ToolButton5;

    void FormActivate(TObject* Sender);
    void ToolButton2Click(TObject* Sender);
    void ToolButton3Click(TObject* Sender);
    void ToolButton4Click(TObject* Sender);
    void ToolButton5Click(TObject* Sender);
    void CheckListBox1DblClick(TObject* Sender);
    // Builds and prints (or previews, one after another) every ticked entry in list order.
    void PrintSelectedReports(PrintTarget target);

    // The builders: each rewrites its work table from the report tables (Builders.cpp).
    void BuildIndustrialList();
    void BuildServiceList();
    void BuildLargeEnterpriseList(int mode);
    void BuildZoneSummary();
    void BuildSoftwareSummary();
    void BuildLocalProjectSummary();
    void BuildNationalProjectSummary();

private:
    void FillList();
    void PrintCheckTable(int line, PrintTarget target);
    void OpenStatement(const std::vector<std::string>& lines);
    void SaveStatement(const print::Statement& statement);
};
