// TPageControl and its pages TTabSheet. ActivePage and PageIndex set in code fire no OnChange; a page the
// user picks does. A hidden tab (TabVisible false) keeps its page and its place in the order.
#pragma once

#include <vector>

#include "platform/ui/Control.h"

class QTabWidget;
class TTabSheet;

class TPageControl : public TControl {
public:
    explicit TPageControl(TComponent* owner);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int i) const { return pages_.at(static_cast<std::size_t>(i)); }
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);
    bool MultiLine = false;

    // Picks a page as the user would (fires OnChanging, then OnChange); nothing for a hidden tab.
    void SelectPage(TTabSheet* page);

    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

    // For the pages.
    void PageCaptionChanged(TTabSheet* page);
    void PageVisibilityChanged(TTabSheet* page);
    int IndexOf(const TTabSheet* page) const;

protected:
    void AttachChild(TControl* child) override;
    void DetachChild(TControl* child) override;
    bool WantsGenericDblClick() const override { return false; }

private:
    QTabWidget* tabs() const;
    void CurrentChanged(int index);

    std::vector<TTabSheet*> pages_;
    int setting_ = 0;
    int lastIndex_ = -1;
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
