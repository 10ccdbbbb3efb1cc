#include "print/DbTool.h"

#include "app/Main.h"
#include "entry/TableHelpers.h"
#include "print/SaveAsTable.h"
#include "print/SaveTarget.h"
#include "query/ColumnDialog.h"
#include "query/QueryPrint.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

TF_db_tool::TF_db_tool(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_db_tool");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    DBNavigator1 = Get<TDBNavigator>("DBNavigator1");
    Memo1 = Get<TMemo>("Memo1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button3 = Get<TButton>("Button3");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button6 = Get<TButton>("Button6");
    Button7 = Get<TButton>("Button7");
    Button8 = Get<TButton>("Button8");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    Query1 = Get<TQuery>("Query1");
    DataSource1 = Get<TDataSource>("DataSource1");
}

TDataSet* TF_db_tool::Shown() const
{
    return DataSource1->DataSet();
}

void TF_db_tool::StorePendingEdit()
{
    const TDataSetState s = DataSource1->State();
    if (s == TDataSetState::dsEdit || s == TDataSetState::dsInsert) {
        Table1->Post();
        Table1->FlushBuffers();
    }
}

void TF_db_tool::FormActivate(TObject*)
{
    GridCharWidth = DBGrid1->TextWidth("    ") * 0.25;
    if (Table1->Active() || Query1->Active()) {
        return;  // back from one of its dialogs
    }
    DataSource1->SetDataSet(nullptr);
    for (TButton* b : {Button2, Button6, Button7, Button8}) {
        b->SetEnabled(false);
    }
    OpenTableFile();
}

void TF_db_tool::OpenTableFile()
{
    StorePendingEdit();
    TOpenDialog* dialog = F_main->OpenDialog1;
    dialog->Title = "请选择数据库文件";
    if (!dialog->Execute()) {
        return;
    }
    // A file that cannot be opened leaves the tool as it was: the table shown before is shown again.
    const std::string before = Table1->TableName();
    const bool wasOpen = Table1->Active();
    Table1->Close();
    Table1->SetTableName(dialog->FileName);
    try {
        Table1->Open();
    } catch (...) {
        Table1->SetTableName(before);
        if (wasOpen) {
            Table1->Open();
        }
        throw;
    }
    DataSource1->SetDataSet(Table1);
    for (TButton* b : {Button2, Button6, Button7, Button8}) {
        b->SetEnabled(true);
    }
}

void TF_db_tool::Button1Click(TObject*)
{
    OpenTableFile();
}

void TF_db_tool::Button2Click(TObject*)
{
    TSaveDialog* dialog = F_main->SaveDialog1;
    dialog->Title = "请选择存盘文件名";
    if (!dialog->Execute()) {
        return;
    }
    const std::string name = WithFilterExtension(dialog->FileName, dialog->FilterIndex);
    if (!ConfirmSaveTarget(name)) {
        return;
    }
    SaveAsTable(Shown() == Table1 ? static_cast<TDataSet*>(Table1) : Query1, DBGrid1, name);
}

void TF_db_tool::Button3Click(TObject*)
{
    TDataSet* shown = Shown() == Table1 || Shown() == Query1 ? Shown() : nullptr;
    ShowQueryPrint(shown, DBGrid1, TQueryPrintShow::Modal);
}

void TF_db_tool::Button4Click(TObject*)
{
    Close();
}

void TF_db_tool::Button5Click(TObject*)
{
    Query1->SQL.SetText(Memo1->Text());
    Query1->Open();
    DataSource1->SetDataSet(Query1);
    Button2->SetEnabled(true);
    Button6->SetEnabled(true);
}

void TF_db_tool::Query1AfterOpen(TDataSet*)
{
    Button7->SetEnabled(false);
    Button8->SetEnabled(false);
}

void TF_db_tool::Button6Click(TObject*)
{
    TDataSet* source = Shown() == Table1 ? static_cast<TDataSet*>(Table1) : Query1;
    SwapRowsColumns(source, Table2);
    Query1->SQL.Clear();
    Query1->SQL.Add(std::string("Select * from ") + kSwapTableName);
    Query1->Open();
    DataSource1->SetDataSet(Query1);
}

void TF_db_tool::DBGrid1DblClick(TObject*)
{
    EditSelectedColumn(DBGrid1);
}

template <class Step>
void TF_db_tool::WithTableClosed(Step step)
{
    Table1->Close();
    try {
        step();
    } catch (...) {
        Table1->Open();
        throw;
    }
    Table1->Open();
}

void TF_db_tool::Button7Click(TObject*)
{
    if (Shown() != Table1) {
        return;
    }
    WithTableClosed([this] { PackParadoxTable(F_main->Database1->Handle(), Table1->TableName()); });
}

void TF_db_tool::Button8Click(TObject*)
{
    if (Shown() != Table1) {
        return;
    }
    if (Application->MessageBox("是否真要清空数据库", "提示信息", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    WithTableClosed([this] {
        Table1->EmptyTable();
        PackParadoxTable(F_main->Database1->Handle(), Table1->TableName());
    });
}

void TF_db_tool::FormClose(TObject*, TCloseAction&)
{
    StorePendingEdit();
    Table1->Close();
    Query1->Close();
}

namespace {

const ClassBuilder<TF_db_tool> kDbToolClass("TF_db_tool", "TForm", [](ClassBuilder<TF_db_tool>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_db_tool::FormActivate);
    c.Handler("FormClose", &TF_db_tool::FormClose);
    c.Handler("Button1Click", &TF_db_tool::Button1Click);
    c.Handler("Button2Click", &TF_db_tool::Button2Click);
    c.Handler("Button3Click", &TF_db_tool::Button3Click);
    c.Handler("Button4Click", &TF_db_tool::Button4Click);
    c.Handler("Button5Click", &TF_db_tool::Button5Click);
    c.Handler("Button6Click", &TF_db_tool::Button6Click);
    c.Handler("Button7Click", &TF_db_tool::Button7Click);
    c.Handler("Button8Click", &TF_db_tool::Button8Click);
    c.Handler("DBGrid1DblClick", &TF_db_tool::DBGrid1DblClick);
    c.Handler("Query1AfterOpen", &TF_db_tool::Query1AfterOpen);
});

const FormSlot<TF_db_tool> kDbToolSlot("TF_db_tool", &F_db_tool);

}  // namespace
