// The national projects window: each record kind through insert, store, delete or clear and import; the
// start-up list "gjxm_s.dbf" (written by our dBase writer, read back by python3-dbfread) filling an empty table
// whole or not at all; "数据追加" that checks its source first and gives the window back its state whatever
// ends it; the reworded duplicate errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "EntryFixture.h"
#include "entry/Gjwsb.h"
#include "entry/Gjxm.h"
#include "platform/ui/Dialogs.h"
#include "support/Python.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;
using entrytest::Values;

class Gjxm : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        EmptyTables({"gjxm.db", "gjxm_chk.db", "sendname.db", "gj_wsb.db"});
        StartProgram();
    }
    static void AddProject(const std::string& jb00, const std::string& name, const std::string& kind)
    {
        AddRow("gjxm.db", {{"Id", jb00}, {"JB00", jb00}, {"JB01", name}, {"JB02", "N" + jb00}, {"JB21", "单位" + jb00},
                           {"JC100", "5"}, {"IS_CHGE", kind}});
    }
    // A project list in our dBase format (the start-up list's fields), one row per entry.
    static void WriteList(const std::string& file, const std::vector<Values>& rows)
    {
        if (!std::filesystem::exists(file)) {
            std::filesystem::copy_file("gjxm_s.dbf", file);
        }
        TTable t;
        t.SetTableName(file);
        t.EmptyTable();
        t.Open();
        for (const Values& row : rows) {
            t.Append();
            for (const auto& [field, value] : row) {
                t.FieldByName(field)->SetAsString(value);
            }
            t.Post();
        }
        t.Close();
    }
    void InGjxm(const std::function<void(TF_gjxm&)>& act) { InWindow<TF_gjxm>("TF_gjxm", 3, act); }
    static std::string Status(TF_gjxm& w) { return w.StatusBar1->SimpleText(); }
};

// Issued, entered and added records through store, insert, delete and clear; a cleared project is listed as
// unreported again.
TEST_F(Gjxm, EachKindThroughStoreInsertDeleteAndClear)
{
    AddProject("P1", "甲", "");
    AddProject("P2", "乙", "1");
    InGjxm([&](TF_gjxm& w) {
        EXPECT_EQ(Status(w), "项目编号:P1  当前记录:1  总记录:2  未修改  下发清单记录，未录入");
        ASSERT_TRUE(TypeInto(w, "JBFZR", "王"));
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(Status(w), "项目编号:P1  当前记录:1  总记录:2  未修改  下发清单记录，已录入");
        ASSERT_TRUE(Press(w.ToolButton5));
        EXPECT_TRUE(Status(w).ends_with("已修改  新增加记录"));
        ASSERT_TRUE(TypeInto(w, "JB00", "P3"));
        ASSERT_TRUE(TypeInto(w, "JB01", "丙"));
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(Status(w), "项目编号:P3  当前记录:3  总记录:3  未修改  新增加记录");
        // an added project is deleted
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        // a project being added is only discarded: the issued record that becomes current stays as it is
        ASSERT_TRUE(Press(w.ToolButton3));
        ASSERT_TRUE(Press(w.ToolButton5));
        ASSERT_TRUE(TypeInto(w, "JB00", "P4"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        EXPECT_EQ(Status(w), "项目编号:P1  当前记录:1  总记录:2  未修改  下发清单记录，已录入");
        // an issued project is cleared back to its issued form
        Expect("提示", "是否清空当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        EXPECT_EQ(Status(w), "项目编号:P1  当前记录:1  总记录:2  未修改  下发清单记录，未录入");
        // the next store outside a clear marks it entered again; the clear did not leave stores unmarked
        ASSERT_TRUE(Press(w.ToolButton2));
        ASSERT_TRUE(TypeInto(w, "JBTBR", "李"));
        ASSERT_TRUE(Press(w.ToolButton7));
    });
    EXPECT_EQ(Rows("gjxm.db", {"Id", "JB00", "JB01", "JB02", "JB21", "JBFZR", "JC100", "GJ_ONE", "IS_CHGE"}),
              (Lines{"P1|P1|甲|NP1|||0|1|", "P2|P2|乙|NP2|单位P2||5|1|1"}));
    InWindow<TF_gjwsb>("TF_gjwsb", 4, [&](TF_gjwsb& w) { ASSERT_TRUE(Press(w.ToolButton1)); });
    EXPECT_EQ(Rows("gj_wsb.db", {"JB00", "JB01", "YY"}), Lines{"P1|甲|"});
}

TEST_F(Gjxm, DuplicateNumbersAndNamesAreRefusedWithTheirTexts)
{
    AddProject("P1", "甲", "1");
    InGjxm([&](TF_gjxm& w) {
        ASSERT_TRUE(Press(w.ToolButton5));
        ASSERT_TRUE(TypeInto(w, "JB00", "p1"));
        ASSERT_TRUE(TypeInto(w, "JB01", "乙"));
        ExpectError("数据错误:统计编号重复");
        ASSERT_TRUE(Press(w.ToolButton7));
        ASSERT_TRUE(TypeInto(w, "JB00", "P2"));
        ASSERT_TRUE(TypeInto(w, "JB01", "甲"));
        User().ExpectMessageContaining(Application->Title, "数据错误:Key violation");
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.Table1->State(), TDataSetState::dsInsert);
        ASSERT_TRUE(TypeInto(w, "JB01", "乙"));
        ASSERT_TRUE(Press(w.ToolButton7));
    });
    EXPECT_EQ(Rows("gjxm.db", {"JB00", "JB01", "IS_CHGE"}), (Lines{"P1|甲|1", "P2|乙|2"}));
}

// The start-up list fills an empty table at the first opening, with each row's own kind; a list that fails
// midway leaves the table empty, so that the next opening takes it again.
TEST_F(Gjxm, TheStartUpListFillsAnEmptyTableWholeOrNotAtAll)
{
    WriteList("gjxm_s.dbf", {{{"PXH", "120"}, {"JB00", "P1"}, {"JB01", "甲"}, {"JB02", "N1"}},
                             {{"JB00", "P2"}, {"JB01", "乙"}, {"IS_CHGE", "2"}},
                             {{"JB00", "P3"}, {"JB01", "甲"}}});  // a second 甲: refused by the name index
    const Lines read = testsupport::RunPython(
        ".", "import sys, dbfread\nfor r in dbfread.DBF(sys.argv[1]): print(r['JB00'], r['JB01'], r['IS_CHGE'])\n",
        {"gjxm_s.dbf"});
    EXPECT_EQ(read, (Lines{"P1 甲 ", "P2 乙 2", "P3 甲 "}));
    Expect("错误窗口", "下发项目清单“gjxm_s.dbf”未能导入，国家级项目数据库保持为空：数据错误:Key violation in "
                       "unique index gjxm2.");
    InGjxm([&](TF_gjxm& w) {
        EXPECT_EQ(VisiblePages(w), Lines{"TabSheet1"});
        EXPECT_EQ(Status(w), "项目编号:  当前记录:0  总记录:0  未修改  下发清单记录，未录入");
    });
    EXPECT_TRUE(Rows("gjxm.db", {"JB00"}).empty());

    WriteList("gjxm_s.dbf", {{{"PXH", "120"}, {"JB00", "P1"}, {"JB01", "甲"}, {"JB02", "N1"}},
                             {{"JB00", "P2"}, {"JB01", "乙"}, {"IS_CHGE", "2"}}});
    InGjxm([&](TF_gjxm& w) {
        EXPECT_EQ(Status(w), "项目编号:P1  当前记录:1  总记录:2  未修改  下发清单记录，未录入");
        EXPECT_EQ(VisiblePages(w).size(), 6u);
    });
    EXPECT_EQ(Rows("gjxm.db", {"Id", "JB00", "JB02", "JC100", "GJ_ONE", "IS_CHGE"}),
              (Lines{"P1|P1|N1|0|1|", "P2|P2||0|1|2"}));
}

// "数据追加" refuses a source without kinds before it asks to empty the table, and leaves the window's state
// as it was (later stores still mark the kind); a source's rows without a kind leave the local record alone and
// a number that differs in letter case updates the stored project.
TEST_F(Gjxm, AppendChecksTheSourceFirstAndMergesOnlyEnteredRows)
{
    AddProject("P1", "甲", "");
    AddProject("P2", "乙", "");
    {
        TTable noKind;
        noKind.SetTableName("nokind.db");
        noKind.FieldDefs.Add("JB00", TFieldType::String, 9);
        noKind.CreateTable();
    }
    WriteList("list.dbf", {{{"JB00", "p1"}, {"JB01", "甲"}, {"JB21", "新单位"}, {"IS_CHGE", "1"}},
                           {{"JB00", "P2"}, {"JB01", "乙"}, {"JB21", "不取"}},
                           {{"JB00", "P5"}, {"JB01", "戊"}, {"IS_CHGE", "2"}}});
    InGjxm([&](TF_gjxm& w) {
        User().AnswerFile("nokind.db", "请选择国家级项目数据库  文件名:gjxm.db");
        ExpectError("数据表“nokind.db”中没有字段“is_chge”");
        ASSERT_TRUE(Press(w.ToolButton9));
        ASSERT_TRUE(Press(w.ToolButton2));
        ASSERT_TRUE(TypeInto(w, "JBFZR", "王"));
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_TRUE(Status(w).ends_with("下发清单记录，已录入"));
        User().AnswerFile("list.dbf", "请选择国家级项目数据库  文件名:gjxm.db");
        Expect("", "是否清空国家级项目数据库", IDNO);
        ASSERT_TRUE(Press(w.ToolButton9));
    });
    EXPECT_EQ(Rows("gjxm.db", {"Id", "JB00", "JB21", "JBFZR", "IS_CHGE"}),
              (Lines{"P2|P2|单位P2|王|1", "P5|P5|||2", "p1|p1|新单位||1"}));
}

}  // namespace
