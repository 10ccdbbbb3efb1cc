#include "entry/Kfqzh.h"

#include "app/Main.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"

namespace {

TEntrySetup KfqzhSetup()
{
    TEntrySetup s;
    s.tables = {{.table = "Table1", .source = "DataSource1", .fileName = "kfqzh.db", .ruleTable = "kzh_chk",
                 .errorPrefix = "数据错误:"}};
    s.coverPage = "TabSheet1";
    // The report's own table and the check's result table: a stored edit makes the report pass the check again.
    s.sendListStatement = "delete from sendname.db where name='kfqzh.db' or name='kfqzh_r.db'";
    return s;
}

}  // namespace

TF_kfqzh::TF_kfqzh(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescription("TF_kfqzh");
    Table1 = Get<TTable>("Table1");
    DataSource1 = Get<TDataSource>("DataSource1");
    Bind(KfqzhSetup());
}

// Set up once per showing; a later activation (back from a message box) changes nothing, not even the status.
void TF_kfqzh::FormActivate(TObject* Sender)
{
    if (!Table1->Active()) {
        TEntryWindow::FormActivate(Sender);
    }
}

// The overview is deleted as it stands; the table is not packed on closing, as nothing else refers to it.
void TF_kfqzh::ToolButton6Click(TObject*)
{
    if (Table1->State() != TDataSetState::dsInsert && Table1->IsEmpty()) {
        return;
    }
    if (Application->MessageBox("是否删除当前记录", "提示", MB_YESNO | MB_ICONQUESTION) == IDNO) {
        return;
    }
    const bool inserting = Table1->State() == TDataSetState::dsInsert;
    Table1->Cancel();
    if (!inserting) {
        Table1->Delete();
    }
    UpdateStatusBar();
}

namespace {

const ClassBuilder<TF_kfqzh> kKfqzhClass("TF_kfqzh", "TForm", [](ClassBuilder<TF_kfqzh>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1"}, {"DataSource1"}, {});
});

const FormSlot<TF_kfqzh> kKfqzhSlot("TF_kfqzh", &F_kfqzh);

}  // namespace
