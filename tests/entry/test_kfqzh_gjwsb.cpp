// The zone overview (one record without a key, its matrix of institutions, delete and the send list) and the
// unreported national projects (the list rebuilt from the issued projects without a kind, the reasons typed
// before kept, a failed rebuild leaving the old list, rows neither added nor deleted by typing).
#include <gtest/gtest.h>

#include <filesystem>

#include "EntryFixture.h"
#include "entry/Gjwsb.h"
#include "entry/Kfqzh.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

class Overview : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        EmptyTables({"kfqzh.db", "kzh_chk.db", "sendname.db", "gjxm.db", "gj_wsb.db"});
        StartProgram();
    }
    void InKfqzh(const std::function<void(TF_kfqzh&)>& act) { InWindow<TF_kfqzh>("TF_kfqzh", 1, act); }
    void InGjwsb(const std::function<void(TF_gjwsb&)>& act) { InWindow<TF_gjwsb>("TF_gjwsb", 4, act); }
};

// A first record typed into the empty table, the matrix's corner cells of both blocks stored and read back,
// the send list cleared by the first store alone.
TEST_F(Overview, TheFirstRecordAndItsMatrixAreStored)
{
    for (const char* name : {"kfqzh.db", "kfqzh_r.db", "kfq_1.db"}) {
        AddRow("sendname.db", {{"id", "2"}, {"name", name}});
    }
    InKfqzh([&](TF_kfqzh& w) {
        EXPECT_EQ(w.StatusBar1->SimpleText(), "当前记录:0  总记录:0  未修改");
        ASSERT_TRUE(TypeInto(w, "KA01", "天津高新区"));
        EXPECT_TRUE(w.StatusBar1->SimpleText().ends_with("总记录:0  已修改"));
        ASSERT_TRUE(ShowPage(w, "TabSheet4"));
        for (const auto& [field, value] : {std::pair{"KD11_1", "3"}, {"KD21_3", "40"}, {"KD22_1", "5"},
                                           {"KD37_2", "60"}}) {
            ASSERT_TRUE(TypeInto(w, field, value));
        }
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "当前记录:1  总记录:1  未修改");
        AddRow("sendname.db", {{"id", "2"}, {"name", "kfqzh.db"}});
        ASSERT_TRUE(TypeInto(w, "KD11_3", "7"));
        ASSERT_TRUE(Press(w.ToolButton7));
    });
    EXPECT_EQ(Rows("kfqzh.db", {"KA01", "KD11_1", "KD11_3", "KD21_3", "KD22_1", "KD37_2", "KB01"}),
              Lines{"天津高新区|3|7|40|5|60|0"});
    EXPECT_EQ(Rows("sendname.db", {"name"}), (Lines{"kfq_1.db", "kfqzh.db"}));
}

// "删除记录" discards a pending edit and deletes the record; a first record being typed is only discarded.
TEST_F(Overview, DeleteDiscardsTheEditAndDeletesTheRecord)
{
    AddRow("kfqzh.db", {{"KA01", "甲"}});
    InKfqzh([&](TF_kfqzh& w) {
        ASSERT_TRUE(TypeInto(w, "KA01", "乙"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "当前记录:0  总记录:0  未修改");
        ASSERT_TRUE(TypeInto(w, "KA01", "丙"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
    });
    EXPECT_TRUE(Rows("kfqzh.db", {"KA01"}).empty());
}

TEST_F(Overview, ARuleBreakIsRefusedWithItsText)
{
    AddRow("kzh_chk.db", {{"status", "错误"}, {"field_value", "kb01>=0"}, {"field_text", "面积不能为负数"},
                          {"field_name", "kb01"}});
    InKfqzh([&](TF_kfqzh& w) {
        ASSERT_TRUE(ShowPage(w, "TabSheet2"));
        ASSERT_TRUE(TypeInto(w, "KB01", "-1"));
        ExpectError("数据错误:面积不能为负数");
        ASSERT_TRUE(Press(w.ToolButton7));
        Expect("提示", "是否放弃当前记录的修改", IDYES);
        ASSERT_TRUE(Press(w.ToolButton8));
    });
    EXPECT_TRUE(Rows("kfqzh.db", {"KB01"}).empty());
}

class Unreported : public Overview {
protected:
    static void AddProject(const std::string& jb00, const std::string& name, const std::string& kind)
    {
        AddRow("gjxm.db", {{"Id", jb00}, {"JB00", jb00}, {"JB01", name}, {"JB02", "N" + jb00}, {"IS_CHGE", kind}});
    }
    static void AddListed(const std::string& jb00, const std::string& reason)
    {
        AddRow("gj_wsb.db", {{"JB00", jb00}, {"JB01", "旧" + jb00}, {"YY", reason}});
    }
};

// The list is the projects without a kind; a reason typed before stays with its project, a project since
// entered leaves the list, a name longer than the list's field is cut.
TEST_F(Unreported, TheListIsRebuiltKeepingTheReasonsTyped)
{
    const std::string longName(60, 'x');
    AddProject("P1", "甲", "");
    AddProject("P2", "乙", "1");
    AddProject("P3", longName, "");
    AddProject("P4", "丁", "2");
    AddProject("P5", "戊", "");
    AddListed("P1", "3");
    AddListed("P2", "1");
    InGjwsb([&](TF_gjwsb& w) {
        ASSERT_TRUE(Press(w.ToolButton1));
        EXPECT_EQ(w.Table1->RecordCount(), 3);
        // the reason of P3 typed in its cell and stored
        w.Table1->Next();
        w.DBGrid1->SetSelectedIndex(3);
        ASSERT_TRUE(TScriptedUser::Type(*w.DBGrid1, "4"));
        ASSERT_TRUE(Press(w.ToolButton7));
        ASSERT_TRUE(Press(w.ToolButton1));
    });
    EXPECT_EQ(Rows("gj_wsb.db", {"JB00", "JB01", "JB02", "YY"}),
              (Lines{"P1|甲|NP1|3", "P3|" + longName.substr(0, 46) + "|NP3|4", "P5|戊|NP5|"}));
}

// A rebuild that cannot read the projects leaves the old list and its reasons, with the table open.
TEST_F(Unreported, AFailedRebuildLeavesTheOldList)
{
    AddListed("P1", "3");
    std::filesystem::remove("gjxm.db");
    InGjwsb([&](TF_gjwsb& w) {
        ExpectError("数据表“gjxm.db”不存在");
        ASSERT_TRUE(Press(w.ToolButton1));
        EXPECT_TRUE(w.Table1->Active());
        EXPECT_EQ(w.Table1->RecordCount(), 1);
    });
    EXPECT_EQ(Rows("gj_wsb.db", {"JB00", "YY"}), Lines{"P1|3"});
}

// Typing into the empty list adds no row, and Ctrl+Delete deletes none.
TEST_F(Unreported, TypingNeitherAddsNorDeletesRows)
{
    InGjwsb([&](TF_gjwsb& w) {
        w.DBGrid1->SetSelectedIndex(3);
        TScriptedUser::Type(*w.DBGrid1, "1");
        EXPECT_EQ(w.Table1->State(), TDataSetState::dsBrowse);
    });
    EXPECT_TRUE(Rows("gj_wsb.db", {"JB00"}).empty());
    AddListed("P1", "2");
    InGjwsb([&](TF_gjwsb& w) {
        TScriptedUser::Key(*w.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(w.Table1->RecordCount(), 1);
    });
    EXPECT_EQ(Rows("gj_wsb.db", {"JB00", "YY"}), Lines{"P1|2"});
}

}  // namespace
