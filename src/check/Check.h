// TF_check: the check window. It shows the check result table of the current report, runs the report's
// catalogue steps into it (RunCheck, in CheckRun.cpp), prints or previews the result through TF_check_p and
// jumps from a result row to the faulty record in the report's data-entry window.
#pragma once

#include <string>

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"
#include "platform/ui/ProgressBar.h"

// Column that report 4's selects add after 字段值 (",is_chge"); empty for every other report.
extern std::string ExtraColumn;

class TF_check : public TForm {
public:
    explicit TF_check(TComponent* owner);

    TDBGrid* DBGrid1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;
    TButton* Button5;
    TProgressBar* ProgressBar1;
    TTable* Table1;   // rule or code table of the current step
    TTable* Table2;   // the result table
    TTable* Table3;   // the catalogue "check_db.DB"
    TTable* Table4;   // scratch "tmp.db" of the join rules
    TTable* Table5;   // scratch "tmp_r.DB" of the code-list batches
    TQuery* Query1;
    TDataSource* DataSource1;
    std::string ResultText;  // text3 of the report's first catalogue record: the result's mail line

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void RunCheck(TObject* Sender = nullptr);
    void Button4Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);
    void PrepareCheckPrint();
    void SaveQueryAsTable(const std::string& name);

private:
    bool PrintableResult();
    // The print window, created on first use and filled with the result; false when there is none.
    bool ReadyCheckPrint();
};
