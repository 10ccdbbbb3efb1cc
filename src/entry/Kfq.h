// TF_kfq: the enterprise window of reports 1 and 3. The master kfq_1.db holds one enterprise per record, its
// products (kfq_2.db) and science and technology projects (kfq_5.db) are linked by the report number QA01.
// Everything but the imports ("数据追加", "数据入库", in KfqImport) is the shared entry-window behaviour.
#pragma once

#include "entry/EntryWindow.h"

class TF_kfq : public TEntryWindow {
public:
    explicit TF_kfq(TComponent* owner);

    TTable* Table1;
    TTable* Table2;
    TTable* Table5;
    TDataSource* DataSource1;
    TDataSource* DataSource2;
    TDataSource* DataSource5;
    TDBGrid* DBGrid1;
    TDBGrid* DBGrid2;
    TDBGrid* DBGrid5;
    TDBGrid* DBGrid6;
    TComboBox* ComboBox2;
    TComboBox* ComboBox3;
    TToolButton* ToolButton11;
    TTabSheet* TabSheet1;
    TDBEdit* DBEdit1;  // the report number on the cover
    TLabel* Label2;    // its label

    void ToolButton9Click(TObject* Sender) override;  // "数据追加"
    void ToolButton11Click(TObject* Sender);          // "数据入库"

protected:
    std::string RewordPostError(int table, const std::string& message) override;
};
