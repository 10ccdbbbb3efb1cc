// Whole-table operations: emptying, batch moves, creation, packing, and dBase tables through TTable.
#include <gtest/gtest.h>

#include <filesystem>

#include "TableFixture.h"
#include "platform/db/Database.h"
#include "platform/db/Dbf.h"
#include "platform/db/Query.h"
#include "platform/db/TextFile.h"

namespace fs = std::filesystem;
using namespace fixture;
using T = db::FieldType;

namespace {

class TableBatchTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::TableSchema src;
        src.fields = {F("编号", T::String, 20), F("字段值", T::String, 20), F("n", T::Integer)};
        db::CreateTableFile("src.db", src,
                            {{"100001", "一二三四五六七八", 1}, {"100002", "短", 2}, {"100003", db::Variant{}, 3}});
        db::TableSchema res;  // narrower text, other names: columns go by position
        res.fields = {F("id", T::String, 6), F("val", T::String, 4), F("num", T::Float), F("extra", T::String, 2)};
        db::CreateTableFile("kfq_r.db", res, {{"old", "x", 0.0}});
    }
};

TEST_F(TableBatchTest, BatchMoveAppendsByPositionAndCutsText)
{
    TTable source, target;
    source.SetTableName("src.db");
    target.SetTableName("kfq_r.db");
    target.BatchMove(&source, TBatchMode::batAppend);  // target closed: opened for the move only
    EXPECT_FALSE(target.Active());
    std::string path = (dir_ / "kfq_r.db").string();
    EXPECT_EQ(StoredColumn(path, "id"), (std::vector<std::string>{"old", "100001", "100002", "100003"}));
    EXPECT_EQ(StoredColumn(path, "val"), (std::vector<std::string>{"x", "一二三四", "短", "<null>"}));
    EXPECT_EQ(StoredColumn(path, "num"), (std::vector<std::string>{"0.000000", "1.000000", "2.000000", "3.000000"}));
    // Into an open table: the view shows the new rows.
    target.Open();
    target.BatchMove(&source, TBatchMode::batAppend);
    EXPECT_EQ(target.RecordCount(), 7);
}

TEST_F(TableBatchTest, FailedBatchMoveKeepsTheRowsBeforeTheFault)
{
    db::TableSchema keyed;
    keyed.fields = {F("id", T::String, 6)};
    keyed.indexes = {Primary({"id"})};
    db::CreateTableFile("keyed.db", keyed, {{"100002"}});
    TTable source, target;
    source.SetTableName("src.db");
    target.SetTableName("keyed.db");
    EXPECT_THROW(target.BatchMove(&source, TBatchMode::batAppend), EDatabaseError);
    EXPECT_EQ(StoredColumn((dir_ / "keyed.db").string(), "id"), (std::vector<std::string>{"100002", "100001"}));
}

TEST_F(TableBatchTest, EmptyTableOpenOrClosed)
{
    TTable t;
    t.SetTableName("src.db");
    t.EmptyTable();
    EXPECT_TRUE(StoredColumn((dir_ / "src.db").string(), "n").empty());
    db::CreateTableFile("src.db", db::TableSchema{{F("n", T::Integer)}, {}}, {{1}, {2}});
    t.Open();
    t.Next();
    t.EmptyTable();
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_TRUE(t.Eof());
}

TEST_F(TableBatchTest, CreateTableReplacesTheFile)
{
    TTable t;
    t.SetTableName("kfq_r.db");
    t.FieldDefs.Clear();
    t.FieldDefs.Add("编号", T::String, 10);
    t.FieldDefs.Add("金额", T::Float);
    t.FieldDefs.Add("日期", T::Date);
    t.IndexDefs = {Primary({"编号"})};
    t.CreateTable();
    t.Open();
    EXPECT_TRUE(t.IsEmpty());
    ASSERT_EQ(t.FieldCount(), 3);
    EXPECT_EQ(t.Fields()[1]->DataType(), T::Float);
    EXPECT_EQ(t.Fields()[0]->Size(), 10);
    EXPECT_NE(t.Schema().primaryIndex(), nullptr);
    // An open table cannot be replaced under its users.
    EXPECT_THROW(t.CreateTable(), EDatabaseError);
}

TEST_F(TableBatchTest, PackReclaimsDeletedRecordsAndLeavesOthersAlone)
{
    db::TableSchema s;
    s.fields = {F("text", T::String, 200)};
    db::Rows rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back({std::string(190, 'a' + i % 26) + std::to_string(i)});
    db::CreateTableFile("big.db", s, rows);
    {
        TTable t;
        t.SetTableName("big.db");
        t.Open();
        while (t.RecordCount() > 10)
            t.Delete();
        t.FlushBuffers();
        // Open: not packed.
        EXPECT_FALSE(db::PackTable(nullptr, "big.db"));
    }
    auto before = fs::file_size("big.db");
    TDatabase database;
    database.DatabaseName = ".";
    database.Open();
    EXPECT_TRUE(db::PackTable(database.Handle(), "big.db"));
    EXPECT_LT(fs::file_size("big.db") * 10, before);
    EXPECT_EQ(StoredColumn((dir_ / "big.db").string(), "text").size(), 10u);
    EXPECT_TRUE(db::PackTable(database.Handle(), "src.db"));  // never modified: no harm
    EXPECT_EQ(StoredColumn((dir_ / "src.db").string(), "n").size(), 3u);
    EXPECT_FALSE(db::PackTable(database.Handle(), "missing.db"));
    EXPECT_FALSE(fs::exists("missing.db"));
}

TEST_F(TableBatchTest, DbaseTablesOpenEditAndSaveThroughTheDbaseWriter)
{
    TTable source, dbf;
    source.SetTableName("src.db");
    dbf.SetTableName("out.DBF");
    dbf.TableType = TTableType::ttDBase;
    dbf.FieldDefs.Clear();
    dbf.FieldDefs.Add("编号", T::String, 10);
    dbf.FieldDefs.Add("字段值", T::String, 20);
    dbf.FieldDefs.Add("n", T::Integer);
    dbf.CreateTable();
    dbf.BatchMove(&source, TBatchMode::batAppend);
    db::dbf::Table back = db::dbf::Read((dir_ / "out.DBF").string());
    ASSERT_EQ(back.rows.size(), 3u);
    EXPECT_EQ(S(back.rows[0][1]), "一二三四五六七八");

    TTable again;
    again.SetTableName("out.dbf");
    again.Open();
    EXPECT_EQ(again.RecordCount(), 3);
    again.Edit();
    again.FieldByName("n")->SetAsInteger(42);
    again.Post();
    again.FlushBuffers();
    back = db::dbf::Read((dir_ / "out.DBF").string());
    EXPECT_EQ(S(back.rows[0][2]), "42");

    // Without an extension the table type gives it.
    TTable plain;
    plain.SetTableName("plain");
    plain.TableType = TTableType::ttDBase;
    plain.FieldDefs.Add("n", T::Integer);
    plain.CreateTable();
    EXPECT_TRUE(fs::exists(dir_ / "plain.dbf"));
    EXPECT_FALSE(fs::exists(dir_ / "plain.db"));
}

TEST_F(TableBatchTest, TextTablesAreWrittenFromTheirFieldDefinitions)
{
    TTable source, txt;
    source.SetTableName("src.db");
    txt.SetTableName("export.txt");
    txt.FieldDefs.Add("编号", T::String, 10);
    txt.FieldDefs.Add("字段值", T::String, 20);
    txt.FieldDefs.Add("n", T::Integer);
    txt.CreateTable();
    txt.BatchMove(&source, TBatchMode::batAppend);
    db::TableSchema s;
    s.fields = txt.FieldDefs.Items();
    auto rows = db::text::Read((dir_ / "export.txt").string(), s);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(S(rows[2][0]), "100003");
    EXPECT_EQ(S(rows[2][2]), "3");
}

}  // namespace

namespace {

// A run of stores (an import) commits every 1,000 rows, when a store fails and when it ends; a flush inside
// the run commits nothing more, and a statement of another connection can still write the file in between.
TEST_F(TableBatchTest, RunOfStoresCommitsInThousandsOnFailureAndAtTheEnd)
{
    db::TableSchema keyed;
    keyed.fields = {F("id", T::String, 6), F("n", T::Integer)};
    keyed.indexes = {Primary({"id"})};
    db::CreateTableFile("keyed.db", keyed);
    const std::string path = (dir_ / "keyed.db").string();
    auto stored = [&] { return StoredColumn(path, "id").size(); };

    TTable t;
    t.SetTableName("keyed.db");
    t.Open();
    t.BeginBatch();
    auto store = [&](int i) {
        t.Append();
        t.FieldByName("id")->SetAsString(std::to_string(100000 + i));
        t.FieldByName("n")->SetAsInteger(i);
        t.Post();
        t.FlushBuffers();
    };
    for (int i = 0; i < 1500; ++i)
        store(i);
    EXPECT_EQ(stored(), 1000u);

    TQuery q;  // another connection writes the same file during the run
    q.SQL.Add("update keyed.db set n=-1 where id='100000'");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    EXPECT_EQ(stored(), 1500u);

    store(1500);
    EXPECT_THROW(store(1), EDatabaseError);  // a key violation: what came before it is on disk
    t.Cancel();
    EXPECT_EQ(stored(), 1501u);
    store(1501);
    t.EndBatch();
    EXPECT_EQ(stored(), 1502u);
    store(1502);  // after the run every store commits at once again
    EXPECT_EQ(stored(), 1503u);
    EXPECT_EQ(t.RecordCount(), 1503);
}

}  // namespace

namespace {

// A batch move commits every 1,000 rows and at its end: a reader on another connection sees the rows in
// thousands while the move runs (here watched at chosen source rows), and all of them afterwards.
TEST_F(TableBatchTest, BatchMoveCommitsEveryThousandRows)
{
    db::TableSchema s;
    s.fields = {F("n", T::Integer)};
    db::Rows rows;
    for (int i = 0; i < 2500; ++i)
        rows.push_back({std::int64_t{i}});
    db::CreateTableFile("many.db", s, rows);
    db::CreateTableFile("copy.db", s);
    const std::string path = (dir_ / "copy.db").string();
    auto committed = [&] {
        db::Connection reader(path, db::Connection::Mode::ReadWrite);
        db::Statement count(reader.get(), "SELECT count(*) FROM data");
        count.step();
        return static_cast<int>(count.columnInt(0));
    };
    TTable source, target;
    source.SetTableName("many.db");
    target.SetTableName("copy.db");
    std::vector<std::pair<int, int>> seen;  // source record (rows moved before it) -> rows a reader sees
    source.AfterScroll = [&](TDataSet* ds) {
        const int recNo = ds->RecNo();
        const bool watched = recNo == 1000 || recNo == 1001 || recNo == 1500 || recNo == 2001 || recNo == 2500;
        if (watched && (seen.empty() || seen.back().first != recNo))  // the last row is reached once more at the end
            seen.emplace_back(recNo, committed());
    };
    target.BatchMove(&source, TBatchMode::batAppend);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1000, 0}, {1001, 1000}, {1500, 1000}, {2001, 2000}, {2500, 2000}}));
    EXPECT_EQ(committed(), 2500);
}

}  // namespace
