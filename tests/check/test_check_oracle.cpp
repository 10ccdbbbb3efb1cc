// The check against an independent oracle: a generated data set is checked through the window, and the
// violations it must give are computed here in C++ over the same rows (rules, a code list of two batches),
// with the order of 状态 descending and 编号 in GBK order. And the shipped catalogue runs for every report.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <random>
#include <set>
#include <tuple>

#include "CheckFixture.h"
#include "platform/db/Connection.h"

namespace {

using namespace checktest;

struct Violation {
    std::string key, value, field, message, status;
    auto tie() const { return std::tie(key, value, field, message, status); }
    friend bool operator<(const Violation& a, const Violation& b) { return a.tie() < b.tie(); }
    friend bool operator==(const Violation& a, const Violation& b) { return a.tie() == b.tie(); }
};

std::ostream& operator<<(std::ostream& os, const Violation& v)
{
    return os << "{" << v.key << "|" << v.value << "|" << v.field << "|" << v.message << "|" << v.status << "}";
}

std::string Numbered(const char* pattern, int i)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, pattern, i);
    return buf;
}

class CheckOracle : public CheckTest {};

TEST_F(CheckOracle, AGeneratedDataSetGivesExactlyTheViolationsComputedOverItsRows)
{
    std::mt19937 random(20091);
    std::uniform_int_distribution<int> number(-30, 100), pick(0, 319), chance(0, 9);
    std::set<std::string> codes;
    std::vector<std::string> codeRows;
    for (int i = 0; i < 250; ++i) {  // two batches: 202 codes, then 48
        codeRows.push_back(Numbered("N%03d", i));
        codes.insert(codeRows.back());
    }
    struct Rec {
        std::string code, name;
        std::optional<int> val, val2;
    };
    std::vector<Rec> recs;
    // Keys in both scripts, so that the order of 编号 is GBK order, not byte order.
    const char* prefixes[] = {"A", "b", "企", "高", "Z"};
    for (int i = 0; i < 400; ++i) {
        Rec r;
        r.code = prefixes[i % 5] + Numbered("%04d", i);
        const int n = pick(random);
        r.name = chance(random) == 0 ? "" : (n >= 300 ? "外" + Numbered("%02d", n - 300) : Numbered("N%03d", n));
        if (chance(random) != 0) {
            r.val = number(random);
        }
        if (chance(random) != 0) {
            r.val2 = number(random);
        }
        recs.push_back(r);
    }
    std::vector<std::vector<std::string>> rows;
    for (const Rec& r : recs) {
        rows.push_back({r.code, r.name, r.val ? std::to_string(*r.val) : "", r.val2 ? std::to_string(*r.val2) : ""});
    }
    MakeData(rows);
    MakeCodes("codes.db", codeRows);
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"},
                             {"警告", "val2<=val", "val2大于val", "val2"},
                             {"错误", "name is not null", "名称为空", "name"}});
    MakeCatalogue({{"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"},
                   {"1", "codes", "code", "", "dat.db\";", "name", "名称不在代码表中"}});

    // The oracle: unknown conditions (nulls) pass.
    std::vector<Violation> expected;
    for (const Rec& r : recs) {
        if (r.val && *r.val < 0) {
            expected.push_back({r.code, std::to_string(*r.val), "val", "值为负", "错误"});
        }
        if (r.val && r.val2 && *r.val2 > *r.val) {
            expected.push_back({r.code, std::to_string(*r.val2), "val2", "val2大于val", "警告"});
        }
        if (r.name.empty()) {
            expected.push_back({r.code, "", "name", "名称为空", "错误"});
        } else if (!codes.count(r.name)) {
            expected.push_back({r.code, r.name, "name", "名称不在代码表中", "错误"});
        }
    }
    ASSERT_GT(expected.size(), 100u);

    const auto result = Run(1);
    std::vector<Violation> got;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const Record& r = result[i];
        got.push_back({r.at("编号"), r.at("字段值"), r.at("字段名"), r.at("错误信息"), r.at("状态")});
        EXPECT_EQ(r.at("序号"), std::to_string(i + 1));
    }
    // The order: 状态 descending, then 编号 ascending, both in GBK order.
    for (std::size_t i = 1; i < got.size(); ++i) {
        const int status = db::CompareGbk(got[i - 1].status, got[i].status);
        EXPECT_TRUE(status > 0 || (status == 0 && db::CompareGbk(got[i - 1].key, got[i].key) <= 0))
            << "row " << i << " " << got[i - 1] << " before " << got[i];
    }
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
}

// The shipped catalogue and rules run through for every report with a check, on the empty tables that come
// with the program: each gives its "OK" row and registers its result table.
class ShippedCatalogue : public CheckTest, public testing::WithParamInterface<int> {};

TEST_P(ShippedCatalogue, RunsWithoutFailure)
{
    const int report = GetParam();
    std::string result;
    InCheck(report, [&](TF_check& w) {
        result = w.Table2->TableName();
        ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
    });
    ASSERT_FALSE(result.empty());
    const auto rows = ReadTable(result);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("状态"), "OK");
    int registered = 0;
    for (const Record& r : ReadTable("sendname.db")) {
        registered += r.at("id") == "1" && r.at("name") == result;
    }
    EXPECT_EQ(registered, 1);
}

INSTANTIATE_TEST_SUITE_P(Reports, ShippedCatalogue, testing::Values(1, 3, 4, 6, 7, 8, 9, 10, 11));

}  // namespace
