// Opening tables by name, and the files that must be refused without being touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TableFixture.h"

namespace fs = std::filesystem;
using namespace fixture;

namespace {

class TableOpenTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        fs::create_directory(dir_ / "tmp");
        db::CreateTableFile((dir_ / "tmp" / "kfq_1.db").string(), Enterprise(),
                            {{"100001", "100001", "甲公司"}, {"100002", "100002", "乙公司"}});
    }

    std::string fileBytes(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(TableOpenTest, OpensByEverySpellingOfItsName)
{
    for (const std::string& name : std::vector<std::string>{"tmp\\kfq_1.db", "tmp\\kfq_1", "TMP\\KFQ_1.DB", (dir_ / "tmp" / "kfq_1.db").string()}) {
        TTable t;
        t.SetTableName(name);
        t.Open();
        EXPECT_EQ(t.RecordCount(), 2) << name;
        EXPECT_EQ(t.FieldByName("qa04")->AsString(), "甲公司") << name;
    }
    TTable t;
    t.DatabaseName = "tmp";
    t.SetTableName("kfq_1");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 2);
}

TEST_F(TableOpenTest, AfterScrollFiresWhenTheTableOpens)
{
    TTable t;
    t.SetTableName("tmp\\kfq_1.db");
    std::vector<std::string> seen;
    t.AfterScroll = [&](TDataSet* ds) { seen.push_back(ds->FieldByName("QA01")->AsString()); };
    t.Open();
    EXPECT_EQ(seen, std::vector<std::string>{"100001"});
}

TEST_F(TableOpenTest, RefusesFilesThatAreNotTablesAndLeavesThemAsTheyWere)
{
    // An old Paradox header: record size, header size 0x800, file type 0, block size 2, version 12.
    std::string paradox(0x800, '\0');
    paradox[0] = 0x20;
    paradox[2] = 0x00;
    paradox[3] = 0x08;
    paradox[4] = 0;
    paradox[5] = 2;
    paradox[0x39] = 12;
    std::ofstream(dir_ / "old.db", std::ios::binary) << paradox;
    std::ofstream(dir_ / "text.db") << "just some text, long enough to be read as a header........................"
                                       "..................................................";
    // An SQLite database without the table layout.
    {
        db::Connection c((dir_ / "plain.db").string(), db::Connection::Mode::ReadWriteCreate);
        c.exec("CREATE TABLE t(a)");
    }
    // A table file whose description names a column that its rows lack.
    db::CreateTableFile("damaged.db", db::TableSchema{{fixture::F("a", db::FieldType::Integer)}, {}});
    {
        db::Connection c((dir_ / "damaged.db").string(), db::Connection::Mode::ReadWrite);
        c.exec("INSERT INTO meta_fields VALUES(1, 'b', 'I', 0, 0)");
    }
    struct Case {
        const char* name;
        const char* messagePart;
    } cases[] = {
        {"damaged.db", "has no column named b"},
        {"missing.db", "不存在"},
        {"old.db", "Paradox"},
        // a damaged file: the user is sent to the backups
        {"text.db", "数据文件已损坏：text.db。\n可在“系统维护”中用“数据还原”从备份文件夹 bak\\ 取回"},
        {"plain.db", "数据文件已损坏：plain.db"},
    };
    for (const auto& c : cases) {
        std::string before = fs::exists(c.name) ? fileBytes(c.name) : std::string();
        TTable t;
        t.SetTableName(c.name);
        try {
            t.Open();
            ADD_FAILURE() << c.name << " opened";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message.find(c.messagePart), std::string::npos) << c.name << ": " << e.Message;
            EXPECT_NE(e.Message.find(c.name), std::string::npos) << e.Message;
        }
        EXPECT_FALSE(t.Active());
        EXPECT_EQ(fs::exists(c.name) ? fileBytes(c.name) : std::string(), before) << c.name;
    }
}

TEST_F(TableOpenTest, AFileLockedByAnotherProgramFailsWithAClearMessage)
{
    std::string path = (dir_ / "tmp" / "kfq_1.db").string();
    db::Connection other(path, db::Connection::Mode::ReadWrite);
    other.exec("BEGIN EXCLUSIVE");

    TTable t;
    t.SetTableName("tmp\\kfq_1.db");
    try {
        t.Open();
        ADD_FAILURE() << "opened a locked table";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("数据表“tmp/kfq_1.db”正被另一个程序使用（已锁定）"), std::string::npos) << e.Message;
    }
    other.exec("ROLLBACK");

    // Locked while open: the store fails, the record stays in edit state, the file keeps its rows.
    t.Open();
    other.exec("BEGIN IMMEDIATE");  // a writer elsewhere: reading goes on, storing must wait
    t.Edit();
    t.FieldByName("QA04")->SetAsString("丙公司");
    EXPECT_THROW(t.Post(), EDatabaseError);
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    other.exec("ROLLBACK");
    t.Cancel();
    EXPECT_EQ(StoredColumn(path, "QA04"), (std::vector<std::string>{"甲公司", "乙公司"}));
}

}  // namespace
