// Window behaviour the system relies on: activation fired by the framework, modal windows and their results,
// closing (refused, failing), key preview with a consumable key, tab order, and handler errors that never
// reach Qt's event loop.
#include <gtest/gtest.h>

#include <deque>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include "platform/ui/Button.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Edit.h"
#include "platform/ui/PageControl.h"
#include "support/ScriptedTest.h"
#include "ProbeTest.h"

namespace {

using FormBehaviour = ProbeTest;

const char* kTwoEdits =
    "  Caption = 'probe'\n"
    "  KeyPreview = True\n"
    "  OnActivate = Activated\n"
    "  OnKeyPress = KeyPressed\n"
    "  OnClose = Closing\n"
    "  object Edit2: TEdit\n    TabOrder = 1\n    OnEnter = Entered\n    OnExit = Exited\n  end\n"
    "  object Edit1: TEdit\n    TabOrder = 0\n    OnEnter = Entered\n    OnExit = Exited\n  end\n"
    "  object Hidden: TEdit\n    Visible = False\n    TabOrder = 2\n  end\n"
    "  object Button1: TButton\n    TabOrder = 3\n    OnClick = Clicked\n  end\n"
    "  object Broken: TButton\n    TabOrder = 4\n    TabStop = False\n    OnClick = Fails\n  end\n"
    "  object Quiet: TButton\n    TabOrder = 5\n    TabStop = False\n    OnClick = Aborts\n  end\n";

TEST_F(FormBehaviour, ActivationIsFiredOnShowAndWhenAModalChildCloses)
{
    TF_probe& parent = Make(kTwoEdits);
    TF_probe& child = Make("  OnActivate = Activated\n");
    parent.Show();
    parent.Show();  // already the active window: no second activation
    User().InModal("F_probe", [&](TForm& f) {
        EXPECT_EQ(&f, &child);
        EXPECT_EQ(Application->ActiveForm(), &child);
        f.Close();
    });
    User().ExpectMessage("提示", "message boxes do not activate windows");
    EXPECT_EQ(child.ShowModal(), mrCancel);
    Application->MessageBox("message boxes do not activate windows", "提示", MB_OK);
    const std::vector<std::string> activations = [&] {
        std::vector<std::string> out;
        for (const std::string& s : parent.log) {
            if (s.rfind("activate", 0) == 0) {
                out.push_back(s);
            }
        }
        return out;
    }();
    EXPECT_EQ(activations.size(), 2u);
    EXPECT_EQ(child.log, (std::vector<std::string>{"activate F_probe"}));
}

TEST_F(FormBehaviour, ModalResultOfAButtonClosesTheWindowWithIt)
{
    TF_probe& f = Make("  object Ok: TButton\n    ModalResult = mrOk\n    OnClick = Clicked\n  end\n");
    User().InModal("TF_probe", [](TForm& w) { TScriptedUser::Press(*w.Get<TButton>("Ok")); });
    EXPECT_EQ(f.ShowModal(), mrOk);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.log, (std::vector<std::string>{"click Ok"}));
}

TEST_F(FormBehaviour, ACloseRefusedOrFailingLeavesTheWindowOpen)
{
    TF_probe& f = Make(kTwoEdits);
    f.Show();
    f.refuseClose = true;
    f.Close();
    EXPECT_TRUE(f.Visible());
    f.refuseClose = false;
    f.failClose = true;
    User().ExpectMessage(Application->Title, "存盘失败");
    RunGuarded([&] { f.Close(); });
    EXPECT_TRUE(f.Visible());
    f.failClose = false;
    f.Close();
    EXPECT_FALSE(f.Visible());
}

TEST_F(FormBehaviour, AModalWindowWhoseCloseFailsStaysOpenUntilItCloses)
{
    TF_probe& f = Make(kTwoEdits);
    f.failClose = true;
    User().InModal("F_probe", [&](TForm& w) {
        User().ExpectMessage(Application->Title, "存盘失败");
        RunGuarded([&] { w.Close(); });
        EXPECT_FALSE(w.ModalDone());
        EXPECT_EQ(w.ModalResult(), mrNone);
        f.failClose = false;
        w.Close();
    });
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "close"), 2);
}

TEST_F(FormBehaviour, HandlerErrorsShowTheDefaultBoxAndAbortIsSilent)
{
    TF_probe& f = Make(kTwoEdits);
    f.Show();
    User().ExpectMessage(Application->Title, "Key violation.");
    EXPECT_TRUE(TScriptedUser::Press(*f.Get<TButton>("Broken")));
    EXPECT_TRUE(TScriptedUser::Press(*f.Get<TButton>("Quiet")));
    ASSERT_EQ(User().Messages().size(), 1u);
    EXPECT_EQ(User().Messages()[0].flags & 0xF, MB_OK);
    EXPECT_TRUE(f.Visible());
}

TEST_F(FormBehaviour, AnErrorOfAChangeMadeInCodeEndsTheHandlerThatMadeIt)
{
    TF_probe& f = Make("  object Edit1: TEdit\n    OnChange = Fails\n  end\n"
                       "  object Button1: TButton\n    OnClick = SetsEditText\n  end\n");
    f.Show();
    User().ExpectMessage(Application->Title, "Key violation.");
    EXPECT_TRUE(TScriptedUser::Press(*f.Get<TButton>("Button1")));
    EXPECT_EQ(f.log, (std::vector<std::string>{"before"}));
    // Typed by the user, the same change is an event of its own: the error is shown and nothing else stops.
    User().ExpectMessage(Application->Title, "Key violation.");
    TScriptedUser::Type(*f.Get<TEdit>("Edit1"), "y");
    EXPECT_EQ(f.Get<TEdit>("Edit1")->Text(), "y");
}

// A window whose activation fails as it is shown tells so once and closes again, its OnClose run, whether it is
// shown modally or not; an activation that aborts after its own message adds nothing to it.
struct FailedShowing {
    const char* name;
    const char* onActivate;
    bool modal;
    const char* message;  // nullptr: none from the framework
};
void PrintTo(const FailedShowing& c, std::ostream* os) { *os << c.name; }

class FormFailedShowing : public FormBehaviour, public testing::WithParamInterface<FailedShowing> {};

TEST_P(FormFailedShowing, ClosesTheWindowAfterOneMessage)
{
    const FailedShowing& c = GetParam();
    TF_probe& below = Make("  OnActivate = Activated\n");
    below.Show();
    TF_probe& f = Make(std::string("  Caption = '登记'\n  OnActivate = ") + c.onActivate +
                       "\n  OnClose = Closing\n  object Ok: TButton\n    ModalResult = mrOk\n  end\n");
    f.refuseClose = true;  // cannot keep it open
    if (c.message != nullptr) {
        User().ExpectMessage(Application->Title, c.message);
    }
    if (c.modal) {
        EXPECT_EQ(f.ShowModal(), mrCancel);
    } else {
        f.Show();
    }
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.log, std::vector<std::string>{"close"});
    EXPECT_EQ(Application->ActiveForm(), &below);
    EXPECT_EQ(std::count(below.log.begin(), below.log.end(), "activate F_probe"), 2);  // active again
}

INSTANTIATE_TEST_SUITE_P(Cases, FormFailedShowing, testing::Values(
    FailedShowing{"ModalError", "Fails", true, "无法打开窗口“登记”：Key violation."},
    FailedShowing{"ShownError", "Fails", false, "无法打开窗口“登记”：Key violation."},
    FailedShowing{"ModalAbort", "Aborts", true, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// Once shown, a window whose activation fails again (a modal child closed) shows the error and stays.
TEST_F(FormBehaviour, AFailingActivationOfAShownWindowShowsItsErrorAndTheWindowStays)
{
    TF_probe& f = Make("  OnActivate = Activated\n");
    TF_probe& child = Make("");
    f.Show();
    f.OnActivate = [&f](TObject* s) { f.Fails(s); };
    User().InModal("F_probe", [](TForm& w) { w.Close(); });
    User().ExpectMessage(Application->Title, "Key violation.");
    child.ShowModal();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(Application->ActiveForm(), &f);
}

TEST_F(FormBehaviour, KeyPreviewSeesKeysFirstAndAZeroKeyIsConsumed)
{
    TF_probe& f = Make(kTwoEdits);
    f.Show();
    auto* edit = f.Get<TEdit>("Edit1");
    f.consumeKey = 'x';
    TScriptedUser::Type(*edit, "axb");
    EXPECT_EQ(edit->Text(), "ab");
    f.consumeKey = '\r';
    f.log.clear();
    TScriptedUser::Key(*edit, Qt::Key_Return);
    EXPECT_EQ(f.log, (std::vector<std::string>{"key F_probe 13"}));
}

TEST_F(FormBehaviour, TabOrderSkipsHiddenDisabledAndNonStopControls)
{
    TF_probe& f = Make(kTwoEdits);
    f.Show();
    auto* e1 = f.Get<TEdit>("Edit1");
    auto* e2 = f.Get<TEdit>("Edit2");
    auto* b1 = f.Get<TButton>("Button1");
    EXPECT_EQ(f.ActiveControl(), e1);
    const std::pair<TControl*, TControl*> steps[] = {{e1, e2}, {e2, b1}, {b1, e1}};
    for (const auto& [from, to] : steps) {
        f.SelectNext(from, true, true);
        EXPECT_EQ(f.ActiveControl(), to) << from->Name();
    }
    e2->SetEnabled(false);
    f.SelectNext(e1, true, true);
    EXPECT_EQ(f.ActiveControl(), b1);
    f.SelectNext(b1, false, true);
    EXPECT_EQ(f.ActiveControl(), e1);
    // The Tab key walks the same order.
    e2->SetEnabled(true);
    TScriptedUser::Key(*e1, Qt::Key_Tab);
    EXPECT_EQ(f.ActiveControl(), e2);
    // Focus changes fire exit and enter of the controls concerned.
    EXPECT_NE(std::find(f.log.begin(), f.log.end(), "exit Edit1"), f.log.end());
    EXPECT_EQ(f.log.back(), "enter Edit2");
}

// The real dialogs and modal loops (no scripted user): a timer acts inside the loop as the user would.
class RealLoops : public FormBehaviour {
protected:
    void SetUp() override
    {
        FormBehaviour::SetUp();
        Application->SetUserAgent(nullptr);
    }
    void TearDown() override
    {
        Application->SetUserAgent(&User());
        FormBehaviour::TearDown();
    }
};

TEST_F(RealLoops, ModalWindowsRunTheirOwnLoopsUntilTheyClose)
{
    TF_probe& outer = Make("  OnActivate = Activated\n  object Ok: TButton\n    ModalResult = mrOk\n  end\n");
    TF_probe& inner = Make("  OnActivate = Activated\n");
    TModalResult innerResult = mrNone;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] { inner.Close(); });
        innerResult = inner.ShowModal();  // a loop inside the outer window's loop
        TScriptedUser::Press(*outer.Get<TButton>("Ok"));
    });
    EXPECT_EQ(outer.ShowModal(), mrOk);
    EXPECT_EQ(innerResult, mrCancel);
    EXPECT_FALSE(outer.Visible());
    EXPECT_FALSE(inner.Visible());
    // Shown, then uncovered when the inner window closed.
    EXPECT_EQ(std::count(outer.log.begin(), outer.log.end(), "activate F_probe"), 2);
}

TEST_F(RealLoops, MessageBoxesAnswerWithTheButtonPressedOrTheSafeAnswerWhenClosed)
{
    const struct {
        int flags;
        bool close;  // closed by its frame instead of a button
        int answer;
    } cases[] = {{MB_YESNO, true, IDNO}, {MB_OK, true, IDOK}, {MB_YESNO, false, IDYES}, {MB_OKCANCEL, true, IDCANCEL}};
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            if (c.close) {
                box->close();
            } else {
                box->buttons().front()->click();
            }
        });
        EXPECT_EQ(Application->MessageBox("是否删除当前记录", "提示", c.flags), c.answer) << c.flags;
    }
}

TEST_F(RealLoops, FileDialogsOfferTheFiltersAndReturnTheChosenFile)
{
    const std::string target = (Base() / "kfq_1.db").string();
    TSaveDialog save(nullptr);
    save.Filter = "*.db|*.db|*.dbf|*.dbf|*.txt|*.txt";
    save.FilterIndex = 2;
    save.Title = "数据转存";
    QStringList offered;
    QString selected;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle().toStdString(), "数据转存");
        offered = dlg->nameFilters();
        selected = dlg->selectedNameFilter();
        dlg->selectFile(QString::fromStdString(target));
        QMetaObject::invokeMethod(dlg, "accept");
    });
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, target);
    EXPECT_EQ(offered, (QStringList{"*.db (*.db)", "*.dbf (*.dbf)", "*.txt (*.txt)"}));
    EXPECT_EQ(selected, "*.dbf (*.dbf)");
    TOpenDialog open(nullptr);
    open.FileName = "keep";
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName, "keep");
}

TEST_F(FormBehaviour, TabOrderSkipsTheControlsOfPagesNotShown)
{
    TF_probe& f = Make("  object PageControl1: TPageControl\n    Width = 300\n    Height = 200\n    TabStop = False\n"
                       "    object TabSheet1: TTabSheet\n"
                       "      object Edit1: TEdit\n      end\n      object Edit2: TEdit\n      end\n    end\n"
                       "    object TabSheet2: TTabSheet\n"
                       "      object Edit3: TEdit\n      end\n    end\n  end\n"
                       "  object Button1: TButton\n  end\n");
    f.Show();
    auto* e2 = f.Get<TEdit>("Edit2");
    auto* e3 = f.Get<TEdit>("Edit3");
    EXPECT_FALSE(e3->Showing());
    f.SelectNext(e2, true, true);
    EXPECT_EQ(f.ActiveControl(), f.Get<TButton>("Button1"));
    auto* pc = f.Get<TPageControl>("PageControl1");
    pc->SetActivePage(f.Get<TTabSheet>("TabSheet2"));
    EXPECT_TRUE(e3->Showing());
    EXPECT_FALSE(e2->Showing());
    f.SelectNext(f.Get<TButton>("Button1"), true, true);
    EXPECT_EQ(f.ActiveControl(), e3);
}

TEST_F(FormBehaviour, CreateFormStoresTheWindowAndDestroyEmptiesTheVariable)
{
    TF_probe* first = nullptr;
    TF_probe* second = nullptr;
    Application->CreateForm(&first);
    Application->CreateForm(&second);
    EXPECT_EQ(first->Owner(), Application);
    EXPECT_EQ(Application->Forms().size(), 2u);
    Application->DestroyForm(first);
    EXPECT_EQ(first, nullptr);
    EXPECT_NE(second, nullptr);
    Application->DestroyForms();
    EXPECT_EQ(second, nullptr);
}

TEST_F(FormBehaviour, NarrowScreensAndCentring)
{
    const std::pair<int, int> screens[] = {{800, 600}, {1280, 1024}};
    for (const auto& [w, h] : screens) {
        Application->SetScreenSize(w, h);
        TF_probe& f = Make("  ClientWidth = 400\n  ClientHeight = 300\n  Position = poScreenCenter\n  BorderStyle = bsDialog\n");
        f.Show();
        EXPECT_EQ(Application->ScreenWidth(), w);
        EXPECT_EQ(f.Left(), (w - 406) / 2);
        EXPECT_EQ(f.Top(), (h - 325) / 2);
        EXPECT_EQ(f.Widget()->size(), QSize(400, 300));
    }
}

}  // namespace
