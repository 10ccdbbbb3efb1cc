#include "platform/ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>

#include <algorithm>

#include "platform/db/Exception.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormLoader.h"

namespace {

// The top-level widget of a window: the close box asks the window first.
class FormWindow : public QWidget {
public:
    FormWindow() : QWidget(nullptr, Qt::Window) { setAttribute(Qt::WA_DeleteOnClose, false); }
    TForm* form = nullptr;

protected:
    void closeEvent(QCloseEvent* ev) override
    {
        ev->ignore();
        if (form) {
            RunGuarded([this] { form->CloseRequested(); });
        }
    }
};

// The keys of every window go first to the window (with KeyPreview), then to the control that has the focus;
// Tab and Shift+Tab move along the window's own tab order.
class KeyDispatch : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() != QEvent::KeyPress || obj != QApplication::focusWidget()) {
            return false;
        }
        TControl* control = TControl::FromWidget(static_cast<QWidget*>(obj));
        TForm* form = control ? control->Form() : nullptr;
        if (!form) {
            return false;
        }
        auto* ke = static_cast<QKeyEvent*>(ev);
        const TShiftState shift = ((ke->modifiers() & Qt::ShiftModifier) ? ssShift : 0u) |
                                  ((ke->modifiers() & Qt::ControlModifier) ? ssCtrl : 0u) |
                                  ((ke->modifiers() & Qt::AltModifier) ? ssAlt : 0u);
        WORD vk = VirtualKeyOf(ke->key());
        char ch = 0;
        if (vk == VK_RETURN) {
            ch = '\r';
        } else if (vk == VK_ESCAPE) {
            ch = 27;
        } else if (vk == VK_BACK) {
            ch = 8;
        } else if (ke->text().size() == 1 && ke->text()[0].unicode() >= 32 && ke->text()[0].unicode() < 127) {
            ch = static_cast<char>(ke->text()[0].unicode());
        }
        const bool isTab = vk == VK_TAB;
        bool consumed = false;
        RunGuarded([&] {
            consumed = true;  // a failing handler eats its key
            auto offer = [&](TControl* target) {
                bool eaten = false;
                if (vk && target->OnKeyDown) {
                    target->OnKeyDown(target, vk, shift);
                    eaten = vk == 0;
                }
                if (ch && target->OnKeyPress) {
                    target->OnKeyPress(target, ch);
                    eaten = eaten || ch == 0;
                }
                return eaten;
            };
            bool eaten = form->KeyPreview && form != control && offer(form);
            if (!eaten) {
                eaten = offer(control);
            }
            if (!eaten && isTab) {
                form->SelectNext(control, !(shift & ssShift) && ke->key() != Qt::Key_Backtab, true);
                eaten = true;
            }
            consumed = eaten;
        });
        return consumed;
    }
};

}  // namespace

void TForm::InstallDispatch()
{
    static bool installed = false;
    if (installed || !qApp) {
        return;
    }
    installed = true;
    qApp->installEventFilter(new KeyDispatch);
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
        if (TControl* c = TControl::FromWidget(now)) {
            if (TForm* f = c->Form(); f && f != c) {
                f->FocusArrived(c);
            }
        }
    });
}

TForm::TForm(TComponent* owner) : TControl(owner, new FormWindow)
{
    static_cast<FormWindow*>(Widget())->form = this;
}

TForm::~TForm()
{
    DestroyComponents();
    activeControl_ = nullptr;
    if (Application) {
        Application->FormDestroyed(this);
    }
    if (auto* w = static_cast<FormWindow*>(Widget())) {
        w->form = nullptr;
    }
}

void TForm::LoadDescription(const std::string& className)
{
    std::string fileName;
    const std::string text = form::ResourceText(className, &fileName);
    LoadDescriptionText(className, text, fileName);
}

void TForm::LoadDescriptionText(const std::string& className, const std::string& text, const std::string& fileName)
{
    ClassName = className;
    form::LoadText(*this, className, text, fileName);
}

void TForm::MissingComponent(const std::string& name, bool wrongClass) const
{
    throw Exception("window " + Name() + ": component " + name + (wrongClass ? " is of another class" : " is missing"));
}

void TForm::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    Widget()->setWindowTitle(QString::fromStdString(text));
}

int TForm::FrameX() const
{
    return borderStyle_ == TFormBorderStyle::bsNone ? 0 : kFrameWidth;
}

int TForm::FrameY() const
{
    return borderStyle_ == TFormBorderStyle::bsNone ? 0 : kFrameWidth * 2 + kCaptionHeight;
}

// Width and Height are the outer size, with the classic frame; the Qt window is the client area.
void TForm::SetBounds(int left, int top, int width, int height)
{
    clientWidth_ = std::max(0, width - 2 * FrameX());
    clientHeight_ = std::max(0, height - FrameY());
    TControl::SetBounds(left, top, width, height);
    Widget()->setGeometry(left, top, clientWidth_, clientHeight_);
    if (borderStyle_ != TFormBorderStyle::bsSizeable && borderStyle_ != TFormBorderStyle::bsSizeToolWin) {
        Widget()->setFixedSize(clientWidth_, clientHeight_);
    }
}

int TForm::ClientWidth() const
{
    return clientWidth_;
}

int TForm::ClientHeight() const
{
    return clientHeight_;
}

void TForm::SetClientWidth(int w)
{
    SetBounds(Left(), Top(), w + 2 * FrameX(), Height());
}

void TForm::SetClientHeight(int h)
{
    SetBounds(Left(), Top(), Width(), h + FrameY());
}

void TForm::SetBorderStyle(TFormBorderStyle s)
{
    const int cw = clientWidth_, ch = clientHeight_;
    borderStyle_ = s;
    QWidget* w = Widget();
    Qt::WindowFlags flags = Qt::Window;
    switch (s) {
    case TFormBorderStyle::bsNone: flags |= Qt::FramelessWindowHint; break;
    case TFormBorderStyle::bsDialog:
        flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
        break;
    case TFormBorderStyle::bsSingle:
        flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint;
        break;
    default: break;
    }
    w->setWindowFlags(flags);
    if (s == TFormBorderStyle::bsSizeable || s == TFormBorderStyle::bsSizeToolWin) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    SetBounds(Left(), Top(), cw + 2 * FrameX(), ch + FrameY());
}

bool TForm::Visible() const
{
    return Widget()->isVisible();
}

void TForm::SetVisible(bool on)
{
    on ? Show() : Hide();
}

void TForm::PlaceOnScreen()
{
    if (Position == TPosition::poScreenCenter || Position == TPosition::poDesktopCenter ||
        Position == TPosition::poMainFormCenter || Position == TPosition::poOwnerFormCenter) {
        const int sw = Application->ScreenWidth(), sh = Application->ScreenHeight();
        SetBounds(std::max(0, (sw - Width()) / 2), std::max(0, (sh - Height()) / 2), Width(), Height());
    }
}

void TForm::Show()
{
    const bool showing = !Visible();
    if (showing) {
        PlaceOnScreen();
        Widget()->show();
    }
    // Shown again, it comes to the front as well.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        Widget()->raise();
    }
    Widget()->activateWindow();
    if (showing) {
        Fire(OnShow);
        TControl* target = activeControl_;
        activeControl_ = nullptr;
        if (target && target->CanFocus()) {
            SetActiveControl(target);
        } else {
            SelectNext(nullptr, true, true);
        }
    }
    if (!Application->FormShown(this, showing) && showing) {
        AbandonShowing();
    }
}

// A window whose set-up failed as it was shown does not stay half-open, where every control would work on
// closed tables: it closes again. Its OnClose still runs, so that it lets go of what it holds and tells its
// caller that nothing was done; what OnClose answers cannot keep it open.
void TForm::AbandonShowing()
{
    RunGuarded([this] {
        TCloseAction action = TCloseAction::caHide;
        if (OnClose) {
            OnClose(this, action);
        }
    });
    if (modal_) {
        modalResult_ = mrCancel;
        modalDone_ = true;  // ShowModal returns at once, without a loop
        return;
    }
    if (Application->MainForm() == this) {
        Application->Terminate();
    }
    Hide();
}

void TForm::Hide()
{
    if (Visible()) {
        Widget()->hide();
        Fire(OnHide);
    }
    Application->FormHidden(this);
}

TModalResult TForm::ShowModal()
{
    if (Visible() || modal_) {
        throw Exception("Cannot make a visible window modal");
    }
    modalResult_ = mrNone;
    modalDone_ = false;
    modal_ = true;
    Widget()->setWindowModality(Qt::ApplicationModal);
    struct Restore {
        TForm* f;
        ~Restore()
        {
            f->modal_ = false;
            f->Hide();
            f->Widget()->setWindowModality(Qt::NonModal);
        }
    } restore{this};
    Show();
    if (modalDone_ || Application->ModalLoopsAborted()) {
        modalResult_ = modalDone_ ? modalResult_ : mrCancel;
        return modalResult_;
    }
    Application->RunModal(*this, [this] {
        QEventLoop loop;
        while (!modalDone_ && !Application->ModalLoopsAborted() && !Application->Terminated()) {
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
    });
    if (!modalDone_ && modalResult_ == mrNone) {
        modalResult_ = mrCancel;
    }
    return modalResult_;
}

void TForm::SetModalResult(TModalResult r)
{
    modalResult_ = r;
    if (modal_ && r != mrNone && !modalDone_) {
        bool closes = false;
        try {
            closes = CloseModal();
        } catch (...) {
            modalResult_ = mrNone;  // a failing OnClose keeps the window open
            throw;
        }
        if (!closes) {
            modalResult_ = mrNone;
        }
    }
}

bool TForm::CloseModal()
{
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(this, canClose);
    }
    if (!canClose) {
        return false;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) {
        OnClose(this, action);
    }
    if (action == TCloseAction::caNone) {
        return false;
    }
    modalDone_ = true;
    return true;
}

void TForm::Close()
{
    if (modal_) {
        SetModalResult(mrCancel);
        return;
    }
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(this, canClose);
    }
    if (!canClose) {
        return;
    }
    TCloseAction action = Application->MainForm() == this ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose) {
        OnClose(this, action);
    }
    if (action == TCloseAction::caNone) {
        return;
    }
    if (Application->MainForm() == this) {
        Application->Terminate();
    }
    Hide();
}

bool TForm::CloseRequested()
{
    Close();
    return !Visible();
}

void TForm::ClientResized()
{
    TControl::ClientResized();
    Fire(OnResize);
}

void TForm::DoCreate()
{
    Fire(OnCreate);
}

// Activation is an event of the event loop: a failing OnActivate shows its error. As the window is shown,
// the message says that the window did not open.
bool TForm::Activate(bool showing)
{
    bool ok = false;
    RunGuarded([&] {
        try {
            if (OnActivate) {
                OnActivate(this);
            }
        } catch (const EAbort&) {
            throw;
        } catch (const std::exception& e) {
            if (!showing) {
                throw;
            }
            throw Exception("无法打开窗口“" + Caption() + "”：" + e.what());
        }
        ok = true;
    });
    return ok;
}

void TForm::Deactivate()
{
    RunGuarded([this] {
        if (OnDeactivate) {
            OnDeactivate(this);
        }
    });
}

void TForm::SetActiveControl(TControl* c)
{
    if (c && c->Form() != this) {
        return;
    }
    if (!Visible()) {
        activeControl_ = c;  // focused when the window is shown
        return;
    }
    FocusArrived(c);
    if (c && Visible()) {
        c->FocusWidget()->setFocus(Qt::OtherFocusReason);
    }
}

void TForm::FocusArrived(TControl* c)
{
    if (c == activeControl_) {
        return;
    }
    TControl* old = activeControl_;
    activeControl_ = c;
    if (old) {
        old->Fire(old->OnExit);
    }
    if (c && activeControl_ == c) {
        c->Fire(c->OnEnter);
    }
}

void TForm::ControlDestroyed(TControl* c)
{
    if (activeControl_ == c) {
        activeControl_ = nullptr;
    }
}

std::vector<TControl*> TForm::TabList() const
{
    std::vector<TControl*> out;
    std::function<void(const TControl*)> walk = [&](const TControl* parent) {
        for (TControl* c : parent->Controls()) {
            out.push_back(c);
            walk(c);
        }
    };
    walk(this);
    return out;
}

void TForm::SelectNext(TControl* current, bool forward, bool checkTabStop)
{
    std::vector<TControl*> list = TabList();
    if (list.empty()) {
        return;
    }
    if (!forward) {
        std::reverse(list.begin(), list.end());
    }
    const auto n = list.size();
    auto it = std::find(list.begin(), list.end(), current);
    std::size_t start = it == list.end() ? n - 1 : static_cast<std::size_t>(it - list.begin());
    for (std::size_t step = 1; step <= n; ++step) {
        TControl* c = list[(start + step) % n];
        if (c != current && c->CanFocus() && c->Showing() && (!checkTabStop || c->TabStop())) {
            SetActiveControl(c);
            return;
        }
    }
}

#include "platform/ui/Registry.h"

namespace {

const ClassBuilder<TForm> kFormClass("TForm", "TControl", [](ClassBuilder<TForm>& c) {
    c.NotCreatable();
    c.AcceptsControls();
    c.Int("ClientWidth", [](TForm& f, int v) { f.SetClientWidth(v); });
    c.Int("ClientHeight", [](TForm& f, int v) { f.SetClientHeight(v); });
    c.Enum("BorderStyle",
           ClassBuilder<TForm>::Ordinals({"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}),
           [](TForm& f, long long v) { f.SetBorderStyle(static_cast<TFormBorderStyle>(v)); });
    c.Enum("Position",
           ClassBuilder<TForm>::Ordinals({"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                          "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}),
           [](TForm& f, long long v) { f.Position = static_cast<TPosition>(v); });
    c.Bool("KeyPreview", [](TForm& f, bool v) { f.KeyPreview = v; });
    c.Reference("ActiveControl", "TControl", [](TForm& f, TComponent* t) { f.SetActiveControl(static_cast<TControl*>(t)); });
    c.Int("PixelsPerInch", [](TForm&, int) {});
    c.Int("TextHeight", [](TForm&, int) {});
    c.Set("BorderIcons", {{"biSystemMenu", 1}, {"biMinimize", 2}, {"biMaximize", 4}, {"biHelp", 8}},
          [](TForm&, long long) {});
    c.Event("OnCreate", &TForm::OnCreate);
    c.Event("OnActivate", &TForm::OnActivate);
    c.Event("OnDeactivate", &TForm::OnDeactivate);
    c.Event("OnShow", &TForm::OnShow);
    c.Event("OnHide", &TForm::OnHide);
    c.Event("OnDestroy", &TForm::OnDestroy);
    c.Event("OnResize", &TForm::OnResize);
    c.Event("OnClose", &TForm::OnClose);
    c.Event("OnCloseQuery", &TForm::OnCloseQuery);
});

}  // namespace
