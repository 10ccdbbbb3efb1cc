// TF_bhcl ("编号处理"): the report-number check before a submitted enterprise disk is imported. It copies the
// submitted kfq_1.db, kfq_2.db and kfq_5.db into "tmp\", lists the submitted enterprises in bhcl.DB, applies
// the new report numbers the user types to all three copies, and closes with ImportConfirmed still true (and
// the modal result mrOk) only when no submitted enterprise collides with one already held (same legal-person
// code under another report number, or the same report number under another code).
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressBar.h"

// "tmp\kfq_1.db", "tmp\kfq_2.db", "tmp\kfq_5.db" for positions 0, 1, 2.
std::string BhclCopyName(int position);
// Deletes the three copies; missing ones are passed over.
void RemoveBhclCopies();

class TF_bhcl : public TForm {
public:
    explicit TF_bhcl(TComponent* owner);

    TLabel* Label1;
    TLabel* Label2;
    TDBGrid* DBGrid1;
    TButton* Button1;
    TButton* Button2;
    TProgressBar* ProgressBar1;
    TTable* Table1;
    TTable* Table2;
    TDataSource* DataSource1;
    TQuery* Query1;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Table1AfterPost(TDataSet* DataSet);

private:
    void ReloadBhclGrid();
    void ApplyRenumbering();
    bool CheckReportNumberConflicts();  // true when conflicts were found; the grid then lists them
    void EmptyGrid();
};
