// The incubators window with its enterprises: the enterprise page (its status text, its buttons, no locate),
// a changed incubator code carried into its enterprises, deletes, the guards and store texts of the
// enterprise level, the check's jump to an enterprise, and "数据追加" of the enterprises by their full key.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "EntryFixture.h"
#include "entry/Fhq.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

class Fhq : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        EmptyTables({"fhq_chk.db", "fhqzfqy_chk.db"});
        StartProgram();
    }

    static void AddIncubator(const std::string& code)
    {
        AddRow("fhq.db", {{"Id", code}, {"CODE", code}, {"TDF711", "孵化器" + code}});
    }
    static void AddEnterprise(const std::string& code, const std::string& code2)
    {
        AddRow("fhqzfqy.db", {{"Id", code + code2}, {"CODE", code}, {"CODE2", code2}, {"TDF730", "企业" + code2}});
    }
    // Incubator A'1 with three enterprises, A2 with one.
    static void Arrange()
    {
        AddIncubator("A'1");
        AddIncubator("A2");
        for (const char* e : {"E1", "E2", "E3"}) {
            AddEnterprise("A'1", e);
        }
        AddEnterprise("A2", "E1");
    }
    static Lines Sorted(Lines rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void InFhq(const std::function<void(TF_fhq&)>& act) { InWindow<TF_fhq>("TF_fhq", 8, act); }
};

TEST_F(Fhq, TheEnterprisePageCountsTheIncubatorsEnterprisesWithEveryButtonAndNoLocate)
{
    Arrange();
    InFhq([&](TF_fhq& w) {
        EXPECT_EQ(Page(w), "TabSheet1");
        ASSERT_TRUE(ShowPage(w, "TabSheet3"));
        EXPECT_EQ(w.curTable, w.Table2);
        ASSERT_TRUE(Press(w.ToolButton2));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: A'1  当前记录: 2  总记录: 3  未修改");
        for (TToolButton* b : {w.ToolButton1, w.ToolButton5, w.ToolButton6, w.ToolButton7, w.ToolButton9}) {
            EXPECT_TRUE(b->Enabled()) << b->Name();
        }
        ASSERT_TRUE(TScriptedUser::DblClick(*w.StatusBar1));  // the enterprises are linked: nothing opens
        ASSERT_TRUE(ShowPage(w, "TabSheet2"));
        EXPECT_TRUE(w.ToolButton9->Enabled());
        User().InModal("TF_change_r", [](TForm& f) { f.Close(); });
        ASSERT_TRUE(TScriptedUser::DblClick(*w.StatusBar1));
        EXPECT_EQ(LocateTable, w.Table1);
        EXPECT_EQ(LocateIndex, "fhq");
    });
}

struct CodeChangeCase {
    const char* name;
    bool byPageChange;  // "存盘" on the cover, or going on to the enterprise page
};

TEST_F(Fhq, AChangedIncubatorCodeMovesItsEnterprises)
{
    for (const CodeChangeCase& c : {CodeChangeCase{"stored", false}, CodeChangeCase{"page change", true}}) {
        EmptyTables({"fhq.db", "fhqzfqy.db"});
        Arrange();
        InFhq([&](TF_fhq& w) {
            ASSERT_TRUE(TypeInto(w, "CODE", "B'1", w.DataSource1));
            if (c.byPageChange) {
                ASSERT_TRUE(ShowPage(w, "TabSheet3"));
                EXPECT_EQ(w.Table2->RecordCount(), 3) << c.name;
            } else {
                ASSERT_TRUE(Press(w.ToolButton7));
            }
            EXPECT_EQ(w.lastCode, "B'1") << c.name;
            EXPECT_FALSE(w.Table2->ConstraintsDisabled()) << c.name;
            EXPECT_TRUE(SameName(w.Table2->MasterFields(), "code")) << c.name;
        });
        EXPECT_EQ(Sorted(Rows("fhqzfqy.db", {"Id", "CODE", "CODE2"})),
                  (Lines{"A2E1|A2|E1", "B'1E1|B'1|E1", "B'1E2|B'1|E2", "B'1E3|B'1|E3"}))
            << c.name;
    }
}

TEST_F(Fhq, DeletingAnIncubatorTakesItsEnterprisesOnly)
{
    Arrange();
    InFhq([&](TF_fhq& w) {
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        ASSERT_TRUE(ShowPage(w, "TabSheet3"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));  // A2's one enterprise
    });
    EXPECT_EQ(Rows("fhq.db", {"Id"}), Lines{"A2"});
    EXPECT_TRUE(Rows("fhqzfqy.db", {"Id"}).empty());
}

TEST_F(Fhq, ClosingAfterADeletePacksBothTables)
{
    AddIncubator("A1");
    AddIncubator("A2");
    {
        TTable t;
        t.SetTableName("fhqzfqy.db");
        t.Open();
        for (int i = 0; i < 400; ++i) {
            const std::string code2 = std::to_string(1000 + i);
            t.Append();
            t.FieldByName("Id")->SetAsString("A1" + code2);
            t.FieldByName("CODE")->SetAsString("A1");
            t.FieldByName("CODE2")->SetAsString(code2);
            t.FieldByName("TDF730")->SetAsString(std::string(60, 'x'));
            t.Post();
        }
    }
    const auto before = std::filesystem::file_size("fhqzfqy.db");
    InFhq([&](TF_fhq& w) {
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
    });
    EXPECT_EQ(Rows("fhq.db", {"Id"}), Lines{"A2"});
    EXPECT_LT(std::filesystem::file_size("fhqzfqy.db"), before / 2);
}

struct GuardCase {
    const char* name;
    std::function<void(TF_fhq&)> act;
    const char* caption;
    const char* text;
    const char* page;  // afterwards
};

TEST_F(Fhq, AnEnterpriseNeedsBothCodes)
{
    const GuardCase cases[] = {
        {"started under a new incubator",
         [](TF_fhq& w) {
             Press(w.ToolButton5);
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
         },
         "提示窗口", "请先填入大学科技企业孵化器编号", "TabSheet1"},
        {"stored without its own code",
         [](TF_fhq& w) {
             ShowPage(w, "TabSheet3");
             Press(w.ToolButton5);
             TypeInto(w, "TDF730", "新企业", w.DataSource2);
             Press(w.ToolButton7);
         },
         "错误窗口", "在孵企业编号不能为空", "TabSheet3"},
    };
    Arrange();
    for (const GuardCase& c : cases) {
        InFhq([&](TF_fhq& w) {
            Expect(c.caption, c.text);
            c.act(w);
            EXPECT_EQ(Page(w), c.page) << c.name;
            w.Table2->Cancel();
            w.Table1->Cancel();
        });
    }
    EXPECT_EQ(Rows("fhq.db", {"Id"}).size(), 2u);
    EXPECT_EQ(Rows("fhqzfqy.db", {"Id"}).size(), 4u);
}

// The check's jump: the incubator, then through the second value its enterprise on the enterprise page; the
// next opening from the main window starts on the cover.
TEST_F(Fhq, TheChecksJumpOpensOnTheEnterprise)
{
    Arrange();
    LocatePending = true;
    LocateField = "code";
    LocateValue = "A'1";
    LocateValue2 = "E2";
    User().InModal("TF_fhq", [](TForm& f) {
        auto& w = dynamic_cast<TF_fhq&>(f);
        EXPECT_EQ(Page(w), "TabSheet3");
        EXPECT_EQ(w.curTable, w.Table2);
        EXPECT_EQ(w.Table2->FieldByName("CODE2")->AsString(), "E2");
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: A'1  当前记录: 2  总记录: 3  未修改");
        w.Close();
    });
    TFormFactory::Obtain("TF_fhq")->ShowModal();
    EXPECT_EQ(LocateValue2, "");
    InFhq([&](TF_fhq& w) {
        EXPECT_EQ(Page(w), "TabSheet1");
        EXPECT_EQ(w.curTable, w.Table1);
    });
}

TEST_F(Fhq, AppendedEnterprisesAreMatchedOnBothCodes)
{
    Arrange();
    const std::filesystem::path sub = base_ / "sub";
    std::filesystem::create_directories(sub);
    const std::string source = (sub / "fhqzfqy.db").string();
    std::filesystem::copy_file("fhqzfqy.db", source);
    EmptyTables({source});
    AddRow(source, {{"Id", "1"}, {"CODE", "A'1"}, {"CODE2", "E2"}, {"TDF730", "改名"}});
    AddRow(source, {{"Id", "2"}, {"CODE", "A2"}, {"CODE2", "E2"}, {"TDF730", "新企业"}});
    AddRow(source, {{"Id", "3"}, {"CODE", "A2"}, {"TDF730", "无编号"}});
    InFhq([&](TF_fhq& w) {
        User().CancelFile("请选择科技企业孵化器数据库  文件名:fhq.db");
        User().AnswerFile(source, "请选择科技企业孵化器在孵(毕业)企业数据库  文件名:fhqzfqy.db");
        Expect("", "是否清空科技企业孵化器在孵(毕业)企业数据库数据库", IDNO);
        Expect("提示", "fhqzfqy.db 中以下记录的关键字段为空，未导入：\n第3条记录：CODE2为空");
        ASSERT_TRUE(Press(w.ToolButton9));
        EXPECT_EQ(Page(w), "TabSheet1");
        EXPECT_TRUE(SameName(w.Table2->MasterFields(), "code"));
    });
    EXPECT_EQ(Sorted(Rows("fhqzfqy.db", {"Id", "TDF730", "FHQZFQY_ONE"})),
              (Lines{"A'1E1|企业E1|", "A'1E2|改名|1", "A'1E3|企业E3|", "A2E1|企业E1|", "A2E2|新企业|1"}));
}

}  // namespace
