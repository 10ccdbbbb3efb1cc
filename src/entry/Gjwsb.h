// TF_gjwsb: report 5, the national projects the unit has not entered (gj_wsb.db) with a reason code for each.
// The list is rebuilt from the issued project list (gjxm.db) on demand; the user only types the reasons, which a
// rebuild keeps for the projects that stay on the list.
#pragma once

#include <string>

#include "platform/db/Table.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/ToolBar.h"

class TF_gjwsb : public TForm {
public:
    explicit TF_gjwsb(TComponent* owner);

    TDBGrid* DBGrid1;
    TToolButton* ToolButton1;
    TToolButton* ToolButton7;
    TToolButton* ToolButton8;
    TToolButton* ToolButton10;
    TTable* Table1;
    TDataSource* DataSource1;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyPress(TObject* Sender, char& Key);
    void ToolButton1Click(TObject* Sender);   // "生成未上报项目清单"
    void ToolButton7Click(TObject* Sender);   // "存盘"
    void ToolButton8Click(TObject* Sender);   // "取消修改"
    void ToolButton10Click(TObject* Sender);  // "返回"
};

// Rebuilds the unreported list in the table file listPath from the projects of projectsTable ("gjxm.db") that
// carry no record kind. The query runs first and the rows are replaced in one transaction, so that a failure
// leaves the old list; a reason already typed for a project stays with it.
void BuildUnreportedList(const std::string& projectsTable, const std::string& listPath);
