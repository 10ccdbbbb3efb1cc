// "数据追加" of the enterprise window: submitted rows merged by key into the three tables, the question whether
// to empty a table first, skipped dialogs, dBase sources, and sources that are wrong or whose rows cannot be
// stored, after which the window is back in its normal state.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "entry/KfqImport.h"
#include "test_import_fixture.h"

namespace {

using importtest::ImportTest;
using Lines = std::vector<std::string>;

const char kTitle1[] = "请选择企业数据库  文件名:kfq_1.db";
const char kTitle2[] = "请选择产品数据库  文件名:kfq_2.db";
const char kTitle5[] = "请选择科技项目情况数据库  文件名:kfq_5.db";

class KfqAppend : public ImportTest {
protected:
    // Runs "数据追加" in the window, the user answering as script says, and checks the window's state afterwards.
    void Append(const std::function<void()>& script)
    {
        InKfq([&](TF_kfq& k) {
            script();
            KfqAppendData(k);
            ExpectNormalState(k);
            EXPECT_EQ(Page(k), "TabSheet1");
        });
    }
};

TEST_F(KfqAppend, KnownEnterprisesAreUpdatedFieldByFieldAndNewOnesAppended)
{
    AddRow("sendname.db", {{"id", "2"}, {"name", "kfq_1.db"}});
    AddRow("sendname.db", {{"id", "2"}, {"name", "gjxm.db"}});
    AddRow("kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "L100001"}, {"QA04", "旧名称"},
                        {"QA05", "旧地址"}, {"QA06", "100000"}, {"QC02", "5"}});
    // The submitted table lacks QA06: the held value stays. Its empty QC02 and QA05 arrive as 0 and empty.
    MakeSubmitted("kfq_1.db", "kfq_1.db", {"QA01", "QA03", "QA04", "QA05", "QC02"});
    AddRow(Submitted("kfq_1.db"), {{"QA01", "100001"}, {"QA03", "L100001"}, {"QA04", "新名称"}});
    AddRow(Submitted("kfq_1.db"), {{"QA01", "100002"}, {"QA03", "L100002"}, {"QA04", "新企业"}, {"QC02", "7.5"}});
    Append([&] {
        User().AnswerFile(Submitted("kfq_1.db"), kTitle1);
        Expect("", "是否清空企业数据库", IDNO);
        User().CancelFile(kTitle2).CancelFile(kTitle5);
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "QA01", "QA04", "QA05", "QA06", "QC02", "Qa_one"}),
              (Lines{"100001|100001|新名称||100000|0|1", "100002|100002|新企业|||7.5|1"}));
    // the imported enterprises must pass the check again before they can be sent
    EXPECT_EQ(Rows("sendname.db", {"name"}), Lines{"gjxm.db"});
}

// On an empty window only the cover shows; enterprises read in bring the other pages back, as a record the user
// starts does.
TEST_F(KfqAppend, EnterprisesReadIntoAnEmptyWindowShowEveryPage)
{
    MakeSubmitted("kfq_1.db", "kfq_1.db", {"QA01", "QA03", "QA04"});
    AddRow(Submitted("kfq_1.db"), {{"QA01", "100001"}, {"QA03", "L100001"}, {"QA04", "新企业"}});
    InKfq([&](TF_kfq& k) {
        EXPECT_FALSE(k.Get<TTabSheet>("TabSheet3")->TabVisible());
        User().AnswerFile(Submitted("kfq_1.db"), kTitle1);
        Expect("", "是否清空企业数据库", IDNO);
        User().CancelFile(kTitle2).CancelFile(kTitle5);
        KfqAppendData(k);
        for (const char* page : {"TabSheet2", "TabSheet3", "TabSheet5", "TabSheet9"})
            EXPECT_TRUE(k.Get<TTabSheet>(page)->TabVisible()) << page;
    });
}

struct EmptyingCase {
    const char* name;
    int answer;
    Lines products;
};
void PrintTo(const EmptyingCase& c, std::ostream* os) { *os << c.name; }

class KfqAppendEmptying : public KfqAppend, public testing::WithParamInterface<EmptyingCase> {};

TEST_P(KfqAppendEmptying, TheAnswerDecidesWhetherHeldProductsStay)
{
    AddEnterprise("100001");
    AddProduct("100001", "0001");
    MakeSubmitted("kfq_2.db", "kfq_2.db");
    SubmitProduct("100001", "0002", "上报产品");
    Append([&] {
        User().CancelFile(kTitle1).AnswerFile(Submitted("kfq_2.db"), kTitle2);
        Expect("", "是否清空产品数据库", GetParam().answer);
        User().CancelFile(kTitle5);
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01", "QE01", "QE02", "QE_ONE"}), GetParam().products);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, KfqAppendEmptying,
    testing::Values(EmptyingCase{"Yes", IDYES, {"1000010002|100001|0002|上报产品|1"}},
                    EmptyingCase{"No", IDNO, {"1000010001|100001|0001|产品0001|", "1000010002|100001|0002|上报产品|1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KfqAppend, ACancelledDialogStillOffersTheNextTables)
{
    AddEnterprise("100001");
    MakeSubmitted("kfq_5.db", "kfq_5.db");
    SubmitProject("100001", "0001", "上报项目");
    Append([&] {
        User().CancelFile(kTitle1).CancelFile(kTitle2).AnswerFile(Submitted("kfq_5.db"), kTitle5);
        Expect("", "是否清空科技项目情况数据库", IDNO);
    });
    EXPECT_EQ(Rows("kfq_5.db", {"Id", "Qa01", "Qh00", "Xmmc", "Qh_one"}), Lines{"1000010001|100001|0001|上报项目|1"});
}

TEST_F(KfqAppend, ADbaseSourceImportsLikeATableFile)
{
    AddEnterprise("100001");
    TTable dbf;
    dbf.SetTableName(Submitted("kfq_2.dbf"));
    dbf.FieldDefs.Add("QA01", TFieldType::String, 6);
    dbf.FieldDefs.Add("QE01", TFieldType::String, 4);
    dbf.FieldDefs.Add("QE02", TFieldType::String, 50);
    dbf.FieldDefs.Add("QE14", TFieldType::Float, 0);
    dbf.CreateTable();
    AddRow(Submitted("kfq_2.dbf"), {{"QA01", "100001"}, {"QE01", "0001"}, {"QE02", "软件产品"}, {"QE14", "12.5"}});
    AddRow(Submitted("kfq_2.dbf"), {{"QA01", "100001"}, {"QE01", "0002"}, {"QE02", "硬件产品"}});
    Append([&] {
        User().CancelFile(kTitle1).AnswerFile(Submitted("kfq_2.dbf"), kTitle2);
        Expect("", "是否清空产品数据库", IDNO);
        User().CancelFile(kTitle5);
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE01", "QE02", "QE14", "QE_ONE"}),
              (Lines{"1000010001|0001|软件产品|12.5|1", "1000010002|0002|硬件产品|0|1"}));
}

TEST_F(KfqAppend, ADetailRowOfAnotherEnterpriseIsFoundByItsKey)
{
    // The cover shows 100001 and its products only; the submitted product of 100002 still updates its row.
    AddEnterprise("100001");
    AddEnterprise("100002");
    AddProduct("100001", "0001");
    AddProduct("100002", "0001");
    MakeSubmitted("kfq_2.db", "kfq_2.db");
    SubmitProduct("100002", "0001", "改名产品");
    Append([&] {
        User().CancelFile(kTitle1).AnswerFile(Submitted("kfq_2.db"), kTitle2);
        Expect("", "是否清空产品数据库", IDNO);
        User().CancelFile(kTitle5);
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02"}), (Lines{"1000010001|产品0001", "1000020001|改名产品"}));
}

// A submitted product without its serial (or its enterprise) would be taken for the enterprise's first product
// and overwrite it: such rows are refused and named, and the others are read in.
TEST_F(KfqAppend, ADetailRowWithABlankKeyIsRefusedAndTheOthersAreReadIn)
{
    AddEnterprise("100001");
    AddProduct("100001", "0005");
    MakeSubmitted("kfq_2.db", "kfq_2.db");
    SubmitProduct("100001", "0001", "新一");
    SubmitProduct("100001", "", "无序号");
    SubmitProduct("", "0003", "无企业");
    SubmitProduct("100001", "0002", "新二");
    Append([&] {
        User().CancelFile(kTitle1).AnswerFile(Submitted("kfq_2.db"), kTitle2);
        Expect("", "是否清空产品数据库", IDNO);
        Expect("提示", "kfq_2.db 中以下记录的关键字段为空，未导入：\n第2条记录：QE01为空\n第3条记录：QA01为空");
        User().CancelFile(kTitle5);
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02"}), (Lines{"1000010001|新一", "1000010002|新二", "1000010005|产品0005"}));
}

// A source that cannot serve its table is refused before the question: the held rows stay.
struct BadSourceCase {
    const char* name;
    void (*make)(const ImportTest& t, const std::string& path);
    const char* messagePart;
};
void PrintTo(const BadSourceCase& c, std::ostream* os) { *os << c.name; }

class KfqAppendBadSource : public KfqAppend, public testing::WithParamInterface<BadSourceCase> {
};

TEST_P(KfqAppendBadSource, IsRefusedBeforeTheTableCanBeEmptied)
{
    AddEnterprise("100001");
    AddProduct("100001", "0001");
    const std::string path = Submitted("kfq_2.db");
    GetParam().make(*this, path);
    InKfq([&](TF_kfq& k) {
        User().CancelFile(kTitle1).AnswerFile(path, kTitle2);
        User().ExpectMessageContaining(Application->Title, GetParam().messagePart);
        RunGuarded([&] { KfqAppendData(k); });  // as the framework runs a handler: errors in the box
        ExpectNormalState(k);
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID"}), Lines{"1000010001"});
}

void ProjectsTable(const ImportTest&, const std::string& path)
{
    TTable model;
    model.SetTableName("kfq_5.db");
    model.Open();
    TTable t;
    t.SetTableName(path);
    t.FieldDefs.Assign(model.Schema().fields);
    model.Close();
    t.CreateTable();
}

void TruncatedFile(const ImportTest&, const std::string& path)
{
    std::ifstream in("kfq_2.db", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(path, std::ios::binary) << bytes.substr(0, bytes.size() / 3);
}

INSTANTIATE_TEST_SUITE_P(Sources, KfqAppendBadSource,
                         testing::Values(BadSourceCase{"AnotherTablesStructure", ProjectsTable,
                                                       "kfq_2.db”中没有字段“qe01”"},
                                         BadSourceCase{"TruncatedFile", TruncatedFile, "数据文件已损坏"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The window's upkeep after each move of the target is held while the rows are merged and done once at the
// end: the status bar and the last key are those of the first row, as the move back to it leaves them.
TEST_F(KfqAppend, TheStatusBarShowsTheFirstRowOnceTheImportEnds)
{
    AddEnterprise("100001", "L1");
    MakeSubmitted("kfq_1.db", "kfq_1.db");
    SubmitEnterprise("100003", "L3");
    SubmitEnterprise("100002", "L2");
    InKfq([&](TF_kfq& k) {
        F_main->Table1->SetTableName(Submitted("kfq_1.db"));
        EntryImportHost host(k);
        ImportTable(host, KfqImportPositions()[0]);
        EXPECT_TRUE(k.scrollUpkeep);
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100001  当前记录: 1  总记录: 3  未修改");
        EXPECT_EQ(k.lastCode, "100001");
    });
}

// After the imports the window shows its records as a fresh showing of them does: every edit, grid, the status
// bar and the key label follow the tables, whichever page and record the user started from, whether the rows
// were merged in one pass or stored one by one, and whether the window tidied its pages afterwards ("数据追加")
// or not (the imports alone, as "数据入库" runs them, the last target current).
struct ShownCase {
    const char* name;
    const char* page;  // shown before the import
    int record;        // of the master, before the import
    bool alone;        // ImportTable for each table, without "数据追加" around it
    const char* sql;   // run on the submitted enterprises
    const char* status;
};
void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }

class KfqAppendShown : public KfqAppend, public testing::WithParamInterface<ShownCase> {};

TEST_P(KfqAppendShown, TheWindowShowsItsRecordsAfresh)
{
    const ShownCase& c = GetParam();
    AddEnterprise("100001", "L1", "甲");
    AddEnterprise("100002", "L2", "乙");
    AddEnterprise("100003", "L3", "丙");
    AddProduct("100001", "0001");
    AddProduct("100002", "0001");
    AddProduct("100002", "0002");
    AddProject("100002", "01");
    MakeSubmittedDisk();
    AddRow(Submitted("kfq_1.db"), {{"QA01", "100002"}, {"QA03", "L2"}, {"QA04", "乙改名"}, {"QC02", "2.5"}});
    AddRow(Submitted("kfq_1.db"), {{"QA01", "100000"}, {"QA03", "L0"}, {"QA04", "零"}});
    SubmitProduct("100001", "0001", "甲的产品改名");
    SubmitProduct("100000", "0001", "零的产品");
    SubmitProject("100002", "01", "乙的项目改名");
    SubmitProject("100001", "02", "甲的新项目");
    SubmitProject("100000", "01", "零的项目");
    if (*c.sql != '\0') {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Submitted("kfq_1.db").c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    InKfq([&](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, c.page));
        k.Table1->SetRecNo(c.record);
        if (c.alone) {
            const std::vector<ImportPosition> positions = KfqImportPositions();
            TTable* targets[] = {k.Table1, k.Table2, k.Table5};
            EntryImportHost host(k);
            const char* files[] = {"kfq_1.db", "kfq_2.db", "kfq_5.db"};
            for (std::size_t i = 0; i < 3; ++i) {
                F_main->Table1->SetTableName(Submitted(files[i]));
                k.curTable = targets[i];
                ImportTable(host, positions[i]);
            }
        } else {
            User().AnswerFile(Submitted("kfq_1.db"), kTitle1);
            Expect("", "是否清空企业数据库", IDNO);
            User().AnswerFile(Submitted("kfq_2.db"), kTitle2);
            Expect("", "是否清空产品数据库", IDNO);
            User().AnswerFile(Submitted("kfq_5.db"), kTitle5);
            Expect("", "是否清空科技项目情况数据库", IDNO);
            KfqAppendData(k);
        }
        const Lines shown = Shown(k);
        EXPECT_EQ(shown, ShownAfresh(k));
        EXPECT_EQ(k.Table1->RecNo(), 1);
        EXPECT_EQ(k.lastCode, "100000");
        EXPECT_EQ(k.StatusBar1->SimpleText(), c.status);
        EXPECT_EQ(k.DBGrid1->Model()->rowCount(), 1);  // the products of 100000
    });
}

const char kFirstOfFour[] = "报表编号: 100000  当前记录: 1  总记录: 4  未修改";
const char kItsProject[] = "报表编号: 100000  当前记录: 1  总记录: 1  未修改";  // the last target's record

INSTANTIATE_TEST_SUITE_P(
    Starts, KfqAppendShown,
    testing::Values(ShownCase{"CoverOnTheSecond", "TabSheet1", 2, false, "", kFirstOfFour},
                    ShownCase{"ProductsOfTheLast", "TabSheet5", 3, false, "", kFirstOfFour},
                    ShownCase{"AloneFromProjectsOfTheFirst", "TabSheet9", 1, true, "", kItsProject},
                    ShownCase{"AloneFromTheCoverOnTheLast", "TabSheet1", 3, true, "", kItsProject},
                    // a name with a trailing blank: the enterprises are stored one by one
                    ShownCase{"StoredRowByRow", "TabSheet5", 2, false,
                              "UPDATE data SET QA04=QA04||' ' WHERE QA01='100000'", kFirstOfFour},
                    ShownCase{"AloneStoredRowByRow", "TabSheet1", 2, true,
                              "UPDATE data SET QA04=QA04||' ' WHERE QA01='100000'", kItsProject}),
    [](const auto& info) { return std::string(info.param.name); });

// A store that fails ends the import: the rows before it stay, the window is itself again and usable.
TEST_F(KfqAppend, ADuplicateLegalCodeEndsTheImportKeepingEarlierRows)
{
    AddEnterprise("100001", "L1");
    MakeSubmitted("kfq_1.db", "kfq_1.db");
    SubmitEnterprise("100002", "L2");
    SubmitEnterprise("100003", "L1");
    SubmitEnterprise("100004", "L4");
    InKfq([&](TF_kfq& k) {
        User().AnswerFile(Submitted("kfq_1.db"), kTitle1);
        Expect("", "是否清空企业数据库", IDNO);
        Expect(Application->Title, "企业数据错误:企业法人代码重复,请退出系统查检查重复记录");
        RunGuarded([&] { KfqAppendData(k); });  // as the framework runs a handler: errors in the box
        ExpectNormalState(k);
        // the window works on: a product typed for the current enterprise is stored under its key
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(Press(k.ToolButton5));
        k.Table2->FieldByName("QE01")->SetAsString("0001");
        ASSERT_TRUE(Press(k.ToolButton7));
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA03", "Qa_one"}), (Lines{"100001|L1|1", "100002|L2|1"}));
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01"}), Lines{"1000010001|100001"});
}

TEST_F(KfqAppend, AProductValueThatDoesNotFitEndsTheImportAndTheDetailIsLinkedAgain)
{
    AddEnterprise("100001");
    TTable wide;
    wide.SetTableName(Submitted("kfq_2.db"));
    wide.FieldDefs.Add("QA01", TFieldType::String, 6);
    wide.FieldDefs.Add("QE01", TFieldType::String, 4);
    wide.FieldDefs.Add("QE02", TFieldType::String, 80);
    wide.CreateTable();
    SubmitProduct("100001", "0001", "产品一");
    SubmitProduct("100001", "0002", std::string(60, 'x'));
    InKfq([&](TF_kfq& k) {
        User().CancelFile(kTitle1).AnswerFile(Submitted("kfq_2.db"), kTitle2);
        Expect("", "是否清空产品数据库", IDNO);
        User().ExpectMessageContaining(Application->Title, "QE02");
        RunGuarded([&] { KfqAppendData(k); });  // as the framework runs a handler: errors in the box
        ExpectNormalState(k);
        EXPECT_EQ(k.Table2->State(), TDataSetState::dsBrowse);
        EXPECT_EQ(k.Table2->RecordCount(), 1);
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02"}), Lines{"1000010001|产品一"});
}

}  // namespace
