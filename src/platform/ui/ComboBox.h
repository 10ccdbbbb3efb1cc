// TComboBox: a drop-down list (csDropDownList) or an editable combo (csDropDown). OnChange fires when the user
// picks an item (also the one already shown) or edits the text; setting ItemIndex or Items in code fires nothing.
#pragma once

#include <vector>

#include "platform/ui/Control.h"

class QComboBox;

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TControl {
public:
    explicit TComboBox(TComponent* owner);
    std::string Text() const override;
    void SetText(const std::string& text) override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle s);
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    void AddItem(const std::string& item);
    void ClearItems();
    int ItemIndex() const;
    void SetItemIndex(int i);
    int DropDownCount = 8;

    // Picks an item as the user would; nothing while disabled.
    void ChooseItem(int i);

private:
    QComboBox* combo() const;

    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    bool setting_ = false;
    int pendingIndex_ = -1;
};
