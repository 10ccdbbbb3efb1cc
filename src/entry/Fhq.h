// TF_fhq: the incubators window of report 9. An incubator (fhq.db) and the incubated or graduated enterprises
// of each incubator (fhqzfqy.db, linked by CODE and keyed by CODE;CODE2), one record of each at a time in edit
// fields; the check's jump may position it on an enterprise. Everything but "数据追加" is the shared behaviour.
#pragma once

#include <vector>

#include "entry/EntryWindow.h"
#include "entry/Import.h"

class TF_fhq : public TEntryWindow {
public:
    explicit TF_fhq(TComponent* owner);

    TTable* Table1;
    TTable* Table2;
    TDataSource* DataSource1;
    TDataSource* DataSource2;
    TDBEdit* DBEdit78;   // the incubator's code
    TDBEdit* DBEdit130;  // the enterprise's code
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet3;

    void ToolButton9Click(TObject* Sender) override;  // "数据追加"
};

// The window's tables as import targets: 0 fhq.db, 1 fhqzfqy.db.
std::vector<ImportPosition> FhqImportPositions();
