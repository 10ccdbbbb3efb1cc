// TRadioGroup: a captioned box of radio buttons made from Items, laid out evenly in Columns. OnClick fires when
// the user picks another item; setting ItemIndex in code fires nothing.
#pragma once

#include <vector>

#include "platform/ui/Control.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;

class TRadioGroup : public TControl {
public:
    explicit TRadioGroup(TComponent* owner);
    void SetCaption(const std::string& text) override;
    void SetBounds(int left, int top, int width, int height) override;

    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const;
    void SetItemIndex(int i);
    int Columns() const { return columns_; }
    void SetColumns(int n);

    // Picks an item as the user would (fires OnClick when the item changes); nothing while disabled.
    void ClickItem(int i);
    QRadioButton* Button(int i) const;
    QWidget* FocusWidget() const override;

protected:
    void FontChanged() override { Arrange(); }

private:
    QGroupBox* box() const;
    void Arrange();
    void UserPicked(int i);

    std::vector<std::string> items_;
    std::vector<QRadioButton*> buttons_;
    QButtonGroup* group_;
    int itemIndex_ = -1;
    int columns_ = 1;
};
