// The store of an edited record writes the fields whose stored value changes and no others: the file's
// triggers on each field show which fields an update names. What is stored is what a store of every field
// would store, values the store writes otherwise than they were stored included.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "TableFixture.h"

using namespace fixture;

namespace {

struct Case {
    const char* name;
    const char* before;  // SQL run on the file before it is opened, or ""
    std::vector<std::pair<const char*, db::Variant>> typed;
    std::vector<std::string> written;  // the fields the update names, in the order of the table
    std::vector<std::pair<const char*, std::string>> stored;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TableUpdateTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_1.db", Enterprise(),
                            {{"100001", "100001", "甲", 1.0, std::int64_t{1}, std::string("2024-02-29"), std::int64_t{1}},
                             {"100002", "100002", "乙", 2.0, std::int64_t{2}, db::Variant{}, db::Variant{}}});
        db::Connection c("kfq_1.db", db::Connection::Mode::ReadWrite);
        c.exec("CREATE TABLE written(field TEXT)");
        for (const auto& f : Enterprise().fields) {
            const std::string q = db::QuoteIdentifier(f.name);
            c.exec("CREATE TRIGGER " + db::QuoteIdentifier("w_" + f.name) + " AFTER UPDATE OF " + q +
                   " ON data BEGIN INSERT INTO written VALUES('" + f.name + "'); END");
        }
    }

    // The fields the updates since the last call named, sorted.
    static std::vector<std::string> written()
    {
        db::Connection c("kfq_1.db", db::Connection::Mode::ReadWrite);
        db::Statement s(c.get(), "SELECT field FROM written ORDER BY field");
        std::vector<std::string> out;
        while (s.step())
            out.push_back(std::get<std::string>(s.column(0)));
        s = db::Statement();
        c.exec("DELETE FROM written");
        return out;
    }

    TTable t;
};

// Whether another program committed to the file between the reading of the record and its edit (the store
// then compares the record with the file as it is now).
enum class Other { Quiet, Committed };
void PrintTo(Other o, std::ostream* os) { *os << (o == Other::Quiet ? "quiet" : "committed"); }

class TableUpdateCases : public TableUpdateTest, public ::testing::WithParamInterface<std::tuple<Case, Other>> {};

TEST_P(TableUpdateCases, WritesTheFieldsWhoseStoredValueChanges)
{
    const auto& [c, other] = GetParam();
    if (*c.before) {
        db::Connection("kfq_1.db", db::Connection::Mode::ReadWrite).exec(c.before);
        written();
    }
    t.SetTableName("kfq_1.db");
    t.Open();
    ASSERT_EQ(t.FieldByName("Id")->AsString(), "100001");
    db::Connection observer("kfq_1.db", db::Connection::Mode::ReadWrite);
    if (other == Other::Committed)
        observer.exec("INSERT INTO written VALUES('x'); DELETE FROM written");
    db::Statement version(observer.get(), "PRAGMA data_version");
    version.step();
    const std::int64_t was = version.columnInt(0);
    version.reset();

    t.Edit();
    for (const auto& [field, value] : c.typed)
        t.FieldByName(field)->SetValue(value);
    t.Post();

    // A store that changes nothing writes nothing: the file is not committed to.
    version.step();
    EXPECT_EQ(version.columnInt(0) != was, !c.written.empty());
    version.reset();
    std::vector<std::string> named = c.written;
    std::sort(named.begin(), named.end());
    EXPECT_EQ(written(), named);
    for (const auto& [field, value] : c.stored)
        EXPECT_EQ(StoredColumn("kfq_1.db", field).at(0), value) << field;
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA04").at(1), "乙");
}

INSTANTIATE_TEST_SUITE_P(
    Stores, TableUpdateCases,
    ::testing::Combine(::testing::Values(
        Case{"OneText", "", {{"QA04", std::string("丙")}}, {"QA04"}, {{"QA04", "丙"}, {"QC02", "1.000000"}}},
        Case{"TextAsStored", "", {{"QA04", std::string("甲  ")}}, {}, {{"QA04", "甲"}}},
        Case{"NumberAsText", "", {{"QC02", std::string("1.0")}, {"qa_one", std::string("1")}}, {}, {{"QC02", "1.000000"}}},
        Case{"Number", "", {{"QC02", 1.5}}, {"QC02"}, {{"QC02", "1.500000"}}},
        Case{"ToNull", "", {{"qa_one", db::Variant{}}, {"QA12", std::string("")}}, {"qa_one", "QA12"},
             {{"qa_one", "<null>"}, {"QA12", "<null>"}}},
        Case{"SameDateAndLogical", "", {{"QA12", std::string("2024-02-29")}, {"QL", std::string("true")}}, {},
             {{"QA12", "2024-02-29"}, {"QL", "1"}}},
        Case{"DateAndLogical", "", {{"QA12", std::string("2024-03-01")}, {"QL", std::string("false")}},
             {"QA12", "QL"}, {{"QA12", "2024-03-01"}, {"QL", "0"}}},
        Case{"Key", "", {{"QA01", std::string("100009")}, {"Id", std::string("100009")}}, {"Id", "QA01"},
             {{"Id", "100009"}, {"QA01", "100009"}}},
        Case{"NothingTyped", "", {}, {}, {{"QA04", "甲"}}},
        // Values another program stored otherwise than a store would are written as a store writes them.
        Case{"StoredWithBlanks", "UPDATE data SET QA04='甲  ' WHERE Id='100001'", {{"QC02", 3.0}}, {"QA04", "QC02"},
             {{"QA04", "甲"}, {"QC02", "3.000000"}}},
        Case{"StoredAsFraction", "UPDATE data SET qa_one=1.5 WHERE Id='100001'", {}, {"qa_one"}, {{"qa_one", "2"}}}),
        ::testing::Values(Other::Quiet, Other::Committed)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Other::Quiet ? "" : "AfterAnotherProgramsCommit");
    });

// Stores of ever other fields, more field sets than the table keeps statements for: each stores its values.
TEST_F(TableUpdateTest, ManyFieldSetsEachStoreTheirValues)
{
    t.SetTableName("kfq_1.db");
    t.Open();
    const char* fields[] = {"QA04", "QC02", "qa_one", "QA12", "QL"};
    std::vector<std::string> expect = {"甲", "1.000000", "1", "2024-02-29", "1"};
    for (int round = 1; round < 40; ++round) {
        SCOPED_TRACE(round);
        const int set = round % 31 + 1;
        t.Edit();
        std::vector<std::string> named;
        for (int f = 0; f < 5; ++f) {
            if ((set & (1 << f)) == 0)
                continue;
            named.push_back(fields[f]);
            switch (f) {
            case 0:
                expect[0] = "名" + std::to_string(round);
                t.FieldByName("QA04")->SetAsString(expect[0]);
                break;
            case 1:
                expect[1] = std::to_string(round + 0.25);
                t.FieldByName("QC02")->SetAsFloat(round + 0.25);
                break;
            case 2:
                expect[2] = std::to_string(100 + round);
                t.FieldByName("qa_one")->SetAsInteger(100 + round);
                break;
            case 3:
                expect[3] = "2024-01-" + std::string(round % 28 + 1 < 10 ? "0" : "") + std::to_string(round % 28 + 1);
                t.FieldByName("QA12")->SetAsString(expect[3]);
                break;
            default:
                expect[4] = expect[4] == "1" ? "0" : "1";
                t.FieldByName("QL")->SetAsInteger(expect[4] == "1");
                break;
            }
        }
        t.Post();
        for (int f = 0; f < 5; ++f)
            EXPECT_EQ(StoredColumn("kfq_1.db", fields[f]).at(0), expect[static_cast<std::size_t>(f)]) << fields[f];
        std::sort(named.begin(), named.end());
        EXPECT_EQ(written(), named);
    }
    EXPECT_EQ(StoredColumn("kfq_1.db", "QA04").at(1), "乙");
}

// A key that stays is still checked: a blank key that another row holds too is refused, as a new one would be.
TEST_F(TableUpdateTest, KeyThatStaysIsCheckedAsEver)
{
    db::Connection("kfq_1.db", db::Connection::Mode::ReadWrite).exec("UPDATE data SET QA04=NULL");
    t.SetTableName("kfq_1.db");
    t.Open();
    t.Edit();
    t.FieldByName("QC02")->SetAsFloat(7);
    EXPECT_THROW(t.Post(), EDatabaseError);
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    t.Cancel();
    EXPECT_EQ(StoredColumn("kfq_1.db", "QC02"), (std::vector<std::string>{"1.000000", "2.000000"}));
}

// A key that stays but is held twice in a file whose own index does not refuse repeats (dropped by another
// program) is refused as ever.
TEST_F(TableUpdateTest, KeyHeldTwiceWithoutTheFilesIndexIsRefused)
{
    db::Connection("kfq_1.db", db::Connection::Mode::ReadWrite)
        .exec("DROP INDEX ix_kfq_13; UPDATE data SET QA04='甲' WHERE Id='100002'");
    t.SetTableName("kfq_1.db");
    t.Open();
    t.Edit();
    t.FieldByName("QC02")->SetAsFloat(7);
    try {
        t.Post();
        FAIL() << "the store went through";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("kfq_13"), std::string::npos) << e.Message;
    }
    t.Cancel();
    EXPECT_EQ(StoredColumn("kfq_1.db", "QC02"), (std::vector<std::string>{"1.000000", "2.000000"}));
}

}  // namespace
