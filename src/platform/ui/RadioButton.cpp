#include "platform/ui/RadioButton.h"

#include <QRadioButton>

#include "platform/ui/Registry.h"

TRadioButton::TRadioButton(TComponent* owner) : TControl(owner, new QRadioButton)
{
    SetTabStop(true);
    SetBounds(0, 0, 113, 17);
    QObject::connect(button(), &QRadioButton::toggled, button(), [this](bool on) {
        if (on && !setting_) {
            Fire(OnClick);
        }
    });
}

QRadioButton* TRadioButton::button() const
{
    return static_cast<QRadioButton*>(Widget());
}

void TRadioButton::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    button()->setText(QString::fromStdString(text));
}

bool TRadioButton::Checked() const
{
    return button()->isChecked();
}

void TRadioButton::SetChecked(bool on)
{
    setting_ = true;
    button()->setChecked(on);
    setting_ = false;
}

void TRadioButton::Click()
{
    if (CanFocus()) {
        button()->click();
    }
}

namespace {
const ClassBuilder<TRadioButton> kRadioButtonClass("TRadioButton", "TControl", [](ClassBuilder<TRadioButton>& c) {
    c.Bool("Checked", [](TRadioButton& b, bool v) { b.SetChecked(v); });
});
}  // namespace
