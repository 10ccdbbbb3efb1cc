// The locate dialogs, opened by a double-click on the enterprise window's status bar: by record number (the
// number checked before the table moves), by report number or legal-entity code, and on a detail that shows
// every enterprise, which is searched on its own key and index. The check's jump positions the window too.
#include <gtest/gtest.h>

#include "KfqFixture.h"
#include "entry/ChangeR.h"
#include "entry/ChangeR2.h"
#include "entry/Locate.h"

namespace {

using entrytest::KfqTest;

class KfqLocate : public KfqTest {
protected:
    void SetUp() override
    {
        KfqTest::SetUp();
        AddEnterprise("100003", "L3");
        AddEnterprise("100001", "L1");
        AddEnterprise("100002", "L2");
    }
    // Double-clicks the status bar and acts in the dialog.
    void InDialog(TF_kfq& k, const std::function<void(TF_change_r2&)>& act)
    {
        User().InModal("TF_change_r2", [act](TForm& f) { act(dynamic_cast<TF_change_r2&>(f)); });
        k.StatusBar1->DblClick();
    }
    static void Enter(TF_change_r2& d, const std::string& text)
    {
        ASSERT_TRUE(TScriptedUser::Type(*d.Edit1, text));
        ASSERT_TRUE(TScriptedUser::Press(*d.Button1));
    }
};

struct ByNumber {
    const char* entered;
    const char* key;  // the enterprise then current (the master is in Id order)
};
void PrintTo(const ByNumber& c, std::ostream* os) { *os << "number " << c.entered; }

class KfqLocateByNumber : public KfqLocate, public ::testing::WithParamInterface<ByNumber> {};

TEST_P(KfqLocateByNumber, CountsFromOneInTheCurrentOrder)
{
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(Press(k.ToolButton2));
        InDialog(k, [](TF_change_r2& d) {
            ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton1));
            Enter(d, GetParam().entered);
        });
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), GetParam().key);
        EXPECT_EQ(k.lastCode, GetParam().key);
    });
}

INSTANTIATE_TEST_SUITE_P(Numbers, KfqLocateByNumber, ::testing::Values(
    ByNumber{"1", "100001"}, ByNumber{"3", "100003"}, ByNumber{"99999", "100003"}, ByNumber{"0", "100001"},
    ByNumber{"-2", "100001"}),
    [](const auto& info) {
        const std::string n = info.param.entered;
        return n[0] == '-' ? "Minus" + n.substr(1) : "Number" + n;
    });

TEST_F(KfqLocate, NumberThatIsNotAnIntegerLeavesTheTableWhereItWasAndTheDialogOpen)
{
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(Press(k.ToolButton4));
        InDialog(k, [this](TF_change_r2& d) {
            ExpectError("'abc' is not a valid integer value");
            Enter(d, "abc");
            EXPECT_FALSE(d.ModalDone());
            ASSERT_TRUE(TScriptedUser::Press(*d.Button2));
        });
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100003");
    });
}

TEST_F(KfqLocate, EmptyEntryDoesNothing)
{
    InKfq([this](TF_kfq& k) {
        InDialog(k, [](TF_change_r2& d) {
            ASSERT_TRUE(TScriptedUser::Press(*d.Button1));
            EXPECT_FALSE(d.ModalDone());
            ASSERT_TRUE(TScriptedUser::Press(*d.Button2));
        });
    });
}

TEST_F(KfqLocate, ByKeyKeepsTheChoiceForTheNextOpeningAndOrdersByIdAgain)
{
    InKfq([this](TF_kfq& k) {
        InDialog(k, [](TF_change_r2& d) {
            ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton3));
            Enter(d, "L2");
        });
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100002");
        EXPECT_EQ(k.Table1->IndexFieldNames(), "id");
        InDialog(k, [](TF_change_r2& d) {
            EXPECT_TRUE(d.RadioButton3->Checked());
            EXPECT_EQ(d.Edit1->Text(), "");
            Enter(d, "L3");
        });
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100003");
        InDialog(k, [](TF_change_r2& d) {
            ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton2));
            Enter(d, "999999");  // a miss: nothing moves, the dialog closes
        });
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100003");
        EXPECT_EQ(SearchField, "qa01");
        EXPECT_EQ(SearchIndex, "kfq_1");
    });
}

// A detail that shows every enterprise is searched by report number on its own key and index; it has no
// legal-entity code, so a search by that is refused and the dialog stays open for another choice.
TEST_F(KfqLocate, OnADetailShowingEveryEnterpriseSearchesOnlyTheDetailsOwnKey)
{
    AddProduct("100001", "0001");
    AddProduct("100002", "0001");
    AddProduct("100003", "0001");
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        k.StatusBar1->DblClick();  // linked: no dialog
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox2, 1));
        InDialog(k, [this](TF_change_r2& d) {
            ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton3));
            Expect("提示", "当前表格中没有“法人代码”，请按“记录号”或“报表编号”定位");
            Enter(d, "100002");
            EXPECT_FALSE(d.ModalDone());
            ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton2));
            Enter(d, "100002");
        });
        EXPECT_EQ(k.Table2->FieldByName("QA01")->AsString(), "100002");
        EXPECT_EQ(k.Table2->IndexName(), "kfq_2");
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100001");
        InDialog(k, [this](TF_change_r2& d) {
            ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton3));
            Expect("提示", "当前表格中没有“法人代码”，请按“记录号”或“报表编号”定位");
            Enter(d, "L3");
            ASSERT_TRUE(TScriptedUser::Press(*d.Button2));
        });
        EXPECT_EQ(k.Table2->FieldByName("QA01")->AsString(), "100002");  // the refused search moved nothing
    });
}

TEST_F(KfqLocate, PendingLocateOfTheCheckPositionsTheMaster)
{
    User().InModal("TF_kfq", [](TForm& f) {
        auto& k = dynamic_cast<TF_kfq&>(f);
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100002");
        EXPECT_EQ(k.lastCode, "100002");
        EXPECT_EQ(k.Table1->IndexFieldNames(), "id");
        EXPECT_TRUE(LocatePending);  // not reset by the window
        k.Close();
    });
    LocatePending = true;
    LocateField = "qa01";
    LocateValue = "100002";
    TFormFactory::Obtain("TF_kfq")->ShowModal();
}

// TF_change_r, as the other entry windows open it: LocateTable, LocateField and LocateIndex set before.
TEST_F(KfqLocate, ChangeRSearchesTheGivenKeyAndIndexAndEnterConfirms)
{
    TTable t;
    t.SetTableName("kfq_1.db");
    t.SetIndexName("kfq_12");  // in legal-code order: L1, L2, L3
    t.Open();
    LocateTable = &t;
    LocateField = "qa01";
    LocateIndex = "kfq_1";
    auto open = [this](const std::function<void(TF_change_r&)>& act) {
        User().InModal("TF_change_r", [act](TForm& f) { act(dynamic_cast<TF_change_r&>(f)); });
        TFormFactory::Obtain("TF_change_r")->ShowModal();
    };
    open([](TF_change_r& d) {
        EXPECT_TRUE(d.RadioButton1->Checked());
        ASSERT_TRUE(TScriptedUser::Type(*d.Edit1, "2"));
        ASSERT_TRUE(TScriptedUser::Key(*d.Edit1, Qt::Key_Return));
    });
    EXPECT_EQ(t.FieldByName("QA01")->AsString(), "100002");
    open([](TF_change_r& d) {
        ASSERT_TRUE(TScriptedUser::Press(*d.RadioButton2));
        ASSERT_TRUE(TScriptedUser::Type(*d.Edit1, "100003"));
        ASSERT_TRUE(TScriptedUser::Press(*d.Button1));
    });
    EXPECT_EQ(t.FieldByName("QA01")->AsString(), "100003");
    EXPECT_EQ(t.IndexFieldNames(), "id");
    EXPECT_EQ(t.RecNo(), 3);
    open([](TF_change_r& d) {
        EXPECT_TRUE(d.RadioButton2->Checked());  // the choice survives
        ASSERT_TRUE(TScriptedUser::Type(*d.Edit1, "999999"));
        ASSERT_TRUE(TScriptedUser::Press(*d.Button1));
    });
    EXPECT_EQ(t.FieldByName("QA01")->AsString(), "100003");
    LocateTable = nullptr;
}

// The moves on a bare table, as TF_change_r makes them.
TEST(Locate, RecordNumbersAreCheckedBeforeAnythingMoves)
{
    const std::vector<std::pair<std::string, int>> good = {{"1", 1}, {" 7 ", 7}, {"+3", 3}, {"-2", -2}, {"0", 0}};
    for (const auto& [text, n] : good) {
        EXPECT_EQ(RecordNumberOf(text), n) << text;
    }
    for (const char* bad : {"", "abc", "1.5", "12a", "99999999999"}) {
        EXPECT_THROW(RecordNumberOf(bad), EConvertError) << bad;
    }
}

}  // namespace
