// "数据入库" of the enterprise window through the report-number check TF_bhcl: the copies in "tmp\", the list of
// submitted enterprises, renumbering (one mapping per press, so chains and swaps move each enterprise once),
// the collisions with held enterprises, refusals, and the copies deleted whatever the outcome.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "entry/Bhcl.h"
#include "entry/KfqImport.h"
#include "test_import_fixture.h"

namespace {

using importtest::ImportTest;
using Lines = std::vector<std::string>;
using Renumbering = std::vector<std::pair<std::string, std::string>>;

const char kDiskTitle[] = "请选择上报企业数据的磁盘目录";

class DiskImport : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        MakeSubmittedDisk();
    }

    // "数据入库" with the submitted kfq_1.db chosen; inCheck acts in TF_bhcl and must close it (none: the
    // window does not stay open).
    void ImportDisk(const std::function<void(TF_bhcl&)>& inCheck, const std::function<void()>& messages = {})
    {
        InKfq([&](TF_kfq& k) {
            User().AnswerFile(Submitted("kfq_1.db"), kDiskTitle);
            if (messages) {
                messages();
            }
            if (inCheck) {
                User().InModal("TF_bhcl", [&](TForm& f) { inCheck(dynamic_cast<TF_bhcl&>(f)); });
            }
            RunGuarded([&] { KfqImportDisk(k); });
            ExpectNormalState(k);
            EXPECT_EQ(Page(k), "TabSheet1");
            EXPECT_EQ(F_main->OpenDialog1->Filter, "*.db;*.dbf|*.db;*.dbf");
            EXPECT_EQ(F_main->OpenDialog1->FileName, "");
        });
        EXPECT_FALSE(CopiesLeft());
    }

    static Lines Grid(TF_bhcl& b)
    {
        Lines out;
        for (b.Table1->First(); !b.Table1->Eof(); b.Table1->Next()) {
            out.push_back(b.Table1->FieldByName("原报表编号")->AsString() + "|" +
                          b.Table1->FieldByName("修改后编号")->AsString() + "|" +
                          b.Table1->FieldByName("法人代码")->AsString());
        }
        return out;
    }
    // Types a new number over the nth (0: first) grid row of a submitted enterprise.
    static void Renumber(TF_bhcl& b, const std::string& from, const std::string& to, int nth = 0)
    {
        for (b.Table1->First(); !b.Table1->Eof(); b.Table1->Next()) {
            if (b.Table1->FieldByName("原报表编号")->AsString() == from && nth-- == 0) {
                b.Table1->Edit();
                b.Table1->FieldByName("修改后编号")->SetAsString(to);
                return;  // stored by the button's press or the next move
            }
        }
        ADD_FAILURE() << "no grid row " << from;
    }

    // The submitted disk as a copy of a data folder: the data folder's (empty) enterprise tables, with their
    // unique indexes; the rows carry their record identity, as a data folder's do.
    void MakeIndexedDisk()
    {
        for (const char* n : {"kfq_1.db", "kfq_2.db", "kfq_5.db"}) {
            std::filesystem::copy_file(n, Submitted(n), std::filesystem::copy_options::overwrite_existing);
        }
        indexed_ = true;
    }
    void Submit(const std::string& code, const std::string& legal)
    {
        if (indexed_) {
            AddRow(Submitted("kfq_1.db"), {{"Id", code}, {"QA01", code}, {"QA03", legal}, {"QA04", "上报" + code}});
        } else {
            SubmitEnterprise(code, legal);
        }
    }
    void SubmitDetail(const char* table, const std::string& code, const std::string& serial, const std::string& name)
    {
        const bool products = std::string(table) == "kfq_2.db";
        entrytest::Values row = {{"QA01", code}, {products ? "QE01" : "Qh00", serial}, {products ? "QE02" : "Xmmc", name}};
        if (indexed_) {
            row.emplace_back(products ? "ID" : "Id", code + serial);
        }
        AddRow(Submitted(table), row);
    }

    bool indexed_ = false;
};

TEST_F(DiskImport, AllNewEnterprisesPassAtTheFirstPressAndAreImported)
{
    AddEnterprise("100001", "L1");
    SubmitEnterprise("100002", "L2");
    SubmitProduct("100002", "0001", "上报产品");
    SubmitProject("100002", "0001", "上报项目");
    ImportDisk([](TF_bhcl& b) {
        EXPECT_EQ(b.Caption(), "编号处理");
        EXPECT_EQ(b.Width(), 671);
        EXPECT_EQ(b.Height(), 333);
        EXPECT_EQ(b.Button1->Caption(), "检查报表编号并执行数据入库");
        EXPECT_EQ(b.Button2->Caption(), "返回");
        const struct {
            const char* field;
            int width;
            bool readOnly;
        } columns[] = {{"原报表编号", 77, true}, {"修改后编号", 78, false}, {"法人代码", 104, true}, {"企业名称", 314, true}};
        ASSERT_EQ(b.DBGrid1->ColumnCount(), 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(b.DBGrid1->Columns()[i]->FieldName(), columns[i].field);
            EXPECT_EQ(b.DBGrid1->Columns()[i]->Width(), columns[i].width) << columns[i].field;
            EXPECT_EQ(b.DBGrid1->Columns()[i]->ReadOnly(), columns[i].readOnly) << columns[i].field;
        }
        EXPECT_EQ(b.Label1->Caption(), "上报盘中的企业清单，如要修改报表编号，请在下面第二栏进行修改");
        EXPECT_EQ(b.Label2->Caption(), "请注意：如果上报数据中法人代码与库中代码相同但报表编号不同刚不能执行入库");
        EXPECT_EQ(Grid(b), Lines{"100002|100002|L2"});
        EXPECT_TRUE(std::filesystem::exists("tmp/kfq_5.db"));
        ASSERT_TRUE(Press(b.Button1));
        EXPECT_TRUE(b.ModalDone());
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "QA03", "Qa_one"}), (Lines{"100001|L1|1", "100002|L2|1"}));
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02", "QE_ONE"}), Lines{"1000020001|上报产品|1"});
    EXPECT_EQ(Rows("kfq_5.db", {"Id", "Xmmc", "Qh_one"}), Lines{"1000020001|上报项目|1"});
}

TEST_F(DiskImport, ALegalCodeHeldUnderAnotherNumberIsListedUntilRenumberedToIt)
{
    AddEnterprise("100001", "L1", "旧名称");
    SubmitEnterprise("100009", "L1", "新名称");
    SubmitProduct("100009", "0001", "上报产品");
    ImportDisk([](TF_bhcl& b) {
        ASSERT_TRUE(Press(b.Button1));
        ASSERT_FALSE(b.ModalDone());
        EXPECT_EQ(b.Label1->Caption(), "以下为法人代码相同但报表编号不同、或者报表编号相同但法人代码不同的企业");
        EXPECT_EQ(b.Label2->Caption(), "请在第二栏修改报表编号");
        EXPECT_EQ(Grid(b), Lines{"100009|100009|L1"});
        Renumber(b, "100009", "100001");
        ASSERT_TRUE(Press(b.Button1));
        EXPECT_TRUE(b.ModalDone());
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "QA03", "QA04"}), Lines{"100001|L1|新名称"});
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01"}), Lines{"1000010001|100001"});
}

TEST_F(DiskImport, ACollisionWithTwoHeldEnterprisesIsListedTwiceAndReturnCancels)
{
    AddEnterprise("100001", "L1");
    AddEnterprise("100002", "L2");
    SubmitEnterprise("100002", "L1", "上报企业");
    ImportDisk([](TF_bhcl& b) {
        ASSERT_TRUE(Press(b.Button1));
        EXPECT_EQ(Grid(b), (Lines{"100002|100002|L1", "100002|100002|L1"}));
        ASSERT_TRUE(Press(b.Button2));
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA03", "QA04"}), (Lines{"100001|L1|企业100001", "100002|L2|企业100002"}));
}

// Renumberings typed before one press, and what the import then holds.
struct RenumberCase {
    const char* name;
    Renumbering renumber;
    Lines enterprises;  // QA01|QA03
    Lines products;     // ID|QE02
    Lines projects;     // Id|Xmmc
};
void PrintTo(const RenumberCase& c, std::ostream* os) { *os << c.name; }

// Each case on a disk as a reporting unit hands it in (no indexes) and on a copy of a data folder, whose unique
// indexes must not decide the renumbering.
class DiskRenumbering : public DiskImport, public testing::WithParamInterface<std::tuple<RenumberCase, bool>> {};

TEST_P(DiskRenumbering, AppliesToEveryCopyAsOneMapping)
{
    const RenumberCase& c = std::get<0>(GetParam());
    if (std::get<1>(GetParam())) {
        MakeIndexedDisk();
    }
    Submit("100001", "L1");
    Submit("100002", "L2");
    SubmitDetail("kfq_2.db", "100001", "0001", "产品1");
    SubmitDetail("kfq_2.db", "100002", "0001", "产品2");
    SubmitDetail("kfq_5.db", "100001", "0001", "项目1");
    ImportDisk([&](TF_bhcl& b) {
        for (const auto& [from, to] : c.renumber) {
            Renumber(b, from, to);
        }
        ASSERT_TRUE(Press(b.Button1));
        EXPECT_TRUE(b.ModalDone());
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA03"}), c.enterprises);
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02"}), c.products);
    EXPECT_EQ(Rows("kfq_5.db", {"Id", "Xmmc"}), c.projects);
    // the submitted files themselves are never renumbered
    EXPECT_EQ(Rows(Submitted("kfq_1.db"), {"QA01"}), (Lines{"100001", "100002"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskRenumbering,
    testing::Combine(testing::Values(
        RenumberCase{"One",
                     {{"100001", "100005"}},
                     {"100002|L2", "100005|L1"},
                     {"1000020001|产品2", "1000050001|产品1"},
                     {"1000050001|项目1"}},
        RenumberCase{"Chain",
                     {{"100001", "100002"}, {"100002", "100003"}},
                     {"100002|L1", "100003|L2"},
                     {"1000020001|产品1", "1000030001|产品2"},
                     {"1000020001|项目1"}},
        RenumberCase{"Swap",
                     {{"100001", "100002"}, {"100002", "100001"}},
                     {"100001|L2", "100002|L1"},
                     {"1000010001|产品2", "1000020001|产品1"},
                     {"1000020001|项目1"}},
        RenumberCase{"QuoteInTheNumber", {{"100001", "10'01"}}, {"10'01|L1", "100002|L2"},
                     {"10'010001|产品1", "1000020001|产品2"}, {"10'010001|项目1"}}),
                     testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "OnAnIndexedDisk" : "");
    });

// A submitted enterprise that collides with two held ones is listed twice; each row's number is applied in
// the grid's order, so the first row's new number is the one that counts.
TEST_F(DiskImport, AnEnterpriseListedTwiceTakesTheFirstRowsNewNumber)
{
    AddEnterprise("100001", "L1");
    AddEnterprise("100002", "L2");
    SubmitEnterprise("100002", "L1", "上报企业");
    SubmitProduct("100002", "0001", "上报产品");
    ImportDisk([](TF_bhcl& b) {
        ASSERT_TRUE(Press(b.Button1));
        ASSERT_EQ(Grid(b), (Lines{"100002|100002|L1", "100002|100002|L1"}));
        Renumber(b, "100002", "100001", 0);
        Renumber(b, "100002", "100007", 1);  // would collide with 100001's legal-person code
        ASSERT_TRUE(Press(b.Button1));
        EXPECT_TRUE(b.ModalDone());
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA03", "QA04"}), (Lines{"100001|L1|上报企业", "100002|L2|企业100002"}));
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02"}), Lines{"1000010001|上报产品"});
}

// The check window's loop ended without the check passing (the program quitting): nothing is imported,
// whatever the flag said when the window opened.
TEST_F(DiskImport, ALoopEndedWithoutAPassedCheckImportsNothing)
{
    SubmitEnterprise("100002", "L2");
    ImportDisk([](TF_bhcl&) { Application->AbortModalLoops(true); });
    Application->AbortModalLoops(false);
    EXPECT_FALSE(ImportConfirmed);
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

TEST_F(DiskImport, TwoSubmittedEnterprisesEndingOnOneNumberAreRefused)
{
    SubmitEnterprise("100001", "L1");
    SubmitEnterprise("100002", "L2");
    SubmitProduct("100001", "0001", "产品1");
    ImportDisk([this](TF_bhcl& b) {
        Renumber(b, "100001", "100002");
        User().ExpectMessage("错误窗口", "修改后编号 100002 重复: 上报企业 100001 与 100002 不能使用同一报表编号");
        ASSERT_TRUE(Press(b.Button1));
        ASSERT_FALSE(b.ModalDone());
        // nothing was renumbered
        EXPECT_EQ(Rows("tmp\\kfq_1.db", {"QA01"}), (Lines{"100001", "100002"}));
        EXPECT_EQ(Rows("tmp\\kfq_2.db", {"QA01"}), Lines{"100001"});
        ASSERT_TRUE(Press(b.Button2));
    });
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

// Leaving without a passed check imports nothing, by "返回" or by the close box.
class DiskImportLeft : public DiskImport, public testing::WithParamInterface<bool> {};

TEST_P(DiskImportLeft, LeavesTheTablesUnchangedAndDeletesTheCopies)
{
    AddEnterprise("100001", "L1");
    SubmitEnterprise("100002", "L2");
    ImportDisk([](TF_bhcl& b) {
        if (GetParam()) {
            ASSERT_TRUE(Press(b.Button2));
        } else {
            b.Close();
        }
    });
    EXPECT_FALSE(ImportConfirmed);
    EXPECT_EQ(Rows("kfq_1.db", {"QA01"}), Lines{"100001"});
}

INSTANTIATE_TEST_SUITE_P(Ways, DiskImportLeft, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Return" : "CloseBox"; });

// A step of the check window's set-up that fails ends the import there: one message, and the window does not
// stay open on an empty list.
TEST_F(DiskImport, AMissingSubmittedFileIsReportedAndTheImportEnds)
{
    SubmitEnterprise("100002", "L2");
    std::filesystem::remove(Submitted("kfq_5.db"));
    ImportDisk({}, [this] { User().ExpectMessage("错误窗口", "上报数据中缺少文件: " + Submitted("kfq_5.db")); });
    EXPECT_FALSE(ImportConfirmed);
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

TEST_F(DiskImport, AMissingWorkFolderStopsTheCopyAndTheImport)
{
    SubmitEnterprise("100002", "L2");
    std::filesystem::remove_all("tmp");
    ImportDisk({}, [this] { User().ExpectMessageContaining(Application->Title, "tmp\\kfq_1.db"); });
    EXPECT_FALSE(ImportConfirmed);
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

TEST_F(DiskImport, AFileThatIsNoTableStopsTheCopyAndTheImport)
{
    SubmitEnterprise("100002", "L2");
    std::filesystem::remove(Submitted("kfq_2.db"));
    std::ofstream(Submitted("kfq_2.db")) << "not a table";
    ImportDisk({}, [this] { User().ExpectMessageContaining(Application->Title, "tmp\\kfq_2.db"); });
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

TEST_F(DiskImport, ACancelledDialogLeavesTablesAndWorkFolderAlone)
{
    AddEnterprise("100001", "L1");
    std::ofstream("tmp/kfq_1.db") << "left by someone";
    InKfq([this](TF_kfq& k) {
        F_main->OpenDialog1->FileName = "earlier.db";
        User().CancelFile(kDiskTitle);
        KfqImportDisk(k);
        EXPECT_EQ(F_main->OpenDialog1->Filter, "*.db;*.dbf|*.db;*.dbf");
        EXPECT_EQ(F_main->OpenDialog1->FileName, "");
        ExpectNormalState(k);
    });
    EXPECT_TRUE(std::filesystem::exists("tmp/kfq_1.db"));
    EXPECT_EQ(Rows("kfq_1.db", {"QA01"}), Lines{"100001"});
}

}  // namespace
