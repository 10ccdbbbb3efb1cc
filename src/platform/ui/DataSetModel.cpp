#include "platform/ui/DataSetModel.h"

#include "platform/ui/DBFieldText.h"

namespace {

// The engine keeps row access for its subclasses. A grid has to read rows other than the current one
// without moving the cursor (a move would store a pending edit and fire the windows' scroll events), so the
// model names that member through a derived class; the call still dispatches to the real data set.
struct ViewAccess : TDataSet {
    using TDataSet::StoredValue;
};

db::Variant storedValue(const TDataSet& ds, int viewPos, int field)
{
    db::Variant (TDataSet::*fn)(int, int) const = &ViewAccess::StoredValue;
    return (ds.*fn)(viewPos, field);
}

}  // namespace

class TDataSetModel::Link : public TDataLink {
public:
    explicit Link(TDataSetModel* model) : model_(model) {}
    void ActiveChanged() override { model_->Refresh(Change::Shape); }
    void DataSetChanged() override { model_->Refresh(Change::Rows); }
    void RecordChanged(TField*) override { model_->Refresh(Change::Record); }
    void StateChanged() override { model_->Refresh(Change::State); }
    void DataSourceDestroyed(TDataSource*) override { model_->Refresh(Change::Shape); }

private:
    TDataSetModel* model_;
};

TDataSetModel::TDataSetModel(QObject* parent) : QAbstractTableModel(parent), link_(std::make_unique<Link>(this)) {}

TDataSetModel::~TDataSetModel() = default;  // the link leaves its source as it goes

TDataSource* TDataSetModel::DataSource() const { return link_->LinkedSource(); }

void TDataSetModel::SetDataSource(TDataSource* source)
{
    if (source == DataSource()) {
        return;
    }
    link_->LinkTo(source);
    Refresh(Change::Shape);
}

void TDataSetModel::SetColumns(std::vector<Column> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    explicitColumns_ = true;
    shape_ = LiveShape();
    endResetModel();
    Refresh(Change::Shape);
}

void TDataSetModel::UpdateColumn(int column, const Column& value)
{
    if (column < 0 || column >= static_cast<int>(columns_.size())) {
        return;
    }
    Column& c = columns_[static_cast<std::size_t>(column)];
    const bool titleChanged = c.title != value.title || c.fieldName != value.fieldName;
    const bool cellsChanged = c.fieldName != value.fieldName || c.readOnly != value.readOnly;
    c = value;
    if (titleChanged && column < shape_.columns) {
        emit headerDataChanged(Qt::Horizontal, column, column);
    }
    if (cellsChanged && column < shape_.columns && shape_.rows > 0) {
        emit dataChanged(index(0, column), index(shape_.rows - 1, column));
    }
}

void TDataSetModel::SetEditing(Editing e)
{
    if (e == editing_) {
        return;
    }
    editing_ = e;
    if (shape_.rows > 0 && shape_.columns > 0) {
        emit dataChanged(index(0, 0), index(shape_.rows - 1, shape_.columns - 1));
    }
}

TDataSet* TDataSetModel::ShownDataSet() const { return link_->ShownDataSet(); }

TField* TDataSetModel::FieldAt(int column) const
{
    TDataSet* ds = ShownDataSet();
    if (ds == nullptr || column < 0) {
        return nullptr;
    }
    if (!explicitColumns_) {
        return column < ds->FieldCount() ? ds->Fields()[column] : nullptr;
    }
    if (column >= static_cast<int>(columns_.size())) {
        return nullptr;
    }
    return ds->FindField(columns_[static_cast<std::size_t>(column)].fieldName);
}

TDataSetModel::Shape TDataSetModel::LiveShape() const
{
    Shape s;
    TDataSet* ds = ShownDataSet();
    s.columns = !explicitColumns_ ? (ds != nullptr ? ds->FieldCount() : 0) : static_cast<int>(columns_.size());
    if (ds == nullptr) {
        return s;
    }
    s.active = true;
    s.rows = ds->RecordCount();
    if (ds->State() == TDataSetState::dsInsert) {
        s.insertRow = s.rows;  // a new record is shown below the others until it is stored
        ++s.rows;
    }
    return s;
}

int TDataSetModel::CurrentRow() const
{
    TDataSet* ds = ShownDataSet();
    if (ds == nullptr) {
        return -1;
    }
    if (shape_.insertRow >= 0) {
        return shape_.insertRow;
    }
    const int row = ds->RecNo() - 1;
    return row >= 0 && row < shape_.rows ? row : -1;
}

void TDataSetModel::Refresh(Change change)
{
    const Shape live = LiveShape();
    const TDataSet* ds = ShownDataSet();
    const TDataSetState state = ds != nullptr ? ds->State() : TDataSetState::dsInactive;
    if (!(live == shape_)) {
        beginResetModel();
        shape_ = live;
        endResetModel();
    } else if (shape_.rows > 0 && shape_.columns > 0) {
        const int cur = CurrentRow();
        if (change == Change::Rows || cur < 0) {
            emit dataChanged(index(0, 0), index(shape_.rows - 1, shape_.columns - 1));
        } else {
            emit dataChanged(index(cur, 0), index(cur, shape_.columns - 1));
        }
        // the row indicator follows the current record and its state
        if (change == Change::Rows || change == Change::State || cur != currentRow_) {
            emit headerDataChanged(Qt::Vertical, 0, shape_.rows - 1);
        }
    }
    const int cur = CurrentRow();
    if (cur != currentRow_ || change == Change::Shape) {
        currentRow_ = cur;
        emit currentRowChanged(cur);
    }
    if (state != lastState_) {
        lastState_ = state;
        emit dataSetStateChanged();
    }
}

db::Variant TDataSetModel::CellValue(int row, TField* field) const
{
    const TDataSet* ds = field->DataSet();
    if (row == CurrentRow()) {
        return field->Value();  // the record buffer while editing
    }
    int pos = row;
    if (shape_.insertRow >= 0 && row > shape_.insertRow) {
        --pos;
    }
    if (pos < 0 || pos >= ds->RecordCount()) {
        return {};  // the view changed while its controls were disabled
    }
    return storedValue(*ds, pos, field->Index());
}

bool TDataSetModel::IsCell(const QModelIndex& index) const
{
    // without checkIndex(): views and the tester ask about invalid indexes on purpose
    return index.isValid() && index.model() == this && index.row() < shape_.rows && index.column() < shape_.columns;
}

int TDataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shape_.rows;
}

int TDataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shape_.columns;
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const
{
    if (!IsCell(index) || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    TField* field = FieldAt(index.column());
    if (field == nullptr) {
        return {};
    }
    return FieldDisplayText(*field, CellValue(index.row(), field));
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= shape_.rows || section != CurrentRow()) {
            return QString();
        }
        switch (ShownDataSet()->State()) {
        case TDataSetState::dsInsert: return QStringLiteral("*");
        case TDataSetState::dsEdit: return QStringLiteral("I");
        default: return QStringLiteral("▶");
        }
    }
    if (section < 0 || section >= shape_.columns) {
        return {};
    }
    if (explicitColumns_ && !columns_[static_cast<std::size_t>(section)].title.isEmpty()) {
        return columns_[static_cast<std::size_t>(section)].title;
    }
    if (TField* f = FieldAt(section)) {
        return QString::fromStdString(f->DisplayLabel.empty() ? f->FieldName() : f->DisplayLabel);
    }
    return !explicitColumns_ ? QString() : QString::fromStdString(columns_[static_cast<std::size_t>(section)].fieldName);
}

bool TDataSetModel::IsCellEditable(const QModelIndex& index) const
{
    if (editing_ == Editing::ReadOnly || !index.isValid()) {
        return false;
    }
    TField* field = FieldAt(index.column());
    if (field == nullptr || field->ReadOnly || !field->DataSet()->CanModify()) {
        return false;
    }
    return !explicitColumns_ || !columns_[static_cast<std::size_t>(index.column())].readOnly;
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const
{
    if (!IsCell(index)) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (IsCellEditable(index)) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

void TDataSetModel::SetCellText(const QModelIndex& index, const QString& text)
{
    if (!IsCellEditable(index)) {
        throw EDatabaseError("Cannot modify a read-only field.");
    }
    if (index.row() != CurrentRow()) {
        throw EDatabaseError("Cannot modify a record that is not the current one.");
    }
    TField* field = FieldAt(index.column());
    // unchanged text leaves the record alone, so that leaving a cell does not mark the record modified
    if (field->DataSet()->State() == TDataSetState::dsBrowse && FieldDisplayText(*field) == text) {
        return;
    }
    SetFieldText(*field, text);
}

bool TDataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !IsCell(index)) {
        return false;
    }
    try {
        SetCellText(index, value.toString());
        lastError_.clear();
        return true;
    } catch (const Exception& e) {
        lastError_ = QString::fromStdString(e.Message);
        return false;
    }
}
