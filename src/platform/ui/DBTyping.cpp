#include "platform/ui/DBTyping.h"

#include <QKeyEvent>
#include <QKeySequence>

#include "platform/ui/Control.h"
#include "platform/ui/DBFieldLink.h"

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
