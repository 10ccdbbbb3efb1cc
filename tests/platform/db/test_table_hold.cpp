// A run's hold on a table file (a second hold is refused until the first goes) and the replacement of a table's
// rows in one go, which tables open on the file see at once.
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "platform/db/TableHold.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableHoldTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_r.db", db::TableSchema{{F("n", T::Integer)}, {}}, {{std::int64_t{1}}});
    }
};

TEST_F(TableHoldTest, ASecondHoldIsRefusedUntilTheFirstGoes)
{
    {
        TTableHold first("kfq_r.db");
        try {
            TTableHold second("KFQ_R.DB");
            ADD_FAILURE() << "held twice";
        } catch (const ETableHeld& e) {
            EXPECT_NE(e.Message.find("数据表“KFQ_R.DB”正被另一次运行占用"), std::string::npos) << e.Message;
        }
        // Single stores are not kept out.
        TTable t;
        t.SetTableName("kfq_r.db");
        t.Open();
        t.Append();
        t.FieldByName("n")->SetAsInteger(2);
        EXPECT_NO_THROW(t.Post());
    }
    EXPECT_NO_THROW(TTableHold again("kfq_r.db"));
    EXPECT_THROW(TTableHold missing("nosuch.db"), EDatabaseError);
}

TEST_F(TableHoldTest, ReplacedRowsShowInOpenTables)
{
    db::CreateTableFile("work.db", db::TableSchema{{F("n", T::Integer)}, {}}, {{std::int64_t{7}}, {std::int64_t{8}}});
    TTable shown;
    shown.SetTableName("kfq_r.db");
    shown.Open();
    db::ReplaceTableRows((dir_ / "kfq_r.db").string(), (dir_ / "work.db").string());
    EXPECT_EQ(Column(shown, "n"), (std::vector<std::string>{"7", "8"}));
    EXPECT_EQ(StoredColumn((dir_ / "work.db").string(), "n"), (std::vector<std::string>{"7", "8"}));
}

}  // namespace
