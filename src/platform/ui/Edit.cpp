#include "platform/ui/Edit.h"

#include <QLineEdit>

#include "platform/ui/Registry.h"

TEdit::TEdit(TComponent* owner) : TControl(owner, new QLineEdit)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
    QObject::connect(edit(), &QLineEdit::textChanged, edit(), [this] { Fire(OnChange); });
}

QLineEdit* TEdit::edit() const
{
    return static_cast<QLineEdit*>(Widget());
}

std::string TEdit::Text() const
{
    return edit()->text().toStdString();
}

void TEdit::SetText(const std::string& text)
{
    edit()->setText(QString::fromStdString(text));
    if (!edit()->hasFocus()) {
        edit()->setCursorPosition(0);  // a long text shows its start
    }
}

bool TEdit::ReadOnly() const
{
    return edit()->isReadOnly();
}

void TEdit::SetReadOnly(bool on)
{
    edit()->setReadOnly(on);
}

void TEdit::SetMaxLength(int n)
{
    edit()->setMaxLength(n > 0 ? n : 32767);
}

void TEdit::SetPasswordChar(const std::string& c)
{
    edit()->setEchoMode(c.empty() || c == "#0" ? QLineEdit::Normal : QLineEdit::Password);
}

void TEdit::SelectAll()
{
    edit()->selectAll();
}

namespace {
const ClassBuilder<TEdit> kEditClass("TEdit", "TControl", [](ClassBuilder<TEdit>& c) {
    c.String("Text", [](TEdit& e, const std::string& v) { e.SetText(v); });
    c.Bool("ReadOnly", [](TEdit& e, bool v) { e.SetReadOnly(v); });
    c.Int("MaxLength", [](TEdit& e, int v) { e.SetMaxLength(v); });
    c.String("PasswordChar", [](TEdit& e, const std::string& v) { e.SetPasswordChar(v); });
    c.Bool("AutoSelect", [](TEdit&, bool) {});
    c.Bool("AutoSize", [](TEdit&, bool) {});
    c.Event("OnChange", &TControl::OnChange);
});
}  // namespace
