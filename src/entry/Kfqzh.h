// TF_kfqzh: the zone overview of report 2 (kfqzh.db), one record without a key in edit fields over four pages,
// the last of which holds the 20 x 2 matrix of service institutions. It is the shared entry behaviour in its
// smallest keyed-less form: rules, masks, status text, store, delete, cancel and close; no navigation, no insert,
// no validation switch, no locate and no import.
#pragma once

#include "entry/EntryWindow.h"

class TF_kfqzh : public TEntryWindow {
public:
    explicit TF_kfqzh(TComponent* owner);

    TTable* Table1;
    TDataSource* DataSource1;

    void FormActivate(TObject* Sender) override;
    void ToolButton6Click(TObject* Sender) override;  // "删除记录"
};
