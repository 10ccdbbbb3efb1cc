// What the data-aware controls share about the user starting to type: which keys change text, which typed
// characters the field's type refuses, and starting the data set's edit under the framework's guard (a
// guard's silent abort or an engine error refuses the key).
#pragma once

#include <functional>

class QKeyEvent;
class QString;
class TField;
class TFieldDataLink;

// True for a key press that would change the text of an edit: a printable character, Backspace, Delete, or
// a cut, paste, undo or redo shortcut.
bool KeyChangesText(const QKeyEvent* e);

// True when typed text (a key's or an input method's) holds a character that can never belong to the field's
// type: the control refuses it, with a beep, before it starts an edit. Shortcuts pass; no field refuses nothing.
bool TextRefusedByField(const QString& typed, const TField* field);
bool KeyRefusedByField(const QKeyEvent* e, const TField* field);

// Runs begin() under RunGuarded; false when it returned false or raised (the error is shown, EAbort is not).
bool StartEditGuarded(const std::function<bool()>& begin);
bool BeginTypingGuarded(TFieldDataLink& link);
