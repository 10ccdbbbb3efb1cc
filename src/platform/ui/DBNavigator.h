// TDBNavigator: a bar of buttons that move and edit the data set of a data source (first, prior, next, last,
// insert, delete, edit, post, cancel, refresh). Each button is enabled only where its action makes sense in
// the data set's state; a delete asks first when ConfirmDelete is on.
#pragma once

#include "platform/ui/Control.h"

class TDataSource;

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
inline constexpr int kNavigateButtonCount = nbRefresh + 1;
using TButtonSet = unsigned;  // bit (1 << TNavigateBtn)
inline constexpr TButtonSet kAllNavigateButtons = (1u << kNavigateButtonCount) - 1;

class TDBNavigator : public TControl {
public:
    explicit TDBNavigator(TComponent* owner);
    ~TDBNavigator() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    TButtonSet VisibleButtons() const { return visible_; }
    void SetVisibleButtons(TButtonSet buttons);
    bool ConfirmDelete = true;

    // Presses a button as the user would: nothing happens while it is disabled or hidden.
    void BtnClick(TNavigateBtn button);
    bool ButtonEnabled(TNavigateBtn button) const;

private:
    void UpdateButtons();
    void Act(TNavigateBtn button);

    TButtonSet visible_ = kAllNavigateButtons;
};
