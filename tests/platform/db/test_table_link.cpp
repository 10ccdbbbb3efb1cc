// Master/detail links and filters: what the view shows and where the cursor goes.
#include <gtest/gtest.h>

#include "TableFixture.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableLinkTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_1.db", Enterprise(), {{"100001", "100001", "甲"}, {"100002", "100002", "乙"}, {"100003", "100003", "丙"}});
        db::TableSchema d;
        d.fields = {F("ID", T::String, 12), F("QA01", T::String, 6), F("QE01", T::String, 3)};
        d.indexes = {Primary({"ID"}), Index("kfq_2", {"QA01", "QE01"}, false, true)};
        db::CreateTableFile("kfq_2.db", d,
                            {{"10000101", "100001", "01"}, {"10000102", "100001", "02"}, {"10000201", "100002", "01"},
                             {"O'1", "O'Bri", "01"}});
        master.SetTableName("kfq_1.db");
        detail.SetTableName("kfq_2.db");
        src.SetDataSet(&master);
        detail.SetMasterSource(&src);
        detail.SetMasterFields("QA01");
        detail.SetIndexName("kfq_2");
        master.Open();
        detail.Open();
    }
    TTable master, detail;
    TDataSource src;
};

TEST_F(TableLinkTest, DetailFollowsTheMastersScrollsAndStores)
{
    EXPECT_EQ(Column(detail, "QE01"), (std::vector<std::string>{"01", "02"}));
    master.Next();
    EXPECT_EQ(Column(detail, "ID"), std::vector<std::string>{"10000201"});
    master.Next();
    EXPECT_TRUE(detail.IsEmpty());
    // A new detail row gets the master's key and stays in view.
    detail.Append();
    EXPECT_EQ(detail.FieldByName("qa01")->AsString(), "100003");
    detail.FieldByName("ID")->SetAsString("10000301");
    detail.FieldByName("QE01")->SetAsString("01");
    detail.Post();
    EXPECT_EQ(detail.RecordCount(), 1);
    // The master's key changed by a store: the detail follows it.
    master.Edit();
    master.FieldByName("QA01")->SetAsString("100009");
    master.Post();
    EXPECT_TRUE(detail.IsEmpty());
    // No master fields: every row.
    detail.SetMasterFields("");
    EXPECT_EQ(detail.RecordCount(), 5);
}

TEST_F(TableLinkTest, FilterShowsMatchingRowsAndQuotesTheKey)
{
    detail.SetMasterFields("");
    struct Case {
        const char* filter;
        std::vector<std::string> ids;
    } cases[] = {
        {"qa01='100001'", {"10000101", "10000102"}},
        {"QA01 = '100002' or qe01='02'", {"10000102", "10000201"}},
        {"qa01='O''Bri'", {"O'1"}},  // a quote in the key, doubled
        {"qa01 is null", {}},
        {"", {"10000101", "10000102", "10000201", "O'1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        detail.SetFiltered(false);
        detail.SetFilter(c.filter);
        detail.SetFiltered(true);
        auto ids = Column(detail, "ID");
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, c.ids);
    }
}

TEST_F(TableLinkTest, BadFilterFailsAndLeavesTheViewAlone)
{
    detail.SetMasterFields("");
    detail.SetFilter("qa01='100001'");
    detail.SetFiltered(true);
    for (const char* bad : {"qa01='O'Bri'", "qa01 = ", "nosuchfield = 1"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(detail.SetFilter(bad), EDatabaseError);
        EXPECT_EQ(detail.Filter(), "qa01='100001'");
        EXPECT_EQ(detail.RecordCount(), 2);
    }
    detail.SetFiltered(false);
    detail.SetFilter("qa01='O'Bri'");  // kept while not filtered, refused when switched on
    EXPECT_THROW(detail.SetFiltered(true), EDatabaseError);
    EXPECT_FALSE(detail.Filtered());
    EXPECT_EQ(detail.RecordCount(), 4);
    EXPECT_EQ(StoredColumn((dir_ / "kfq_2.db").string(), "QA01").size(), 4u);
}

TEST_F(TableLinkTest, StoredRowsLeaveTheFilterAndTheNextMatchBecomesCurrent)
{
    // The key cascade of the entry windows: unlink, filter on the old key, move every row to the new key.
    detail.SetMasterFields("");
    detail.First();
    detail.Edit();
    detail.FieldByName("QE01")->SetAsString("09");
    detail.SetFilter("qa01='100001'");
    detail.SetFiltered(true);  // switching on while editing stores first
    EXPECT_EQ(detail.State(), TDataSetState::dsBrowse);
    ASSERT_EQ(detail.RecordCount(), 2);
    std::vector<std::string> moved;
    while (!detail.Eof()) {
        moved.push_back(detail.FieldByName("QE01")->AsString());
        detail.Edit();
        detail.FieldByName("QA01")->SetAsString("100007");
        detail.Post();
    }
    EXPECT_EQ(moved, (std::vector<std::string>{"02", "09"}));
    EXPECT_TRUE(detail.IsEmpty());
    detail.SetFilter("qa01='100007'");
    EXPECT_EQ(detail.RecordCount(), 2);
}

}  // namespace

// Three levels: products hang on an enterprise by two fields ("code;code2"), which hangs on a base by one.
// Each level follows the one above through scrolls and stores, and a new row takes the whole key of its master.
TEST_F(TableTest, ADetailOfADetailFollowsBothLevelsByItsTwoLinkFields)
{
    db::TableSchema base, ent, prod;
    base.fields = {F("Id", T::String, 7), F("Code", T::String, 4)};
    base.indexes = {Primary({"Id"})};
    ent.fields = {F("Id", T::String, 11), F("Code", T::String, 4), F("Code2", T::String, 4)};
    ent.indexes = {Primary({"Id"}), Index("ent", {"Code", "Code2"}, false, true)};
    prod.fields = {F("Id", T::String, 15), F("Code", T::String, 4), F("Code2", T::String, 4), F("Code3", T::String, 4)};
    prod.indexes = {Primary({"Id"}), Index("prod", {"Code", "Code2", "Code3"}, false, true)};
    db::CreateTableFile("base.db", base, {{"B1", "B1"}, {"B2", "B2"}});
    db::CreateTableFile("ent.db", ent, {{"B1E1", "B1", "E1"}, {"B1E2", "B1", "E2"}, {"B2E1", "B2", "E1"}});
    db::CreateTableFile("prod.db", prod,
                        {{"B1E1P1", "B1", "E1", "P1"}, {"B1E1P2", "B1", "E1", "P2"}, {"B1E2P1", "B1", "E2", "P1"},
                         {"B2E1P1", "B2", "E1", "P1"}});
    TTable t1, t2, t3;
    TDataSource s1, s2;
    t1.SetTableName("base.db");
    t2.SetTableName("ent.db");
    t3.SetTableName("prod.db");
    s1.SetDataSet(&t1);
    s2.SetDataSet(&t2);
    t2.SetMasterSource(&s1);
    t2.SetMasterFields("Code");
    t2.SetIndexName("ent");
    t3.SetMasterSource(&s2);
    t3.SetMasterFields("Code;Code2");
    t3.SetIndexName("prod");
    t1.Open();
    t2.Open();
    t3.Open();
    EXPECT_EQ(Column(t3, "Id"), (std::vector<std::string>{"B1E1P1", "B1E1P2"}));
    t2.Next();
    EXPECT_EQ(Column(t3, "Id"), std::vector<std::string>{"B1E2P1"});
    t1.Next();  // the enterprise level moves to B2's first enterprise, the products follow
    EXPECT_EQ(Column(t2, "Id"), std::vector<std::string>{"B2E1"});
    EXPECT_EQ(Column(t3, "Id"), std::vector<std::string>{"B2E1P1"});
    t3.Append();
    EXPECT_EQ(t3.FieldByName("code")->AsString(), "B2");
    EXPECT_EQ(t3.FieldByName("code2")->AsString(), "E1");
    t3.FieldByName("Id")->SetAsString("B2E1P2");
    t3.FieldByName("Code3")->SetAsString("P2");
    t3.Post();
    EXPECT_EQ(t3.RecordCount(), 2);
    // A key search on the products' index takes the whole key within the link.
    t3.SetKey();
    t3.FieldByName("Code")->SetAsString("B2");
    t3.FieldByName("Code2")->SetAsString("E1");
    t3.FieldByName("Code3")->SetAsString("P2");
    EXPECT_TRUE(t3.GotoKey());
    EXPECT_EQ(t3.FieldByName("Id")->AsString(), "B2E1P2");
    // The enterprise's second key changed by a store: its products are no longer shown under it.
    t2.Edit();
    t2.FieldByName("Code2")->SetAsString("E9");
    t2.Post();
    EXPECT_TRUE(t3.IsEmpty());
    t1.First();
    EXPECT_EQ(Column(t3, "Id"), (std::vector<std::string>{"B1E1P1", "B1E1P2"}));
}
