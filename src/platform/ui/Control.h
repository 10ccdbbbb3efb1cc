// TControl: a component that wraps one Qt widget and gives it the properties and events the windows use.
// Positions are in pixels relative to the parent's client area. Event slots are plain std::function members;
// the framework calls them only through RunHandler, so no exception reaches Qt's event loop.
//
// Invariant: Widget() is valid for the control's whole life; a control destroys its widget unless a parent's
// widget destroyed it first (QPointer).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "platform/ui/Component.h"
#include "platform/ui/Font.h"

class TForm;

using WORD = unsigned short;
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

// Virtual key codes of the keys the windows look at.
inline constexpr WORD VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33,
                      VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39,
                      VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TCursor = int;
inline constexpr TCursor crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crHourGlass = -11,
                         crHandPoint = -21;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

// Runs a call on behalf of the event loop: EAbort unwinds silently, any other exception shows the error box.
void RunGuarded(const std::function<void()>& call);
// Runs an event handler: guarded when the event comes from the event loop; inside another handler (a change
// made in code) the exception goes on to that handler's caller, as a nested call does.
void RunHandler(const std::function<void()>& call);
// Marks a nested event loop (a modal window, a dialog): what runs inside it is guarded again.
class TEventLoopScope {
public:
    TEventLoopScope();
    ~TEventLoopScope();
    TEventLoopScope(const TEventLoopScope&) = delete;
    TEventLoopScope& operator=(const TEventLoopScope&) = delete;

private:
    int saved_;
};

class TControl : public TComponent {
public:
    TControl(TComponent* owner, QWidget* widget);
    ~TControl() override;

    QWidget* Widget() const { return widget_; }
    // The widget that holds the children (a page, a scroll area's contents ...).
    virtual QWidget* ClientWidget() const { return widget_; }

    // The control of a widget (the nearest wrapped one at or above it); nullptr outside any control.
    static TControl* FromWidget(const QWidget* w);

    TControl* Parent() const { return parent_; }
    virtual void SetParent(TControl* parent);
    const std::vector<TControl*>& Controls() const { return controls_; }
    TForm* Form() const;  // the window this control sits on (itself for a form)

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool on);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool on);
    // Showing: visible with every parent and, on a page control, on the current page.
    // CanFocus: visible and enabled with every parent (whatever page is current).
    bool Showing() const;
    bool CanFocus() const;

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& text);
    // Text and Caption are one property; edits override both.
    virtual std::string Text() const { return caption_; }
    virtual void SetText(const std::string& text) { SetCaption(text); }

    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    TFont& FontForUpdate() { return font_; }  // change fields, then ApplyFont()
    virtual void ApplyFont();
    TColor Color() const { return color_; }
    virtual void SetColor(TColor c);

    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool on) { tabStop_ = on; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& h);
    bool ShowHint = false;
    int Tag = 0;

    // Focus.
    bool Focused() const;
    virtual void SetFocus();
    // The widget that receives the focus (an inner editor for compound controls).
    virtual QWidget* FocusWidget() const { return widget_; }

    // Stacking among the siblings (a progress bar laid over a status bar comes to the front).
    void BringToFront();
    void SendToBack();

    // Re-lays out aligned children in the client area (containers with their own layout add to it).
    virtual void Realign();
    // While a window description loads, alignment waits: the stored positions order each stack only once all
    // of them are set (the loader then realigns every control).
    class AlignmentPause {
    public:
        AlignmentPause() { ++pauses_; }
        ~AlignmentPause() { --pauses_; }
        AlignmentPause(const AlignmentPause&) = delete;
        AlignmentPause& operator=(const AlignmentPause&) = delete;
    };

    TNotifyEvent OnClick, OnDblClick, OnChange, OnEnter, OnExit;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown, OnKeyUp;

    // Calls an event slot the way the framework does (see RunHandler; skipped when empty).
    void Fire(const TNotifyEvent& e) { RunHandler([&] { if (e) { e(this); } }); }

protected:
    // Whether a double-click on the widget is this control's OnDblClick (true for most controls).
    virtual bool WantsGenericDblClick() const { return true; }
    virtual void FontChanged() {}  // the shown font changed (own or inherited)
    // Puts a new child's widget into this control (a page control makes it a tab); the default places it in
    // the client widget at its bounds.
    virtual void AttachChild(TControl* child);
    virtual void DetachChild(TControl* child);
    void ApplyGeometry();

    virtual void ClientResized();

private:
    friend class ControlEventFilter;

    QPointer<QWidget> widget_;
    TControl* parent_ = nullptr;
    std::vector<TControl*> controls_;  // children, in tab order
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true, tabStop_ = false;
    std::string caption_, hint_;
    TFont font_;
    TColor color_ = clDefault;
    TAlign align_ = TAlign::alNone;
    TCursor cursor_ = crDefault;
    bool aligning_ = false;
    static inline int pauses_ = 0;
    bool clientFiltered_ = false;
    long long created_ = 0;  // creation sequence: aligned controls with equal positions keep declaration order
};

// Key translation shared by the key dispatch and the scripted user.
WORD VirtualKeyOf(int qtKey);
int QtKeyOf(WORD vk);
