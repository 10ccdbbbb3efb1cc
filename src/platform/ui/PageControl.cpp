#include "platform/ui/PageControl.h"

#include <QFontMetrics>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QStyleOptionTab>

#include <algorithm>

#include "platform/ui/Registry.h"

// The row(s) of tabs above the pages; clicking a tab is the user's choice of its page.
class PageTabHeader : public QWidget {
public:
    PageTabHeader(TPageControl* owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (const TPageControl::ShownTab& t : owner_->ShownTabs()) {
            QStyleOptionTab opt;
            opt.initFrom(this);
            opt.rect = t.rect;
            opt.text = QString::fromStdString(t.page->Caption());
            opt.shape = QTabBar::RoundedNorth;
            opt.position = QStyleOptionTab::Middle;
            if (t.page == owner_->active_) {
                opt.state |= QStyle::State_Selected;
            } else {
                opt.rect.adjust(0, 2, 0, 0);
            }
            if (!owner_->Enabled()) {
                opt.state &= ~QStyle::State_Enabled;
            }
            style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
        }
    }

    void mousePressEvent(QMouseEvent* ev) override
    {
        for (const TPageControl::ShownTab& t : owner_->ShownTabs()) {
            if (t.rect.contains(ev->position().toPoint())) {
                owner_->SelectPage(t.page);
                return;
            }
        }
    }

private:
    TPageControl* owner_;
};

TPageControl::TPageControl(TComponent* owner) : TControl(owner, new QWidget)
{
    header_ = new PageTabHeader(this, Widget());
    stack_ = new QStackedWidget(Widget());
    stack_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
    Arrange();
}

void TPageControl::AttachChild(TControl* child)
{
    auto* page = dynamic_cast<TTabSheet*>(child);
    if (!page) {
        TControl::AttachChild(child);
        return;
    }
    pages_.push_back(page);
    stack_->addWidget(page->Widget());
    if (!active_ && page->TabVisible()) {
        Show(page);
    }
    PagesChanged();
}

void TPageControl::DetachChild(TControl* child)
{
    auto* page = dynamic_cast<TTabSheet*>(child);
    if (!page) {
        TControl::DetachChild(child);
        return;
    }
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    if (active_ == page) {
        active_ = nullptr;
    }
    if (Widget() && page->Widget()) {
        stack_->removeWidget(page->Widget());
        page->Widget()->setParent(nullptr);
        PagesChanged();
    }
}

int TPageControl::IndexOf(const TTabSheet* page) const
{
    auto it = std::find(pages_.begin(), pages_.end(), page);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

TTabSheet* TPageControl::ActivePage() const
{
    return active_;
}

void TPageControl::Show(TTabSheet* page)
{
    active_ = page;
    if (page) {
        stack_->setCurrentWidget(page->Widget());
    }
    header_->update();
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && IndexOf(page) >= 0) {
        Show(page);
        Arrange();  // the active row moves next to the page
    }
}

int TPageControl::ActivePageIndex() const
{
    return IndexOf(active_);
}

void TPageControl::SetActivePageIndex(int i)
{
    if (i >= 0 && i < PageCount()) {
        SetActivePage(Pages(i));
    }
}

void TPageControl::SetMultiLine(bool on)
{
    multiLine_ = on;
    Arrange();
}

void TPageControl::SelectPage(TTabSheet* page)
{
    if (!page || !CanFocus() || !page->TabVisible() || IndexOf(page) < 0 || page == active_) {
        return;
    }
    bool allow = true;
    RunHandler([&] {
        if (OnChanging) {
            OnChanging(this, allow);
        }
    });
    if (!allow) {
        return;
    }
    SetActivePage(page);
    Fire(OnChange);
}

void TPageControl::PagesChanged()
{
    // A hidden active tab hands the page over to the next shown one, as the classic control does.
    if (active_ && !active_->TabVisible()) {
        TTabSheet* next = nullptr;
        const int at = IndexOf(active_);
        for (int step = 1; step < PageCount() && !next; ++step) {
            TTabSheet* candidate = Pages((at + step) % PageCount());
            if (candidate->TabVisible()) {
                next = candidate;
            }
        }
        if (next) {
            Show(next);
        }
    }
    Arrange();
}

void TPageControl::PageCaptionChanged(TTabSheet*)
{
    PagesChanged();
}

void TPageControl::PageVisibilityChanged(TTabSheet*)
{
    PagesChanged();
}

void TPageControl::ClientResized()
{
    TControl::ClientResized();
    Arrange();
}

std::vector<TPageControl::ShownTab> TPageControl::ShownTabs() const
{
    const QFontMetrics fm(Widget()->font());
    const QStyle* style = header_->style();
    const int hspace = style->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, header_);
    const int vspace = style->pixelMetric(QStyle::PM_TabBarTabVSpace, nullptr, header_);
    // The size the style gives a tab, as Qt's own tab bar asks it.
    auto tabSize = [&](const std::string& caption) {
        QStyleOptionTab opt;
        opt.initFrom(header_);
        opt.shape = QTabBar::RoundedNorth;
        opt.text = QString::fromStdString(caption);
        const QSize contents(fm.horizontalAdvance(opt.text) + hspace, fm.height() + vspace);
        return style->sizeFromContents(QStyle::CT_TabBarTab, &opt, contents, header_);
    };
    const int tabHeight = tabSize("").height();
    const int width = std::max(1, Widget()->width() - 4);
    std::vector<std::vector<ShownTab>> rows(1);
    int x = 0;
    for (TTabSheet* page : pages_) {
        if (!page->TabVisible()) {
            continue;
        }
        const int w = tabSize(page->Caption()).width();
        if (multiLine_ && x > 0 && x + w > width) {
            rows.emplace_back();
            x = 0;
        }
        rows.back().push_back({page, QRect(2 + x, 0, w, tabHeight)});
        x += w;
    }
    // The row with the active tab sits next to the page.
    auto activeRow = std::find_if(rows.begin(), rows.end(), [this](const std::vector<ShownTab>& r) {
        return std::any_of(r.begin(), r.end(), [this](const ShownTab& t) { return t.page == active_; });
    });
    if (activeRow != rows.end()) {
        std::rotate(activeRow, activeRow + 1, rows.end());
    }
    std::vector<ShownTab> out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (ShownTab t : rows[r]) {
            t.rect.moveTop(static_cast<int>(r) * (tabHeight - 2));
            out.push_back(t);
        }
    }
    return out;
}

int TPageControl::HeaderHeight() const
{
    int bottom = 0;
    for (const ShownTab& t : ShownTabs()) {
        bottom = std::max(bottom, t.rect.bottom() + 1);
    }
    return bottom;
}

void TPageControl::Arrange()
{
    const int h = HeaderHeight();
    header_->setGeometry(0, 0, Widget()->width(), h);
    stack_->setGeometry(0, std::max(0, h - 1), Widget()->width(), std::max(0, Widget()->height() - h + 1));
    header_->raise();
    header_->update();
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
    c.Bool("MultiLine", [](TPageControl& p, bool v) { p.SetMultiLine(v); });
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
