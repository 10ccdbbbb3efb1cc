// The scripted user: stands in for the person at the screen in tests and in the scenario tool. It answers
// every question the program asks through the application object, strictly in the order of its script: a
// message box (caption and text checked, answered OK, Yes or No), a file dialog (a path, or cancel), a printer
// dialog, or a modal window (a step that acts inside the window and must close it). Every message shown is
// recorded. A question the script does not expect, or one asked after the script ran out, is a failure: it is
// reported, and every nested modal loop closes so that the test ends instead of hanging.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Application.h"

class TControl;

struct TShownMessage {
    std::string caption;
    std::string text;
    int flags = 0;
    int answer = 0;
};

class TScriptedUser : public TUserAgent {
public:
    // Installs itself as the application's user agent until destroyed.
    TScriptedUser();
    ~TScriptedUser() override;

    // Script steps, used in order.
    TScriptedUser& ExpectMessage(const std::string& caption, const std::string& text, int answer = IDOK);
    TScriptedUser& ExpectMessageContaining(const std::string& caption, const std::string& part, int answer = IDOK);
    // A file dialog confirmed with path; filterIndex (1-based) is the filter entry chosen, 0 leaves the dialog's.
    TScriptedUser& AnswerFile(const std::string& path, const std::string& expectedTitle = {}, int filterIndex = 0);
    TScriptedUser& CancelFile(const std::string& expectedTitle = {});
    // A file dialog confirmed with the name it offers (the user presses Enter).
    TScriptedUser& AcceptFile(const std::string& expectedTitle = {});
    // A printer dialog confirmed with a printer (empty: the default) or a PDF file, and a page orientation.
    enum class Orientation { Keep, Portrait, Landscape };
    TScriptedUser& AnswerPrinter(const std::string& printerName = {}, const std::string& outputFile = {},
                                 Orientation orientation = Orientation::Keep);
    TScriptedUser& CancelPrinter();
    // Acts inside the window (by its Name "F_xxx" or class "TF_xxx") when it is shown modally; the action must
    // close it (press a button, Close ...).
    TScriptedUser& InModal(const std::string& window, std::function<void(TForm&)> act);

    const std::vector<TShownMessage>& Messages() const { return messages_; }
    const std::vector<std::string>& Failures() const { return failures_; }
    bool ScriptDone() const { return steps_.empty(); }
    void ClearScript() { steps_.clear(); }
    std::size_t StepsLeft() const { return steps_.size(); }
    // Called for each failure (tests report it to the test framework); the failure is recorded either way.
    std::function<void(const std::string&)> OnFailure;
    // Called for each message shown (the scenario tool prints them).
    std::function<void(const TShownMessage&)> OnMessage;
    void Fail(const std::string& what);

    // What the user does with the controls. Each returns false (and does nothing) when the control cannot be
    // used: hidden, disabled, or not of a kind that takes the action.
    static bool Press(TControl& c);                         // buttons, tool buttons, radio and check boxes
    static bool Type(TControl& c, const std::string& text);  // replaces the text as typed, key by key
    static bool Key(TControl& c, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier);
    static bool Choose(TControl& c, int index);  // radio group, combo box, list (item), page control (page index)
    static bool DblClick(TControl& c);           // a list: on its selected item (the first when none is)
    static bool Focus(TControl& c);

    // TUserAgent
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    bool FileDialog(TFileDialogRequest& request) override;
    bool PrinterDialog(TPrinterRequest& request) override;
    void RunModal(TForm& form, const std::function<void()>& loop) override;

private:
    enum class Kind { Message, MessagePart, File, CancelFile, AcceptFile, Printer, CancelPrinter, Modal };
    struct Step {
        Kind kind;
        std::string caption, text;  // message; file: path and title; printer: name and file; modal: window
        int answer = 0;
        std::function<void(TForm&)> act;
    };
    static std::string Describe(const Step& s);

    std::deque<Step> steps_;
    std::vector<TShownMessage> messages_;
    std::vector<std::string> failures_;
};
