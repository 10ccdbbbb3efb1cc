// Printed number texts: plain decimals and display masks.
#include <gtest/gtest.h>

#include "platform/report/ValueFormat.h"

using report::formatNumberMask;
using report::plainNumberText;

TEST(ValueFormat, PlainNumbersNeverUseAnExponent)
{
    struct Case {
        double value;
        const char* expected;
    } cases[] = {
        {3.0, "3"},
        {1234567.5, "1234567.5"},
        {1e20, "100000000000000000000"},
        {0.1 + 0.2, "0.3"},
        {-0.0, "0"},
        {-42.25, "-42.25"},
        {123456789012.25, "123456789012.25"},
        {0.000125, "0.000125"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainNumberText(c.value), c.expected) << c.value;
    }
}

TEST(ValueFormat, MasksRoundHalfAwayFromZero)
{
    struct Case {
        double value;
        const char* mask;
        const char* expected;
    } cases[] = {
        {1234.5, "0.", "1235"},
        {1234.4, "0.", "1234"},
        {0.4, "0.", "0"},
        {-2.5, "0.", "-3"},
        {-0.4, "0.", "0"},
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {999.999, "#,##0.00", "1,000.00"},
        {3, "0.00", "3.00"},
        {0.5, "#.##", ".5"},
        {7, "000", "007"},
        {12.3456, "0.0#", "12.35"},
        {12.3, "0.0#", "12.3"},
        {5, "0.元", "5元"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatNumberMask(c.value, c.mask), c.expected) << c.value << " " << c.mask;
    }
}

TEST(ValueFormat, VariantTexts)
{
    EXPECT_EQ(report::variantText(db::Variant{}), "");
    EXPECT_EQ(report::variantText(db::Variant{std::int64_t{42}}), "42");
    EXPECT_EQ(report::variantText(db::Variant{2.5}), "2.5");
    EXPECT_EQ(report::variantText(db::Variant{std::string("企业")}), "企业");
    EXPECT_EQ(report::variantText(db::Variant{db::Date{2009, 3, 7}}), "2009-03-07");
}
