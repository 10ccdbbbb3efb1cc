// The event handling of the widgets behind TDBEdit and TDBMemo, over the Qt edit each is built on: Escape
// drops typed text; a character the field's type can never hold is refused; a key or an input-method commit that would change the text first starts the edit (and
// changes nothing when that is refused); entering shows the field again under a mask set meanwhile; leaving
// writes the text back, and a refused write keeps the text and the focus for correction.
#pragma once

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include "platform/ui/Control.h"
#include "platform/ui/DBFieldLink.h"
#include "platform/ui/DBTyping.h"
#include "platform/ui/Registry.h"
#include "platform/ui/DbComponents.h"

template <class QtEdit>
class DBTextEdit : public QtEdit, public TextWidget {
public:
    DBTextEdit() : link(this) {}

    TFieldDataLink link;

protected:
    // True for a key press that would change the text.
    virtual bool KeyChanges(const QKeyEvent* e) const { return KeyChangesText(e); }

    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape && link.Modified()) {
            link.Reset();
            e->accept();
            return;
        }
        if (KeyRefusedByField(e, link.Field())) {
            e->accept();
            return;
        }
        if (KeyChanges(e) && !BeginTypingGuarded(link)) {
            e->accept();  // refused: the text stays as it is
            return;
        }
        QtEdit::keyPressEvent(e);
    }

    void inputMethodEvent(QInputMethodEvent* e) override
    {
        if (TextRefusedByField(e->commitString(), link.Field())) {
            e->accept();
            return;
        }
        if (!e->commitString().isEmpty() && !BeginTypingGuarded(link)) {
            e->accept();
            return;
        }
        QtEdit::inputMethodEvent(e);
    }

    void focusInEvent(QFocusEvent* e) override
    {
        link.CheckMask();
        QtEdit::focusInEvent(e);
    }

    void focusOutEvent(QFocusEvent* e) override
    {
        QtEdit::focusOutEvent(e);
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
            QPointer<QWidget> self(this);
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

// The properties both controls read from a form: the data source, the field and the read-only switch.
template <class Control>
void DataFieldProperties(ClassBuilder<Control>& c)
{
    c.Reference("DataSource", "TDataSource", [](Control& e, TComponent* s) {
        e.SetDataSource(static_cast<TDataSourceComponent*>(s)->Object());
    });
    c.String("DataField", [](Control& e, const std::string& v) { e.SetDataField(v); });
    c.Bool("ReadOnly", [](Control& e, bool v) { e.SetReadOnly(v); });
}
