// The GBK order of text, and table files that stock SQLite tools read without the engine's collations.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "TableFixture.h"

using namespace fixture;
using T = db::FieldType;

namespace {

TEST(GbkOrder, ComparesInGbkByteOrder)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
        bool nocase;
    } cases[] = {
        {"警告", "错误", 1, false},  // BEAF > B4ED
        {"阿", "北", -1, false},     // pinyin order for the common characters
        {"z", "阿", -1, false},      // ASCII before every Chinese character
        {"abc", "abcd", -1, false},
        {"ABC", "abc", -1, false},
        {"ABC", "abc", 0, true},
        {"中", "中", 0, false},
        {"中", "😀", -1, false},     // outside GBK: after everything
        {"", "a", -1, false},
        {"0000017", "0000021", -1, false},  // a long shared prefix
        {"ab中", "ab丁", 1, false},         // shared lead byte E4, characters differ in a later byte
        {"某某公司B", "某某公司b", 0, true},
        {"某某公司B", "某某公司b", -1, false},
        {"x\xE4\xB8", "x\xE4\xB8\xAD", 1, false},  // a cut character sorts after the whole one
        {"A", "[", -1, false},                      // ASCII by its bytes...
        {"A", "[", 1, true},                        // ...and letters folded to small ones without case
        {"ab", "ab中", -1, false},
        {"0123456789abcdefX", "0123456789abcdefY", -1, false},  // parted past a long run of equal bytes
        {"ABCDEFGHIJ1", "abcdefghij2", -1, true},              // parted by case only, then by a later byte
        {"ABCDEFGHIJ2", "abcdefghij1", -1, false},
    };
    for (const auto& c : cases) {
        int r = db::CompareGbk(c.a, c.b, c.nocase);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        int back = db::CompareGbk(c.b, c.a, c.nocase);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

class TableCollationTest : public TableTest {};

TEST_F(TableCollationTest, FilesNeedNoCollationOfTheEngine)
{
    db::TableSchema s;
    s.fields = {F("名称", T::String, 10), F("n", T::Integer)};
    s.indexes = {Primary({"名称"}, true), Index("byn", {"n"}, true, false)};
    db::CreateTableFile("t.db", s, {{"乙", 1}, {"甲", 2}});
    // A plain connection, as the stock sqlite3 tool opens it.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2("t.db", &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT group_concat(sql, ' ') FROM sqlite_schema", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    std::string ddl = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    EXPECT_EQ(ddl.find("GBK"), std::string::npos) << ddl;
    EXPECT_NE(ddl.find("NOCASE"), std::string::npos) << ddl;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
    sqlite3_finalize(st);
    sqlite3_close(raw);

    TTable t;
    t.SetTableName("t.db");
    t.Open();
    EXPECT_EQ(Column(t, "名称"), (std::vector<std::string>{"甲", "乙"}));  // GBK: 甲 BCD7 < 乙 D2D2
}

}  // namespace
