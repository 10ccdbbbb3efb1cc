#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TableFixture.h"
#include "platform/db/Names.h"

namespace fs = std::filesystem;

namespace {

class TableNamesTest : public TableTest {};

TEST_F(TableNamesTest, ResolvesAgainstTheCurrentFolderWithoutRegardToCase)
{
    fs::create_directory(dir_ / "Tmp");
    std::ofstream(dir_ / "Tmp" / "KFQ_1.db") << "x";
    std::ofstream(dir_ / "check_db.DB") << "x";
    std::string canonical = (dir_ / "Tmp" / "KFQ_1.db").string();
    struct Case {
        const char* name;
        std::string expected;
    } cases[] = {
        {"tmp\\kfq_1.db", canonical},
        {"tmp\\kfq_1", canonical},
        {"TMP/Kfq_1.DB", canonical},
        {"check_db.db", (dir_ / "check_db.DB").string()},
        {"check_db", (dir_ / "check_db.DB").string()},
        {"new.db", (dir_ / "new.db").string()},       // a missing file keeps its spelling
        {"nothing", (dir_ / "nothing.db").string()},  // no extension means .db
        {"x.dbf", (dir_ / "x.dbf").string()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::ResolveTableName(c.name), c.expected) << c.name;
    EXPECT_EQ(db::ResolveTableName(canonical), canonical);
    EXPECT_EQ(db::ResolveTableName("kfq_1", "tmp"), canonical);
    EXPECT_EQ(db::ResolveTableName("kfq_1", "."), (dir_ / "kfq_1.db").string());
}

TEST(TableFormat, FollowsTheExtension)
{
    EXPECT_EQ(db::FormatOfPath("/a/b.DBF"), db::TableFormat::DBase);
    EXPECT_EQ(db::FormatOfPath("/a/b.txt"), db::TableFormat::Text);
    EXPECT_EQ(db::FormatOfPath("/a/b.db"), db::TableFormat::Sqlite);
    EXPECT_EQ(db::FormatOfPath("/a/b.DB"), db::TableFormat::Sqlite);
}

}  // namespace
