#include "platform/ui/DBTyping.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include "platform/ui/Control.h"
#include "platform/ui/DBFieldLink.h"
#include "platform/ui/DBFieldText.h"

bool KeyChangesText(const QKeyEvent* e)
{
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
        return true;
    }
    for (QKeySequence::StandardKey k : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo,
                                        QKeySequence::Redo, QKeySequence::DeleteEndOfWord,
                                        QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfLine}) {
        if (e->matches(k)) {
            return true;
        }
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QString t = e->text();
    return !t.isEmpty() && t[0].isPrint();
}

bool TextRefusedByField(const QString& typed, const TField* field)
{
    if (field == nullptr) {
        return false;
    }
    for (QChar c : typed) {
        if (c.isPrint() && !FieldAcceptsChar(*field, c)) {
            QApplication::beep();
            return true;
        }
    }
    return false;
}

bool KeyRefusedByField(const QKeyEvent* e, const TField* field)
{
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    return TextRefusedByField(e->text(), field);
}

bool StartEditGuarded(const std::function<bool()>& begin)
{
    bool ok = false;
    RunGuarded([&] { ok = begin(); });
    return ok;
}

bool BeginTypingGuarded(TFieldDataLink& link)
{
    return StartEditGuarded([&] { return link.BeginTyping(); });
}
