// The shared entry behaviour on three levels, on a probe window: bases, their enterprises (a page of edit
// fields) and the enterprises' products (one grid), linked by "Code" and "Code;Code2". Key cascades from either
// level, typed-over keys stored on a page change, deletes of the rows below, the guards and store texts per
// level, and the locate at activation with a second value.
#include <gtest/gtest.h>

#include <algorithm>

#include "EntryFixture.h"
#include "platform/db/TableFile.h"
#include "platform/ui/FormFactory.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

class TF_levels : public TEntryWindow {
public:
    explicit TF_levels(TComponent* owner);
};

TF_levels* F_levels = nullptr;

const char kProbeForm[] = R"(object F_levels: TF_levels
  Caption = 'probe'
  ClientHeight = 400
  ClientWidth = 640
  KeyPreview = True
  OnActivate = FormActivate
  OnClose = FormClose
  OnKeyPress = FormKeyPress
  object PageControl1: TPageControl
    Align = alClient
    OnChange = PageControl1Change
    object TabSheet1: TTabSheet
      Caption = 'base'
      object DBEdit100: TDBEdit
        Left = 8
        Top = 8
        DataSource = DataSource1
        DataField = 'Code'
      end
      object DBEdit101: TDBEdit
        Left = 8
        Top = 40
        DataSource = DataSource1
        DataField = 'Name'
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'enterprise'
      object DBEdit149: TDBEdit
        Left = 8
        Top = 8
        DataSource = DataSource2
        DataField = 'Code2'
      end
      object DBEdit150: TDBEdit
        Left = 8
        Top = 40
        DataSource = DataSource2
        DataField = 'Name'
      end
    end
    object TabSheet3: TTabSheet
      Caption = 'products'
      object ComboBox2: TComboBox
        Style = csDropDownList
        Items.Strings = (
          '当前企业记录'
          '所有企业记录')
        ItemIndex = 0
        OnChange = ComboBox2Change
      end
      object DBGrid1: TDBGrid
        Top = 30
        Width = 600
        Height = 200
        DataSource = DataSource3
        object DBGrid1Column1: TColumn
          FieldName = 'Code3'
        end
        object DBGrid1Column2: TColumn
          FieldName = 'Name'
        end
      end
    end
  end
  object ToolBar1: TToolBar
    Align = alBottom
    object ToolButton1: TToolButton
      OnClick = ToolButton1Click
    end
    object ToolButton2: TToolButton
      OnClick = ToolButton2Click
    end
    object ToolButton5: TToolButton
      OnClick = ToolButton5Click
    end
    object ToolButton6: TToolButton
      OnClick = ToolButton6Click
    end
    object ToolButton7: TToolButton
      OnClick = ToolButton7Click
    end
    object ToolButton8: TToolButton
      OnClick = ToolButton8Click
    end
    object ToolButton10: TToolButton
      OnClick = ToolButton10Click
    end
  end
  object StatusBar1: TStatusBar
    Align = alBottom
    SimplePanel = True
    OnDblClick = StatusBar1DblClick
  end
  object Table1: TTable
    TableName = 'pb.db'
    IndexFieldNames = 'Id'
    BeforePost = Table1BeforePost
    AfterPost = Table1AfterPost
    OnPostError = Table1PostError
    AfterScroll = Table1AfterScroll
  end
  object Table2: TTable
    TableName = 'pbqy.db'
    IndexName = 'pbqy'
    MasterSource = DataSource1
    MasterFields = 'Code'
    BeforePost = Table2BeforePost
    AfterPost = Table2AfterPost
    OnPostError = Table2PostError
    AfterScroll = Table2AfterScroll
  end
  object Table3: TTable
    TableName = 'pbcp.db'
    IndexName = 'pbcp'
    MasterSource = DataSource2
    MasterFields = 'Code;Code2'
    BeforePost = Table3BeforePost
    AfterPost = Table3AfterPost
    OnPostError = Table3PostError
    AfterScroll = Table3AfterScroll
  end
  object DataSource1: TDataSource
    DataSet = Table1
    OnStateChange = DataSource1StateChange
  end
  object DataSource2: TDataSource
    DataSet = Table2
    OnStateChange = DataSource2StateChange
  end
  object DataSource3: TDataSource
    DataSet = Table3
    OnStateChange = DataSource3StateChange
  end
end
)";

TF_levels::TF_levels(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescriptionText("TF_levels", kProbeForm, "TF_levels.form");
    TEntrySetup s;
    s.tables = {
        {.table = "Table1", .source = "DataSource1", .fileName = "pb.db", .ruleTable = "pb_chk",
         .countingField = "pb_one", .keyFields = "Code", .index = "pb", .keyEdit = "DBEdit100",
         .duplicateText = "编号重复", .errorPrefix = "数据错误:"},
        {.table = "Table2", .source = "DataSource2", .fileName = "pbqy.db", .ruleTable = "pbqy_chk",
         .countingField = "pbqy_one", .keyFields = "Code;Code2", .master = 0, .index = "pbqy",
         .keyEdit = "DBEdit149", .noSerialText = "企业编号不能为空", .noMasterKeyText = "基地编号不能为空",
         .enterKeyFirstText = "请先填入基地编号", .duplicateText = "企业编号重复", .errorPrefix = "数据错误:"},
        {.table = "Table3", .source = "DataSource3", .fileName = "pbcp.db", .ruleTable = "pbcp_chk",
         .countingField = "pbcp_one", .keyFields = "Code;Code2;Code3", .master = 1, .index = "pbcp",
         .noSerialText = "产品序号不能为空", .noMasterKeyText = "基地编号或企业编号不能为空",
         .enterKeyFirstText = "请先填入基地编号或者企业编号", .duplicateText = "产品序号重复",
         .errorPrefix = "数据错误:"},
    };
    s.detailPages = {{"TabSheet2", 1, "", "", ""}, {"TabSheet3", 2, "DBGrid1", "", "ComboBox2"}};
    s.coverPage = "TabSheet1";
    s.sendListStatement = "delete from sendname.db where name='pb.db'";
    s.statusKeyLabel = "报表编号";
    s.statusBlank = true;
    s.locateDetail = 1;
    Bind(std::move(s));
}

const ClassBuilder<TF_levels> kProbeClass("TF_levels", "TForm", [](ClassBuilder<TF_levels>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1", "Table2", "Table3"}, {"DataSource1", "DataSource2", "DataSource3"},
                          {"ComboBox2"});
});

class EntryLevels : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        using T = db::FieldType;
        auto f = [](const char* n, T t, int size = 0) { return db::FieldDesc{n, t, size, false}; };
        auto key = [](const char* n, std::vector<std::string> fields) {
            return db::IndexDesc{n, std::move(fields), false, false, true};
        };
        const db::IndexDesc primary{"", {"Id"}, true, true, false};
        db::TableSchema base, ent, prod, rules;
        base.fields = {f("Id", T::String, 7), f("Code", T::String, 4), f("Name", T::String, 20),
                       f("pb_one", T::Smallint), f("Num", T::Float)};
        base.indexes = {primary, key("pb", {"Code"})};
        ent.fields = {f("Id", T::String, 11), f("Code", T::String, 4), f("Code2", T::String, 4),
                      f("Name", T::String, 20), f("pbqy_one", T::Smallint)};
        ent.indexes = {primary, key("pbqy", {"Code", "Code2"})};
        prod.fields = {f("Id", T::String, 15), f("Code", T::String, 4), f("Code2", T::String, 4),
                       f("Code3", T::String, 4), f("Name", T::String, 20), f("pbcp_one", T::Smallint)};
        prod.indexes = {primary, key("pbcp", {"Code", "Code2", "Code3"})};
        for (const char* n : {"status", "field_value", "field_text", "field_mask", "field_name"}) {
            rules.fields.push_back(f(n, T::String, 100));
        }
        db::CreateTableFile("pb.db", base, {});
        db::CreateTableFile("pbqy.db", ent, {});
        db::CreateTableFile("pbcp.db", prod, {});
        for (const char* r : {"pb_chk.db", "pbqy_chk.db", "pbcp_chk.db"}) {
            db::CreateTableFile(r, rules, {});
        }
        StartProgram();
        Application->CreateForm(&F_levels);
    }
    void TearDown() override
    {
        Application->DestroyForm(F_levels);
        F_levels = nullptr;
        EntryTest::TearDown();
    }

    static void AddBase(const std::string& code) { AddRow("pb.db", {{"Id", code}, {"Code", code}, {"Name", "基地" + code}}); }
    static void AddEnterprise(const std::string& code, const std::string& code2)
    {
        AddRow("pbqy.db", {{"Id", code + code2}, {"Code", code}, {"Code2", code2}, {"Name", "企业" + code2}});
    }
    static void AddProduct(const std::string& code, const std::string& code2, const std::string& code3)
    {
        AddRow("pbcp.db", {{"Id", code + code2 + code3}, {"Code", code}, {"Code2", code2}, {"Code3", code3}});
    }
    // Two bases; the first has enterprises E1 (two products) and E2 (one), the second E1 (one).
    static void Arrange(const std::string& b1)
    {
        AddBase(b1);
        AddBase("B2");
        AddEnterprise(b1, "E1");
        AddEnterprise(b1, "E2");
        AddEnterprise("B2", "E1");
        AddProduct(b1, "E1", "P1");
        AddProduct(b1, "E1", "P2");
        AddProduct(b1, "E2", "P1");
        AddProduct("B2", "E1", "P1");
    }
    static Lines Sorted(Lines rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    void InLevels(const std::function<void(TF_levels&)>& act) { InProbe<TF_levels>(F_levels, act); }
};

struct CascadeCase {
    const char* name;
    const char* base;  // the first base's code
    // how the user changes a key: the base's code on the first page or the first enterprise's on its page, stored
    // with "存盘" or by going on to the products page
    bool enterprise;
    bool byPageChange;
    Lines enterprises, products;  // Id|Code|Code2(|Code3) afterwards
};
void PrintTo(const CascadeCase& c, std::ostream* os) { *os << c.name; }

class EntryCascade : public EntryLevels, public testing::WithParamInterface<CascadeCase> {};

TEST_P(EntryCascade, MovesTheRowsBelowTheChangedKeyWithNewIds)
{
    const CascadeCase& c = GetParam();
    Arrange(c.base);
    InLevels([&](TF_levels& w) {
        if (c.enterprise) {
            ASSERT_TRUE(ShowPage(w, "TabSheet2"));
            ASSERT_TRUE(TypeInto(w, "Code2", "E9", w.Source(1)));
        } else {
            ASSERT_TRUE(TypeInto(w, "Code", "B9", w.Source(0)));
        }
        if (c.byPageChange) {
            ASSERT_TRUE(ShowPage(w, "TabSheet3"));
        } else {
            ASSERT_TRUE(Press(w.ToolButton7));
        }
        EXPECT_EQ(c.enterprise ? w.lastCode2 : w.lastCode, c.enterprise ? "E9" : "B9");
        EXPECT_TRUE(w.cascadeEnabled);
        for (int d : {1, 2}) {
            EXPECT_FALSE(w.Table(d)->Filtered());
            EXPECT_FALSE(w.Table(d)->ConstraintsDisabled());
        }
        EXPECT_EQ(w.Table(1)->MasterFields(), "Code");
        EXPECT_EQ(w.Table(2)->MasterFields(), "Code;Code2");
    });
    EXPECT_EQ(Sorted(Rows("pbqy.db", {"Id", "Code", "Code2"})), c.enterprises);
    EXPECT_EQ(Sorted(Rows("pbcp.db", {"Id", "Code", "Code2", "Code3"})), c.products);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EntryCascade,
    testing::Values(
        CascadeCase{"BaseStored", "B1", false, false,
                    {"B2E1|B2|E1", "B9E1|B9|E1", "B9E2|B9|E2"},
                    {"B2E1P1|B2|E1|P1", "B9E1P1|B9|E1|P1", "B9E1P2|B9|E1|P2", "B9E2P1|B9|E2|P1"}},
        CascadeCase{"BaseWithAQuoteByPageChange", "B'1", false, true,
                    {"B2E1|B2|E1", "B9E1|B9|E1", "B9E2|B9|E2"},
                    {"B2E1P1|B2|E1|P1", "B9E1P1|B9|E1|P1", "B9E1P2|B9|E1|P2", "B9E2P1|B9|E2|P1"}},
        CascadeCase{"EnterpriseStored", "B1", true, false,
                    {"B1E2|B1|E2", "B1E9|B1|E9", "B2E1|B2|E1"},
                    {"B1E2P1|B1|E2|P1", "B1E9P1|B1|E9|P1", "B1E9P2|B1|E9|P2", "B2E1P1|B2|E1|P1"}},
        CascadeCase{"EnterpriseWithAQuoteByPageChange", "B'1", true, true,
                    {"B'1E2|B'1|E2", "B'1E9|B'1|E9", "B2E1|B2|E1"},
                    {"B'1E2P1|B'1|E2|P1", "B'1E9P1|B'1|E9|P1", "B'1E9P2|B'1|E9|P2", "B2E1P1|B2|E1|P1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryLevels, DeleteTakesTheRowsBelowTheRecordOnly)
{
    Arrange("B1");
    InLevels([&](TF_levels& w) {
        // the enterprise E1 of B1 and its two products
        ASSERT_TRUE(ShowPage(w, "TabSheet2"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
        EXPECT_EQ(w.Table(1)->FieldByName("Code2")->AsString(), "E2");
    });
    EXPECT_EQ(Sorted(Rows("pbqy.db", {"Id"})), (Lines{"B1E2", "B2E1"}));
    EXPECT_EQ(Sorted(Rows("pbcp.db", {"Id"})), (Lines{"B1E2P1", "B2E1P1"}));
    InLevels([&](TF_levels& w) {
        // the base B1 with what is left below it, also while the products page showed every enterprise's
        ASSERT_TRUE(ShowPage(w, "TabSheet3"));
        ASSERT_TRUE(TScriptedUser::Choose(*w.Get<TComboBox>("ComboBox2"), 1));
        ASSERT_TRUE(ShowPage(w, "TabSheet1"));
        Expect("提示", "是否删除当前记录", IDYES);
        ASSERT_TRUE(Press(w.ToolButton6));
    });
    EXPECT_EQ(Rows("pb.db", {"Id"}), Lines{"B2"});
    EXPECT_EQ(Rows("pbqy.db", {"Id"}), Lines{"B2E1"});
    EXPECT_EQ(Rows("pbcp.db", {"Id"}), Lines{"B2E1P1"});
}

// Each level names the key that is missing: a row started while a key edit above is empty is cancelled with
// the table's own text, a row stored without its own key is refused with its own text.
struct MissingKeyCase {
    const char* name;
    std::function<void(TF_levels&)> act;
    const char* caption;
    const char* text;
};
void PrintTo(const MissingKeyCase& c, std::ostream* os) { *os << c.name; }

class EntryMissingKey : public EntryLevels, public testing::WithParamInterface<MissingKeyCase> {};

TEST_P(EntryMissingKey, IsNamedByTheTablesOwnText)
{
    Arrange("B1");
    AddBase("B3");  // without enterprises
    InLevels([&](TF_levels& w) {
        Expect(GetParam().caption, GetParam().text);
        GetParam().act(w);
        EXPECT_EQ(Page(w), GetParam().caption == std::string("提示窗口") ? "TabSheet1" : Page(w));
    });
    EXPECT_EQ(Rows("pbqy.db", {"Id"}).size(), 3u);
    EXPECT_EQ(Rows("pbcp.db", {"Id"}).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, EntryMissingKey,
    testing::Values(
        MissingKeyCase{"EnterpriseUnderANewBase",
                       [](TF_levels& w) {
                           EntryLevels::Press(w.ToolButton5);
                           EntryLevels::ShowPage(w, "TabSheet2");
                           EntryLevels::Press(w.ToolButton5);
                           w.Table(0)->Cancel();
                       },
                       "提示窗口", "请先填入基地编号"},
        MissingKeyCase{"ProductUnderAnEmptyBase",
                       [](TF_levels& w) {
                           EntryLevels::Press(w.ToolButton2);
                           EntryLevels::Press(w.ToolButton2);  // B3, no enterprise
                           EntryLevels::ShowPage(w, "TabSheet3");
                           EntryLevels::Press(w.ToolButton5);
                       },
                       "提示窗口", "请先填入基地编号或者企业编号"},
        MissingKeyCase{"EnterpriseWithoutItsCode",
                       [](TF_levels& w) {
                           EntryLevels::ShowPage(w, "TabSheet2");
                           EntryLevels::Press(w.ToolButton5);
                           EntryLevels::TypeInto(w, "Name", "新企业", w.Source(1));
                           EntryLevels::Press(w.ToolButton7);
                           w.Table(1)->Cancel();
                       },
                       "错误窗口", "企业编号不能为空"},
        MissingKeyCase{"ProductWithoutItsSerial",
                       [](TF_levels& w) {
                           EntryLevels::ShowPage(w, "TabSheet3");
                           EntryLevels::Press(w.ToolButton5);
                           w.Table(2)->FieldByName("Name")->SetAsString("新产品");
                           EntryLevels::Press(w.ToolButton7);
                           w.Table(2)->Cancel();
                       },
                       "错误窗口", "产品序号不能为空"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryLevels, ANewProductTakesTheWholeKeyOfItsEnterprise)
{
    Arrange("B1");
    InLevels([&](TF_levels& w) {
        ASSERT_TRUE(ShowPage(w, "TabSheet2"));
        ASSERT_TRUE(Press(w.ToolButton2));  // E2
        ASSERT_TRUE(ShowPage(w, "TabSheet3"));
        ASSERT_TRUE(Press(w.ToolButton5));
        w.Table(2)->FieldByName("Code3")->SetAsString("P7");
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.StatusBar1->SimpleText(), "报表编号: B1  当前记录: 2  总记录: 2  未修改");
    });
    EXPECT_EQ(Rows("pbcp.db", {"Id", "Code", "Code2", "Code3", "pbcp_one"})[3], "B1E2P7|B1|E2|P7|1");
}

// The check's jump: the base on its key index, the enterprise by the second value on its own page; the master
// gets its own order back and the second value is used up. A second value that no enterprise has leaves the
// base's first enterprise current. A faulty field that only the products hold shows the enterprise's products;
// one that both lists hold keeps to the enterprise.
struct LocateCase {
    const char* value2;
    const char* fault;
    const char* page;
    const char* enterprise;
};

TEST_F(EntryLevels, LocateAtActivationPositionsBaseAndEnterprise)
{
    Arrange("B1");
    AddEnterprise("B2", "E5");
    AddProduct("B2", "E5", "P3");
    const LocateCase cases[] = {{"E5", "", "TabSheet2", "E5"},     {"E7", "", "TabSheet2", "E1"},
                                {"", "", "TabSheet1", "E1"},       {"E5", "code3", "TabSheet3", "E5"},
                                {"E5", "Name", "TabSheet2", "E5"}, {"", "code3", "TabSheet1", "E1"}};
    for (const LocateCase& c : cases) {
        const std::string name = std::string(c.value2) + "/" + c.fault;
        LocatePending = true;
        LocateField = "Code";
        LocateValue = "B2";
        LocateValue2 = c.value2;
        LocateFaultField = c.fault;
        InLevels([&](TF_levels& w) {
            EXPECT_EQ(Page(w), c.page) << name;
            const int shown = *c.value2 ? (*c.fault == 'c' ? 2 : 1) : 0;
            EXPECT_EQ(w.curTable, w.Table(shown)) << name;
            EXPECT_EQ(w.Table(0)->FieldByName("Code")->AsString(), "B2") << name;
            EXPECT_EQ(w.Table(1)->FieldByName("Code2")->AsString(), c.enterprise) << name;
            EXPECT_TRUE(SameName(w.Table(0)->IndexFieldNames(), "id")) << name;
            EXPECT_EQ(w.lastCode, "B2") << name;
            if (shown == 2) {
                EXPECT_EQ(w.Table(2)->FieldByName("Code3")->AsString(), "P3") << name;
            }
        });
        EXPECT_EQ(LocateValue2, "") << name;
    }
    LocateFaultField.clear();
}

}  // namespace
