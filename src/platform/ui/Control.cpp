#include "platform/ui/Control.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

#include "platform/ui/Form.h"

namespace {

constexpr const char* kControlProperty = "vemora.control";

}  // namespace

// Per-widget events of a control: double-clicks and resizes of its client area.
class ControlEventFilter : public QObject {
public:
    ControlEventFilter(TControl* c, QObject* parent) : QObject(parent), control_(c) {}

    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() == QEvent::MouseButtonDblClick && obj == control_->Widget() &&
            control_->WantsGenericDblClick()) {
            control_->Fire(control_->OnDblClick);
            return false;
        }
        if (ev->type() == QEvent::FontChange && obj == control_->Widget()) {
            control_->FontChanged();
        }
        if (ev->type() == QEvent::Resize && obj == control_->ClientWidget()) {
            control_->ClientResized();
        }
        return false;
    }

private:
    TControl* control_;
};

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), widget_(widget)
{
    static long long sequence = 0;
    created_ = ++sequence;
    widget_->setProperty(kControlProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    widget_->installEventFilter(new ControlEventFilter(this, widget_));
    TForm::InstallDispatch();
}

TControl::~TControl()
{
    DestroyComponents();  // while the widgets they sit in still exist
    for (TControl* c : controls_) {
        c->parent_ = nullptr;
    }
    if (parent_) {
        auto& sib = parent_->controls_;
        sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
    }
    if (TForm* f = Form(); f && f != this) {
        f->ControlDestroyed(this);
    }
    if (widget_) {
        widget_->setProperty(kControlProperty, QVariant());
        delete widget_.data();
    }
}

TControl* TControl::FromWidget(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kControlProperty);
        if (v.isValid()) {
            return reinterpret_cast<TControl*>(v.value<quintptr>());
        }
    }
    return nullptr;
}

void TControl::SetParent(TControl* parent)
{
    if (parent == parent_) {
        return;
    }
    if (parent_) {
        auto& sib = parent_->controls_;
        sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
        parent_->DetachChild(this);
        parent_->Realign();
    }
    parent_ = parent;
    if (parent_) {
        parent_->controls_.push_back(this);
        QWidget* client = parent_->ClientWidget();
        if (!parent_->clientFiltered_) {
            parent_->clientFiltered_ = true;
            if (client != parent_->widget_) {
                client->installEventFilter(new ControlEventFilter(parent_, client));
            }
        }
        parent_->AttachChild(this);
        if (align_ != TAlign::alNone) {
            parent_->Realign();
        }
    } else if (widget_) {
        widget_->hide();
        widget_->setParent(nullptr);
    }
}

void TControl::AttachChild(TControl* child)
{
    if (!widget_ || !child->widget_) {
        return;
    }
    child->widget_->setParent(ClientWidget());
    child->ApplyGeometry();
    child->widget_->setVisible(child->visible_);
}

void TControl::DetachChild(TControl* child)
{
    if (!widget_ || !child->widget_) {
        return;
    }
    child->widget_->hide();
    child->widget_->setParent(nullptr);
}

TForm* TControl::Form() const
{
    const TControl* c = this;
    while (c->parent_) {
        c = c->parent_;
    }
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    ApplyGeometry();
    if (parent_ && align_ != TAlign::alNone && !parent_->aligning_) {
        parent_->Realign();
    }
}

void TControl::ApplyGeometry()
{
    if (widget_) {
        widget_->setGeometry(left_, top_, width_, height_);
    }
}

void TControl::SetVisible(bool on)
{
    visible_ = on;
    if (widget_ && widget_->parentWidget()) {
        widget_->setVisible(on);
    }
    if (parent_ && align_ != TAlign::alNone) {
        parent_->Realign();
    }
}

void TControl::SetEnabled(bool on)
{
    enabled_ = on;
    widget_->setEnabled(on);
}

bool TControl::Showing() const
{
    const TControl* top = this;
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_) {
            return false;
        }
        top = c;
    }
    // A control on a page that is not the page control's current one is not shown either.
    return top == this || !widget_ || !top->widget_ || widget_->isVisibleTo(top->widget_);
}

bool TControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_ || !c->enabled_) {
            return false;
        }
    }
    return true;
}

void TControl::SetCaption(const std::string& text)
{
    caption_ = text;
}

void TControl::SetFont(const TFont& font)
{
    font_ = font;
    ApplyFont();
}

void TControl::ApplyFont()
{
    widget_->setFont(font_.ToQFont());
    if (font_.Color) {
        QPalette pal = widget_->palette();
        pal.setColor(QPalette::WindowText, ToQColor(*font_.Color));
        pal.setColor(QPalette::Text, ToQColor(*font_.Color));
        pal.setColor(QPalette::ButtonText, ToQColor(*font_.Color));
        widget_->setPalette(pal);
    }
}

void TControl::SetColor(TColor c)
{
    color_ = c;
    if (c == clDefault) {
        return;
    }
    QPalette pal = widget_->palette();
    pal.setColor(QPalette::Window, ToQColor(c));
    pal.setColor(QPalette::Base, ToQColor(c));
    widget_->setPalette(pal);
    widget_->setAutoFillBackground(true);
}

int TControl::TabOrder() const
{
    if (!parent_) {
        return -1;
    }
    const auto& sib = parent_->controls_;
    return static_cast<int>(std::find(sib.begin(), sib.end(), this) - sib.begin());
}

void TControl::SetTabOrder(int order)
{
    if (!parent_) {
        return;
    }
    auto& sib = parent_->controls_;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
    const auto pos = static_cast<std::size_t>(std::clamp(order, 0, static_cast<int>(sib.size())));
    sib.insert(sib.begin() + static_cast<std::ptrdiff_t>(pos), this);
}

void TControl::SetAlign(TAlign a)
{
    align_ = a;
    if (parent_) {
        parent_->Realign();
    }
}

void TControl::SetCursor(TCursor c)
{
    cursor_ = c;
    switch (c) {
    case crHourGlass: widget_->setCursor(Qt::WaitCursor); break;
    case crHandPoint: widget_->setCursor(Qt::PointingHandCursor); break;
    case crIBeam: widget_->setCursor(Qt::IBeamCursor); break;
    case crCross: widget_->setCursor(Qt::CrossCursor); break;
    default: widget_->unsetCursor(); break;
    }
}

void TControl::SetHint(const std::string& h)
{
    hint_ = h;
    widget_->setToolTip(QString::fromStdString(h));
}

bool TControl::Focused() const
{
    const QWidget* f = QApplication::focusWidget();
    return f && FromWidget(f) == this;
}

void TControl::SetFocus()
{
    if (TForm* f = Form()) {
        f->SetActiveControl(this);
    } else {
        FocusWidget()->setFocus(Qt::OtherFocusReason);
    }
}

void TControl::BringToFront()
{
    widget_->raise();
}

void TControl::SendToBack()
{
    widget_->lower();
}

void TControl::ClientResized()
{
    Realign();
}

void TControl::Realign()
{
    if (aligning_ || pauses_ > 0) {
        return;
    }
    aligning_ = true;
    const QWidget* client = ClientWidget();
    int l = 0, t = 0, r = client->width(), b = client->height();
    auto place = [](TControl* c, int x, int y, int w, int h) {
        c->left_ = x;
        c->top_ = y;
        c->width_ = std::max(0, w);
        c->height_ = std::max(0, h);
        c->ApplyGeometry();
    };
    // Top and left stacks in ascending position, bottom and right stacks from the edge inwards; equal positions
    // keep declaration order (the first declared is outermost at the top and left, innermost at the bottom
    // and right, so that a status bar declared after a tool bar sits under it).
    std::vector<TControl*> order(controls_.begin(), controls_.end());
    auto sorted = [&](TAlign a) {
        std::vector<TControl*> out;
        for (TControl* c : order) {
            if (c->align_ == a && c->visible_) {
                out.push_back(c);
            }
        }
        std::stable_sort(out.begin(), out.end(), [a](TControl* x, TControl* y) {
            const int px = (a == TAlign::alTop || a == TAlign::alBottom) ? x->top_ : x->left_;
            const int py = (a == TAlign::alTop || a == TAlign::alBottom) ? y->top_ : y->left_;
            if (a == TAlign::alBottom || a == TAlign::alRight) {
                return px != py ? px > py : x->created_ > y->created_;
            }
            return px != py ? px < py : x->created_ < y->created_;
        });
        return out;
    };
    for (TControl* c : sorted(TAlign::alTop)) {
        place(c, l, t, r - l, c->height_);
        t += c->height_;
    }
    for (TControl* c : sorted(TAlign::alBottom)) {
        b -= c->height_;
        place(c, l, b, r - l, c->height_);
    }
    for (TControl* c : sorted(TAlign::alLeft)) {
        place(c, l, t, c->width_, b - t);
        l += c->width_;
    }
    for (TControl* c : sorted(TAlign::alRight)) {
        r -= c->width_;
        place(c, r, t, c->width_, b - t);
    }
    for (TControl* c : sorted(TAlign::alClient)) {
        place(c, l, t, r - l, b - t);
    }
    aligning_ = false;
}

WORD VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return static_cast<WORD>(qtKey);  // Qt uses the same codes as the virtual keys here
    }
    return 0;
}

int QtKeyOf(WORD vk)
{
    for (int k : {int(Qt::Key_Backspace), int(Qt::Key_Tab), int(Qt::Key_Return), int(Qt::Key_Escape),
                  int(Qt::Key_Space), int(Qt::Key_PageUp), int(Qt::Key_PageDown), int(Qt::Key_End),
                  int(Qt::Key_Home), int(Qt::Key_Left), int(Qt::Key_Up), int(Qt::Key_Right), int(Qt::Key_Down),
                  int(Qt::Key_Insert), int(Qt::Key_Delete)}) {
        if (VirtualKeyOf(k) == vk) {
            return k;
        }
    }
    if (vk >= VK_F1 && vk < VK_F1 + 12) {
        return Qt::Key_F1 + (vk - VK_F1);
    }
    return vk;
}

#include "platform/ui/Registry.h"

namespace {

template <class T>
void SetFontField(T& c, const std::function<void(TFont&)>& f)
{
    f(c.FontForUpdate());
    c.ApplyFont();
}

const ClassBuilder<TControl> kControlClass("TControl", "TComponent", [](ClassBuilder<TControl>& c) {
    c.NotCreatable();
    c.Int("Left", [](TControl& t, int v) { t.SetLeft(v); });
    c.Int("Top", [](TControl& t, int v) { t.SetTop(v); });
    c.Int("Width", [](TControl& t, int v) { t.SetWidth(v); });
    c.Int("Height", [](TControl& t, int v) { t.SetHeight(v); });
    c.Bool("Visible", [](TControl& t, bool v) { t.SetVisible(v); });
    c.Bool("Enabled", [](TControl& t, bool v) { t.SetEnabled(v); });
    c.String("Caption", [](TControl& t, const std::string& v) { t.SetCaption(v); });
    c.Int("TabOrder", [](TControl& t, int v) { t.SetTabOrder(v); });
    c.Bool("TabStop", [](TControl& t, bool v) { t.SetTabStop(v); });
    c.Enum("Align", ClassBuilder<TControl>::Ordinals({"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}),
           [](TControl& t, long long v) { t.SetAlign(static_cast<TAlign>(v)); });
    c.Enum("Cursor", {{"crDefault", crDefault}, {"crArrow", crArrow}, {"crCross", crCross}, {"crIBeam", crIBeam},
                      {"crHourGlass", crHourGlass}, {"crHandPoint", crHandPoint}},
           [](TControl& t, long long v) { t.SetCursor(static_cast<TCursor>(v)); }, true);
    c.String("Hint", [](TControl& t, const std::string& v) { t.SetHint(v); });
    c.Bool("ShowHint", [](TControl& t, bool v) { t.ShowHint = v; });
    c.Int("Tag", [](TControl& t, int v) { t.Tag = v; });
    c.Enum("Color", ColorNames(), [](TControl& t, long long v) { t.SetColor(static_cast<TColor>(v)); }, true);
    // Kept for descriptions written the classic way; fonts always resolve against the parent's.
    c.Bool("ParentFont", [](TControl&, bool) {});
    c.Bool("ParentColor", [](TControl&, bool) {});
    c.Bool("ParentShowHint", [](TControl&, bool) {});
    c.String("Font.Name", [](TControl& t, const std::string& v) { SetFontField(t, [&](TFont& f) { f.Name = v; }); });
    c.Int("Font.Height", [](TControl& t, int v) { SetFontField(t, [&](TFont& f) { f.Height = v; }); });
    c.Int("Font.Size", [](TControl& t, int v) { SetFontField(t, [&](TFont& f) { f.Size = v; }); });
    c.Enum("Font.Charset", {{"DEFAULT_CHARSET", DEFAULT_CHARSET}, {"ANSI_CHARSET", ANSI_CHARSET},
                            {"GB2312_CHARSET", GB2312_CHARSET}},
           [](TControl& t, long long v) { SetFontField(t, [&](TFont& f) { f.Charset = static_cast<int>(v); }); }, true);
    c.Set("Font.Style", {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline},
                         {"fsStrikeOut", fsStrikeOut}},
          [](TControl& t, long long v) { SetFontField(t, [&](TFont& f) { f.Style = static_cast<TFontStyles>(v); }); });
    c.Enum("Font.Color", ColorNames(),
           [](TControl& t, long long v) { SetFontField(t, [&](TFont& f) { f.Color = static_cast<TColor>(v); }); }, true);
    c.Event("OnClick", &TControl::OnClick);
    c.Event("OnDblClick", &TControl::OnDblClick);
    c.Event("OnEnter", &TControl::OnEnter);
    c.Event("OnExit", &TControl::OnExit);
    c.Event("OnKeyPress", &TControl::OnKeyPress);
    c.Event("OnKeyDown", &TControl::OnKeyDown);
    c.Event("OnKeyUp", &TControl::OnKeyUp);
});

}  // namespace
