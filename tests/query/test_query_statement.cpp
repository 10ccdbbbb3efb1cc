// The query window's SQL builder: every line form of the query and statistics statements, each statement also run
// on hand-made reports with its answer worked out by hand; table references; the sums that joins repeat.
#include <gtest/gtest.h>

#include <algorithm>

#include "QueryFixture.h"
#include "query/QueryStatement.h"

namespace {

using query::GroupJoin;
using query::Lines;
using query::QueryChoices;
using query::QueryCondition;
using query::QueryField;
using querytest::Row;

const std::string A = "\"kfq_1.db\" a", B = "\"kfq_2.db\" b", C = "\"kfq_5.db\" c", G = "\"gjxm.db\"";
const QueryField kKey{"a.QA01", "报表编号", A};
const QueryField kScope{"a.QA02", "企业所在范围", A};
const QueryField kInZone{"a.QB07", "企业进区", A};
const QueryField kOutput{"a.QC02", "工业总产值", A};
const QueryField kFirms{"a.Qa_one", "企业数", A};
const QueryField kProduct{"b.QE02", "产品名称", B};
const QueryField kField{"b.QE03", "技术领域", B};
const QueryField kSales{"b.QE15", "全年产品销售收入", B};
const QueryField kProducts{"b.QE_ONE", "产品数", B};
const QueryField kProject{"c.Xmmc", "项目名称", C};
const QueryField kProjectKey{"JB00", "统计编号", G};
const QueryField kInvest{"JC100", "计划总投资", G};
const QueryField kProjects{"GJ_ONE", "项目数", G};
const std::string kReport4Filter = " (is_chge=\"1\" or is_chge=\"2\")";

enum class Kind { Query, Statistics };

struct Case {
    const char* name;
    Kind kind;
    QueryChoices choices;
    Lines lines;
    std::vector<std::string> columns;  // the answer's columns compared; all when empty
    std::vector<Row> answer;           // in order when the statement sorts, else as a set
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

QueryChoices Kfq() { QueryChoices c; c.key = kKey; return c; }
QueryChoices Projects()
{
    QueryChoices c;
    c.key = kProjectKey;
    c.extraFilter = kReport4Filter;
    return c;
}
template <class F>
QueryChoices With(QueryChoices c, F change)
{
    change(c);
    return c;
}

const Case kCases[] = {
    {"OneTableOneField", Kind::Query, With(Kfq(), [](auto& c) { c.output = {kKey}; }),
     {"select a.QA01 报表编号", " from \"kfq_1.db\" a"}, {}, {{"100001"}, {"100002"}, {"100003"}}},
    {"DetailFieldJoinsItsTableAndSortKeysWithDesc", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey, kProduct};
         c.sort = {{"报表编号", true}, {"产品名称", false}};
     }),
     {"select a.QA01 报表编号", ",b.QE02 产品名称", " from \"kfq_1.db\" a,\"kfq_2.db\" b", " where(a.QA01=b.QA01)",
      " order by 报表编号", " desc", ",产品名称"},
     {},
     // 二 (B6FE) sorts before 一 (D2BB) in GBK.
     {{"100002", "乙一"}, {"100001", "甲二"}, {"100001", "甲一"}}},
    {"ThreeTablesEachJoinedOnTheKey", Kind::Query,
     With(Kfq(), [](auto& c) { c.output = {kKey, kProduct, kProject}; }),
     {"select a.QA01 报表编号", ",b.QE02 产品名称", ",c.Xmmc 项目名称",
      " from \"kfq_1.db\" a,\"kfq_2.db\" b,\"kfq_5.db\" c", " where(a.QA01=b.QA01) and (a.QA01=c.QA01)"},
     {},
     {{"100001", "甲一", "甲项目"}, {"100001", "甲二", "甲项目"}}},
    {"FilterAloneOpensTheWhere", Kind::Query, With(Projects(), [](auto& c) { c.output = {kProjectKey}; }),
     {"select JB00 统计编号", " from \"gjxm.db\"", " where  (is_chge=\"1\" or is_chge=\"2\")"}, {},
     {{"000000001"}, {"000000003"}}},
    {"FilterAfterJoinInParentheses", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey, kProduct};
         c.extraFilter = " (b.QE03=\"01\")";
     }),
     {"select a.QA01 报表编号", ",b.QE02 产品名称", " from \"kfq_1.db\" a,\"kfq_2.db\" b", " where(a.QA01=b.QA01)",
      " and ( (b.QE03=\"01\"))"},
     {},
     {{"100001", "甲一"}, {"100002", "乙一"}}},
    {"AndGroupAfterFilter", Kind::Query,
     With(Projects(), [](auto& c) {
         c.output = {kProjectKey};
         c.allOf = {{"JC100>15", G}};
     }),
     {"select JB00 统计编号", " from \"gjxm.db\"", " where  (is_chge=\"1\" or is_chge=\"2\")", " and (JC100>15)"}, {},
     {{"000000003"}}},
    {"OrGroupAloneOpensTheWhere", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey};
         c.anyOf = {{"a.QC02>60", A}, {"a.QC02<40", A}};
     }),
     {"select a.QA01 报表编号", " from \"kfq_1.db\" a", " where (a.QC02>60 or a.QC02<40)"}, {},
     {{"100001"}, {"100003"}}},
    {"BothGroupsJoinedByOrAfterJoin", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey, kProduct};
         c.allOf = {{"b.QE03=\"02\"", B}};
         c.anyOf = {{"a.QC02<60", A}, {"a.QC02>999", A}};
         c.between = GroupJoin::Or;
     }),
     {"select a.QA01 报表编号", ",b.QE02 产品名称", " from \"kfq_1.db\" a,\"kfq_2.db\" b", " where(a.QA01=b.QA01)",
      " and ((b.QE03=\"02\")", " or ", "(a.QC02<60 or a.QC02>999))"},
     {},
     {{"100001", "甲二"}, {"100002", "乙一"}}},
    {"BothGroupsJoinedByAndOpenTheWhere", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey};
         c.allOf = {{"a.QB07=\"1\"", A}};
         c.anyOf = {{"a.QA02=\"1\"", A}, {"a.QC02<40", A}};
     }),
     {"select a.QA01 报表编号", " from \"kfq_1.db\" a", " where (a.QB07=\"1\")", " and ",
      "(a.QA02=\"1\" or a.QC02<40)"},
     {},
     {{"100001"}}},
    {"AndGroupAfterJoin", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey, kProject};
         c.allOf = {{"c.Qh12>5", C}, {"a.QB07=\"1\"", A}};
     }),
     {"select a.QA01 报表编号", ",c.Xmmc 项目名称", " from \"kfq_1.db\" a,\"kfq_5.db\" c", " where(a.QA01=c.QA01)",
      " and (c.Qh12>5 and a.QB07=\"1\")"},
     {},
     {{"100001", "甲项目"}}},
    {"NothingTickedShowsTheMasterOnce", Kind::Query, Kfq(), {"select *", " from \"kfq_1.db\" a"}, {"QA01", "QC02"},
     {{"100001", "100"}, {"100002", "50"}, {"100003", "30"}}},
    {"NothingTickedJoinsATickedTable", Kind::Query, With(Kfq(), [](auto& c) { c.tables = {B}; }),
     {"select *", " from \"kfq_1.db\" a,\"kfq_2.db\" b", " where(a.QA01=b.QA01)"}, {"QA01", "QE02"},
     {{"100001", "甲一"}, {"100001", "甲二"}, {"100002", "乙一"}}},
    {"TickedTableOfAConditionStandsOnce", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey};
         c.tables = {C};
         c.allOf = {{"c.Qh12>5", C}};
     }),
     {"select a.QA01 报表编号", " from \"kfq_1.db\" a,\"kfq_5.db\" c", " where(a.QA01=c.QA01)", " and (c.Qh12>5)"}, {},
     {{"100001"}}},
    {"ConditionWithoutTableNamesNoTable", Kind::Query,
     With(Kfq(), [](auto& c) {
         c.output = {kKey};
         c.allOf = {{"a.QC02>60", ""}};
     }),
     {"select a.QA01 报表编号", " from \"kfq_1.db\" a", " where (a.QC02>60)"}, {}, {{"100001"}}},
    {"SumWithoutGroup", Kind::Statistics, With(Kfq(), [](auto& c) { c.sums = {kOutput}; }),
     {"select sum(", "a.QC02) 工业总产值合计", " from \"kfq_1.db\" a"}, {}, {{"180"}}},
    {"SumsByTwoGroups", Kind::Statistics,
     With(Kfq(), [](auto& c) {
         c.groups = {kInZone, kScope};
         c.sums = {kOutput, kFirms};
     }),
     {"select a.QB07 企业进区", ",a.QA02 企业所在范围", ",sum(", "a.QC02) 工业总产值合计", ",sum(a.Qa_one) 企业数合计",
      " from \"kfq_1.db\" a", " group by a.QB07", ",a.QA02"},
     {},
     {{"1", "1", "100", "1"}, {"1", "2", "50", "1"}, {"2", "1", "30", "1"}}},
    {"DetailSumsByMasterGroupWithCondition", Kind::Statistics,
     With(Kfq(), [](auto& c) {
         c.groups = {kInZone};
         c.sums = {kSales, kProducts};
         c.allOf = {{"b.QE03=\"01\"", B}};
     }),
     {"select a.QB07 企业进区", ",sum(", "b.QE15) 全年产品销售收入合计", ",sum(b.QE_ONE) 产品数合计",
      " from \"kfq_1.db\" a,\"kfq_2.db\" b", " where(a.QA01=b.QA01)", " and (b.QE03=\"01\")", " group by a.QB07"},
     {},
     {{"1", "15", "2"}}},
    {"SumsUnderTheFilter", Kind::Statistics, With(Projects(), [](auto& c) { c.sums = {kInvest, kProjects}; }),
     {"select sum(", "JC100) 计划总投资合计", ",sum(GJ_ONE) 项目数合计", " from \"gjxm.db\"",
      " where  (is_chge=\"1\" or is_chge=\"2\")"},
     {},
     {{"50", "2"}}},
    {"NoSumNoStatement", Kind::Statistics, With(Kfq(), [](auto& c) { c.groups = {kInZone}; }), {}, {}, {}},
};

class StatementTest : public testsupport::ProgramTest, public testing::WithParamInterface<Case> {};

TEST_P(StatementTest, LinesAndAnswer)
{
    const Case& c = GetParam();
    const Lines lines =
        c.kind == Kind::Query ? query::QueryStatement(c.choices) : query::StatisticsStatement(c.choices);
    ASSERT_EQ(lines, c.lines);
    if (lines.empty()) {
        return;
    }
    querytest::FillHandMadeReports();
    std::vector<Row> answer = querytest::Run(lines, c.columns);
    std::vector<Row> expected = c.answer;
    if (c.choices.sort.empty() || c.kind == Kind::Statistics) {
        std::sort(answer.begin(), answer.end());
        std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(answer, expected);
}

INSTANTIATE_TEST_SUITE_P(Builder, StatementTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

TEST(TableReference, AliasAfterTheQuotedNameDataFolderInFront)
{
    struct {
        const char* dbName;
        const char* folder;
        const char* reference;
    } cases[] = {
        {"kfq_1.db a", "", "\"kfq_1.db\" a"},
        {"gjxm.db", "", "\"gjxm.db\""},
        {"kfq_2.db b", "d/", "\"d/kfq_2.db\" b"},
        {"x", "", "\"x\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(query::TableReference(c.dbName, c.folder), c.reference) << c.dbName;
    }
}

// A master's figure summed over a join with its details counts once per detail record; a detail's figure joined
// to its master alone counts once.
TEST(RepeatedSums, SumsThatAJoinRepeats)
{
    struct {
        const char* name;
        QueryChoices choices;
        std::vector<std::string> repeated;
    } cases[] = {
        {"master sum by detail group", With(Kfq(), [](auto& c) {
             c.sums = {kOutput, kFirms};
             c.groups = {kField};
         }),
         {"工业总产值", "企业数"}},
        {"detail sum by master group", With(Kfq(), [](auto& c) {
             c.sums = {kSales};
             c.groups = {kInZone};
         }),
         {}},
        {"detail sum beside another detail", With(Kfq(), [](auto& c) {
             c.sums = {kSales};
             c.allOf = {{"c.Qh12>0", C}};
         }),
         {"全年产品销售收入"}},
        {"master sum alone", With(Kfq(), [](auto& c) { c.sums = {kOutput}; }), {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        for (const QueryField& f : query::RepeatedSums(c.choices)) {
            names.push_back(f.text);
        }
        EXPECT_EQ(names, c.repeated) << c.name;
    }
}

}  // namespace
