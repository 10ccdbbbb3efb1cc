// The list boxes (items, selection, the user's clicks and double-clicks on the viewport), the check box, the
// splitter between aligned controls and the screen font list.
#include <gtest/gtest.h>

#include <QFontDatabase>

#include "platform/ui/CheckBox.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/Memo.h"
#include "platform/ui/ProbeWindow.h"
#include "platform/ui/Splitter.h"
#include "support/ScriptedTest.h"

namespace {

const char* kLists =
    "  Font.Name = '宋体'\n"
    "  Font.Height = -12\n"
    "  ClientWidth = 400\n"
    "  ClientHeight = 300\n"
    "  object ListBox1: TListBox\n    Left = 0\n    Top = 0\n    Width = 120\n    Height = 100\n"
    "    Items.Strings = (\n      '+'\n      '-'\n      'like ''%匹配字符%''')\n"
    "    OnClick = Clicked\n    OnDblClick = DoubleClicked\n  end\n"
    "  object CheckListBox1: TCheckListBox\n    Left = 130\n    Top = 0\n    Width = 120\n    Height = 100\n"
    "    OnClick = Clicked\n    OnDblClick = DoubleClicked\n    OnClickCheck = Changed\n  end\n"
    "  object CheckBox1: TCheckBox\n    Left = 260\n    Top = 0\n    Caption = '固定左列'\n    Checked = True\n"
    "    OnClick = Clicked\n  end\n"
    "  object Panel1: TPanel\n    Left = 0\n    Top = 110\n    Width = 400\n    Height = 190\n"
    "    object Memo0: TMemo\n      Align = alClient\n    end\n"
    "    object Splitter1: TSplitter\n      Top = 100\n      Height = 3\n      Align = alBottom\n      MinSize = 20\n"
    "    end\n"
    "    object Memo1: TMemo\n      Top = 103\n      Height = 38\n      Align = alBottom\n    end\n"
    "    object Memo2: TMemo\n      Top = 141\n      Height = 49\n      Align = alBottom\n    end\n"
    "  end\n";

class Lists : public testsupport::ScriptedTest {
protected:
    void SetUp() override
    {
        ScriptedTest::SetUp();
        Application->CreateForm(&f_);
        f_->Load(kLists);
        f_->Show();
    }
    TF_probe* f_ = nullptr;
};

TEST_F(Lists, CodeChangesAreSilentAndTheUsersClicksOnTheViewportAreTold)
{
    TF_probe& f = *f_;
    auto* lb = f.Get<TListBox>("ListBox1");
    auto* clb = f.Get<TCheckListBox>("CheckListBox1");
    auto* cb = f.Get<TCheckBox>("CheckBox1");
    EXPECT_EQ(lb->Items(), (std::vector<std::string>{"+", "-", "like '%匹配字符%'"}));
    EXPECT_TRUE(cb->Checked());
    struct Step {
        std::function<void()> act;
        std::vector<std::string> logged;
    };
    const Step steps[] = {
        {[&] { lb->SetItemIndex(1); }, {}},
        {[&] { EXPECT_EQ(lb->Add("<>"), 3); }, {}},
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*lb, 3)); }, {"click ListBox1"}},
        {[&] { EXPECT_TRUE(TScriptedUser::DblClick(*lb)); }, {"click ListBox1", "dblclick ListBox1"}},
        {[&] { EXPECT_FALSE(TScriptedUser::Choose(*lb, 9)); }, {}},
        {[&] { lb->Delete(0); }, {}},
        {[&] { EXPECT_EQ(clb->Add("企业名称"), 0); EXPECT_EQ(clb->Add("所在高新区"), 1); }, {}},
        {[&] { clb->SetChecked(1, true); }, {}},
        {[&] { clb->ToggleItem(0); }, {"change CheckListBox1"}},
        // A double-click on the text does not tick: the window's handler decides.
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*clb, 1)); EXPECT_TRUE(TScriptedUser::DblClick(*clb)); },
         {"click CheckListBox1", "click CheckListBox1", "dblclick CheckListBox1"}},
        {[&] { clb->Delete(0); }, {}},
        {[&] { cb->SetChecked(false); }, {}},
        {[&] { EXPECT_TRUE(TScriptedUser::Press(*cb)); }, {"click CheckBox1"}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        f.log.clear();
        steps[i].act();
        EXPECT_EQ(f.log, steps[i].logged) << "step " << i;
    }
    EXPECT_EQ(lb->Items(), (std::vector<std::string>{"-", "like '%匹配字符%'", "<>"}));
    EXPECT_EQ(lb->ItemIndex(), 2);
    EXPECT_EQ(lb->IndexOf("<>"), 2);
    EXPECT_EQ(clb->Items(), std::vector<std::string>{"所在高新区"});
    EXPECT_TRUE(clb->Checked(0));
    EXPECT_TRUE(cb->Checked());
    // A disabled list takes no clicks.
    lb->SetEnabled(false);
    f.log.clear();
    EXPECT_FALSE(TScriptedUser::DblClick(*lb));
    EXPECT_TRUE(f.log.empty());
}

TEST_F(Lists, SplitterResizesTheControlBelowWithinTheMinimumSizes)
{
    auto* split = f_->Get<TSplitter>("Splitter1");
    auto* memo0 = f_->Get<TMemo>("Memo0");
    auto* memo1 = f_->Get<TMemo>("Memo1");
    auto* memo2 = f_->Get<TMemo>("Memo2");
    ASSERT_EQ(memo1->Height(), 38);
    const struct {
        int drag, moved, memo1Height;
    } cases[] = {{-30, -30, 68}, {10, 10, 58}, {100, 38, 20}, {-500, -98, 118}};
    for (const auto& c : cases) {
        EXPECT_EQ(split->DragBy(c.drag), c.moved) << c.drag;
        EXPECT_EQ(memo1->Height(), c.memo1Height) << c.drag;
        // The stack stays closed: client, bar, memo, bottom memo.
        EXPECT_EQ(memo0->Top() + memo0->Height(), split->Top());
        EXPECT_EQ(split->Top() + split->Height(), memo1->Top());
        EXPECT_EQ(memo1->Top() + memo1->Height(), memo2->Top());
        EXPECT_GE(memo0->Height(), 20);
    }
}

TEST(ScreenFontList, SongtiFirstThenInstalledFamilies)
{
    Application->Initialize();
    const std::vector<std::string> fonts = ScreenFonts();
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts.front(), "宋体");
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), "宋体"), 1);
    // The Chinese face is offered under its system name only.
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), MapFontFamily("宋体")), 0);
    for (std::size_t i = 1; i < fonts.size(); ++i) {
        EXPECT_TRUE(QFontDatabase::hasFamily(QString::fromStdString(fonts[i]))) << fonts[i];
    }
}

}  // namespace
