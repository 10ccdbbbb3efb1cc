// Tables kept in dBase or text files: a value that the file cannot hold is refused at the store, naming the
// table and the field, and the file stays as it was; a close whose write-back fails still closes, and a table
// is destroyed without harm whatever state it is in.
#include <gtest/gtest.h>

#include <filesystem>

#include "TableFixture.h"
#include "TempFiles.h"
#include "platform/db/Dbf.h"

namespace fs = std::filesystem;
using namespace fixture;
using T = db::FieldType;

namespace {

struct RefusedCase {
    const char* name;
    const char* file;
    db::FieldDesc field;
    db::Variant value;
    const char* message;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class ForeignStore : public TableTest, public testing::WithParamInterface<RefusedCase> {
protected:
    // A table of the case's format with the fields "n" and the case's field (a text table, which is written
    // only, works from its field definitions).
    static void defineTable(TTable& t, const RefusedCase& c)
    {
        t.SetTableName(c.file);
        t.FieldDefs.Clear();
        t.FieldDefs.Add("n", T::Integer);
        t.FieldDefs.Add(c.field.name, c.field.type, c.field.size);
    }
    // The table, holding one row.
    static void makeTable(const RefusedCase& c)
    {
        TTable t;
        defineTable(t, c);
        t.CreateTable();
        t.Open();
        t.Append();
        t.FieldByName("n")->SetAsInteger(1);
        t.Post();
        t.Close();
    }
};

TEST_P(ForeignStore, RefusesAValueTheFileCannotHoldAndKeepsTheFile)
{
    const RefusedCase& c = GetParam();
    makeTable(c);
    const std::string before = tempfiles::ReadBytes(c.file);
    {
        TTable t;
        defineTable(t, c);
        t.Open();
        t.Append();
        t.FieldByName("n")->SetAsInteger(2);
        t.FieldByName(c.field.name)->SetValue(c.value);
        try {
            t.Post();
            ADD_FAILURE() << "stored";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message.find(std::string("数据表“") + c.file + "”：字段“" + c.field.name + "”"), std::string::npos)
                << e.Message;
            EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
        }
        EXPECT_EQ(t.State(), TDataSetState::dsInsert);  // the user may correct the value
        t.Close();
        EXPECT_EQ(tempfiles::ReadBytes(c.file), before);
        // Left in the middle of the same store, the table goes without a word.
        t.Open();
        t.Append();
        t.FieldByName(c.field.name)->SetValue(c.value);
        EXPECT_THROW(t.Post(), EDatabaseError);
    }
    EXPECT_EQ(tempfiles::ReadBytes(c.file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForeignStore,
    testing::Values(
        RefusedCase{"TextWithoutGbkCode", "out.dbf", F("name", T::String, 20), std::string("工厂😀"),
                    "字符“😀”（U+1F600"},
        RefusedCase{"NumberWiderThanADbaseField", "out.dbf", F("amount", T::Float), 1e25, "超过 20 位"},
        RefusedCase{"MemoHoldingTheEndMark", "out.dbf", F("memo", T::Memo), std::string("a\x1A b"), "0x1A"},
        RefusedCase{"TextFileWithoutGbkCode", "out.txt", F("name", T::String, 20), std::string("😀"), "U+1F600"}),
    [](const auto& info) { return std::string(info.param.name); });

class ForeignClose : public TableTest {};

// The rows of a batch move up to the one that cannot be written stay; that one is named by its number.
TEST_F(ForeignClose, ABatchMoveStopsAtTheRowTheFileCannotHold)
{
    db::CreateTableFile("src.db", db::TableSchema{{F("name", T::String, 20)}, {}},
                        {{std::string("甲")}, {std::string("乙😀")}, {std::string("丙")}});
    TTable source, target;
    source.SetTableName("src.db");
    target.SetTableName("out.dbf");
    target.FieldDefs.Add("name", T::String, 20);
    target.CreateTable();
    try {
        target.BatchMove(&source, TBatchMode::batAppend);
        ADD_FAILURE() << "moved";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("数据表“out.dbf”：第 2 条记录：字段“name”："), std::string::npos) << e.Message;
    }
    EXPECT_EQ(db::dbf::Read("out.dbf").rows, (std::vector<db::dbf::Row>{{std::string("甲")}}));
}

// The folder of a changed dBase table goes away before the table is written back.
TEST_F(ForeignClose, AFailedWriteBackStillClosesAndTheDestructorNeverThrows)
{
    for (const bool closeFirst : {true, false}) {
        fs::create_directory("sub");
        {
            TTable t;
            t.SetTableName("sub/out.dbf");
            t.FieldDefs.Add("n", T::Integer);
            t.CreateTable();
            t.Open();
            t.Append();
            t.FieldByName("n")->SetAsInteger(1);
            t.Post();
            fs::remove_all("sub");
            if (closeFirst) {
                try {
                    t.Close();
                    ADD_FAILURE() << "closed without its file";
                } catch (const EDatabaseError& e) {
                    EXPECT_NE(e.Message.find("out.dbf"), std::string::npos) << e.Message;
                }
                EXPECT_FALSE(t.Active());
                EXPECT_THROW(t.Append(), EDatabaseError);
            }
        }  // destroyed: no exception escapes
        EXPECT_FALSE(fs::exists("sub"));
    }
}

}  // namespace
