#include "platform/ui/Button.h"

#include <QPushButton>

#include "platform/ui/Form.h"
#include "platform/ui/Registry.h"

TButton::TButton(TComponent* owner) : TControl(owner, new QPushButton)
{
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
    QObject::connect(button(), &QPushButton::clicked, button(), [this] { Clicked(); });
}

QPushButton* TButton::button() const
{
    return static_cast<QPushButton*>(Widget());
}

void TButton::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    button()->setText(QString::fromStdString(text));  // '&' marks the accelerator, "&&" shows '&', as here
}

void TButton::Click()
{
    if (CanFocus()) {
        button()->click();
    }
}

void TButton::Clicked()
{
    RunHandler([this] {
        if (OnClick) {
            OnClick(this);
        }
        if (ModalResult != 0) {
            if (TForm* f = Form()) {
                f->SetModalResult(ModalResult);
            }
        }
    });
}

namespace {
const ClassBuilder<TButton> kButtonClass("TButton", "TControl", [](ClassBuilder<TButton>& c) {
    c.Enum("ModalResult",
           ClassBuilder<TButton>::Ordinals({"mrNone", "mrOk", "mrCancel", "mrAbort", "mrRetry", "mrIgnore", "mrYes", "mrNo"}),
           [](TButton& b, long long v) { b.ModalResult = static_cast<int>(v); }, true);
    c.Bool("Default", [](TButton& b, bool v) { b.Default = v; });
    c.Bool("Cancel", [](TButton& b, bool v) { b.Cancel = v; });
});
}  // namespace
