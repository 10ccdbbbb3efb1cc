// The Qt side of TDBGrid: a QTableView that keeps its current row on the data set's current record, moves
// the data set when the user moves to another row (storing a modified record first), starts the data set's
// edit when the user starts typing in a cell, and keeps a cell editor open when its text is refused.
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

class TDBGrid;
class TDataSet;
class TDataSetModel;
class TField;

class DBGridView : public QTableView {
public:
    // Takes ownership of the model.
    DBGridView(TDBGrid* grid, TDataSetModel* model);

    TDataSetModel* Model() const { return model_; }
    int SelectedColumn() const { return selectedColumn_; }
    // Commits an open editor (a refused text keeps it open and the column unchanged), then selects the column.
    void SetSelectedColumn(int column);
    // Puts the current cell on the data set's current record and the selected column.
    void SyncCurrent();
    // Writes the text of an open cell editor to its field; raises when the text is refused (before a post).
    void WriteEditorText();
    // Starts the data set's edit for typing in a cell; false when refused (the error has been shown).
    bool BeginCellTyping();
    bool CanEditCells() const;
    // The field of the current cell's column (the selected column while no cell is current), or nullptr.
    TField* CurrentField() const;
    bool IsEditing() const { return state() == EditingState; }
    void CommitFailed() { commitFailed_ = true; }
    // Closes an editor without writing its text.
    void DropEditor(QWidget* editor);
    // Tab and Shift+Tab in a grid that takes them: the next or previous cell, row by row; false at either
    // end, where the key moves the focus on as usual.
    bool TabMove(bool forward);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void MoveToRow(int row);
    void FocusMoved(QWidget* old, QWidget* now);
    TDataSet* DataSet() const;

    TDBGrid* grid_;
    TDataSetModel* model_;
    int selectedColumn_ = 0;
    bool syncing_ = false;      // the view follows the data set: no move back
    bool moving_ = false;       // the data set moves for the view: sync once afterwards
    bool resetting_ = false;    // the model is being reset: Qt's own choice of a current cell moves nothing
    bool committing_ = false;
    bool commitFailed_ = false;
};

// Cell editors: a line edit with the field's edit mask; typed text is converted as in TDBEdit.
class DBGridDelegate : public QStyledItemDelegate {
public:
    explicit DBGridDelegate(DBGridView* view);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // The text an editor holds as the field takes it ("" for null); raises for an incomplete mask.
    static QString EditorValue(QWidget* editor, TDataSetModel* model, const QModelIndex& index);
    static bool EditorTyped(QWidget* editor);
    static void ClearTyped(QWidget* editor);

private:
    DBGridView* view_;
};
