#include "platform/ui/CheckBox.h"

#include <QCheckBox>

#include "platform/ui/Registry.h"

TCheckBox::TCheckBox(TComponent* owner) : TControl(owner, new QCheckBox)
{
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
    QObject::connect(box(), &QCheckBox::toggled, box(), [this](bool) {
        if (!setting_) {
            Fire(OnClick);
        }
    });
}

QCheckBox* TCheckBox::box() const
{
    return static_cast<QCheckBox*>(Widget());
}

void TCheckBox::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    box()->setText(QString::fromStdString(text));
}

bool TCheckBox::Checked() const
{
    return box()->isChecked();
}

void TCheckBox::SetChecked(bool on)
{
    setting_ = true;
    box()->setChecked(on);
    setting_ = false;
}

void TCheckBox::Click()
{
    if (CanFocus()) {
        box()->click();
    }
}

namespace {
const ClassBuilder<TCheckBox> kCheckBoxClass("TCheckBox", "TControl", [](ClassBuilder<TCheckBox>& c) {
    c.Bool("Checked", [](TCheckBox& b, bool v) { b.SetChecked(v); });
    c.Enum("State", ClassBuilder<TCheckBox>::Ordinals({"cbUnchecked", "cbChecked", "cbGrayed"}),
           [](TCheckBox& b, long long v) { b.SetChecked(v == 1); });
});
}  // namespace
