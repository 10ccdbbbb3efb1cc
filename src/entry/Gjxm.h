// TF_gjxm: the national projects window of report 4 (gjxm.db), one record per project keyed by its statistics
// number. Records come from the issued project list or are added by the unit; IS_CHGE tells them apart (empty:
// issued, not entered; "1": issued and entered; "2": added), and the check, the query, the summaries and the
// unreported list rely on it. The window is the shared entry behaviour with the kinds, the kind-dependent delete
// or clear, and the imports of project lists (the start-up list "gjxm_s.dbf" and "数据追加").
#pragma once

#include "entry/EntryWindow.h"
#include "entry/Import.h"

class TF_gjxm : public TEntryWindow {
public:
    explicit TF_gjxm(TComponent* owner);

    TTable* Table1;
    TDataSource* DataSource1;

    void FormActivate(TObject* Sender) override;
    void ToolButton5Click(TObject* Sender) override;  // "插入记录": an added project
    void ToolButton6Click(TObject* Sender) override;  // "删除记录": delete an added project, clear an issued one
    void ToolButton9Click(TObject* Sender) override;  // "数据追加"
    void TableBeforePost(TDataSet* DataSet) override;

protected:
    std::string RewordPostError(int table, const std::string& message) override;
    std::string StatusSuffix() const override;

private:
    void ImportStartUpList();
    void ClearIssuedRecord();
    bool clearing_ = false;  // a clear's store leaves the kind empty, as an import's store leaves it alone
};

// The project list as an import position; onlyEntered leaves out the rows without a kind.
ImportPosition GjxmImportPosition(bool onlyEntered);
