// TF_db_tool: the table tool. It opens any table file (".db", ".dbf") in a grid for editing, runs a typed SQL
// statement, swaps rows and columns into "hljh.db", saves what it shows as a new table, prints it through the
// query-result page printer, and packs or empties the open table.
#pragma once

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"

class TF_db_tool : public TForm {
public:
    explicit TF_db_tool(TComponent* owner);

    TDBGrid* DBGrid1;
    TDBNavigator* DBNavigator1;
    TMemo* Memo1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;
    TButton* Button5;
    TButton* Button6;
    TButton* Button7;
    TButton* Button8;
    TTable* Table1;  // the opened file
    TTable* Table2;  // the writer of the swap
    TQuery* Query1;  // the typed statement and the swap result
    TDataSource* DataSource1;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void OpenTableFile();
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);
    void Query1AfterOpen(TDataSet* DataSet);

private:
    TDataSet* Shown() const;  // the data set the grid shows, or nullptr
    void StorePendingEdit();
    // Runs a step on the closed Table1 and opens it again, also when the step fails.
    template <class Step>
    void WithTableClosed(Step step);
};
