// The table tool opened from the main window ("直接操作数据库") in a fresh data folder, with a small table
// "emp.db" to work on; the user's answers are scripted before each step that asks.
#pragma once

#include <functional>
#include <string>

#include "SaveFixture.h"
#include "print/DbTool.h"

namespace printtest {

class ToolTest : public SaveTest {
protected:
    void SetUp() override
    {
        SaveTest::SetUp();
        testsupport::MakeTable("emp.db", {testsupport::Text("名称", 20), testsupport::Number("产值"), testsupport::Day("日期")},
                               {{"甲公司", "12.5", "2009-03-01"}, {"乙公司", "7", ""}, {"丙公司", "", "2008-12-31"}});
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    // Opens the tool on a file (or with the file dialog cancelled when file is empty), acts in it, then leaves
    // it with "返回".
    void InTool(const std::string& file, const std::function<void(TF_db_tool&)>& act)
    {
        if (!F_main) {
            StartProgram();
        }
        if (file.empty()) {
            User().CancelFile("请选择数据库文件");
        } else {
            User().AnswerFile(Path(file), "请选择数据库文件");
        }
        User().InModal("F_db_tool", [&](TForm& f) {
            auto& tool = static_cast<TF_db_tool&>(f);
            act(tool);
            EXPECT_TRUE(TScriptedUser::Press(*tool.Button4));
        });
        ASSERT_TRUE(TScriptedUser::Press(*F_main->Button10));
    }

    // "另存" with the name typed and the filter entry chosen; then adds what the save is expected to ask or tell.
    void SaveAs(TF_db_tool& tool, const std::string& name, int filterEntry, const std::function<void()>& then = {})
    {
        User().AnswerFile(Path(name), "请选择存盘文件名", filterEntry);
        if (then) {
            then();
        }
        EXPECT_TRUE(TScriptedUser::Press(*tool.Button2));
    }

    static std::vector<bool> Enabled(TF_db_tool& t)
    {
        std::vector<bool> out;
        for (TButton* b : {t.Button1, t.Button2, t.Button6, t.Button7, t.Button8, t.Button5, t.Button3, t.Button4}) {
            out.push_back(b->Enabled());
        }
        return out;
    }
};

}  // namespace printtest
