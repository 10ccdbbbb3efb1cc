// Two users on one table file: a store of a record that the other user changed or deleted since it was read
// fails and writes nothing; the changed record's fresh values are then shown. The other user is another
// program instance (its own SQLite connection, which this process is never told about) or a statement of this
// program during the edit (a statement before it is shown at once: the edit starts from its values).
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "platform/db/Query.h"

using namespace fixture;

namespace {

enum class Other { Instance, Statement };
enum class When { BeforeEdit, DuringEdit };

struct Case {
    const char* name;
    Other other;
    When when;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TableInstancesTest : public TableTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_1.db", Enterprise(),
                            {{"100001", "100001", "甲", 1.0}, {"100002", "100002", "乙", 2.0}});
        t.SetTableName("kfq_1.db");
        t.Open();
        ASSERT_EQ(t.FieldByName("QA04")->AsString(), "甲");  // the first rows are read and kept
    }

    // The other user runs one statement on the file ("T" for the table).
    void other(Other who, std::string sql)
    {
        std::string::size_type at = sql.find(" T ");
        if (who == Other::Instance) {
            db::Connection c((dir_ / "kfq_1.db").string(), db::Connection::Mode::ReadWrite);
            c.exec(sql.replace(at, 3, " data "));
            return;
        }
        TQuery q;
        q.SQL.Add(sql.replace(at, 3, " kfq_1.db "));
        q.ExecSQL();
    }

    // Changes QC02 of the first record to 50 at the case's moment, through edit and post.
    void storeAround(const Case& c, const std::string& sql)
    {
        if (c.when == When::BeforeEdit)
            other(c.other, sql);
        t.Edit();
        t.FieldByName("QC02")->SetAsFloat(50);
        if (c.when == When::DuringEdit)
            other(c.other, sql);
        t.Post();
    }

    TTable t;
};

TEST_P(TableInstancesTest, StoreOfARecordChangedMeanwhileFailsAndShowsTheFreshValues)
{
    const Case& c = GetParam();
    try {
        storeAround(c, "UPDATE T SET QA04='甲改' WHERE Id='100001'");
        FAIL() << "the store went through";
    } catch (const ERecordChanged& e) {
        EXPECT_EQ(e.Message, "记录已被其他用户修改（kfq_1.db），现显示其最新内容，请重新修改后再保存");
    }
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("QA04")->AsString(), "甲改");
    EXPECT_EQ(t.FieldByName("QC02")->AsFloat(), 1.0);
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA04"), (std::vector<std::string>{"甲改", "乙"}));
    EXPECT_EQ(StoredColumn("kfq_1.db", "QC02"), (std::vector<std::string>{"1.000000", "2.000000"}));

    // Changed again on the fresh values, the record stores.
    t.Edit();
    t.FieldByName("QC02")->SetAsFloat(50);
    t.Post();
    EXPECT_EQ(StoredColumn("kfq_1.db", "QC02"), (std::vector<std::string>{"50.000000", "2.000000"}));
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA04"), (std::vector<std::string>{"甲改", "乙"}));
}

TEST_P(TableInstancesTest, StoreOfARecordDeletedMeanwhileFailsAndKeepsTheEdit)
{
    const Case& c = GetParam();
    try {
        storeAround(c, "DELETE FROM T WHERE Id='100001'");
        FAIL() << "the store went through";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "记录已被其他用户删除（kfq_1.db）");
    }
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    t.Cancel();
    EXPECT_EQ(StoredColumn("kfq_1.db", "Id"), std::vector<std::string>{"100002"});
}

TEST_P(TableInstancesTest, OtherRecordsChangedMeanwhileLeaveTheStoreAlone)
{
    storeAround(GetParam(), "UPDATE T SET QA04='乙改' WHERE Id='100002'");
    EXPECT_EQ(StoredColumn("kfq_1.db", "QC02"), (std::vector<std::string>{"50.000000", "2.000000"}));
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA04"), (std::vector<std::string>{"甲", "乙改"}));
}

// The row a store leaves current is the row as stored: compared with the file after another user's store
// elsewhere in it, it is found unchanged, whatever the types of its fields.
TEST_P(TableInstancesTest, RecordStoredHereStoresAgainAfterAnotherUsersStoreElsewhere)
{
    t.Edit();
    t.FieldByName("QA04")->SetAsString("甲 ");
    t.FieldByName("QC02")->SetAsString("1.50");
    t.FieldByName("qa_one")->SetAsString("7");
    t.FieldByName("QA12")->SetAsString("2024-02-29");
    t.FieldByName("QL")->SetAsString("true");
    t.Post();
    EXPECT_NO_THROW(storeAround(GetParam(), "UPDATE T SET QA04='乙改' WHERE Id='100002'"));
    EXPECT_EQ(StoredColumn("kfq_1.db", "QC02"), (std::vector<std::string>{"50.000000", "2.000000"}));
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA12"), (std::vector<std::string>{"2024-02-29", "<null>"}));
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA04"), (std::vector<std::string>{"甲", "乙改"}));
}

INSTANTIATE_TEST_SUITE_P(Users, TableInstancesTest, ::testing::Values(
    Case{"InstanceBeforeEdit", Other::Instance, When::BeforeEdit},
    Case{"InstanceDuringEdit", Other::Instance, When::DuringEdit},
    Case{"StatementDuringEdit", Other::Statement, When::DuringEdit}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
