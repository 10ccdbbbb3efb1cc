// Editing records: states, stores, cancels, deletes, the conversions of a store, and the events around them.
#include <gtest/gtest.h>

#include "TableFixture.h"

using namespace fixture;

namespace {

class DataSetEditTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_1.db", Enterprise(), {{"100001", "100001", "甲"}});
        t.SetTableName("kfq_1.db");
        t.Open();
    }
    std::string path() { return (dir_ / "kfq_1.db").string(); }
    void append(const std::string& id, const std::string& name = {})
    {
        t.Append();
        t.FieldByName("Id")->SetAsString(id);
        t.FieldByName("QA01")->SetAsString(id);
        // QA04 is a unique index: a blank name counts as one value, so every row gets one.
        t.FieldByName("QA04")->SetAsString(name.empty() ? "名" + id : name);
        t.Post();
    }
    TTable t;
};

TEST_F(DataSetEditTest, EditOnAnEmptyTableStartsAnInsert)
{
    t.EmptyTable();
    ASSERT_TRUE(t.IsEmpty());
    t.Edit();
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
    t.FieldByName("Id")->SetAsString("1");
    t.Post();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(StoredColumn(path(), "Id"), std::vector<std::string>{"1"});
}

TEST_F(DataSetEditTest, PostCancelDeleteAndClearFields)
{
    append("100003");
    append("100002");
    EXPECT_EQ(Column(t, "Id"), (std::vector<std::string>{"100001", "100002", "100003"}));
    // The stored row is current after the post.
    append("100000");
    EXPECT_EQ(t.FieldByName("Id")->AsString(), "100000");
    EXPECT_EQ(t.RecNo(), 1);

    t.Last();
    t.Edit();
    t.FieldByName("QA04")->SetAsString("改");
    t.Cancel();
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("QA04")->AsString(), "名100003");

    t.Edit();
    t.ClearFields();
    EXPECT_TRUE(t.FieldByName("Id")->IsNull());
    t.Cancel();

    t.First();
    t.Delete();
    EXPECT_EQ(t.FieldByName("Id")->AsString(), "100001");
    EXPECT_EQ(StoredColumn(path(), "Id"), (std::vector<std::string>{"100001", "100003", "100002"}));
    EXPECT_THROW(t.ClearFields(), EDatabaseError);
}

TEST_F(DataSetEditTest, MovingOffAModifiedRecordStoresIt)
{
    append("100002");
    t.First();
    t.FieldByName("QA04")->SetAsString("乙");  // an assignment starts the edit
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    t.Next();
    EXPECT_EQ(StoredColumn(path(), "QA04"), (std::vector<std::string>{"乙", "名100002"}));
    // An insert without any assignment is dropped when the cursor moves.
    t.Append();
    t.First();
    EXPECT_EQ(t.RecordCount(), 2);
}

TEST_F(DataSetEditTest, FieldsByNameWithoutRegardToCase)
{
    EXPECT_EQ(t.FieldByName("qa01"), t.FieldByName("QA01"));
    EXPECT_EQ(t.FindField("nosuch"), nullptr);
    try {
        t.FieldByName("nosuch");
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("nosuch"), std::string::npos);
    }
    t.FieldByName("QA04")->EditMask = "000000;1;_";
    EXPECT_EQ(t.FieldByName("qa04")->EditMask, "000000;1;_");

    // Opened on another file, the table finds the fields of that file, at their places there.
    db::TableSchema other;
    other.fields = {F("企业数", db::FieldType::Integer), F("qa04", db::FieldType::String, 4), F("Ab", db::FieldType::Float)};
    db::CreateTableFile("other.db", other, {});
    t.Close();
    t.SetTableName("other.db");
    t.Open();
    EXPECT_EQ(t.FindField("QA01"), nullptr);
    EXPECT_EQ(t.FieldByName("QA04")->Index(), 1);
    EXPECT_EQ(t.FieldByName("企业数")->Index(), 0);
    EXPECT_EQ(t.FieldByName("aB")->FieldName(), "Ab");
    EXPECT_EQ(t.FieldByName("qa04")->EditMask, "");
}

TEST_F(DataSetEditTest, StoredValuesFollowTheFieldTypes)
{
    struct Case {
        const char* field;
        db::Variant in;
        const char* stored;  // as SQLite holds it
        const char* shown;   // AsString
    } cases[] = {
        {"QA04", std::string("尾部空格   "), "尾部空格", "尾部空格"},
        {"QA04", std::string(""), "<null>", ""},
        {"QA04", std::string("   "), "<null>", ""},
        {"QC02", std::string("12.5"), "12.500000", "12.5"},
        {"QC02", std::int64_t{3}, "3.000000", "3"},
        {"QC02", std::string(""), "<null>", ""},
        {"qa_one", std::string("7"), "7", "7"},
        {"QA12", std::string("2009-03-01"), "2009-03-01", "2009-03-01"},
        {"QA12", db::Date{2010, 12, 31}, "2010-12-31", "2010-12-31"},
        {"QL", std::string("True"), "1", "True"},
        {"QL", std::int64_t{0}, "0", "False"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field + std::string(" <- ") + S(c.in));
        t.First();
        t.Edit();
        t.FieldByName(c.field)->SetValue(c.in);
        t.Post();
        EXPECT_EQ(StoredColumn(path(), c.field).at(0), c.stored);
        EXPECT_EQ(t.FieldByName(c.field)->AsString(), c.shown);
    }
}

TEST_F(DataSetEditTest, BadValuesAreRefusedAtAssignment)
{
    t.Edit();
    struct Case {
        const char* field;
        const char* text;
        bool convertError;  // EConvertError rather than EDatabaseError
    } cases[] = {
        {"QA04", "十一个中文字符超过长度", false},
        {"Id", "1234567890", false},
        {"QC02", "abc", true},
        {"qa_one", "1.5", true},
        {"qa_one", "70000", false},
        {"QA12", "2009-02-30", true},
        {"QL", "maybe", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- " + c.text);
        try {
            t.FieldByName(c.field)->SetAsString(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& e) {
            EXPECT_TRUE(c.convertError) << e.Message;
        } catch (const EDatabaseError& e) {
            EXPECT_FALSE(c.convertError) << e.Message;
            EXPECT_NE(e.Message.find(c.field), std::string::npos) << e.Message;
        }
    }
    // Ten characters fit an A10 field, Chinese or not.
    t.FieldByName("QA04")->SetAsString("十个中文字符正好合适");
    t.Post();
    EXPECT_EQ(StoredColumn(path(), "QA04").at(0), "十个中文字符正好合适");
}

TEST_F(DataSetEditTest, BeforePostAbortCancelsTheStoreAndPropagates)
{
    int afterPost = 0;
    t.BeforePost = [](TDataSet*) { Abort(); };
    t.AfterPost = [&](TDataSet*) { ++afterPost; };
    t.Edit();
    t.FieldByName("QA04")->SetAsString("乙");
    EXPECT_THROW(t.Post(), EAbort);
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    EXPECT_EQ(afterPost, 0);
    t.BeforePost = nullptr;
    t.Post();
    EXPECT_EQ(afterPost, 1);
    EXPECT_EQ(StoredColumn(path(), "QA04").at(0), "乙");
}

TEST_F(DataSetEditTest, PostErrorHandlerRewritesTheMessage)
{
    struct Case {
        TDataAction action;
        bool silent;
    } cases[] = {{TDataAction::daFail, false}, {TDataAction::daAbort, true}};
    for (const auto& c : cases) {
        t.OnPostError = [&](TDataSet*, EDatabaseError& e, TDataAction& a) {
            if (e.Message == "Key violation.")
                e.Message = "企业数据错误:企业报表编号重复";
            a = c.action;
        };
        t.Append();
        t.FieldByName("Id")->SetAsString("100001");
        try {
            t.Post();
            ADD_FAILURE() << "stored a duplicate";
        } catch (const EAbort&) {
            EXPECT_TRUE(c.silent);
        } catch (const EDatabaseError& e) {
            EXPECT_FALSE(c.silent);
            EXPECT_EQ(e.Message, "企业数据错误:企业报表编号重复");
        }
        EXPECT_EQ(t.State(), TDataSetState::dsInsert);
        t.Cancel();
    }
    EXPECT_EQ(StoredColumn(path(), "Id"), std::vector<std::string>{"100001"});
}

TEST_F(DataSetEditTest, DataSourceAnnouncesStateChanges)
{
    TDataSource src;
    std::vector<TDataSetState> states;
    src.OnStateChange = [&](TDataSource* s) { states.push_back(s->State()); };
    src.SetDataSet(&t);
    states.clear();
    t.Edit();
    t.Post();
    t.Append();
    t.Cancel();
    EXPECT_EQ(states, (std::vector<TDataSetState>{TDataSetState::dsEdit, TDataSetState::dsBrowse,
                                                  TDataSetState::dsInsert, TDataSetState::dsBrowse}));
    src.SetEnabled(false);
    EXPECT_EQ(src.State(), TDataSetState::dsInactive);
}

TEST_F(DataSetEditTest, AfterScrollFollowsMovesAndInserts)
{
    append("100002");
    std::vector<std::string> seen;
    t.AfterScroll = [&](TDataSet* ds) { seen.push_back(ds->FieldByName("Id")->AsString()); };
    t.First();
    t.Next();
    t.Append();
    EXPECT_EQ(seen, (std::vector<std::string>{"100001", "100002", ""}));
}

TEST_F(DataSetEditTest, TextSortsInGbkOrder)
{
    // Pinyin order through GBK: 阿 (B0A2) < 北 (B1B1) < 错 (B4ED) < 警 (BEAF); ASCII before Chinese.
    t.EmptyTable();
    const char* names[] = {"警告", "错误", "北京", "阿", "abc"};
    int i = 0;
    for (const char* n : names)
        append(std::to_string(++i), n);
    t.SetIndexFieldNames("QA04");
    EXPECT_EQ(Column(t, "QA04"), (std::vector<std::string>{"abc", "阿", "北京", "错误", "警告"}));
}

TEST_F(DataSetEditTest, TablesOnOneFileSeeEachOthersStores)
{
    TTable other;
    other.SetTableName("KFQ_1.DB");
    other.Open();
    append("100002");
    EXPECT_EQ(other.RecordCount(), 2);
    t.First();
    t.Delete();
    EXPECT_EQ(Column(other, "Id"), std::vector<std::string>{"100002"});
    // A record deleted elsewhere while it is edited here: the store fails and touches no other row.
    append("100003");
    t.First();
    t.Edit();
    t.FieldByName("QA04")->SetAsString("改");
    other.First();
    other.Delete();
    EXPECT_THROW(t.Post(), EDatabaseError);
    t.Cancel();
    EXPECT_EQ(StoredColumn(path(), "QA04"), std::vector<std::string>{"名100003"});
    other.EmptyTable();
    EXPECT_TRUE(t.IsEmpty());
}

TEST_F(DataSetEditTest, ReadingValuesAsOtherTypes)
{
    t.Edit();
    t.FieldByName("QA04")->SetAsString("12");
    t.FieldByName("QC02")->SetAsFloat(2.6);
    EXPECT_EQ(t.FieldByName("QA04")->AsInteger(), 12);
    EXPECT_EQ(t.FieldByName("QC02")->AsInteger(), 3);
    EXPECT_DOUBLE_EQ(t.FieldByName("QA04")->AsFloat(), 12.0);
    t.FieldByName("QA04")->SetAsString("十二");
    EXPECT_THROW(t.FieldByName("QA04")->AsInteger(), EConvertError);
    EXPECT_EQ(t.FieldByName("QA12")->AsInteger(), 0);  // null reads as 0
    t.Cancel();
}

TEST_F(DataSetEditTest, AutoIncrementFieldsNumberNewRows)
{
    db::TableSchema s;
    s.fields = {F("no", db::FieldType::AutoInc), F("text", db::FieldType::String, 5)};
    db::CreateTableFile("auto.db", s);
    TTable a;
    a.SetTableName("auto.db");
    a.Open();
    for (const char* text : {"x", "y"}) {
        a.Append();
        a.FieldByName("text")->SetAsString(text);
        a.Post();
    }
    EXPECT_EQ(Column(a, "no"), (std::vector<std::string>{"1", "2"}));
}

}  // namespace

namespace {

// A number read as text is written out whole in plain decimal, however large.
TEST(StoredValues, NumbersReadAsTextKeepEveryDigit)
{
    EXPECT_EQ(db::FromStorage(db::Variant{1.5}, db::FieldType::String), db::Variant{std::string("1.5")});
    const db::Variant big = db::FromStorage(db::Variant{1e70}, db::FieldType::String);
    ASSERT_TRUE(std::holds_alternative<std::string>(big));
    EXPECT_EQ(std::get<std::string>(big).size(), 71u);
    EXPECT_EQ(std::get<std::string>(big).substr(0, 2), "10");
}

}  // namespace
