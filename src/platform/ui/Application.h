// TApplication: the framework's application object (global `Application`). It owns every window, runs the
// message loop and is the one road by which the program asks the user anything: message boxes, file dialogs,
// printer dialogs and modal windows all go through its user agent, which is the real Qt dialogs in the
// program and a scripted user in tests.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Component.h"
#include "platform/ui/Form.h"

class QApplication;

// Message box flags and answers.
inline constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4, MB_ICONSTOP = 0x10,
                     MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
                     MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

// What a file dialog asks and, when confirmed, the chosen file.
struct TFileDialogRequest {
    bool save = false;
    std::string title;
    std::string filter;  // "desc|pattern|desc|pattern"
    int filterIndex = 1;  // 1-based
    std::string fileName;
    std::string defaultExt;
    std::string initialDir;
    unsigned options = 0;
};

// What a printer dialog asks and answers.
struct TPrinterRequest {
    std::string title;
    std::string printerName;  // chosen printer; empty means a PDF file
    std::string outputFile;   // when printing to a file
    int copies = 1;
    bool landscape = false;   // page orientation: across (landscape) or upright (portrait)
};

class TUserAgent {
public:
    virtual ~TUserAgent() = default;
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
    virtual bool FileDialog(TFileDialogRequest& request) = 0;
    virtual bool PrinterDialog(TPrinterRequest& request) = 0;
    // Runs a modal window: the real agent runs loop() until the window closes; a script acts in the window.
    virtual void RunModal(TForm& form, const std::function<void()>& loop) = 0;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Starts the Qt application when there is none yet. Without a display (or any usable platform) the program
    // ends there with one line on stderr and exit status 1, instead of Qt's messages and a crash.
    void Initialize();
    void Initialize(int& argc, char** argv);

    // Creates a window of class T, owned by the application, into *ref; the first window is the main window.
    template <class T>
    void CreateForm(T** ref)
    {
        Initialize();
        T* form = new T(this);
        *ref = form;
        Adopt(form, [ref, form] {
            if (*ref == form) {
                *ref = nullptr;
            }
        });
        form->DoCreate();
    }

    TForm* MainForm() const { return mainForm_; }
    // Shows the main window and runs the message loop until it closes; then destroys every window.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    // Destroys every window the application owns, last created first, and empties their variables.
    void DestroyForms();
    // Destroys one window the application owns and empties its variable.
    void DestroyForm(TForm* form);
    const std::vector<TForm*>& Forms() const { return forms_; }

    // Errors: the default handler (EAbort silent, anything else in the error box with the application's title).
    void HandleException(const std::exception& e);
    void ShowException(const std::exception& e);
    // The program's title: the caption of the error box, and of any message box given no caption. "错误" until
    // the program sets one.
    std::string Title;

    // Questions to the user.
    int MessageBox(const std::string& text, const std::string& caption, int flags);
    bool ExecuteFileDialog(TFileDialogRequest& request);
    bool ExecutePrinterDialog(TPrinterRequest& request);
    void RunModal(TForm& form, const std::function<void()>& loop);
    TUserAgent& UserAgent();
    void SetUserAgent(TUserAgent* agent);  // nullptr: the real dialogs again
    // The real printer dialog of the program; the print layer installs it (the window layer has no printing).
    // Without one, the real user agent accepts the request as it is.
    std::function<bool(TPrinterRequest&)> RealPrinterDialog;
    // Ends every running modal loop (a failed script); new modal windows close at once until cleared.
    void AbortModalLoops(bool on);
    bool ModalLoopsAborted() const { return abortModals_; }

    // The screen, as the windows see it (settable in tests: Qt's offscreen screen is 800 wide).
    int ScreenWidth() const;
    int ScreenHeight() const;
    void SetScreenSize(int width, int height);

    // Activation: the stack of shown windows, the active one on top.
    TForm* ActiveForm() const { return active_.empty() ? nullptr : active_.back(); }
    // A window is shown (showing: it was hidden until now) and becomes the active one; false when its
    // activation failed.
    bool FormShown(TForm* f, bool showing = false);
    void FormHidden(TForm* f);
    void FormDestroyed(TForm* f);

private:
    void Adopt(TForm* form, std::function<void()> clearVariable);

    std::unique_ptr<QApplication> qt_;
    std::unique_ptr<TUserAgent> qtAgent_;
    TUserAgent* agent_ = nullptr;
    TForm* mainForm_ = nullptr;
    std::vector<TForm*> forms_;
    std::vector<std::function<void()>> clearers_;
    std::vector<TForm*> active_;
    bool terminated_ = false;
    bool abortModals_ = false;
    int screenWidth_ = 0, screenHeight_ = 0;
};

extern TApplication* Application;

// A message with only an OK button, captioned with the application's title.
void ShowMessage(const std::string& text);
