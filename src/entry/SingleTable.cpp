#include "entry/SingleTable.h"

#include "app/Main.h"
#include "platform/ui/FormFactory.h"

namespace {

// What the three windows share: one table keyed by its code, no cascade, no key in the status text, every
// button on every page.
struct SingleTable {
    const char* file;
    const char* rules;
    const char* key;
    const char* index;
    const char* counting;
    const char* duplicate;
    const char* sendList;
    const char* cover;
    const char* order;  // after a positioned opening and after an import
    bool writesPxh;
    const char* title;
    const char* question;
};

TEntrySetup SetupOf(const SingleTable& w)
{
    TEntrySetup s;
    s.tables = {{.table = "Table1", .source = "DataSource1", .fileName = w.file, .ruleTable = w.rules,
                 .countingField = w.counting, .keyFields = w.key, .index = w.index, .duplicateText = w.duplicate,
                 .errorPrefix = "数据错误:"}};
    s.coverPage = w.cover;
    s.sendListStatement = w.sendList;
    s.orderAfterLocate = w.order;
    return s;
}

ImportPosition PositionOf(const SingleTable& w)
{
    ImportPosition p;
    p.keyFields = {w.key};
    p.countingField = w.counting;
    p.keyIndex = w.index;
    p.restoreIndexFieldNames = w.order;
    p.writesPxh = w.writesPxh;
    p.title = w.title;
    p.question = w.question;
    return p;
}

const SingleTable kTzjg = {"tzjg.db", "tzjg_chk", "code", "tzjg", "tzjg_one", "编号重复",
                           "delete from sendname.db where name='tzjg.db' or name='kfqzh3_r.db'", "ScrollBox1", "code",
                           true, "请选择国家高新区创业投资机构情况数据库  文件名:tzjg.db",
                           "是否清空国家高新区创业投资机构情况数据库"};
const SingleTable kTsjd = {"tsjd.db", "tsjd_chk", "CODE", "tsjd", "Tsjd_one", "计划编号重复",
                           "delete from sendname.db where name='tsjd.db' or name='tsjd_r.db'", "TabSheet1", "id",
                           true, "请选择特色产业基地数据库  文件名:tsjd.db", "是否清空特色产业基地数据库"};
const SingleTable kSjgxq = {"sjgxq.db", "sjgxq_chk", "Code", "sjgxq", "Sjgxq_one", "编号重复",
                            "delete from sendname.db where name='sjgxq.db' or name='kfqzh3_r.db'", "ScrollBox1",
                            "code", false, "请选择省级高新技术产业开发区情况数据库  文件名:sjgxq.db",
                            "是否清空省级高新技术产业开发区情况数据库"};

}  // namespace

TSingleTableWindow::TSingleTableWindow(TComponent* owner, const std::string& className, TEntrySetup setup,
                                       ImportPosition position)
    : TEntryWindow(owner), position_(std::move(position))
{
    LoadDescription(className);
    Table1 = Get<TTable>("Table1");
    DataSource1 = Get<TDataSource>("DataSource1");
    Bind(std::move(setup));
}

void TSingleTableWindow::ToolButton9Click(TObject*) { AppendSubmittedTables(*this, {position_}); }

TF_tzjg::TF_tzjg(TComponent* owner) : TSingleTableWindow(owner, "TF_tzjg", SetupOf(kTzjg), PositionOf(kTzjg)) {}

TF_tsjd::TF_tsjd(TComponent* owner) : TSingleTableWindow(owner, "TF_tsjd", SetupOf(kTsjd), PositionOf(kTsjd)) {}

TF_sjgxq::TF_sjgxq(TComponent* owner) : TSingleTableWindow(owner, "TF_sjgxq", SetupOf(kSjgxq), PositionOf(kSjgxq))
{
}

namespace {

template <class W>
void RegisterSingleTable(ClassBuilder<W>& c)
{
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1"}, {"DataSource1"}, {});
}

const ClassBuilder<TF_tzjg> kTzjgClass("TF_tzjg", "TForm", RegisterSingleTable<TF_tzjg>);
const ClassBuilder<TF_tsjd> kTsjdClass("TF_tsjd", "TForm", RegisterSingleTable<TF_tsjd>);
const ClassBuilder<TF_sjgxq> kSjgxqClass("TF_sjgxq", "TForm", RegisterSingleTable<TF_sjgxq>);

const FormSlot<TF_tzjg> kTzjgSlot("TF_tzjg", &F_tzjg);
const FormSlot<TF_tsjd> kTsjdSlot("TF_tsjd", &F_tsjd);
const FormSlot<TF_sjgxq> kSjgxqSlot("TF_sjgxq", &F_sjgxq);

}  // namespace
