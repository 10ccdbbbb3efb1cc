// TF_rjjd: the software bases window of report 7, the one window with three levels: a base (rjjd.db), the
// software enterprises of each base (rjjdqy.db, keyed by Code;Code2) on three pages of fields, and the products
// or services of each enterprise (rjjdqycp.db, keyed by Code;Code2;Code3) in a grid pair that can show every
// enterprise's products. Its own are "数据追加" of the three tables and a locate that searches the bases from
// any page; the rest is the shared behaviour.
#pragma once

#include <vector>

#include "entry/EntryWindow.h"
#include "entry/Import.h"

class TF_rjjd : public TEntryWindow {
public:
    explicit TF_rjjd(TComponent* owner);

    TTable* Table1;
    TTable* Table2;
    TTable* Table3;
    TDataSource* DataSource1;
    TDataSource* DataSource2;
    TDataSource* DataSource3;
    TDBEdit* DBEdit100;  // the base's code
    TDBEdit* DBEdit149;  // the enterprise's code
    TDBGrid* DBGrid1;
    TDBGrid* DBGrid2;
    TComboBox* ComboBox2;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet3;
    TTabSheet* TabSheet5;

    void StatusBar1DblClick(TObject* Sender) override;  // the bases, from any page
    void ToolButton9Click(TObject* Sender) override;    // "数据追加"
};

// The window's tables as import targets: 0 rjjd.db, 1 rjjdqy.db, 2 rjjdqycp.db.
std::vector<ImportPosition> RjjdImportPositions();
