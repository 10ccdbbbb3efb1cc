#include "entry/Dxkjy.h"

#include "app/Main.h"
#include "platform/ui/FormFactory.h"

namespace {

TEntrySetup DxkjySetup()
{
    TEntrySetup s;
    s.tables = {
        {.table = "Table1", .source = "DataSource1", .fileName = "dx.db", .ruleTable = "dx_chk",
         .countingField = "dx_one", .keyFields = "CODE", .index = "dx", .keyEdit = "DBEdit78",
         .duplicateText = "编号重复", .errorPrefix = "数据错误:"},
        {.table = "Table2", .source = "DataSource2", .fileName = "dxzfqy.db", .ruleTable = "dxzfqy_chk",
         .countingField = "dxzfqy_one", .keyFields = "CODE;CODE2", .master = 0, .index = "dx3",
         .keyEdit = "DBEdit130", .noSerialText = "企业编号不能为空", .noMasterKeyText = "大学园编号不能为空",
         .enterKeyFirstText = "请先填入大学园编号", .duplicateText = "企业编号重复", .errorPrefix = "企业数据错误:"},
        {.table = "Table3", .source = "DataSource3", .fileName = "dxxm.db", .ruleTable = "dxxm_chk",
         .countingField = "dxxm_one", .keyFields = "Code;Code2", .master = 0, .index = "dxxm",
         .noSerialText = "项目编号不能为空", .noMasterKeyText = "大学园编号不能为空",
         .enterKeyFirstText = "请先填入大学园编号", .duplicateText = "项目编号重复", .errorPrefix = "项目数据错误:"},
    };
    s.detailPages = {{"TabSheet3", 1, "", "", ""}, {"TabSheet5", 2, "DBGrid1", "", ""}};
    s.coverPage = "TabSheet1";
    // The window's own tables and the check's result table (the send list names the tables the check
    // registers), so that a stored edit makes the report pass the check again.
    s.sendListStatement = "delete from sendname.db where name='dx.db' or name='dxzfqy.db' or name='dxxm.db' or "
                          "name='dx_r.db'";
    s.statusKeyLabel = "报表编号";
    s.statusBlank = true;
    s.locateDetail = 1;
    return s;
}

}  // namespace

std::vector<ImportPosition> DxkjyImportPositions()
{
    std::vector<ImportPosition> p(3);
    p[0].keyFields = {"CODE"};
    p[0].countingField = "dx_one";
    p[0].keyIndex = "dx";
    p[0].restoreIndexFieldNames = "id";
    p[0].title = "请选择大学科技园数据库  文件名:dx.db";
    p[0].question = "是否清空大学科技园数据库";
    p[1].keyFields = {"CODE", "CODE2"};
    p[1].countingField = "dxzfqy_one";
    p[1].masterFields = "code";
    p[1].title = "请选择大学科技园在孵企业数据库  文件名:dxzfqy.db";
    p[1].question = "是否清空大学科技园在孵企业数据库数据库";
    p[2].keyFields = {"CODE", "CODE2"};
    p[2].countingField = "dxxm_one";
    p[2].masterFields = "code";
    p[2].title = "请选择大学科技园项目数据库（大学园填）  文件名:dxxm.db";
    p[2].question = "是否清空大学科技园项目数据库数据库";
    return p;
}

TF_dxkjy::TF_dxkjy(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescription("TF_dxkjy");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    Table3 = Get<TTable>("Table3");
    DataSource1 = Get<TDataSource>("DataSource1");
    DataSource2 = Get<TDataSource>("DataSource2");
    DataSource3 = Get<TDataSource>("DataSource3");
    DBEdit78 = Get<TDBEdit>("DBEdit78");
    DBEdit130 = Get<TDBEdit>("DBEdit130");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    TabSheet1 = Get<TTabSheet>("TabSheet1");
    TabSheet3 = Get<TTabSheet>("TabSheet3");
    TabSheet5 = Get<TTabSheet>("TabSheet5");
    Bind(DxkjySetup());
}

void TF_dxkjy::ToolButton9Click(TObject*) { AppendSubmittedTables(*this, DxkjyImportPositions()); }

namespace {

const ClassBuilder<TF_dxkjy> kDxkjyClass("TF_dxkjy", "TForm", [](ClassBuilder<TF_dxkjy>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1", "Table2", "Table3"}, {"DataSource1", "DataSource2", "DataSource3"}, {});
});

const FormSlot<TF_dxkjy> kDxkjySlot("TF_dxkjy", &F_dxkjy);

}  // namespace
