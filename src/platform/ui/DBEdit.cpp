#include "platform/ui/DBEdit.h"

#include <QLineEdit>

#include <algorithm>

#include "platform/ui/DBClasses.h"
#include "platform/ui/DBTextEdit.h"

namespace {

class DBLineEdit : public DBTextEdit<QLineEdit> {
public:
    DBLineEdit()
    {
        // a change that bypassed the key handlers (context-menu paste, drag and drop) starts the edit now
        connect(this, &QLineEdit::textEdited, this, [this] {
            if (!BeginTypingGuarded(link)) {
                link.Reset();
                return;
            }
            link.TextEdited();
        });
    }

    // TextWidget
    void Show(const QString& text, const QString& qtInputMask) override
    {
        // left alone when unchanged, so that starting an edit does not move the caret
        if (inputMask() != qtInputMask) {
            setInputMask(qtInputMask);
        }
        if (ShownText() != text) {
            setText(text);
            if (!hasFocus()) {
                setCursorPosition(0);  // a long text shows its start, as it is read
            }
        }
        setModified(false);
    }
    // Left for another control, a long text shows its start again.
    void focusOutEvent(QFocusEvent* e) override
    {
        DBTextEdit<QLineEdit>::focusOutEvent(e);
        if (!hasFocus() && !link.Modified() && e->reason() != Qt::ActiveWindowFocusReason &&
            e->reason() != Qt::PopupFocusReason) {
            setCursorPosition(0);
        }
    }

    QString ShownText() const override { return inputMask().isEmpty() ? text() : displayText(); }
    void SetReadOnly(bool on) override { setReadOnly(on); }
    void SetMaxLength(int chars) override
    {
        // QLineEdit re-sets its text (dropping the selection, the caret to the end) on every setMaxLength
        const int n = chars > 0 ? chars : 32767;
        if (maxLength() != n) {
            const int at = cursorPosition();
            setMaxLength(n);
            if (cursorPosition() != at) {
                setCursorPosition(std::min(at, static_cast<int>(text().size())));
            }
        }
    }
};

DBLineEdit* lineEdit(const TDBEdit* e)
{
    return static_cast<DBLineEdit*>(e->Widget());
}

}  // namespace

TDBEdit::TDBEdit(TComponent* owner) : TDBTextControl(owner, new DBLineEdit)
{
    LinkDataControlClasses();
    SetTabStop(true);
    QObject::connect(LineEdit(), &QLineEdit::textChanged, LineEdit(), [this] { Fire(OnChange); });
}

TDBEdit::~TDBEdit() = default;

QLineEdit* TDBEdit::LineEdit() const { return lineEdit(this); }
TFieldDataLink& TDBEdit::Link() const { return lineEdit(this)->link; }

std::string TDBEdit::Text() const
{
    TFieldDataLink& link = Link();
    if (link.MaskActive()) {
        // as it would be stored: "" when only literals and blanks are shown
        return TEditMask(QString::fromStdString(link.Field()->EditMask))
            .StoredValue(lineEdit(this)->ShownText())
            .value_or(QString())
            .toStdString();
    }
    return LineEdit()->text().toStdString();
}

void TDBEdit::SetText(const std::string& text)
{
    LineEdit()->setText(QString::fromStdString(text));
    Link().TextEdited();
}

namespace {

const ClassBuilder<TDBEdit> kDBEditClass("TDBEdit", "TControl", [](ClassBuilder<TDBEdit>& c) {
    DataFieldProperties(c);
    c.Int("MaxLength", [](TDBEdit& e, int v) { e.Link().SetMaxLength(v); });
    c.Event("OnChange", &TControl::OnChange);
});

}  // namespace

void LinkDBEditClass() {}
