// Every report with a query, on sample reports: the window opens the report's dictionary from the main window,
// and a query of the key and a statistic of each counting field come out as counted by walking the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Generator.h"
#include "QueryFixture.h"
#include "query/QueryWindow.h"

namespace {

using querytest::Row;

struct Counted {
    const char* text;   // the counting field's display name
    const char* table;  // its table: the master or a detail joined to it
};

struct ReportCase {
    int report;
    const char* caption;
    const char* master;
    const char* key;      // the master's key column
    const char* keyText;  // its display name
    std::vector<Counted> counted;
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << "report " << c.report; }

const ReportCase kReports[] = {
    {1, "高新区企业查询统计", "kfq_1.db", "QA01", "报表编号",
     {{"企业数", "kfq_1.db"}, {"产品数", "kfq_2.db"}, {"项目数", "kfq_5.db"}}},
    {3, "区外企业查询统计", "kfq_1.db", "QA01", "报表编号",
     {{"企业数", "kfq_1.db"}, {"产品数", "kfq_2.db"}, {"项目数", "kfq_5.db"}}},
    {4, "国家级项目查询统计", "gjxm.db", "JB00", "统计编号", {{"项目数", "gjxm.db"}}},
    {6, "创业投资机构查询统计", "tzjg.db", "code", "编号", {{"机构数", "tzjg.db"}}},
    {7, "软件产业基地查询统计", "rjjd.db", "Code", "编号",
     {{"基地数", "rjjd.db"}, {"企业数", "rjjdqy.db"}, {"产品数", "rjjdqycp.db"}}},
    {8, "大学科技园查询统计", "dx.db", "CODE", "编号",
     {{"科技园数", "dx.db"}, {"企业数", "dxzfqy.db"}, {"项目数", "dxxm.db"}}},
    {9, "科技企业孵化器查询统计", "fhq.db", "CODE", "编号", {{"孵化器数", "fhq.db"}, {"企业数", "fhqzfqy.db"}}},
    {10, "特色产业基地查询统计", "tsjd.db", "CODE", "编号", {{"基地数", "tsjd.db"}}},
    {11, "省级高新区查询统计", "sjgxq.db", "Code", "编号", {{"高新区数", "sjgxq.db"}}},
};

class ReportQuery : public testsupport::ProgramTest, public testing::WithParamInterface<ReportCase> {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        sample::Options o;
        o.enterprises = 60;
        sample::Generator(".", o).run();
    }

    // The master's keys: national projects only as entered ("1") or added ("2"), as the report's filter says.
    std::set<std::string> MasterKeys(const ReportCase& c)
    {
        TTable t;
        t.SetTableName(c.master);
        t.Open();
        std::set<std::string> keys;
        for (t.First(); !t.Eof(); t.Next()) {
            const TField* kind = t.FindField("IS_CHGE");
            if (c.report == 4 && kind->AsString() != "1" && kind->AsString() != "2") {
                continue;
            }
            keys.insert(t.FieldByName(c.key)->AsString());
        }
        return keys;
    }

    // Records of a table that belong to one of the keys.
    static int RecordsOf(const std::string& table, const std::string& key, const std::set<std::string>& keys)
    {
        TTable t;
        t.SetTableName(table);
        t.Open();
        int n = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            n += keys.count(t.FieldByName(key)->AsString()) ? 1 : 0;
        }
        return n;
    }
};

int IndexOf(const TCustomListBox* list, const std::string& text)
{
    const int i = list->IndexOf(text);
    EXPECT_GE(i, 0) << text;
    return i;
}

TEST_P(ReportQuery, KeyQueryAndCountingSums)
{
    const ReportCase& c = GetParam();
    StartProgram();
    ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, c.report - 1));
    ASSERT_TRUE(TScriptedUser::Press(*F_main->Button5));
    ASSERT_NE(F_query, nullptr);
    TF_query& w = *F_query;
    EXPECT_TRUE(w.Visible());
    EXPECT_FALSE(w.Modal());
    EXPECT_EQ(w.Caption(), c.caption);
    EXPECT_EQ(w.ListBox1->Item(0), c.keyText);
    EXPECT_TRUE(w.Button13->Enabled());

    const std::set<std::string> keys = MasterKeys(c);
    ASSERT_FALSE(keys.empty());
    ASSERT_TRUE(w.CheckListBox1->DblClickItem(IndexOf(w.CheckListBox1, c.keyText)));
    ASSERT_TRUE(TScriptedUser::Press(*w.Button12));
    ASSERT_TRUE(w.Query1->Active());
    EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet2);
    std::set<std::string> answered;
    for (const Row& r : querytest::Answer(*w.Query1, {c.keyText})) {
        EXPECT_TRUE(answered.insert(r[0]).second) << "key twice: " << r[0];
    }
    EXPECT_EQ(answered, keys);

    for (const Counted& n : c.counted) {
        SCOPED_TRACE(n.text);
        ASSERT_TRUE(TScriptedUser::Choose(*w.PageControl1, 0));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button9));
        ASSERT_TRUE(w.CheckListBox2->DblClickItem(IndexOf(w.CheckListBox2, n.text)));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button13));
        const std::vector<Row> sums = querytest::Answer(*w.Query1);
        ASSERT_EQ(sums.size(), 1u);
        EXPECT_EQ(sums[0][0], std::to_string(RecordsOf(n.table, c.key, keys)));
        EXPECT_EQ(w.Query1->Fields()[0]->FieldName(), std::string(n.text) + "合计");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryReport, ReportQuery, testing::ValuesIn(kReports),
                         [](const testing::TestParamInfo<ReportCase>& i) {
                             return "Report" + std::to_string(i.param.report);
                         });

}  // namespace
