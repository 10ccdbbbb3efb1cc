// The report check run from the check window: plain rules, code lists in batches, join rules, the extra
// filter and column of report 4, stamping, clean-up, order, numbering, the "OK" row and the send list, and
// runs that fail midway.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "CheckFixture.h"

namespace {

using namespace checktest;

// The parts of a result row that a check decides.
struct Row {
    std::string key, value, field, message, status, number;
    friend bool operator==(const Row&, const Row&) = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << "{" << r.key << "|" << r.value << "|" << r.field << "|" << r.message << "|" << r.status << "|"
              << r.number << "}";
}

std::vector<Row> Rows(const std::vector<Record>& records)
{
    std::vector<Row> out;
    for (const Record& r : records) {
        out.push_back({r.at("编号"), r.at("字段值"), r.at("字段名"), r.at("错误信息"), r.at("状态"), r.at("序号")});
    }
    return out;
}

const Step kPlainStep = {"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"};

class CheckRun : public CheckTest {};

TEST_F(CheckRun, ACleanReportGetsOneOkRowAndIsRegisteredForSending)
{
    MakeCatalogue({kPlainStep});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"A1", "甲", "1"}, {"A2", "乙", "0"}});
    EXPECT_EQ(Rows(Run(1)), (std::vector<Row>{{"", "", "", "无任何错误及警告", "OK", ""}}));
    const auto send = ReadTable("sendname.db");
    ASSERT_EQ(send.size(), 2u);
    EXPECT_EQ(send[0], (Record{{"id", "2"}, {"name", "dat.db"}, {"text", "测试数据库"}}));
    EXPECT_EQ(send[1], (Record{{"id", "1"}, {"name", "dat_r.db"}, {"text", "测试校验表"}}));
}

struct PlainCase {
    const char* name;
    std::vector<std::vector<std::string>> data;
    std::vector<Rule> rules;
    std::vector<Row> expected;
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }

class PlainRules : public CheckTest, public testing::WithParamInterface<PlainCase> {};

TEST_P(PlainRules, GiveTheirViolationsStampedSortedAndNumbered)
{
    const PlainCase& c = GetParam();
    MakeCatalogue({kPlainStep});
    MakeRules("dat_chk.db", c.rules);
    MakeData(c.data);
    EXPECT_EQ(Rows(Run(1)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainRules,
    testing::Values(
        PlainCase{"SeveralViolationsOnOneRecord",
                  {{"A1", "甲", "-1", "5"}, {"B1", "乙", "-2", "-3"}, {"C1", "丙", "4", "1"}},
                  {{"错误", "val>=0", "值为负", "val"}, {"警告", "val2<=val", "val2大于val", "val2"}},
                  {{"A1", "5", "val2", "val2大于val", "警告", "1"},
                   {"A1", "-1", "val", "值为负", "错误", "2"},
                   {"B1", "-2", "val", "值为负", "错误", "3"}}},
        // Status descending, then key, in GB2312 pinyin order: 提示 (ti) > 警告 (jing) > 错误 (cuo);
        // Latin keys before Chinese ones.
        PlainCase{"OrderByStatusThenKeyInPinyinOrder",
                  {{"中1", "", "-1"}, {"Z9", "", "-1"}, {"A1", "", "-1"}},
                  {{"错误", "val>=0", "负数", "val"}, {"提示", "val>0", "非正", "val"}, {"警告", "val>-1", "小", "val"}},
                  {{"A1", "-1", "val", "非正", "提示", "1"},
                   {"Z9", "-1", "val", "非正", "提示", "2"},
                   {"中1", "-1", "val", "非正", "提示", "3"},
                   {"A1", "-1", "val", "小", "警告", "4"},
                   {"Z9", "-1", "val", "小", "警告", "5"},
                   {"中1", "-1", "val", "小", "警告", "6"},
                   {"A1", "-1", "val", "负数", "错误", "7"},
                   {"Z9", "-1", "val", "负数", "错误", "8"},
                   {"中1", "-1", "val", "负数", "错误", "9"}}},
        // An unknown condition (a null field) passes, as at entry.
        PlainCase{"ANullFieldPasses", {{"A1", "", ""}, {"A2", "", "-1"}}, {{"错误", "val>=0", "值为负", "val"}},
                  {{"A2", "-1", "val", "值为负", "错误", "1"}}},
        // Messages, names and status are values: an apostrophe stays text.
        PlainCase{"AnApostropheInTheMessageIsKept",
                  {{"A1", ""}, {"A2", "x"}},
                  {{"错误", "name is not null", "单位's 名称为空", "name"}},
                  {{"A1", "", "name", "单位's 名称为空", "错误", "1"}}},
        PlainCase{"EveryRuleAppliesWhateverItsStatus",
                  {{"A1", "", "-1"}},
                  {{"", "val>=0", "无状态", "val"}, {"说明", "val>=0", "说明", "val"}},
                  {{"A1", "-1", "val", "说明", "说明", "1"}, {"A1", "-1", "val", "无状态", "", "2"}}},
        // A name whose first 10 characters (the size of 字段名) are blanks is stored as null: its rows wait, and
        // the next rule's stamp takes them, though that rule finds nothing.
        PlainCase{"RowsWhoseNameIsNotStoredTakeTheNextStampEvenOfARuleThatFindsNothing",
                  {{"A1", "甲", "-1"}, {"A2", "乙", "3"}},
                  {{"错误", "val>=0", "值为负", "           val"},
                   {"警告", "name is not null", "名称为空", "name"},
                   {"提示", "val<>3", "值为3", "val"}},
                  {{"A2", "3", "val", "值为3", "提示", "1"}, {"A1", "-1", "name", "名称为空", "警告", "2"}}}),
    [](const testing::TestParamInfo<PlainCase>& i) { return std::string(i.param.name); });

// A code list of n codes K0001..Kn, checked against records holding codes 1, 202, 203 and 405, a foreign
// value and a null: the batches of 202 codes must together admit exactly the table's codes.
class CodeLists : public CheckTest, public testing::WithParamInterface<int> {};

TEST_P(CodeLists, AdmitExactlyTheCodesOfTheTable)
{
    const int n = GetParam();
    auto code = [](int i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "K%04d", i);
        return std::string(buf);
    };
    std::vector<std::string> codes;
    for (int i = 1; i <= n; ++i) {
        codes.push_back(code(i));
    }
    MakeCodes("codes.db", codes);
    MakeRules("dat_chk.db", {});
    MakeCatalogue({kPlainStep, {"1", "codes", "code", "", "dat.db\";", "name", "代码不在代码表中"}});
    MakeData({{"R1", code(1)}, {"R202", code(202)}, {"R203", code(203)}, {"R405", code(405)}, {"RX", "X"}, {"RN", ""}});
    std::vector<Row> expected;
    if (n > 0) {
        for (const auto& [key, index] : std::vector<std::pair<std::string, int>>{{"R1", 1}, {"R202", 202},
                                                                              {"R203", 203}, {"R405", 405}}) {
            if (index > n) {
                expected.push_back({key, code(index), "name", "代码不在代码表中", "错误", ""});
            }
        }
        expected.push_back({"RX", "X", "name", "代码不在代码表中", "错误", ""});
        for (std::size_t i = 0; i < expected.size(); ++i) {
            expected[i].number = std::to_string(i + 1);
        }
    } else {
        expected.push_back({"", "", "", "无任何错误及警告", "OK", ""});
    }
    // The statements themselves: 202 codes each, the first on the data, every later one on the batch before.
    std::vector<std::pair<std::string, int>> statements;  // source, codes
    InCheck(1, [&](TF_check& w) {
        w.Query1->BeforeOpen = [&](TDataSet*) {
            const std::string text = w.Query1->SQL.Text();
            if (text.find("where not (") == std::string::npos) {
                return;
            }
            int codes = 0;
            for (std::size_t at = text.find("='K"); at != std::string::npos; at = text.find("='K", at + 1)) {
                ++codes;
            }
            statements.emplace_back(text.find("from \"dat.db\"") != std::string::npos ? "dat.db" : "tmp_r.db", codes);
        };
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
    });
    std::vector<std::pair<std::string, int>> batches;
    for (int done = 0; done < n; done += 202) {
        batches.emplace_back(done == 0 ? "dat.db" : "tmp_r.db", std::min(202, n - done));
    }
    EXPECT_EQ(statements, batches);
    EXPECT_EQ(Rows(ReadTable("dat_r.db")), expected);
    // A code list registers nothing for sending: the rows are the plain step's data table and the result.
    const auto send = ReadTable("sendname.db");
    ASSERT_EQ(send.size(), 2u);
    EXPECT_EQ(send[0].at("name"), "dat.db");
    EXPECT_EQ(send[1].at("name"), "dat_r.db");
}

INSTANTIATE_TEST_SUITE_P(Sizes, CodeLists, testing::Values(0, 1, 202, 203, 404, 405));

// The detail key that a step's second field list adds (",code2") survives every batch of a long code list,
// though the scratch table also holds report 4's is_chge before it.
TEST_F(CheckRun, CodeListsKeepTheAddedColumnsAcrossBatches)
{
    MakeTable("dat_r.db", ResultFields({Text("code2", 4)}));
    std::vector<std::string> codes;
    for (int i = 1; i <= 203; ++i) {
        codes.push_back("K" + std::to_string(1000 + i));
    }
    MakeCodes("codes.db", codes);
    MakeRules("dat_chk.db", {});
    MakeCatalogue({{"7", "dat_chk", "code", ",code2", "dat.db\"", "dat_r.db", "测试", "测试校验表", "测试库"},
                   {"7", "codes", "code", ",code2", "dat.db\";", "name", "代码不在代码表中"}});
    MakeData({{"S1", "K1203", "", "", "", "E1"}, {"S2", "X", "", "", "", "E2"}, {"S3", "K1204", "", "", "", "E3"}});
    std::vector<std::vector<std::string>> got;
    for (const Record& r : Run(7)) {
        got.push_back({r.at("编号"), r.at("字段值"), r.at("code2"), r.at("字段名"), r.at("错误信息")});
    }
    EXPECT_EQ(got, (std::vector<std::vector<std::string>>{{"S2", "X", "E2", "name", "代码不在代码表中"},
                                                          {"S3", "K1204", "E3", "name", "代码不在代码表中"}}));
}

TEST_F(CheckRun, ReportFourFiltersPlainRulesAndCodeListsOnTheRecordKindAndEveryStepSelectsIt)
{
    MakeTable("dat4_r.db", ResultFields({Text("is_chge", 1)}));
    MakeCatalogue({{"4", "dat_chk", "code", "", "dat.db\"", "dat4_r.db", "项目校验", "项目校验表", "项目库"},
                   {"4", "codes", "code", "", "dat.db\";", "name", "名称不在代码表中"},
                   {"4", "join_chk", "a.code", "", "dat.db\" a,det.db\" b"}});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeRules("join_chk.db", {{"错误", "total>100", "明细合计超过100", "sum(b.amount) total", "total", "a.code=b.code",
                               "a.code"}});
    MakeTable("det.db", {Text("code", 10), Number("amount")}, {{"P3", "150"}, {"P1", "5"}});
    MakeCodes("codes.db", {"甲"});
    MakeData({{"P1", "乙", "-1", "", "1"}, {"P2", "乙", "-1", "", "2"}, {"P3", "乙", "-1", "", ""},
              {"P4", "乙", "-1", "", "3"}});
    const auto rows = Run(4, "dat4_r.db");
    std::vector<std::vector<std::string>> got;
    for (const Record& r : rows) {
        got.push_back({r.at("编号"), r.at("字段值"), r.at("is_chge"), r.at("字段名")});
    }
    std::sort(got.begin(), got.end());
    // Join rules select the record kind but are not filtered on it.
    EXPECT_EQ(got, (std::vector<std::vector<std::string>>{{"P1", "-1", "1", "val"},
                                                          {"P1", "乙", "1", "name"},
                                                          {"P2", "-1", "2", "val"},
                                                          {"P2", "乙", "2", "name"},
                                                          {"P3", "150", "", "total"}}));
}

TEST_F(CheckRun, JoinRulesReportTheGroupsThatMatchAndRegisterNoDataTable)
{
    MakeCatalogue({{"1", "join_chk", "a.code", "", "dat.db\" a,det.db\" b", "dat_r.db", "测试", "测试校验表"}});
    MakeRules("join_chk.db",
              {{"错误", "total>100", "明细合计超过100", "sum(b.amount) total", "total", "a.code=b.code", "a.code"}});
    MakeData({{"A1"}, {"A2"}, {"A3"}});
    MakeTable("det.db", {Text("code", 10), Number("amount")}, {{"A1", "60"}, {"A1", "50"}, {"A2", "100"}});
    EXPECT_EQ(Rows(Run(1)), (std::vector<Row>{{"A1", "110", "total", "明细合计超过100", "错误", "1"}}));
    const auto send = ReadTable("sendname.db");
    ASSERT_EQ(send.size(), 1u);
    EXPECT_EQ(send[0].at("id"), "1");
}

TEST_F(CheckRun, EachRunLeavesOneRowPerTableInTheSendList)
{
    MakeCatalogue({kPlainStep});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"A1", "", "-1"}});
    MakeTable("sendname.db", {{"id", db::FieldType::Integer, 0, false}, Text("name", 40), Text("text", 120)},
              {{"2", "dat.db", "旧"}, {"1", "dat_r.db", "旧"}, {"1", "other_r.db", "别的报表"}});
    Run(1);
    Run(1);
    std::vector<std::vector<std::string>> got;
    for (const Record& r : ReadTable("sendname.db")) {
        got.push_back({r.at("id"), r.at("name"), r.at("text")});
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::vector<std::string>>{
                       {"1", "dat_r.db", "测试校验表"}, {"1", "other_r.db", "别的报表"}, {"2", "dat.db", "测试数据库"}}));
}

TEST_F(CheckRun, RowsWithoutKeyOfTheZoneSummaryFieldsNeverSurvive)
{
    MakeTable("qj.db", {Text("code", 10), Text("qj25", 4), Text("qj26", 4), Text("qj27", 4), Text("qj01", 4),
                        Text("qj02", 4)},
              {{""}, {"Q1"}});
    MakeCatalogue({{"1", "qj_chk", "code", "", "qj.db\"", "dat_r.db", "测试", "测试校验表"}});
    std::vector<Rule> rules;
    for (const char* f : {"qj25", "qj26", "qj27", "qj01", "qj02"}) {
        rules.push_back({"错误", std::string(f) + " is not null", std::string(f) + "为空", f});
    }
    MakeRules("qj_chk.db", rules);
    std::vector<std::pair<std::string, std::string>> got;
    for (const Row& r : Rows(Run(1))) {
        got.emplace_back(r.key, r.field);
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{
                       {"", "qj02"}, {"Q1", "qj01"}, {"Q1", "qj02"}, {"Q1", "qj25"}, {"Q1", "qj26"}, {"Q1", "qj27"}}));
}

// A run that fails midway leaves the last complete result and the send list as they were, reattaches the
// grid and names the step and the rule.
struct FailureCase {
    const char* name;
    Step step;
    std::vector<Rule> rules;  // of bad_chk.db, when made
    const char* where;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FailedRun : public CheckTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedRun, KeepsThePreviousResultAndSendList)
{
    const FailureCase& c = GetParam();
    MakeCatalogue({kPlainStep});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"A1", "", "-1"}, {"A2", "", "-5"}});
    const auto before = Run(1);
    const auto sendBefore = ReadTable("sendname.db");
    ASSERT_EQ(before.size(), 2u);

    MakeData({{"A1", "", "1"}});  // a new run would find nothing
    if (!c.rules.empty()) {
        MakeRules("bad_chk.db", c.rules);
    }
    MakeCatalogue({kPlainStep, c.step});
    InCheck(1, [&](TF_check& w) {
        User().ExpectMessageContaining("错误窗口", c.where);
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
        EXPECT_TRUE(w.DataSource1->Enabled());
        EXPECT_TRUE(w.Table2->Active());
        EXPECT_EQ(w.Table2->RecordCount(), 2);
    });
    EXPECT_EQ(ReadTable("dat_r.db"), before);
    EXPECT_EQ(ReadTable("sendname.db"), sendBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedRun,
    testing::Values(
        FailureCase{"ARuleThatIsNotSql",
                    {"1", "bad_chk", "code", "", "dat.db\""},
                    {{"错误", "val>=0", "好", "val"}, {"错误", "val >>> 1", "坏", "val2"}},
                    "第2条校验步骤（bad_chk）第2条规则（val2）"},
        FailureCase{"AMissingRuleTable", {"1", "nosuch_chk", "code", "", "dat.db\""}, {}, "第2条校验步骤（nosuch_chk）"},
        FailureCase{"AMissingDataTable",
                    {"1", "bad_chk", "code", "", "nosuch.db\""},
                    {{"错误", "val>=0", "好", "val"}},
                    "第2条校验步骤（bad_chk）第1条规则（val）"},
        FailureCase{"AMissingCodeTable", {"1", "nocodes", "code", "", "dat.db\";", "name", "x"}, {},
                    "第2条校验步骤（nocodes）"}),
    [](const testing::TestParamInfo<FailureCase>& i) { return std::string(i.param.name); });

}  // namespace
