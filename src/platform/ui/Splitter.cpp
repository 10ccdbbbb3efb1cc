#include "platform/ui/Splitter.h"

#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <climits>

#include "platform/ui/Registry.h"

namespace {

// The bar's widget: a resize cursor, and a drag that reports how far the mouse went.
class SplitterWidget : public QWidget {
public:
    explicit SplitterWidget(TSplitter* owner) : owner_(owner) {}

protected:
    void enterEvent(QEnterEvent*) override
    {
        const TAlign a = owner_->Align();
        setCursor(a == TAlign::alTop || a == TAlign::alBottom ? Qt::SplitVCursor : Qt::SplitHCursor);
    }
    void mousePressEvent(QMouseEvent* e) override { last_ = e->globalPosition().toPoint(); }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (!(e->buttons() & Qt::LeftButton)) {
            return;
        }
        const QPoint now = e->globalPosition().toPoint();
        const bool vertical = owner_->Align() == TAlign::alTop || owner_->Align() == TAlign::alBottom;
        const int moved = owner_->DragBy(vertical ? now.y() - last_.y() : now.x() - last_.x());
        last_ += vertical ? QPoint(0, moved) : QPoint(moved, 0);
    }

private:
    TSplitter* owner_;
    QPoint last_;
};

bool Vertical(TAlign a) { return a == TAlign::alTop || a == TAlign::alBottom; }

}  // namespace

TSplitter::TSplitter(TComponent* owner) : TControl(owner, new SplitterWidget(this))
{
    SetBounds(0, 0, 3, 100);
}

void TSplitter::Loaded()
{
    // Aligned only once loaded: a size given before the alignment must not be stretched as a left bar's.
    if (Align() == TAlign::alNone) {
        SetAlign(TAlign::alLeft);
    }
}

TControl* TSplitter::Controlled() const
{
    if (!Parent()) {
        return nullptr;
    }
    for (TControl* c : Parent()->Controls()) {
        if (c == this || !c->Visible() || c->Align() != Align()) {
            continue;
        }
        const bool adjacent = Align() == TAlign::alTop      ? c->Top() + c->Height() == Top()
                              : Align() == TAlign::alBottom ? c->Top() == Top() + Height()
                              : Align() == TAlign::alLeft   ? c->Left() + c->Width() == Left()
                              : Align() == TAlign::alRight  ? c->Left() == Left() + Width()
                                                            : false;
        if (adjacent) {
            return c;
        }
    }
    return nullptr;
}

TControl* TSplitter::ClientSibling() const
{
    for (TControl* c : Parent()->Controls()) {
        if (c != this && c->Visible() && c->Align() == TAlign::alClient) {
            return c;
        }
    }
    return nullptr;
}

int TSplitter::DragBy(int pixels)
{
    TControl* target = Controlled();
    if (!target || pixels == 0 || !CanFocus()) {
        return 0;
    }
    const bool vertical = Vertical(Align());
    // Moving towards the target shrinks it; moving away grows it at the expense of the client control.
    const bool towards = Align() == TAlign::alBottom || Align() == TAlign::alRight ? pixels > 0 : pixels < 0;
    const int size = vertical ? target->Height() : target->Width();
    const TControl* client = ClientSibling();
    const int room = client ? (vertical ? client->Height() : client->Width()) - MinSize : INT_MAX / 2;
    const int change = towards ? -std::min(std::abs(pixels), std::max(0, size - MinSize))
                               : std::min(std::abs(pixels), std::max(0, room));
    if (change == 0) {
        return 0;
    }
    // Only the size changes: the stack keeps its order by position and the parent re-lays it out.
    if (vertical) {
        target->SetBounds(target->Left(), target->Top(), target->Width(), size + change);
    } else {
        target->SetBounds(target->Left(), target->Top(), size + change, target->Height());
    }
    Fire(OnMoved);
    return pixels > 0 ? std::abs(change) : -std::abs(change);
}

namespace {
const ClassBuilder<TSplitter> kSplitterClass("TSplitter", "TControl", [](ClassBuilder<TSplitter>& c) {
    c.Int("MinSize", [](TSplitter& s, int v) { s.MinSize = v; });
    c.Bool("Beveled", [](TSplitter&, bool) {});
    c.Event("OnMoved", &TSplitter::OnMoved);
});
}  // namespace
