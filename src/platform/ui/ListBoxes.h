// List controls: TListBox (a list of texts with one selected item), TCheckListBox (the same with a tick per
// item), TDirectoryListBox (the path to one folder and its subfolders, to pick a target folder) and
// TDriveComboBox (the drives; on this system the one root "/"). The folder list only browses: choosing a folder
// never changes the process's current folder. Clicks on a list land on its viewport, so the lists take their
// double-clicks from there.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Control.h"

class QListWidget;
class QComboBox;

// What TListBox and TCheckListBox share: the items, the selected item and the user's clicks. Changes made in
// code (items, selection) fire nothing; the user's selection fires OnClick, a double-click OnDblClick.
class TCustomListBox : public TControl {
public:
    explicit TCustomListBox(TComponent* owner);

    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    int Count() const;
    std::string Item(int i) const;  // "" outside the list
    int Add(const std::string& item);  // appends; returns the new item's index
    void Delete(int i);                // nothing outside the list
    void Clear();
    int IndexOf(const std::string& item) const;  // exact match; -1 when absent
    int ItemIndex() const;  // -1 when nothing is selected
    void SetItemIndex(int i);

    // The user's mouse on an item (on the viewport, as a real click arrives); false when the control cannot be
    // used or the item does not exist.
    bool ClickItem(int i);
    bool DblClickItem(int i);

protected:
    QListWidget* list() const;
    bool WantsGenericDblClick() const override { return false; }
    virtual void ItemAdded(int /*index*/) {}
    bool setting_ = false;  // a change made in code: no event

private:
    bool SendMouse(int i, bool doubleClick);
    bool keyDown_ = false;
    bool afterDouble_ = false, swallowClick_ = false;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* owner);
};

class TCheckListBox : public TCustomListBox {
public:
    explicit TCheckListBox(TComponent* owner);
    bool Checked(int i) const;
    void SetChecked(int i, bool on);
    // Ticks or unticks an item as the user would (fires OnClickCheck); nothing while disabled.
    void ToggleItem(int i);
    TNotifyEvent OnClickCheck;

protected:
    void ItemAdded(int index) override;
};

class TDirectoryListBox : public TControl {
public:
    explicit TDirectoryListBox(TComponent* owner);
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& dir);  // an absolute folder; "\" and "/" stand for the root
    // Opens a folder as the user's double-click on its item does: a subfolder by name, ".." for the parent, or a
    // full path (the items of the folders above); fires OnChange. False when there is no such folder.
    bool OpenFolder(const std::string& name);
    // The items as shown: the folders from the root down to the one shown, then its subfolders, indented.
    std::vector<std::string> Items() const;

private:
    QListWidget* list() const;
    void Fill();
    std::string directory_ = "/";
};

class TDriveComboBox : public TControl {
public:
    explicit TDriveComboBox(TComponent* owner);
    std::string Drive() const { return "/"; }
    TDirectoryListBox* DirList = nullptr;
};
