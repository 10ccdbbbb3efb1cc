// An item model of a data set for the grids: one row per record of the data set's view (plus the new record
// at the end while inserting), one column per grid column or, when none are given, per field. It follows the data set
// through a data source by a data link and changes only on the link's notifications: a new shape (opened,
// closed, rows added or removed, insert started or ended) resets the model, anything else is dataChanged.
//
// Invariant: rowCount() and columnCount() answer from the shape last announced, never from the live data set,
// so that views and QAbstractItemModelTester always see a consistent model.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QAbstractTableModel>

#include "platform/db/DataSet.h"

class TDataSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        std::string fieldName;
        QString title;          // empty: the field's display label or name
        bool readOnly = false;
    };

    enum class Editing { ReadOnly, Editable };

    explicit TDataSetModel(QObject* parent = nullptr);
    ~TDataSetModel() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);

    // Explicit columns (possibly none); until they are set, every field of the data set in order.
    const std::vector<Column>& Columns() const { return columns_; }
    void SetColumns(std::vector<Column> columns);
    bool HasExplicitColumns() const { return explicitColumns_; }
    // Changes one explicit column in place (no reset): a new title is headerDataChanged, the rest dataChanged.
    void UpdateColumn(int column, const Column& value);

    Editing EditingMode() const { return editing_; }
    void SetEditing(Editing e);

    // The data set shown, or nullptr when detached (no source, source disabled, no data set, data set closed).
    TDataSet* ShownDataSet() const;
    TField* FieldAt(int column) const;  // nullptr for a column whose field is missing
    int CurrentRow() const;             // the row of the current record, -1 when none
    bool IsCellEditable(const QModelIndex& index) const;

    // Writes typed text to the cell's field (the cell must be in the current row). Raises the engine's and
    // the conversion's errors; setData() is the same without raising.
    void SetCellText(const QModelIndex& index, const QString& text);
    const QString& LastError() const { return lastError_; }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The current record moved to another row (or to none, -1).
    void currentRowChanged(int row);
    // The data set's state changed (browse, edit, insert, closed).
    void dataSetStateChanged();

private:
    class Link;
    friend class Link;
    enum class Change { Shape, Rows, Record, State };

    struct Shape {
        bool active = false;
        int rows = 0;
        int columns = 0;
        int insertRow = -1;  // row of the new record while inserting
        friend bool operator==(const Shape&, const Shape&) = default;
    };

    Shape LiveShape() const;
    bool IsCell(const QModelIndex& index) const;
    void Refresh(Change change);
    db::Variant CellValue(int row, TField* field) const;

    std::unique_ptr<Link> link_;
    std::vector<Column> columns_;
    bool explicitColumns_ = false;
    Editing editing_ = Editing::Editable;
    Shape shape_;
    int currentRow_ = -1;
    TDataSetState lastState_ = TDataSetState::dsInactive;
    QString lastError_;
};
