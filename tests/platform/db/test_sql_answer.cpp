// Answer columns alone: the type and size inferred for expression columns, values in their column's form,
// and unique names.
#include <gtest/gtest.h>

#include "platform/db/SqlAnswer.h"

namespace {

using db::FieldDesc;
using db::FieldType;
using db::Variant;
using H = sql::ColumnHint;

struct InferCase {
    const char* name;
    H hint;
    std::vector<Variant> values;
    FieldType type;
    int size;
};

void PrintTo(const InferCase& c, std::ostream* os) { *os << c.name; }

class AnswerColumns : public testing::TestWithParam<InferCase> {};

TEST_P(AnswerColumns, TypeAndSizeFollowHintAndValues)
{
    const auto& c = GetParam();
    std::vector<sql::Row> rows;
    for (const auto& v : c.values)
        rows.push_back({v});
    const FieldDesc d = sql::InferAnswerColumn("c", c.hint, rows, 0);
    EXPECT_EQ(d.type, c.type);
    EXPECT_EQ(d.size, c.size);
    EXPECT_EQ(d.name, "c");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerColumns,
    testing::Values(
        InferCase{"CountIsInteger", H::Integer, {std::int64_t{3}}, FieldType::Integer, 0},
        InferCase{"SumIsFloatEvenOfIntegers", H::Float, {std::int64_t{4}, {}}, FieldType::Float, 0},
        InferCase{"EmptySumIsFloat", H::Float, {Variant{}}, FieldType::Float, 0},
        InferCase{"TextSizedInCharacters", H::Text, {std::string("某某公司"), std::string("ab")}, FieldType::String, 4},
        InferCase{"TextOfNothingHasSizeOne", H::Text, {}, FieldType::String, 1},
        InferCase{"IntegersOnly", H::Values, {std::int64_t{1}, std::int64_t{20}}, FieldType::Integer, 0},
        InferCase{"AnyFloatMakesFloat", H::Values, {std::int64_t{1}, 2.5}, FieldType::Float, 0},
        InferCase{"MixedWithTextIsText", H::Values, {std::int64_t{12345}, std::string("a")}, FieldType::String, 5},
        InferCase{"OnlyNullsIsText", H::Values, {Variant{}, Variant{}}, FieldType::String, 1},
        InferCase{"LongTextIsMemo", H::Text, {std::string(300, 'x')}, FieldType::Memo, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerValues, TakeTheFormOfTheirColumn)
{
    const FieldDesc text{"t", FieldType::String, 10, false}, num{"n", FieldType::Float, 0, false},
        date{"d", FieldType::Date, 0, false};
    EXPECT_EQ(sql::ToAnswerValue(std::int64_t{7}, text), Variant(std::string("7")));
    EXPECT_EQ(sql::ToAnswerValue(0.1 + 0.2, text), Variant(std::string("0.3")));
    EXPECT_EQ(sql::ToAnswerValue(std::int64_t{7}, num), Variant(7.0));
    EXPECT_EQ(sql::ToAnswerValue(std::string("2009-12-31"), date), Variant(db::Date{2009, 12, 31}));
    EXPECT_EQ(sql::ToAnswerValue(Variant{}, num), Variant{});
}

TEST(AnswerNames, LaterDuplicatesGetASuffix)
{
    std::vector<FieldDesc> f{{"QA01", FieldType::String, 6, false},
                             {"qa01", FieldType::String, 6, false},
                             {"QA01_1", FieldType::String, 6, false},
                             {"编号", FieldType::String, 6, false}};
    sql::MakeNamesUnique(f);
    EXPECT_EQ(f[0].name, "QA01");
    EXPECT_EQ(f[1].name, "qa01_1");
    EXPECT_EQ(f[2].name, "QA01_1_1");
    EXPECT_EQ(f[3].name, "编号");
}

}  // namespace
