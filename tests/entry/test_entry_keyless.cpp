// The shared entry behaviour in its smallest form, on a probe window: one table without a key, counting field
// or rule table, in one scroll box, with only "存盘", "取消修改" and "返回" and no status bar or page control.
// Stores turn empty numbers into 0 and write no identity; a failed store keeps the engine's message.
#include <gtest/gtest.h>

#include "EntryFixture.h"
#include "platform/db/TableFile.h"
#include "platform/ui/FormFactory.h"

namespace {

using entrytest::EntryTest;
using entrytest::Lines;

class TF_keyless : public TEntryWindow {
public:
    explicit TF_keyless(TComponent* owner);
};

TF_keyless* F_keyless = nullptr;

const char kProbeForm[] = R"(object F_keyless: TF_keyless
  Caption = 'probe'
  ClientHeight = 200
  ClientWidth = 400
  KeyPreview = True
  OnActivate = FormActivate
  OnClose = FormClose
  OnKeyPress = FormKeyPress
  object ScrollBox1: TScrollBox
    Align = alClient
    object DBEdit1: TDBEdit
      Left = 8
      Top = 8
      DataSource = DataSource1
      DataField = 'Name'
      TabOrder = 0
    end
    object DBEdit2: TDBEdit
      Left = 8
      Top = 40
      DataSource = DataSource1
      DataField = 'Num'
      TabOrder = 1
    end
  end
  object ToolBar1: TToolBar
    Align = alTop
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
  object Table1: TTable
    TableName = 'kl.db'
    BeforePost = Table1BeforePost
    AfterPost = Table1AfterPost
    OnPostError = Table1PostError
    AfterScroll = Table1AfterScroll
  end
  object DataSource1: TDataSource
    DataSet = Table1
    OnStateChange = DataSource1StateChange
  end
end
)";

TF_keyless::TF_keyless(TComponent* owner) : TEntryWindow(owner)
{
    LoadDescriptionText("TF_keyless", kProbeForm, "TF_keyless.form");
    TEntrySetup s;
    s.tables = {{.table = "Table1", .source = "DataSource1", .fileName = "kl.db", .errorPrefix = "数据错误:"}};
    s.coverPage = "ScrollBox1";
    Bind(std::move(s));
}

const ClassBuilder<TF_keyless> kProbeClass("TF_keyless", "TForm", [](ClassBuilder<TF_keyless>& c) {
    c.NotCreatable();
    RegisterEntryHandlers(c, {"Table1"}, {"DataSource1"}, {});
});

class EntryKeyless : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        using T = db::FieldType;
        db::TableSchema schema;
        schema.fields = {{"Name", T::String, 8, false}, {"Num", T::Float, 0, false}};
        // a primary index, so that a store can fail on it
        schema.indexes = {{"", {"Name"}, true, true, false}};
        db::CreateTableFile("kl.db", schema, {});
        StartProgram();
        Application->CreateForm(&F_keyless);
    }
    void TearDown() override
    {
        Application->DestroyForm(F_keyless);
        F_keyless = nullptr;
        EntryTest::TearDown();
    }
};

TEST_F(EntryKeyless, StoresWithZerosAndNoIdentityAndKeepsTheEnginesMessage)
{
    LocatePending = true;  // left over from a jump to another window: a window without a key is not positioned
    LocateField = "code";
    LocateValue = "X";
    InProbe<TF_keyless>(F_keyless, [&](TF_keyless& w) {
        EXPECT_EQ(w.StatusBar1, nullptr);
        EXPECT_EQ(w.ToolButton6, nullptr);
        ASSERT_TRUE(TypeInto(w, "Name", "乙"));  // starts the first record of the empty table
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.Source(0)->State(), TDataSetState::dsBrowse);
        w.Table(0)->Append();
        w.Table(0)->FieldByName("Name")->SetAsString("乙");
        User().ExpectMessageContaining(Application->Title, "数据错误:");
        ASSERT_TRUE(Press(w.ToolButton7));
        EXPECT_EQ(w.Source(0)->State(), TDataSetState::dsInsert);  // left for correction
        w.Table(0)->Cancel();
    });
    LocatePending = false;
    EXPECT_EQ(Rows("kl.db", {"Name", "Num"}), (Lines{"乙|0"}));
}

}  // namespace
