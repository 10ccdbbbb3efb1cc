// TF_dxkjy: the university science parks window of report 8. A park (dx.db) has two lists of its own, both
// linked by its code: the enterprises incubated or graduated in the park (dxzfqy.db, CODE;CODE2) on a page of
// fields, and the park's national projects (dxxm.db, Code;Code2) in one grid. Everything but "数据追加" is the
// shared behaviour.
#pragma once

#include <vector>

#include "entry/EntryWindow.h"
#include "entry/Import.h"

class TF_dxkjy : public TEntryWindow {
public:
    explicit TF_dxkjy(TComponent* owner);

    TTable* Table1;
    TTable* Table2;
    TTable* Table3;
    TDataSource* DataSource1;
    TDataSource* DataSource2;
    TDataSource* DataSource3;
    TDBEdit* DBEdit78;   // the park's code
    TDBEdit* DBEdit130;  // the enterprise's code
    TDBGrid* DBGrid1;    // the projects
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet3;
    TTabSheet* TabSheet5;

    void ToolButton9Click(TObject* Sender) override;  // "数据追加"
};

// The window's tables as import targets: 0 dx.db, 1 dxzfqy.db, 2 dxxm.db.
std::vector<ImportPosition> DxkjyImportPositions();
