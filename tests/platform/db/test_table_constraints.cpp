// Record constraints: evaluated on the record as the table's columns would hold it.
#include <gtest/gtest.h>

#include "TableFixture.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableConstraintsTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::TableSchema s;
        s.fields = {F("code", T::String, 6), F("year", T::String, 4), F("qc02", T::Float), F("qc05", T::Float)};
        s.indexes = {Primary({"code"})};
        db::CreateTableFile("t.db", s, {{"1", "2000", 1.0, 2.0}});
        t.SetTableName("t.db");
        t.Open();
    }
    // Stores the current record with one field changed; returns the error message or "".
    std::string store(const char* field, const db::Variant& v)
    {
        t.Edit();
        t.FieldByName(field)->SetValue(v);
        try {
            t.Post();
            return "";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(t.State(), TDataSetState::dsEdit);
            t.Cancel();
            return e.Message;
        }
    }
    TTable t;
};

TEST_F(TableConstraintsTest, FailingStoreCarriesTheMessageAndStaysInEditState)
{
    struct Case {
        const char* condition;
        const char* field;
        db::Variant value;
        bool passes;
    } cases[] = {
        {"qc02>=0 and qc02<=qc05", "qc02", 1.5, true},
        {"qc02>=0 and qc02<=qc05", "qc02", 3.0, false},
        {"qc02>=0", "qc02", db::Variant{}, true},            // unknown (null) passes
        // A text column compares as text, as on the stored table ('1900' < '1949'); a value bound without the
        // column's type would compare as text above every number and pass.
        {"year>=1949", "year", std::string("1900"), false},
        {"year>=1949", "year", std::string("950"), true},
        {"qc02 > 10", "qc02", std::string("12"), true},      // a numeric column takes text as a number
        {"code is not null", "code", std::string("9"), true},
        {"year like '20%'", "year", std::string("1999"), false},
        {"year<>\"2000\"", "year", std::string("2000"), false},  // double quotes are a string here
        {"mod(qc02*7,11)=10", "qc02", 3.0, true},          // the remainder of whole numbers
        {"mod(qc02*7,11)=10", "qc02", 4.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        t.Constraints.Clear();
        auto& k = t.Constraints.Add();
        k.CustomConstraint = c.condition;
        k.ErrorMessage = "规则不符";
        EXPECT_EQ(store(c.field, c.value), c.passes ? "" : "规则不符");
    }
    // The stored table agrees.
    t.Constraints.Clear();
    EXPECT_EQ(store("year", std::string("1900")), "");
    db::Connection conn((dir_ / "t.db").string(), db::Connection::Mode::ReadWrite);
    db::Statement s(conn.get(), "SELECT count(*) FROM data WHERE year>=1949");
    s.step();
    EXPECT_EQ(s.columnInt(0), 0);
}

TEST_F(TableConstraintsTest, ChecksNestAndSyntaxErrorsAreClear)
{
    auto& k = t.Constraints.Add();
    k.CustomConstraint = "qc02 < 0";
    k.ErrorMessage = "必须为负";
    EXPECT_EQ(store("qc02", 5.0), "必须为负");
    t.DisableConstraints();
    t.DisableConstraints();
    t.EnableConstraints();
    EXPECT_TRUE(t.ConstraintsDisabled());
    EXPECT_EQ(store("qc02", 5.0), "");
    t.EnableConstraints();
    EXPECT_FALSE(t.ConstraintsDisabled());
    EXPECT_EQ(store("qc02", 6.0), "必须为负");
    t.EnableConstraints();  // an extra enable does not switch checking on in advance
    t.DisableConstraints();
    EXPECT_EQ(store("qc02", 6.0), "");
    t.EnableConstraints();
    // Constraints stay with the table across a close and open.
    t.Close();
    t.Open();
    EXPECT_EQ(store("qc02", 8.0), "必须为负");

    t.Constraints.Clear();
    auto& bad = t.Constraints.Add();
    bad.CustomConstraint = "qc02 >= and";
    bad.ErrorMessage = "x";
    std::string msg = store("qc02", 7.0);
    EXPECT_NE(msg, "");
    EXPECT_NE(msg, "x");
    EXPECT_EQ(StoredColumn((dir_ / "t.db").string(), "qc02"), std::vector<std::string>{"6.000000"});
}

// A constraint changed in place, added or cleared between two stores rules the second one.
TEST_F(TableConstraintsTest, ConstraintsChangedBetweenStoresRuleTheNextStore)
{
    auto& k = t.Constraints.Add();
    k.CustomConstraint = "qc02 < 10";
    k.ErrorMessage = "太大";
    EXPECT_EQ(store("qc02", 5.0), "");
    k.CustomConstraint = "qc02 < 3";
    EXPECT_EQ(store("qc02", 5.0), "太大");
    k.ErrorMessage = "超过三";
    EXPECT_EQ(store("qc02", 5.0), "超过三");
    k.CustomConstraint = "";  // an empty condition checks nothing
    EXPECT_EQ(store("qc02", 5.0), "");
    k.CustomConstraint = "qc02 < 9";  // the record now holds 5
    auto& second = t.Constraints.Add();
    second.CustomConstraint = "year >= '2000'";
    second.ErrorMessage = "年份太早";
    EXPECT_EQ(store("year", std::string("1999")), "年份太早");
    EXPECT_EQ(store("qc02", 10.0), "超过三");
    t.Constraints.Clear();
    EXPECT_EQ(store("qc02", 10.0), "");
}

// Each condition sees the values of the fields it names, whatever their place, case or spelling, and however
// many fields the record has that no condition names.
TEST_F(TableConstraintsTest, ConditionsSeeTheFieldsTheyName)
{
    db::TableSchema s;
    s.fields = {F("code", T::String, 6), F("qc05", T::Float), F("qc05_1", T::Float), F("QC02", T::Float),
                F("企业数", T::Integer), F("note", T::String, 20)};
    s.indexes = {Primary({"code"})};
    db::CreateTableFile("w.db", s, {{"1", 1.0, 20.0, 1.0, std::int64_t{3}, std::string("x")}});
    TTable w;
    w.SetTableName("w.db");
    w.Open();
    const std::pair<const char*, const char*> rules[] = {
        {"qc05_1 > 10", "转让太少"}, {"企业数 >= 0", "企业数为负"}, {"qc02 <= QC05", "产值超过收入"}};
    for (const auto& [condition, message] : rules) {
        auto& k = w.Constraints.Add();
        k.CustomConstraint = condition;
        k.ErrorMessage = message;
    }
    struct Case {
        const char* field;
        db::Variant value;
        const char* message;
    } cases[] = {
        {"note", std::string("y"), ""},       {"qc05_1", 11.0, ""},   {"qc05_1", 9.0, "转让太少"},
        {"企业数", std::int64_t{-1}, "企业数为负"}, {"QC02", 1.0, ""}, {"qc02", 2.0, "产值超过收入"},
        {"qc05", 2.0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.message);
        w.Edit();
        w.FieldByName(c.field)->SetValue(c.value);
        try {
            w.Post();
            EXPECT_STREQ(c.message, "");
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, c.message);
            w.Cancel();
        }
    }
    EXPECT_EQ(StoredColumn("w.db", "qc05_1"), std::vector<std::string>{"11.000000"});
    EXPECT_EQ(StoredColumn("w.db", "qc05"), std::vector<std::string>{"2.000000"});
}

}  // namespace
