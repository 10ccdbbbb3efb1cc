// The description parser: values of every kind, and faults reported at their line and column.
#include <gtest/gtest.h>

#include "platform/ui/FormParser.h"

namespace {

TEST(FormParser, ReadsNestedObjectsWithValuesOfEveryKind)
{
    const char* text =
        "object F_x: TF_x\n"
        "  Caption = '数据''录入'\n"
        "  Left = -8\n"
        "  Ratio = 1.5\n"
        "  Visible = False\n"
        "  Font.Style = [fsBold, fsItalic]\n"
        "  Long = 'a' + 'b'#13'c'\n"
        "  object Box: TGroupBox\n"
        "    Items.Strings = (\n"
        "      '一'\n"
        "      'two')\n"
        "    OnClick = BoxClick\n"
        "  end\n"
        "end\n";
    const form::Document doc = form::Parse(text, "x.form");
    const form::Object& root = doc.root;
    EXPECT_EQ(root.name, "F_x");
    EXPECT_EQ(root.className, "TF_x");
    ASSERT_EQ(root.properties.size(), 6u);
    EXPECT_EQ(root.properties[0].value.text, "数据'录入");
    EXPECT_EQ(root.properties[1].value.integer, -8);
    EXPECT_DOUBLE_EQ(root.properties[2].value.number, 1.5);
    EXPECT_EQ(root.properties[3].value.kind, form::Value::Kind::Identifier);
    EXPECT_EQ(root.properties[4].name, "Font.Style");
    ASSERT_EQ(root.properties[4].value.items.size(), 2u);
    EXPECT_EQ(root.properties[4].value.items[1].text, "fsItalic");
    EXPECT_EQ(root.properties[5].value.text, "ab\rc");
    ASSERT_EQ(root.children.size(), 1u);
    const form::Object& box = root.children[0];
    EXPECT_EQ(box.pos.line, 8);
    EXPECT_EQ(box.pos.col, 3);
    ASSERT_EQ(box.properties[0].value.items.size(), 2u);
    EXPECT_EQ(box.properties[0].value.items[0].text, "一");
    EXPECT_EQ(box.properties[1].value.text, "BoxClick");
    EXPECT_EQ(box.properties[1].pos.line, 12);
}

struct BadCase {
    const char* text;
    const char* where;    // file:line:col
    const char* message;  // part of the message
};
void PrintTo(const BadCase& c, std::ostream* os) { *os << c.where << " " << c.message; }

class FormParserFaults : public testing::TestWithParam<BadCase> {};

TEST_P(FormParserFaults, ReportsPosition)
{
    const BadCase& c = GetParam();
    try {
        form::Parse(c.text, "bad.form");
        FAIL() << "no error for: " << c.text;
    } catch (const EFormError& e) {
        const std::string msg = e.Message;
        EXPECT_EQ(msg.rfind(std::string(c.where) + ": ", 0), 0u) << msg;
        EXPECT_NE(msg.find(c.message), std::string::npos) << msg;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormParserFaults,
    testing::Values(BadCase{"object A: B\n  Caption = 'open\nend\n", "bad.form:2:13", "text not closed"},
                    BadCase{"object A: B\n  Left = \nend\n", "bad.form:3:1", "expected a value"},
                    BadCase{"object A B\nend\n", "bad.form:1:10", "expected ':'"},
                    BadCase{"object A: B\n", "bad.form:2:1", "expected a property"},
                    BadCase{"object A: B\nend\nend\n", "bad.form:3:1", "expected end of file"},
                    BadCase{"object A: B\n  X = [a b]\nend\n", "bad.form:2:10", "expected ','"},
                    BadCase{"object A: B\n  X = ((1))\nend\n", "bad.form:2:8", "lists cannot be nested"},
                    BadCase{"object A: B\n  X = 99999999999\nend\n", "bad.form:2:7", "out of range"},
                    BadCase{"object A: B\n  X = 12ab\nend\n", "bad.form:2:7", "bad number"},
                    BadCase{"object A: B\n  X = #55296\nend\n", "bad.form:2:7", "bad character code"},
                    BadCase{"object A: B\n  名 = 1\nend\n", "bad.form:2:3", "unexpected"},
                    BadCase{"", "bad.form:1:1", "expected 'object'"}));

TEST(FormParser, LimitsNesting)
{
    std::string text;
    for (int i = 0; i <= form::kMaxDepth; ++i) {
        text += "object A" + std::to_string(i) + ": B\n";
    }
    EXPECT_THROW(form::Parse(text, "deep.form"), EFormError);
}

}  // namespace
