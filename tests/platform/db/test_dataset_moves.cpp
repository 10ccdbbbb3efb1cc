// Moves, record numbers and counts over a table's view.
#include <gtest/gtest.h>

#include "TableFixture.h"

using namespace fixture;

namespace {

class DataSetMovesTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::TableSchema s;
        s.fields = {F("code", db::FieldType::String, 4)};
        s.indexes = {Primary({"code"})};
        db::CreateTableFile("t.db", s, {{"a"}, {"b"}, {"c"}, {"d"}});
        db::CreateTableFile("empty.db", s);
        t.SetTableName("t");
        t.Open();
    }
    std::string code() { return t.FieldByName("code")->AsString(); }
    TTable t;
};

TEST_F(DataSetMovesTest, MovesStopAtTheEnds)
{
    struct Step {
        const char* op;
        int arg;
        const char* code;
        int recNo;
        bool bof, eof;
        int moved;
    } steps[] = {
        {"first", 0, "a", 1, true, false, 0},
        {"next", 0, "b", 2, false, false, 1},
        {"moveby", 10, "d", 4, false, true, 2},
        {"prior", 0, "c", 3, false, false, -1},
        {"moveby", -10, "a", 1, true, false, -2},
        {"last", 0, "d", 4, false, true, 0},
        {"next", 0, "d", 4, false, true, 0},
        {"recno", 2, "b", 2, false, false, 0},
        {"moveby", 0, "b", 2, false, false, 0},
    };
    for (const auto& s : steps) {
        std::string op = s.op;
        int moved = 0;
        if (op == "first") {
            t.First();
        } else if (op == "last") {
            t.Last();
        } else if (op == "next") {
            t.Next();
        } else if (op == "prior") {
            t.Prior();
        } else if (op == "recno") {
            t.SetRecNo(s.arg);
        } else {
            moved = t.MoveBy(s.arg);
        }
        SCOPED_TRACE(op + " " + std::to_string(s.arg));
        EXPECT_EQ(code(), s.code);
        EXPECT_EQ(t.RecNo(), s.recNo);
        EXPECT_EQ(t.Bof(), s.bof);
        EXPECT_EQ(t.Eof(), s.eof);
        if (op == "moveby") {
            EXPECT_EQ(moved, s.moved);
        }
    }
    EXPECT_EQ(t.RecordCount(), 4);
    EXPECT_FALSE(t.IsEmpty());
}

TEST_F(DataSetMovesTest, AnEmptyTableIsAtBothEnds)
{
    TTable e;
    e.SetTableName("empty.db");
    e.Open();
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_TRUE(e.Eof());
    EXPECT_TRUE(e.Bof());
    EXPECT_EQ(e.RecNo(), 0);
    EXPECT_EQ(e.MoveBy(3), 0);
    EXPECT_TRUE(e.FieldByName("code")->IsNull());
}

TEST_F(DataSetMovesTest, ClosedTableCountsNothingAndRefusesMoves)
{
    t.Close();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_THROW(t.Next(), EDatabaseError);
    EXPECT_THROW(t.Edit(), EDatabaseError);
}

TEST_F(DataSetMovesTest, WalkingVisitsEveryRowOnce)
{
    EXPECT_EQ(Column(t, "code"), (std::vector<std::string>{"a", "b", "c", "d"}));
}

}  // namespace
