#include "platform/ui/RadioButton.h"

#include <QButtonGroup>
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

namespace {

// The exclusive group of the radio buttons of one parent (Qt's own auto-exclusion also takes in nested ones).
QButtonGroup* GroupOf(QWidget* parent)
{
    auto* g = parent->findChild<QButtonGroup*>(QStringLiteral("vemora.radios"), Qt::FindDirectChildrenOnly);
    if (!g) {
        g = new QButtonGroup(parent);
        g->setObjectName(QStringLiteral("vemora.radios"));
    }
    return g;
}

}  // namespace

void TRadioButton::SetParent(TControl* parent)
{
    if (QButtonGroup* old = button()->group()) {
        old->removeButton(button());
    }
    TControl::SetParent(parent);
    if (parent) {
        GroupOf(parent->ClientWidget())->addButton(button());
    }
}

bool TRadioButton::Checked() const
{
    return button()->isChecked();
}

void TRadioButton::SetChecked(bool on)
{
    setting_ = true;
    QButtonGroup* g = button()->group();
    if (!on && g) {
        g->setExclusive(false);  // an exclusive group never unchecks its checked button
    }
    button()->setChecked(on);
    if (!on && g) {
        g->setExclusive(true);
    }
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
