// The single-table windows: TF_tzjg (report 6, venture-investment institutions, tzjg.db), TF_tsjd (report 10,
// characteristic industry bases, tsjd.db) and TF_sjgxq (report 11, provincial high-tech zones, sjgxq.db). Each
// keeps one record per code in one table and is the shared entry behaviour in its single-table form; a window
// differs from the others only in its setup and in the one import position of "数据追加".
#pragma once

#include "entry/EntryWindow.h"
#include "entry/Import.h"

class TSingleTableWindow : public TEntryWindow {
public:
    TTable* Table1;
    TDataSource* DataSource1;

    void ToolButton9Click(TObject* Sender) override;  // "数据追加"
    const ImportPosition& Position() const { return position_; }

protected:
    TSingleTableWindow(TComponent* owner, const std::string& className, TEntrySetup setup, ImportPosition position);

private:
    ImportPosition position_;
};

class TF_tzjg : public TSingleTableWindow {
public:
    explicit TF_tzjg(TComponent* owner);
};

class TF_tsjd : public TSingleTableWindow {
public:
    explicit TF_tsjd(TComponent* owner);
};

class TF_sjgxq : public TSingleTableWindow {
public:
    explicit TF_sjgxq(TComponent* owner);
};
