// Set-up, activation, closing, the tables' keys and levels, keys, locate and state changes of an entry window;
// the pages and the tool bar are in EntryPages.cpp, the stores, the key cascades and the post errors in
// EntryStore.cpp.
#include "entry/EntryWindow.h"

#include <stdexcept>

#include "app/Main.h"
#include "entry/ImportMarker.h"
#include "entry/TableHelpers.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"

namespace {

bool Editing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> out;
    std::string::size_type start = 0;
    while (start <= text.size()) {
        const std::string::size_type end = text.find(';', start);
        const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty()) {
            out.push_back(part);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return out;
}

}  // namespace

TEntryWindow::TEntryWindow(TComponent* owner) : TForm(owner) {}

// The data sources are declared after the controls and so go first when the window's components are
// destroyed: the grids and edits are taken off them before, so that none reaches a destroyed source.
void TEntryWindow::Bind(TEntrySetup setup)
{
    setup_ = std::move(setup);
    PageControl1 = Optional<TPageControl>("PageControl1");
    ToolBar1 = Get<TToolBar>("ToolBar1");
    ToolButton1 = Optional<TToolButton>("ToolButton1");
    ToolButton2 = Optional<TToolButton>("ToolButton2");
    ToolButton3 = Optional<TToolButton>("ToolButton3");
    ToolButton4 = Optional<TToolButton>("ToolButton4");
    ToolButton5 = Optional<TToolButton>("ToolButton5");
    ToolButton6 = Optional<TToolButton>("ToolButton6");
    ToolButton7 = Get<TToolButton>("ToolButton7");
    ToolButton8 = Get<TToolButton>("ToolButton8");
    ToolButton9 = Optional<TToolButton>("ToolButton9");
    ToolButton10 = Get<TToolButton>("ToolButton10");
    ComboBox1 = Optional<TComboBox>("ComboBox1");
    StatusBar1 = Optional<TStatusBar>("StatusBar1");
    ProgressBar1 = Optional<TProgressBar>("ProgressBar1");
    if (!setup_.keyLabel.empty()) {
        Get<TLabel>(setup_.keyLabel);
    }
    int withDetails = 0;
    for (std::size_t i = 0; i < setup_.tables.size(); ++i) {
        const TEntryTable& t = setup_.tables[i];
        tables_.push_back(Get<TTable>(t.table));
        sources_.push_back(Get<TDataSource>(t.source));
        if (!t.keyEdit.empty()) {
            Get<TDBEdit>(t.keyEdit);
        }
        if ((i == 0) != (t.master < 0) || t.master >= static_cast<int>(i)) {
            throw std::logic_error(Name() + ": " + t.table + " must come after its master");
        }
        if (KeyFields(static_cast<int>(i)).empty() && (i > 0 || setup_.tables.size() > 1)) {
            throw std::logic_error(Name() + ": " + t.table + " has details or a master and so needs a key");
        }
        withDetails += i > 0 && HasDetails(static_cast<int>(i)) ? 1 : 0;
    }
    if (withDetails > 1) {
        throw std::logic_error(Name() + ": one detail at most can have details of its own (lastCode2)");
    }
    for (const TEntryDetailPage& p : setup_.detailPages) {
        Get<TTabSheet>(p.page);
        for (const std::string& name : {p.grid1, p.grid2}) {
            if (!name.empty()) {
                Get<TDBGrid>(name);
            }
        }
        if (!p.combo.empty()) {
            Get<TComboBox>(p.combo);
        }
    }
    Cover();
    curTable = Master();
    curSource = Source(0);
}

TControl* TEntryWindow::Cover() const { return Get<TControl>(setup_.coverPage); }

// ---- tables, keys and levels ----

int TEntryWindow::IndexOfTable(const TDataSet* ds) const
{
    for (std::size_t i = 0; i < tables_.size(); ++i) {
        if (tables_[i] == ds) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TEntryWindow::IndexOfSource(const TDataSource* src) const
{
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        if (sources_[i] == src) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<std::string> TEntryWindow::KeyFields(int table) const
{
    return SplitFields(setup_.tables.at(static_cast<std::size_t>(table)).keyFields);
}

std::vector<std::string> TEntryWindow::KeyValues(int table) const
{
    std::vector<std::string> out;
    TTable* t = Table(table);
    for (const std::string& f : KeyFields(table)) {
        TField* field = t->Active() ? t->FindField(f) : nullptr;
        out.push_back(field ? field->AsString() : std::string());
    }
    return out;
}

std::string TEntryWindow::OwnKey(int table) const
{
    const std::vector<std::string> values = KeyValues(table);
    return values.empty() ? std::string() : values.back();
}

std::string TEntryWindow::MasterKey() const { return OwnKey(0); }

std::string TEntryWindow::LinkFields(int detail) const
{
    return setup_.tables.at(static_cast<std::size_t>(MasterOf(detail))).keyFields;
}

bool TEntryWindow::HasDetails(int table) const
{
    for (const TEntryTable& t : setup_.tables) {
        if (t.master == table) {
            return true;
        }
    }
    return false;
}

bool TEntryWindow::IsBelow(int detail, int table) const
{
    for (int m = MasterOf(detail); m >= 0; m = MasterOf(m)) {
        if (m == table) {
            return true;
        }
    }
    return false;
}

std::string& TEntryWindow::LastCode(int table) { return table == 0 ? lastCode : lastCode2; }

// ---- activation and closing ----

void TEntryWindow::FormActivate(TObject*)
{
    if (Master()->Active()) {
        UpdateStatusBar();
        return;
    }
    SetUp();
}

void TEntryWindow::SetUp()
{
    if (Application->ScreenWidth() < 801) {
        SetLeft(0);
        SetTop(0);
    }
    for (std::size_t i = 0; i < tables_.size(); ++i) {
        tables_[i]->SetTableName(DataFolder + setup_.tables[i].fileName);
    }
    TableDeleted = false;
    SendNameCleared = false;
    TTable* rules = F_main->Table1;
    rules->Close();  // a scratch table: whoever used it last may have left it open
    // A failure here (a missing rule table or field) leaves every table closed, so that the next activation
    // sets the window up again instead of finding the master open.
    try {
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            TTable* t = tables_[i];
            if (setup_.tables[i].ruleTable.empty()) {
                t->Open();
                continue;
            }
            rules->SetTableName(setup_.tables[i].ruleTable);
            rules->Open();
            rules->First();
            t->Constraints.BeginUpdate();
            t->Constraints.Clear();
            try {
                for (; !rules->Eof(); rules->Next()) {
                    if (rules->FieldByName("status")->AsString() == "错误") {
                        TCheckConstraint& c = t->Constraints.Add();
                        c.CustomConstraint = rules->FieldByName("field_value")->AsString();
                        c.ErrorMessage = rules->FieldByName("field_text")->AsString();
                    }
                }
            } catch (...) {
                t->Constraints.EndUpdate();
                throw;
            }
            t->Constraints.EndUpdate();
            t->Open();
            for (rules->First(); !rules->Eof(); rules->Next()) {
                const std::string mask = rules->FieldByName("field_mask")->AsString();
                if (!mask.empty()) {
                    t->FieldByName(rules->FieldByName("field_name")->AsString())->EditMask = mask;
                }
            }
            rules->Close();
        }
    } catch (...) {
        rules->Close();
        CloseTables();
        throw;
    }
    curTable = Master();
    curSource = Source(0);
    if (PageControl1 != nullptr) {
        PageControl1->SetActivePage(Get<TTabSheet>(setup_.coverPage));
    }
    if (LocatePending && !KeyFields(0).empty()) {
        LocateAtSetUp();
    }
    for (int i = 0; i < TableCount(); ++i) {
        if (HasDetails(i)) {
            LastCode(i) = OwnKey(i);
        }
    }
    // Every showing starts in the state of its first page: the master current, the details linked.
    SwitchPage();
    if (ComboBox1 != nullptr) {
        ComboBox1->SetItemIndex(0);
        ComboBox1Change(ComboBox1);
    }
    UpdateStatusBar();
    HideEmptyPages();
    ReportUnfinishedImport(*this);
}

// The master goes to the requested key on its key index (a miss leaves it on its first record, without a word)
// and gets its own order back; a second value positions the detail that the window names, whose page is shown.
// LocatePending itself stays set: the opener resets it.
void TEntryWindow::LocateAtSetUp()
{
    TTable* m = Master();
    m->SetIndexFieldNames("");
    m->SetIndexName(setup_.tables[0].index);
    m->SetKey();
    m->FieldByName(LocateField)->SetAsString(LocateValue);
    m->GotoKey();
    m->SetIndexName("");
    m->SetIndexFieldNames(setup_.orderAfterLocate);
    if (setup_.locateDetail < 0 || LocateValue2.empty()) {
        return;
    }
    // The detail at fault: the one table below the master that holds the faulty field (a park's projects
    // beside its enterprises, an enterprise's products), else the window's own.
    int faulty = -1;
    for (int d = 1; d < TableCount() && !LocateFaultField.empty(); ++d) {
        if (Table(d)->FindField(LocateFaultField) != nullptr) {
            faulty = faulty < 0 ? d : 0;  // 0: several hold it
        }
    }
    if (faulty <= 0) {
        faulty = setup_.locateDetail;
    }
    // LocateValue2 is the own key of a table that hangs on the master: the faulty detail or the one it hangs on,
    // which its rows then follow.
    int keyed = faulty;
    while (MasterOf(keyed) > 0) {
        keyed = MasterOf(keyed);
    }
    TTable* d = Table(keyed);
    const std::vector<std::string> fields = KeyFields(keyed);
    d->SetKey();
    d->FieldByName(fields.at(0))->SetAsString(LocateValue);
    d->FieldByName(fields.at(1))->SetAsString(LocateValue2);
    d->GotoKey();
    if (const TEntryDetailPage* p = PageOfTable(faulty); p && PageControl1 != nullptr) {
        PageControl1->SetActivePage(Get<TTabSheet>(p->page));
    }
    LocateValue2.clear();
}

void TEntryWindow::CloseTables()
{
    for (std::size_t i = tables_.size(); i-- > 0;) {
        tables_[i]->Close();
    }
}

void TEntryWindow::FormClose(TObject*, TCloseAction& Action)
{
    try {
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            if (Editing(sources_[i]->State())) {
                PostTable(tables_[i]);
            }
        }
    } catch (const std::exception& e) {
        Action = TCloseAction::caNone;  // the window stays open for correction
        Application->HandleException(e);
        return;
    }
    CloseTables();
    // The next showing decides afresh which pages an empty master hides.
    if (pagesHidden_) {
        ShowAllPages();
    }
    if (TableDeleted) {
        for (TTable* t : tables_) {
            PackParadoxTable(F_main->Database1->Handle(), t->TableName());
        }
    }
}

// ---- shared operations ----

void TEntryWindow::ShowErrorAndAbort(const std::string& text)
{
    Application->MessageBox(text, "错误窗口", MB_OK | MB_ICONERROR);
    Abort();
}

void TEntryWindow::PostTable(TTable* table)
{
    table->Edit();
    table->Post();
    table->FlushBuffers();
}

std::string TEntryWindow::StatusSuffix() const { return {}; }

void TEntryWindow::UpdateStatusBar()
{
    if (StatusBar1 == nullptr || curSource == nullptr || curTable == nullptr || !curTable->Active()) {
        return;
    }
    const std::string blank = setup_.statusBlank ? " " : "";
    std::string text;
    if (!setup_.statusKeyLabel.empty()) {
        TField* key = curTable->FindField(KeyFields(0).front());
        text = setup_.statusKeyLabel + ":" + blank + (key ? key->AsString() : std::string()) + "  ";
    }
    text += "当前记录:" + blank + std::to_string(curTable->RecNo());
    text += "  总记录:" + blank + std::to_string(curTable->RecordCount());
    text += Editing(curSource->State()) ? "  已修改" : "  未修改";
    StatusBar1->SetSimpleText(text + StatusSuffix());
}

// ---- state changes ----

void TEntryWindow::MasterSourceStateChange(TDataSource*)
{
    // Any change of the master's state, its opening included, brings back the pages that an empty master hid.
    if (pagesHidden_) {
        ShowAllPages();
    }
    if (Editing(Source(0)->State())) {
        SetKeyEditable(0, true);  // a detail page may have made it read-only
    }
    if (Master()->Active()) {
        UpdateStatusBar();
    }
}

// A master key edit is empty: true when the edit's text (or, for a table without an edit, the key) is empty.
bool TEntryWindow::MasterKeyMissing(int table) const
{
    for (int m = MasterOf(table); m >= 0; m = MasterOf(m)) {
        const std::string& edit = setup_.tables[static_cast<std::size_t>(m)].keyEdit;
        if (edit.empty() ? OwnKey(m).empty() : Get<TDBEdit>(edit)->Text().empty()) {
            return true;
        }
    }
    return false;
}

void TEntryWindow::DetailSourceStateChange(TDataSource* Sender)
{
    const int i = IndexOfSource(Sender);
    if (i <= 0) {
        return;
    }
    TTable* detail = Table(i);
    if (Editing(Sender->State()) && MasterKeyMissing(i)) {
        detail->Cancel();
        Application->MessageBox(setup_.tables[static_cast<std::size_t>(i)].enterKeyFirstText, "提示窗口",
                                MB_OK | MB_ICONINFORMATION);
        ShowCover();
        SwitchPage();
        Abort();
    }
    if (detail->Active()) {
        UpdateStatusBar();
    }
}

void TEntryWindow::TableAfterScroll(TDataSet* DataSet)
{
    if (!scrollUpkeep) {
        return;
    }
    const int i = IndexOfTable(DataSet);
    if (i >= 0 && HasDetails(i)) {
        const TDataSetState s = Source(i)->State();
        if (s == TDataSetState::dsBrowse || s == TDataSetState::dsInsert) {
            LastCode(i) = OwnKey(i);
        }
    }
    UpdateStatusBar();
}

// ---- keys and locate ----

void TEntryWindow::FormKeyPress(TObject*, char& Key)
{
    if (Key != '\r') {
        return;
    }
    Key = 0;
    TControl* c = ActiveControl();
    if (c != nullptr && c == curGrid1 && curGrid1 != nullptr) {
        const int col = curGrid1->SelectedIndex();
        if (col + 1 < curGrid1->ColumnCount()) {
            curGrid1->SetSelectedIndex(col + 1);
        } else if (curGrid2 != nullptr) {
            curGrid2->SetSelectedIndex(0);
            SelectNext(curGrid1, true, true);
        }
    } else if (c != nullptr && c == curGrid2 && curGrid2 != nullptr) {
        const int col = curGrid2->SelectedIndex();
        if (col + 1 < curGrid2->ColumnCount()) {
            curGrid2->SetSelectedIndex(col + 1);
        }
    } else {
        SelectNext(c, true, true);
    }
}

void TEntryWindow::StatusBar1DblClick(TObject*)
{
    if (!curTable->MasterFields().empty() || KeyFields(0).empty()) {
        return;
    }
    LocateTable = curTable;
    LocateField = KeyFields(0).front();
    // a detail that shows every enterprise is searched on its own index
    const int i = IndexOfTable(curTable);
    LocateIndex = setup_.tables[static_cast<std::size_t>(i < 0 ? 0 : i)].index;
    if (TForm* f = TFormFactory::Obtain(setup_.locateDialog)) {
        f->ShowModal();
    }
    lastCode = MasterKey();
    UpdateStatusBar();
}
