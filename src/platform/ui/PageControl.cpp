#include "platform/ui/PageControl.h"

#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

#include "platform/ui/Registry.h"

TPageControl::TPageControl(TComponent* owner) : TControl(owner, new QTabWidget)
{
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
    tabs()->setUsesScrollButtons(true);
    tabs()->tabBar()->setExpanding(false);
    QObject::connect(tabs(), &QTabWidget::currentChanged, tabs(), [this](int i) { CurrentChanged(i); });
}

QTabWidget* TPageControl::tabs() const
{
    return static_cast<QTabWidget*>(Widget());
}

void TPageControl::AttachChild(TControl* child)
{
    auto* page = dynamic_cast<TTabSheet*>(child);
    if (!page) {
        TControl::AttachChild(child);
        return;
    }
    ++setting_;
    pages_.push_back(page);
    tabs()->addTab(page->Widget(), QString::fromStdString(page->Caption()));
    tabs()->setTabVisible(tabs()->indexOf(page->Widget()), page->TabVisible());
    --setting_;
    lastIndex_ = tabs()->currentIndex();
}

void TPageControl::DetachChild(TControl* child)
{
    auto* page = dynamic_cast<TTabSheet*>(child);
    if (!page) {
        TControl::DetachChild(child);
        return;
    }
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    if (!Widget() || !page->Widget()) {
        return;
    }
    ++setting_;
    if (const int i = tabs()->indexOf(page->Widget()); i >= 0) {
        tabs()->removeTab(i);
    }
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    --setting_;
    lastIndex_ = tabs()->currentIndex();
}

int TPageControl::IndexOf(const TTabSheet* page) const
{
    auto it = std::find(pages_.begin(), pages_.end(), page);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

TTabSheet* TPageControl::ActivePage() const
{
    const int i = tabs()->currentIndex();
    for (TTabSheet* p : pages_) {
        if (tabs()->indexOf(p->Widget()) == i) {
            return i >= 0 ? p : nullptr;
        }
    }
    return nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    ++setting_;
    if (page && IndexOf(page) >= 0) {
        tabs()->setCurrentWidget(page->Widget());
    }
    lastIndex_ = tabs()->currentIndex();
    --setting_;
}

int TPageControl::ActivePageIndex() const
{
    return IndexOf(ActivePage());
}

void TPageControl::SetActivePageIndex(int i)
{
    if (i >= 0 && i < PageCount()) {
        SetActivePage(Pages(i));
    }
}

void TPageControl::SelectPage(TTabSheet* page)
{
    if (!page || !CanFocus() || !page->TabVisible() || IndexOf(page) < 0 || page == ActivePage()) {
        return;
    }
    bool allow = true;
    RunGuarded([&] {
        if (OnChanging) {
            OnChanging(this, allow);
        }
    });
    if (allow) {
        tabs()->setCurrentWidget(page->Widget());
    }
}

void TPageControl::CurrentChanged(int index)
{
    if (setting_ > 0) {
        lastIndex_ = index;
        return;
    }
    if (index == lastIndex_) {
        return;
    }
    lastIndex_ = index;
    Fire(OnChange);
}

void TPageControl::PageCaptionChanged(TTabSheet* page)
{
    if (const int i = tabs()->indexOf(page->Widget()); i >= 0) {
        tabs()->setTabText(i, QString::fromStdString(page->Caption()));
    }
}

void TPageControl::PageVisibilityChanged(TTabSheet* page)
{
    ++setting_;
    if (const int i = tabs()->indexOf(page->Widget()); i >= 0) {
        tabs()->setTabVisible(i, page->TabVisible());
    }
    lastIndex_ = tabs()->currentIndex();
    --setting_;
}

TTabSheet::TTabSheet(TComponent* owner) : TControl(owner, new QWidget)
{
}

TTabSheet::~TTabSheet()
{
    SetParent(nullptr);
}

TPageControl* TTabSheet::PageControl() const
{
    return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    if (TPageControl* pc = PageControl()) {
        pc->PageCaptionChanged(this);
    }
}

// The page control sizes its pages.
void TTabSheet::SetBounds(int, int, int, int)
{
}

void TTabSheet::SetVisible(bool on)
{
    SetTabVisible(on);
}

int TTabSheet::ClientWidth() const
{
    return Widget()->width();
}

int TTabSheet::ClientHeight() const
{
    return Widget()->height();
}

void TTabSheet::SetTabVisible(bool on)
{
    tabVisible_ = on;
    if (TPageControl* pc = PageControl()) {
        pc->PageVisibilityChanged(this);
    }
}

int TTabSheet::PageIndex() const
{
    TPageControl* pc = PageControl();
    return pc ? pc->IndexOf(this) : -1;
}

void TTabSheet::SetPageIndex(int)
{
    // Pages keep the order in which they are declared.
}

namespace {

const ClassBuilder<TPageControl> kPageControlClass("TPageControl", "TControl", [](ClassBuilder<TPageControl>& c) {
    c.AcceptsControls();
    c.Reference("ActivePage", "TTabSheet",
                [](TPageControl& p, TComponent* t) { p.SetActivePage(static_cast<TTabSheet*>(t)); });
    c.Bool("MultiLine", [](TPageControl& p, bool v) { p.MultiLine = v; });
    c.Event("OnChange", &TControl::OnChange);
    c.Event("OnChanging", &TPageControl::OnChanging);
});

const ClassBuilder<TTabSheet> kTabSheetClass("TTabSheet", "TControl", [](ClassBuilder<TTabSheet>& c) {
    c.AcceptsControls();
    c.ParentClass("TPageControl");
    c.Bool("TabVisible", [](TTabSheet& t, bool v) { t.SetTabVisible(v); });
    c.Int("PageIndex", [](TTabSheet& t, int v) { t.SetPageIndex(v); });
});

}  // namespace
