// Fonts for paper: the Chinese face exists (without it Chinese prints as boxes and PDFs lose the text), the
// forms' family names map to installed faces, and wrapping keeps every character.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include "platform/report/Fonts.h"

using report::FontSpec;
using report::TextMeasure;

TEST(Fonts, ASimplifiedChineseFamilyIsInstalled)
{
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    ASSERT_FALSE(families.isEmpty());
    EXPECT_FALSE(report::chineseFamily().isEmpty());
    EXPECT_TRUE(families.contains(report::chineseFamily()));
}

TEST(Fonts, FormFamiliesMapToInstalledFaces)
{
    struct Case {
        const char* name;
        bool chinese;
    } cases[] = {
        {"宋体", true}, {"黑体", true}, {"SimSun", true}, {"", true}, {"Arial", false}, {"Times New Roman", false},
    };
    for (const auto& c : cases) {
        const QString family = report::installedFamily(c.name);
        EXPECT_TRUE(QFontDatabase::hasFamily(family)) << c.name << " -> " << family.toStdString();
        if (c.chinese) {
            EXPECT_EQ(family, report::chineseFamily()) << c.name;
        } else {
            EXPECT_NE(family, report::chineseFamily()) << c.name;
        }
        // The face actually used is the one asked for, not a silent substitute.
        FontSpec fontSpec;
        fontSpec.name = c.name;
        EXPECT_EQ(QFontInfo(report::makeFont(fontSpec, 96)).family(), family) << c.name;
    }
}

TEST(Fonts, BoldIsAppliedWhereTheFormAsks)
{
    FontSpec fontSpec;
    fontSpec.name = "黑体";
    EXPECT_FALSE(report::makeFont(fontSpec, 96).bold());
    fontSpec.style = report::fsBoldBit;
    EXPECT_TRUE(report::makeFont(fontSpec, 96).bold());
}

TEST(Fonts, SizesScaleWithTheDevice)
{
    FontSpec fontSpec;
    fontSpec.sizePt = 9;
    EXPECT_EQ(report::makeFont(fontSpec, 600).pixelSize(), 75);
    EXPECT_EQ(report::makeFont(fontSpec, 96).pixelSize(), 12);
    const TextMeasure m(fontSpec);
    // A Chinese character of the CJK face is one em wide: 9 pt = 3.175 mm.
    EXPECT_NEAR(m.width("宋"), 9 * 25.4 / 72, 0.05);
}

TEST(Fonts, WrappingKeepsEveryCharacterAndFitsTheWidth)
{
    FontSpec fontSpec;
    fontSpec.sizePt = 10;
    const TextMeasure m(fontSpec);
    const double em = m.width("字");
    struct Case {
        std::string text;
        double width;
        std::vector<std::string> expected;  // empty: only check fit and content
    } cases[] = {
        {"企业名称不能为空", em * 3.5, {"企业名", "称不能", "为空"}},
        {"报表编号", em * 10, {"报表编号"}},
        {"first second", m.width("first second") - 0.1, {"first", "second"}},
        {"一\n二", em * 10, {"一", "二"}},
        {"", em * 10, {""}},
        {"abcdefghijklmnopqrstuvwxyz", m.width("abcdefghij") + 0.01, {}},
        {"总收入（万元）不能小于净利润，请核对后重新录入", em * 6.2, {}},
    };
    for (const auto& c : cases) {
        const auto lines = m.wrap(c.text, c.width);
        if (!c.expected.empty()) {
            EXPECT_EQ(lines, c.expected) << c.text;
        }
        std::string joined;
        for (const auto& l : lines) {
            EXPECT_LE(m.width(l), c.width + 1e-6) << c.text << ": " << l;
            joined += l;
        }
        std::string flat = c.text;
        std::erase(flat, '\n');
        std::erase(flat, ' ');
        std::erase(joined, ' ');
        EXPECT_EQ(joined, flat) << c.text;
    }
}

TEST(Fonts, ALineNeverEmptiesWhenEvenOneCharacterIsTooWide)
{
    FontSpec fontSpec;
    const TextMeasure m(fontSpec);
    const auto lines = m.wrap("宽字", 0.5);
    EXPECT_EQ(lines, (std::vector<std::string>{"宽", "字"}));
}
