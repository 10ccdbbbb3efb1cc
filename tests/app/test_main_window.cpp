// The main window end to end, driven as the user drives it: the report list and the buttons it enables, the
// data-entry openers and their captions, the report number handed to the check, query and print windows, the
// mail buttons, and the end of the program with the modeless query window open.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QImage>
#include <QTimer>

#include "support/ProgramTest.h"

namespace {

using testsupport::ScopedStandIn;
using testsupport::TStandInWindow;

class MainWindow : public testsupport::ProgramTest {};

TEST_F(MainWindow, StartsWithItemZeroAndTheCheckAndQueryButtonsEnabled)
{
    TF_main& m = StartProgram();
    EXPECT_EQ(m.Caption(), "2009年度Vemora计划录入统计系统");
    EXPECT_EQ(m.StatusBar1->SimpleText(), "数据目录: " + folder_.string());
    EXPECT_EQ(m.RadioGroup1->ItemIndex(), 0);
    EXPECT_TRUE(m.Button7->Enabled());
    EXPECT_TRUE(m.Button5->Enabled());
    EXPECT_TRUE(m.Database1->Connected());
    EXPECT_FALSE(m.Table1->Active());
    EXPECT_EQ(MailMarker, "***Vemora计划统计软件***");
    EXPECT_EQ(ReportKind, 0);
}

TEST_F(MainWindow, ChoosingAReportEnablesCheckAndQueryExceptForReportsTwoAndFive)
{
    TF_main& m = StartProgram();
    // Each item is chosen after the previous one, so that every change of state is seen.
    const std::vector<std::pair<int, bool>> cases = {{1, false}, {0, true}, {4, false}, {4, false}, {3, true},
                                                     {1, false}, {10, true}, {4, false}, {2, true}, {5, true},
                                                     {6, true}, {7, true}, {8, true}, {9, true}};
    for (const auto& [item, enabled] : cases) {
        ASSERT_TRUE(TScriptedUser::Choose(*m.RadioGroup1, item));
        EXPECT_EQ(m.RadioGroup1->ItemIndex(), item);
        EXPECT_EQ(m.Button7->Enabled(), enabled) << "item " << item;
        EXPECT_EQ(m.Button5->Enabled(), enabled) << "item " << item;
        EXPECT_TRUE(m.Button6->Enabled()) << "item " << item;
        EXPECT_TRUE(m.Button1->Enabled()) << "item " << item;
    }
}

TEST_F(MainWindow, EnterDataShowsOneInstancePerWindowWithTheReportsCaption)
{
    ScopedStandIn kfq("TF_kfq");
    TF_main& m = StartProgram();
    std::vector<TForm*> shown;
    std::vector<std::string> captions;
    auto record = [&](TForm& f) {
        shown.push_back(&f);
        captions.push_back(f.Caption());
        EXPECT_EQ(TmpForm, &f);
        EXPECT_FALSE(LocatePending);
        f.Close();
    };
    LocatePending = true;
    User().InModal("TF_kfq", record).InModal("TF_kfq", record).InModal("TF_kfq", record);
    ASSERT_TRUE(TScriptedUser::Press(*m.Button1));
    ASSERT_TRUE(TScriptedUser::Press(*m.Button1));
    ASSERT_TRUE(TScriptedUser::Choose(*m.RadioGroup1, 2));
    ASSERT_TRUE(TScriptedUser::Press(*m.Button1));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(shown[1], shown[2]);
    EXPECT_EQ(shown[0], kfq.Window());
    EXPECT_EQ(captions, (std::vector<std::string>{"高新区企业", "高新区企业", "区外企业"}));
    // Every showing activates the window again; closing it activates the main window.
    EXPECT_EQ(kfq.Window()->activations, 3);
    EXPECT_EQ(Application->ActiveForm(), F_main);
}

TEST_F(MainWindow, EnterDataShowsTheWindowThatTheCheckJumpCreatedBefore)
{
    ScopedStandIn kfq("TF_kfq");
    StartProgram();
    TForm* created = TFormFactory::Obtain("TF_kfq");  // as the check window's jump creates it
    ASSERT_NE(created, nullptr);
    TForm* shown = nullptr;
    User().InModal("TF_kfq", [&](TForm& f) {
        shown = &f;
        f.Close();
    });
    TScriptedUser::Press(*F_main->Button1);
    EXPECT_EQ(shown, created);
}

struct EntryCase {
    int item;
    const char* className;
    const char* caption;
};
void PrintTo(const EntryCase& c, std::ostream* os) { *os << "item " << c.item << " " << c.className << " " << c.caption; }

class EnterDataByReport : public MainWindow, public testing::WithParamInterface<EntryCase> {};

TEST_P(EnterDataByReport, OpensTheReportsWindowWithItsCaption)
{
    const EntryCase& c = GetParam();
    ScopedStandIn window(c.className);
    TF_main& m = StartProgram();
    std::string caption;
    User().InModal(c.className, [&](TForm& f) {
        caption = f.Caption();
        f.Close();
    });
    ASSERT_TRUE(TScriptedUser::Choose(*m.RadioGroup1, c.item));
    ASSERT_TRUE(TScriptedUser::Press(*m.Button1));
    EXPECT_EQ(caption, c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, EnterDataByReport,
    testing::Values(EntryCase{0, "TF_kfq", "高新区企业"}, EntryCase{1, "TF_kfqzh", "高新区综合情况"},
                    EntryCase{2, "TF_kfq", "区外企业"}, EntryCase{3, "TF_gjxm", "国家级项目"},
                    EntryCase{4, "TF_gjwsb", "国家级项目未上报原因"},
                    EntryCase{5, "TF_tzjg", "国家高新区创业投资机构情况表"},
                    EntryCase{6, "TF_rjjd", "软件产业基地情况"}, EntryCase{7, "TF_dxkjy", "大学科技园情况"},
                    EntryCase{8, "TF_fhq", "科技企业孵化器情况"}, EntryCase{9, "TF_tsjd", "特色产业基地情况"},
                    EntryCase{10, "TF_sjgxq", "省级高新区"}));

TEST_F(MainWindow, AWindowNotInThisVersionIsToldNotFailed)
{
    ScopedStandIn none("TF_gjxm");  // stands in for nothing once removed below
    TF_main& m = StartProgram();
    TFormFactory::Register({"TF_gjxm", [] { return static_cast<TForm*>(nullptr); }, [] {}});
    User().ExpectMessage("提示", "此版本尚未提供窗口 TF_gjxm");
    TScriptedUser::Choose(*m.RadioGroup1, 3);
    ASSERT_TRUE(TScriptedUser::Press(*m.Button1));
    EXPECT_TRUE(m.Visible());
}

// The check, query and print windows read the report number when they are activated.
struct KindCase {
    const char* button;
    const char* className;
    bool modal;
    const char* caption;  // set by the opener, or "" when it keeps its own
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.button << " opens " << c.className; }

class ReportNumberBeforeOpening : public MainWindow, public testing::WithParamInterface<KindCase> {};

TEST_P(ReportNumberBeforeOpening, IsStoredEveryTime)
{
    const KindCase& c = GetParam();
    ScopedStandIn window(c.className);
    std::vector<int> seen;
    window.onActivate = [&](TStandInWindow& w) {
        seen.push_back(ReportKind);
        EXPECT_EQ(w.Modal(), c.modal);
        if (*c.caption) {
            EXPECT_EQ(w.Caption(), c.caption);
        }
    };
    TF_main& m = StartProgram();
    auto* button = m.Get<TButton>(c.button);
    for (int item : {0, 3, 10, 6}) {
        TScriptedUser::Choose(*m.RadioGroup1, item);
        if (c.modal) {
            User().InModal(c.className, [](TForm& f) { f.Close(); });
        }
        ASSERT_TRUE(TScriptedUser::Press(*button));
        if (!c.modal) {
            window.Window()->Close();
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 4, 11, 7}));
}

INSTANTIATE_TEST_SUITE_P(Buttons, ReportNumberBeforeOpening,
                         testing::Values(KindCase{"Button7", "TF_check", true, ""},
                                         KindCase{"Button5", "TF_query", false, ""},
                                         KindCase{"Button6", "TF_report", true, "报表打印"}));

TEST_F(MainWindow, TableToolAndMaintenanceOpenModally)
{
    ScopedStandIn tool("TF_db_tool");
    ScopedStandIn maintenance("TF_xtwh");
    TF_main& m = StartProgram();
    std::vector<std::string> captions;
    auto close = [&](TForm& f) {
        captions.push_back(f.Caption());
        f.Close();
    };
    User().InModal("TF_db_tool", close).InModal("TF_xtwh", close).InModal("TF_xtwh", close);
    TScriptedUser::Press(*m.Button10);
    TScriptedUser::Press(*m.Button11);
    TScriptedUser::Press(*m.Button11);
    EXPECT_EQ(captions, (std::vector<std::string>{"stand-in", "系统维护", "系统维护"}));
}

TEST_F(MainWindow, MailButtonsCannotBePressed)
{
    ScopedStandIn smtp("TF_smtp");
    ScopedStandIn pop3("TF_pop3");
    TF_main& m = StartProgram();
    ReportKind = 5;
    for (const char* name : {"Button9", "Button3", "Button8", "Button2"}) {
        auto* b = m.Get<TButton>(name);
        EXPECT_FALSE(b->Enabled()) << name;
        EXPECT_FALSE(TScriptedUser::Press(*b)) << name;
    }
    for (int item = 0; item < 11; ++item) {
        TScriptedUser::Choose(*m.RadioGroup1, item);
        EXPECT_FALSE(m.Button9->Enabled() || m.Button3->Enabled() || m.Button8->Enabled() || m.Button2->Enabled());
    }
    EXPECT_EQ(ReportKind, 5);
    EXPECT_EQ(smtp.Window(), nullptr);
    EXPECT_EQ(pop3.Window(), nullptr);
}

TEST_F(MainWindow, ClosingItWithTheQueryWindowOpenEndsTheProgramAndDestroysTheQueryWindow)
{
    ScopedStandIn query("TF_query");
    TF_main& m = StartProgram();
    ASSERT_TRUE(TScriptedUser::Press(*m.Button5));
    ASSERT_NE(query.Window(), nullptr);
    EXPECT_TRUE(query.Window()->Visible());
    EXPECT_FALSE(query.Window()->Modal());
    // The main window stays usable while the query window is open.
    EXPECT_TRUE(TScriptedUser::Choose(*m.RadioGroup1, 1));
    QTimer::singleShot(0, [&m] { TScriptedUser::Press(*m.Button4); });
    Application->Run();
    EXPECT_TRUE(query.destroyed);
    EXPECT_EQ(query.Window(), nullptr);
    EXPECT_EQ(F_main, nullptr);
    EXPECT_TRUE(Application->Forms().empty());
}

}  // namespace
