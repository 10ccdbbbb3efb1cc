// List controls: TCheckListBox (items with ticks), TDirectoryListBox (the folders of one folder, to pick a
// target folder) and TDriveComboBox (the drives; on this system the one root "/"). The folder list only
// browses: choosing a folder never changes the process's current folder.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Control.h"

class QListWidget;
class QComboBox;

class TCheckListBox : public TControl {
public:
    explicit TCheckListBox(TComponent* owner);
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    int Count() const;
    bool Checked(int i) const;
    void SetChecked(int i, bool on);
    int ItemIndex() const;
    void SetItemIndex(int i);
    // Ticks or unticks an item as the user would (fires OnClickCheck); nothing while disabled.
    void ToggleItem(int i);
    TNotifyEvent OnClickCheck;

private:
    QListWidget* list() const;
    bool setting_ = false;
};

class TDirectoryListBox : public TControl {
public:
    explicit TDirectoryListBox(TComponent* owner);
    const std::string& Directory() const { return directory_; }
    void SetDirectory(const std::string& dir);  // an absolute folder; "\" and "/" stand for the root
    // Opens a subfolder (or ".." for the parent) as the user's double-click does; fires OnChange.
    bool OpenFolder(const std::string& name);

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
