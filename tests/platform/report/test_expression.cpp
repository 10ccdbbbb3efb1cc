// Report expressions: field references of any table, IF, "=", "+" and constants; malformed texts are
// refused with the position of the fault.
#include <gtest/gtest.h>

#include <map>

#include "platform/report/Expression.h"

using report::ExprValue;
using report::Expression;

namespace {

// Fields of two tables of a form; the bare name reads Table1.
ExprValue lookup(const std::map<std::string, ExprValue>& fields, const std::string& table, const std::string& field)
{
    const std::string key = (table.empty() ? std::string("Table1") : table) + "." + field;
    auto it = fields.find(key);
    if (it == fields.end()) {
        throw Exception("no field " + key);
    }
    return it->second;
}

std::string evalText(const std::string& text, const std::map<std::string, ExprValue>& fields)
{
    const Expression e(text);
    return report::exprValueText(
        e.evaluate([&](const std::string& t, const std::string& f) { return lookup(fields, t, f); }));
}

}  // namespace

TEST(Expression, TickColumnsOfTheUnreportedProjectsList)
{
    // A reason column prints a tick only for its own reason code; empty or unknown codes print nothing.
    struct Case {
        ExprValue yy;
        const char* expected[4];
    } cases[] = {
        {std::string("1"), {"√", "", "", ""}},
        {std::string("3"), {"", "", "√", ""}},
        {std::string("4"), {"", "", "", "√"}},
        {ExprValue{}, {"", "", "", ""}},
        {std::string("5"), {"", "", "", ""}},
        {std::string("11"), {"", "", "", ""}},
    };
    for (const auto& c : cases) {
        for (int k = 1; k <= 4; ++k) {
            const std::string text = "IF(Table1.YY = '" + std::to_string(k) + "', '√', '')";
            EXPECT_EQ(evalText(text, {{"Table1.YY", c.yy}}), c.expected[k - 1]) << text;
        }
    }
}

TEST(Expression, ValuesAndOperators)
{
    const std::map<std::string, ExprValue> fields = {
        {"Table1.N", 5.0}, {"Table1.NAME", std::string("企业")}, {"Table2.Text", std::string("校验表头")},
        {"Table1.EMPTY", ExprValue{}},
    };
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Table2.Text", "校验表头"},
        {"NAME", "企业"},
        {"'a' + 'b'", "ab"},
        {"1 + 2", "3"},
        {"N + 0.5", "5.5"},
        {"'第' + N + '页'", "第5页"},
        {"'it''s'", "it's"},
        {"N = 5", "True"},
        {"NAME = '企业'", "True"},
        {"EMPTY = ''", "True"},
        {"IF(N = 5, 'yes', 'no')", "yes"},
        {"IF(if(N = 4, 'x', '') = '', 'nested', 'no')", "nested"},
        {"(('a'))", "a"},
        {"", ""},
        {"  Table2 . Text ", "校验表头"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(evalText(c.text, fields), c.expected) << c.text;
    }
}

TEST(Expression, MalformedTextsNameThePosition)
{
    struct Case {
        const char* text;
        std::size_t pos;
    } cases[] = {
        {"'abc", 0},
        {"a @ b", 2},
        {"IF(a, b)", 7},
        {"FOO(1)", 0},
        {"Table1.", 7},
        {"1 +", 3},
        {"a b", 2},
        {"(a", 2},
    };
    for (const auto& c : cases) {
        try {
            Expression e(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const report::EExpressionError& e) {
            EXPECT_EQ(e.Position, c.pos) << c.text << ": " << e.Message;
        }
    }
}

TEST(Expression, DeepNestingIsRefused)
{
    std::string text(200, '(');
    text += "1" + std::string(200, ')');
    EXPECT_THROW(Expression{text}, report::EExpressionError);
}

TEST(Expression, UnknownFieldRaisesFromTheResolver)
{
    EXPECT_THROW(evalText("Table3.X", {}), Exception);
}

TEST(Expression, LongChainsOfPlusEvaluateWithoutDeepRecursion)
{
    // Far longer than any stack holds frames for when each "+" nests one level deeper.
    const int terms = 200000;
    std::string numbers = "1", texts = "'a'", mixed = "1 + 2";
    for (int i = 1; i < terms; ++i) {
        numbers += "+1";
        texts += "+'a'";
    }
    mixed += " + 'x'";
    for (int i = 0; i < 3; ++i) {
        mixed += " + 1";
    }
    EXPECT_EQ(evalText(numbers, {}), std::to_string(terms));
    EXPECT_EQ(evalText(texts, {}), std::string(terms, 'a'));
    EXPECT_EQ(evalText(mixed, {}), "3x111");  // numbers add until a text joins, then everything concatenates
}
