// The item model of a data set: its shape follows the data set only through the data link, under
// QAbstractItemModelTester; cells show plain decimals and yyyy-mm-dd dates; typed text is converted or
// refused with a clear message.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/ui/DBFieldText.h"
#include "platform/ui/DataSetModel.h"
#include "test_db_support.h"

namespace {

using dbtest::DataAwareTest;

class DataSetModelTest : public DataAwareTest {
protected:
    void SetUp() override
    {
        DataAwareTest::SetUp();
        AddRow("100001", "甲", 1.5, 1);
        AddRow("100002", "乙", 2.5, 2);
        AddRow("100003", "丙", 3.5, 3);
        model_.SetDataSource(&source_);
        Watch(&model_);
    }

    QString Cell(int row, int column) const { return model_.data(model_.index(row, column)).toString(); }

    TDataSetModel model_;
};

struct ShapeStep {
    const char* what;
    std::function<void(TTable&, TDataSource&)> act;
    int rows;
    int currentRow;
};

TEST_F(DataSetModelTest, FollowsTheDataSetThroughEveryChange)
{
    const ShapeStep steps[] = {
        {"opened with three rows", [](TTable& t, TDataSource&) { t.First(); }, 3, 0},
        {"moved to the last row", [](TTable& t, TDataSource&) { t.Last(); }, 3, 2},
        {"appending shows the new record last",
         [](TTable& t, TDataSource&) { t.Append(); t.FieldByName("code")->SetAsString("100004"); }, 4, 3},
        {"the appended record stored", [](TTable& t, TDataSource&) { t.Post(); }, 4, 3},
        {"insert cancelled", [](TTable& t, TDataSource&) { t.Append(); t.Cancel(); }, 4, 3},
        {"editing keeps the shape", [](TTable& t, TDataSource&) { t.First(); t.Edit(); }, 4, 0},
        {"edit stored", [](TTable& t, TDataSource&) { t.FieldByName("name")->SetAsString("丁"); t.Post(); }, 4, 0},
        {"a row deleted", [](TTable& t, TDataSource&) { t.Delete(); }, 3, 0},
        {"filtered to one row",
         [](TTable& t, TDataSource&) { t.SetFilter("code='100003'"); t.SetFiltered(true); }, 1, 0},
        {"filter off", [](TTable& t, TDataSource&) { t.SetFiltered(false); }, 3, 0},
        {"data source disabled shows nothing", [](TTable&, TDataSource& s) { s.SetEnabled(false); }, 0, -1},
        {"data source enabled again", [](TTable&, TDataSource& s) { s.SetEnabled(true); }, 3, 0},
        {"closed", [](TTable& t, TDataSource&) { t.Close(); }, 0, -1},
        {"opened again", [](TTable& t, TDataSource&) { t.Open(); }, 3, 0},
        {"emptied by deletes", [](TTable& t, TDataSource&) { while (!t.IsEmpty()) { t.Delete(); } }, 0, -1},
        {"an insert on the empty table", [](TTable& t, TDataSource&) { t.Append(); }, 1, 0},
    };
    // the row count as a view learns it: only from the model's signals
    int announced = model_.rowCount();
    const auto relearn = [&] { announced = model_.rowCount(); };
    QObject::connect(&model_, &QAbstractItemModel::modelReset, relearn);
    QObject::connect(&model_, &QAbstractItemModel::rowsInserted, relearn);
    QObject::connect(&model_, &QAbstractItemModel::rowsRemoved, relearn);
    for (const ShapeStep& s : steps) {
        s.act(table_, source_);
        EXPECT_EQ(model_.rowCount(), s.rows) << s.what;
        EXPECT_EQ(announced, s.rows) << s.what;
        EXPECT_EQ(model_.CurrentRow(), s.currentRow) << s.what;
        EXPECT_EQ(model_.columnCount(), table_.Active() && source_.Enabled() ? 5 : 0) << s.what;
        ExpectNoTesterWarnings();
    }
}

TEST_F(DataSetModelTest, ExplicitColumnsKeepTitlesWhenDetached)
{
    model_.SetColumns({{"name", QStringLiteral("名称"), false}, {"nosuch", QString(), false}, {"qty", QString(), true}});
    EXPECT_EQ(model_.columnCount(), 3);
    EXPECT_EQ(model_.headerData(0, Qt::Horizontal).toString(), QStringLiteral("名称"));
    EXPECT_EQ(model_.headerData(2, Qt::Horizontal).toString(), QStringLiteral("qty"));
    EXPECT_EQ(Cell(0, 0), QStringLiteral("甲"));
    EXPECT_EQ(Cell(0, 1), QString());  // a column without its field stays empty
    EXPECT_FALSE(model_.flags(model_.index(0, 2)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model_.flags(model_.index(0, 0)) & Qt::ItemIsEditable);
    source_.SetEnabled(false);
    EXPECT_EQ(model_.rowCount(), 0);
    EXPECT_EQ(model_.columnCount(), 3);
    model_.UpdateColumn(0, {"name", QStringLiteral("企业名称"), false});
    EXPECT_EQ(model_.headerData(0, Qt::Horizontal).toString(), QStringLiteral("企业名称"));
}

TEST_F(DataSetModelTest, CurrentRowShowsTheRecordBeingEdited)
{
    table_.SetRecNo(2);
    table_.Edit();
    table_.FieldByName("name")->SetAsString("改");
    EXPECT_EQ(Cell(1, 1), QStringLiteral("改"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("甲"));  // other rows from the file
    EXPECT_EQ(model_.headerData(1, Qt::Vertical).toString(), QStringLiteral("I"));
    table_.Cancel();
    EXPECT_EQ(Cell(1, 1), QStringLiteral("乙"));
    table_.Append();
    table_.FieldByName("name")->SetAsString("新");
    EXPECT_EQ(Cell(3, 1), QStringLiteral("新"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("丙"));
    EXPECT_EQ(model_.headerData(3, Qt::Vertical).toString(), QStringLiteral("*"));
}

TEST_F(DataSetModelTest, ReadOnlyModelRefusesEdits)
{
    model_.SetEditing(TDataSetModel::Editing::ReadOnly);
    const QModelIndex cell = model_.index(0, 1);
    EXPECT_FALSE(model_.flags(cell) & Qt::ItemIsEditable);
    EXPECT_FALSE(model_.setData(cell, QStringLiteral("x")));
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("甲"));
}

TEST_F(DataSetModelTest, SetDataEditsOnlyTheCurrentRow)
{
    table_.First();
    EXPECT_FALSE(model_.setData(model_.index(1, 1), QStringLiteral("x")));
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_TRUE(model_.setData(model_.index(0, 1), QStringLiteral("甲")));  // unchanged text: no edit
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_TRUE(model_.setData(model_.index(0, 1), QStringLiteral("戊")));
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    EXPECT_FALSE(model_.setData(model_.index(0, 2), QStringLiteral("abc")));
    EXPECT_NE(model_.LastError().indexOf(QStringLiteral("abc")), -1);
}

// Cell texts: numbers in plain decimal, dates yyyy-mm-dd, null empty.
struct ShownCase {
    const char* field;
    db::Variant value;
    const char* shown;
};
void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.field << " shown as " << (*c.shown ? c.shown : "empty"); }

class CellText : public DataAwareTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(CellText, ShowsPlainDecimalAndIsoDates)
{
    const ShownCase& c = GetParam();
    AddRow("100001", "甲");
    table_.Edit();
    table_.FieldByName(c.field)->SetValue(c.value);
    table_.Post();
    TDataSetModel model;
    model.SetDataSource(&source_);
    const int column = table_.FieldByName(c.field)->Index();
    EXPECT_EQ(model.data(model.index(0, column)).toString(), QString::fromUtf8(c.shown)) << c.field;
}

INSTANTIATE_TEST_SUITE_P(Values, CellText, ::testing::Values(
    ShownCase{"amount", 1234567.0, "1234567"},
    ShownCase{"amount", 1234567.5, "1234567.5"},
    ShownCase{"amount", 1e20, "100000000000000000000"},
    ShownCase{"amount", 0.1, "0.1"},
    ShownCase{"amount", 0.1 + 0.2, "0.3"},
    ShownCase{"amount", 123456789012.34, "123456789012.34"},
    ShownCase{"amount", 2.0 / 3.0, "0.666666666666667"},
    ShownCase{"amount", -1e-20, "-0.00000000000000000001"},
    ShownCase{"amount", -0.000012, "-0.000012"},
    ShownCase{"amount", db::Variant{}, ""},
    ShownCase{"qty", std::int64_t{-12}, "-12"},
    ShownCase{"day", db::Date{2009, 1, 5}, "2009-01-05"}));

// Typed text: converted, or refused with a message naming the field and the text.
struct TypedCase {
    const char* field;
    const char* typed;
    bool accepted;
    const char* valueOrMessagePart;  // the stored text, or a part of the message
};
void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.field << " typed '" << c.typed << "'"; }

class TypedText : public DataAwareTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedText, ConvertsOrRefusesClearly)
{
    const TypedCase& c = GetParam();
    AddRow("100001", "甲");
    TField& field = *table_.FieldByName(c.field);
    if (c.accepted) {
        SetFieldText(field, QString::fromUtf8(c.typed));
        table_.Post();
        EXPECT_EQ(FieldDisplayText(field).toStdString(), c.valueOrMessagePart) << c.typed;
        return;
    }
    try {
        SetFieldText(field, QString::fromUtf8(c.typed));
        ADD_FAILURE() << c.typed << " was accepted";
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message.find(c.field), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find(c.valueOrMessagePart), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, TypedText, ::testing::Values(
    TypedCase{"amount", " 12.5 ", true, "12.5"},
    TypedCase{"amount", "+3", true, "3"},
    TypedCase{"amount", "-1e3", true, "-1000"},
    TypedCase{"amount", "", true, ""},
    TypedCase{"amount", "abc", false, "数值"},
    TypedCase{"amount", "12,5", false, "12,5"},
    TypedCase{"amount", "1.2.3", false, "数值"},
    TypedCase{"amount", "nan", false, "数值"},
    TypedCase{"qty", "7", true, "7"},
    TypedCase{"qty", "1.5", false, "整数"},
    TypedCase{"qty", "40000", false, "超出范围"},
    TypedCase{"day", "2009-12-31", true, "2009-12-31"},
    TypedCase{"day", "2009-1-5", true, "2009-01-05"},
    TypedCase{"day", "2009-13-01", false, "yyyy-mm-dd"},
    TypedCase{"day", "2009/12/31", false, "2009/12/31"},
    TypedCase{"name", "  ", true, ""}));

}  // namespace
