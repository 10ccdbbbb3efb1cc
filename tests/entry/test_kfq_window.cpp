// The enterprise window as it opens and as its pages change: the cover alone on an empty master, all pages once
// a record is started, the status bar text, the read-only key label while a detail is edited, the rule tables'
// masks, and an activation that fails on a broken rule table.
#include <gtest/gtest.h>

#include <filesystem>

#include "KfqFixture.h"

namespace {

using entrytest::KfqTest;

using KfqWindow = KfqTest;

TEST_F(KfqWindow, EmptyMasterShowsOnlyTheCoverUntilARecordIsStarted)
{
    InKfq([this](TF_kfq& k) {
        EXPECT_EQ(VisiblePages(k), std::vector<std::string>{"TabSheet1"});
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号:   当前记录: 0  总记录: 0  未修改");
        ASSERT_TRUE(Press(k.ToolButton5));
        EXPECT_EQ(VisiblePages(k).size(), 8u);
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号:   当前记录: 0  总记录: 0  已修改");
        User().ExpectMessage("提示", "是否放弃当前记录的修改", IDYES);
        ASSERT_TRUE(Press(k.ToolButton8));
        EXPECT_EQ(VisiblePages(k), std::vector<std::string>{"TabSheet1"});
    });
}

// Pages hidden on an empty master come back at the next showing once records arrived while the window was
// closed (a restore, another instance): the opening of the master brings them back as any state change does.
TEST_F(KfqWindow, PagesHiddenOnAnEmptyMasterShowAgainWhenRecordsArrivedMeanwhile)
{
    InKfq([](TF_kfq& k) { EXPECT_EQ(VisiblePages(k), std::vector<std::string>{"TabSheet1"}); });
    AddEnterprise("100001");
    InKfq([](TF_kfq& k) {
        EXPECT_EQ(VisiblePages(k).size(), 8u);
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100001  当前记录: 1  总记录: 1  未修改");
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        EXPECT_EQ(k.curTable, k.Table2);
    });
}

TEST_F(KfqWindow, BothReportsShowTheSameWindowOnTheCoverWithTheStatusOfTheCurrentRecord)
{
    AddEnterprise("100001");
    AddEnterprise("100002");
    TF_kfq* first = nullptr;
    InKfq([&](TF_kfq& k) {
        first = &k;
        EXPECT_EQ(k.Caption(), "高新区企业");
        EXPECT_EQ(Page(k), "TabSheet1");
        EXPECT_EQ(VisiblePages(k).size(), 8u);
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100001  当前记录: 1  总记录: 2  未修改");
        ASSERT_TRUE(Press(k.ToolButton2));
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100002  当前记录: 2  总记录: 2  未修改");
        ASSERT_TRUE(ShowPage(k, "TabSheet3"));
        EXPECT_FALSE(k.ToolButton5->Enabled());
        EXPECT_FALSE(k.ToolButton9->Enabled());
    });
    InKfq(
        [&](TF_kfq& k) {
            EXPECT_EQ(&k, first);
            EXPECT_EQ(k.Caption(), "区外企业");
            EXPECT_EQ(Page(k), "TabSheet1");  // every showing starts on the cover
            EXPECT_TRUE(k.ToolButton5->Enabled());
            EXPECT_TRUE(k.ToolButton9->Enabled());
            EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100001  当前记录: 1  总记录: 2  未修改");
        },
        2);
}

// The window moves to the top-left corner on a screen narrower than 801 pixels, and stays put on a wider one.
TEST_F(KfqWindow, NarrowScreenPutsTheWindowInTheCorner)
{
    const std::vector<std::pair<int, bool>> screens = {{800, true}, {1024, false}};
    for (const auto& screen : screens) {
        const int width = screen.first;  // named copies: clang 14 does not capture structured bindings
        const bool corner = screen.second;
        Application->SetScreenSize(width, 600);
        InKfq([&](TF_kfq& k) {
            if (corner) {
                EXPECT_EQ(k.Left(), 0) << width;
                EXPECT_EQ(k.Top(), 0) << width;
            } else {
                EXPECT_GT(k.Left(), 0) << width;
            }
            k.SetLeft(50);  // moved by the user; set up again at the next showing
        });
    }
}

TEST_F(KfqWindow, KeyLabelReadsReadOnlyWhileADetailIsEdited)
{
    AddEnterprise("100001");
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        EXPECT_EQ(k.curTable, k.Table2);
        ASSERT_TRUE(Press(k.ToolButton5));
        k.Table2->FieldByName("QE01")->SetAsString("0001");
        ASSERT_TRUE(ShowPage(k, "TabSheet1"));
        EXPECT_EQ(k.Label2->Caption(), "报表编号(只读)");
        EXPECT_FALSE(k.DBEdit1->Enabled());
        EXPECT_FALSE(TypeInto(k, "QA01", "100009"));
        // editing the enterprise itself makes the key editable again
        ASSERT_TRUE(TypeInto(k, "QA04", "新名称"));
        EXPECT_EQ(k.Label2->Caption(), "报表编号");
        EXPECT_TRUE(k.DBEdit1->Enabled());
        ASSERT_TRUE(Press(k.ToolButton7));
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01", "QA04"}), std::vector<std::string>{"100001|新名称"});
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01", "QE01"}), std::vector<std::string>{"1000010001|100001|0001"});
}

TEST_F(KfqWindow, AllEnterprisesOnADetailPageIsReadOnlyUntilThePageIsEnteredAgain)
{
    AddEnterprise("100001");
    AddEnterprise("100002");
    AddProduct("100001", "0001");
    AddProduct("100002", "0001");
    AddProduct("100002", "0002");
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        EXPECT_EQ(k.Table2->RecordCount(), 1);
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox2, 1));
        EXPECT_EQ(k.Table2->RecordCount(), 3);
        EXPECT_TRUE(k.DBGrid1->ReadOnly());
        EXPECT_TRUE(k.DBGrid2->ReadOnly());
        EXPECT_FALSE(k.ToolButton5->Enabled());
        ASSERT_TRUE(ShowPage(k, "TabSheet2"));
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        EXPECT_EQ(k.ComboBox2->ItemIndex(), 0);
        EXPECT_EQ(k.Table2->RecordCount(), 1);
        EXPECT_FALSE(k.DBGrid1->ReadOnly());
        EXPECT_TRUE(k.ToolButton5->Enabled());
    });
}

// The import buttons reach their file dialogs; cancelled, nothing changes and the cover is shown.
TEST_F(KfqWindow, ImportButtonsAskForTheSubmittedFiles)
{
    AddEnterprise("100001");
    InKfq([this](TF_kfq& k) {
        User().CancelFile("请选择企业数据库  文件名:kfq_1.db");
        User().CancelFile("请选择产品数据库  文件名:kfq_2.db");
        User().CancelFile("请选择科技项目情况数据库  文件名:kfq_5.db");
        ASSERT_TRUE(Press(k.ToolButton9));
        User().CancelFile("请选择上报企业数据的磁盘目录");
        ASSERT_TRUE(Press(k.ToolButton11));
        EXPECT_EQ(Page(k), "TabSheet1");
        EXPECT_EQ(F_main->OpenDialog1->Filter, "*.db;*.dbf|*.db;*.dbf");
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01"}), std::vector<std::string>{"100001"});
}

// Rule rows: "错误" rows are constraints; masks go to their field, a later row for the same field winning.
TEST_F(KfqWindow, RuleMasksApplyToTheirFieldsAndALaterRowWins)
{
    AddRow("kfq1_chk.db", {{"status", "警告"}, {"field_name", "QA06"}, {"field_mask", "000000;1;_"}});
    AddRow("kfq1_chk.db", {{"status", "警告"}, {"field_name", "QA06"}, {"field_mask", "999999;1;_"}});
    AddRow("kfq2_chk.db", {{"status", "警告"}, {"field_name", "QE11"}, {"field_mask", "00;1;_"}});
    AddEnterprise("100001");
    InKfq([](TF_kfq& k) {
        EXPECT_EQ(k.Table1->FieldByName("QA06")->EditMask, "999999;1;_");
        EXPECT_EQ(k.Table2->FieldByName("QE11")->EditMask, "00;1;_");
        EXPECT_EQ(k.Table1->FieldByName("QA01")->EditMask, "");
        EXPECT_EQ(k.Table1->Constraints.Count(), 0);
    });
}

// A rule table that is missing or names a missing field stops the activation with the engine's message, told
// as the window not opening: the window closes again with every table closed, and the next showing sets it up
// again.
struct BrokenRules {
    const char* what;
    std::function<void()> breakIt;
    const char* messagePart;
};
void PrintTo(const BrokenRules& c, std::ostream* os) { *os << c.what; }

class KfqBrokenRules : public KfqTest, public ::testing::WithParamInterface<BrokenRules> {};

TEST_P(KfqBrokenRules, LeaveTheTablesClosedAndTheNextShowingSetsUpAgain)
{
    AddEnterprise("100001");
    std::filesystem::copy_file("kfq2_chk.db", "kfq2_chk.saved");
    GetParam().breakIt();
    User().ExpectMessageContaining(Application->Title, "无法打开窗口“高新区企业”：");
    ASSERT_TRUE(TScriptedUser::Press(*F_main->Button1));
    ASSERT_EQ(User().Messages().size(), 1u);
    EXPECT_NE(User().Messages()[0].text.find(GetParam().messagePart), std::string::npos);
    auto* k = dynamic_cast<TF_kfq*>(TmpForm);
    ASSERT_NE(k, nullptr);
    EXPECT_FALSE(k->Visible());
    for (TTable* t : {k->Table1, k->Table2, k->Table5}) {
        EXPECT_FALSE(t->Active()) << t->TableName();
    }
    std::filesystem::remove("kfq2_chk.db");
    std::filesystem::copy_file("kfq2_chk.saved", "kfq2_chk.db");
    InKfq([](TF_kfq& k) {
        EXPECT_TRUE(k.Table5->Active());
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100001  当前记录: 1  总记录: 1  未修改");
    });
}

INSTANTIATE_TEST_SUITE_P(Activation, KfqBrokenRules, ::testing::Values(
    BrokenRules{"missing rule table", [] { std::filesystem::remove("kfq2_chk.db"); }, "kfq2_chk"},
    BrokenRules{"mask of a missing field",
                [] { KfqTest::AddRow("kfq2_chk.db", {{"field_name", "NOSUCH"}, {"field_mask", "00"}}); },
                "NOSUCH"}),
    [](const auto& info) { return std::string(info.param.what).find("missing rule") == 0 ? "MissingRuleTable"
                                                                                            : "MaskOfAMissingField"; });

}  // namespace
