// The pages and the tool bar of an entry window, split from EntryWindow.cpp: which table the visible page works
// on, the buttons and key edits each page allows, the pages an empty master hides, the detail view switch, and
// the tool buttons' handlers.
#include "app/Main.h"
#include "entry/EntryWindow.h"
#include "platform/ui/Application.h"

namespace {

bool Editing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

}  // namespace

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
    const TTabSheet* active = PageControl1 != nullptr ? PageControl1->ActivePage() : nullptr;
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

void TEntryWindow::ShowCover()
{
    if (PageControl1 != nullptr) {
        PageControl1->SetActivePage(Get<TTabSheet>(setup_.coverPage));
    }
}

// Links a detail to its master again; a link that only differs in letter case stays, so that the detail keeps its
// current row.
void TEntryWindow::Link(int detail)
{
    if (!SameName(Table(detail)->MasterFields(), LinkFields(detail))) {
        Table(detail)->SetMasterFields(LinkFields(detail));
    }
}

void TEntryWindow::EnableButtons(bool insert, bool append)
{
    if (ToolButton5 != nullptr) {
        ToolButton5->SetEnabled(insert);
    }
    if (ToolButton9 != nullptr) {
        ToolButton9->SetEnabled(append);
    }
}

bool TEntryWindow::EditingBelow(int table) const
{
    for (int d = 0; d < TableCount(); ++d) {
        if (IsBelow(d, table) && Editing(Source(d)->State())) {
            return true;
        }
    }
    return false;
}

void TEntryWindow::SetKeyEditable(int table, bool on)
{
    const std::string& edit = setup_.tables.at(static_cast<std::size_t>(table)).keyEdit;
    if (!edit.empty()) {
        Get<TDBEdit>(edit)->SetEnabled(on);
    }
    if (table == 0 && !setup_.keyLabel.empty()) {
        // Every edit of the master comes here: a caption that stays is not set again (and the label not fitted).
        TLabel* label = Get<TLabel>(setup_.keyLabel);
        const std::string& text = on ? setup_.keyLabelText : setup_.keyLabelReadOnlyText;
        if (label->Caption() != text) {
            label->SetCaption(text);
        }
    }
}

// A key typed over on an earlier page and not yet stored is stored now, nearest master first, with its checking
// off for that store, so that the cascades move the rows below before they show.
void TEntryWindow::StoreTypedOverKeys(int table)
{
    for (int m = MasterOf(table); m >= 0; m = MasterOf(m)) {
        const std::string& last = LastCode(m);
        if (last.empty() || OwnKey(m) == last) {
            continue;
        }
        const bool off = checkEnabled;
        if (off) {
            Table(m)->DisableConstraints();
        }
        try {
            PostTable(Table(m));
        } catch (...) {
            if (off) {
                Table(m)->EnableConstraints();
            }
            throw;
        }
        if (off) {
            Table(m)->EnableConstraints();
        }
    }
}

void TEntryWindow::SwitchPage()
{
    if (const TEntryDetailPage* p = VisibleDetailPage()) {
        const int i = p->table;
        curTable = Table(i);
        curSource = Source(i);
        curGrid1 = p->grid1.empty() ? nullptr : Get<TDBGrid>(p->grid1);
        curGrid2 = p->grid2.empty() ? nullptr : Get<TDBGrid>(p->grid2);
        if (!p->combo.empty()) {
            Get<TComboBox>(p->combo)->SetItemIndex(0);
        }
        for (TDBGrid* g : {curGrid1, curGrid2}) {
            if (g != nullptr) {
                g->SetReadOnly(false);
            }
        }
        EnableButtons(true, !setup_.buttonsOnCoverOnly);
        Link(i);
        SetKeyEditable(i, !EditingBelow(i));
        StoreTypedOverKeys(i);
    } else {
        curTable = Master();
        curSource = Source(0);
        SetKeyEditable(0, !EditingBelow(0));
        const TTabSheet* active = PageControl1 != nullptr ? PageControl1->ActivePage() : nullptr;
        const bool onCover = active == nullptr || SameName(active->Name(), setup_.coverPage);
        EnableButtons(onCover || !setup_.buttonsOnCoverOnly, onCover || !setup_.buttonsOnCoverOnly);
        if (onCover) {
            for (int d = 1; d < TableCount(); ++d) {
                Link(d);
            }
        }
    }
    UpdateStatusBar();
}

void TEntryWindow::HideEmptyPages()
{
    if (!setup_.hidesEmptyPages || PageControl1 == nullptr || curTable != Master() || !Master()->Active() ||
        !Master()->IsEmpty()) {
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
    pagesHidden_ = false;
    if (PageControl1 == nullptr) {
        return;
    }
    for (int i = 0; i < PageControl1->PageCount(); ++i) {
        PageControl1->Pages(i)->SetTabVisible(true);
    }
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
            const int i = IndexOfTable(t);
            if (HasDetails(i)) {
                DeleteDetailsOf(i);
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

// Hook for "数据追加": a window with an import replaces it.
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
    std::vector<TDBGrid*> grids;
    for (const std::string& name : {page->grid1, page->grid2}) {
        if (!name.empty()) {
            grids.push_back(Get<TDBGrid>(name));
        }
    }
    TTable* detail = Table(page->table);
    TDataSource* source = Source(page->table);
    auto attach = [&](TDataSource* s) {
        for (TDBGrid* g : grids) {
            g->SetDataSource(s);
        }
    };
    attach(nullptr);
    try {
        const bool all = combo->ItemIndex() == 1;
        if (all && Editing(source->State())) {
            PostTable(detail);
        }
        for (TDBGrid* g : grids) {
            g->SetReadOnly(all);
        }
        detail->SetMasterFields(all ? std::string() : LinkFields(page->table));
        if (ToolButton5 != nullptr) {
            ToolButton5->SetEnabled(!all);
        }
        if (all) {
            detail->First();
        }
    } catch (...) {
        attach(source);
        throw;
    }
    attach(source);
    UpdateStatusBar();
}
