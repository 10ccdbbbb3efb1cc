// The key cascade: a report number typed over on the cover moves the enterprise's products and projects to the
// new number with new identities, whatever characters the keys hold; a cascade that fails midway puts every
// row back and leaves links, filters and checking as they were.
#include <gtest/gtest.h>

#include "KfqFixture.h"

namespace {

using entrytest::KfqTest;

struct Keys {
    const char* name;
    const char* oldKey;
    const char* newKey;
};
void PrintTo(const Keys& c, std::ostream* os) { *os << c.name; }

class KfqCascade : public KfqTest, public ::testing::WithParamInterface<Keys> {
protected:
    void Arrange(const std::string& key)
    {
        AddEnterprise(key);
        AddEnterprise("200001");
        for (const char* s : {"0001", "0002", "0003"}) {
            AddProduct(key, s);
        }
        AddProduct("200001", "0001");
        AddProject(key, "0001");
        AddProject(key, "0002");
    }
};

TEST_P(KfqCascade, MovesEveryDetailToTheNewKeyWithNewIds)
{
    const Keys& c = GetParam();
    const std::string oldKey = c.oldKey, newKey = c.newKey;
    Arrange(oldKey);
    InKfq([&](TF_kfq& k) {
        if (k.Table1->FieldByName("QA01")->AsString() != oldKey) {
            ASSERT_TRUE(Press(k.ToolButton2));
        }
        ASSERT_EQ(k.Table1->FieldByName("QA01")->AsString(), oldKey);
        ASSERT_TRUE(TypeInto(k, "QA01", newKey));
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.lastCode, newKey);
        EXPECT_TRUE(k.cascadeEnabled);
        for (TTable* d : {k.Table2, k.Table5}) {
            EXPECT_TRUE(SameName(d->MasterFields(), "qa01"));
            EXPECT_FALSE(d->Filtered());
            EXPECT_FALSE(d->ConstraintsDisabled());
        }
        EXPECT_EQ(k.Table2->RecordCount(), 3);
        EXPECT_EQ(k.Table5->RecordCount(), 2);
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "QA01"}).size(), 2u);
    std::vector<std::string> products = Rows("kfq_2.db", {"ID", "QA01"});
    std::sort(products.begin(), products.end());
    std::vector<std::string> expected = {"2000010001|200001"};
    for (const char* s : {"0001", "0002", "0003"}) {
        expected.push_back(newKey + s + "|" + newKey);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(products, expected);
    std::vector<std::string> projects = Rows("kfq_5.db", {"Id", "Qa01"});
    std::sort(projects.begin(), projects.end());
    EXPECT_EQ(projects, (std::vector<std::string>{newKey + "0001|" + newKey, newKey + "0002|" + newKey}));
}

INSTANTIATE_TEST_SUITE_P(Keys, KfqCascade, ::testing::Values(
    Keys{"Digits", "100001", "100009"},
    Keys{"QuoteInTheOldKey", "10'01", "100009"},
    Keys{"QuoteInTheNewKey", "100001", "1'0'09"}),
    [](const auto& info) { return std::string(info.param.name); });

using KfqCascadeWindow = KfqTest;

TEST_F(KfqCascadeWindow, KeyTypedOnTheCoverIsStoredWhenTheProductsPageOpens)
{
    AddEnterprise("100001");
    AddProduct("100001", "0001");
    AddProduct("100001", "0002");
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(TypeInto(k, "QA01", "100005"));
        ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox1, 1));  // checking off: the store keeps it off
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        EXPECT_EQ(k.Table1->State(), TDataSetState::dsBrowse);
        EXPECT_EQ(k.Table2->RecordCount(), 2);
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号: 100005  当前记录: 1  总记录: 2  未修改");
        EXPECT_TRUE(k.Table2->ConstraintsDisabled());
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID"}), (std::vector<std::string>{"1000050001", "1000050002"}));
}

TEST_F(KfqCascadeWindow, NewEnterpriseStoredAndRenumberedTakesItsDetailsAlong)
{
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(Press(k.ToolButton5));
        ASSERT_TRUE(TypeInto(k, "QA01", "100001"));
        ASSERT_TRUE(Press(k.ToolButton7));
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(Press(k.ToolButton5));
        k.Table2->FieldByName("QE01")->SetAsString("0001");
        ASSERT_TRUE(Press(k.ToolButton7));
        ASSERT_TRUE(ShowPage(k, "TabSheet1"));
        ASSERT_TRUE(TypeInto(k, "QA01", "100002"));
        ASSERT_TRUE(Press(k.ToolButton7));
    });
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01"}), std::vector<std::string>{"1000020001|100002"});
}

// A stray product already holds the identity that the second moved row would get: the cascade fails there.
TEST_F(KfqCascadeWindow, FailingMidwayPutsEveryRowBack)
{
    AddEnterprise("100001");
    for (const char* s : {"0001", "0002", "0003"}) {
        AddProduct("100001", s);
    }
    AddProject("100001", "0001");
    AddRow("kfq_2.db", {{"ID", "1000090002"}, {"QA01", "999999"}, {"QE01", "0002"}});
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(TypeInto(k, "QA01", "100009"));
        ExpectError("产品数据错误:产品序号重复");
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_TRUE(k.cascadeEnabled);
        EXPECT_EQ(k.lastCode, "100001");
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100001");
        for (TTable* d : {k.Table2, k.Table5}) {
            EXPECT_TRUE(SameName(d->MasterFields(), "qa01"));
            EXPECT_FALSE(d->Filtered());
            EXPECT_FALSE(d->ConstraintsDisabled());
            EXPECT_EQ(d->State(), TDataSetState::dsBrowse);
        }
        EXPECT_EQ(k.Table2->RecordCount(), 3);
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "QA01"}), std::vector<std::string>{"100001|100001"});
    EXPECT_EQ(Rows("kfq_2.db", {"ID", "QA01"}), (std::vector<std::string>{"1000010001|100001", "1000010002|100001",
                                                                           "1000010003|100001",
                                                                           "1000090002|999999"}));
    EXPECT_EQ(Rows("kfq_5.db", {"Id", "Qa01"}), std::vector<std::string>{"1000010001|100001"});
}

}  // namespace
