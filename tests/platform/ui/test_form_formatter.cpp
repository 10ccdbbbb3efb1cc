// The canonical form of descriptions: what the formatter writes parses back to the same tree, and texts that
// need escapes survive the round trip.
#include <gtest/gtest.h>

#include "platform/ui/FormFormatter.h"
#include "platform/ui/FormParser.h"

namespace {

TEST(FormFormatter, CanonicalTextIsAFixedPoint)
{
    const std::string canonical =
        "object F_x: TF_x\n"
        "  Caption = '数据''录入'\n"
        "  Left = -8\n"
        "  Ratio = 1.50\n"
        "  Font.Style = [fsBold, fsItalic]\n"
        "  Empty = ''\n"
        "  Lines = 'a'#13#10'b'\n"
        "  object Box: TGroupBox\n"
        "    Items.Strings = (\n"
        "      '一'\n"
        "      'two')\n"
        "    None = ()\n"
        "    OnClick = BoxClick\n"
        "  end\n"
        "end\n";
    EXPECT_EQ(form::Format(form::Parse(canonical, "x.form")), canonical);
}

TEST(FormFormatter, ReshapesLooseText)
{
    const std::string loose = "object  A : B\n Caption='x'+'y'\n\n   object C: D end end";
    EXPECT_EQ(form::Format(form::Parse(loose, "l.form")), "object A: B\n  Caption = 'xy'\n  object C: D\n  end\nend\n");
}

TEST(FormFormatter, QuotesEveryKindOfText)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "''"}, {"it's", "'it''s'"}, {"\r\n", "#13#10"}, {"a\tb", "'a'#9'b'"}, {"'", "''''"}, {"报表", "'报表'"},
    };
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(form::QuoteText(text), quoted);
        const auto doc = form::Parse("object A: B\n  T = " + quoted + "\nend\n", "q.form");
        EXPECT_EQ(doc.root.properties[0].value.text, text);
    }
}

}  // namespace
