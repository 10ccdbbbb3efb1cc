// The standard controls: which changes fire events (the user's) and which do not (the program's), captions
// with accelerators, fonts, pages, the tool bar and status bar, the progress bar and the field flow.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QApplication>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>

#include <deque>

#include "platform/ui/ComboBox.h"
#include "platform/ui/Containers.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FieldFlow.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/ProbeWindow.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/RadioButton.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ToolBar.h"
#include "support/ScriptedTest.h"

namespace {

const char* kControls =
    "  Font.Name = '宋体'\n"
    "  Font.Height = -14\n"
    "  Font.Charset = GB2312_CHARSET\n"
    "  ClientWidth = 600\n"
    "  ClientHeight = 400\n"
    "  object RadioGroup1: TRadioGroup\n    ItemIndex = 1\n    Columns = 2\n"
    "    Items.Strings = (\n      'a'\n      'b'\n      'c'\n      'd')\n    OnClick = Clicked\n  end\n"
    "  object ComboBox1: TComboBox\n    Style = csDropDownList\n    ItemIndex = 0\n"
    "    Items.Strings = (\n      '校验开启'\n      '校验关闭')\n    OnChange = Changed\n  end\n"
    "  object Edit1: TEdit\n    OnChange = Changed\n  end\n"
    "  object RadioButton1: TRadioButton\n    Caption = '记录号'\n    Checked = True\n    OnClick = Clicked\n  end\n"
    "  object RadioButton2: TRadioButton\n    Caption = '编号'\n    OnClick = Clicked\n  end\n"
    "  object PageControl1: TPageControl\n    Left = 0\n    Top = 100\n    Width = 400\n    Height = 200\n"
    "    ActivePage = TabSheet1\n    MultiLine = True\n    OnChange = Changed\n"
    "    object TabSheet1: TTabSheet\n      Caption = '封面'\n    end\n"
    "    object TabSheet2: TTabSheet\n      Caption = '企业概况'\n    end\n"
    "    object TabSheet3: TTabSheet\n      Caption = '经济概况'\n      TabVisible = False\n    end\n"
    "  end\n"
    "  object ToolBar1: TToolBar\n    Align = alBottom\n    Flat = True\n    ShowCaptions = True\n"
    "    object ToolButton2: TToolButton\n      Left = 60\n      Caption = '下一记录'\n      OnClick = Clicked\n    end\n"
    "    object ToolButton1: TToolButton\n      Left = 0\n      Caption = '上一记录'\n      OnClick = Clicked\n    end\n"
    "    object ComboBox2: TComboBox\n      Left = 200\n      Style = csDropDownList\n    end\n"
    "  end\n"
    "  object StatusBar1: TStatusBar\n    SimplePanel = True\n    OnDblClick = DoubleClicked\n  end\n";

class Controls : public testsupport::ScriptedTest {
protected:
    void SetUp() override
    {
        ScriptedTest::SetUp();
        Application->CreateForm(&f_);
        f_->Load(kControls);
        f_->Show();
    }
    TF_probe* f_ = nullptr;
};

TEST_F(Controls, ChangesMadeInCodeFireNoEventsAndTheUsersDo)
{
    TF_probe& f = *f_;
    auto* rg = f.Get<TRadioGroup>("RadioGroup1");
    auto* cb = f.Get<TComboBox>("ComboBox1");
    auto* pc = f.Get<TPageControl>("PageControl1");
    auto* rb1 = f.Get<TRadioButton>("RadioButton1");
    auto* rb2 = f.Get<TRadioButton>("RadioButton2");
    EXPECT_EQ(rg->ItemIndex(), 1);  // given before its items
    EXPECT_EQ(cb->ItemIndex(), 0);
    EXPECT_EQ(pc->ActivePage(), f.Get<TTabSheet>("TabSheet1"));
    f.log.clear();

    struct Step {
        std::function<void()> act;
        std::vector<std::string> logged;
    };
    const Step steps[] = {
        {[&] { rg->SetItemIndex(3); }, {}},
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*rg, 2)); }, {"click RadioGroup1"}},
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*rg, 2)); }, {}},
        {[&] { cb->SetItemIndex(1); }, {}},
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*cb, 0)); }, {"change ComboBox1"}},
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*cb, 0)); }, {"change ComboBox1"}},
        {[&] { pc->SetActivePage(f.Get<TTabSheet>("TabSheet2")); }, {}},
        {[&] { pc->SetActivePageIndex(0); }, {}},
        {[&] { EXPECT_TRUE(TScriptedUser::Choose(*pc, 1)); }, {"change PageControl1"}},
        {[&] { EXPECT_FALSE(TScriptedUser::Choose(*pc, 2)); }, {}},
        {[&] { f.Get<TTabSheet>("TabSheet2")->SetTabVisible(false); }, {}},
        {[&] { rb2->SetChecked(true); }, {}},
        {[&] { EXPECT_TRUE(TScriptedUser::Press(*rb1)); }, {"click RadioButton1"}},
        {[&] { f.Get<TEdit>("Edit1")->SetText("x"); }, {"change Edit1"}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        f.log.clear();
        steps[i].act();
        EXPECT_EQ(f.log, steps[i].logged) << "step " << i;
    }
    EXPECT_EQ(rg->ItemIndex(), 2);
    EXPECT_TRUE(rb1->Checked());
    EXPECT_FALSE(rb2->Checked());
}

std::vector<std::string> ShownCaptions(const TPageControl& pc)
{
    std::vector<std::string> out;
    for (const auto& t : pc.ShownTabs()) {
        out.push_back(t.page->Caption());
    }
    return out;
}

TEST_F(Controls, HiddenTabsKeepTheirPagesAndPlaces)
{
    auto* pc = f_->Get<TPageControl>("PageControl1");
    auto* t2 = f_->Get<TTabSheet>("TabSheet2");
    auto* t3 = f_->Get<TTabSheet>("TabSheet3");
    EXPECT_EQ(pc->PageCount(), 3);
    EXPECT_EQ(t3->PageIndex(), 2);
    EXPECT_FALSE(t3->TabVisible());
    EXPECT_EQ(ShownCaptions(*pc), (std::vector<std::string>{"封面", "企业概况"}));
    t3->SetTabVisible(true);
    EXPECT_EQ(ShownCaptions(*pc), (std::vector<std::string>{"封面", "企业概况", "经济概况"}));
    // Hiding the active tab hands the page over to the next shown one, without a change event.
    pc->SetActivePage(t2);
    f_->log.clear();
    t2->SetTabVisible(false);
    EXPECT_EQ(pc->ActivePage(), t3);
    EXPECT_TRUE(f_->log.empty());
}

TEST_F(Controls, MultiLineTabsWrapWithTheActiveRowNextToThePage)
{
    auto* pc = f_->Get<TPageControl>("PageControl1");
    for (int i = 0; i < pc->PageCount(); ++i) {
        pc->Pages(i)->SetTabVisible(true);
    }
    const int oneRow = pc->HeaderHeight();
    pc->SetWidth(150);  // too narrow for the three captions in one row
    const auto tabs = pc->ShownTabs();
    ASSERT_EQ(tabs.size(), 3u);
    EXPECT_GT(pc->HeaderHeight(), oneRow);
    for (const auto& t : tabs) {
        EXPECT_LE(t.rect.right(), 150) << t.page->Caption();
    }
    const auto rowOf = [&](const TTabSheet* page) {
        for (const auto& t : pc->ShownTabs()) {
            if (t.page == page) {
                return t.rect.top();
            }
        }
        return -1;
    };
    auto* first = pc->Pages(0);
    auto* last = pc->Pages(2);
    pc->SetActivePage(first);
    EXPECT_GT(rowOf(first), rowOf(last));
    pc->SetActivePage(last);
    EXPECT_GT(rowOf(last), rowOf(first));
    pc->SetMultiLine(false);
    EXPECT_EQ(pc->HeaderHeight(), oneRow);
}

TEST(LabelCaption, AcceleratorMarks)
{
    const std::pair<const char*, const char*> cases[] = {
        {"R&&D人员合计", "R&D人员合计"}, {"&File", "File"}, {"a&&b&c", "a&bc"}, {"&&&&", "&&"}, {"end&", "end"}, {"", ""}};
    for (const auto& [caption, shown] : cases) {
        EXPECT_EQ(TLabel::StripAccelerator(caption), shown) << caption;
    }
}

TEST_F(Controls, FontsResolveAgainstTheWindowAndMapTheChineseFamily)
{
    const QFontInfo edit(f_->Get<TEdit>("Edit1")->Widget()->font());
    EXPECT_EQ(edit.family().toStdString(), MapFontFamily("宋体"));
    EXPECT_NE(MapFontFamily("宋体"), "宋体");
    EXPECT_EQ(edit.pixelSize(), 14);
    EXPECT_EQ(MapFontFamily("Arial"), "Arial");
}

TEST_F(Controls, ToolBarLinesUpItsChildrenByLeftAndShowsCaptions)
{
    auto* bar = f_->Get<TToolBar>("ToolBar1");
    auto* b1 = f_->Get<TToolButton>("ToolButton1");
    auto* b2 = f_->Get<TToolButton>("ToolButton2");
    auto* combo = f_->Get<TComboBox>("ComboBox2");
    EXPECT_EQ(bar->Top() + bar->Height(), f_->ClientHeight() - f_->Get<TStatusBar>("StatusBar1")->Height());
    EXPECT_EQ(b1->Left(), 0);
    EXPECT_EQ(b2->Left(), b1->Width());
    EXPECT_EQ(combo->Left(), b2->Left() + b2->Width());
    EXPECT_GT(b1->Width(), 40);  // wide enough for "上一记录"
    f_->log.clear();
    EXPECT_TRUE(TScriptedUser::Press(*b2));
    b1->SetEnabled(false);
    EXPECT_FALSE(TScriptedUser::Press(*b1));
    EXPECT_EQ(f_->log, (std::vector<std::string>{"click ToolButton2"}));
}

TEST_F(Controls, StatusBarShowsItsSimpleTextAtTheBottomAndTakesDoubleClicks)
{
    auto* sb = f_->Get<TStatusBar>("StatusBar1");
    sb->SetSimpleText("报表编号: 1  当前记录: 1  总记录: 3  未修改");
    EXPECT_EQ(sb->SimpleText(), "报表编号: 1  当前记录: 1  总记录: 3  未修改");
    EXPECT_EQ(sb->Top() + sb->Height(), f_->ClientHeight());
    EXPECT_EQ(sb->Width(), f_->ClientWidth());
    f_->log.clear();
    TScriptedUser::DblClick(*sb);
    EXPECT_EQ(f_->log, (std::vector<std::string>{"dblclick StatusBar1"}));
}

// Contents taller than the scroll box and as wide as its view scroll downwards only: the room the vertical bar
// takes is not made up by a horizontal bar. A control that takes the focus is scrolled into view, as Enter
// moving on through the fields of a long page needs.
TEST_F(Controls, AScrollBoxScrollsDownwardsOnlyAndShowsTheFocusedControl)
{
    TF_probe* f = nullptr;
    Application->CreateForm(&f);
    f->Load("  ClientWidth = 300\n  ClientHeight = 200\n"
            "  object ScrollBox1: TScrollBox\n    Align = alClient\n"
            "    object Edit1: TEdit\n      Left = 0\n      Top = 0\n      Width = 250\n    end\n"
            "    object Edit2: TEdit\n      Left = 0\n      Top = 600\n      Width = 250\n    end\n"
            "  end\n");
    f->Show();
    QApplication::processEvents();
    auto* area = static_cast<QScrollArea*>(f->Get<TScrollBox>("ScrollBox1")->Widget());
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
    for (const char* name : {"Edit2", "Edit1"}) {
        auto* edit = f->Get<TEdit>(name);
        ASSERT_TRUE(TScriptedUser::Focus(*edit)) << name;
        const QRect shown = area->viewport()->rect();
        const QRect at(edit->Widget()->mapTo(area->viewport(), QPoint(0, 0)), edit->Widget()->size());
        EXPECT_TRUE(shown.contains(at)) << name;
    }
    Application->DestroyForm(f);
}

TEST(ProgressBarRange, AnEmptyRangeIsAnEmptyBarNotABusyOne)
{
    Application->Initialize();
    TProgressBar bar(nullptr);
    auto* q = static_cast<QProgressBar*>(bar.Widget());
    const struct {
        int min, max, position, shownMax, shownValue;
    } cases[] = {{0, 0, 5, 1, 0}, {0, 10, 5, 10, 5}, {0, 10, 50, 10, 10}, {3, 3, 0, 1, 0}};
    for (const auto& c : cases) {
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.position);
        EXPECT_EQ(q->maximum(), c.shownMax);
        EXPECT_EQ(q->value(), c.shownValue);
    }
}

TEST(FieldFlowLayout, PairsFillColumnsTopToBottom)
{
    Application->Initialize();
    auto* f = new TF_probe(nullptr);
    std::unique_ptr<TF_probe> owner(f);
    std::string body = "  ClientWidth = 600\n  ClientHeight = 300\n"
                       "  object Flow: TFieldFlow\n    Align = alClient\n    Columns = 2\n    RowHeight = 30\n"
                       "    LabelWidth = 100\n";
    for (int i = 1; i <= 5; ++i) {
        body += "    object Label" + std::to_string(i) + ": TLabel\n      Caption = '字段" + std::to_string(i) + "'\n    end\n";
        body += "    object Edit" + std::to_string(i) + ": TEdit\n    end\n";
    }
    body += "  end\n";
    f->Load(body);
    f->Get<TFieldFlow>("Flow")->Realign();
    // Five rows in two columns: three in the first, two in the second.
    const struct {
        const char* edit;
        int column, row;
    } cases[] = {{"Edit1", 0, 0}, {"Edit2", 0, 1}, {"Edit3", 0, 2}, {"Edit4", 1, 0}, {"Edit5", 1, 1}};
    const int columnWidth = (600 - 8) / 2;
    for (const auto& c : cases) {
        auto* e = f->Get<TEdit>(c.edit);
        EXPECT_EQ(e->Left(), 8 + c.column * columnWidth + 100 + 4) << c.edit;
        EXPECT_EQ(e->Top(), 8 + c.row * 30) << c.edit;
    }
    EXPECT_EQ(f->Get<TLabel>("Label4")->Left(), 8 + columnWidth);
}

// A label wider than LabelWidth widens its column's label width, so that no label runs under its field; a
// field without a label lines up with the fields above it.
TEST(FieldFlowLayout, WideLabelsWidenTheirColumnAndALoneFieldSitsUnderTheFields)
{
    Application->Initialize();
    auto* f = new TF_probe(nullptr);
    std::unique_ptr<TF_probe> owner(f);
    f->Load("  ClientWidth = 600\n  ClientHeight = 300\n  Font.Name = '宋体'\n  Font.Height = -14\n"
            "  object Flow: TFieldFlow\n    Align = alClient\n    Columns = 2\n    LabelWidth = 40\n"
            "    object Label1: TLabel\n      Caption = '其中：企业海外上市融资股本'\n    end\n"
            "    object Edit1: TEdit\n    end\n"
            "    object Edit2: TEdit\n    end\n"
            "    object Label3: TLabel\n      Caption = '短'\n    end\n"
            "    object Edit3: TEdit\n    end\n"
            "  end\n");
    f->Get<TFieldFlow>("Flow")->Realign();
    auto* wide = f->Get<TLabel>("Label1");
    auto* e1 = f->Get<TEdit>("Edit1");
    EXPECT_GT(wide->Width(), 40);
    EXPECT_EQ(e1->Left(), 8 + wide->Width() + 4);
    EXPECT_EQ(f->Get<TEdit>("Edit2")->Left(), e1->Left());
    EXPECT_EQ(f->Get<TEdit>("Edit2")->Top(), e1->Top() + 24);
    // the second column keeps its own, narrower labels
    EXPECT_EQ(f->Get<TEdit>("Edit3")->Left(), 8 + (600 - 8) / 2 + 40 + 4);
}

}  // namespace

namespace {

class ListControls : public testsupport::ScriptedTest {};

TEST_F(ListControls, FolderListBrowsesWithoutMovingTheCurrentFolder)
{
    std::filesystem::create_directories(Base() / "a" / "inner");
    std::filesystem::create_directories(Base() / "b");
    const auto before = std::filesystem::current_path();
    TDirectoryListBox dirs(nullptr);
    int changes = 0;
    dirs.OnChange = [&](TObject*) { ++changes; };
    dirs.SetDirectory(Base().string());
    EXPECT_EQ(changes, 0);
    const struct {
        const char* open;
        bool ok;
        std::filesystem::path now;
    } steps[] = {{"a", true, Base() / "a"}, {"inner", true, Base() / "a" / "inner"}, {"missing", false, Base() / "a" / "inner"},
                 {"..", true, Base() / "a"}};
    for (const auto& s : steps) {
        EXPECT_EQ(dirs.OpenFolder(s.open), s.ok) << s.open;
        EXPECT_EQ(dirs.Directory(), s.now.string()) << s.open;
    }
    EXPECT_EQ(changes, 3);
    // The path from the root down to the folder shown, then its subfolders, one indent step per level.
    const std::vector<std::string> items = dirs.Items();
    const std::string base = Base().filename().string();
    EXPECT_EQ(items, (std::vector<std::string>{"/", "  tmp", "    " + base, "      a", "        inner"}));
    EXPECT_TRUE(dirs.OpenFolder(Base().string()));
    EXPECT_EQ(dirs.Items().back(), "      b");
    EXPECT_EQ(std::filesystem::current_path(), before);
    dirs.SetDirectory("\\");
    EXPECT_EQ(dirs.Directory(), "/");
}

TEST_F(ListControls, CheckListTicksFromCodeAreSilentAndTheUsersAreNot)
{
    TCheckListBox list(nullptr);
    int clicks = 0;
    list.OnClickCheck = [&](TObject*) { ++clicks; };
    list.SetItems({"国家高新技术产业开发区企业统计报表", "国家级项目未统计原因", "省级高新技术产业开发区情况调查表"});
    list.SetChecked(1, true);
    EXPECT_EQ(clicks, 0);
    list.ToggleItem(2);
    list.ToggleItem(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(list.Checked(0));
    EXPECT_FALSE(list.Checked(1));
    EXPECT_TRUE(list.Checked(2));
    EXPECT_FALSE(list.Checked(7));
}

}  // namespace
