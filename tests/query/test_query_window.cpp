// The query window end to end through the main window: composing conditions from names, operators and values,
// the condition and sort lists, the tick lists, the query and the statistic with the warning on repeated sums,
// the report's filter whichever window wrote it last, rebuilding on a change of report and after a failed one.
#include <gtest/gtest.h>

#include <filesystem>

#include "QueryWindowFixture.h"
#include "check/Check.h"

namespace {

using querytest::QueryWindowTest;
using querytest::Row;

const std::string A = "\"kfq_1.db\" a", B = "\"kfq_2.db\" b";
const std::string kReport4Filter = " (is_chge=\"1\" or is_chge=\"2\")";

std::vector<std::string> Lines(const TF_query& w) { return w.Memo1->Lines(); }
bool HasLine(const TF_query& w, const std::string& line)
{
    const auto lines = Lines(w);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(QueryWindowTest, ConditionComposedFromNameOperatorAndValue)
{
    TF_query& w = Open(1);
    Click(*w.ListBox1, "企业进区");
    EXPECT_EQ(w.Edit2->Text(), A);
    EXPECT_EQ(w.ListBox1->Hint(), "企业进区");
    DblClick(*w.ListBox1, "企业进区");
    DblClick(*w.ListBox4, "=");
    EXPECT_EQ(w.Edit1->Text(), "a.QB07 = ");

    ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton2));
    EXPECT_EQ(w.GroupBox3->Caption(), "字段值");
    EXPECT_EQ(w.ListBox1->Items(), (std::vector<std::string>{"\"1\"", "\"1\"", "\"2\""}));  // repeats kept
    ASSERT_TRUE(w.ListBox1->DblClickItem(2));
    EXPECT_EQ(w.Edit1->Text(), "a.QB07 = \"2\" ");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
    EXPECT_EQ(w.ListBox2->Items(), std::vector<std::string>{"a.QB07 = \"2\" "});
    EXPECT_EQ(w.AndTables(), std::vector<std::string>{A});

    ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton1));
    EXPECT_EQ(w.GroupBox3->Caption(), "字段名");
    EXPECT_EQ(w.ListBox1->Item(w.ListBox1->ItemIndex()), "企业进区");

    DblClick(*w.CheckListBox1, "报表编号");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"select a.QA01 报表编号", " from \"kfq_1.db\" a",
                                                  " where (a.QB07 = \"2\" )"}));
    EXPECT_EQ(querytest::Answer(*w.Query1), std::vector<Row>{{"100003"}});
}

// A value in a condition: a number as it is, a text in double quotes with a quote inside doubled; blank values
// are not listed (they cannot be compared; "is null" finds them).
TEST_F(QueryWindowTest, ValuesListedAsLiteralsThatFindTheirRecords)
{
    querytest::AppendRecords("kfq_1.db", {{{"Id", "100004"}, {"QA01", "100004"}, {"QA03", "10000004-1"},
                                           {"QA04", "丁\"星\"公司"}, {"QA08", "王五"}}});
    TF_query& w = Open(1);
    struct {
        const char* field;
        std::vector<std::string> values;
    } cases[] = {
        {"工业总产值", {"100", "50", "30"}},
        {"企业详细名称", {"\"甲公司\"", "\"乙公司\"", "\"丙公司\"", "\"丁\"\"星\"\"公司\""}},
        {"企业负责人", {"\"王五\""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        Click(*w.ListBox1, c.field);
        ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton2));
        EXPECT_EQ(w.ListBox1->Items(), c.values);
        ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton1));
    }

    Click(*w.ListBox1, "企业详细名称");
    w.Edit1->SetText("");
    DblClick(*w.ListBox1, "企业详细名称");
    DblClick(*w.ListBox4, "=");
    ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton2));
    ASSERT_TRUE(w.ListBox1->DblClickItem(3));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
    DblClick(*w.CheckListBox1, "报表编号");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_EQ(querytest::Answer(*w.Query1), std::vector<Row>{{"100004"}});
}

TEST_F(QueryWindowTest, ConditionListsKeepTheirTablesBesideThem)
{
    TF_query& w = Open(1);
    struct Group {
        TListBox* list;
        TButton* add;
        TButton* remove;
        const std::vector<std::string>& tables;
    } groups[] = {{w.ListBox2, w.Button1, w.Button2, w.AndTables()}, {w.ListBox3, w.Button3, w.Button4, w.OrTables()}};
    for (const Group& g : groups) {
        w.Edit1->SetText("");
        ASSERT_TRUE(TScriptedUser::Press(*g.add));  // nothing to add
        EXPECT_EQ(g.list->Count(), 0);
        for (const char* t : {"x", "y", "z"}) {
            ASSERT_TRUE(TScriptedUser::Type(*w.Edit2, t));
            ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, std::string("c") + t));
            ASSERT_TRUE(TScriptedUser::Press(*g.add));
        }
        EXPECT_EQ(w.Edit1->Text(), "cz");  // kept for the next condition
        ASSERT_TRUE(TScriptedUser::Press(*g.remove));  // nothing selected: nothing removed
        EXPECT_EQ(g.list->Count(), 3);

        Click(*g.list, "cy");
        EXPECT_EQ(w.Edit1->Text(), "cy");
        EXPECT_EQ(g.list->Hint(), "cy");
        ASSERT_TRUE(TScriptedUser::Press(*g.remove));
        EXPECT_EQ(g.list->Items(), (std::vector<std::string>{"cx", "cz"}));
        EXPECT_EQ(g.tables, (std::vector<std::string>{"x", "z"}));
        EXPECT_EQ(g.list->ItemIndex(), 1);  // the same position again
        ASSERT_TRUE(TScriptedUser::Press(*g.remove));
        EXPECT_EQ(g.list->Items(), std::vector<std::string>{"cx"});
        EXPECT_EQ(g.list->ItemIndex(), 0);  // the last one, when the list got shorter
        EXPECT_TRUE(g.list->Focused());
    }
}

TEST_F(QueryWindowTest, SortKeysAndTickLists)
{
    TF_query& w = Open(1);
    ASSERT_TRUE(TScriptedUser::Press(*w.Button7));  // no output field selected
    EXPECT_EQ(w.CheckListBox5->Count(), 0);
    Click(*w.CheckListBox1, "企业进区");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button7));
    Click(*w.CheckListBox1, "报表编号");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button7));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button7));  // the same key twice
    EXPECT_EQ(Ticked(*w.CheckListBox1), (std::vector<std::string>{"报表编号", "企业进区"}));
    EXPECT_EQ(w.CheckListBox5->Items(), (std::vector<std::string>{"企业进区", "报表编号", "报表编号"}));
    ASSERT_TRUE(w.CheckListBox5->DblClickItem(0));  // descending
    EXPECT_EQ(w.CheckListBox5->Hint(), "企业进区");

    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    const auto lines = Lines(w);
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{" order by 企业进区", " desc", ",报表编号", ",报表编号"}));
    EXPECT_EQ(querytest::Answer(*w.Query1, {"报表编号"}), (std::vector<Row>{{"100003"}, {"100001"}, {"100002"}}));

    ASSERT_TRUE(TScriptedUser::Choose(*w.PageControl1, 0));
    ASSERT_TRUE(w.CheckListBox5->ClickItem(1));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button11));
    EXPECT_EQ(w.CheckListBox5->Items(), (std::vector<std::string>{"企业进区", "报表编号"}));

    struct {
        TButton* button;
        TCheckListBox* list;
        bool all;
    } buttons[] = {{w.Button5, w.CheckListBox1, true}, {w.Button6, w.CheckListBox1, false},
                   {w.Button8, w.CheckListBox2, true}, {w.Button9, w.CheckListBox2, false},
                   {w.Button10, w.CheckListBox3, false}};
    DblClick(*w.CheckListBox3, "技术领域");
    for (const auto& b : buttons) {
        ASSERT_TRUE(TScriptedUser::Press(*b.button));
        EXPECT_EQ(static_cast<int>(Ticked(*b.list).size()), b.all ? b.list->Count() : 0) << b.button->Caption();
    }
}

TEST_F(QueryWindowTest, StatisticWarnsWhenAJoinRepeatsTheSums)
{
    TF_query& w = Open(1);
    DblClick(*w.CheckListBox2, "工业总产值");
    DblClick(*w.CheckListBox3, "技术领域");
    User().ExpectMessageContaining("提示", "重复累加，其合计大于实际数：工业总产值。");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button13));
    // Enterprise 100001 counted once per product; 100003 has none: the statement stays as the user built it.
    EXPECT_EQ(querytest::Answer(*w.Query1), (std::vector<Row>{{"01", "150"}, {"02", "100"}}));

    // A product's figure by an enterprise's group counts each product once: no warning.
    ASSERT_TRUE(TScriptedUser::Choose(*w.PageControl1, 0));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button9));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button10));
    DblClick(*w.CheckListBox2, "全年产品销售收入");
    DblClick(*w.CheckListBox3, "企业进区");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button13));
    EXPECT_EQ(querytest::Answer(*w.Query1), (std::vector<Row>{{"1", "35"}}));
    EXPECT_TRUE(w.Button16->Enabled());
    EXPECT_TRUE(w.Button18->Enabled());

    // No sum ticked: the result page with an empty grid, the last statement still readable.
    const auto before = Lines(w);
    ASSERT_TRUE(TScriptedUser::Choose(*w.PageControl1, 0));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button9));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button13));
    EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet2);
    EXPECT_FALSE(w.Query1->Active());
    EXPECT_EQ(Lines(w), before);
}

// The filter of national projects goes with the report the lists were built for, whichever window wrote the
// shared filter last and whether or not this window was activated since.
TEST_F(QueryWindowTest, FilterFollowsTheBuiltReport)
{
    TF_query& w = Open(4);
    EXPECT_EQ(ExtraFilter, kReport4Filter);
    DblClick(*w.CheckListBox1, "统计编号");
    ExtraFilter.clear();  // another window's last activation
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_TRUE(HasLine(w, " where " + kReport4Filter));
    EXPECT_EQ(querytest::Answer(*w.Query1), (std::vector<Row>{{"000000001"}, {"000000003"}}));

    // A check of report 4 writes its own form of the filter; the query keeps its own.
    User().InModal("TF_check", [](TForm& f) { f.Close(); });
    ASSERT_TRUE(TScriptedUser::Press(*F_main->Button7));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_TRUE(HasLine(w, " where " + kReport4Filter));

    Open(1);
    DblClick(*w.CheckListBox1, "报表编号");
    ExtraFilter = " and (is_chge=\"1\" or is_chge=\"2\")";
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_EQ(Lines(w), (std::vector<std::string>{"select a.QA01 报表编号", " from \"kfq_1.db\" a"}));
}

TEST_F(QueryWindowTest, ChangeOfReportRebuildsListsAndKeepsConditions)
{
    Application->SetScreenSize(799, 600);  // narrower than the window's usual screen: it goes to the top left
    TF_query& w = Open(1);
    EXPECT_EQ(w.Left(), 0);
    EXPECT_EQ(w.Top(), 0);
    EXPECT_EQ(w.CheckListBox4->Items(), (std::vector<std::string>{A, B, "\"kfq_5.db\" c"}));
    DblClick(*w.CheckListBox1, "报表编号");
    ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "a.QC02>60"));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
    ASSERT_TRUE(TScriptedUser::Choose(*w.RadioGroup1, 1));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    const auto result = Lines(w);
    ASSERT_TRUE(TScriptedUser::Choose(*w.PageControl1, 0));
    Click(*w.ListBox1, "企业进区");
    ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton2));

    Open(1);  // the same report again: nothing is rebuilt
    EXPECT_EQ(w.GroupBox3->Caption(), "字段值");
    EXPECT_EQ(Ticked(*w.CheckListBox1), std::vector<std::string>{"报表编号"});

    Open(4);
    EXPECT_EQ(w.Caption(), "国家级项目查询统计");
    EXPECT_EQ(w.GroupBox3->Caption(), "字段名");
    EXPECT_TRUE(w.RadioButton1->Checked());
    EXPECT_EQ(w.ListBox1->Item(0), "统计编号");
    EXPECT_EQ(w.ListBox1->ItemIndex(), 0);
    EXPECT_TRUE(Ticked(*w.CheckListBox1).empty());
    EXPECT_EQ(w.CheckListBox4->Items(), std::vector<std::string>{"\"gjxm.db\""});
    EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet1);
    EXPECT_EQ(w.ListBox2->Items(), std::vector<std::string>{"a.QC02>60"});
    EXPECT_EQ(w.Edit1->Text(), "a.QC02>60");
    EXPECT_EQ(w.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(Lines(w), result);

    // A dictionary with nothing to sum: no statistic.
    querytest::ReplaceRows("query_tsjd.db", {{{"db_name", "tsjd.db"}, {"field_name", "CODE"}, {"field_type", "C"},
                                              {"field_text", "编号"}}});
    Open(10);
    EXPECT_FALSE(w.Button13->Enabled());
    Open(1);
    EXPECT_TRUE(w.Button13->Enabled());
}

// A report whose dictionary cannot be read leaves the window as it was built, and the next activation tries again.
TEST_F(QueryWindowTest, FailedRebuildKeepsTheBuiltReportAndTriesAgain)
{
    struct {
        const char* name;
        std::function<void()> damage;
        const char* told;
    } cases[] = {
        {"no row", [] { querytest::DeleteRows("query_db.db", "id", "6"); }, "中没有报表6的查询字段表"},
        {"no dictionary", [] { std::filesystem::remove("query_tzjg.db"); }, "query_tzjg.db"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto saved = std::filesystem::temp_directory_path() / "query_saved";
        std::filesystem::remove_all(saved);
        std::filesystem::create_directory(saved);
        for (const char* f : {"query_db.db", "query_tzjg.db"}) {
            std::filesystem::copy_file(f, saved / f);
        }
        TF_query& w = Open(1);
        c.damage();
        User().ExpectMessageContaining(Application->Title, c.told);
        Open(6);
        EXPECT_EQ(w.BuiltReportKind, 1);
        EXPECT_EQ(w.Caption(), "高新区企业查询统计");
        EXPECT_EQ(w.ListBox1->Item(0), "报表编号");

        for (const char* f : {"query_db.db", "query_tzjg.db"}) {
            std::filesystem::copy_file(saved / f, f, std::filesystem::copy_options::overwrite_existing);
        }
        Open(6);
        EXPECT_EQ(w.BuiltReportKind, 6);
        EXPECT_EQ(w.Caption(), "创业投资机构查询统计");
        std::filesystem::remove_all(saved);
    }
}

// Bad input reaches the user as the engine's message; the window stays usable and no table is touched.
TEST_F(QueryWindowTest, BadInputIsToldAndTouchesNothing)
{
    querytest::AppendRecords("query_kfq.db", {{{"db_name", "kfq_1.db a"}, {"field_name", "a.NOSUCH"},
                                               {"field_type", "C"}, {"field_text", "无此字段"}}});
    TF_query& w = Open(1);
    const auto firms = querytest::Run({"select * from \"kfq_1.db\""});
    struct {
        const char* name;
        std::function<void()> act;
        const char* told;
    } cases[] = {
        {"syntax error in a condition",
         [&] {
             DblClick(*w.CheckListBox1, "报表编号");
             ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "a.QC02 >> 5"));
             ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
             ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
             EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet1);
         },
         ">"},
        {"text compared with a number",
         [&] {
             DblClick(*w.CheckListBox1, "报表编号");
             ASSERT_TRUE(TScriptedUser::Type(*w.Edit1, "a.QC02 > \"abc\""));
             ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
             ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
             EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet1);
         },
         "不能与文字“abc”比较"},
        {"field missing from its table",
         [&] {
             DblClick(*w.CheckListBox1, "无此字段");
             ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
             EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet1);
         },
         "NOSUCH"},
        {"values of a field missing from its table",
         [&] {
             Click(*w.ListBox1, "无此字段");
             ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton2));
             EXPECT_EQ(w.GroupBox3->Caption(), "字段值");
             EXPECT_EQ(w.ListBox1->Count(), 0);
             EXPECT_FALSE(w.Table1->Active());
             ASSERT_TRUE(TScriptedUser::Press(*w.RadioButton1));
             EXPECT_EQ(w.ListBox1->Item(0), "报表编号");
         },
         "NOSUCH"},
        {"free statement that fails",
         [&] {
             w.Memo1->SetText("select nosuch from \"kfq_1.db\"");
             ASSERT_TRUE(TScriptedUser::Press(*w.Button15));
         },
         "nosuch"},
        {"free statement that would write",
         [&] {
             w.Memo1->SetText("delete from \"kfq_1.db\"");
             ASSERT_TRUE(TScriptedUser::Press(*w.Button15));
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(TScriptedUser::Choose(*w.PageControl1, 0));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button6));
        w.ListBox2->Clear();
        User().ExpectMessageContaining(Application->Title, c.told);
        c.act();
        EXPECT_TRUE(User().ScriptDone());
        EXPECT_FALSE(w.Query1->Active());
        EXPECT_EQ(querytest::Run({"select * from \"kfq_1.db\""}), firms);
    }
}

}  // namespace
