// TForm: a top-level window built from its window description. The framework fires OnActivate whenever the
// window becomes the active window of the application (shown, or uncovered when a modal window above it
// closes), never on the desktop's focus changes. ShowModal runs a nested loop through the application, so
// that a scripted user can act in the window in tests.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/FormParser.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                       poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Loads the description resource of className (":/forms/<className>.form"), or a given text.
    void LoadDescription(const std::string& className);
    void LoadDescriptionText(const std::string& className, const std::string& text, const std::string& fileName);
    std::string ClassName;  // the registered class whose description was loaded

    // A named component of this window, checked once: raises when it is missing or of another class.
    // For the engine's objects (TTable, TQuery ...) it returns the object that the component holds.
    template <class T>
    T* Get(const std::string& name) const
    {
        TComponent* c = FindComponent(name);
        T* out = nullptr;
        if constexpr (std::is_base_of_v<TComponent, T>) {
            out = dynamic_cast<T*>(c);
        } else if (auto* w = dynamic_cast<TWrapped<T>*>(c)) {
            out = w->Object();
        }
        if (!out) {
            MissingComponent(name, c != nullptr);
        }
        return out;
    }

    void SetCaption(const std::string& text) override;
    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int w);
    void SetClientHeight(int h);

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    TPosition Position = TPosition::poDesigned;
    bool KeyPreview = false;

    // Showing.
    bool Visible() const;
    void SetVisible(bool on) override;
    void Show();
    void Hide();
    TModalResult ShowModal();
    void Close();
    bool Modal() const { return modal_; }
    bool ModalDone() const { return modalDone_; }  // a modal window that has closed and is about to return
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r);

    // Focus inside the window.
    TControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TControl* c);
    // Moves the focus to the next (or previous) control in tab order after current.
    void SelectNext(TControl* current, bool forward, bool checkTabStop);
    std::vector<TControl*> TabList() const;  // every focusable control of the window, in tab order

    TNotifyEvent OnCreate, OnActivate, OnDeactivate, OnShow, OnHide, OnDestroy, OnResize;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Called by the framework.
    void DoCreate();
    // Fires OnActivate; false when it raised (the error has been shown, or the handler showed its own message
    // and aborted). showing: the activation that comes with showing the window, whose failure is told as the
    // window not opening.
    bool Activate(bool showing = false);
    void Deactivate();
    void FocusArrived(TControl* c);
    void ControlDestroyed(TControl* c);
    bool CloseRequested();  // the close box: runs Close, true when the window may go away
    static void InstallDispatch();

    static constexpr int kFrameWidth = 3, kCaptionHeight = 19;  // the classic frame, for Width and Height

protected:
    void ClientResized() override;

private:
    [[noreturn]] void MissingComponent(const std::string& name, bool wrongClass) const;
    void PlaceOnScreen();
    void AbandonShowing();
    bool CloseModal();  // OnCloseQuery/OnClose of a modal window; false when the window stays
    int FrameX() const;
    int FrameY() const;

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    bool modal_ = false;
    bool modalDone_ = false;
    TModalResult modalResult_ = mrNone;
    TControl* activeControl_ = nullptr;
    int clientWidth_ = 0, clientHeight_ = 0;
};
