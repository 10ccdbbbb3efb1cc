// The query window opened from the main window ("查询统计") on the hand-made reports, and the user's clicks on
// its lists by the entries' texts.
#pragma once

#include <string>

#include "QueryFixture.h"
#include "query/QueryWindow.h"

namespace querytest {

class QueryWindowTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        FillHandMadeReports();
    }

    // Chooses the report in the main window and presses "查询统计"; the window stays open beside the main window.
    TF_query& Open(int report)
    {
        if (!F_main) {
            StartProgram();
        }
        EXPECT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, report - 1));
        EXPECT_TRUE(TScriptedUser::Press(*F_main->Button5));
        EXPECT_NE(F_query, nullptr);
        return *F_query;
    }

    static int Find(const TCustomListBox& list, const std::string& text)
    {
        const int i = list.IndexOf(text);
        EXPECT_GE(i, 0) << "no entry " << text;
        return i;
    }
    static void Click(TCustomListBox& list, const std::string& text) { EXPECT_TRUE(list.ClickItem(Find(list, text))); }
    static void DblClick(TCustomListBox& list, const std::string& text)
    {
        EXPECT_TRUE(list.DblClickItem(Find(list, text)));
    }
    static std::vector<std::string> Ticked(const TCheckListBox& list)
    {
        std::vector<std::string> out;
        for (int i = 0; i < list.Count(); ++i) {
            if (list.Checked(i)) {
                out.push_back(list.Item(i));
            }
        }
        return out;
    }
};

}  // namespace querytest
