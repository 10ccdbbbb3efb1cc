// The software bases window end to end: three levels browsed and stored (status text per page, a product typed
// into the grid, the products of every enterprise read-only, the locate dialog on the bases from any page), a
// changed code carried down from either level with new Ids, deletes at each level, the texts of each level's
// missing or duplicate key, and "数据追加" of all three tables answered Yes and No.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "EntryFixture.h"
#include "entry/Rjjd.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

class Rjjd : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        // The tests write what they need; the shipped rules would ask for codes of their own form.
        EmptyTables({"rjjd_chk.db", "rjjdqy_chk.db", "rjjdqycp_chk.db"});
        StartProgram();
    }

    static void AddBase(const std::string& code) { AddRow("rjjd.db", {{"Id", code}, {"Code", code}, {"Ke100", "基地" + code}}); }
    static void AddEnterprise(const std::string& code, const std::string& code2)
    {
        AddRow("rjjdqy.db", {{"Id", code + code2}, {"Code", code}, {"Code2", code2}, {"Ke100", "企业" + code2}});
    }
    static void AddProduct(const std::string& code, const std::string& code2, const std::string& code3)
    {
        AddRow("rjjdqycp.db",
               {{"Id", code + code2 + code3}, {"Code", code}, {"Code2", code2}, {"Code3", code3}, {"Ke189", "产品" + code3}});
    }
    // Bases B'1 and B2; B'1 has enterprises E1 (products P1, P2) and E2 (P1), B2 has E1 (P1). B'1 also has a
    // product whose enterprise is gone.
    static void Arrange()
    {
        AddBase("B'1");
        AddBase("B2");
        AddEnterprise("B'1", "E1");
        AddEnterprise("B'1", "E2");
        AddEnterprise("B2", "E1");
        AddProduct("B'1", "E1", "P1");
        AddProduct("B'1", "E1", "P2");
        AddProduct("B'1", "E2", "P1");
        AddProduct("B'1", "E8", "P1");
        AddProduct("B2", "E1", "P1");
    }
    static Lines Sorted(Lines rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void InRjjd(const std::function<void(TF_rjjd&)>& act) { InWindow<TF_rjjd>("TF_rjjd", 6, act); }
};

TEST_F(Rjjd, ThreeLevelsAreBrowsedAndStoredPageByPage)
{
    Arrange();
    InRjjd([&](TF_rjjd& w) {
        EXPECT_EQ(w.Caption(), "软件产业基地情况");
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: B'1  当前记录: 1  总记录: 2  未修改");
        ASSERT_TRUE(ShowPage(w, "TabSheet4"));
        EXPECT_EQ(w.curTable, w.Table2);
        ASSERT_TRUE(Press(w.ToolButton2));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: B'1  当前记录: 2  总记录: 2  未修改");
        ASSERT_TRUE(ShowPage(w, "TabSheet5"));  // E2's one product
        EXPECT_EQ(w.curTable, w.Table3);
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: B'1  当前记录: 1  总记录: 1  未修改");
        ASSERT_TRUE(Press(w.ToolButton5));
        ASSERT_TRUE(TScriptedUser::Focus(*w.DBGrid1));
        w.DBGrid1->SetSelectedIndex(0);
        ASSERT_TRUE(TScriptedUser::Type(*w.DBGrid1, "P7"));
        w.DBGrid1->SetSelectedIndex(1);
        ASSERT_TRUE(TScriptedUser::Type(*w.DBGrid1, "新产品"));
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: B'1  当前记录: 2  总记录: 2  未修改");

        // every enterprise's products, read-only and without "插入记录"; the page shows its own again when entered
        ASSERT_TRUE(TScriptedUser::Choose(*w.ComboBox2, 1));
        EXPECT_EQ(w.Table3->RecordCount(), 6);
        EXPECT_TRUE(w.DBGrid1->ReadOnly());
        EXPECT_TRUE(w.DBGrid2->ReadOnly());
        EXPECT_FALSE(w.ToolButton5->Enabled());
        // the locate dialog searches the bases, whatever page is shown
        User().InModal("TF_change_r", [](TForm& f) { f.Close(); });
        ASSERT_TRUE(TScriptedUser::DblClick(*w.StatusBar1));
        EXPECT_EQ(LocateTable, w.Table1);
        EXPECT_EQ(LocateIndex, "rjjd");
        ASSERT_TRUE(ShowPage(w, "TabSheet6"));
        ASSERT_TRUE(ShowPage(w, "TabSheet5"));
        EXPECT_EQ(w.ComboBox2->ItemIndex(), 0);
        EXPECT_EQ(w.Table3->RecordCount(), 2);
        EXPECT_FALSE(w.DBGrid1->ReadOnly());
        EXPECT_TRUE(w.ToolButton5->Enabled());
        EXPECT_TRUE(w.ToolButton9->Enabled());
    });
    EXPECT_EQ(Sorted(Rows("rjjdqycp.db", {"Id", "Code", "Code2", "Code3", "Ke189", "rjjd3_one"}))[3],
              "B'1E2P7|B'1|E2|P7|新产品|1");
}

struct CascadeCase {
    const char* name;
    bool enterprise;    // the first enterprise's code changed on its page, else the base's on the first page
    bool byPageChange;  // going on to the products page, else "存盘"
    Lines enterprises, products;  // Id|Code|Code2(|Code3) afterwards
};

TEST_F(Rjjd, AChangedCodeMovesTheRowsBelowWithNewIds)
{
    const CascadeCase cases[] = {
        {"base by page change", false, true,
         {"B2E1|B2|E1", "B9E1|B9|E1", "B9E2|B9|E2"},
         {"B2E1P1|B2|E1|P1", "B9E1P1|B9|E1|P1", "B9E1P2|B9|E1|P2", "B9E2P1|B9|E2|P1", "B9E8P1|B9|E8|P1"}},
        {"enterprise stored", true, false,
         {"B'1E2|B'1|E2", "B'1E9|B'1|E9", "B2E1|B2|E1"},
         {"B'1E2P1|B'1|E2|P1", "B'1E8P1|B'1|E8|P1", "B'1E9P1|B'1|E9|P1", "B'1E9P2|B'1|E9|P2", "B2E1P1|B2|E1|P1"}},
    };
    for (const CascadeCase& c : cases) {
        EmptyTables({"rjjd.db", "rjjdqy.db", "rjjdqycp.db"});
        Arrange();
        InRjjd([&](TF_rjjd& w) {
            if (c.enterprise) {
                ASSERT_TRUE(ShowPage(w, "TabSheet3"));
                ASSERT_TRUE(TypeInto(w, "Code2", "E9", w.DataSource2));
            } else {
                ASSERT_TRUE(TypeInto(w, "Code", "B9", w.DataSource1));
            }
            if (c.byPageChange) {
                ASSERT_TRUE(ShowPage(w, "TabSheet5"));
                EXPECT_EQ(w.Table3->RecordCount(), 2) << c.name;  // moved before the page shows
            } else {
                ASSERT_TRUE(Press(w.ToolButton7));
            }
            EXPECT_FALSE(w.Table3->ConstraintsDisabled()) << c.name;
            EXPECT_TRUE(SameName(w.Table3->MasterFields(), "code;code2")) << c.name;
        });
        EXPECT_EQ(Sorted(Rows("rjjdqy.db", {"Id", "Code", "Code2"})), c.enterprises) << c.name;
        EXPECT_EQ(Sorted(Rows("rjjdqycp.db", {"Id", "Code", "Code2", "Code3"})), c.products) << c.name;
    }
}

// A base takes its enterprises and every product under its code (one whose enterprise is gone too); an
// enterprise its own products; a product itself, also while every enterprise's products are shown.
TEST_F(Rjjd, DeletesTakeTheRowsBelowAndNothingElse)
{
    struct DeleteCase {
        const char* name;
        std::function<void(TF_rjjd&)> select;
        Lines bases, enterprises, products;
    };
    const DeleteCase cases[] = {
        {"base", [](TF_rjjd&) {}, {"B2"}, {"B2E1"}, {"B2E1P1"}},
        {"enterprise", [](TF_rjjd& w) { ShowPage(w, "TabSheet3"); },
         {"B'1", "B2"}, {"B'1E2", "B2E1"}, {"B'1E2P1", "B'1E8P1", "B2E1P1"}},
        {"product of all",
         [](TF_rjjd& w) {
             ShowPage(w, "TabSheet5");
             TScriptedUser::Choose(*w.ComboBox2, 1);
             Press(w.ToolButton2);  // B'1E1P2
         },
         {"B'1", "B2"}, {"B'1E1", "B'1E2", "B2E1"}, {"B'1E1P1", "B'1E2P1", "B'1E8P1", "B2E1P1"}},
    };
    for (const DeleteCase& c : cases) {
        EmptyTables({"rjjd.db", "rjjdqy.db", "rjjdqycp.db"});
        Arrange();
        InRjjd([&](TF_rjjd& w) {
            c.select(w);
            Expect("提示", "是否删除当前记录", IDYES);
            ASSERT_TRUE(Press(w.ToolButton6));
            EXPECT_TRUE(TableDeleted) << c.name;
        });
        EXPECT_EQ(Sorted(Rows("rjjd.db", {"Id"})), c.bases) << c.name;
        EXPECT_EQ(Sorted(Rows("rjjdqy.db", {"Id"})), c.enterprises) << c.name;
        EXPECT_EQ(Sorted(Rows("rjjdqycp.db", {"Id"})), c.products) << c.name;
    }
}

TEST_F(Rjjd, EachLevelNamesItsMissingOrDuplicateKey)
{
    const std::vector<MessageCase<TF_rjjd>> cases = {
        {"enterprise under a new base",
         [](TF_rjjd& w) {
             Press(w.ToolButton5);
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
         },
         "提示窗口", "请先填入软件基地编号", "TabSheet1"},
        {"product under an enterprise without its code",
         [](TF_rjjd& w) {
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
             ShowPage(w, "TabSheet5");
             Press(w.ToolButton5);
         },
         "提示窗口", "请先填入软件基地编号或者企业编号", "TabSheet1"},
        {"enterprise without its code",
         [](TF_rjjd& w) {
             ShowPage(w, "TabSheet4");
             Press(w.ToolButton5);
             TypeInto(w, "D100", "5", w.DataSource2);
             Press(w.ToolButton7);
         },
         "错误窗口", "企业编号不能为空", "TabSheet4"},
        {"product without its serial",
         [](TF_rjjd& w) {
             ShowPage(w, "TabSheet5");
             Press(w.ToolButton5);
             w.Table3->FieldByName("Ke189")->SetAsString("新产品");
             Press(w.ToolButton7);
         },
         "错误窗口", "产品序号不能为空", "TabSheet5"},
        {"duplicate base", [](TF_rjjd& w) {
             Press(w.ToolButton5);
             TypeInto(w, "Code", "B2", w.DataSource1);
             Press(w.ToolButton7);
         },
         "", "数据错误:报表编号重复", "TabSheet1"},
        {"duplicate enterprise",
         [](TF_rjjd& w) {
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
             TypeInto(w, "Code2", "E2", w.DataSource2);
             Press(w.ToolButton7);
         },
         "", "数据错误:企业编号重复", "TabSheet3"},
        {"duplicate product",
         [](TF_rjjd& w) {
             ShowPage(w, "TabSheet5");
             Press(w.ToolButton5);
             w.Table3->FieldByName("Code3")->SetAsString("P2");
             Press(w.ToolButton7);
         },
         "", "数据错误:产品序号重复", "TabSheet5"},
    };
    Arrange();
    ExpectMessages<TF_rjjd>("TF_rjjd", 6, cases);
    EXPECT_EQ(Rows("rjjd.db", {"Id"}).size(), 2u);
    EXPECT_EQ(Rows("rjjdqy.db", {"Id"}).size(), 3u);
    EXPECT_EQ(Rows("rjjdqycp.db", {"Id"}).size(), 5u);
}

// "数据追加" merges each level on its whole key; Yes empties a table first. The products arrive whatever
// enterprise the window shows.
TEST_F(Rjjd, AppendMergesAllThreeLevelsByTheirKeys)
{
    struct AnswerCase {
        const char* name;
        int answer;
        Lines bases, enterprises, products;  // Id|name|counting field|Pxh
    };
    const AnswerCase cases[] = {
        {"No", IDNO,
         {"9B'1|基地改|1|9", "9B3|新基地|1|9", "B2|基地B2||"},
         {"9B'1E2|企业改|1|9", "9B3E1|新企业|1|9", "B'1E1|企业E1||", "B2E1|企业E1||"},
         {"9B'1E1P2|产品改|1|9", "9B3E1P1|新产品|1|9", "B'1E1P1|产品P1||", "B'1E2P1|产品P1||", "B'1E8P1|产品P1||",
          "B2E1P1|产品P1||"}},
        {"Yes", IDYES,
         {"9B'1|基地改|1|9", "9B3|新基地|1|9"},
         {"9B'1E2|企业改|1|9", "9B3E1|新企业|1|9"},
         {"9B'1E1P2|产品改|1|9", "9B3E1P1|新产品|1|9"}},
    };
    IdPrefix = "9";
    const std::filesystem::path sub = base_ / "sub";
    std::filesystem::create_directories(sub);
    auto source = [&](const char* file) { return (sub / file).string(); };
    for (const AnswerCase& a : cases) {
        EmptyTables({"rjjd.db", "rjjdqy.db", "rjjdqycp.db"});
        Arrange();
        for (const char* file : {"rjjd.db", "rjjdqy.db", "rjjdqycp.db"}) {
            std::filesystem::remove(source(file));
            std::filesystem::copy_file(file, source(file));
            EmptyTables({source(file)});
        }
        AddRow(source("rjjd.db"), {{"Id", "S1"}, {"Code", "B'1"}, {"Ke100", "基地改"}});
        AddRow(source("rjjd.db"), {{"Id", "S2"}, {"Code", "B3"}, {"Ke100", "新基地"}});
        AddRow(source("rjjdqy.db"), {{"Id", "S1"}, {"Code", "B'1"}, {"Code2", "E2"}, {"Ke100", "企业改"}});
        AddRow(source("rjjdqy.db"), {{"Id", "S2"}, {"Code", "B3"}, {"Code2", "E1"}, {"Ke100", "新企业"}});
        AddRow(source("rjjdqycp.db"), {{"Id", "S1"}, {"Code", "B'1"}, {"Code2", "E1"}, {"Code3", "P2"}, {"Ke189", "产品改"}});
        AddRow(source("rjjdqycp.db"), {{"Id", "S2"}, {"Code", "B3"}, {"Code2", "E1"}, {"Code3", "P1"}, {"Ke189", "新产品"}});
        InRjjd([&](TF_rjjd& w) {
            ASSERT_TRUE(ShowPage(w, "TabSheet5"));
            User().AnswerFile(source("rjjd.db"), "请选择软件基地数据库  文件名:rjjd.db");
            Expect("", "是否清空软件基地数据库", a.answer);
            User().AnswerFile(source("rjjdqy.db"), "请选择软件基地企业数据库  文件名:rjjdqy.db");
            Expect("", "是否清空软件基地企业数据库数据库", a.answer);
            User().AnswerFile(source("rjjdqycp.db"), "请选择软件基地企业产品数据库  文件名:rjjdqycp.db");
            Expect("", "是否清空软件基地企业产品数据库数据库", a.answer);
            ASSERT_TRUE(Press(w.ToolButton9));
            EXPECT_EQ(Page(w), "TabSheet1") << a.name;
            EXPECT_EQ(w.curTable, w.Table1) << a.name;
            EXPECT_TRUE(SameName(w.Table2->MasterFields(), "code")) << a.name;
            EXPECT_TRUE(SameName(w.Table3->MasterFields(), "code;code2")) << a.name;
            EXPECT_TRUE(w.cascadeEnabled) << a.name;
        });
        EXPECT_EQ(Sorted(Rows("rjjd.db", {"Id", "Ke100", "rjjd_one", "Pxh"})), a.bases) << a.name;
        EXPECT_EQ(Sorted(Rows("rjjdqy.db", {"Id", "Ke100", "rjjd2_one", "Pxh"})), a.enterprises) << a.name;
        EXPECT_EQ(Sorted(Rows("rjjdqycp.db", {"Id", "Ke189", "rjjd3_one", "Pxh"})), a.products) << a.name;
    }
    IdPrefix.clear();
}

}  // namespace
