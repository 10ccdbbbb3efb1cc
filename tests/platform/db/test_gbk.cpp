// GBK <-> UTF-8 at the file boundary: known characters, every GBK double byte round trip, and faults that
// must name their byte position instead of passing garbage through.
#include <gtest/gtest.h>

#include <string>

#include "platform/db/Exception.h"
#include "platform/db/Gbk.h"

namespace {

struct KnownCase {
    const char* utf8;
    const char* gbk;
};

const KnownCase kKnown[] = {
    {"", ""},
    {"abc 123", "abc 123"},
    {"中", "\xD6\xD0"},
    {"报表编号", "\xB1\xA8\xB1\xED\xB1\xE0\xBA\xC5"},
    {"A中b", "A\xD6\xD0" "b"},
    {"错误", "\xB4\xED\xCE\xF3"},
    {"（", "\xA3\xA8"},  // full-width parenthesis of the export titles
    {"€", "\x80"},        // code page 936's single-byte euro sign
};

TEST(GbkConversion, KnownTextBothWays)
{
    for (const auto& c : kKnown) {
        EXPECT_EQ(db::gbk::FromUtf8(c.utf8), c.gbk) << c.utf8;
        EXPECT_EQ(db::gbk::ToUtf8(c.gbk), c.utf8) << c.utf8;
    }
}

// Every two-byte GBK code that decodes must encode back to the same bytes, or text read from a dBase file
// and written again would change.
TEST(GbkConversion, EveryDoubleByteCodeRoundTrips)
{
    int decoded = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            // 0xA2E3 is GB18030's euro sign, which GBK writes as the single byte 0x80.
            if (trail == 0x7F || (lead == 0xA2 && trail == 0xE3))
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf8;
            try {
                utf8 = db::gbk::ToUtf8(bytes);
            } catch (const EDatabaseError&) {
                continue;  // unassigned code
            }
            ++decoded;
            EXPECT_EQ(db::gbk::FromUtf8(utf8), bytes) << std::hex << lead << " " << trail;
        }
    }
    EXPECT_GT(decoded, 21000);  // GBK assigns about 21,886 codes
}

struct FaultCase {
    const char* name;
    std::string input;
    bool fromGbk;
    std::string expectedInMessage;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class GbkFault : public testing::TestWithParam<FaultCase> {};

TEST_P(GbkFault, NamesThePosition)
{
    const auto& c = GetParam();
    try {
        if (c.fromGbk)
            db::gbk::ToUtf8(c.input);
        else
            db::gbk::FromUtf8(c.input);
        FAIL() << "no error for " << c.name;
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find(c.expectedInMessage), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, GbkFault,
    testing::Values(
        FaultCase{"lead byte cut off at the end", std::string("ab\xD6\xD0\xD6"), true, "GBK 文字（第 5 个字节）"},
        FaultCase{"lead byte with a blank", std::string("\xD6\xD0\x81 x"), true, "GBK 文字（第 3 个字节）"},
        FaultCase{"byte 0xFF", std::string("x\xFF"), true, "GBK 文字（第 2 个字节）"},
        FaultCase{"byte 0xFF first", std::string("\xFF\xD6\xD0"), true, "GBK 文字（第 1 个字节）"},
        FaultCase{"character without GBK code", std::string("ab\xF0\x9F\x98\x80"), false, "字符“😀”（U+1F600，第 3 个字节）在 GBK 中没有编码"},
        FaultCase{"broken UTF-8", std::string("\xE4\xB8"), false, "不是有效的 UTF-8 文字（第 1 个字节）"},
        FaultCase{"stray continuation byte", std::string("a\x80"), false, "UTF-8 文字（第 2 个字节）"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (auto& ch : n) {
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return n;
    });

}  // namespace
