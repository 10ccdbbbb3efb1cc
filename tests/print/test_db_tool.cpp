// The table tool end to end: opened from the main window, a file edited in the grid and saved in the three
// formats (the extension from the chosen filter), the column dialog shaping a save, the swap, SQL, emptying
// and packing, and what goes wrong: a damaged or foreign file, a save over an open table or a system table,
// a save into a missing folder.
#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "platform/db/TableStore.h"
#include "platform/db/TextFile.h"
#include "platform/report/PrintOutput.h"
#include "query/ColumnDialog.h"
#include "query/QueryPrint.h"
#include "ToolFixture.h"

namespace fs = std::filesystem;

namespace printtest {
namespace {

using testsupport::ReadTable;

const std::vector<bool> kAllButtons(8, true);
const std::vector<bool> kNothingOpen = {true, false, false, false, false, true, true, true};
const std::vector<bool> kQueryShown = {true, true, true, false, false, true, true, true};

// Types into the grid's current cell as a user does: the first key to the grid, the rest to its editor.
void TypeInGrid(TDBGrid& grid, int row, int column, const std::string& text)
{
    QTableView* view = grid.TableView();
    view->setCurrentIndex(view->model()->index(row, column));
    for (char ch : text) {
        QWidget* editor = view->indexWidget(view->currentIndex());
        QTest::keyClick(editor ? editor : static_cast<QWidget*>(view), ch);
    }
}

TEST_F(ToolTest, OpensEditsAndSavesInEachFormat)
{
    InTool("emp.db", [&](TF_db_tool& t) {
        EXPECT_EQ(Enabled(t), kAllButtons);
        EXPECT_EQ(t.Caption(), "数据库工具");
        TypeInGrid(*t.DBGrid1, 0, 0, "Ding");
        TypeInGrid(*t.DBGrid1, 1, 0, "");  // moving off the row stores it
        const struct {
            const char* typed;
            int entry;
        } saves[] = {{"a1", 1}, {"a2", 2}, {"a3", 3}, {"a4.DBF", 1}, {"a5.db", 3}};
        for (const auto& s : saves) {
            SaveAs(t, s.typed, s.entry);
        }
    });
    EXPECT_EQ(ReadTable("emp.db")[0].at("名称"), "Ding");
    for (const char* table : {"a1.db", "a5.db"}) {
        const auto rows = ReadTable(table);
        ASSERT_EQ(rows.size(), 3u) << table;
        EXPECT_EQ(rows[0].at("名称"), "Ding") << table;
        EXPECT_EQ(rows[2].at("日期"), "2008-12-31") << table;
    }
    const std::vector<std::string> dbf = {"名称=Ding;产值=12.5;日期=2009-03-01", "名称=乙公司;产值=7.0;日期=",
                                          "名称=丙公司;产值=;日期=2008-12-31"};
    EXPECT_EQ(Dbfread("a2.dbf"), dbf);
    EXPECT_EQ(Dbfread("a4.DBF"), dbf);
    db::TableSchema schema;
    schema.fields = {testsupport::Text("名称", 20), testsupport::Number("产值"), testsupport::Day("日期")};
    const auto text = db::text::Read("a3.txt", schema);
    ASSERT_EQ(text.size(), 3u);
    EXPECT_EQ(db::PlainText(text[1][0]), "乙公司");
}

TEST_F(ToolTest, TheColumnDialogNamesAndSizesTheSavedField)
{
    InTool("emp.db", [&](TF_db_tool& t) {
        t.DBGrid1->SetSelectedIndex(0);
        const int before = t.DBGrid1->Columns()[0]->Width();
        int shown = 0;
        User().InModal("F_change_c", [&](TForm& f) {
            auto& d = static_cast<TF_change_c&>(f);
            EXPECT_EQ(d.Edit1->Text(), "名称");
            shown = std::stoi(d.Edit2->Text());
            EXPECT_EQ(shown, static_cast<int>(before / GridCharWidth));
            EXPECT_TRUE(TScriptedUser::Type(*d.Edit1, "企业"));
            EXPECT_TRUE(TScriptedUser::Type(*d.Edit2, std::to_string(shown / 2)));
            EXPECT_TRUE(TScriptedUser::Press(*d.Button1));
        });
        EXPECT_TRUE(TScriptedUser::DblClick(*t.DBGrid1));
        EXPECT_EQ(t.DBGrid1->Columns()[0]->Title()->Caption(), "企业");
        SaveAs(t, "shaped.db", 1);
        TTable saved;
        saved.SetTableName(Path("shaped.db"));
        saved.Open();
        EXPECT_EQ(saved.Fields()[0]->FieldName(), "企业");
        EXPECT_EQ(saved.Fields()[0]->Size(),
                  static_cast<int>(static_cast<int>(shown / 2 * GridCharWidth) / GridCharWidth));
    });
}

TEST_F(ToolTest, SwapShowsHljhAsAQueryAndSqlDisablesPackAndEmpty)
{
    InTool("emp.db", [&](TF_db_tool& t) {
        EXPECT_TRUE(TScriptedUser::Press(*t.Button6));
        EXPECT_EQ(t.DataSource1->DataSet(), t.Query1);
        EXPECT_EQ(Enabled(t), kQueryShown);
        EXPECT_EQ(t.Query1->FieldCount(), 4);
        EXPECT_EQ(t.Query1->RecordCount(), 3);
        EXPECT_EQ(t.Query1->Fields()[0]->AsString(), "名称");
        EXPECT_EQ(t.Query1->Fields()[1]->AsString(), "甲公司");
        // The swapped table saves like any result.
        SaveAs(t, "swapped.db", 1);
        EXPECT_EQ(ReadTable(Path("swapped.db")).size(), 3u);
        t.Memo1->SetText("select 名称 from \"emp.db\"\nwhere 产值 > 8");
        EXPECT_TRUE(TScriptedUser::Press(*t.Button5));
        EXPECT_EQ(t.Query1->RecordCount(), 1);
    });
}

TEST_F(ToolTest, EmptyAsksFirstAndPackShrinksTheFile)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.push_back({"记录" + std::to_string(i), std::to_string(i), ""});
    }
    testsupport::MakeTable("big.db", {testsupport::Text("名称", 200), testsupport::Number("产值"), testsupport::Day("日期")},
                           rows);
    {
        TTable t;
        t.SetTableName("big.db");
        t.Open();
        t.SetFilter("产值 > 10");
        t.SetFiltered(true);
        t.BeginBatch();
        while (!t.IsEmpty()) {
            t.Delete();
        }
        t.EndBatch();
    }
    const auto before = fs::file_size("big.db");
    InTool("big.db", [&](TF_db_tool& t) {
        EXPECT_TRUE(TScriptedUser::Press(*t.Button7));
        EXPECT_TRUE(t.Table1->Active());
        EXPECT_LT(fs::file_size(Path("big.db")), before / 4);
        EXPECT_EQ(t.Table1->RecordCount(), 11);
        User().ExpectMessage("提示信息", "是否真要清空数据库", IDNO);
        EXPECT_TRUE(TScriptedUser::Press(*t.Button8));
        EXPECT_EQ(t.Table1->RecordCount(), 11);
        User().ExpectMessage("提示信息", "是否真要清空数据库", IDYES);
        EXPECT_TRUE(TScriptedUser::Press(*t.Button8));
        EXPECT_TRUE(t.Table1->Active());
        EXPECT_EQ(t.Table1->RecordCount(), 0);
        EXPECT_EQ(Enabled(t), kAllButtons);
    });
    EXPECT_TRUE(ReadTable("big.db").empty());
}

TEST_F(ToolTest, BadFilesAndBadTargetsAreToldAndLoseNothing)
{
    std::ofstream("broken.db") << "this is no table";
    const std::string empBefore = Bytes("emp.db");
    const std::string rulesBefore = Bytes("kfq1_chk.db");
    InTool("", [&](TF_db_tool& t) {
        EXPECT_EQ(Enabled(t), kNothingOpen);
        // A damaged file: the engine's message, and the tool stays as it was.
        User().AnswerFile(Path("broken.db"), "请选择数据库文件").ExpectMessageContaining(Application->Title, "broken.db");
        EXPECT_TRUE(TScriptedUser::Press(*t.Button1));
        EXPECT_EQ(Enabled(t), kNothingOpen);
        User().AnswerFile(Path("emp.db"), "请选择数据库文件");
        EXPECT_TRUE(TScriptedUser::Press(*t.Button1));
        User().AnswerFile(Path("broken.db"), "请选择数据库文件").ExpectMessageContaining(Application->Title, "broken.db");
        EXPECT_TRUE(TScriptedUser::Press(*t.Button1));
        EXPECT_TRUE(t.Table1->Active());
        EXPECT_EQ(t.Table1->RecordCount(), 3);
        // Saves: over the open table, over a rule table, into a missing folder, over a file the user keeps.
        SaveAs(t, "emp.db", 1, [&] {
            User().ExpectMessage("提示", "文件“" + Path("emp.db") + "”已存在，是否替换？", IDYES)
                .ExpectMessageContaining(Application->Title, "正在使用");
        });
        SaveAs(t, "kfq1_chk.db", 1, [&] { User().ExpectMessageContaining("错误窗口", "kfq1_chk.db"); });
        SaveAs(t, "missing/out.db", 1, [&] { User().ExpectMessageContaining(Application->Title, "不存在"); });
        testsupport::MakeTable(Path("mine.db"), {testsupport::Text("x", 4)}, {{"keep"}});
        SaveAs(t, "mine.db", 1, [&] {
            User().ExpectMessage("提示", "文件“" + Path("mine.db") + "”已存在，是否替换？", IDNO);
        });
    });
    EXPECT_EQ(Bytes("emp.db"), empBefore);
    EXPECT_EQ(Bytes("kfq1_chk.db"), rulesBefore);
    EXPECT_EQ(ReadTable("mine.db").size(), 1u);
    EXPECT_FALSE(fs::exists("missing"));
}

TEST_F(ToolTest, PrintingTwiceWhileThePagePrinterIsShownBesideIt)
{
    std::vector<int> printed;
    report::setPrintSink([&](const report::Document& d) { printed.push_back(static_cast<int>(d.pages.size())); });
    // The page printer already shown beside, as the query window leaves it.
    StartProgram();
    TTable emp;
    emp.SetTableName("emp.db");
    ShowQueryPrint(&emp, nullptr, TQueryPrintShow::Modeless);
    ASSERT_TRUE(F_query_p && F_query_p->Visible());
    InTool("emp.db", [&](TF_db_tool& t) {
        for (int round = 0; round < 2; ++round) {
            User().InModal("F_query_p", [&](TForm& f) {
                auto& p = static_cast<TF_query_p&>(f);
                EXPECT_EQ(p.Table1->RecordCount(), 3);
                EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
                EXPECT_TRUE(TScriptedUser::Press(*p.Button6));
            });
            EXPECT_TRUE(TScriptedUser::Press(*t.Button3));
        }
    });
    report::setPrintSink({});
    EXPECT_EQ(printed, (std::vector<int>{1, 1}));
    EXPECT_EQ(ReadTable("bt_p.db").size(), 3u);
}

}  // namespace
}  // namespace printtest
