#include "entry/Kfq.h"

#include "app/Main.h"
#include "entry/KfqImport.h"
#include "platform/ui/FormFactory.h"

namespace {

TEntrySetup KfqSetup()
{
    TEntrySetup s;
    s.tables = {
        {.table = "Table1", .source = "DataSource1", .fileName = "kfq_1.db", .ruleTable = "kfq1_chk",
         .countingField = "qa_one", .keyFields = "qa01", .index = "kfq_1", .keyEdit = "DBEdit1",
         .duplicateText = "企业报表编号重复", .errorPrefix = "企业数据错误:"},
        {.table = "Table2", .source = "DataSource2", .fileName = "kfq_2.db", .ruleTable = "kfq2_chk",
         .countingField = "qe_one", .keyFields = "qa01;qe01", .master = 0, .index = "kfq_2",
         .noSerialText = "产品编号不能为空", .noMasterKeyText = "企业报表编号不能为空",
         .enterKeyFirstText = "请先填入企业报表编号", .duplicateText = "产品序号重复",
         .errorPrefix = "产品数据错误:"},
        {.table = "Table5", .source = "DataSource5", .fileName = "kfq_5.db", .ruleTable = "kfq5_chk",
         .countingField = "qh_one", .keyFields = "qa01;qh00", .master = 0, .index = "kfq_5",
         .noSerialText = "科技项目序号不能为空", .noMasterKeyText = "企业报表编号不能为空",
         .enterKeyFirstText = "请先填入企业报表编号", .duplicateText = "科技项目序号重复",
         .errorPrefix = "科技项目数据错误:"},
    };
    s.detailPages = {
        {"TabSheet5", 1, "DBGrid1", "DBGrid2", "ComboBox2"},
        {"TabSheet9", 2, "DBGrid5", "DBGrid6", "ComboBox3"},
    };
    s.coverPage = "TabSheet1";
    s.sendListStatement = "delete from sendname.db where name='kfq_1.db' or name='kfq_2.db' or name='kfq_5.db' "
                          "or name='kfq_6.db' or name='kfq_r.db'";
    s.importFailSuffix = ",请退出系统查检查重复记录";
    s.keyLabel = "Label2";
    s.keyLabelText = "报表编号";
    s.keyLabelReadOnlyText = "报表编号(只读)";
    s.statusKeyLabel = "报表编号";
    s.statusBlank = true;
    s.hidesEmptyPages = true;
    s.buttonsOnCoverOnly = true;
    s.locateDialog = "TF_change_r2";
    return s;
}

}  // namespace

TF_kfq::TF_kfq(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescription("TF_kfq");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    Table5 = Get<TTable>("Table5");
    DataSource1 = Get<TDataSource>("DataSource1");
    DataSource2 = Get<TDataSource>("DataSource2");
    DataSource5 = Get<TDataSource>("DataSource5");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    DBGrid2 = Get<TDBGrid>("DBGrid2");
    DBGrid5 = Get<TDBGrid>("DBGrid5");
    DBGrid6 = Get<TDBGrid>("DBGrid6");
    ComboBox2 = Get<TComboBox>("ComboBox2");
    ComboBox3 = Get<TComboBox>("ComboBox3");
    ToolButton11 = Get<TToolButton>("ToolButton11");
    TabSheet1 = Get<TTabSheet>("TabSheet1");
    DBEdit1 = Get<TDBEdit>("DBEdit1");
    Label2 = Get<TLabel>("Label2");
    Bind(KfqSetup());
}

std::string TF_kfq::RewordPostError(int table, const std::string& message)
{
    if (table != 0) {
        return message;
    }
    if (message.find("kfq_13") != std::string::npos) {
        return "企业名称重复";
    }
    if (message.find("kfq_12") != std::string::npos) {
        return "企业法人代码重复";
    }
    return message;
}

void TF_kfq::ToolButton9Click(TObject*) { KfqAppendData(*this); }

void TF_kfq::ToolButton11Click(TObject*) { KfqImportDisk(*this); }

namespace {

const ClassBuilder<TF_kfq> kKfqClass("TF_kfq", "TForm", [](ClassBuilder<TF_kfq>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1", "Table2", "Table5"}, {"DataSource1", "DataSource2", "DataSource5"},
                          {"ComboBox2", "ComboBox3"});
    c.Handler("ToolButton9Click", static_cast<void (TF_kfq::*)(TObject*)>(&TF_kfq::ToolButton9Click));
    c.Handler("ToolButton11Click", &TF_kfq::ToolButton11Click);
});

const FormSlot<TF_kfq> kKfqSlot("TF_kfq", &F_kfq);

}  // namespace
