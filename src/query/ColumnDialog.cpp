#include "query/ColumnDialog.h"

#include "app/Main.h"
#include "platform/ui/Application.h"
#include "platform/ui/Convert.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

namespace {

// A saved text field holds 1 to 255 characters.
constexpr int kMinWidth = 1, kMaxWidth = 255;

}  // namespace

void EditSelectedColumn(TDBGrid* grid)
{
    const int column = grid->SelectedIndex();
    if (column < 0 || column >= grid->Columns().Count()) {
        return;
    }
    EditColumn = grid->Columns()[column];
    if (TForm* dialog = TFormFactory::Obtain("TF_change_c")) {
        dialog->ShowModal();
    }
}

TF_change_c::TF_change_c(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_change_c");
    Edit1 = Get<TEdit>("Edit1");
    Edit2 = Get<TEdit>("Edit2");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
}

double TF_change_c::CharWidth() const
{
    if (GridCharWidth > 0) {
        return GridCharWidth;
    }
    const TDBGrid* grid = EditColumn ? EditColumn->Grid() : nullptr;
    return grid ? grid->TextWidth("    ") * 0.25 : 1;
}

void TF_change_c::FormActivate(TObject*)
{
    if (!EditColumn) {
        return;
    }
    Edit1->SetText(EditColumn->Title()->Caption());
    Edit2->SetText(std::to_string(static_cast<int>(EditColumn->Width() / CharWidth())));
}

void TF_change_c::Button1Click(TObject*)
{
    if (!EditColumn) {
        Close();
        return;
    }
    // Both values are checked before either is applied: a bad width leaves the column as it was.
    const std::string title = Edit1->Text();
    if (title.find_first_not_of(' ') == std::string::npos) {
        Application->MessageBox("字段名不能为空", "错误窗口", MB_OK | MB_ICONERROR);
        Edit1->SetFocus();
        return;
    }
    int width = 0;
    try {
        width = StrToInt(Edit2->Text());
    } catch (const EConvertError&) {
        width = 0;
    }
    if (width < kMinWidth || width > kMaxWidth) {
        Application->MessageBox("列宽度应是" + std::to_string(kMinWidth) + "到" + std::to_string(kMaxWidth) + "之间的整数",
                                "错误窗口", MB_OK | MB_ICONERROR);
        Edit2->SetFocus();
        return;
    }
    EditColumn->Title()->SetCaption(title);
    EditColumn->SetWidth(static_cast<int>(width * CharWidth()));
    Close();
}

void TF_change_c::Button2Click(TObject*)
{
    Close();
}

void TF_change_c::EditKeyPress(TObject*, char& Key)
{
    if (Key == 13) {
        Key = 0;
        Button1Click(Button1);
    }
}

namespace {

const ClassBuilder<TF_change_c> kChangeCClass("TF_change_c", "TForm", [](ClassBuilder<TF_change_c>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_change_c::FormActivate);
    c.Handler("Button1Click", &TF_change_c::Button1Click);
    c.Handler("Button2Click", &TF_change_c::Button2Click);
    c.Handler("EditKeyPress", &TF_change_c::EditKeyPress);
});

const FormSlot<TF_change_c> kChangeCSlot("TF_change_c", &F_change_c);

}  // namespace
