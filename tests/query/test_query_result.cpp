// The query window's result page: a column renamed and narrowed in the column dialog, saving and printing with
// those titles and widths, the row/column swap, the free statement; and the window beside the other windows.
#include <gtest/gtest.h>

#include "QueryWindowFixture.h"
#include "query/ColumnDialog.h"
#include "query/QueryPrint.h"

namespace {

using querytest::QueryWindowTest;
using querytest::Row;

std::vector<std::string> FieldNames(TDataSet& d)
{
    std::vector<std::string> out;
    for (int i = 0; i < d.FieldCount(); ++i) {
        out.push_back(d.Fields()[i]->FieldName());
    }
    return out;
}

TEST_F(QueryWindowTest, ResultSavedPrintedSwappedAndStatementTypedByHand)
{
    TF_query& w = Open(1);
    EXPECT_FALSE(w.Button16->Enabled());
    EXPECT_FALSE(w.Button18->Enabled());
    User().ExpectMessage("提示", "没有查询统计结果，请先进行查询或统计");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button17));

    DblClick(*w.CheckListBox1, "报表编号");
    DblClick(*w.CheckListBox1, "企业详细名称");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_TRUE(w.Button16->Enabled());
    EXPECT_TRUE(w.Button18->Enabled());

    w.DBGrid1->SetSelectedIndex(0);
    User().InModal("F_change_c", [](TForm& f) {
        auto& d = static_cast<TF_change_c&>(f);
        EXPECT_EQ(d.Edit1->Text(), "报表编号");
        EXPECT_TRUE(TScriptedUser::Type(*d.Edit1, "编号"));
        EXPECT_TRUE(TScriptedUser::Type(*d.Edit2, "8"));
        EXPECT_TRUE(TScriptedUser::Press(*d.Button1));
    });
    ASSERT_TRUE(TScriptedUser::DblClick(*w.DBGrid1));
    EXPECT_EQ(EditColumn, w.DBGrid1->Columns()[0]);
    EXPECT_EQ(w.DBGrid1->Columns()[0]->Title()->Caption(), "编号");

    User().AnswerFile((folder_ / "out.db").string(), "请选择存盘文件名");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button18));
    {
        TTable saved;
        saved.SetTableName("out.db");
        saved.Open();
        EXPECT_EQ(FieldNames(saved), (std::vector<std::string>{"编号", "企业详细名称"}));
        EXPECT_EQ(saved.Fields()[0]->Size(), 8);
        EXPECT_EQ(querytest::Answer(saved, {"编号"}), (std::vector<Row>{{"100001"}, {"100002"}, {"100003"}}));
    }

    // The page printer comes up beside the query window, on the result with the grid's titles.
    ASSERT_TRUE(TScriptedUser::Press(*w.Button17));
    ASSERT_NE(F_query_p, nullptr);
    EXPECT_TRUE(F_query_p->Visible());
    EXPECT_FALSE(F_query_p->Modal());
    EXPECT_EQ(FieldNames(*F_query_p->Table1), (std::vector<std::string>{"编号", "企业详细名称"}));
    EXPECT_EQ(F_query_p->Table1->RecordCount(), 3);

    ASSERT_TRUE(TScriptedUser::Press(*w.Button16));
    EXPECT_EQ(w.Query1->SQL.Text(), "Select * from hljh.db");
    EXPECT_EQ(FieldNames(*w.Query1), (std::vector<std::string>{"字段名", "字段1", "字段2", "字段3"}));
    EXPECT_EQ(querytest::Answer(*w.Query1, {"字段名", "字段3"}),
              (std::vector<Row>{{"报表编号", "100003"}, {"企业详细名称", "丙公司"}}));

    w.Memo1->SetText("select QA01 from \"kfq_1.db\"\nwhere QC02>60");
    ASSERT_TRUE(TScriptedUser::Press(*w.Button15));
    EXPECT_EQ(querytest::Answer(*w.Query1), std::vector<Row>{{"100001"}});
}

// The query window stays open while the main window opens a data-entry window; its choices stay, and its next
// query sees what was stored meanwhile.
TEST_F(QueryWindowTest, WorksBesideTheDataEntryWindow)
{
    TF_query& w = Open(1);
    DblClick(*w.CheckListBox1, "报表编号");
    Click(*w.ListBox4, "like '%匹配字符%'");
    EXPECT_EQ(w.ListBox4->Hint(), "like '%匹配字符%'");
    User().InModal("TF_kfq", [&](TForm& f) {
        EXPECT_TRUE(w.Visible());
        f.Close();
    });
    ASSERT_TRUE(TScriptedUser::Press(*F_main->Button1));
    querytest::AppendRecords("kfq_1.db", {{{"Id", "100004"}, {"QA01", "100004"}, {"QA03", "10000004-1"},
                                           {"QA04", "丁公司"}}});
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(Ticked(*w.CheckListBox1), std::vector<std::string>{"报表编号"});
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    EXPECT_EQ(w.Query1->RecordCount(), 4);
    ASSERT_TRUE(TScriptedUser::Press(*w.Button19));
    EXPECT_FALSE(w.Visible());
    Open(1);  // the same window again, as it was left
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.Query1->RecordCount(), 4);
}

}  // namespace
