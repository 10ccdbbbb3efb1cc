#include "entry/Rjjd.h"

#include "app/Main.h"
#include "platform/ui/FormFactory.h"

namespace {

TEntrySetup RjjdSetup()
{
    TEntrySetup s;
    s.tables = {
        {.table = "Table1", .source = "DataSource1", .fileName = "rjjd.db", .ruleTable = "rjjd_chk",
         .countingField = "rjjd_one", .keyFields = "Code", .index = "rjjd", .keyEdit = "DBEdit100",
         .duplicateText = "报表编号重复", .errorPrefix = "数据错误:"},
        {.table = "Table2", .source = "DataSource2", .fileName = "rjjdqy.db", .ruleTable = "rjjdqy_chk",
         .countingField = "rjjd2_one", .keyFields = "Code;Code2", .master = 0, .index = "rjjdqy",
         .keyEdit = "DBEdit149", .noSerialText = "企业编号不能为空", .noMasterKeyText = "软件基地编号不能为空",
         .enterKeyFirstText = "请先填入软件基地编号", .duplicateText = "企业编号重复", .errorPrefix = "数据错误:"},
        {.table = "Table3", .source = "DataSource3", .fileName = "rjjdqycp.db", .ruleTable = "rjjdqycp_chk",
         .countingField = "rjjd3_one", .keyFields = "Code;Code2;Code3", .master = 1, .index = "rjjdqycp",
         .noSerialText = "产品序号不能为空", .noMasterKeyText = "软件基地编号或企业编号不能为空",
         .enterKeyFirstText = "请先填入软件基地编号或者企业编号", .duplicateText = "产品序号重复",
         .errorPrefix = "数据错误:"},
    };
    s.detailPages = {{"TabSheet3", 1, "", "", ""},
                     {"TabSheet4", 1, "", "", ""},
                     {"TabSheet6", 1, "", "", ""},
                     {"TabSheet5", 2, "DBGrid1", "DBGrid2", "ComboBox2"}};
    s.coverPage = "TabSheet1";
    s.sendListStatement = "delete from sendname.db where name='rjjd.db' or name='rjjdqy.db' or "
                          "name='rjjdqycp.db' or name='rjjd_r.db'";
    s.statusKeyLabel = "报表编号";
    s.statusBlank = true;
    s.locateDetail = 1;
    return s;
}

}  // namespace

std::vector<ImportPosition> RjjdImportPositions()
{
    std::vector<ImportPosition> p(3);
    p[0].keyFields = {"Code"};
    p[0].countingField = "rjjd_one";
    p[0].keyIndex = "rjjd";
    p[0].restoreIndexFieldNames = "id";
    p[0].title = "请选择软件基地数据库  文件名:rjjd.db";
    p[0].question = "是否清空软件基地数据库";
    p[1].keyFields = {"Code", "Code2"};
    p[1].countingField = "rjjd2_one";
    p[1].masterFields = "code";
    p[1].title = "请选择软件基地企业数据库  文件名:rjjdqy.db";
    p[1].question = "是否清空软件基地企业数据库数据库";
    p[2].keyFields = {"Code", "Code2", "Code3"};
    p[2].countingField = "rjjd3_one";
    p[2].masterFields = "code;code2";
    p[2].title = "请选择软件基地企业产品数据库  文件名:rjjdqycp.db";
    p[2].question = "是否清空软件基地企业产品数据库数据库";
    return p;
}

TF_rjjd::TF_rjjd(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescription("TF_rjjd");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    Table3 = Get<TTable>("Table3");
    DataSource1 = Get<TDataSource>("DataSource1");
    DataSource2 = Get<TDataSource>("DataSource2");
    DataSource3 = Get<TDataSource>("DataSource3");
    DBEdit100 = Get<TDBEdit>("DBEdit100");
    DBEdit149 = Get<TDBEdit>("DBEdit149");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    DBGrid2 = Get<TDBGrid>("DBGrid2");
    ComboBox2 = Get<TComboBox>("ComboBox2");
    TabSheet1 = Get<TTabSheet>("TabSheet1");
    TabSheet3 = Get<TTabSheet>("TabSheet3");
    TabSheet5 = Get<TTabSheet>("TabSheet5");
    Bind(RjjdSetup());
}

// The locate dialog searches the bases whatever page is shown; the base's scroll then sets lastCode and the
// status bar.
void TF_rjjd::StatusBar1DblClick(TObject*)
{
    LocateTable = Table1;
    LocateField = "code";
    LocateIndex = "rjjd";
    if (TForm* f = TFormFactory::Obtain(Setup().locateDialog)) {
        f->ShowModal();
    }
}

void TF_rjjd::ToolButton9Click(TObject*) { AppendSubmittedTables(*this, RjjdImportPositions()); }

namespace {

const ClassBuilder<TF_rjjd> kRjjdClass("TF_rjjd", "TForm", [](ClassBuilder<TF_rjjd>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1", "Table2", "Table3"}, {"DataSource1", "DataSource2", "DataSource3"},
                          {"ComboBox2"});
});

const FormSlot<TF_rjjd> kRjjdSlot("TF_rjjd", &F_rjjd);

}  // namespace
