// Deleting and closing in the enterprise window: an enterprise goes with its own products and projects only,
// also while a detail page shows every enterprise; deleting a row that is being inserted only discards it;
// closing stores a pending edit, and a close after a delete packs the files. Enter walks the grid pairs.
#include <gtest/gtest.h>

#include <filesystem>

#include "KfqFixture.h"

namespace {

using entrytest::KfqTest;

using KfqDelete = KfqTest;

void ArrangeTwoEnterprises()
{
    KfqTest::AddEnterprise("100001");
    KfqTest::AddEnterprise("100002");
    for (const char* s : {"0001", "0002"}) {
        KfqTest::AddProduct("100001", s);
        KfqTest::AddProduct("100002", s);
        KfqTest::AddProject("100001", s);
        KfqTest::AddProject("100002", s);
    }
}

// Where the products page stands when the enterprise is deleted from the cover.
struct DeleteCase {
    const char* name;
    int productsView;  // item of ComboBox2 chosen before going back to the cover
};
void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class KfqDeleteEnterprise : public KfqTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(KfqDeleteEnterprise, RemovesOnlyItsOwnDetails)
{
    ArrangeTwoEnterprises();
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        if (GetParam().productsView == 1) {
            ASSERT_TRUE(TScriptedUser::Choose(*k.ComboBox2, 1));
            ASSERT_TRUE(ShowPage(k, "TabSheet2"));  // the cover links again; a master page does not
            EXPECT_EQ(k.Table2->MasterFields(), "");
        } else {
            ASSERT_TRUE(ShowPage(k, "TabSheet1"));
        }
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(k.ToolButton6));
        EXPECT_TRUE(TableDeleted);
        EXPECT_EQ(k.Table1->FieldByName("QA01")->AsString(), "100002");
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01"}), std::vector<std::string>{"100002"});
    EXPECT_EQ(Rows("kfq_2.db", {"ID"}), (std::vector<std::string>{"1000020001", "1000020002"}));
    EXPECT_EQ(Rows("kfq_5.db", {"Id"}), (std::vector<std::string>{"1000020001", "1000020002"}));
}

INSTANTIATE_TEST_SUITE_P(Views, KfqDeleteEnterprise, ::testing::Values(
    DeleteCase{"ProductsOfTheEnterprise", 0},
    DeleteCase{"ProductsOfAllEnterprises", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KfqDelete, LastEnterpriseGoneLeavesOnlyTheCover)
{
    AddEnterprise("100001");
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet4"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(k.ToolButton6));
        EXPECT_EQ(VisiblePages(k), std::vector<std::string>{"TabSheet1"});
        EXPECT_EQ(Page(k), "TabSheet1");
        EXPECT_EQ(k.StatusBar1->SimpleText(), "报表编号:   当前记录: 0  总记录: 0  未修改");
    });
    EXPECT_TRUE(Rows("kfq_1.db", {"QA01"}).empty());
}

TEST_F(KfqDelete, AnsweringNoKeepsEverything)
{
    ArrangeTwoEnterprises();
    InKfq([this](TF_kfq& k) {
        Expect("提示", "是否删除当前记录", IDNO);
        ASSERT_TRUE(Press(k.ToolButton6));
        EXPECT_FALSE(TableDeleted);
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01"}).size(), 2u);
    EXPECT_EQ(Rows("kfq_2.db", {"ID"}).size(), 4u);
}

// A new row is being inserted: "删除记录" discards it and deletes nothing stored.
struct InsertCase {
    const char* name;
    const char* page;
};
void PrintTo(const InsertCase& c, std::ostream* os) { *os << c.name; }

class KfqDeleteWhileInserting : public KfqTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(KfqDeleteWhileInserting, OnlyDiscardsTheNewRow)
{
    ArrangeTwoEnterprises();
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, GetParam().page));
        ASSERT_TRUE(Press(k.ToolButton5));
        ASSERT_EQ(k.curTable->State(), TDataSetState::dsInsert);
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(k.ToolButton6));
        EXPECT_EQ(k.curTable->State(), TDataSetState::dsBrowse);
        EXPECT_FALSE(TableDeleted);
    });
    EXPECT_EQ(Rows("kfq_1.db", {"QA01"}).size(), 2u);
    EXPECT_EQ(Rows("kfq_2.db", {"ID"}).size(), 4u);
    EXPECT_EQ(Rows("kfq_5.db", {"Id"}).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Pages, KfqDeleteWhileInserting, ::testing::Values(
    InsertCase{"Enterprise", "TabSheet1"},
    InsertCase{"Product", "TabSheet5"}),
    [](const auto& info) { return std::string(info.param.name); });

using KfqClose = KfqTest;

TEST_F(KfqClose, StoresAPendingEditAndClosesTheTables)
{
    AddEnterprise("100001");
    TF_kfq* window = nullptr;
    InKfq([&](TF_kfq& k) {
        window = &k;
        ASSERT_TRUE(TypeInto(k, "QA05", "北京市海淀区"));
        ASSERT_TRUE(ShowPage(k, "TabSheet9"));
        ASSERT_TRUE(Press(k.ToolButton5));
        k.Table5->FieldByName("Qh00")->SetAsString("0001");
    });
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->Table1->Active());
    EXPECT_FALSE(window->Table5->Active());
    EXPECT_EQ(Rows("kfq_1.db", {"QA05"}), std::vector<std::string>{"北京市海淀区"});
    EXPECT_EQ(Rows("kfq_5.db", {"Id", "Qh_one"}), std::vector<std::string>{"1000010001|1"});
}

TEST_F(KfqClose, AFailingStoreKeepsTheWindowOpen)
{
    AddEnterprise("100001");
    InKfq([this](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(Press(k.ToolButton5));
        k.Table2->FieldByName("QE02")->SetAsString("无序号");
        Expect("错误窗口", "产品编号不能为空");
        ASSERT_TRUE(Press(k.ToolButton10));
        EXPECT_FALSE(k.ModalDone());
        EXPECT_TRUE(k.Table1->Active());
        k.Table2->Cancel();
    });
    EXPECT_TRUE(Rows("kfq_2.db", {"ID"}).empty());
}

TEST_F(KfqClose, PacksEveryTableAfterADelete)
{
    AddEnterprise("100001");
    AddEnterprise("100002");
    {
        TTable t;
        t.SetTableName("kfq_2.db");
        t.Open();
        for (int i = 0; i < 400; ++i) {
            char serial[8];
            std::snprintf(serial, sizeof serial, "%04d", i);
            t.Append();
            t.FieldByName("ID")->SetAsString(std::string("100001") + serial);
            t.FieldByName("QA01")->SetAsString("100001");
            t.FieldByName("QE01")->SetAsString(serial);
            t.FieldByName("QE02")->SetAsString(std::string(50, 'x'));
            t.Post();
        }
    }
    const auto before = std::filesystem::file_size("kfq_2.db");
    InKfq([this](TF_kfq& k) {
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(k.ToolButton6));
    });
    EXPECT_TRUE(Rows("kfq_2.db", {"ID"}).empty());
    EXPECT_LT(std::filesystem::file_size("kfq_2.db"), before / 2);
}

using KfqEnter = KfqTest;

TEST_F(KfqEnter, LastColumnOfTheFirstGridGoesToTheFirstColumnOfTheSecond)
{
    AddEnterprise("100001");
    AddProduct("100001", "0001");
    InKfq([](TF_kfq& k) {
        ASSERT_TRUE(ShowPage(k, "TabSheet5"));
        ASSERT_TRUE(TScriptedUser::Focus(*k.DBGrid1));
        k.DBGrid1->SetSelectedIndex(k.DBGrid1->ColumnCount() - 2);
        ASSERT_TRUE(TScriptedUser::Key(*k.DBGrid1, Qt::Key_Return));
        EXPECT_EQ(k.DBGrid1->SelectedIndex(), k.DBGrid1->ColumnCount() - 1);
        k.DBGrid2->SetSelectedIndex(3);
        ASSERT_TRUE(TScriptedUser::Key(*k.DBGrid1, Qt::Key_Return));
        EXPECT_EQ(k.ActiveControl(), k.DBGrid2);
        EXPECT_EQ(k.DBGrid2->SelectedIndex(), 0);
        k.DBGrid2->SetSelectedIndex(k.DBGrid2->ColumnCount() - 1);
        ASSERT_TRUE(TScriptedUser::Key(*k.DBGrid2, Qt::Key_Return));
        EXPECT_EQ(k.ActiveControl(), k.DBGrid2);
        EXPECT_EQ(k.DBGrid2->SelectedIndex(), k.DBGrid2->ColumnCount() - 1);
        EXPECT_EQ(k.Table2->State(), TDataSetState::dsBrowse);
    });
}

TEST_F(KfqEnter, OutsideTheGridsMovesToTheNextControl)
{
    AddEnterprise("100001");
    InKfq([](TF_kfq& k) {
        TDBEdit* first = EditOf(k, "QA01");
        ASSERT_TRUE(TScriptedUser::Key(*first, Qt::Key_Return));
        EXPECT_EQ(k.ActiveControl(), EditOf(k, "QA02"));
    });
}

}  // namespace
