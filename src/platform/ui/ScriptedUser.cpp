#include "platform/ui/ScriptedUser.h"

#include <QApplication>
#include <QKeyEvent>

#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioButton.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/ToolBar.h"

TScriptedUser::TScriptedUser()
{
    Application->Initialize();
    Application->SetUserAgent(this);
    Application->AbortModalLoops(false);
}

TScriptedUser::~TScriptedUser()
{
    Application->SetUserAgent(nullptr);
    Application->AbortModalLoops(false);
}

TScriptedUser& TScriptedUser::ExpectMessage(const std::string& caption, const std::string& text, int answer)
{
    steps_.push_back({Kind::Message, caption, text, answer, {}});
    return *this;
}

TScriptedUser& TScriptedUser::ExpectMessageContaining(const std::string& caption, const std::string& part, int answer)
{
    steps_.push_back({Kind::MessagePart, caption, part, answer, {}});
    return *this;
}

TScriptedUser& TScriptedUser::AnswerFile(const std::string& path, const std::string& expectedTitle, int filterIndex)
{
    steps_.push_back({Kind::File, path, expectedTitle, filterIndex, {}});
    return *this;
}

TScriptedUser& TScriptedUser::CancelFile(const std::string& expectedTitle)
{
    steps_.push_back({Kind::CancelFile, {}, expectedTitle, 0, {}});
    return *this;
}

TScriptedUser& TScriptedUser::AcceptFile(const std::string& expectedTitle)
{
    steps_.push_back({Kind::AcceptFile, {}, expectedTitle, 0, {}});
    return *this;
}

TScriptedUser& TScriptedUser::AnswerPrinter(const std::string& printerName, const std::string& outputFile,
                                            Orientation orientation)
{
    steps_.push_back({Kind::Printer, printerName, outputFile, static_cast<int>(orientation), {}});
    return *this;
}

TScriptedUser& TScriptedUser::CancelPrinter()
{
    steps_.push_back({Kind::CancelPrinter, {}, {}, 0, {}});
    return *this;
}

TScriptedUser& TScriptedUser::InModal(const std::string& window, std::function<void(TForm&)> act)
{
    steps_.push_back({Kind::Modal, window, {}, 0, std::move(act)});
    return *this;
}

std::string TScriptedUser::Describe(const Step& s)
{
    switch (s.kind) {
    case Kind::Message: return "message [" + s.caption + "] \"" + s.text + "\"";
    case Kind::MessagePart: return "message [" + s.caption + "] containing \"" + s.text + "\"";
    case Kind::File: return "file dialog answered with " + s.caption;
    case Kind::CancelFile: return "file dialog cancelled";
    case Kind::AcceptFile: return "file dialog confirmed as offered";
    case Kind::Printer: return "printer dialog";
    case Kind::CancelPrinter: return "printer dialog cancelled";
    case Kind::Modal: return "modal window " + s.caption;
    }
    return "?";
}

void TScriptedUser::Fail(const std::string& what)
{
    failures_.push_back(what);
    Application->AbortModalLoops(true);
    if (OnFailure) {
        OnFailure(what);
    }
}

int TScriptedUser::MessageBox(const std::string& text, const std::string& caption, int flags)
{
    TShownMessage shown{caption, text, flags, 0};
    const int buttons = flags & 0xF;
    const int refusal = buttons == MB_YESNO ? IDNO : buttons == MB_OK ? IDOK : IDCANCEL;
    auto finish = [&](int answer) {
        shown.answer = answer;
        messages_.push_back(shown);
        if (OnMessage) {
            OnMessage(shown);
        }
        return answer;
    };
    const std::string seen = "message [" + caption + "] \"" + text + "\"";
    if (steps_.empty()) {
        Fail("unexpected " + seen + " (the script has run out)");
        return finish(refusal);
    }
    const Step step = steps_.front();
    const bool textOk = step.kind == Kind::Message ? step.text == text
                        : step.kind == Kind::MessagePart ? text.find(step.text) != std::string::npos : false;
    if ((step.kind != Kind::Message && step.kind != Kind::MessagePart) || step.caption != caption || !textOk) {
        Fail("unexpected " + seen + ", the script expects " + Describe(step));
        return finish(refusal);
    }
    steps_.pop_front();
    const bool answerFits = (buttons == MB_YESNO && (step.answer == IDYES || step.answer == IDNO)) ||
                            (buttons == MB_OK && step.answer == IDOK) ||
                            (buttons == MB_OKCANCEL && (step.answer == IDOK || step.answer == IDCANCEL)) ||
                            (buttons == MB_YESNOCANCEL &&
                             (step.answer == IDYES || step.answer == IDNO || step.answer == IDCANCEL));
    if (!answerFits) {
        Fail("the script's answer does not fit the buttons of " + seen);
        return finish(refusal);
    }
    return finish(step.answer);
}

bool TScriptedUser::FileDialog(TFileDialogRequest& request)
{
    const std::string seen = std::string(request.save ? "save" : "open") + " dialog \"" + request.title + "\"";
    if (steps_.empty()) {
        Fail("unexpected " + seen + " (the script has run out)");
        return false;
    }
    const Step step = steps_.front();
    if ((step.kind != Kind::File && step.kind != Kind::CancelFile && step.kind != Kind::AcceptFile) ||
        (!step.text.empty() && step.text != request.title)) {
        Fail("unexpected " + seen + ", the script expects " + Describe(step));
        return false;
    }
    steps_.pop_front();
    if (step.kind == Kind::CancelFile) {
        return false;
    }
    if (step.kind == Kind::AcceptFile) {
        return true;
    }
    request.fileName = step.caption;
    if (step.answer > 0) {
        request.filterIndex = step.answer;
    }
    return true;
}

bool TScriptedUser::PrinterDialog(TPrinterRequest& request)
{
    if (steps_.empty() || (steps_.front().kind != Kind::Printer && steps_.front().kind != Kind::CancelPrinter)) {
        Fail("unexpected printer dialog" + (steps_.empty() ? std::string(" (the script has run out)")
                                                           : ", the script expects " + Describe(steps_.front())));
        return false;
    }
    const Step step = steps_.front();
    steps_.pop_front();
    if (step.kind == Kind::CancelPrinter) {
        return false;
    }
    request.printerName = step.caption;
    request.outputFile = step.text;
    if (step.answer != static_cast<int>(Orientation::Keep)) {
        request.landscape = step.answer == static_cast<int>(Orientation::Landscape);
    }
    return true;
}

void TScriptedUser::RunModal(TForm& form, const std::function<void()>&)
{
    const std::string seen = "modal window " + form.Name() + " (" + form.ClassName + ")";
    if (steps_.empty()) {
        Fail("unexpected " + seen + " (the script has run out)");
        return;
    }
    const Step step = steps_.front();
    if (step.kind != Kind::Modal || !(SameName(step.caption, form.Name()) || SameName(step.caption, form.ClassName))) {
        Fail("unexpected " + seen + ", the script expects " + Describe(step));
        return;
    }
    steps_.pop_front();
    QApplication::setActiveWindow(form.Widget());
    try {
        step.act(form);
    } catch (const std::exception& e) {
        Fail("the step in " + seen + " raised: " + e.what());
    }
    if (form.Modal() && !form.ModalDone() && !Application->ModalLoopsAborted()) {
        Fail("the step in " + seen + " left the window open");
    }
}

bool TScriptedUser::Focus(TControl& c)
{
    if (!c.CanFocus()) {
        return false;
    }
    if (TForm* f = c.Form()) {
        QApplication::setActiveWindow(f->Widget());
    }
    c.SetFocus();
    c.FocusWidget()->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TScriptedUser::Press(TControl& c)
{
    if (!c.CanFocus()) {
        return false;
    }
    if (auto* b = dynamic_cast<TButton*>(&c)) {
        Focus(c);
        b->Click();
        return true;
    }
    if (auto* t = dynamic_cast<TToolButton*>(&c)) {
        t->Click();
        return true;
    }
    if (auto* r = dynamic_cast<TRadioButton*>(&c)) {
        Focus(c);
        r->Click();
        return true;
    }
    if (auto* x = dynamic_cast<TCheckBox*>(&c)) {
        Focus(c);
        x->Click();
        return true;
    }
    return false;
}

bool TScriptedUser::Key(TControl& c, int qtKey, Qt::KeyboardModifiers mods)
{
    if (!Focus(c)) {
        return false;
    }
    QString text;
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) {
        text = "\r";
    } else if (qtKey == Qt::Key_Escape) {
        text = QString(QChar(27));
    } else if (qtKey == Qt::Key_Tab) {
        text = "\t";
    } else if (qtKey >= 0x20 && qtKey < 0x7F) {
        text = QString(QChar(qtKey));
        if (!(mods & Qt::ShiftModifier)) {
            text = text.toLower();
        }
    }
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : c.FocusWidget();
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QCoreApplication::sendEvent(target, &press);
    if (QWidget* now = QApplication::focusWidget() ? QApplication::focusWidget() : target) {
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QCoreApplication::sendEvent(now, &release);
    }
    return true;
}

bool TScriptedUser::Type(TControl& c, const std::string& text)
{
    if (!Focus(c)) {
        return false;
    }
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : c.FocusWidget();
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QCoreApplication::sendEvent(target, &selectAll);
    const QString s = QString::fromStdString(text);
    if (s.isEmpty()) {
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &del);
        return true;
    }
    for (QChar ch : s) {
        const int key = ch.unicode() < 0x80 ? QChar(ch).toUpper().unicode() : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : target, &press);
    }
    return true;
}

bool TScriptedUser::Choose(TControl& c, int index)
{
    if (!c.CanFocus()) {
        return false;
    }
    if (auto* g = dynamic_cast<TRadioGroup*>(&c)) {
        if (index < 0 || index >= static_cast<int>(g->Items().size())) {
            return false;
        }
        Focus(c);
        g->ClickItem(index);
        return true;
    }
    if (auto* b = dynamic_cast<TComboBox*>(&c)) {
        if (index < 0 || index >= static_cast<int>(b->Items().size())) {
            return false;
        }
        Focus(c);
        b->ChooseItem(index);
        return true;
    }
    if (auto* l = dynamic_cast<TCustomListBox*>(&c)) {
        Focus(c);
        return l->ClickItem(index);
    }
    if (auto* p = dynamic_cast<TPageControl*>(&c)) {
        if (index < 0 || index >= p->PageCount() || !p->Pages(index)->TabVisible()) {
            return false;
        }
        p->SelectPage(p->Pages(index));
        return true;
    }
    return false;
}

bool TScriptedUser::DblClick(TControl& c)
{
    if (!c.CanFocus()) {
        return false;
    }
    if (auto* l = dynamic_cast<TCustomListBox*>(&c)) {
        Focus(c);
        return l->DblClickItem(std::max(0, l->ItemIndex()));
    }
    c.Fire(c.OnDblClick);
    return true;
}
