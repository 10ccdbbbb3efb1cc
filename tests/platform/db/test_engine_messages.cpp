// The engine's messages as the user reads them: in Chinese, naming the table file and the field; and the
// small-integer range, which every way of storing (a record, a batch move, a statement) keeps.
#include <gtest/gtest.h>

#include <functional>

#include "TableFixture.h"
#include "platform/db/Query.h"

using namespace fixture;
using T = db::FieldType;

namespace {

struct MessageCase {
    const char* name;
    std::function<void(TTable& kfq)> act;  // on "kfq_1.db", open unless the case closes it
    std::string message;
};
void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

class EngineTables : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_1.db", Enterprise(), {{std::string("100001"), std::string("100001")}});
        db::CreateTableFile("src.db", db::TableSchema{{F("n", T::Integer)}, {}}, {{std::int64_t{1}}, {std::int64_t{40000}}});
    }
};

class EngineMessage : public EngineTables, public testing::WithParamInterface<MessageCase> {};

void Set(TTable& t, const char* field, const db::Variant& v)
{
    t.Edit();
    t.FieldByName(field)->SetValue(v);
}

void Exec(const std::string& statement)
{
    TQuery q;
    q.SQL.Add(statement);
    q.ExecSQL();
}

TEST_P(EngineMessage, NamesTheTableAndField)
{
    const MessageCase& c = GetParam();
    TTable kfq;
    kfq.SetTableName("kfq_1.db");
    kfq.Open();
    try {
        c.act(kfq);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, c.message);
    }
    // Whatever was refused, the file holds what it held.
    EXPECT_EQ(StoredColumn((dir_ / "kfq_1.db").string(), "qa_one"), std::vector<std::string>{"<null>"});
    EXPECT_EQ(StoredColumn((dir_ / "kfq_1.db").string(), "QA04"), std::vector<std::string>{"<null>"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineMessage,
    testing::Values(
        MessageCase{"MissingTable",
                    [](TTable&) {
                        TTable t;
                        t.SetTableName("kfq_9.db");
                        t.Open();
                    },
                    "数据表“kfq_9.db”不存在"},
        MessageCase{"ClosedTable",
                    [](TTable& t) {
                        t.Close();
                        t.Append();
                    },
                    "数据表“kfq_1.db”没有打开，不能进行此操作"},
        MessageCase{"FieldNotFound", [](TTable& t) { t.FieldByName("QX99"); }, "数据表“kfq_1.db”中没有字段“QX99”"},
        MessageCase{"ValueTooLong", [](TTable& t) { Set(t, "QA04", std::string("企业名称长到十一个字了")); },
                    "数据表“kfq_1.db”：字段“QA04”的值太长（最多 10 个字符）"},
        MessageCase{"InvalidNumber", [](TTable& t) { Set(t, "QC02", std::string("12x")); },
                    "数据表“kfq_1.db”：字段“QC02”的值“12x”不是有效的数值"},
        MessageCase{"InvalidDate", [](TTable& t) { Set(t, "QA12", std::string("2009-02-30")); },
                    "数据表“kfq_1.db”：字段“QA12”的值“2009-02-30”不是有效的日期"},
        MessageCase{"SmallintAbove", [](TTable& t) { Set(t, "qa_one", std::int64_t{32768}); },
                    "数据表“kfq_1.db”：字段“qa_one”的值 32768 超出范围（-32768 至 32767）"},
        MessageCase{"SmallintBelow", [](TTable& t) { Set(t, "qa_one", std::string("-32769")); },
                    "数据表“kfq_1.db”：字段“qa_one”的值 -32769 超出范围（-32768 至 32767）"},
        MessageCase{"SmallintByBatchMove",
                    [](TTable& t) {
                        t.Close();
                        db::CreateTableFile("one.db", db::TableSchema{{F("n", T::Smallint)}, {}});
                        TTable source, one;
                        source.SetTableName("src.db");
                        one.SetTableName("one.db");
                        one.BatchMove(&source, TBatchMode::batAppend);
                    },
                    "数据表“one.db”：第 2 条记录：字段“n”的值 40000 超出范围（-32768 至 32767）"},
        MessageCase{"SmallintByStatement", [](TTable&) { Exec("update kfq_1.db set qa_one=32768"); },
                    "数据表“kfq_1.db”：字段“qa_one”的值 32768 超出范围（-32768 至 32767）"},
        MessageCase{"SmallintBelowByStatement", [](TTable&) { Exec("update kfq_1.db set qa_one=-32769"); },
                    "数据表“kfq_1.db”：字段“qa_one”的值 -32769 超出范围（-32768 至 32767）"}),
    [](const auto& info) { return std::string(info.param.name); });

// The bounds themselves are stored, by a record and by a statement.
TEST_F(EngineTables, SmallintBoundsAreStored)
{
    TTable kfq;
    kfq.SetTableName("kfq_1.db");
    kfq.Open();
    Set(kfq, "qa_one", std::int64_t{32767});
    kfq.Post();
    EXPECT_EQ(StoredColumn((dir_ / "kfq_1.db").string(), "qa_one"), std::vector<std::string>{"32767"});
    Exec("update kfq_1.db set qa_one=-32768");
    EXPECT_EQ(StoredColumn((dir_ / "kfq_1.db").string(), "qa_one"), std::vector<std::string>{"-32768"});
}

}  // namespace
