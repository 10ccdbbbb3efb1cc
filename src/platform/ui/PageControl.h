// TPageControl and its pages TTabSheet. ActivePage and PageIndex set in code fire no OnChange; a page the
// user picks does. A hidden tab (TabVisible false) keeps its page and its place in the order. With MultiLine
// the tabs wrap into as many rows as the width needs (the row of the active tab next to the page, as the
// classic control shows it); otherwise they stay in one row and are cut at the right edge.
#pragma once

#include <vector>

#include <QRect>

#include "platform/ui/Control.h"

class QStackedWidget;
class TTabSheet;
class PageTabHeader;

class TPageControl : public TControl {
public:
    explicit TPageControl(TComponent* owner);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int i) const { return pages_.at(static_cast<std::size_t>(i)); }
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool on);
    // The tabs as shown: page and rectangle (in the control's coordinates), row by row from the top.
    struct ShownTab {
        TTabSheet* page;
        QRect rect;
    };
    std::vector<ShownTab> ShownTabs() const;
    int HeaderHeight() const;

    // Picks a page as the user would (fires OnChanging, then OnChange); nothing for a hidden tab.
    void SelectPage(TTabSheet* page);

    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

    // For the pages and the tab header.
    void PagesChanged();
    void PageCaptionChanged(TTabSheet* page);
    void PageVisibilityChanged(TTabSheet* page);
    int IndexOf(const TTabSheet* page) const;

protected:
    void AttachChild(TControl* child) override;
    void DetachChild(TControl* child) override;
    bool WantsGenericDblClick() const override { return false; }

    void FontChanged() override { PagesChanged(); }
    void ClientResized() override;

private:
    friend class PageTabHeader;
    void Show(TTabSheet* page);
    void Arrange();

    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
    bool multiLine_ = false;
    PageTabHeader* header_;
    QStackedWidget* stack_;
};

class TTabSheet : public TControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    void SetCaption(const std::string& text) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool on) override;
    int ClientWidth() const override;
    int ClientHeight() const override;

    TPageControl* PageControl() const;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool on);
    int PageIndex() const;
    void SetPageIndex(int i);

private:
    bool tabVisible_ = true;
};
