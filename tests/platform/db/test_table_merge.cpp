// TTable::MergeFrom: rows of another table file merged by key in one pass, and the merges it declines, which
// leave the table file exactly as it was and the table ready for the next merge.
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "TableFixture.h"

namespace {

using fixture::Enterprise;
using T = db::FieldType;

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Exec(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << sql;
}

class TableMerge : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("held.db", Enterprise(),
                            {{"100001", "100001", "甲", 1.5, std::int64_t{1}, {}, {}},
                             {"100002", "100002", "乙", 2.0, std::int64_t{1}, {}, {}}});
        db::TableSchema submitted = Enterprise();
        submitted.indexes.clear();
        db::CreateTableFile("sub.db", submitted,
                            {{{}, "100002", "乙新", {}, {}, "2024-02-29", std::int64_t{1}},
                             {{}, "100003", "丙", 3.0, {}, {}, {}},
                             {{}, "100001", "甲", {}, {}, {}, {}}});
    }

    // Merges sub.db into held.db by QA01 as an import does: zeros for null numbers, qa_one 1, Id the key.
    int Merge(bool checksOff = true)
    {
        held.SetTableName("held.db");
        held.Open();
        held.SetIndexName("kfq_1");
        if (checksOff)
            held.DisableConstraints();
        source.SetTableName("sub.db");
        source.Open();
        TMerge m;
        m.source = &source;
        m.keyFields = {"QA01"};
        m.zeroCopiedNumbers = true;
        m.constants = {{"qa_one", std::int64_t{1}}};
        m.idField = "Id";
        m.idFields = {"QA01"};
        const int stored = held.MergeFrom(m);
        source.Close();
        return stored;
    }

    TTable held, source;
};

TEST_F(TableMerge, UpdatesKnownKeysAndAppendsNewOnesInTheSourcesOrder)
{
    EXPECT_EQ(Merge(), 3);
    EXPECT_EQ(held.RecordCount(), 3);
    EXPECT_EQ(fixture::Column(held, "QA04"), (std::vector<std::string>{"甲", "乙新", "丙"}));
    held.Close();
    EXPECT_EQ(fixture::StoredColumn("held.db", "Id"), (std::vector<std::string>{"100001", "100002", "100003"}));
    EXPECT_EQ(fixture::StoredColumn("held.db", "QC02"),
              (std::vector<std::string>{"0.000000", "0.000000", "3.000000"}));  // a null number arrives as 0
    EXPECT_EQ(fixture::StoredColumn("held.db", "qa_one"), (std::vector<std::string>{"1", "1", "1"}));
    EXPECT_EQ(fixture::StoredColumn("held.db", "QA12"), (std::vector<std::string>{"<null>", "2024-02-29", "<null>"}));
}

// Keys in any order, of rows held and new, in the case the rows hold or the other: each is found in the view
// wherever the key before it was found.
TEST_F(TableMerge, FindsEveryKeyWhateverTheSourcesOrder)
{
    constexpr int kKeys = 1200;
    auto isHeld = [](int k) { return k % 3 != 0; };
    auto key = [](int k, bool upper) {
        char text[8];
        std::snprintf(text, sizeof text, "%c%05d", upper ? 'A' : 'a', k);
        return std::string(text);
    };
    db::Rows heldRows, submittedRows;
    std::vector<std::string> expected;
    for (int k = 0; k < kKeys; ++k) {
        if (isHeld(k)) {
            heldRows.push_back({key(k, false), key(k, false), "名" + std::to_string(k), {}, std::int64_t{1}, {}, {}});
            expected.push_back("新" + std::to_string(k));
        }
    }
    // 0, 1... 99, then 649, 650, 648, 651, 647...: the place of the key before, the next, every distance
    // forwards and backwards
    constexpr int kRun = 100;
    for (int i = 0; i < kKeys; ++i) {
        const int z = i - kRun;
        const int k = i < kRun ? i : (kKeys + kRun) / 2 - 1 + (z % 2 == 1 ? (z + 1) / 2 : -(z / 2));
        submittedRows.push_back({{}, key(k, k % 5 == 0), "新" + std::to_string(k), {}, {}, {}, {}});
        if (!isHeld(k))
            expected.push_back("新" + std::to_string(k));
    }
    db::CreateTableFile("held.db", Enterprise(), heldRows);
    db::TableSchema submitted = Enterprise();
    submitted.indexes.clear();
    db::CreateTableFile("sub.db", submitted, submittedRows);
    EXPECT_EQ(Merge(), kKeys);
    EXPECT_EQ(held.RecordCount(), kKeys);
    held.Close();
    EXPECT_EQ(fixture::StoredColumn("held.db", "QA04"), expected);
}

// A detail linked to its master: the keys are searched among the rows of every master, and the detail keeps
// its link and its record, whether the merge went through or was declined.
struct LinkedCase {
    const char* name;
    const char* sql;  // run on the submitted products
    int stored;
    std::vector<std::string> names;  // of the products in the file, in row id order
};
void PrintTo(const LinkedCase& c, std::ostream* os) { *os << c.name; }

class TableMergeLinked : public TableTest, public testing::WithParamInterface<LinkedCase> {};

TEST_P(TableMergeLinked, SearchesEveryMastersRowsAndKeepsTheLink)
{
    db::CreateTableFile("kfq_1.db", Enterprise(), {{"100001", "100001", "甲"}, {"100002", "100002", "乙"}});
    db::TableSchema d;
    using fixture::F;
    d.fields = {F("ID", T::String, 10), F("QA01", T::String, 6), F("QE01", T::String, 4), F("QE02", T::String, 10)};
    d.indexes = {fixture::Primary({"ID"}), fixture::Index("kfq_2", {"QA01", "QE01"}, false, true)};
    db::CreateTableFile("kfq_2.db", d,
                        {{"1000010001", "100001", "0001", "甲一"}, {"1000020001", "100002", "0001", "乙一"},
                         {"1000020002", "100002", "0002", "乙二"}});
    d.indexes.clear();
    db::CreateTableFile("sub.db", d,
                        {{{}, "100002", "0002", "乙二改"}, {{}, "100001", "0001", "甲一改"}, {{}, "100003", "0001", "丙一"}});
    if (*GetParam().sql != '\0')
        Exec("sub.db", GetParam().sql);
    const std::string before = Bytes("kfq_2.db");
    TTable master, detail, source;
    TDataSource link;
    master.SetTableName("kfq_1.db");
    detail.SetTableName("kfq_2.db");
    link.SetDataSet(&master);
    detail.SetMasterSource(&link);
    detail.SetMasterFields("QA01");
    detail.SetIndexName("kfq_2");
    master.Open();
    detail.Open();
    master.Next();
    detail.Next();  // 100002's second product
    detail.DisableConstraints();
    source.SetTableName("sub.db");
    source.Open();
    TMerge m;
    m.source = &source;
    m.keyFields = {"QA01", "QE01"};
    m.idField = "ID";
    m.idFields = {"QA01", "QE01"};
    EXPECT_EQ(detail.MergeFrom(m), GetParam().stored);
    EXPECT_EQ(detail.RecNo(), 2);
    EXPECT_EQ(detail.FieldByName("QE02")->AsString(), GetParam().stored > 0 ? "乙二改" : "乙二");
    EXPECT_EQ(fixture::Column(detail, "ID"), (std::vector<std::string>{"1000020001", "1000020002"}));
    source.Close();
    detail.Close();
    if (GetParam().stored < 0) {
        EXPECT_EQ(Bytes("kfq_2.db"), before);
    }
    EXPECT_EQ(fixture::StoredColumn("kfq_2.db", "QE02"), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableMergeLinked,
    testing::Values(LinkedCase{"Merged", "", 3, {"甲一改", "乙一", "乙二改", "丙一"}},
                    LinkedCase{"Declined", "UPDATE data SET QE02=QE02||' ' WHERE QA01='100003'", -1,
                               {"甲一", "乙一", "乙二"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DeclineCase {
    const char* name;
    const char* sql;  // run on sub.db
    bool checksOff = true;
    void (*remake)(db::TableSchema& submitted) = nullptr;  // sub.db made anew (empty) with this layout
};
void PrintTo(const DeclineCase& c, std::ostream* os) { *os << c.name; }

class TableMergeDeclines : public TableMerge, public testing::WithParamInterface<DeclineCase> {
};

TEST_P(TableMergeDeclines, LeavingTheFileAsItWas)
{
    if (GetParam().remake != nullptr) {
        db::TableSchema submitted = Enterprise();
        GetParam().remake(submitted);
        db::CreateTableFile("sub.db", submitted, {});
        Exec("sub.db", "INSERT INTO data(QA01,QA04) VALUES('100004','丁')");
    }
    if (*GetParam().sql != '\0')
        Exec("sub.db", GetParam().sql);
    const std::string before = Bytes("held.db");
    EXPECT_EQ(Merge(GetParam().checksOff), -1);
    EXPECT_EQ(held.RecordCount(), 2);
    held.Close();
    EXPECT_EQ(Bytes("held.db"), before);
    // nothing of the declined merge is left on the table's connection: the next one goes through
    db::CreateTableFile("sub.db", Enterprise(), {{{}, "100009", "新", {}, {}, {}, {}}});
    EXPECT_EQ(Merge(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableMergeDeclines,
    testing::Values(DeclineCase{"TrailingBlank", "UPDATE data SET QA04='丙 ' WHERE QA01='100003'"},
                    DeclineCase{"TextInANumber", "UPDATE data SET QC02='x' WHERE QA01='100003'"},
                    DeclineCase{"RealInASmallint", "UPDATE data SET qa_one=1.5 WHERE QA01='100003'"},
                    DeclineCase{"LogicalOutOfRange", "UPDATE data SET QL=2 WHERE QA01='100002'"},
                    DeclineCase{"DateOfNoDay", "UPDATE data SET QA12='2023-02-29' WHERE QA01='100002'"},
                    DeclineCase{"TooLong", "UPDATE data SET QA04='一二三四五六七八九十一' WHERE QA01='100003'"},
                    DeclineCase{"RepeatedKey", "INSERT INTO data(QA01,QA04) VALUES('100003','丁')"},
                    DeclineCase{"KeyWithANul", "UPDATE data SET QA01=CAST(X'31300033' AS TEXT) WHERE QA01='100003'"},
                    DeclineCase{"NameOfAHeldRow", "UPDATE data SET QA04='甲' WHERE QA01='100003'"},
                    // refused by the file's index while the update stores the rows
                    DeclineCase{"NameOfAHeldRowUpdated", "UPDATE data SET QA04='甲' WHERE QA01='100002'"},
                    DeclineCase{"FieldOfAnotherType", "", true,
                                [](db::TableSchema& s) { s.fields[3] = fixture::F("QC02", T::String, 5); }},
                    DeclineCase{"FieldMissing", "", true, [](db::TableSchema& s) { s.fields.pop_back(); }},
                    DeclineCase{"ChecksOn", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
