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

    // "数据入库" with the submitted kfq_1.db chosen; inCheck acts in TF_bhcl and must close it.
    void ImportDisk(const std::function<void(TF_bhcl&)>& inCheck, const std::function<void()>& messages = {})
    {
        InKfq([&](TF_kfq& k) {
            User().AnswerFile(Submitted("kfq_1.db"), kDiskTitle);
            if (messages) {
                messages();
            }
            User().InModal("TF_bhcl", [&](TForm& f) { inCheck(dynamic_cast<TF_bhcl&>(f)); });
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
    // Types a new number over the first grid row of a submitted enterprise.
    static void Renumber(TF_bhcl& b, const std::string& from, const std::string& to)
    {
        for (b.Table1->First(); !b.Table1->Eof(); b.Table1->Next()) {
            if (b.Table1->FieldByName("原报表编号")->AsString() == from) {
                b.Table1->Edit();
                b.Table1->FieldByName("修改后编号")->SetAsString(to);
                return;  // stored by the button's press or the next move
            }
        }
        ADD_FAILURE() << "no grid row " << from;
    }
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

class DiskRenumbering : public DiskImport, public testing::WithParamInterface<RenumberCase> {};

TEST_P(DiskRenumbering, AppliesToEveryCopyAsOneMapping)
{
    SubmitEnterprise("100001", "L1");
    SubmitEnterprise("100002", "L2");
    SubmitProduct("100001", "0001", "产品1");
    SubmitProduct("100002", "0001", "产品2");
    SubmitProject("100001", "0001", "项目1");
    ImportDisk([](TF_bhcl& b) {
        for (const auto& [from, to] : GetParam().renumber) {
            Renumber(b, from, to);
        }
        ASSERT_TRUE(Press(b.Button1));
        EXPECT_TRUE(b.ModalDone());
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA03"}), GetParam().enterprises);
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02"}), GetParam().products);
    EXPECT_EQ(Rows("kfq_5.db", {"Id", "Xmmc"}), GetParam().projects);
    // the submitted files themselves are never renumbered
    EXPECT_EQ(Rows(Submitted("kfq_1.db"), {"QA01"}), (Lines{"100001", "100002"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskRenumbering,
    testing::Values(
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
    [](const auto& info) { return std::string(info.param.name); });

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

TEST_F(DiskImport, AMissingSubmittedFileIsReportedAndNothingIsCopied)
{
    SubmitEnterprise("100002", "L2");
    std::filesystem::remove(Submitted("kfq_5.db"));
    ImportDisk(
        [](TF_bhcl& b) {
            EXPECT_TRUE(Grid(b).empty());
            EXPECT_FALSE(CopiesLeft());
            ASSERT_TRUE(Press(b.Button2));
        },
        [this] { User().ExpectMessage("错误窗口", "上报数据中缺少文件: " + Submitted("kfq_5.db")); });
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

TEST_F(DiskImport, AMissingWorkFolderStopsTheCopyWithTheFileSystemsMessage)
{
    SubmitEnterprise("100002", "L2");
    std::filesystem::remove_all("tmp");
    ImportDisk(
        [](TF_bhcl& b) {
            EXPECT_TRUE(Grid(b).empty());
            ASSERT_TRUE(Press(b.Button2));
        },
        [this] { User().ExpectMessageContaining(Application->Title, "tmp\\kfq_1.db: No such file or directory"); });
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
