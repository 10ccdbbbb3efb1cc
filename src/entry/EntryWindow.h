// TEntryWindow: the behaviour that every data-entry window shares. A master table with its detail tables (a
// detail may hang on another detail), each with a rule table whose rows become record constraints and edit masks
// at activation; a tool bar that works on the table of the visible page; before-post handling (send list, zeros,
// counting field, record identity); the key cascades that carry a changed key into the rows below it; reworded
// post errors; the status bar, the locate dialog and packing on close. A window supplies its tables, keys, texts
// and pages in a TEntrySetup and registers the shared handlers under its own names with RegisterEntryHandlers;
// the handlers are virtual, so that a window replaces the few it does differently.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Table.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DBEdit.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Registry.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/ToolBar.h"

// One table of a window: the master first, then the details in the window's order; a detail comes after the
// table it hangs on.
struct TEntryTable {
    std::string table{};          // component names: "Table1"
    std::string source{};         // "DataSource1"
    std::string fileName{};       // "kfq_1.db", prefixed with DataFolder
    std::string ruleTable{};      // "kfq1_chk"; empty: the table has none
    std::string countingField{};  // "qa_one"; empty: the table has none
    // The record's key, its master's key first: "qa01", "qa01;qe01", "code;code2;code3". Id = IdPrefix + these;
    // a detail's link (MasterFields) is its master's key, and its own last field is its serial. A master without
    // details may have none: its records then carry no Id.
    std::string keyFields{};
    int master = -1;            // details: the position of the table it hangs on
    std::string index{};          // the index on the key: the master's key index ("kfq_1"), a detail's own ("kfq_2")
    std::string keyEdit{};        // the edit of the last key field ("DBEdit1", "DBEdit130"); empty when none
    std::string noSerialText{};       // details: stored without its own key: "产品编号不能为空"
    std::string noMasterKeyText{};    // details: stored without its master's key: "企业报表编号不能为空"
    std::string enterKeyFirstText{};  // details: started while a master key edit is empty: "请先填入企业报表编号"
    std::string duplicateText{};      // post error on "Key violation.": "产品序号重复"; empty: left as it is
    std::string errorPrefix{};        // "产品数据错误:"
};

// A page that shows a detail table: one record in edit fields, one grid, or a pair of grids (the first grid's
// first column is the serial), with the view switch "当前企业记录"/"所有企业记录" where the page has one. Pages
// not listed here show the master.
struct TEntryDetailPage {
    std::string page{};   // "TabSheet5"
    int table = 1;
    std::string grid1{};  // "DBGrid1"; empty on a page of edit fields
    std::string grid2{};  // "DBGrid2"; empty when the page has one grid or none
    std::string combo{};  // "ComboBox2"; empty when the page has none
};

struct TEntrySetup {
    std::vector<TEntryTable> tables;
    std::vector<TEntryDetailPage> detailPages;
    std::string coverPage;       // the first page ("TabSheet1"); in a window without pages its scroll box
    std::string sendListStatement;   // empty: the window clears nothing from the send list
    std::string importFailSuffix;    // appended to a master post error during an import (which cancels the row)
    std::string keyLabel;            // the master key edit's label that reads "(只读)" while a detail is edited
    std::string keyLabelText;        // "报表编号"
    std::string keyLabelReadOnlyText;  // "报表编号(只读)"
    // Status text: statusKeyLabel + ":" + the key of curTable's record (none when the label is empty), then
    // "当前记录:" and "总记录:"; statusBlank puts one blank after each colon.
    std::string statusKeyLabel;
    bool statusBlank = false;
    bool hidesEmptyPages = false;    // an empty master shows the cover alone
    // "插入记录" and "数据追加" only on the cover ("插入记录" also on a detail page), or on every page.
    bool buttonsOnCoverOnly = false;
    std::string locateDialog = "TF_change_r";
    std::string orderAfterLocate = "id";  // the master's IndexFieldNames after the locate at activation
    // The detail that LocateValue2 positions at activation (its page is shown); -1: none. Another detail is
    // positioned instead when it alone holds LocateFaultField.
    int locateDetail = -1;
};

struct ImportStoreRules;

class TEntryWindow : public TForm {
public:
    explicit TEntryWindow(TComponent* owner);

    // Components of an entry window; all but ToolButton7, ToolButton8 and ToolButton10 may be missing (null) in
    // a window that has none.
    TPageControl* PageControl1 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TToolButton* ToolButton1 = nullptr;
    TToolButton* ToolButton2 = nullptr;
    TToolButton* ToolButton3 = nullptr;
    TToolButton* ToolButton4 = nullptr;
    TToolButton* ToolButton5 = nullptr;
    TToolButton* ToolButton6 = nullptr;
    TToolButton* ToolButton7 = nullptr;
    TToolButton* ToolButton8 = nullptr;
    TToolButton* ToolButton9 = nullptr;
    TToolButton* ToolButton10 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;

    // Shared handlers; a window registers them under its documented names.
    virtual void FormActivate(TObject* Sender);
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    virtual void FormKeyPress(TObject* Sender, char& Key);
    virtual void PageControl1Change(TObject* Sender);
    virtual void StatusBar1DblClick(TObject* Sender);
    virtual void ToolButton1Click(TObject* Sender);
    virtual void ToolButton2Click(TObject* Sender);
    virtual void ToolButton3Click(TObject* Sender);
    virtual void ToolButton4Click(TObject* Sender);
    virtual void ToolButton5Click(TObject* Sender);
    virtual void ToolButton6Click(TObject* Sender);
    virtual void ToolButton7Click(TObject* Sender);
    virtual void ToolButton8Click(TObject* Sender);
    virtual void ToolButton9Click(TObject* Sender);
    virtual void ToolButton10Click(TObject* Sender);
    virtual void ComboBox1Change(TObject* Sender);
    virtual void DetailViewChange(TObject* Sender);  // the view switch of a detail page
    virtual void TableBeforePost(TDataSet* DataSet);
    virtual void TableAfterPost(TDataSet* DataSet);
    virtual void TablePostError(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action);
    virtual void TableAfterScroll(TDataSet* DataSet);
    virtual void MasterSourceStateChange(TDataSource* Sender);
    virtual void DetailSourceStateChange(TDataSource* Sender);

    // State (see the pattern of the entry windows).
    TTable* curTable = nullptr;
    TDataSource* curSource = nullptr;
    TDBGrid* curGrid1 = nullptr;
    TDBGrid* curGrid2 = nullptr;
    bool cascadeEnabled = true;
    // False while an import runs: the after-scroll upkeep (last key, status bar) is done once, at its end,
    // instead of at every row searched and stored.
    bool scrollUpkeep = true;
    bool checkEnabled = true;
    std::string lastCode;   // the master's key as last seen: the old key of its cascade
    std::string lastCode2;  // the same for a detail that has details of its own

    TTable* Master() const { return tables_.front(); }
    TTable* Table(int i) const { return tables_.at(static_cast<std::size_t>(i)); }
    TDataSource* Source(int i) const { return sources_.at(static_cast<std::size_t>(i)); }
    int TableCount() const { return static_cast<int>(tables_.size()); }
    const TEntrySetup& Setup() const { return setup_; }
    TControl* Cover() const;

    void ShowErrorAndAbort(const std::string& text);
    void PostTable(TTable* table);
    void UpdateStatusBar();
    virtual void SwitchPage();
    virtual void HideEmptyPages();
    // Shows the cover page (a window without pages has nothing to show).
    void ShowCover();
    // Records were stored while the window's controls were held still (an import): the pages that
    // HideEmptyPages hid come back, as they do when the user starts a record.
    void RecordsStored();
    // What TableBeforePost adds to each row an import stores into table (the cascade off); false when the
    // window's store handling of the table does more, or sees rows one by one (see StoresImportsByRules).
    bool ImportStoreRules(const TTable* table, ImportStoreRules& rules) const;
    // What TableBeforePost does once before an import's first store into table: the send list is cleared.
    void BeforeImportStores(const TTable* table);

protected:
    // Called by the window's constructor once its description is loaded.
    void Bind(TEntrySetup setup);
    // A post error's message once "Key violation." has been reworded; a window tests the master's message for
    // its own unique indexes here.
    virtual std::string RewordPostError(int table, const std::string& message);
    // Appended to the status text (a record kind); empty by default.
    virtual std::string StatusSuffix() const;
    // False for a window whose TableBeforePost or TableAfterPost does more with an imported row than the shared
    // ones (while the cascade is off), so that its imports store each row through them.
    virtual bool StoresImportsByRules() const { return true; }

    // What TableBeforePost adds to every record of the master it stores, besides clearing the send list.
    ::ImportStoreRules MasterStoreRules() const;
    std::string MasterKey() const;
    void ShowAllPages();
    // The key edit of a table (and the master's key label): read-only while a record below it is edited.
    void SetKeyEditable(int table, bool on);
    bool EditingBelow(int table) const;
    // A named component of the window, or nullptr when it has none (raises when it is of another class).
    template <class T>
    T* Optional(const std::string& name) const
    {
        return FindComponent(name) != nullptr ? Get<T>(name) : nullptr;
    }

    // The tables' keys and levels.
    std::vector<std::string> KeyFields(int table) const;
    std::vector<std::string> KeyValues(int table) const;  // of the table's current record
    std::string OwnKey(int table) const;                  // the value of its last key field
    int MasterOf(int table) const { return setup_.tables.at(static_cast<std::size_t>(table)).master; }
    std::string LinkFields(int detail) const;             // MasterFields of a detail: its master's key
    bool HasDetails(int table) const;
    bool IsBelow(int detail, int table) const;            // detail hangs on table, directly or not
    std::string& LastCode(int table);                     // lastCode (master) or lastCode2

private:
    int IndexOfTable(const TDataSet* ds) const;
    int IndexOfSource(const TDataSource* src) const;
    const TEntryDetailPage* PageOfTable(int table) const;
    const TEntryDetailPage* VisibleDetailPage() const;
    void SetUp();
    void LocateAtSetUp();
    void CloseTables();
    void ClearSendList();
    void StoreTypedOverKeys(int table);
    void RunCascade(int table, const std::string& oldKey, const std::string& newKey);
    void DeleteDetailsOf(int table);
    std::string SerialOf(int table) const;
    bool MasterKeyMissing(int table) const;
    void EnableButtons(bool insert, bool append);
    void Link(int detail);

    TEntrySetup setup_;
    std::vector<TTable*> tables_;
    std::vector<TDataSource*> sources_;
    bool pagesHidden_ = false;
};

// A filter condition "field='value'" with the value quoted as a text literal; several pairs are joined by "and".
std::string KeyFilter(const std::string& field, const std::string& value);
std::string KeyFilter(const std::vector<std::string>& fields, const std::vector<std::string>& values);

// Registers the shared handlers of an entry window class W under the names of its description. tables and
// sources name the components ("Table1", "DataSource1"), the master first.
template <class W>
void RegisterEntryHandlers(ClassBuilder<W>& c, const std::vector<std::string>& tables,
                           const std::vector<std::string>& sources, const std::vector<std::string>& detailCombos)
{
    using B = TEntryWindow;
    c.Handler("FormActivate", static_cast<void (W::*)(TObject*)>(&B::FormActivate));
    c.Handler("FormClose", static_cast<void (W::*)(TObject*, TCloseAction&)>(&B::FormClose));
    c.Handler("FormKeyPress", static_cast<void (W::*)(TObject*, char&)>(&B::FormKeyPress));
    c.Handler("PageControl1Change", static_cast<void (W::*)(TObject*)>(&B::PageControl1Change));
    c.Handler("StatusBar1DblClick", static_cast<void (W::*)(TObject*)>(&B::StatusBar1DblClick));
    c.Handler("ToolButton1Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton1Click));
    c.Handler("ToolButton2Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton2Click));
    c.Handler("ToolButton3Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton3Click));
    c.Handler("ToolButton4Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton4Click));
    c.Handler("ToolButton5Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton5Click));
    c.Handler("ToolButton6Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton6Click));
    c.Handler("ToolButton7Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton7Click));
    c.Handler("ToolButton8Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton8Click));
    c.Handler("ToolButton9Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton9Click));
    c.Handler("ToolButton10Click", static_cast<void (W::*)(TObject*)>(&B::ToolButton10Click));
    c.Handler("ComboBox1Change", static_cast<void (W::*)(TObject*)>(&B::ComboBox1Change));
    for (const std::string& combo : detailCombos) {
        c.Handler(combo + "Change", static_cast<void (W::*)(TObject*)>(&B::DetailViewChange));
    }
    for (const std::string& t : tables) {
        c.Handler(t + "BeforePost", static_cast<void (W::*)(TDataSet*)>(&B::TableBeforePost));
        c.Handler(t + "AfterPost", static_cast<void (W::*)(TDataSet*)>(&B::TableAfterPost));
        c.Handler(t + "PostError",
                  static_cast<void (W::*)(TDataSet*, EDatabaseError&, TDataAction&)>(&B::TablePostError));
        c.Handler(t + "AfterScroll", static_cast<void (W::*)(TDataSet*)>(&B::TableAfterScroll));
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        c.Handler(sources[i] + "StateChange",
                  static_cast<void (W::*)(TDataSource*)>(i == 0 ? &B::MasterSourceStateChange
                                                                : &B::DetailSourceStateChange));
    }
}
