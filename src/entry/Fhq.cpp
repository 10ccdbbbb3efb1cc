#include "entry/Fhq.h"

#include "app/Main.h"
#include "platform/ui/FormFactory.h"

namespace {

TEntrySetup FhqSetup()
{
    TEntrySetup s;
    s.tables = {
        {.table = "Table1", .source = "DataSource1", .fileName = "fhq.db", .ruleTable = "fhq_chk",
         .countingField = "fhq_one", .keyFields = "code", .index = "fhq", .keyEdit = "DBEdit78",
         .duplicateText = "编号重复", .errorPrefix = "数据错误:"},
        {.table = "Table2", .source = "DataSource2", .fileName = "fhqzfqy.db", .ruleTable = "fhqzfqy_chk",
         .countingField = "fhqzfqy_one", .keyFields = "code;code2", .master = 0, .index = "fhqzfqy",
         .keyEdit = "DBEdit130", .noSerialText = "在孵企业编号不能为空",
         .noMasterKeyText = "科技企业孵化器编号不能为空", .enterKeyFirstText = "请先填入大学科技企业孵化器编号",
         .duplicateText = "企业编号重复", .errorPrefix = "企业数据错误:"},
    };
    s.detailPages = {{"TabSheet3", 1, "", "", ""}};
    s.coverPage = "TabSheet1";
    // The window's own tables and the check's result table: a stored edit makes the report pass the check again.
    s.sendListStatement = "delete from sendname.db where name='fhq.db' or name='fhqzfqy.db' or name='fhq_r.db'";
    s.statusKeyLabel = "报表编号";
    s.statusBlank = true;
    s.locateDetail = 1;
    return s;
}

}  // namespace

std::vector<ImportPosition> FhqImportPositions()
{
    std::vector<ImportPosition> p(2);
    p[0].keyFields = {"code"};
    p[0].countingField = "fhq_one";
    p[0].keyIndex = "fhq";
    p[0].restoreIndexFieldNames = "id";
    p[0].writesPxh = false;
    p[0].title = "请选择科技企业孵化器数据库  文件名:fhq.db";
    p[0].question = "是否清空科技企业孵化器数据库";
    p[1].keyFields = {"code", "code2"};
    p[1].countingField = "fhqzfqy_one";
    p[1].masterFields = "code";
    p[1].writesPxh = false;
    p[1].title = "请选择科技企业孵化器在孵(毕业)企业数据库  文件名:fhqzfqy.db";
    p[1].question = "是否清空科技企业孵化器在孵(毕业)企业数据库数据库";
    return p;
}

TF_fhq::TF_fhq(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescription("TF_fhq");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    DataSource1 = Get<TDataSource>("DataSource1");
    DataSource2 = Get<TDataSource>("DataSource2");
    DBEdit78 = Get<TDBEdit>("DBEdit78");
    DBEdit130 = Get<TDBEdit>("DBEdit130");
    TabSheet1 = Get<TTabSheet>("TabSheet1");
    TabSheet3 = Get<TTabSheet>("TabSheet3");
    Bind(FhqSetup());
}

void TF_fhq::ToolButton9Click(TObject*) { AppendSubmittedTables(*this, FhqImportPositions()); }

namespace {

const ClassBuilder<TF_fhq> kFhqClass("TF_fhq", "TForm", [](ClassBuilder<TF_fhq>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1", "Table2"}, {"DataSource1", "DataSource2"}, {});
});

const FormSlot<TF_fhq> kFhqSlot("TF_fhq", &F_fhq);

}  // namespace
