// The jump back of the reports with lists under their records (software bases, science parks), with the
// catalogue and rules that come with the program: a result row of a base or park opens its record, one of an
// enterprise that enterprise on its page, one of a park's project that project on the projects page (even when
// an enterprise has the same number) and one of a product its enterprise on the products page.
#include <gtest/gtest.h>

#include "CheckFixture.h"
#include "entry/EntryWindow.h"

namespace {

using checktest::CheckTest;

struct JumpCase {
    const char* name;
    int report;
    const char* message;  // the result row's 错误信息
    const char* page;
    std::vector<std::string> current;  // table number and key field = value of each current record
};
void PrintTo(const JumpCase& c, std::ostream* os) { *os << c.name; }

class DetailJump : public CheckTest, public testing::WithParamInterface<JumpCase> {
protected:
    static void Add(const std::string& table, const std::vector<std::pair<std::string, std::string>>& values)
    {
        TTable t;
        t.SetTableName(table);
        t.Open();
        t.Append();
        for (const auto& [field, value] : values) {
            t.FieldByName(field)->SetAsString(value);
        }
        t.Post();
    }
    // Report 8: parks P1, P2 (a negative fund); P2's enterprises E1 and X1 (a negative count) and projects A1
    // and X1 (a negative grant). Report 7: bases B1, B2 (a negative area); B2's enterprises E1 and E2 (a
    // negative staff), E2's products P1 and P2 (a negative income).
    static void Arrange()
    {
        Add("dx.db", {{"Id", "P1"}, {"CODE", "P1"}});
        Add("dx.db", {{"Id", "P2"}, {"CODE", "P2"}, {"TDF8A00", "-1"}});
        Add("dxzfqy.db", {{"Id", "P2E1"}, {"CODE", "P2"}, {"CODE2", "E1"}});
        Add("dxzfqy.db", {{"Id", "P2X1"}, {"CODE", "P2"}, {"CODE2", "X1"}, {"TDF8J103", "-1"}});
        Add("dxxm.db", {{"Id", "P2A1"}, {"Code", "P2"}, {"Code2", "A1"}});
        Add("dxxm.db", {{"Id", "P2X1"}, {"Code", "P2"}, {"Code2", "X1"}, {"Tdf8q150", "-1"}});
        Add("rjjd.db", {{"Id", "B1"}, {"Code", "B1"}});
        Add("rjjd.db", {{"Id", "B2"}, {"Code", "B2"}, {"A100", "-1"}});
        Add("rjjdqy.db", {{"Id", "B2E1"}, {"Code", "B2"}, {"Code2", "E1"}});
        Add("rjjdqy.db", {{"Id", "B2E2"}, {"Code", "B2"}, {"Code2", "E2"}, {"B01", "-1"}});
        Add("rjjdqycp.db", {{"Id", "B2E2P1"}, {"Code", "B2"}, {"Code2", "E2"}, {"Code3", "P1"}});
        Add("rjjdqycp.db", {{"Id", "B2E2P2"}, {"Code", "B2"}, {"Code2", "E2"}, {"Code3", "P2"}, {"Ke201", "-1"}});
    }
};

TEST_P(DetailJump, LandsOnTheFaultyRecordOnItsPage)
{
    const JumpCase& c = GetParam();
    Arrange();
    std::string page;
    std::vector<std::string> current;
    InCheck(c.report, [&](TF_check& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
        bool found = false;
        for (w.Table2->First(); !w.Table2->Eof() && !found; w.Table2->Next()) {
            found = w.Table2->FieldByName("错误信息")->AsString() == c.message;
            if (found) {
                break;
            }
        }
        ASSERT_TRUE(found) << c.message;
        User().InModal(c.report == 7 ? "TF_rjjd" : "TF_dxkjy", [&](TForm& f) {
            auto& e = dynamic_cast<TEntryWindow&>(f);
            page = e.PageControl1->ActivePage()->Name();
            for (const std::string& want : c.current) {
                const int table = want[0] - '1';
                const std::string field = want.substr(2, want.find('=') - 2);
                current.push_back(want.substr(0, want.find('=') + 1) +
                                  e.Table(table)->FieldByName(field)->AsString());
            }
            EXPECT_EQ(e.curTable, e.Table(c.current.size() == 1 ? 0 : c.page == std::string("TabSheet3") ? 1 : 2));
            f.Close();
        });
        ASSERT_TRUE(TScriptedUser::DblClick(*w.DBGrid1));
    });
    EXPECT_EQ(page, c.page);
    std::vector<std::string> expected = c.current;
    EXPECT_EQ(current, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, DetailJump,
    testing::Values(JumpCase{"Park", 8, "大学园资金总额不能为负数", "TabSheet1", {"1 CODE=P2"}},
                    JumpCase{"ParkEnterprise", 8, "研发机构数不能为负数", "TabSheet3", {"1 CODE=P2", "2 CODE2=X1"}},
                    JumpCase{"ParkProject", 8, "资助金额不能为负数", "TabSheet5", {"1 CODE=P2", "3 Code2=X1"}},
                    JumpCase{"Base", 7, "规划用地面积不能为负数", "TabSheet1", {"1 Code=B2"}},
                    JumpCase{"BaseEnterprise", 7, "年均员工人数不能为负数", "TabSheet3", {"1 Code=B2", "2 Code2=E2"}},
                    JumpCase{"Product", 7, "全年产品销售收入或服务收入不能为负数", "TabSheet5",
                             {"1 Code=B2", "2 Code2=E2", "3 Code2=E2"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
