// The university science parks window end to end: its enterprise and project pages (status text, buttons, the
// locate dialog on the park pages only, Enter in the project grid), a changed park code carried into both lists
// with new Ids while a changed enterprise number moves nothing else, deletes, the texts of each list's missing
// or duplicate key, and "数据追加" of the three tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "EntryFixture.h"
#include "entry/Dxkjy.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

class Dxkjy : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        EmptyTables({"dx_chk.db", "dxzfqy_chk.db", "dxxm_chk.db"});
        StartProgram();
    }

    static void AddPark(const std::string& code) { AddRow("dx.db", {{"Id", code}, {"CODE", code}, {"TDF811", "园" + code}}); }
    static void AddEnterprise(const std::string& code, const std::string& code2)
    {
        AddRow("dxzfqy.db", {{"Id", code + code2}, {"CODE", code}, {"CODE2", code2}, {"TDF8114", "企业" + code2}});
    }
    static void AddProject(const std::string& code, const std::string& code2)
    {
        AddRow("dxxm.db", {{"Id", code + code2}, {"Code", code}, {"Code2", code2}, {"Tdf8q110", "项目" + code2}});
    }
    // Parks P'1 (enterprises E1, E2, E3; projects X1, X2) and P2 (enterprise E1, project X1).
    static void Arrange()
    {
        AddPark("P'1");
        AddPark("P2");
        for (const char* e : {"E1", "E2", "E3"}) {
            AddEnterprise("P'1", e);
        }
        AddEnterprise("P2", "E1");
        AddProject("P'1", "X1");
        AddProject("P'1", "X2");
        AddProject("P2", "X1");
    }
    static Lines Sorted(Lines rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void InDxkjy(const std::function<void(TF_dxkjy&)>& act) { InWindow<TF_dxkjy>("TF_dxkjy", 7, act); }
};

TEST_F(Dxkjy, TheListPagesCountTheParksRowsAndLocateOnlyOnTheParkPages)
{
    Arrange();
    InDxkjy([&](TF_dxkjy& w) {
        EXPECT_EQ(w.Caption(), "大学科技园情况");
        ASSERT_TRUE(ShowPage(w, "TabSheet3"));
        EXPECT_EQ(w.curTable, w.Table2);
        ASSERT_TRUE(Press(w.ToolButton4));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: P'1  当前记录: 3  总记录: 3  未修改");
        ASSERT_TRUE(TScriptedUser::DblClick(*w.StatusBar1));  // linked: nothing opens
        ASSERT_TRUE(ShowPage(w, "TabSheet5"));
        EXPECT_EQ(w.curTable, w.Table3);
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: P'1  当前记录: 1  总记录: 2  未修改");
        for (TToolButton* b : {w.ToolButton5, w.ToolButton6, w.ToolButton9}) {
            EXPECT_TRUE(b->Enabled()) << b->Name();
        }
        // Enter in the last column of the project grid keeps it selected
        ASSERT_TRUE(TScriptedUser::Focus(*w.DBGrid1));
        w.DBGrid1->SetSelectedIndex(w.DBGrid1->ColumnCount() - 1);
        ASSERT_TRUE(TScriptedUser::Key(*w.DBGrid1, Qt::Key_Return));
        EXPECT_EQ(w.ActiveControl(), w.DBGrid1);
        EXPECT_EQ(w.DBGrid1->SelectedIndex(), w.DBGrid1->ColumnCount() - 1);
        ASSERT_TRUE(TScriptedUser::DblClick(*w.StatusBar1));
        ASSERT_TRUE(ShowPage(w, "TabSheet2"));
        User().InModal("TF_change_r", [](TForm& f) { f.Close(); });
        ASSERT_TRUE(TScriptedUser::DblClick(*w.StatusBar1));
        EXPECT_EQ(LocateTable, w.Table1);
        EXPECT_EQ(LocateIndex, "dx");
    });
}

struct CodeChangeCase {
    const char* name;
    const char* sheet;   // where the new code is typed
    const char* field;
    const char* then;    // the page shown next, or "" for "存盘"
    Lines enterprises, projects;  // Id|CODE|CODE2 afterwards
};

TEST_F(Dxkjy, AChangedParkCodeMovesBothListsAndAnEnterpriseNumberNothing)
{
    const CodeChangeCase cases[] = {
        {"park stored", "TabSheet1", "CODE", "",
         {"P2E1|P2|E1", "P9E1|P9|E1", "P9E2|P9|E2", "P9E3|P9|E3"}, {"P2X1|P2|X1", "P9X1|P9|X1", "P9X2|P9|X2"}},
        {"park by going to the projects", "TabSheet1", "CODE", "TabSheet5",
         {"P2E1|P2|E1", "P9E1|P9|E1", "P9E2|P9|E2", "P9E3|P9|E3"}, {"P2X1|P2|X1", "P9X1|P9|X1", "P9X2|P9|X2"}},
        {"enterprise stored", "TabSheet3", "CODE2", "",
         {"P'1E2|P'1|E2", "P'1E3|P'1|E3", "P'1E9|P'1|E9", "P2E1|P2|E1"}, {"P'1X1|P'1|X1", "P'1X2|P'1|X2", "P2X1|P2|X1"}},
    };
    for (const CodeChangeCase& c : cases) {
        EmptyTables({"dx.db", "dxzfqy.db", "dxxm.db"});
        Arrange();
        InDxkjy([&](TF_dxkjy& w) {
            ASSERT_TRUE(ShowPage(w, c.sheet));
            ASSERT_TRUE(TypeInto(w, c.field, c.field == std::string("CODE") ? "P9" : "E9",
                                 c.field == std::string("CODE") ? w.DataSource1 : w.DataSource2));
            if (*c.then) {
                ASSERT_TRUE(ShowPage(w, c.then));
                EXPECT_EQ(w.Table3->RecordCount(), 2) << c.name;
            } else {
                ASSERT_TRUE(Press(w.ToolButton7));
            }
            for (TTable* t : {w.Table2, w.Table3}) {
                EXPECT_FALSE(t->ConstraintsDisabled()) << c.name;
                EXPECT_TRUE(SameName(t->MasterFields(), "code")) << c.name;
            }
        });
        EXPECT_EQ(Sorted(Rows("dxzfqy.db", {"Id", "CODE", "CODE2"})), c.enterprises) << c.name;
        EXPECT_EQ(Sorted(Rows("dxxm.db", {"Id", "Code", "Code2"})), c.projects) << c.name;
    }
}

TEST_F(Dxkjy, DeletesTakeAParksListsAndOtherwiseTheRowOnly)
{
    struct DeleteCase {
        const char* name;
        const char* sheet;
        Lines parks, enterprises, projects;
    };
    const DeleteCase cases[] = {
        {"park", "TabSheet2", {"P2"}, {"P2E1"}, {"P2X1"}},
        {"enterprise", "TabSheet3", {"P'1", "P2"}, {"P'1E2", "P'1E3", "P2E1"}, {"P'1X1", "P'1X2", "P2X1"}},
        {"project", "TabSheet5", {"P'1", "P2"}, {"P'1E1", "P'1E2", "P'1E3", "P2E1"}, {"P'1X2", "P2X1"}},
    };
    for (const DeleteCase& c : cases) {
        EmptyTables({"dx.db", "dxzfqy.db", "dxxm.db"});
        Arrange();
        InDxkjy([&](TF_dxkjy& w) {
            ASSERT_TRUE(ShowPage(w, c.sheet));
            Expect("提示", "是否删除当前记录", IDYES);
            ASSERT_TRUE(Press(w.ToolButton6));
        });
        EXPECT_EQ(Sorted(Rows("dx.db", {"Id"})), c.parks) << c.name;
        EXPECT_EQ(Sorted(Rows("dxzfqy.db", {"Id"})), c.enterprises) << c.name;
        EXPECT_EQ(Sorted(Rows("dxxm.db", {"Id"})), c.projects) << c.name;
    }
}

TEST_F(Dxkjy, EachListNamesItsMissingOrDuplicateKey)
{
    const std::vector<MessageCase<TF_dxkjy>> cases = {
        {"project under a new park",
         [](TF_dxkjy& w) {
             Press(w.ToolButton5);
             ShowPage(w, "TabSheet5");
             Press(w.ToolButton5);
         },
         "提示窗口", "请先填入大学园编号", "TabSheet1"},
        {"enterprise without its number",
         [](TF_dxkjy& w) {
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
             TypeInto(w, "TDF8114", "新企业", w.DataSource2);
             Press(w.ToolButton7);
         },
         "错误窗口", "企业编号不能为空", "TabSheet3"},
        {"project without its number",
         [](TF_dxkjy& w) {
             ShowPage(w, "TabSheet5");
             Press(w.ToolButton5);
             w.Table3->FieldByName("Tdf8q110")->SetAsString("新项目");
             Press(w.ToolButton7);
         },
         "错误窗口", "项目编号不能为空", "TabSheet5"},
        {"duplicate enterprise",
         [](TF_dxkjy& w) {
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
             TypeInto(w, "CODE2", "E2", w.DataSource2);
             Press(w.ToolButton7);
         },
         "", "企业数据错误:企业编号重复", "TabSheet3"},
        {"duplicate project",
         [](TF_dxkjy& w) {
             ShowPage(w, "TabSheet5");
             Press(w.ToolButton5);
             w.Table3->FieldByName("Code2")->SetAsString("X2");
             Press(w.ToolButton7);
         },
         "", "项目数据错误:项目编号重复", "TabSheet5"},
    };
    Arrange();
    ExpectMessages<TF_dxkjy>("TF_dxkjy", 7, cases);
    EXPECT_EQ(Rows("dx.db", {"Id"}).size(), 2u);
    EXPECT_EQ(Rows("dxzfqy.db", {"Id"}).size(), 4u);
    EXPECT_EQ(Rows("dxxm.db", {"Id"}).size(), 3u);
}

// The enterprises and the projects are each merged on the park's code and their own number.
TEST_F(Dxkjy, AppendedListsAreMatchedOnBothCodes)
{
    Arrange();
    const std::filesystem::path sub = base_ / "sub";
    std::filesystem::create_directories(sub);
    auto source = [&](const char* file) { return (sub / file).string(); };
    for (const char* file : {"dxzfqy.db", "dxxm.db"}) {
        std::filesystem::copy_file(file, source(file));
        EmptyTables({source(file)});
    }
    AddRow(source("dxzfqy.db"), {{"Id", "1"}, {"CODE", "P'1"}, {"CODE2", "E2"}, {"TDF8114", "改名"}});
    AddRow(source("dxzfqy.db"), {{"Id", "2"}, {"CODE", "P2"}, {"CODE2", "E2"}, {"TDF8114", "新企业"}});
    AddRow(source("dxxm.db"), {{"Id", "1"}, {"Code", "P2"}, {"Code2", "X1"}, {"Tdf8q110", "改名"}});
    AddRow(source("dxxm.db"), {{"Id", "2"}, {"Code", "P2"}, {"Code2", "E1"}, {"Tdf8q110", "新项目"}});
    InDxkjy([&](TF_dxkjy& w) {
        User().CancelFile("请选择大学科技园数据库  文件名:dx.db");
        User().AnswerFile(source("dxzfqy.db"), "请选择大学科技园在孵企业数据库  文件名:dxzfqy.db");
        Expect("", "是否清空大学科技园在孵企业数据库数据库", IDNO);
        User().AnswerFile(source("dxxm.db"), "请选择大学科技园项目数据库（大学园填）  文件名:dxxm.db");
        Expect("", "是否清空大学科技园项目数据库数据库", IDNO);
        ASSERT_TRUE(Press(w.ToolButton9));
        EXPECT_EQ(Page(w), "TabSheet1");
        EXPECT_TRUE(SameName(w.Table2->MasterFields(), "code"));
        EXPECT_TRUE(SameName(w.Table3->MasterFields(), "code"));
    });
    EXPECT_EQ(Sorted(Rows("dxzfqy.db", {"Id", "TDF8114", "dxzfqy_one"})),
              (Lines{"P'1E1|企业E1|", "P'1E2|改名|1", "P'1E3|企业E3|", "P2E1|企业E1|", "P2E2|新企业|1"}));
    EXPECT_EQ(Sorted(Rows("dxxm.db", {"Id", "Tdf8q110", "dxxm_one"})),
              (Lines{"P'1X1|项目X1|", "P'1X2|项目X2|", "P2E1|新项目|1", "P2X1|改名|1"}));
}

}  // namespace
