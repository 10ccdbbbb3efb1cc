#include "platform/ui/Containers.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include "platform/ui/Registry.h"

TGroupBox::TGroupBox(TComponent* owner) : TControl(owner, new QGroupBox)
{
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    static_cast<QGroupBox*>(Widget())->setTitle(QString::fromStdString(text));
}

namespace {

// A frame that shows its caption in the middle, under its children.
class PanelWidget : public QFrame {
public:
    PanelWidget()
    {
        caption = new QLabel(this);
        caption->setAlignment(Qt::AlignCenter);
        caption->setAttribute(Qt::WA_TransparentForMouseEvents);
        caption->lower();
    }
    QLabel* caption;

protected:
    void resizeEvent(QResizeEvent* ev) override
    {
        QFrame::resizeEvent(ev);
        caption->setGeometry(rect());
        caption->lower();
    }
};

}  // namespace

TPanel::TPanel(TComponent* owner) : TControl(owner, new PanelWidget)
{
    SetBounds(0, 0, 185, 41);
    UpdateFrame();
}

void TPanel::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    static_cast<PanelWidget*>(Widget())->caption->setText(QString::fromStdString(text));
}

void TPanel::SetBevelOuter(TBevelCut b)
{
    outer_ = b;
    UpdateFrame();
}

void TPanel::SetBevelInner(TBevelCut b)
{
    inner_ = b;
    UpdateFrame();
}

void TPanel::UpdateFrame()
{
    auto* f = static_cast<QFrame*>(Widget());
    const TBevelCut b = outer_ != TBevelCut::bvNone ? outer_ : inner_;
    f->setFrameShape(b == TBevelCut::bvNone ? QFrame::NoFrame : QFrame::Panel);
    f->setFrameShadow(b == TBevelCut::bvLowered ? QFrame::Sunken : QFrame::Raised);
}

TScrollBox::TScrollBox(TComponent* owner) : TControl(owner, new QScrollArea), contents_(new QWidget)
{
    area()->setWidget(contents_);
    area()->setWidgetResizable(false);
    SetBounds(0, 0, 185, 41);
    // A control that takes the focus (Enter or Tab moving on, a click, the program) is scrolled into view, so
    // that the user never types into a field out of sight.
    QObject::connect(qApp, &QApplication::focusChanged, area(), [this](QWidget*, QWidget* now) {
        if (now != nullptr && contents_->isAncestorOf(now)) {
            area()->ensureWidgetVisible(now, 8, 8);
        }
    });
}

QScrollArea* TScrollBox::area() const
{
    return static_cast<QScrollArea*>(Widget());
}

void TScrollBox::Realign()
{
    UpdateRange();
    TControl::Realign();
}

// The contents fill the view at least; the width left for them is the view's less a vertical scroll bar when
// the children are taller than the view, so that tall contents scroll one way only.
void TScrollBox::UpdateRange()
{
    int childrenW = 0, childrenH = 0;
    for (TControl* c : Controls()) {
        if (c->Visible() && c->Align() == TAlign::alNone) {
            childrenW = std::max(childrenW, c->Left() + c->Width());
            childrenH = std::max(childrenH, c->Top() + c->Height());
        }
    }
    const QSize view = area()->maximumViewportSize();
    const int bar = childrenH > view.height() ? area()->verticalScrollBar()->sizeHint().width() : 0;
    const int w = std::max(childrenW, view.width() - bar);
    const int hbar = childrenW > view.width() - bar ? area()->horizontalScrollBar()->sizeHint().height() : 0;
    const int h = std::max(childrenH, view.height() - hbar);
    if (contents_->width() != w || contents_->height() != h) {
        contents_->resize(w, h);
    }
}

namespace {

const auto kBevels = ClassBuilder<TPanel>::Ordinals({"bvNone", "bvLowered", "bvRaised", "bvSpace"});

const ClassBuilder<TGroupBox> kGroupBoxClass("TGroupBox", "TControl", [](ClassBuilder<TGroupBox>& c) {
    c.AcceptsControls();
});

const ClassBuilder<TPanel> kPanelClass("TPanel", "TControl", [](ClassBuilder<TPanel>& c) {
    c.AcceptsControls();
    c.Enum("BevelOuter", kBevels, [](TPanel& p, long long v) { p.SetBevelOuter(static_cast<TBevelCut>(v)); });
    c.Enum("BevelInner", kBevels, [](TPanel& p, long long v) { p.SetBevelInner(static_cast<TBevelCut>(v)); });
    c.Int("BevelWidth", [](TPanel&, int) {});
    c.Enum("BorderStyle", ClassBuilder<TPanel>::Ordinals({"bsNone", "bsSingle"}), [](TPanel&, long long) {});
    c.Enum("Alignment", ClassBuilder<TPanel>::Ordinals({"taLeftJustify", "taRightJustify", "taCenter"}),
           [](TPanel&, long long) {});
});

const ClassBuilder<TScrollBox> kScrollBoxClass("TScrollBox", "TControl", [](ClassBuilder<TScrollBox>& c) {
    c.AcceptsControls();
    c.Enum("BorderStyle", ClassBuilder<TScrollBox>::Ordinals({"bsNone", "bsSingle"}), [](TScrollBox&, long long) {});
});

}  // namespace
