// TEntryWindow: the behaviour that every data-entry window shares. A master table with its detail tables, each
// with a rule table whose rows become record constraints and edit masks at activation; a tool bar that works on
// the table of the visible page; before-post handling (send list, zeros, counting field, record identity); the
// key cascade that carries a changed master key into the details; reworded post errors; the status bar, the
// locate dialog and packing on close. A window supplies its tables, keys, texts and pages in a TEntrySetup and
// registers the shared handlers under its own names with RegisterEntryHandlers.
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

// One table of a window: the master first, then the details in the window's order.
struct TEntryTable {
    std::string table;          // component names: "Table1"
    std::string source;         // "DataSource1"
    std::string fileName;       // "kfq_1.db", prefixed with DataFolder
    std::string ruleTable;      // "kfq1_chk"
    std::string countingField;  // "qa_one"
    std::string serialField;    // details: the serial that the key cascade puts into Id ("qe01")
    std::string index;          // details: the detail's own index ("kfq_2")
    std::string noSerialText;   // details: "产品编号不能为空"
    std::string duplicateText;  // post error on "Key violation.": "产品序号重复"
    std::string errorPrefix;    // "产品数据错误:"
};

// A detail page: the page, the table (position in the window's tables) and its grid pair and view switch.
struct TEntryDetailPage {
    std::string page;   // "TabSheet5"
    int table = 1;
    std::string grid1;  // "DBGrid1": its first column is the serial
    std::string grid2;  // "DBGrid2"
    std::string combo;  // "ComboBox2" ("当前企业记录"/"所有企业记录"); empty when the page has none
};

struct TEntrySetup {
    std::vector<TEntryTable> tables;
    std::vector<TEntryDetailPage> detailPages;
    std::string keyField;        // "qa01": master key and link field of the details
    std::string keyIndex;        // "kfq_1": the master's index on the key
    std::string coverPage;       // "TabSheet1"
    std::string sendListStatement;
    std::string noMasterKeyText;     // detail stored without a master key
    std::string enterKeyFirstText;   // detail started while the key edit is empty
    std::string importFailSuffix;    // appended to a master post error during an import
    std::string keyEdit = "DBEdit1";  // the master key edit on the cover; empty when the window has none
    std::string keyLabel = "Label2";  // its label; empty when none
    std::string keyLabelText;        // "报表编号"
    std::string keyLabelReadOnlyText;  // "报表编号(只读)"
    std::string locateDialog;    // "TF_change_r2"
};

class TEntryWindow : public TForm {
public:
    explicit TEntryWindow(TComponent* owner);

    // Components of an entry window; ToolButton9, ComboBox1, ProgressBar1 and the key edit and label may be
    // missing (null) in a window that has none.
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
    TDBEdit* DBEdit1 = nullptr;  // the master key edit on the cover (TEntrySetup::keyEdit)
    TLabel* Label2 = nullptr;    // its label (TEntrySetup::keyLabel)

    // Shared handlers; a window registers them under its documented names.
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyPress(TObject* Sender, char& Key);
    void PageControl1Change(TObject* Sender);
    void StatusBar1DblClick(TObject* Sender);
    void ToolButton1Click(TObject* Sender);
    void ToolButton2Click(TObject* Sender);
    void ToolButton3Click(TObject* Sender);
    void ToolButton4Click(TObject* Sender);
    void ToolButton5Click(TObject* Sender);
    void ToolButton6Click(TObject* Sender);
    void ToolButton7Click(TObject* Sender);
    void ToolButton8Click(TObject* Sender);
    virtual void ToolButton9Click(TObject* Sender);
    void ToolButton10Click(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void DetailViewChange(TObject* Sender);  // the view switch of a detail page
    void TableBeforePost(TDataSet* DataSet);
    void TableAfterPost(TDataSet* DataSet);
    void TablePostError(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action);
    void TableAfterScroll(TDataSet* DataSet);
    void MasterSourceStateChange(TDataSource* Sender);
    void DetailSourceStateChange(TDataSource* Sender);

    // State (see the pattern of the entry windows).
    TTable* curTable = nullptr;
    TDataSource* curSource = nullptr;
    TDBGrid* curGrid1 = nullptr;
    TDBGrid* curGrid2 = nullptr;
    bool cascadeEnabled = true;
    bool checkEnabled = true;
    std::string lastCode;

    TTable* Master() const { return tables_.front(); }
    TTable* Table(int i) const { return tables_.at(static_cast<std::size_t>(i)); }
    TDataSource* Source(int i) const { return sources_.at(static_cast<std::size_t>(i)); }
    int TableCount() const { return static_cast<int>(tables_.size()); }
    const TEntrySetup& Setup() const { return setup_; }

    void ShowErrorAndAbort(const std::string& text);
    void PostTable(TTable* table);
    void UpdateStatusBar();
    virtual void SwitchPage();
    virtual void HideEmptyPages();
    // Records were stored while the window's controls were held still (an import): the pages that
    // HideEmptyPages hid come back, as they do when the user starts a record.
    void RecordsStored();

protected:
    // Called by the window's constructor once its description is loaded.
    void Bind(TEntrySetup setup);
    // A post error's message once "Key violation." has been reworded; a window tests the master's message for
    // its own unique indexes here.
    virtual std::string RewordPostError(int table, const std::string& message);
    // Called on the cover page in SwitchPage: the window's own buttons ("数据追加").
    virtual void CoverButtons(bool onCover);

    std::string MasterKey() const;
    void ShowAllPages();
    void SetKeyEditable(bool on);  // the key label's text and the key edit
    // A named component of the window, or nullptr when it has none (raises when it is of another class).
    template <class T>
    T* Optional(const std::string& name) const
    {
        return FindComponent(name) != nullptr ? Get<T>(name) : nullptr;
    }

private:
    int IndexOfTable(const TDataSet* ds) const;
    int IndexOfSource(const TDataSource* src) const;
    const TEntryDetailPage* PageOfTable(int table) const;
    const TEntryDetailPage* VisibleDetailPage() const;
    void SetUp();
    void CloseTables();
    void ClearSendList();
    void RunCascade(const std::string& oldKey, const std::string& newKey);
    void DeleteDetailsOf(const std::string& key);
    std::string SerialOf(int table) const;

    TEntrySetup setup_;
    std::vector<TTable*> tables_;
    std::vector<TDataSource*> sources_;
    bool pagesHidden_ = false;
};

// A filter condition "field='value'" with the value quoted as a text literal.
std::string KeyFilter(const std::string& field, const std::string& value);

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
