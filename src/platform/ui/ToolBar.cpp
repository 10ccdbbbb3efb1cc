#include "platform/ui/ToolBar.h"

#include <QFontMetrics>
#include <QFrame>
#include <QToolButton>

#include <algorithm>

#include "platform/ui/Registry.h"

TToolBar::TToolBar(TComponent* owner) : TControl(owner, new QFrame)
{
    SetBounds(0, 0, 150, 29);
    SetAlign(TAlign::alTop);
}

void TToolBar::AttachChild(TControl* child)
{
    TControl::AttachChild(child);
    if (auto* b = dynamic_cast<TToolButton*>(child)) {
        b->ApplyBar(*this);
    }
}

void TToolBar::SetShowCaptions(bool on)
{
    ShowCaptions = on;
    Realign();
}

void TToolBar::SetFlat(bool on)
{
    Flat = on;
    Realign();
}

void TToolBar::Realign()
{
    TControl::Realign();
    if (!arranged_) {
        return;
    }
    std::vector<TControl*> items(Controls().begin(), Controls().end());
    std::stable_sort(items.begin(), items.end(), [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
    int x = 0;
    for (TControl* c : items) {
        if (!c->Visible()) {
            continue;
        }
        auto* b = dynamic_cast<TToolButton*>(c);
        int w = c->Width();
        int h = c->Height();
        if (b) {
            b->ApplyBar(*this);
            if (b->Style() == TToolButtonStyle::tbsSeparator || b->Style() == TToolButtonStyle::tbsDivider) {
                w = std::max(1, c->Width() > 0 && c->Width() < ButtonWidth ? c->Width() : 8);
            } else if (ShowCaptions) {
                const int text = QFontMetrics(b->Widget()->font()).horizontalAdvance(QString::fromStdString(b->Caption()));
                w = std::max(ButtonWidth, text + 8);
            } else {
                w = ButtonWidth;
            }
            h = ButtonHeight;
        }
        const int y = std::max(0, (ClientHeight() - h) / 2);
        c->SetBounds(x, b ? 2 : y, w, h);
        x += w;
    }
}

TToolButton::TToolButton(TComponent* owner) : TControl(owner, new QToolButton)
{
    SetBounds(0, 0, 23, 22);
    QObject::connect(button(), &QToolButton::clicked, button(), [this] { Fire(OnClick); });
}

QToolButton* TToolButton::button() const
{
    return static_cast<QToolButton*>(Widget());
}

void TToolButton::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    button()->setText(QString::fromStdString(text));
    if (auto* bar = dynamic_cast<TToolBar*>(Parent())) {
        bar->Realign();
    }
}

void TToolButton::SetStyle(TToolButtonStyle s)
{
    style_ = s;
    button()->setCheckable(s == TToolButtonStyle::tbsCheck);
    const bool separator = s == TToolButtonStyle::tbsSeparator || s == TToolButtonStyle::tbsDivider;
    button()->setEnabled(!separator && Enabled());
    if (separator) {
        button()->setText({});
    }
}

void TToolButton::ApplyBar(const TToolBar& bar)
{
    button()->setAutoRaise(bar.Flat);
    button()->setToolButtonStyle(bar.ShowCaptions ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
}

void TToolButton::Click()
{
    if (CanFocus() && style_ != TToolButtonStyle::tbsSeparator && style_ != TToolButtonStyle::tbsDivider) {
        button()->click();
    }
}

namespace {

const ClassBuilder<TToolBar> kToolBarClass("TToolBar", "TControl", [](ClassBuilder<TToolBar>& c) {
    c.AcceptsControls();
    c.Int("ButtonWidth", [](TToolBar& t, int v) { t.ButtonWidth = v; });
    c.Int("ButtonHeight", [](TToolBar& t, int v) { t.ButtonHeight = v; });
    c.Bool("Flat", [](TToolBar& t, bool v) { t.SetFlat(v); });
    c.Bool("ShowCaptions", [](TToolBar& t, bool v) { t.SetShowCaptions(v); });
    c.Bool("AutoSize", [](TToolBar&, bool) {});
    c.Bool("Wrapable", [](TToolBar&, bool) {});
    c.Set("EdgeBorders", {{"ebLeft", 1}, {"ebTop", 2}, {"ebRight", 4}, {"ebBottom", 8}}, [](TToolBar&, long long) {});
});

const ClassBuilder<TToolButton> kToolButtonClass("TToolButton", "TControl", [](ClassBuilder<TToolButton>& c) {
    c.ParentClass("TToolBar");
    c.Enum("Style", ClassBuilder<TToolButton>::Ordinals({"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}),
           [](TToolButton& b, long long v) { b.SetStyle(static_cast<TToolButtonStyle>(v)); });
    c.Int("ImageIndex", [](TToolButton&, int) {});
});

}  // namespace
