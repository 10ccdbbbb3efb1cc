// The scripted user: answers in order, records every message, and turns an unexpected question or a script
// that ran out into a failure that also closes every nested modal window.
#include <gtest/gtest.h>

#include <deque>

#include "platform/ui/Button.h"
#include "platform/ui/Dialogs.h"
#include "ProbeTest.h"
#include "support/ScriptedTest.h"

namespace {

using ScriptedUserTest = ProbeTest;

TEST_F(ScriptedUserTest, AnswersInOrderAndRecordsEveryMessage)
{
    User().ExpectMessage("提示", "是否删除当前记录", IDYES)
        .ExpectMessageContaining("错误窗口", "不能为空")
        .AnswerFile("/tmp/kfq_1.db", "请选择")
        .CancelFile()
        .AcceptFile();
    EXPECT_EQ(Application->MessageBox("是否删除当前记录", "提示", MB_YESNO), IDYES);
    EXPECT_EQ(Application->MessageBox("产品编号不能为空", "错误窗口", MB_OK | MB_ICONSTOP), IDOK);
    TOpenDialog dlg(nullptr);
    dlg.Title = "请选择";
    dlg.Filter = "kfq_1.dbf|kfq_1.db";
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName, "/tmp/kfq_1.db");
    dlg.FileName = "unchanged";
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.FileName, "unchanged");
    dlg.FileName = "/tmp/offered.dbf";
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName, "/tmp/offered.dbf");
    ASSERT_EQ(User().Messages().size(), 2u);
    EXPECT_EQ(User().Messages()[0].caption, "提示");
    EXPECT_EQ(User().Messages()[0].flags, MB_YESNO);
    EXPECT_EQ(User().Messages()[1].text, "产品编号不能为空");
    EXPECT_TRUE(User().ScriptDone());
}

struct Mismatch {
    const char* name;
    std::function<void(TScriptedUser&)> script;
    std::function<void()> program;
    const char* failure;
};
void PrintTo(const Mismatch& c, std::ostream* os) { *os << c.name; }

class ScriptedUserMismatch : public ScriptedUserTest, public testing::WithParamInterface<Mismatch> {};

TEST_P(ScriptedUserMismatch, FailsAndRefuses)
{
    const Mismatch& m = GetParam();
    std::vector<std::string> failures;
    User().OnFailure = [&](const std::string& what) { failures.push_back(what); };
    m.script(User());
    m.program();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find(m.failure), std::string::npos) << failures[0];
    EXPECT_TRUE(Application->ModalLoopsAborted());
    User().ClearScript();  // leftover steps are this test's own business
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptedUserMismatch,
    testing::Values(
        Mismatch{"RunOut", [](TScriptedUser&) {},
                 [] { EXPECT_EQ(Application->MessageBox("是否放弃当前记录的修改", "提示", MB_YESNO), IDNO); },
                 "script has run out"},
        Mismatch{"OtherText", [](TScriptedUser& u) { u.ExpectMessage("提示", "a"); },
                 [] { Application->MessageBox("b", "提示", MB_OK); }, "expects message [提示] \"a\""},
        Mismatch{"OtherCaption", [](TScriptedUser& u) { u.ExpectMessage("提示", "a"); },
                 [] { Application->MessageBox("a", "错误窗口", MB_OK); }, "unexpected message [错误窗口]"},
        Mismatch{"AnswerNotAButton", [](TScriptedUser& u) { u.ExpectMessage("提示", "a", IDYES); },
                 [] { EXPECT_EQ(Application->MessageBox("a", "提示", MB_OK), IDOK); }, "does not fit the buttons"},
        Mismatch{"FileInsteadOfMessage", [](TScriptedUser& u) { u.ExpectMessage("提示", "a"); },
                 [] {
                     TOpenDialog d(nullptr);
                     EXPECT_FALSE(d.Execute());
                 },
                 "unexpected open dialog"},
        Mismatch{"FileTitle", [](TScriptedUser& u) { u.AnswerFile("x", "标题"); },
                 [] {
                     TSaveDialog d(nullptr);
                     d.Title = "别的";
                     EXPECT_FALSE(d.Execute());
                 },
                 "unexpected save dialog \"别的\""}),
    [](const testing::TestParamInfo<Mismatch>& i) { return std::string(i.param.name); });

TEST_F(ScriptedUserTest, AnUnexpectedQuestionDeepInsideClosesEveryModalWindow)
{
    std::vector<std::string> failures;
    User().OnFailure = [&](const std::string& what) { failures.push_back(what); };
    TF_probe& outer = Make("  object Next: TButton\n    OnClick = Clicked\n  end\n");
    TF_probe& inner = Make("");
    TModalResult innerResult = mrNone;
    User().InModal("TF_probe", [&](TForm&) {
        User().InModal("TF_probe", [&](TForm&) {
            // The program asks something the script does not know: the script fails here.
            Application->MessageBox("意外", "提示", MB_OK);
        });
        innerResult = inner.ShowModal();
    });
    const TModalResult outerResult = outer.ShowModal();
    EXPECT_EQ(innerResult, mrCancel);
    EXPECT_EQ(outerResult, mrCancel);
    EXPECT_FALSE(inner.Visible());
    EXPECT_FALSE(outer.Visible());
    ASSERT_FALSE(failures.empty());
    EXPECT_NE(failures[0].find("意外"), std::string::npos);
    // Modal windows opened after the failure close at once.
    EXPECT_EQ(inner.ShowModal(), mrCancel);
}

TEST_F(ScriptedUserTest, AStepThatLeavesItsWindowOpenFails)
{
    std::vector<std::string> failures;
    User().OnFailure = [&](const std::string& what) { failures.push_back(what); };
    TF_probe& f = Make("");
    User().InModal("F_probe", [](TForm&) {});
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_FALSE(f.Visible());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("left the window open"), std::string::npos);
}

TEST_F(ScriptedUserTest, ControlsThatCannotBeUsedAreNotUsed)
{
    TF_probe& f = Make("  object Off: TButton\n    Enabled = False\n    OnClick = Clicked\n  end\n"
                       "  object Gone: TButton\n    Visible = False\n    OnClick = Clicked\n  end\n"
                       "  object On: TButton\n    OnClick = Clicked\n  end\n");
    f.Show();
    EXPECT_FALSE(TScriptedUser::Press(*f.Get<TButton>("Off")));
    EXPECT_FALSE(TScriptedUser::Press(*f.Get<TButton>("Gone")));
    EXPECT_TRUE(TScriptedUser::Press(*f.Get<TButton>("On")));
    EXPECT_EQ(f.log, (std::vector<std::string>{"click On"}));
}

}  // namespace
