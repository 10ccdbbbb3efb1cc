// What a store does in the enterprise window: the send list cleared once per showing, zeros, counting field and
// record identity rebuilt on every store (also of an unchanged record), the guards of the details with their
// texts and captions, the reworded post errors, and rule constraints.
#include <gtest/gtest.h>

#include "KfqFixture.h"
#include "platform/db/Connection.h"

namespace {

using entrytest::KfqTest;

using KfqStore = KfqTest;

TEST_F(KfqStore, SendListIsClearedAtTheFirstStoreOfEachShowingOnly)
{
    auto fillSendList = [] {
        for (const char* name : {"kfq_1.db", "kfq_2.db", "kfq_r.db", "gjxm.db"}) {
            AddRow("sendname.db", {{"id", "2"}, {"name", name}});
        }
    };
    AddEnterprise("100001");
    fillSendList();
    InKfq([&](TF_kfq& k) {
        EXPECT_EQ(Rows("sendname.db", {"name"}).size(), 4u);
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(Rows("sendname.db", {"name"}), std::vector<std::string>{"gjxm.db"});
        fillSendList();
        ASSERT_TRUE(TypeInto(k, "QA04", "改名"));
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(Rows("sendname.db", {"name"}).size(), 5u);  // not again in the same showing
    });
    EXPECT_EQ(Rows("sendname.db", {"name"}).size(), 5u);
    InKfq([](TF_kfq& k) { ASSERT_TRUE(Press(k.ToolButton7)); });
    EXPECT_EQ(Rows("sendname.db", {"name"}), (std::vector<std::string>{"gjxm.db", "gjxm.db"}));
}

TEST_F(KfqStore, StoringAnUnchangedRecordRebuildsZerosCountingFieldAndIdentity)
{
    AddRow("kfq_1.db", {{"Id", "X"}, {"QA01", "100001"}, {"QA04", "甲"}, {"QA05", ""}});
    AddRow("kfq_2.db", {{"ID", "Y"}, {"QA01", "100001"}, {"QE01", "0001"}});
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(Press(k.ToolButton7));
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(Press(k.ToolButton7));
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "Qa_one", "QC02", "QD01", "QA05", "QA12"}),
              std::vector<std::string>{"100001|1|0|0||"});
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE_ONE", "QE14"}), std::vector<std::string>{"1000010001|1|0"});
}

// Guards of the details: each refuses the store with its own text and keeps the row in edit state.
struct Guard {
    const char* name;
    const char* page;
    const char* serialField;  // left empty when null
    const char* text;
};
void PrintTo(const Guard& c, std::ostream* os) { *os << c.name; }

class KfqDetailGuard : public KfqTest, public ::testing::WithParamInterface<Guard> {};

TEST_P(KfqDetailGuard, RefusesTheStoreInAnErrorBox)
{
    const Guard& g = GetParam();
    AddEnterprise("100001");
    InKfq([&](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, g.page));
        ASSERT_TRUE(Press(k.ToolButton5));
        k.curTable->FieldByName(g.serialField)->Clear();
        Expect("错误窗口", g.text);
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.curTable->State(), TDataSetState::dsInsert);
        k.curTable->Cancel();
    });
    EXPECT_TRUE(Rows("kfq_2.db", {"ID"}).empty());
    EXPECT_TRUE(Rows("kfq_5.db", {"Id"}).empty());
}

INSTANTIATE_TEST_SUITE_P(Serials, KfqDetailGuard, ::testing::Values(
    Guard{"Product", "TabSheet5", "QE01", "产品编号不能为空"},
    Guard{"Project", "TabSheet9", "Qh00", "科技项目序号不能为空"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KfqStore, DetailStartedWhileTheKeyEditIsEmptyGoesBackToTheCover)
{
    AddRow("kfq_1.db", {{"Id", "X"}, {"QA04", "无编号企业"}});
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        Expect("提示窗口", "请先填入企业报表编号");
        EXPECT_TRUE(Press(k.ToolButton5));
        EXPECT_EQ(k.Table2->State(), TDataSetState::dsBrowse);
        EXPECT_EQ(Page(k), "TabSheet1");
        EXPECT_EQ(k.curTable, k.Table1);
    });
    EXPECT_TRUE(Rows("kfq_2.db", {"ID"}).empty());
}

// A detail that shows every enterprise is stored under each row's own enterprise, never the current one's.
TEST_F(KfqStore, StoringADetailShowingAllEnterprisesKeepsTheRowsOwnEnterprise)
{
    AddEnterprise("100001");
    AddEnterprise("100002");
    AddRow("kfq_2.db", {{"ID", "Y"}, {"QA01", "100002"}, {"QE01", "0001"}});
    AddRow("kfq_2.db", {{"ID", "X"}, {"QE01", "0009"}});  // a product of no enterprise
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox2, 1));
        ASSERT_EQ(k.Table2->FieldByName("QE01")->AsString(), "0009");  // no enterprise sorts first
        Expect("错误窗口", "企业报表编号不能为空");
        ASSERT_TRUE(Press(k.ToolButton7));
        k.Table2->Cancel();
        ASSERT_TRUE(Press(k.ToolButton2));
        ASSERT_EQ(k.Table2->FieldByName("QA01")->AsString(), "100002");
        ASSERT_TRUE(Press(k.ToolButton7));
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01"}), (std::vector<std::string>{"1000020001|100002", "X|"}));
}

// Post errors: duplicates are reworded with the table's prefix and the store fails, the record kept.
struct Duplicate {
    const char* name;
    const char* field;
    const char* value;
    const char* message;
};
void PrintTo(const Duplicate& c, std::ostream* os) { *os << c.name; }

class KfqDuplicate : public KfqTest, public ::testing::WithParamInterface<Duplicate> {};

TEST_P(KfqDuplicate, IsReworded)
{
    const Duplicate& d = GetParam();
    AddEnterprise("100001", "L1", "甲公司");
    AddEnterprise("100002", "L2", "乙公司");
    InKfq([&](TF_kfq& k) {
        ASSERT_TRUE(Press(k.ToolButton2));
        ASSERT_TRUE(TypeInto(k, d.field, d.value));
        ExpectError(d.message);
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.Table1->State(), TDataSetState::dsEdit);
        k.Table1->Cancel();
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA03", "QA04"}),
              (std::vector<std::string>{"100001|L1|甲公司", "100002|L2|乙公司"}));
}

INSTANTIATE_TEST_SUITE_P(Master, KfqDuplicate, ::testing::Values(
    Duplicate{"ReportNumber", "QA01", "100001", "企业数据错误:企业报表编号重复"},
    Duplicate{"Name", "QA04", "甲公司", "企业数据错误:企业名称重复"},
    Duplicate{"LegalCode", "QA03", "L1", "企业数据错误:企业法人代码重复"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KfqStore, DuplicateProductSerialIsReworded)
{
    AddEnterprise("100001");
    AddProduct("100001", "0001");
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(Press(k.ToolButton5));
        k.Table2->FieldByName("QE01")->SetAsString("0001");
        ExpectError("产品数据错误:产品序号重复");
        ASSERT_TRUE(Press(k.ToolButton7));
        k.Table2->Cancel();
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID"}), std::vector<std::string>{"1000010001"});
}

// A rule constraint failure goes through the post-error handling like every engine failure of a store: the
// rule's own text with the table's prefix, the record still in edit state. "校验关闭" lets it through.
TEST_F(KfqStore, RuleConstraintShowsTheRulesTextAndKeepsTheRecordInEdit)
{
    AddRow("kfq1_chk.db", {{"status", "警告"}, {"field_value", "qc02 > 1000"}, {"field_text", "只是警告"}});
    AddRow("kfq1_chk.db", {{"status", "错误"}, {"field_value", "qc02 <= 100"}, {"field_text", "工业总产值过大"}});
    AddEnterprise("100001");
    InKfq([this](TF_kfq& k) {
        ASSERT_EQ(k.Table1->Constraints.Count(), 1);
        ASSERT_TRUE(ShowPage(k, "TabSheet3"));
        ASSERT_TRUE(TypeInto(k, "QC02", "500"));
        ExpectError("企业数据错误:工业总产值过大");
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.Table1->State(), TDataSetState::dsEdit);
        EXPECT_EQ(k.Table1->FieldByName("QC02")->AsString(), "500");
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox1, 1));
        ASSERT_TRUE(Press(k.ToolButton7));
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox1, 0));
        EXPECT_FALSE(k.Table1->ConstraintsDisabled());
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QC02"}), std::vector<std::string>{"500"});
}

// A second program instance on the same data folder stored the record while this window had it: the store
// writes nothing back, says so, and the window shows the other instance's values.
TEST_F(KfqStore, RecordStoredByAnotherInstanceMeanwhileIsNotOverwritten)
{
    AddEnterprise("100001", "L1", "甲公司");
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(TypeInto(k, "QA03", "L9"));
        {
            db::Connection other("kfq_1.db", db::Connection::Mode::ReadWrite);
            other.exec("UPDATE data SET QA04='甲公司（新名）' WHERE QA01='100001'");
        }
        ExpectError("企业数据错误:记录已被其他用户修改（kfq_1.db），现显示其最新内容，请重新修改后再保存");
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.Table1->State(), TDataSetState::dsBrowse);
        EXPECT_EQ(EditOf(k, "QA04")->Text(), "甲公司（新名）");
        EXPECT_EQ(EditOf(k, "QA03")->Text(), "L1");
        ASSERT_TRUE(TypeInto(k, "QA03", "L9"));
        ASSERT_TRUE(Press(k.ToolButton7));
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA03", "QA04"}), std::vector<std::string>{"L9|甲公司（新名）"});
}

TEST_F(KfqStore, ValidationSwitchStaysPairedAcrossShowings)
{
    AddEnterprise("100001");
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox1, 1));
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox1, 1));
        EXPECT_FALSE(k.checkEnabled);
        for (TTable* t : {k.Table1, k.Table2, k.Table5}) {
            EXPECT_TRUE(t->ConstraintsDisabled());
        }
    });
    InKfq([](TF_kfq& k) {
        EXPECT_EQ(k.ComboBox1->ItemIndex(), 0);
        EXPECT_TRUE(k.checkEnabled);
        for (TTable* t : {k.Table1, k.Table2, k.Table5}) {
            EXPECT_FALSE(t->ConstraintsDisabled());
        }
    });
}

}  // namespace
