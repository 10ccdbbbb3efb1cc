// The windows of reports 6 to 11 end to end, opened from the main window: browsing and the status
// text, storing a new record (send list, zeros, counting field, identity), a duplicate code, deleting (also
// while a record is being inserted), and "数据追加" answered Yes or No. One table of cases holds what differs
// between the windows; the lists under a record are in test_fhq.cpp, test_rjjd.cpp and test_dxkjy.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "EntryFixture.h"
#include "entry/Fhq.h"
#include "entry/SingleTable.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

struct WindowCase {
    const char* name;
    int item;  // in the main window's report list
    const char* className;
    const char* file;
    const char* key;        // the code field
    const char* text;       // a text field shown on the first page
    const char* number;     // a number field
    const char* counting;
    const char* status;     // the status text on the first of two records
    const char* duplicate;  // a second record with a stored code
    Lines sendList;         // the send list's names that the first store removes
    const char* title;
    const char* question;
    const char* pxh;  // the field that an import sets to IdPrefix; "" where none is written
    const char* caption;
    Lines laterTitles;  // the file dialogs of the window's other tables, cancelled by the append test
};
void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

const WindowCase kWindows[] = {
    {"Tzjg", 5, "TF_tzjg", "tzjg.db", "code", "KZ00", "KZ10", "tzjg_one", "当前记录:1  总记录:2  未修改",
     "数据错误:编号重复", {"tzjg.db", "kfqzh3_r.db"}, "请选择国家高新区创业投资机构情况数据库  文件名:tzjg.db",
     "是否清空国家高新区创业投资机构情况数据库", "pxh", "国家高新区创业投资机构情况表", {}},
    {"Fhq", 8, "TF_fhq", "fhq.db", "CODE", "TDF711", "TDF7A10", "FHQ_ONE",
     "报表编号: A1  当前记录: 1  总记录: 2  未修改", "数据错误:编号重复", {"fhq.db", "fhqzfqy.db", "fhq_r.db"},
     "请选择科技企业孵化器数据库  文件名:fhq.db", "是否清空科技企业孵化器数据库", "", "科技企业孵化器情况",
     {"请选择科技企业孵化器在孵(毕业)企业数据库  文件名:fhqzfqy.db"}},
    {"Tsjd", 9, "TF_tsjd", "tsjd.db", "CODE", "TDF911", "TDF9A00", "Tsjd_one", "当前记录:1  总记录:2  未修改",
     "数据错误:计划编号重复", {"tsjd.db", "tsjd_r.db"}, "请选择特色产业基地数据库  文件名:tsjd.db",
     "是否清空特色产业基地数据库", "Pxh", "特色产业基地情况", {}},
    {"Sjgxq", 10, "TF_sjgxq", "sjgxq.db", "Code", "Mc", "S01", "Sjgxq_one", "当前记录:1  总记录:2  未修改",
     "数据错误:编号重复", {"sjgxq.db", "kfqzh3_r.db"}, "请选择省级高新技术产业开发区情况数据库  文件名:sjgxq.db",
     "是否清空省级高新技术产业开发区情况数据库", "", "省级高新区", {}},
    {"Rjjd", 6, "TF_rjjd", "rjjd.db", "Code", "Ke100", "A100", "rjjd_one",
     "报表编号: A1  当前记录: 1  总记录: 2  未修改", "数据错误:报表编号重复",
     {"rjjd.db", "rjjdqy.db", "rjjdqycp.db", "rjjd_r.db"}, "请选择软件基地数据库  文件名:rjjd.db",
     "是否清空软件基地数据库", "Pxh", "软件产业基地情况",
     {"请选择软件基地企业数据库  文件名:rjjdqy.db", "请选择软件基地企业产品数据库  文件名:rjjdqycp.db"}},
    {"Dxkjy", 7, "TF_dxkjy", "dx.db", "CODE", "TDF811", "TDF8A00", "dx_one",
     "报表编号: A1  当前记录: 1  总记录: 2  未修改", "数据错误:编号重复", {"dx.db", "dxzfqy.db", "dxxm.db", "dx_r.db"},
     "请选择大学科技园数据库  文件名:dx.db", "是否清空大学科技园数据库", "Pxh", "大学科技园情况",
     {"请选择大学科技园在孵企业数据库  文件名:dxzfqy.db", "请选择大学科技园项目数据库（大学园填）  文件名:dxxm.db"}},
};

class EntryWindows : public EntryTest, public testing::WithParamInterface<WindowCase> {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        // The tests write what they need; the shipped rules would ask for codes of their own form.
        EmptyTables({"tzjg_chk.db", "tsjd_chk.db", "sjgxq_chk.db", "fhq_chk.db", "fhqzfqy_chk.db", "rjjd_chk.db",
                     "rjjdqy_chk.db", "rjjdqycp_chk.db", "dx_chk.db", "dxzfqy_chk.db", "dxxm_chk.db", "sendname.db"});
        StartProgram();
    }
    void TearDown() override
    {
        IdPrefix.clear();
        EntryTest::TearDown();
    }

    static void AddRecord(const std::string& code, const std::string& text)
    {
        AddRow(GetParam().file, {{"Id", code}, {GetParam().key, code}, {GetParam().text, text}});
    }
    void InIt(const std::function<void(TEntryWindow&)>& act)
    {
        InWindow<TEntryWindow>(GetParam().className, GetParam().item, act);
    }
    static TDataSource* Master(TEntryWindow& w) { return w.Source(0); }
};

TEST_P(EntryWindows, BrowseAndStoreANewRecord)
{
    const WindowCase& c = GetParam();
    AddRecord("A1", "甲");
    AddRecord("A2", "乙");
    for (const std::string& name : c.sendList) {
        AddRow("sendname.db", {{"id", "2"}, {"name", name}});
    }
    AddRow("sendname.db", {{"id", "2"}, {"name", "kfq_1.db"}});
    InIt([&](TEntryWindow& w) {
        EXPECT_EQ(w.Caption(), c.caption);
        EXPECT_EQ(w.StatusBar1->SimpleText(), c.status);
        ASSERT_TRUE(Press(w.ToolButton2));
        EXPECT_EQ(w.Table(0)->FieldByName(c.key)->AsString(), "A2");
        ASSERT_TRUE(Press(w.ToolButton5));
        ASSERT_TRUE(TypeInto(w, c.key, "A'3", Master(w)));
        ASSERT_TRUE(TypeInto(w, c.text, "丙", Master(w)));
        EXPECT_TRUE(w.StatusBar1->SimpleText().ends_with("已修改"));
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_TRUE(w.StatusBar1->SimpleText().ends_with("总记录:" + std::string(w.Setup().statusBlank ? " " : "") +
                                                         "3  未修改"));
    });
    const Lines rows = Rows(c.file, {"Id", c.key, c.text, c.number, c.counting});
    EXPECT_NE(std::find(rows.begin(), rows.end(), "A'3|A'3|丙|0|1"), rows.end());
    EXPECT_EQ(Rows("sendname.db", {"name"}), Lines{"kfq_1.db"});
}

TEST_P(EntryWindows, ASecondRecordWithAStoredCodeIsRefused)
{
    const WindowCase& c = GetParam();
    AddRecord("A1", "甲");
    InIt([&](TEntryWindow& w) {
        ASSERT_TRUE(Press(w.ToolButton5));
        ASSERT_TRUE(TypeInto(w, c.key, "A1", Master(w)));
        ExpectError(c.duplicate);
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.Source(0)->State(), TDataSetState::dsInsert);  // left for correction
        Expect("提示", "是否放弃当前记录的修改", IDYES);
        ASSERT_TRUE(Press(w.ToolButton8));
    });
    EXPECT_EQ(Rows(c.file, {"Id"}), Lines{"A1"});
}

// "删除记录" deletes the current record; while a new record is being inserted it discards only that one (the
// record that becomes current stays).
TEST_P(EntryWindows, DeleteRemovesTheCurrentRecordOrOnlyTheOneBeingInserted)
{
    const WindowCase& c = GetParam();
    AddRecord("A1", "甲");
    AddRecord("A2", "乙");
    InIt([&](TEntryWindow& w) {
        ASSERT_TRUE(Press(w.ToolButton5));
        ASSERT_TRUE(TypeInto(w, c.key, "A3", Master(w)));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        EXPECT_FALSE(TableDeleted);
        EXPECT_EQ(w.Table(0)->RecordCount(), 2);
        Expect("提示", "是否删除当前记录", IDNO);
        ASSERT_TRUE(Press(w.ToolButton6));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        EXPECT_TRUE(TableDeleted);
    });
    EXPECT_EQ(Rows(c.file, {"Id"}).size(), 1u);
}

// These windows never hide pages: on an empty table every page shows, and a record can be started anywhere.
TEST_P(EntryWindows, AnEmptyTableHidesNoPage)
{
    InIt([&](TEntryWindow& w) {
        if (w.PageControl1 == nullptr) {
            return;
        }
        EXPECT_EQ(VisiblePages(w).size(), static_cast<std::size_t>(w.PageControl1->PageCount()));
        ASSERT_TRUE(ShowPage(w, w.PageControl1->Pages(1)->Name()));
        EXPECT_TRUE(w.ToolButton5->Enabled());
    });
}

class EntryWindowsSjgxq : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        EmptyTables({"sjgxq_chk.db"});
        StartProgram();
    }
};

struct AnswerCase {
    const char* name;
    int answer;
    bool keepsA2;
};

TEST_P(EntryWindows, AppendMergesSubmittedRecordsByCode)
{
    const WindowCase& c = GetParam();
    IdPrefix = "9";
    const std::filesystem::path sub = base_ / "sub";
    std::filesystem::create_directories(sub);
    const std::string source = (sub / c.file).string();
    for (const AnswerCase& a : {AnswerCase{"No", IDNO, true}, AnswerCase{"Yes", IDYES, false}}) {
        EmptyTables({c.file});
        AddRecord("A1", "甲");
        AddRecord("A2", "乙");
        std::filesystem::remove(source);
        std::filesystem::copy_file(c.file, source);
        EmptyTables({source});
        AddRow(source, {{"Id", "S1"}, {c.key, "A1"}, {c.text, "甲改"}});
        AddRow(source, {{"Id", "S2"}, {c.key, "A9"}, {c.text, "新"}});
        InIt([&](TEntryWindow& w) {
            User().AnswerFile(source, c.title);
            Expect("", c.question, a.answer);
            for (const std::string& title : c.laterTitles) {
                User().CancelFile(title);
            }
            ASSERT_TRUE(Press(w.ToolButton9));
            EXPECT_EQ(w.curTable, w.Table(0));
            EXPECT_FALSE(w.ProgressBar1->Visible());
            EXPECT_FALSE(w.Table(0)->ConstraintsDisabled());
            EXPECT_TRUE(w.cascadeEnabled);
        });
        // Id is IdPrefix and the code; Pxh, where the window writes it, is IdPrefix
        auto row = [&](const std::string& held, const std::string& pxh) { return held + (*c.pxh ? "|" + pxh : ""); };
        Lines expected = {row("9A1|A1|甲改|1", "9"), row("9A9|A9|新|1", "9")};
        if (a.keepsA2) {
            expected.push_back(row("A2|A2|乙|", ""));
        }
        std::vector<std::string> fields = {"Id", c.key, c.text, c.counting};
        if (*c.pxh) {
            fields.push_back(c.pxh);
        }
        EXPECT_EQ(Rows(c.file, fields), expected) << a.name;
    }
}

// Enter moves on to the next control everywhere, in the remarks' memo too, where it would otherwise start a line.
TEST_F(EntryWindowsSjgxq, EnterInTheRemarksMovesToTheNextControl)
{
    AddRow("sjgxq.db", {{"Id", "A1"}, {"Code", "A1"}, {"Bz", "备注"}});
    InWindow<TEntryWindow>("TF_sjgxq", 10, [&](TEntryWindow& w) {
        auto* memo = w.Get<TControl>("DBMemo1");
        ASSERT_TRUE(TScriptedUser::Focus(*memo));
        ASSERT_TRUE(TScriptedUser::Key(*memo, Qt::Key_Return));
        EXPECT_NE(w.ActiveControl(), memo);
        EXPECT_EQ(w.Source(0)->State(), TDataSetState::dsBrowse);
    });
    EXPECT_EQ(Rows("sjgxq.db", {"Bz"}), Lines{"备注"});
}

INSTANTIATE_TEST_SUITE_P(Reports, EntryWindows, testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
