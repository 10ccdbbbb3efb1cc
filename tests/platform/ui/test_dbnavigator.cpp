// TDBNavigator: each button is enabled only where its action fits the data set's state, acts on the data
// set of its source, asks before deleting, and shows nothing for a detached source.
#include <gtest/gtest.h>

#include "platform/ui/DBNavigator.h"
#include "test_db_support.h"

namespace {

using dbtest::DataAwareTest;

class DBNavigatorTest : public DataAwareTest {
protected:
    void SetUp() override
    {
        DataAwareTest::SetUp();
        AddRow("100001", "甲");
        AddRow("100002", "乙");
        table_.First();
        nav_ = std::make_unique<TDBNavigator>(nullptr);
        nav_->SetDataSource(&source_);
    }
    void TearDown() override
    {
        nav_.reset();
        DataAwareTest::TearDown();
    }

    // The enabled buttons as a string of 0/1 in button order.
    std::string Enabled() const
    {
        std::string out;
        for (int b = nbFirst; b <= nbRefresh; ++b) {
            out += nav_->ButtonEnabled(static_cast<TNavigateBtn>(b)) ? '1' : '0';
        }
        return out;
    }

    std::unique_ptr<TDBNavigator> nav_;
};

TEST_F(DBNavigatorTest, ButtonsFollowTheDataSetsState)
{
    struct Step {
        const char* what;
        std::function<void(TTable&, TDataSource&)> act;
        const char* enabled;  // First Prior Next Last Insert Delete Edit Post Cancel Refresh
    };
    const Step steps[] = {
        {"on the first record", [](TTable&, TDataSource&) {}, "0011111001"},
        {"on the last record", [](TTable& t, TDataSource&) { t.Last(); }, "1100111001"},
        {"editing", [](TTable& t, TDataSource&) { t.Edit(); }, "1111110110"},
        {"cancelled", [](TTable& t, TDataSource&) { t.Cancel(); }, "1100111001"},
        {"emptied", [](TTable& t, TDataSource&) { while (!t.IsEmpty()) { t.Delete(); } }, "0000101001"},
        {"source disabled", [](TTable&, TDataSource& s) { s.SetEnabled(false); }, "0000000000"},
        {"source enabled, table closed", [](TTable& t, TDataSource& s) { s.SetEnabled(true); t.Close(); },
         "0000000000"},
    };
    for (const Step& s : steps) {
        s.act(table_, source_);
        EXPECT_EQ(Enabled(), s.enabled) << s.what;
    }
}

TEST_F(DBNavigatorTest, ButtonsActOnTheDataSet)
{
    nav_->BtnClick(nbNext);
    EXPECT_EQ(table_.RecNo(), 2);
    nav_->BtnClick(nbFirst);
    EXPECT_EQ(table_.RecNo(), 1);
    nav_->BtnClick(nbEdit);
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    table_.FieldByName("name")->SetAsString("丙");
    nav_->BtnClick(nbPost);
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(table_.FieldByName("name")->AsString(), "丙");
    nav_->BtnClick(nbInsert);
    EXPECT_EQ(table_.State(), TDataSetState::dsInsert);
    nav_->BtnClick(nbCancel);
    EXPECT_EQ(table_.RecordCount(), 2);
    nav_->BtnClick(nbLast);
    nav_->BtnClick(nbRefresh);
    EXPECT_EQ(table_.RecNo(), 2);
}

TEST_F(DBNavigatorTest, DeleteAsksFirst)
{
    user_.answer = IDNO;
    nav_->BtnClick(nbDelete);
    EXPECT_EQ(table_.RecordCount(), 2);
    ASSERT_EQ(user_.messages.size(), 1u);
    user_.answer = IDYES;
    nav_->BtnClick(nbDelete);
    EXPECT_EQ(table_.RecordCount(), 1);
    nav_->ConfirmDelete = false;
    nav_->BtnClick(nbDelete);
    EXPECT_EQ(table_.RecordCount(), 0);
    EXPECT_EQ(user_.messages.size(), 2u);
}

TEST_F(DBNavigatorTest, HiddenButtonsDoNothing)
{
    nav_->SetVisibleButtons((1u << nbFirst) | (1u << nbPrior));
    nav_->BtnClick(nbNext);
    EXPECT_EQ(table_.RecNo(), 1);
}

TEST_F(DBNavigatorTest, ARefusedStoreIsShownAndKeepsTheEdit)
{
    table_.Edit();
    table_.FieldByName("code")->SetAsString("100002");  // the key of the other record
    nav_->BtnClick(nbPost);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
}

}  // namespace
