// Key violations, index order and key search.
#include <gtest/gtest.h>

#include "TableFixture.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableKeysTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        // The national projects table: primary on Id, unique indexes gjxm (JB00) and gjxm2 (JB01).
        db::TableSchema s;
        s.fields = {F("Id", T::String, 10), F("JB00", T::String, 10), F("JB01", T::String, 20), F("n", T::Integer)};
        s.indexes = {Primary({"Id"}, true), Index("gjxm", {"JB00"}, true, true), Index("gjxm2", {"JB01"}, true, true),
                     Index("byn", {"n"}, false, false)};
        db::CreateTableFile("gjxm.db", s, {{"A1", "A1", "项目甲", 3}, {"b2", "b2", "项目乙", 1}, {"C3", "C3", "项目丙", 2}});
        t.SetTableName("gjxm");
        t.Open();
    }
    void tryAppend(const db::Row& v)
    {
        t.Append();
        for (std::size_t i = 0; i < v.size(); ++i)
            t.Fields()[static_cast<int>(i)]->SetValue(v[i]);
        t.Post();
    }
    TTable t;
};

TEST_F(TableKeysTest, ViolationsNameTheirIndexPrimaryFirst)
{
    struct Case {
        db::Row row;
        std::string message;  // empty: stored
    } cases[] = {
        {{"A1", "A1", "项目甲"}, "Key violation."},           // primary checked before the secondary indexes
        {{"a1", "x", "y"}, "Key violation."},                 // the primary index is case-insensitive
        {{"D4", "a1", "新"}, "Key violation in unique index gjxm."},
        {{"D4", "D4", "项目乙"}, "Key violation in unique index gjxm2."},
        {{"D4", "D4", "新项目"}, ""},
        {{"", "E5", "另一个"}, ""},                           // a blank key is one value ...
        {{"  ", "F6", "第三个"}, "Key violation."},           // ... and a second blank key a duplicate
        {{"G7", "", "甲"}, ""},
        {{"H8", "", "乙"}, "Key violation in unique index gjxm."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(S(c.row[0]) + "/" + S(c.row[1]) + "/" + S(c.row[2]));
        try {
            tryAppend(c.row);
            EXPECT_EQ(c.message, "");
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, c.message);
            EXPECT_EQ(t.State(), TDataSetState::dsInsert);
            t.Cancel();
        }
    }
    EXPECT_EQ(t.RecordCount(), 6);
    // Editing a row keeps its own key.
    t.First();
    t.Edit();
    t.FieldByName("n")->SetAsInteger(9);
    EXPECT_NO_THROW(t.Post());
}

TEST_F(TableKeysTest, ChangingTheOrderKeepsTheCurrentRecord)
{
    EXPECT_EQ(Column(t, "Id"), (std::vector<std::string>{"A1", "b2", "C3"}));  // primary, case-insensitive
    t.First();
    t.Next();  // b2
    t.SetIndexName("byn");
    EXPECT_EQ(t.FieldByName("Id")->AsString(), "b2");
    EXPECT_EQ(t.RecNo(), 1);
    t.SetIndexFieldNames("n");
    EXPECT_EQ(t.IndexName(), "");
    EXPECT_EQ(t.FieldByName("Id")->AsString(), "b2");
    EXPECT_EQ(Column(t, "n"), (std::vector<std::string>{"1", "2", "3"}));
    t.SetIndexName("");
    EXPECT_EQ(t.IndexFieldNames(), "");
    EXPECT_EQ(Column(t, "Id"), (std::vector<std::string>{"A1", "b2", "C3"}));
    EXPECT_THROW(t.SetIndexName("nosuch"), EDatabaseError);
    EXPECT_EQ(Column(t, "Id"), (std::vector<std::string>{"A1", "b2", "C3"}));
    // A row stored later takes its place in the active order.
    t.SetIndexName("byn");
    tryAppend({"Z0", "Z0", "中间", 2});
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(Column(t, "Id"), (std::vector<std::string>{"b2", "C3", "Z0", "A1"}));
}

TEST_F(TableKeysTest, GotoKeyFindsOrStaysPut)
{
    struct Case {
        const char* index;
        const char* field;
        db::Variant key;
        bool found;
        const char* at;  // Id of the current record afterwards
    } cases[] = {
        {"gjxm", "JB00", std::string("c3"), true, "C3"},  // case-insensitive index
        {"gjxm", "JB00", std::string("X9"), false, "b2"},
        {"byn", "n", std::int64_t{3}, true, "A1"},
        {"byn", "n", std::string("2"), true, "C3"},         // a key given as text
        {"gjxm2", "JB01", std::string("项目乙"), true, "b2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.index) + " " + S(c.key));
        t.SetIndexName("");
        t.First();
        t.Next();  // b2
        t.SetIndexName(c.index);
        t.SetKey();
        EXPECT_EQ(t.State(), TDataSetState::dsSetKey);
        t.FieldByName(c.field)->SetValue(c.key);
        EXPECT_EQ(t.GotoKey(), c.found);
        EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
        EXPECT_EQ(t.FieldByName("Id")->AsString(), c.at);
    }
    // EditKey keeps the last key; FindKey assigns the index fields in order.
    t.SetIndexName("gjxm");
    t.First();
    t.EditKey();
    EXPECT_EQ(t.FieldByName("JB01")->AsString(), "项目乙");
    t.Cancel();
    EXPECT_TRUE(t.FindKey({std::string("B2")}));
    EXPECT_EQ(t.FieldByName("Id")->AsString(), "b2");
}

}  // namespace
