#include "platform/ui/DBGridView.h"

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "platform/ui/Application.h"
#include "platform/ui/DBFieldLink.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBTyping.h"
#include "platform/ui/DataSetModel.h"
#include "platform/ui/EditMask.h"

namespace {

// A cell editor: starts the data set's edit at the first key that changes its text.
class GridCellEdit : public QLineEdit {
public:
    GridCellEdit(QWidget* parent, DBGridView* view) : QLineEdit(parent), view_(view)
    {
        setFrame(false);
        connect(this, &QLineEdit::textEdited, this, [this] { typed = true; });
    }

    TEditMask mask;
    bool maskActive = false;
    bool typed = false;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (KeyRefusedByField(e, view_->CurrentField())) {
            e->accept();
            return;
        }
        if (!typed && KeyChangesText(e) && !view_->BeginCellTyping()) {
            e->accept();
            view_->DropEditor(this);  // refused (read-only now, or a guard said no): no editor left behind
            return;
        }
        QLineEdit::keyPressEvent(e);
    }
    void inputMethodEvent(QInputMethodEvent* e) override
    {
        if (TextRefusedByField(e->commitString(), view_->CurrentField())) {
            e->accept();
            return;
        }
        if (!typed && !e->commitString().isEmpty() && !view_->BeginCellTyping()) {
            e->accept();
            view_->DropEditor(this);
            return;
        }
        QLineEdit::inputMethodEvent(e);
    }

private:
    DBGridView* view_;
};

// Tab and Shift+Tab reach a grid with dgTabs before the window's own tab order takes them: the window's key
// dispatch is an application filter too, and a filter installed later runs first.
class GridTabFilter : public QObject {
public:
    GridTabFilter(DBGridView* view, TDBGrid* grid) : QObject(view), view_(view), grid_(grid) {}

    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() != QEvent::KeyPress || (grid_->Options() & dgTabs) == 0) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(ev);
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            return false;
        }
        if ((key->modifiers() & ~Qt::ShiftModifier) != Qt::NoModifier) {
            return false;
        }
        QWidget* focus = QApplication::focusWidget();
        if (obj != focus || focus == nullptr || (focus != view_ && !view_->isAncestorOf(focus))) {
            return false;
        }
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        return view_->TabMove(forward);
    }

private:
    DBGridView* view_;
    TDBGrid* grid_;
};

GridCellEdit* cellEdit(QWidget* w)
{
    return dynamic_cast<GridCellEdit*>(w);
}

}  // namespace

// ---- delegate ----

DBGridDelegate::DBGridDelegate(DBGridView* view) : QStyledItemDelegate(view), view_(view) {}

QWidget* DBGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    return new GridCellEdit(parent, view_);
}

void DBGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    GridCellEdit* e = cellEdit(editor);
    if (e == nullptr || e->typed) {
        return;  // typed text is not overwritten by a refresh of the row
    }
    const QString text = index.data(Qt::EditRole).toString();
    const TField* field = view_->Model()->FieldAt(index.column());
    e->mask = TEditMask(field != nullptr ? QString::fromStdString(field->EditMask) : QString());
    e->maskActive = false;
    if (!e->mask.IsEmpty()) {
        if (const std::optional<QString> shown = e->mask.DisplayText(text)) {
            e->maskActive = true;
            e->setInputMask(e->mask.QtInputMask());
            e->setText(*shown);
        }
    }
    if (!e->maskActive) {
        e->setInputMask(QString());
        e->setText(text);  // a value that does not fit its mask is shown as it is
        e->setMaxLength(field != nullptr && field->DataType() == TFieldType::String && field->Size() > 0
                            ? field->Size()
                            : 32767);
    }
    e->selectAll();
}

QString DBGridDelegate::EditorValue(QWidget* editor, TDataSetModel* model, const QModelIndex& index)
{
    GridCellEdit* e = cellEdit(editor);
    if (e == nullptr) {
        return {};
    }
    if (!e->maskActive) {
        return e->text();
    }
    const TField* field = model->FieldAt(index.column());
    if (field == nullptr) {
        return {};
    }
    return MaskedValue(*field, e->mask, e->displayText()).value_or(QString());
}

bool DBGridDelegate::EditorTyped(QWidget* editor)
{
    GridCellEdit* e = cellEdit(editor);
    return e != nullptr && e->typed;
}

void DBGridDelegate::ClearTyped(QWidget* editor)
{
    if (GridCellEdit* e = cellEdit(editor)) {
        e->typed = false;
    }
}

void DBGridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    if (!EditorTyped(editor)) {
        return;  // nothing typed: the record stays unmodified
    }
    TDataSetModel* model = view_->Model();
    bool ok = false;
    RunGuarded([&] {
        model->SetCellText(index, EditorValue(editor, model, index));
        ok = true;
    });
    if (ok) {
        ClearTyped(editor);
    } else {
        view_->CommitFailed();
    }
}

// ---- view ----

DBGridView::DBGridView(TDBGrid* grid, TDataSetModel* model) : grid_(grid), model_(model)
{
    model_->setParent(this);
    setModel(model_);
    setItemDelegate(new DBGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    connect(model_, &TDataSetModel::currentRowChanged, this, [this] {
        if (!moving_) {
            SyncCurrent();
        }
    });
    // A reset (a stored new row changes the rows) closes an open cell editor; the focus that goes back to the
    // view makes Qt pick its first cell as current, which must not move the data set off the stored row.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { resetting_ = true; });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        resetting_ = false;
        SyncCurrent();
    });
    qApp->installEventFilter(new GridTabFilter(this, grid_));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) { FocusMoved(old, now); });
}

void DBGridView::FocusMoved(QWidget* old, QWidget* now)
{
    // leaving the grid for another control of its window; a cell editor has written its text by now
    const auto inside = [this](const QWidget* w) { return w != nullptr && (w == this || isAncestorOf(w)); };
    if (!inside(old) || inside(now) || now == nullptr || now->window() != window()) {
        return;
    }
    TDataSet* ds = DataSet();
    if ((grid_->Options() & dgCancelOnExit) != 0 && ds != nullptr && ds->State() == TDataSetState::dsInsert
        && !ds->Modified()) {
        RunGuarded([&] { ds->Cancel(); });  // a new record that nothing was typed into goes again
    }
}

bool DBGridView::TabMove(bool forward)
{
    const int columns = model_->columnCount();
    const int rows = model_->rowCount();
    const int row = model_->CurrentRow();
    if (columns == 0 || row < 0) {
        return false;
    }
    const int column = std::clamp(selectedColumn_, 0, columns - 1);
    if (forward ? column + 1 < columns : column > 0) {
        SetSelectedColumn(forward ? column + 1 : column - 1);
        return true;
    }
    if (forward ? row + 1 >= rows : row == 0) {
        return false;
    }
    // on to the first cell of the next row (the last of the previous), storing a modified record
    setCurrentIndex(model_->index(forward ? row + 1 : row - 1, forward ? 0 : columns - 1));
    return true;
}

TDataSet* DBGridView::DataSet() const
{
    return model_->ShownDataSet();
}

bool DBGridView::CanEditCells() const
{
    const TDataSet* ds = DataSet();
    return ds != nullptr && ds->CanModify() && model_->EditingMode() == TDataSetModel::Editing::Editable;
}

void DBGridView::SyncCurrent()
{
    const int row = model_->CurrentRow();
    const int columns = model_->columnCount();
    if (row < 0 || columns == 0) {
        return;
    }
    const QModelIndex index = model_->index(row, std::clamp(selectedColumn_, 0, columns - 1));
    if (currentIndex() != index) {
        syncing_ = true;
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     (selectionBehavior() == SelectRows ? QItemSelectionModel::Rows
                                                                                         : QItemSelectionModel::NoUpdate));
        syncing_ = false;
    }
}

void DBGridView::MoveToRow(int row)
{
    TDataSet* ds = DataSet();
    if (ds == nullptr) {
        return;
    }
    moving_ = true;
    // a modified record is stored before the cursor leaves it; a refused store keeps the cursor
    RunGuarded([&] { ds->SetRecNo(row + 1); });
    moving_ = false;
    SyncCurrent();
}

void DBGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    commitFailed_ = false;
    QTableView::currentChanged(current, previous);  // commits the editor of the previous cell
    if (syncing_ || resetting_) {
        return;
    }
    if (commitFailed_) {
        // the refused text stays in its editor; so does the current cell
        commitFailed_ = false;
        syncing_ = true;
        selectionModel()->setCurrentIndex(previous, QItemSelectionModel::ClearAndSelect);
        syncing_ = false;
        return;
    }
    if (!current.isValid()) {
        return;
    }
    selectedColumn_ = current.column();
    if (current.row() != model_->CurrentRow()) {
        MoveToRow(current.row());
    }
}

bool DBGridView::BeginCellTyping()
{
    TDataSet* ds = DataSet();
    if (ds == nullptr || !CanEditCells()) {
        return false;
    }
    return StartEditGuarded([&] {
        if (ds->State() == TDataSetState::dsBrowse) {
            ds->Edit();
        }
        return ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
    });
}

bool DBGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (trigger == AnyKeyPressed) {
        const auto* key = event != nullptr && event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)
                                                                                : nullptr;
        if (key == nullptr || !KeyChangesText(key)) {
            return false;
        }
    }
    if (index.isValid() && index.row() != model_->CurrentRow()) {
        return false;  // only the current record is edited
    }
    return QTableView::edit(index, trigger, event);
}

void DBGridView::commitData(QWidget* editor)
{
    if (committing_) {
        return;  // the error box of a refused text takes the focus: no second commit
    }
    committing_ = true;
    QTableView::commitData(editor);
    committing_ = false;
}

void DBGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (commitFailed_ && hint != QAbstractItemDelegate::RevertModelCache) {
        editor->setFocus();  // kept open for correction
        return;
    }
    QTableView::closeEditor(editor, hint);
}

TField* DBGridView::CurrentField() const
{
    return model_->FieldAt(currentIndex().isValid() ? currentIndex().column() : selectedColumn_);
}

void DBGridView::DropEditor(QWidget* editor)
{
    commitFailed_ = false;
    QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);  // the view deletes it later
}

void DBGridView::WriteEditorText()
{
    if (state() != EditingState) {
        return;
    }
    const QModelIndex index = currentIndex();
    QWidget* editor = indexWidget(index);
    if (editor == nullptr || !DBGridDelegate::EditorTyped(editor)) {
        return;
    }
    model_->SetCellText(index, DBGridDelegate::EditorValue(editor, model_, index));
    DBGridDelegate::ClearTyped(editor);
}

void DBGridView::SetSelectedColumn(int column)
{
    const int columns = model_->columnCount();
    if (columns > 0) {
        column = std::clamp(column, 0, columns - 1);
    }
    if (state() == EditingState) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitFailed_ = false;
            commitData(editor);
            if (commitFailed_) {
                commitFailed_ = false;
                return;
            }
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    selectedColumn_ = std::max(0, column);
    SyncCurrent();
}

void DBGridView::keyPressEvent(QKeyEvent* event)
{
    TDataSet* ds = DataSet();
    if (ds != nullptr && event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        // Ctrl+Delete deletes the current record, after asking when the grid confirms deletions
        event->accept();
        if (CanEditCells() && !ds->IsEmpty()) {
            RunGuarded([&] {
                if ((grid_->Options() & dgConfirmDelete) == 0
                    || Application->MessageBox("删除当前记录吗？", "确认", MB_YESNO | MB_ICONQUESTION) == IDYES) {
                    ds->Delete();
                }
            });
        }
        return;
    }
    if (KeyRefusedByField(event, CurrentField())) {
        event->accept();  // not even a new record for it
        return;
    }
    if (ds != nullptr && model_->rowCount() == 0 && CanEditCells() && KeyChangesText(event)) {
        // typing into an empty grid starts a new record, which then takes the key
        if (!StartEditGuarded([&] {
                ds->Append();
                return ds->State() == TDataSetState::dsInsert;
            })) {
            event->accept();
            return;
        }
        SyncCurrent();
    }
    QTableView::keyPressEvent(event);
}

void DBGridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    grid_->Fire(grid_->OnDblClick);
}
