#include "platform/ui/DBEdit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "platform/ui/DBClasses.h"
#include "platform/ui/DBFieldLink.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"
#include "platform/ui/DBTyping.h"

namespace {

class DBLineEdit : public QLineEdit, public TextWidget {
public:
    DBLineEdit() : link(this)
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
        }
        setModified(false);
    }
    QString ShownText() const override { return inputMask().isEmpty() ? text() : displayText(); }
    void SetReadOnly(bool on) override { setReadOnly(on); }
    void SetMaxLength(int chars) override
    {
        // QLineEdit re-sets its text (dropping the selection) on every setMaxLength
        const int n = chars > 0 ? chars : 32767;
        if (maxLength() != n) {
            setMaxLength(n);
        }
    }

    TFieldDataLink link;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape && link.Modified()) {
            link.Reset();
            e->accept();
            return;
        }
        if (KeyChangesText(e) && !BeginTypingGuarded(link)) {
            e->accept();  // refused: the text stays as it is
            return;
        }
        QLineEdit::keyPressEvent(e);
    }

    void inputMethodEvent(QInputMethodEvent* e) override
    {
        if (!e->commitString().isEmpty() && !BeginTypingGuarded(link)) {
            e->accept();
            return;
        }
        QLineEdit::inputMethodEvent(e);
    }

    void focusInEvent(QFocusEvent* e) override
    {
        link.CheckMask();
        QLineEdit::focusInEvent(e);
    }

    void focusOutEvent(QFocusEvent* e) override
    {
        QLineEdit::focusOutEvent(e);
        // leaving for another window (a message box, another program) is not leaving the control
        if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason || exiting_) {
            return;
        }
        exiting_ = true;
        bool ok = false;
        RunGuarded([&] {
            link.WriteBack();
            ok = true;
        });
        exiting_ = false;
        if (!ok) {
            // the text stays for correction, and so does the focus
            QPointer<DBLineEdit> self(this);
            QTimer::singleShot(0, this, [self] {
                if (self) {
                    self->setFocus(Qt::OtherFocusReason);
                }
            });
        }
    }

private:
    bool exiting_ = false;
};

DBLineEdit* lineEdit(const TDBEdit* e)
{
    return static_cast<DBLineEdit*>(e->Widget());
}

}  // namespace

TDBEdit::TDBEdit(TComponent* owner) : TControl(owner, new DBLineEdit)
{
    LinkDataControlClasses();
    SetTabStop(true);
    QObject::connect(LineEdit(), &QLineEdit::textChanged, LineEdit(), [this] { Fire(OnChange); });
}

TDBEdit::~TDBEdit() = default;

QLineEdit* TDBEdit::LineEdit() const { return lineEdit(this); }
TFieldDataLink& TDBEdit::Link() const { return lineEdit(this)->link; }

TDataSource* TDBEdit::DataSource() const { return Link().DataSource(); }
void TDBEdit::SetDataSource(TDataSource* source) { Link().SetDataSource(source); }
const std::string& TDBEdit::DataField() const { return Link().FieldName(); }
void TDBEdit::SetDataField(const std::string& name) { Link().SetFieldName(name); }
bool TDBEdit::ReadOnly() const { return Link().ReadOnly(); }
void TDBEdit::SetReadOnly(bool on) { Link().SetReadOnly(on); }
TField* TDBEdit::Field() const { return Link().Field(); }

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
    c.Reference("DataSource", "TDataSource", [](TDBEdit& e, TComponent* s) {
        e.SetDataSource(static_cast<TDataSourceComponent*>(s)->Object());
    });
    c.String("DataField", [](TDBEdit& e, const std::string& v) { e.SetDataField(v); });
    c.Bool("ReadOnly", [](TDBEdit& e, bool v) { e.SetReadOnly(v); });
    c.Int("MaxLength", [](TDBEdit& e, int v) { e.Link().SetMaxLength(v); });
    c.Event("OnChange", &TControl::OnChange);
});

}  // namespace

void LinkDBEditClass() {}
