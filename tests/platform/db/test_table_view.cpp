// The view kept in memory: key searches on the leading fields of the order or on any of them, rows stored inside
// a run (which join the view at its end and take their places when the run ends), and the stored row as the
// cursor shows it right after its store; a walk reads the rows of the view in blocks.
#include <gtest/gtest.h>

#include "TableFixture.h"
#include "platform/db/Connection.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableViewTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        // A product table: primary on (QA01, QE01), case-insensitive codes, Chinese names in a second index.
        db::TableSchema s;
        s.fields = {F("QA01", T::String, 6), F("QE01", T::String, 4), F("QE02", T::String, 20), F("n", T::Integer)};
        s.indexes = {Primary({"QA01", "QE01"}, true), Index("byname", {"QE02"}, false, false)};
        db::CreateTableFile("kfq_2.db", s,
                            {{"B1", "0002", "乙", 1}, {"a1", "0001", "甲", 2}, {"B1", "0001", "丙", 3}, {"c1", "0001", "丁", 4}});
        t.SetTableName("kfq_2.db");
        t.Open();
    }
    void store(const std::string& code, const std::string& serial, const std::string& name)
    {
        t.Append();
        t.FieldByName("QA01")->SetAsString(code);
        t.FieldByName("QE01")->SetAsString(serial);
        t.FieldByName("QE02")->SetAsString(name);
        t.Post();
    }
    // The key search with the given fields (the others left empty); the current QE02 afterwards, "-" if not found.
    std::string seek(const std::vector<std::pair<const char*, const char*>>& given)
    {
        t.SetKey();
        for (const auto& [field, value] : given)
            t.FieldByName(field)->SetAsString(value);
        return t.GotoKey() ? t.FieldByName("QE02")->AsString() : "-";
    }
    TTable t;
};

TEST_F(TableViewTest, KeySearchesFindTheFirstMatchInTheOrder)
{
    struct Case {
        const char* index;  // "" primary
        std::vector<std::pair<const char*, const char*>> key;
        const char* found;
    } cases[] = {
        {"", {{"QA01", "b1"}, {"QE01", "0002"}}, "乙"},  // case-insensitive, both fields
        {"", {{"QA01", "B1"}}, "丙"},                     // the leading field alone: the first of its rows
        {"", {{"QE01", "0002"}}, "乙"},                   // a field that does not lead the order
        {"", {{"QA01", "A"}}, "-"},                       // no prefix search: a key is a whole value
        {"", {{"QA01", "d1"}}, "-"},
        {"byname", {{"QE02", "丁"}}, "丁"},               // Chinese text in GBK order
        {"byname", {{"QE02", "戊"}}, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.index) + " " + c.key[0].second);
        t.SetIndexName(c.index);
        t.First();
        EXPECT_EQ(seek(c.key), c.found);
    }
}

TEST_F(TableViewTest, RowsStoredInARunTakeTheirPlacesWhenTheRunEnds)
{
    t.BeginBatch();
    store("c1", "0002", "戊");  // after every row: in order
    store("a1", "0000", "己");  // before them: joins the view at its end
    EXPECT_EQ(t.FieldByName("QE02")->AsString(), "己");
    EXPECT_EQ(t.RecordCount(), 6);
    // Rows stored earlier in the run are found by key, in and out of order, and update in place.
    EXPECT_EQ(seek({{"QA01", "A1"}, {"QE01", "0000"}}), "己");
    EXPECT_EQ(seek({{"QA01", "c1"}, {"QE01", "0002"}}), "戊");
    EXPECT_EQ(seek({{"QA01", "B1"}}), "丙");
    t.Edit();
    t.FieldByName("n")->SetAsInteger(30);
    t.Post();
    EXPECT_EQ(seek({{"QA01", "a1"}, {"QE01", "0000"}}), "己");
    t.EndBatch();
    EXPECT_EQ(t.FieldByName("QE02")->AsString(), "己");  // the current record stays current
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(Column(t, "QE02"), (std::vector<std::string>{"己", "甲", "丙", "乙", "丁", "戊"}));
    EXPECT_EQ(StoredColumn("kfq_2.db", "n"), (std::vector<std::string>{"1", "2", "30", "4", "<null>", "<null>"}));
    // Outside a run a new row takes its place at once.
    store("B1", "0000", "庚");
    EXPECT_EQ(t.RecNo(), 3);
}

// A changed key moves its row, an unchanged one keeps its place; either way the cursor follows the row.
TEST_F(TableViewTest, AStoredRowIsCurrentWhereItsKeyPutsIt)
{
    t.SetIndexName("byname");
    EXPECT_EQ(Column(t, "QE02"), (std::vector<std::string>{"丙", "丁", "甲", "乙"}));
    t.First();
    t.Edit();
    t.FieldByName("QE02")->SetAsString("乙乙");
    t.Post();
    EXPECT_EQ(t.RecNo(), 4);
    t.Edit();
    t.FieldByName("n")->SetAsInteger(9);
    t.Post();
    EXPECT_EQ(t.RecNo(), 4);
    EXPECT_EQ(Column(t, "QE02"), (std::vector<std::string>{"丁", "甲", "乙", "乙乙"}));
}

// A walk reads every row of the view once and in its order, whether the rows of a block lie together in the file
// (the order they were stored in), apart (an order that scatters them) or among rows the view leaves out, also
// where a block is packed into the entries of rows read before.
using TableWalkTest = TableTest;

TEST_F(TableWalkTest, EveryRowOfTheViewOnceAndInItsOrder)
{
    constexpr int kRows = 7000;  // blocks enough that the walk drops its cache and refills it
    db::TableSchema s;
    s.fields = {F("k", T::Integer), F("scattered", T::Integer), F("kept", T::Integer), F("name", T::String, 20)};
    s.indexes = {Primary({"k"}), Index("scattered", {"scattered"}, true, false)};
    db::Rows rows;
    for (int k = 0; k < kRows; ++k)
        rows.push_back({std::int64_t{k}, std::int64_t{k * 389 % kRows}, std::int64_t{k % 3 == 0}, "名" + std::to_string(k)});
    db::CreateTableFile("walk.db", s, rows);
    struct Case {
        const char* index;
        const char* filter;
        int step;  // the view holds every step-th key
    } cases[] = {{"", "", 1}, {"scattered", "", 1}, {"", "kept=1", 3}, {"scattered", "kept=1", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.index) + " " + c.filter);
        TTable walk;
        walk.SetTableName("walk.db");
        walk.SetIndexName(c.index);
        walk.SetFilter(c.filter);
        walk.SetFiltered(*c.filter != 0);
        walk.Open();
        std::vector<std::int64_t> keys, expected;
        for (walk.First(); !walk.Eof(); walk.Next()) {
            keys.push_back(walk.FieldByName("k")->AsInteger());
            ASSERT_EQ(walk.FieldByName("name")->AsString(), "名" + std::to_string(keys.back()));
        }
        for (int k = 0; k < kRows; k += c.step)
            expected.push_back(k);
        if (*c.index) {
            std::sort(expected.begin(), expected.end(),
                      [](std::int64_t a, std::int64_t b) { return a * 389 % kRows < b * 389 % kRows; });
        }
        EXPECT_EQ(keys, expected);
    }
}

// Rows of a block read at once show what is stored: the row stored from this table, a row another table stored
// on the same file meanwhile, a value cleared to null and one never given.
TEST_F(TableWalkTest, ABlockReadShowsTheStoresMadeSinceItWasRead)
{
    db::TableSchema s;
    s.fields = {F("k", T::Integer), F("name", T::String, 20), F("x", T::Float)};
    s.indexes = {Primary({"k"})};
    db::Rows rows;
    for (int k = 0; k < 300; ++k)
        rows.push_back({std::int64_t{k}, "名" + std::to_string(k), k * 0.5});
    db::CreateTableFile("block.db", s, rows);
    TTable walk, other;
    walk.SetTableName("block.db");
    other.SetTableName("block.db");
    walk.Open();
    other.Open();
    walk.MoveBy(100);
    walk.Edit();
    walk.FieldByName("name")->SetAsString("改");
    walk.FieldByName("x")->Clear();
    walk.Post();
    other.SetRecNo(151);
    other.Edit();
    other.FieldByName("name")->SetAsString("他改");
    other.Post();
    for (walk.First(); !walk.Eof(); walk.Next()) {
        const std::int64_t k = walk.FieldByName("k")->AsInteger();
        const std::string want = k == 100 ? "改" : k == 150 ? "他改" : "名" + std::to_string(k);
        ASSERT_EQ(walk.FieldByName("name")->AsString(), want) << k;
        ASSERT_EQ(walk.FieldByName("x")->IsNull(), k == 100) << k;
    }
    EXPECT_EQ(walk.RecordCount(), 300);
}

// Stores inside the block a walk has read move the rows after them to other places of the view: each place
// shows its own row afterwards, walking on from there or from the start.
TEST_F(TableWalkTest, StoresInsideABlockLeaveEachPlaceWithItsOwnRow)
{
    db::TableSchema s;
    s.fields = {F("k", T::Integer), F("name", T::String, 20)};
    s.indexes = {Primary({"k"})};
    db::Rows rows;
    for (int k = 0; k < 600; k += 2)
        rows.push_back({std::int64_t{k}, "名" + std::to_string(k)});
    db::CreateTableFile("moves.db", s, rows);
    TTable walk;
    walk.SetTableName("moves.db");
    walk.Open();
    auto expectRowsFromHere = [&](std::vector<std::int64_t> keys) {
        std::vector<std::int64_t> seen;
        for (; !walk.Eof(); walk.Next()) {
            const std::int64_t k = walk.FieldByName("k")->AsInteger();
            seen.push_back(k);
            const std::string want = k == 120 ? "改" : "名" + std::to_string(k);
            ASSERT_EQ(walk.FieldByName("name")->AsString(), want) << k;
        }
        EXPECT_EQ(seen, keys);
    };
    walk.MoveBy(100);
    walk.Append();  // lands at place 101, before every later row
    walk.FieldByName("k")->SetAsInteger(201);
    walk.FieldByName("name")->SetAsString("名201");
    walk.Post();
    walk.SetRecNo(51);  // key 100
    walk.Delete();
    walk.SetRecNo(60);  // key 120
    walk.Edit();
    walk.FieldByName("name")->SetAsString("改");
    walk.Post();
    std::vector<std::int64_t> keys;
    for (int k = 0; k < 600; k += 2) {
        if (k != 100)
            keys.push_back(k);
        if (k == 200)
            keys.push_back(201);
    }
    walk.SetRecNo(100);
    expectRowsFromHere(std::vector<std::int64_t>(keys.begin() + 99, keys.end()));
    walk.First();
    expectRowsFromHere(keys);
}

// A row read by a jump and changed by another user afterwards stays known to be older than a block the walk
// reads later: storing over the other user's change fails.
TEST_F(TableWalkTest, ARowReadBeforeALaterBlockStillTellsAnotherUsersStore)
{
    db::TableSchema s;
    s.fields = {F("k", T::Integer), F("name", T::String, 20)};
    s.indexes = {Primary({"k"})};
    db::Rows rows;
    for (int k = 0; k < 4000; ++k)
        rows.push_back({std::int64_t{k}, "名" + std::to_string(k)});
    db::CreateTableFile("jump.db", s, rows);
    TTable walk;
    walk.SetTableName("jump.db");
    walk.Open();
    walk.First();
    ASSERT_EQ(walk.FieldByName("k")->AsInteger(), 0);
    walk.SetRecNo(3501);
    ASSERT_EQ(walk.FieldByName("name")->AsString(), "名3500");
    db::Connection(std::string("jump.db"), db::Connection::Mode::ReadWrite)
        .exec("UPDATE data SET name='他改' WHERE k=3500");
    walk.SetRecNo(1501);
    for (int i = 0; i < 3; ++i, walk.Next())
        ASSERT_EQ(walk.FieldByName("k")->AsInteger(), 1500 + i);
    walk.SetRecNo(3501);
    ASSERT_EQ(walk.FieldByName("name")->AsString(), "名3500");  // as read before the change
    walk.Edit();
    walk.FieldByName("name")->SetAsString("我改");
    EXPECT_THROW(walk.Post(), ERecordChanged);
    EXPECT_EQ(walk.FieldByName("name")->AsString(), "他改");
}

// A table whose rows were mostly deleted, or all, opens with the rows that are left, in order.
TEST_F(TableWalkTest, ATableWithRowsDeletedOpensWithTheRest)
{
    db::TableSchema s;
    s.fields = {F("k", T::Integer)};
    s.indexes = {Primary({"k"})};
    db::Rows rows;
    for (int k = 0; k < 5000; ++k)
        rows.push_back({std::int64_t{4999 - k}});
    db::CreateTableFile("gaps.db", s, rows);
    const struct {
        const char* kept;
        std::vector<std::int64_t> left;
    } cases[] = {{"k % 1000 = 7", {7, 1007, 2007, 3007, 4007}}, {"0", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        db::Connection(std::string("gaps.db"), db::Connection::Mode::ReadWrite)
            .exec(std::string("DELETE FROM data WHERE NOT (") + c.kept + ")");
        TTable walk;
        walk.SetTableName("gaps.db");
        walk.Open();
        std::vector<std::int64_t> keys;
        for (walk.First(); !walk.Eof(); walk.Next())
            keys.push_back(walk.FieldByName("k")->AsInteger());
        EXPECT_EQ(keys, c.left);
    }
}

// The view comes in the engine's order where the file's index orders otherwise: Chinese text (GBK, not code
// point order) and a blob among texts (SQLite puts blobs after every text; the engine reads a blob as text).
TEST_F(TableWalkTest, TheViewKeepsTheEnginesOrderWhereTheIndexDiffers)
{
    db::TableSchema s;
    s.fields = {F("k", T::String, 10), F("n", T::Integer)};
    s.indexes = {Primary({"k"})};
    db::CreateTableFile("order.db", s, {{"b", 1}, {"阿", 2}, {"B", 3}, {"北", 4}, {"c", 5}});
    {
        db::Connection c(std::string("order.db"), db::Connection::Mode::ReadWrite);
        c.exec("INSERT INTO data(k, n) VALUES(x'61', 6)");  // "a" as a blob
    }
    TTable walk;
    walk.SetTableName("order.db");
    walk.Open();
    EXPECT_EQ(Column(walk, "n"), (std::vector<std::string>{"3", "6", "1", "5", "2", "4"}));
}

// A table of as many fields as SQLite lets a row hold (a swap of rows and columns makes them) is walked too: a
// block read would need one column more than that, for the rowid.
TEST_F(TableWalkTest, ATableOfTheMostFieldsIsWalkedRowByRow)
{
    db::Connection probe({}, db::Connection::Mode::Memory);
    const int most = sqlite3_limit(probe.get(), SQLITE_LIMIT_COLUMN, -1);
    db::TableSchema s;
    for (int f = 0; f < most; ++f)
        s.fields.push_back(F("f" + std::to_string(f), T::Integer));
    db::Rows rows;
    for (int k = 0; k < 3; ++k) {
        db::Row row(static_cast<std::size_t>(most), db::Variant{std::int64_t{k}});
        row.back() = std::int64_t{10 * k};
        rows.push_back(row);
    }
    db::CreateTableFile("wide.db", s, rows);
    TTable walk;
    walk.SetTableName("wide.db");
    walk.Open();
    std::vector<std::int64_t> last;
    for (walk.First(); !walk.Eof(); walk.Next())
        last.push_back(walk.Fields()[most - 1]->AsInteger());
    EXPECT_EQ(last, (std::vector<std::int64_t>{0, 10, 20}));
}

}  // namespace
