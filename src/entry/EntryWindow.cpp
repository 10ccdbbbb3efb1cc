// Activation, pages, tool bar, keys, locate and closing of an entry window; the stores, the key cascade and the
// post errors are in EntryStore.cpp.
#include "entry/EntryWindow.h"

#include "app/Main.h"
#include "entry/ImportMarker.h"
#include "entry/TableHelpers.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"

namespace {

bool Editing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

}  // namespace

TEntryWindow::TEntryWindow(TComponent* owner) : TForm(owner) {}

// The data sources are declared after the controls and so go first when the window's components are
// destroyed: the grids and edits are taken off them before, so that none reaches a destroyed source.
void TEntryWindow::Bind(TEntrySetup setup)
{
    setup_ = std::move(setup);
    PageControl1 = Get<TPageControl>("PageControl1");
    ToolBar1 = Get<TToolBar>("ToolBar1");
    ToolButton1 = Get<TToolButton>("ToolButton1");
    ToolButton2 = Get<TToolButton>("ToolButton2");
    ToolButton3 = Get<TToolButton>("ToolButton3");
    ToolButton4 = Get<TToolButton>("ToolButton4");
    ToolButton5 = Get<TToolButton>("ToolButton5");
    ToolButton6 = Get<TToolButton>("ToolButton6");
    ToolButton7 = Get<TToolButton>("ToolButton7");
    ToolButton8 = Get<TToolButton>("ToolButton8");
    ToolButton9 = Optional<TToolButton>("ToolButton9");
    ToolButton10 = Get<TToolButton>("ToolButton10");
    ComboBox1 = Optional<TComboBox>("ComboBox1");
    StatusBar1 = Get<TStatusBar>("StatusBar1");
    ProgressBar1 = Optional<TProgressBar>("ProgressBar1");
    DBEdit1 = setup_.keyEdit.empty() ? nullptr : Get<TDBEdit>(setup_.keyEdit);
    Label2 = setup_.keyLabel.empty() ? nullptr : Get<TLabel>(setup_.keyLabel);
    for (const TEntryTable& t : setup_.tables) {
        tables_.push_back(Get<TTable>(t.table));
        sources_.push_back(Get<TDataSource>(t.source));
    }
    for (const TEntryDetailPage& p : setup_.detailPages) {
        Get<TTabSheet>(p.page);
        Get<TDBGrid>(p.grid1);
        Get<TDBGrid>(p.grid2);
        if (!p.combo.empty()) {
            Get<TComboBox>(p.combo);
        }
    }
    Get<TTabSheet>(setup_.coverPage);
    curTable = Master();
    curSource = Source(0);
}

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

const TEntryDetailPage* TEntryWindow::PageOfTable(int table) const
{
    for (const TEntryDetailPage& p : setup_.detailPages) {
        if (p.table == table) {
            return &p;
        }
    }
    return nullptr;
}

const TEntryDetailPage* TEntryWindow::VisibleDetailPage() const
{
    const TTabSheet* active = PageControl1->ActivePage();
    if (active == nullptr) {
        return nullptr;
    }
    for (const TEntryDetailPage& p : setup_.detailPages) {
        if (SameName(p.page, active->Name())) {
            return &p;
        }
    }
    return nullptr;
}

std::string TEntryWindow::MasterKey() const
{
    TField* f = Master()->Active() ? Master()->FindField(setup_.keyField) : nullptr;
    return f ? f->AsString() : std::string();
}

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
    if (LocatePending) {
        TTable* m = Master();
        m->SetIndexFieldNames("");
        m->SetIndexName(setup_.keyIndex);
        m->SetKey();
        m->FieldByName(LocateField)->SetAsString(LocateValue);
        m->GotoKey();
        m->SetIndexName("");
        m->SetIndexFieldNames("id");
    }
    lastCode = MasterKey();
    PageControl1->SetActivePage(Get<TTabSheet>(setup_.coverPage));
    SwitchPage();
    if (ComboBox1 != nullptr) {
        ComboBox1->SetItemIndex(0);
        ComboBox1Change(ComboBox1);
    }
    UpdateStatusBar();
    HideEmptyPages();
    ReportUnfinishedImport(*this);
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

void TEntryWindow::UpdateStatusBar()
{
    if (curSource == nullptr || curTable == nullptr || !curTable->Active()) {
        return;
    }
    TField* key = curTable->FindField(setup_.keyField);
    std::string text = "报表编号: " + (key ? key->AsString() : std::string());
    text += "  当前记录: " + std::to_string(curTable->RecNo());
    text += "  总记录: " + std::to_string(curTable->RecordCount());
    text += Editing(curSource->State()) ? "  已修改" : "  未修改";
    StatusBar1->SetSimpleText(text);
}

void TEntryWindow::CoverButtons(bool onCover)
{
    if (ToolButton9 != nullptr) {
        ToolButton9->SetEnabled(onCover);
    }
}

void TEntryWindow::SetKeyEditable(bool on)
{
    if (Label2 != nullptr) {
        Label2->SetCaption(on ? setup_.keyLabelText : setup_.keyLabelReadOnlyText);
    }
    if (DBEdit1 != nullptr) {
        DBEdit1->SetEnabled(on);
    }
}

void TEntryWindow::SwitchPage()
{
    if (const TEntryDetailPage* p = VisibleDetailPage()) {
        curTable = Table(p->table);
        curSource = Source(p->table);
        curGrid1 = Get<TDBGrid>(p->grid1);
        curGrid2 = Get<TDBGrid>(p->grid2);
        if (!p->combo.empty()) {
            Get<TComboBox>(p->combo)->SetItemIndex(0);
        }
        curGrid1->SetReadOnly(false);
        curGrid2->SetReadOnly(false);
        ToolButton5->SetEnabled(true);
        CoverButtons(false);
        curTable->SetMasterFields(setup_.keyField);
        // A key typed over on the cover is stored now, so that the cascade moves the details before they show.
        if (MasterKey() != lastCode && !lastCode.empty()) {
            const bool off = checkEnabled;
            if (off) {
                Master()->DisableConstraints();
            }
            try {
                PostTable(Master());
            } catch (...) {
                if (off) {
                    Master()->EnableConstraints();
                }
                throw;
            }
            if (off) {
                Master()->EnableConstraints();
            }
        }
    } else {
        curTable = Master();
        curSource = Source(0);
        bool detailEditing = false;
        for (std::size_t i = 1; i < sources_.size(); ++i) {
            detailEditing = detailEditing || Editing(sources_[i]->State());
        }
        SetKeyEditable(!detailEditing);
        const TTabSheet* active = PageControl1->ActivePage();
        const bool onCover = active != nullptr && SameName(active->Name(), setup_.coverPage);
        ToolButton5->SetEnabled(onCover);
        CoverButtons(onCover);
        if (onCover) {
            for (std::size_t i = 1; i < tables_.size(); ++i) {
                tables_[i]->SetMasterFields(setup_.keyField);
            }
        }
    }
    UpdateStatusBar();
}

void TEntryWindow::HideEmptyPages()
{
    if (curTable != Master() || !Master()->Active() || !Master()->IsEmpty()) {
        return;
    }
    TTabSheet* cover = Get<TTabSheet>(setup_.coverPage);
    for (int i = 0; i < PageControl1->PageCount(); ++i) {
        if (PageControl1->Pages(i) != cover) {
            PageControl1->Pages(i)->SetTabVisible(false);
        }
    }
    pagesHidden_ = true;
    PageControl1->SetActivePage(cover);
    SwitchPage();
}

void TEntryWindow::RecordsStored()
{
    if (pagesHidden_) {
        ShowAllPages();
    }
}

void TEntryWindow::ShowAllPages()
{
    for (int i = 0; i < PageControl1->PageCount(); ++i) {
        PageControl1->Pages(i)->SetTabVisible(true);
    }
    pagesHidden_ = false;
}

// ---- tool bar ----

void TEntryWindow::PageControl1Change(TObject*) { SwitchPage(); }

void TEntryWindow::ToolButton1Click(TObject*)
{
    curTable->Prior();
    UpdateStatusBar();
}

void TEntryWindow::ToolButton2Click(TObject*)
{
    curTable->Next();
    UpdateStatusBar();
}

void TEntryWindow::ToolButton3Click(TObject*)
{
    curTable->First();
    UpdateStatusBar();
}

void TEntryWindow::ToolButton4Click(TObject*)
{
    curTable->Last();
    UpdateStatusBar();
}

void TEntryWindow::ToolButton5Click(TObject*)
{
    curTable->Append();
    UpdateStatusBar();
}

void TEntryWindow::ToolButton6Click(TObject*)
{
    TTable* t = curTable;
    const bool inserting = t->State() == TDataSetState::dsInsert;
    if ((inserting || !t->IsEmpty()) &&
        Application->MessageBox("是否删除当前记录", "提示", MB_YESNO | MB_ICONQUESTION) != IDNO) {
        if (inserting) {
            // Only the new row goes: cancelling it must not delete the record that becomes current.
            t->Cancel();
        } else {
            TableDeleted = true;
            t->Cancel();
            if (t == Master()) {
                DeleteDetailsOf(MasterKey());
            }
            t->Delete();
        }
        HideEmptyPages();
    }
    t->FlushBuffers();
    UpdateStatusBar();
}

void TEntryWindow::ToolButton7Click(TObject*)
{
    PostTable(curTable);
    UpdateStatusBar();
}

void TEntryWindow::ToolButton8Click(TObject*)
{
    if (Application->MessageBox("是否放弃当前记录的修改", "提示", MB_YESNO | MB_ICONQUESTION) != IDNO) {
        curTable->Cancel();
        UpdateStatusBar();
        HideEmptyPages();
    }
}

// Hook for "数据追加": the append of submitted tables comes with the import routine.
void TEntryWindow::ToolButton9Click(TObject*)
{
    Application->MessageBox("数据追加尚未提供", "提示", MB_OK | MB_ICONINFORMATION);
}

void TEntryWindow::ToolButton10Click(TObject*) { Close(); }

void TEntryWindow::ComboBox1Change(TObject*)
{
    const int item = ComboBox1 != nullptr ? ComboBox1->ItemIndex() : 0;
    if (item == 0 && !checkEnabled) {
        checkEnabled = true;
        for (TTable* t : tables_) {
            t->EnableConstraints();
        }
    } else if (item == 1 && checkEnabled) {
        checkEnabled = false;
        for (TTable* t : tables_) {
            t->DisableConstraints();
        }
    }
}

void TEntryWindow::DetailViewChange(TObject* Sender)
{
    const TEntryDetailPage* page = nullptr;
    for (const TEntryDetailPage& p : setup_.detailPages) {
        if (auto* c = dynamic_cast<TComponent*>(Sender); c && SameName(c->Name(), p.combo)) {
            page = &p;
        }
    }
    if (page == nullptr) {
        return;
    }
    auto* combo = Get<TComboBox>(page->combo);
    TDBGrid* g1 = Get<TDBGrid>(page->grid1);
    TDBGrid* g2 = Get<TDBGrid>(page->grid2);
    TTable* detail = Table(page->table);
    TDataSource* source = Source(page->table);
    g1->SetDataSource(nullptr);
    g2->SetDataSource(nullptr);
    try {
        if (combo->ItemIndex() == 1) {
            if (Editing(source->State())) {
                PostTable(detail);
            }
            g1->SetReadOnly(true);
            g2->SetReadOnly(true);
            detail->SetMasterFields("");
            ToolButton5->SetEnabled(false);
            detail->First();
        } else {
            g1->SetReadOnly(false);
            g2->SetReadOnly(false);
            detail->SetMasterFields(setup_.keyField);
            ToolButton5->SetEnabled(true);
        }
    } catch (...) {
        g1->SetDataSource(source);
        g2->SetDataSource(source);
        throw;
    }
    g1->SetDataSource(source);
    g2->SetDataSource(source);
    UpdateStatusBar();
}

void TEntryWindow::TableAfterScroll(TDataSet* DataSet)
{
    if (DataSet == Master()) {
        const TDataSetState s = Source(0)->State();
        if (s == TDataSetState::dsBrowse || s == TDataSetState::dsInsert) {
            const std::string key = MasterKey();
            if (key != lastCode) {
                lastCode = key;
            }
        }
    }
    UpdateStatusBar();
}

// ---- state changes ----

void TEntryWindow::MasterSourceStateChange(TDataSource*)
{
    const bool editing = Editing(Source(0)->State());
    if (pagesHidden_ && editing) {
        ShowAllPages();
    }
    if (editing) {
        SetKeyEditable(true);
    }
    if (Master()->Active()) {
        UpdateStatusBar();
    }
}

void TEntryWindow::DetailSourceStateChange(TDataSource* Sender)
{
    const int i = IndexOfSource(Sender);
    if (i <= 0) {
        return;
    }
    TTable* detail = Table(i);
    const bool noKey = DBEdit1 != nullptr ? DBEdit1->Text().empty() : MasterKey().empty();
    if (Editing(Sender->State()) && noKey) {
        detail->Cancel();
        Application->MessageBox(setup_.enterKeyFirstText, "提示窗口", MB_OK | MB_ICONINFORMATION);
        PageControl1->SetActivePage(Get<TTabSheet>(setup_.coverPage));
        SwitchPage();
        Abort();
    }
    if (detail->Active()) {
        UpdateStatusBar();
    }
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
    if (!curTable->MasterFields().empty()) {
        return;
    }
    LocateTable = curTable;
    LocateField = setup_.keyField;
    // a detail that shows every enterprise is searched on its own index
    const int i = IndexOfTable(curTable);
    LocateIndex = i <= 0 ? setup_.keyIndex : setup_.tables[static_cast<std::size_t>(i)].index;
    if (TForm* f = TFormFactory::Obtain(setup_.locateDialog)) {
        f->ShowModal();
    }
    lastCode = MasterKey();
    UpdateStatusBar();
}
