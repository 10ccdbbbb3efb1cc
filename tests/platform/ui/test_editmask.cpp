// Edit-mask translation: classic masks to Qt input masks, and stored values to shown text and back.
#include <gtest/gtest.h>

#include <optional>

#include "platform/ui/EditMask.h"

namespace {

struct QtMaskCase {
    const char* classic;
    const char* qt;
    bool keepLiterals;
    char blank;
};
void PrintTo(const QtMaskCase& c, std::ostream* os) { *os << "mask " << c.classic; }

class EditMaskTranslation : public ::testing::TestWithParam<QtMaskCase> {};

TEST_P(EditMaskTranslation, GivesQtMaskAndSuffixes)
{
    const QtMaskCase& c = GetParam();
    const TEditMask m(QString::fromUtf8(c.classic));
    EXPECT_EQ(m.QtInputMask(), QString::fromUtf8(c.qt)) << c.classic;
    EXPECT_EQ(m.KeepLiterals(), c.keepLiterals) << c.classic;
    EXPECT_EQ(m.BlankChar(), QLatin1Char(c.blank)) << c.classic;
}

INSTANTIATE_TEST_SUITE_P(Masks, EditMaskTranslation, ::testing::Values(
    // digits: the classic 0 (required) is Qt's 9, the classic 9 (optional) is Qt's 0
    QtMaskCase{"000000;1;_", "999999;_", true, '_'},
    QtMaskCase{"9999-99-99;1;_", "0000-00-00;_", true, '_'},
    QtMaskCase{"0000;0;_", "9999;_", false, '_'},
    QtMaskCase{"0000;0;*", "9999;*", false, '*'},
    QtMaskCase{"999", "000;_", true, '_'},
    // letters, letters or digits, any character; case switches
    QtMaskCase{">LL", ">AA;_", true, '_'},
    QtMaskCase{"<ll", "<aa;_", true, '_'},
    QtMaskCase{">L<l", ">A<a;_", true, '_'},
    QtMaskCase{">L<>l", ">A!a;_", true, '_'},
    QtMaskCase{"AaCc", "NnXx;_", true, '_'},
    QtMaskCase{"!000", "999;_", true, '_'},
    // literals that mean something to Qt are escaped, whether escaped in the classic mask or not
    QtMaskCase{"\\A00", "\\A99;_", true, '_'},
    QtMaskCase{"B000", "\\B999;_", true, '_'},
    QtMaskCase{"0[0]", "9\\[9\\];_", true, '_'},
    QtMaskCase{"\\0\\9", "\\0\\9;_", true, '_'},
    QtMaskCase{"00\\;00;0", "99\\;99;_", false, '_'},
    QtMaskCase{"(000)", "(999);_", true, '_'},
    QtMaskCase{"00_00", "99 99;_", true, '_'},
    QtMaskCase{"", "", true, '_'}));

struct ValueCase {
    const char* mask;
    const char* stored;  // nullptr: null
    const char* shown;   // nullptr: does not fit
};
void PrintTo(const ValueCase& c, std::ostream* os) { *os << "mask " << c.mask << " value " << (c.stored ? c.stored : "null"); }

class EditMaskDisplay : public ::testing::TestWithParam<ValueCase> {};

TEST_P(EditMaskDisplay, LaysStoredValueOut)
{
    const ValueCase& c = GetParam();
    const TEditMask m(QString::fromUtf8(c.mask));
    const std::optional<QString> shown = m.DisplayText(c.stored ? QString::fromUtf8(c.stored) : QString());
    if (c.shown == nullptr) {
        EXPECT_FALSE(shown.has_value()) << c.mask << " " << c.stored;
    } else {
        ASSERT_TRUE(shown.has_value()) << c.mask << " " << c.stored;
        EXPECT_EQ(*shown, QString::fromUtf8(c.shown)) << c.mask;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, EditMaskDisplay, ::testing::Values(
    ValueCase{"000000;1;_", "100001", "100001"},
    ValueCase{"000000;1;_", "1001", "1001__"},
    ValueCase{"000000;1;_", nullptr, "______"},
    ValueCase{"000000;1;_", "10000A", nullptr},
    ValueCase{"000000;1;_", "1000011", nullptr},
    ValueCase{"9999-99-99;1;_", "2009-12-31", "2009-12-31"},
    ValueCase{"9999-99-99;1;_", "2009-12", "2009-12-__"},
    ValueCase{"9999-99-99;1;_", "2009 12 31", nullptr},
    ValueCase{"9999-99-99;1;_", "20091231", nullptr},
    ValueCase{"0000;0;_", "12", "12__"},
    ValueCase{"00-00;0;_", "1234", "12-34"},
    ValueCase{"00-00;0;_", "12-34", nullptr},
    ValueCase{"000000;1;_", "1 3", "1_3___"},
    ValueCase{">LL", "ab", "ab"},
    ValueCase{">LL", "a1", nullptr},
    ValueCase{"\\A00", "A12", "A12"},
    ValueCase{"\\A00", "B12", nullptr},
    ValueCase{"LL", "北京", "北京"}));

struct StoreCase {
    const char* mask;
    const char* shown;   // the full-width text of the masked edit
    const char* stored;  // nullptr: stores null
    bool complete;
};
void PrintTo(const StoreCase& c, std::ostream* os) { *os << "mask " << c.mask << " shown " << c.shown; }

class EditMaskStore : public ::testing::TestWithParam<StoreCase> {};

TEST_P(EditMaskStore, TurnsShownTextIntoValue)
{
    const StoreCase& c = GetParam();
    const TEditMask m(QString::fromUtf8(c.mask));
    const std::optional<QString> v = m.StoredValue(QString::fromUtf8(c.shown));
    if (c.stored == nullptr) {
        EXPECT_FALSE(v.has_value()) << c.mask << " " << c.shown << " gave " << v.value_or("").toStdString();
    } else {
        ASSERT_TRUE(v.has_value()) << c.mask << " " << c.shown;
        EXPECT_EQ(*v, QString::fromUtf8(c.stored)) << c.mask << " " << c.shown;
    }
    EXPECT_EQ(m.IsComplete(QString::fromUtf8(c.shown)), c.complete) << c.mask << " " << c.shown;
}

INSTANTIATE_TEST_SUITE_P(Values, EditMaskStore, ::testing::Values(
    StoreCase{"000000;1;_", "100001", "100001", true},
    StoreCase{"000000;1;_", "______", nullptr, true},
    StoreCase{"000000;1;_", "1001__", "1001", false},
    StoreCase{"9999-99-99;1;_", "2009-12-31", "2009-12-31", true},
    StoreCase{"9999-99-99;1;_", "____-__-__", nullptr, true},
    StoreCase{"9999-99-99;1;_", "2009-__-__", "2009-  -", true},
    StoreCase{"0000;0;_", "12__", "12", false},
    StoreCase{"00-00;0;_", "12-34", "1234", true},
    StoreCase{"00-00;0;_", "__-__", nullptr, true},
    StoreCase{"00-00;1;_", "__-__", nullptr, true},
    StoreCase{"(000);1;*", "(***)", nullptr, true},
    StoreCase{"(000);1;*", "(1*3)", "(1 3)", false},
    StoreCase{">LL", "AB", "AB", true}));

TEST(EditMaskRoundTrip, StoredValueSurvivesShowAndStore)
{
    const char* cases[][2] = {
        {"000000;1;_", "100001"}, {"9999-99-99;1;_", "2009-01-05"}, {"0000;0;_", "12"},
        {"00-00;0;_", "1234"}, {"\\A00;1;_", "A12"}, {"LL", "北京"},
    };
    for (const auto& c : cases) {
        const TEditMask m(QString::fromUtf8(c[0]));
        const std::optional<QString> shown = m.DisplayText(QString::fromUtf8(c[1]));
        ASSERT_TRUE(shown.has_value()) << c[0];
        EXPECT_EQ(m.StoredValue(*shown).value_or(QString()), QString::fromUtf8(c[1])) << c[0];
    }
}

}  // namespace
