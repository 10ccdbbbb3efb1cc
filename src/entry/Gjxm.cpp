#include "entry/Gjxm.h"

#include <filesystem>

#include "app/Main.h"
#include "platform/db/Names.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"

namespace {

constexpr const char* kStartUpList = "gjxm_s.dbf";

TEntrySetup GjxmSetup()
{
    TEntrySetup s;
    s.tables = {{.table = "Table1", .source = "DataSource1", .fileName = "gjxm.db", .ruleTable = "gjxm_chk",
                 .countingField = "GJ_ONE", .keyFields = "JB00", .index = "gjxm", .keyEdit = "DBEdit1",
                 .duplicateText = "统计编号重复", .errorPrefix = "数据错误:"}};
    s.coverPage = "TabSheet1";
    // The report's own table and the check's result table: a stored edit makes the report pass the check again.
    s.sendListStatement = "delete from sendname.db where name='gjxm.db' or name='gjxm_r.db'";
    s.statusKeyLabel = "项目编号";
    s.hidesEmptyPages = true;
    s.buttonsOnCoverOnly = true;
    return s;
}

}  // namespace

ImportPosition GjxmImportPosition(bool onlyEntered)
{
    ImportPosition p;
    p.keyFields = {"jb00"};
    p.countingField = "gj_one";
    p.keyIndex = "gjxm";
    p.restoreIndexFieldNames = "id";
    p.writesPxh = true;
    p.requiredField = onlyEntered ? "is_chge" : "";
    p.title = "请选择国家级项目数据库  文件名:gjxm.db";
    p.question = "是否清空国家级项目数据库";
    return p;
}

TF_gjxm::TF_gjxm(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescription("TF_gjxm");
    Table1 = Get<TTable>("Table1");
    DataSource1 = Get<TDataSource>("DataSource1");
    Bind(GjxmSetup());
}

void TF_gjxm::FormActivate(TObject* Sender)
{
    const bool settingUp = !Table1->Active();
    TEntryWindow::FormActivate(Sender);
    if (settingUp && Table1->IsEmpty() && std::filesystem::is_regular_file(db::ResolveTableName(kStartUpList))) {
        ImportStartUpList();
    }
}

// The issued list fills an empty table whole or not at all: rows left from a failed fill would keep the table
// from being empty, and the list would never be taken again. A failed fill is told and the window opens on its
// empty cover.
void TF_gjxm::ImportStartUpList()
{
    F_main->Table1->Close();
    F_main->Table1->SetTableName(kStartUpList);
    EntryImportHost host(*this);
    try {
        ImportTable(host, GjxmImportPosition(false));
    } catch (const std::exception& e) {
        Table1->Cancel();
        Table1->EmptyTable();
        ShowCover();
        SwitchPage();
        HideEmptyPages();
        Application->MessageBox(std::string("下发项目清单“") + kStartUpList + "”未能导入，国家级项目数据库保持为空：" +
                                    e.what(),
                                "错误窗口", MB_OK | MB_ICONERROR);
        return;
    }
    Table1->First();
    ShowCover();
    SwitchPage();
}

void TF_gjxm::ToolButton5Click(TObject* Sender)
{
    TEntryWindow::ToolButton5Click(Sender);
    Table1->FieldByName("IS_CHGE")->SetAsString("2");
    UpdateStatusBar();
}

void TF_gjxm::ToolButton6Click(TObject* Sender)
{
    const bool inserting = Table1->State() == TDataSetState::dsInsert;
    if (inserting || Table1->IsEmpty() || Table1->FieldByName("IS_CHGE")->AsString() == "2") {
        // An added project, or a record being inserted: the shared delete, which only cancels a new record.
        TEntryWindow::ToolButton6Click(Sender);
        return;
    }
    if (Application->MessageBox("是否清空当前记录", "提示", MB_YESNO | MB_ICONQUESTION) == IDNO) {
        return;
    }
    ClearIssuedRecord();
    Table1->FlushBuffers();
    UpdateStatusBar();
}

// An issued project goes back to the list as it was issued: its number, name and project number stay, every
// number becomes 0 and everything else, its kind included, is emptied.
void TF_gjxm::ClearIssuedRecord()
{
    const bool checking = checkEnabled;
    std::string kept[3];
    const char* const keptFields[3] = {"JB00", "JB01", "JB02"};
    for (int i = 0; i < 3; ++i) {
        kept[i] = Table1->FieldByName(keptFields[i])->AsString();
    }
    if (checking) {
        Table1->DisableConstraints();
    }
    clearing_ = true;
    try {
        Table1->Edit();
        Table1->ClearFields();
        for (int i = 0; i < 3; ++i) {
            Table1->FieldByName(keptFields[i])->SetAsString(kept[i]);
        }
        Table1->Post();
    } catch (...) {
        clearing_ = false;
        if (checking) {
            Table1->EnableConstraints();
        }
        throw;
    }
    clearing_ = false;
    if (checking) {
        Table1->EnableConstraints();
    }
}

void TF_gjxm::ToolButton9Click(TObject*) { AppendSubmittedTables(*this, {GjxmImportPosition(true)}); }

void TF_gjxm::TableBeforePost(TDataSet* DataSet)
{
    TEntryWindow::TableBeforePost(DataSet);
    // An import (the cascade is off while it runs) copies the kind the list gives; a clear leaves it empty.
    TField* kind = Table1->FieldByName("IS_CHGE");
    if (cascadeEnabled && !clearing_ && kind->IsNull()) {
        kind->SetAsString("1");
    }
}

std::string TF_gjxm::RewordPostError(int, const std::string& message)
{
    return message == "Key violation in unique index gjxm." ? std::string("统计编号重复") : message;
}

std::string TF_gjxm::StatusSuffix() const
{
    if (!Table1->Active()) {
        return {};
    }
    const std::string kind = Table1->FieldByName("IS_CHGE")->AsString();
    return kind == "1" ? "  下发清单记录，已录入" : kind == "2" ? "  新增加记录" : "  下发清单记录，未录入";
}

namespace {

const ClassBuilder<TF_gjxm> kGjxmClass("TF_gjxm", "TForm", [](ClassBuilder<TF_gjxm>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1"}, {"DataSource1"}, {});
});

const FormSlot<TF_gjxm> kGjxmSlot("TF_gjxm", &F_gjxm);

}  // namespace
