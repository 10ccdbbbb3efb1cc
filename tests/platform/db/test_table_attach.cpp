// Table files made ready for statements: SQLite files as they are, dBase files through a temporary copy that is
// written back; open tables follow what a statement changed.
#include <gtest/gtest.h>

#include <filesystem>

#include "TableFixture.h"
#include "platform/db/Dbf.h"
#include "platform/db/Names.h"

namespace fs = std::filesystem;
using namespace fixture;
using T = db::FieldType;

namespace {

class TableAttachTest : public TableTest {
protected:
    db::TableSchema schema()
    {
        db::TableSchema s;
        s.fields = {F("name", T::String, 20), F("n", T::Integer)};
        return s;
    }
};

TEST_F(TableAttachTest, SqliteFilesAttachAsTheyAre)
{
    db::CreateTableFile("a.db", schema(), {{"甲", 1}});
    std::string path = db::ResolveTableName("A.DB");
    db::AttachableFile f(path);
    EXPECT_EQ(f.sqlitePath(), path);
    EXPECT_THROW(db::AttachableFile((dir_ / "missing.db").string()), EDatabaseError);
}

TEST_F(TableAttachTest, DbaseFilesGoThroughACopyThatIsWrittenBack)
{
    std::string path = (dir_ / "imp.dbf").string();
    db::dbf::Write(path, schema(), {{std::string("甲"), std::int64_t{1}}, {std::string("乙"), std::int64_t{2}}});
    std::string copy;
    {
        db::AttachableFile f(path);
        copy = f.sqlitePath();
        EXPECT_NE(copy, path);
        {
            db::Connection c(copy, db::Connection::Mode::ReadWrite);
            c.exec("UPDATE data SET n = n * 10");
            c.exec("DELETE FROM data WHERE name = '乙'");
        }
        f.writeBack();
    }
    EXPECT_FALSE(fs::exists(copy));
    db::dbf::Table back = db::dbf::Read(path);
    ASSERT_EQ(back.rows.size(), 1u);
    EXPECT_EQ(S(back.rows[0][0]), "甲");
    EXPECT_EQ(S(back.rows[0][1]), "10");
}

TEST_F(TableAttachTest, OpenTablesFollowAStatementsChanges)
{
    db::CreateTableFile("a.db", schema(), {{"甲", 1}, {"乙", 2}});
    TTable t;
    t.SetTableName("a.db");
    t.Open();
    t.Last();
    std::string path = db::ResolveTableName("a.db");
    {
        db::AttachableFile f(path);
        db::Connection c(f.sqlitePath(), db::Connection::Mode::ReadWrite);
        c.exec("INSERT INTO data VALUES('丙', 3)");
        f.writeBack();
    }
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(t.FieldByName("name")->AsString(), "乙");  // still on its record
}

}  // namespace
