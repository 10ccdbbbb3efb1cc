// TDBEdit and TDBMemo on a real table: typing starts an edit (an insert on an empty table), edit masks shape
// what is typed and stored, a value that does not fit its mask survives being shown, read-only and detached
// edits refuse typing, and typed text reaches the field on exit and before a post.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "platform/ui/DBEdit.h"
#include "platform/ui/DBFieldLink.h"
#include "platform/ui/DBMemo.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"
#include "test_db_support.h"

namespace {

using dbtest::DataAwareTest;

// Types text key by key at the caret, as the keyboard or an input method sends it (not only ASCII).
void TypeText(QWidget* w, const QString& text)
{
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, ch.unicode() < 0x80 ? ch.toUpper().unicode() : 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(w, &press);
    }
}

class DBEditTest : public DataAwareTest {
protected:
    std::string Stored(const char* field) const { return table_.FieldByName(field)->AsString(); }

    void Bind(TDBEdit& edit, const char* field, const char* mask = nullptr)
    {
        if (mask != nullptr) {
            table_.FieldByName(field)->EditMask = mask;
        }
        edit.SetDataSource(&source_);
        edit.SetDataField(field);
    }
};

TEST_F(DBEditTest, TypingStartsAnEditAndPostStoresTheText)
{
    AddRow("100001", "甲");
    TDBEdit edit(nullptr);
    Bind(edit, "name");
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("甲"));
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    edit.LineEdit()->end(false);
    QTest::keyClicks(edit.LineEdit(), "X");
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    table_.Post();
    EXPECT_EQ(Stored("name"), "甲X");
    EXPECT_FALSE(edit.Link().Modified());
}

TEST_F(DBEditTest, TypingOnAnEmptyTableStartsAnInsert)
{
    TDBEdit code(nullptr), name(nullptr);
    Bind(code, "code");
    Bind(name, "name");
    QTest::keyClicks(name.LineEdit(), "AB");
    EXPECT_EQ(table_.State(), TDataSetState::dsInsert);
    QTest::keyClicks(code.LineEdit(), "100009");
    table_.Post();
    ASSERT_EQ(table_.RecordCount(), 1);
    EXPECT_EQ(Stored("code"), "100009");
    EXPECT_EQ(Stored("name"), "AB");
}

TEST_F(DBEditTest, GuardThatCancelsAndAbortsRefusesTheKey)
{
    AddRow("100001", "甲");
    TDBEdit edit(nullptr);
    Bind(edit, "name");
    source_.OnStateChange = [this](TDataSource* s) {
        if (s->State() == TDataSetState::dsEdit) {
            table_.Cancel();
            Abort();
        }
    };
    QTest::keyClicks(edit.LineEdit(), "X");
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("甲"));
    EXPECT_TRUE(user_.messages.empty());
    source_.OnStateChange = nullptr;
}

TEST_F(DBEditTest, CancelShowsTheStoredValueAgain)
{
    AddRow("100001", "甲");
    TDBEdit edit(nullptr);
    Bind(edit, "name");
    QTest::keyClicks(edit.LineEdit(), "X");
    table_.Cancel();
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("甲"));
    EXPECT_FALSE(edit.Link().Modified());
}

struct MaskTyping {
    const char* mask;
    const char* qtMask;
    const char* keys;      // typed from the first position of an empty field
    const char* stored;    // nullptr: null
};
void PrintTo(const MaskTyping& c, std::ostream* os) { *os << "mask " << c.mask << " keys " << c.keys; }

class DBEditMask : public DBEditTest, public ::testing::WithParamInterface<MaskTyping> {};

TEST_P(DBEditMask, StoresWhatTheMaskMakesOfTheKeys)
{
    const MaskTyping& c = GetParam();
    AddRow("100001", "");
    TDBEdit edit(nullptr);
    Bind(edit, "name", c.mask);
    EXPECT_EQ(edit.LineEdit()->inputMask(), QString::fromUtf8(c.qtMask));
    edit.LineEdit()->setCursorPosition(0);
    QTest::keyClicks(edit.LineEdit(), c.keys);
    table_.Post();
    if (c.stored == nullptr) {
        EXPECT_TRUE(table_.FieldByName("name")->IsNull()) << Stored("name");
    } else {
        EXPECT_EQ(Stored("name"), c.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Masks, DBEditMask, ::testing::Values(
    MaskTyping{"000000;1;_", "999999;_", "100001", "100001"},
    MaskTyping{"9999-99-99;1;_", "0000-00-00;_", "20091231", "2009-12-31"},
    MaskTyping{"0000;0;_", "9999;_", "1234", "1234"},
    MaskTyping{"00-00;0;_", "99-99;_", "1234", "1234"},
    MaskTyping{">LL", ">AA;_", "ab", "AB"},
    MaskTyping{"\\A00", "\\A99;_", "12", "A12"},
    MaskTyping{"0(00)", "9(99);_", "123", "1(23)"}));

TEST_F(DBEditTest, OnlyLiteralsAndBlanksStoreNull)
{
    AddRow("100001", "2009-12-31");
    TDBEdit edit(nullptr);
    Bind(edit, "name", "9999-99-99;1;_");
    EXPECT_EQ(edit.LineEdit()->displayText(), QStringLiteral("2009-12-31"));
    edit.LineEdit()->selectAll();
    QTest::keyClick(edit.LineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), "");
    table_.Post();
    EXPECT_TRUE(table_.FieldByName("name")->IsNull()) << Stored("name");
}

TEST_F(DBEditTest, IncompleteRequiredSlotsAreRefused)
{
    AddRow("100001", "");
    TDBEdit edit(nullptr);
    Bind(edit, "name", "000000;1;_");
    edit.LineEdit()->setCursorPosition(0);
    QTest::keyClicks(edit.LineEdit(), "12");
    try {
        table_.Post();
        ADD_FAILURE() << "an incomplete text was stored";
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message.find("不完整"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
}

TEST_F(DBEditTest, StoredValueThatDoesNotFitIsShownAsItIsAndKeptUnlessEdited)
{
    AddRow("100001", "AB12");
    TDBEdit edit(nullptr), other(nullptr);
    Bind(edit, "name", "000000;1;_");
    Bind(other, "qty");
    EXPECT_EQ(edit.LineEdit()->inputMask(), QString());
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("AB12"));
    QTest::keyClicks(other.LineEdit(), "5");  // the record is edited elsewhere
    table_.Post();
    EXPECT_EQ(Stored("name"), "AB12");
    edit.LineEdit()->end(false);
    QTest::keyClicks(edit.LineEdit(), "3");
    table_.Post();
    EXPECT_EQ(Stored("name"), "AB123");
}

TEST_F(DBEditTest, MaskSetAfterBindingTakesEffectWhenTypingStarts)
{
    AddRow("100001", "");
    TDBEdit edit(nullptr);
    Bind(edit, "name");
    table_.FieldByName("name")->EditMask = "00-00;0;_";  // as a window does once its table is open
    edit.LineEdit()->setCursorPosition(0);
    QTest::keyClicks(edit.LineEdit(), "1234");
    EXPECT_EQ(edit.LineEdit()->inputMask(), QStringLiteral("99-99;_"));
    table_.Post();
    EXPECT_EQ(Stored("name"), "1234");
}

TEST_F(DBEditTest, MaxLengthIsTheFieldSize)
{
    AddRow("100001", "甲");
    TDBEdit code(nullptr), name(nullptr);
    Bind(code, "code");
    Bind(name, "name");
    EXPECT_EQ(code.LineEdit()->maxLength(), 6);
    EXPECT_EQ(name.LineEdit()->maxLength(), 20);
    name.Link().SetMaxLength(8);  // the control's own limit
    EXPECT_EQ(name.LineEdit()->maxLength(), 8);
}

TEST_F(DBEditTest, NonNumberInNumericFieldIsRefusedWithAClearMessage)
{
    AddRow("100001", "甲", 1.5);
    TDBEdit edit(nullptr);
    Bind(edit, "amount");
    edit.LineEdit()->selectAll();
    QTest::keyClicks(edit.LineEdit(), "1-2");  // characters of a number, but not one
    try {
        table_.Post();
        ADD_FAILURE() << "a non-number was stored";
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message.find("amount"), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("1-2"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("1-2"));  // kept for correction
}

// A character that can never belong to the field's type is refused as it is typed (and starts no edit); the
// others go through.
struct TypedChars {
    const char* field;
    const char* typed;
    const char* shown;
};
void PrintTo(const TypedChars& c, std::ostream* os) { *os << c.field << " " << c.typed; }

class DBEditTyping : public DBEditTest, public ::testing::WithParamInterface<TypedChars> {};

TEST_P(DBEditTyping, RefusesCharactersTheFieldsTypeCannotHold)
{
    const TypedChars& c = GetParam();
    AddRow("100001", "甲");
    table_.Edit();
    table_.FieldByName(c.field)->Clear();
    table_.Post();
    TDBEdit edit(nullptr);
    Bind(edit, c.field);
    QTest::keyClicks(edit.LineEdit(), "x");
    EXPECT_EQ(table_.State(), std::string(c.field) == "name" ? TDataSetState::dsEdit : TDataSetState::dsBrowse);
    TypeText(edit.LineEdit(), QString::fromUtf8(c.typed));
    EXPECT_EQ(edit.LineEdit()->text(), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Types, DBEditTyping, ::testing::Values(
    TypedChars{"amount", "-1a2.5,E+3 元", "-12.5E+3"},
    TypedChars{"qty", "+1.5e2x-", "+152-"},
    TypedChars{"day", "2024/01-0２9:", "202401-09"},
    TypedChars{"name", "a1.-", "xa1.-"}),
    [](const auto& info) { return std::string(info.param.field); });

// A text wider than its edit shows its start while the edit is not focused.
TEST_F(DBEditTest, ALongTextShowsItsStartWhenNotFocused)
{
    AddRow("100001", "一二三四五六七八九十一二三四五六七八九十");
    AddRow("100002", "十九八七六五四三二一十九八七六五四三二一");
    table_.First();
    TDBEdit edit(nullptr);
    edit.SetBounds(0, 0, 40, 21);
    Bind(edit, "name");
    EXPECT_EQ(edit.LineEdit()->cursorPosition(), 0);
    table_.Next();
    EXPECT_EQ(edit.LineEdit()->cursorPosition(), 0);
}

TEST_F(DBEditTest, NumbersShowInPlainDecimal)
{
    AddRow("100001", "甲", 12345678.25);
    TDBEdit edit(nullptr);
    Bind(edit, "amount");
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("12345678.25"));
}

// Edits that may not change the record: typing leaves the table browsing and the text as it was.
struct Refusal {
    const char* what;
    std::function<void(TDBEdit&, TTable&, TDataSource&)> arrange;
    const char* shown;
};
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.what; }

class DBEditRefuses : public DBEditTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(DBEditRefuses, Typing)
{
    const Refusal& c = GetParam();
    AddRow("100001", "甲");
    TDBEdit edit(nullptr);
    Bind(edit, "name");
    c.arrange(edit, table_, source_);
    EXPECT_EQ(edit.LineEdit()->text(), QString::fromUtf8(c.shown)) << c.what;
    QTest::keyClicks(edit.LineEdit(), "X");
    EXPECT_NE(table_.State(), TDataSetState::dsEdit) << c.what;
    EXPECT_EQ(edit.LineEdit()->text(), QString::fromUtf8(c.shown)) << c.what;
    EXPECT_TRUE(edit.LineEdit()->isReadOnly()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, DBEditRefuses, ::testing::Values(
    Refusal{"read-only edit", [](TDBEdit& e, TTable&, TDataSource&) { e.SetReadOnly(true); }, "甲"},
    Refusal{"read-only field", [](TDBEdit& e, TTable& t, TDataSource&) {
                t.FieldByName("name")->ReadOnly = true;
                e.SetDataField("name");
            }, "甲"},
    Refusal{"disabled data source", [](TDBEdit&, TTable&, TDataSource& s) { s.SetEnabled(false); }, ""},
    Refusal{"no data source", [](TDBEdit& e, TTable&, TDataSource&) { e.SetDataSource(nullptr); }, ""},
    Refusal{"closed table", [](TDBEdit&, TTable& t, TDataSource&) { t.Close(); }, ""},
    Refusal{"unknown field", [](TDBEdit& e, TTable&, TDataSource&) { e.SetDataField("nosuch"); }, ""}));

TEST_F(DBEditTest, DetachedAndAttachedAgainShowsTheRecord)
{
    AddRow("100001", "甲");
    TDBEdit edit(nullptr);
    Bind(edit, "name");
    source_.SetEnabled(false);
    EXPECT_EQ(edit.LineEdit()->text(), QString());
    source_.SetEnabled(true);
    EXPECT_EQ(edit.LineEdit()->text(), QStringLiteral("甲"));
}

class DBEditFocusTest : public DBEditTest {
protected:
    void SetUp() override
    {
        DBEditTest::SetUp();
        AddRow("100001", "甲", 1);
        window_ = std::make_unique<QWidget>();
        first_ = std::make_unique<TDBEdit>(nullptr);
        second_ = std::make_unique<TDBEdit>(nullptr);
        Bind(*first_, "amount");
        Bind(*second_, "name");
        first_->Widget()->setParent(window_.get());
        second_->Widget()->setParent(window_.get());
        second_->Widget()->move(0, 40);
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        first_->LineEdit()->setFocus();
        first_->LineEdit()->selectAll();
    }
    void TearDown() override
    {
        first_.reset();
        second_.reset();
        window_.reset();
        DBEditTest::TearDown();
    }

    std::unique_ptr<QWidget> window_;
    std::unique_ptr<TDBEdit> first_, second_;
};

TEST_F(DBEditFocusTest, LeavingTheEditWritesTheText)
{
    QTest::keyClicks(first_->LineEdit(), "2.5");
    second_->LineEdit()->setFocus();
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    EXPECT_EQ(table_.FieldByName("amount")->AsFloat(), 2.5);
    EXPECT_TRUE(user_.messages.empty());
}

TEST_F(DBEditFocusTest, LeavingWithANonNumberShowsTheMessage)
{
    QTest::keyClicks(first_->LineEdit(), "1-1");
    second_->LineEdit()->setFocus();
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_NE(user_.messages[0].find("1-1"), std::string::npos) << user_.messages[0];
    EXPECT_EQ(table_.FieldByName("amount")->AsFloat(), 1.0);
    EXPECT_TRUE(first_->Link().Modified());
}

TEST_F(DBEditFocusTest, LeavingALongTextShowsItsStartAgain)
{
    second_->SetBounds(0, 40, 40, 21);
    second_->LineEdit()->setFocus();
    second_->LineEdit()->end(false);
    TypeText(second_->LineEdit(), QStringLiteral("一二三四五六七八九十一二三四五"));
    first_->LineEdit()->setFocus();
    EXPECT_EQ(table_.FieldByName("name")->AsString(), "甲一二三四五六七八九十一二三四五");
    EXPECT_EQ(second_->LineEdit()->cursorPosition(), 0);
}

TEST_F(DBEditTest, MemoTypingStartsAnEditAndPostStoresTheText)
{
    AddRow("100001", "甲");
    TDBMemo memo(nullptr);
    memo.SetDataSource(&source_);
    memo.SetDataField("name");
    EXPECT_EQ(memo.PlainTextEdit()->toPlainText(), QStringLiteral("甲"));
    memo.PlainTextEdit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo.PlainTextEdit(), "Y");
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    table_.Post();
    EXPECT_EQ(Stored("name"), "甲Y");
    source_.SetEnabled(false);
    EXPECT_EQ(memo.PlainTextEdit()->toPlainText(), QString());
}

class TF_edittest : public TForm {
public:
    explicit TF_edittest(TComponent* owner) : TForm(owner) {}
};

const ClassBuilder<TF_edittest> kEditTestClass("TF_edittest", "TForm", [](ClassBuilder<TF_edittest>& c) {
    c.NotCreatable();
});

TEST_F(DBEditTest, DescriptionDeclaresEditsMemosAndNavigators)
{
    AddRow("100001", "甲");
    TF_edittest f(nullptr);
    f.LoadDescriptionText("TF_edittest",
                          "object F_edittest: TF_edittest\n"
                          "  object DataSource1: TDataSource\n"
                          "  end\n"
                          "  object DBEdit1: TDBEdit\n"
                          "    DataSource = DataSource1\n"
                          "    DataField = 'code'\n"
                          "    ReadOnly = True\n"
                          "  end\n"
                          "  object DBMemo1: TDBMemo\n"
                          "    DataSource = DataSource1\n"
                          "    DataField = 'name'\n"
                          "    ScrollBars = ssVertical\n"
                          "  end\n"
                          "  object DBNavigator1: TDBNavigator\n"
                          "    DataSource = DataSource1\n"
                          "    VisibleButtons = [nbFirst, nbNext]\n"
                          "  end\n"
                          "end\n",
                          "TF_edittest.form");
    auto* edit = dynamic_cast<TDBEdit*>(f.FindComponent("DBEdit1"));
    auto* memo = dynamic_cast<TDBMemo*>(f.FindComponent("DBMemo1"));
    auto* nav = dynamic_cast<TDBNavigator*>(f.FindComponent("DBNavigator1"));
    ASSERT_TRUE(edit != nullptr && memo != nullptr && nav != nullptr);
    dynamic_cast<TDataSourceComponent*>(f.FindComponent("DataSource1"))->Object()->SetDataSet(&table_);
    EXPECT_EQ(edit->Text(), "100001");
    EXPECT_TRUE(edit->ReadOnly());
    EXPECT_EQ(memo->Text(), "甲");
    EXPECT_EQ(nav->VisibleButtons(), (1u << nbFirst) | (1u << nbNext));
}

}  // namespace
