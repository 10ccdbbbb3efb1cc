// The column dialog, opened by a double-click on the table tool's grid: the width is shown in characters,
// and a title or width that cannot be saved is refused before anything changes.
#include <gtest/gtest.h>

#include "query/ColumnDialog.h"
#include "ToolFixture.h"

namespace printtest {
namespace {

TEST_F(ToolTest, TheColumnDialogRefusesWhatCannotBeSavedBeforeChangingAnything)
{
    const struct {
        const char* title;
        const char* width;
        const char* refusal;  // nullptr: accepted
    } cases[] = {
        {"企业", "12", nullptr}, {"企业", "1", nullptr}, {"企业", "255", nullptr}, {"企业", "0", "列宽度"},
        {"企业", "-3", "列宽度"}, {"企业", "256", "列宽度"}, {"企业", "abc", "列宽度"}, {"企业", "", "列宽度"},
        {"", "12", "字段名"}, {"  ", "12", "字段名"},
    };
    InTool("emp.db", [&](TF_db_tool& t) {
        TColumn* column = t.DBGrid1->Columns()[0];
        t.DBGrid1->SetSelectedIndex(0);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.title) + "/" + c.width);
            column->Title()->SetCaption("名称");
            column->SetWidth(100);
            User().InModal("F_change_c", [&](TForm& f) {
                auto& d = static_cast<TF_change_c&>(f);
                EXPECT_EQ(d.Edit2->Text(), std::to_string(static_cast<int>(100 / GridCharWidth)));
                EXPECT_TRUE(TScriptedUser::Type(*d.Edit1, c.title));
                EXPECT_TRUE(TScriptedUser::Type(*d.Edit2, c.width));
                if (c.refusal) {
                    User().ExpectMessageContaining("错误窗口", c.refusal);
                }
                EXPECT_TRUE(TScriptedUser::Key(*d.Edit2, Qt::Key_Return));
                if (c.refusal) {
                    EXPECT_FALSE(d.ModalDone());
                    EXPECT_TRUE(TScriptedUser::Press(*d.Button2));  // 取消
                }
            });
            EXPECT_TRUE(TScriptedUser::DblClick(*t.DBGrid1));
            EXPECT_EQ(column->Title()->Caption(), c.refusal ? "名称" : c.title);
            EXPECT_EQ(column->Width(), c.refusal ? 100 : static_cast<int>(std::stoi(c.width) * GridCharWidth));
        }
    });
}

}  // namespace
}  // namespace printtest
