#include "platform/ui/DBGrid.h"

#include <algorithm>

#include <QFontMetrics>
#include <QHeaderView>

#include "platform/ui/DBClasses.h"
#include "platform/ui/DBGridView.h"
#include "platform/ui/DataSetModel.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"

namespace {

// Before a post the grid writes the text of an open cell editor, as an edit control writes its own. The link
// is told of a (re)opened data set before the model, so that default columns are rebuilt first and the
// model then resets once, on its own.
class GridUpdateLink : public TDataLink {
public:
    GridUpdateLink(TDBGrid* grid, DBGridView* view) : grid_(grid), view_(view) {}
    void UpdateData() override { view_->WriteEditorText(); }
    void ActiveChanged() override { grid_->RebuildDefaultColumns(); }

private:
    TDBGrid* grid_;
    DBGridView* view_;
};

// The grid's widget: the view, its model and its link live and die together.
class GridWidget : public DBGridView {
public:
    explicit GridWidget(TDBGrid* grid) : DBGridView(grid, new TDataSetModel), link(grid, this) {}
    ~GridWidget() override
    {
        link.LinkTo(nullptr);
        Model()->SetDataSource(nullptr);
    }
    GridUpdateLink link;
};

}  // namespace

// ---- TColumnTitle, TColumn ----

void TColumnTitle::SetCaption(const std::string& text)
{
    caption_ = text;
    captionSet_ = true;
    column_->Changed();
}

std::string TColumnTitle::Caption() const
{
    if (captionSet_) {
        return caption_;
    }
    // not given: the field's label, as the grid shows it
    if (const TField* f = column_->Field()) {
        return f->DisplayLabel.empty() ? f->FieldName() : f->DisplayLabel;
    }
    return column_->FieldName();
}

TColumn::TColumn(TComponent* owner) : TComponent(owner) {}

TColumn::~TColumn()
{
    if (grid_ != nullptr) {
        grid_->ColumnDestroyed(this);
    }
}

void TColumn::SetFieldName(const std::string& name)
{
    fieldName_ = name;
    Changed();
}

void TColumn::SetWidth(int pixels)
{
    width_ = std::max(0, pixels);
    widthSet_ = true;
    Changed();
}

void TColumn::SetReadOnly(bool on)
{
    readOnly_ = on;
    Changed();
}

TField* TColumn::Field() const
{
    if (grid_ == nullptr) {
        return nullptr;
    }
    const TDataSet* ds = grid_->Model()->ShownDataSet();
    return ds != nullptr ? ds->FindField(fieldName_) : nullptr;
}

int TColumn::Index() const
{
    if (grid_ == nullptr) {
        return -1;
    }
    const auto& items = grid_->columns_.items_;
    const auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TColumn::Changed()
{
    if (grid_ != nullptr) {
        grid_->ColumnChanged(this);
    }
}

// ---- TDBGridColumns ----

TColumn* TDBGridColumns::Add()
{
    if (!custom_) {
        custom_ = true;
        grid_->DropColumns();  // the default columns give way to the grid's own
    }
    auto* c = new TColumn(grid_);
    c->grid_ = grid_;
    items_.push_back(c);
    grid_->SyncModelColumns();
    return c;
}

void TDBGridColumns::Clear()
{
    grid_->DropColumns();
    custom_ = false;  // one column per field again
    grid_->RebuildDefaultColumns();
    grid_->SyncModelColumns();
}

// ---- TDBGrid ----

TDBGrid::TDBGrid(TComponent* owner) : TControl(owner, new GridWidget(this))
{
    LinkDataControlClasses();
    SetTabStop(true);
    resetConnection_ = QObject::connect(Model(), &QAbstractItemModel::modelReset, View(), [this] {
        ApplyWidths();
        View()->SyncCurrent();
    });
    resizeConnection_ = QObject::connect(View()->horizontalHeader(), &QHeaderView::sectionResized, View(),
                     [this](int section, int, int size) {
                         if (!applyingWidths_ && section >= 0 && section < columns_.Count()) {
                             columns_[section]->width_ = size;  // resized by the user
                         }
                     });
    ApplyFont();
    ApplyOptions();
}

TDBGrid::~TDBGrid()
{
    // the widget outlives this part of the grid: it must not call back into it
    QObject::disconnect(resetConnection_);
    QObject::disconnect(resizeConnection_);
    if (Widget() != nullptr) {
        static_cast<GridWidget*>(View())->link.LinkTo(nullptr);
        Model()->SetDataSource(nullptr);
    }
    for (TColumn* c : columns_.items_) {
        c->grid_ = nullptr;
    }
    columns_.items_.clear();
}

DBGridView* TDBGrid::View() const { return static_cast<DBGridView*>(Widget()); }
QTableView* TDBGrid::TableView() const { return View(); }
TDataSetModel* TDBGrid::Model() const { return View()->Model(); }

TDataSource* TDBGrid::DataSource() const { return static_cast<GridWidget*>(View())->link.LinkedSource(); }

void TDBGrid::SetDataSource(TDataSource* source)
{
    static_cast<GridWidget*>(View())->link.LinkTo(source);
    RebuildDefaultColumns();
    Model()->SetDataSource(source);
}

void TDBGrid::DropColumns()
{
    std::vector<TColumn*> old;
    old.swap(columns_.items_);
    for (TColumn* c : old) {
        c->grid_ = nullptr;
        if (c->Owner() == this) {
            DestroyComponent(c);
        }
    }
}

void TDBGrid::SetOptions(TDBGridOptions options)
{
    options_ = options;
    ApplyOptions();
}

void TDBGrid::SetReadOnly(bool on)
{
    readOnly_ = on;
    ApplyOptions();
}

void TDBGrid::ApplyOptions()
{
    DBGridView* v = View();
    const bool editing = (options_ & dgEditing) != 0 && !readOnly_;
    Model()->SetEditing(editing ? TDataSetModel::Editing::Editable : TDataSetModel::Editing::ReadOnly);
    v->horizontalHeader()->setVisible((options_ & dgTitles) != 0);
    v->verticalHeader()->setVisible((options_ & dgIndicator) != 0);
    v->setShowGrid((options_ & (dgColLines | dgRowLines)) != 0);
    v->setTabKeyNavigation((options_ & dgTabs) != 0);
    v->setSelectionBehavior((options_ & dgRowSelect) != 0 ? QAbstractItemView::SelectRows
                                                          : QAbstractItemView::SelectItems);
    v->horizontalHeader()->setSectionResizeMode((options_ & dgColumnResize) != 0 ? QHeaderView::Interactive
                                                                                 : QHeaderView::Fixed);
}

void TDBGrid::ApplyFont()
{
    TControl::ApplyFont();
    DBGridView* v = View();
    const QFontMetrics fm(v->font());
    v->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    v->verticalHeader()->setFixedWidth(fm.height());  // room for the row indicator
}

int TDBGrid::SelectedIndex() const
{
    return View()->SelectedColumn();
}

void TDBGrid::SetSelectedIndex(int column)
{
    View()->SetSelectedColumn(column);
}

TField* TDBGrid::Fields(int column) const
{
    return column >= 0 && column < columns_.Count() ? columns_[column]->Field() : nullptr;
}

bool TDBGrid::EditorMode() const
{
    return View()->IsEditing();
}

TField* TDBGrid::SelectedField() const
{
    const int i = SelectedIndex();
    return i >= 0 && i < columns_.Count() ? columns_[i]->Field() : nullptr;
}

int TDBGrid::TextWidth(const std::string& text) const
{
    return QFontMetrics(View()->font()).horizontalAdvance(QString::fromStdString(text));
}

int TDBGrid::DefaultWidth(const TField* field, const std::string& title) const
{
    int chars = 8;
    if (field != nullptr) {
        if (field->DisplayWidth > 0) {
            chars = field->DisplayWidth;
        } else if (field->DataType() == TFieldType::String && field->Size() > 0) {
            chars = field->Size();
        } else {
            chars = 10;
        }
    }
    // wide enough for the digits, and never fewer blanks than the field's size: a table saved from the grid
    // takes its text sizes from the widths in blanks, and a narrower size would cut the text
    const int perChar = std::max(TextWidth("0"), (TextWidth("    ") + 3) / 4);
    return std::max(TextWidth(title), chars * perChar) + 4;
}

void TDBGrid::Loaded()
{
    // The description nests a grid's TColumn objects inside it; they are created right after the grid, so
    // they are the TColumns that follow it among the window's components.
    TComponent* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    int i = 0;
    while (i < owner->ComponentCount() && owner->Components(i) != this) {
        ++i;
    }
    std::vector<TColumn*> nested;
    for (++i; i < owner->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TColumn*>(owner->Components(i));
        if (c == nullptr) {
            break;
        }
        if (c->grid_ == nullptr) {
            nested.push_back(c);
        }
    }
    if (nested.empty()) {
        return;
    }
    DropColumns();
    columns_.custom_ = true;
    for (TColumn* c : nested) {
        c->grid_ = this;
        columns_.items_.push_back(c);
    }
    SyncModelColumns();
}

void TDBGrid::ColumnChanged(TColumn* column)
{
    const int i = column->Index();
    if (i < 0 || Widget() == nullptr) {
        return;
    }
    Model()->UpdateColumn(i, {column->FieldName(), QString::fromStdString(column->Title()->Caption()),
                              column->ReadOnly()});
    if (!column->widthSet_) {
        column->width_ = DefaultWidth(column->Field(), column->Title()->Caption());
    }
    applyingWidths_ = true;
    View()->horizontalHeader()->resizeSection(i, column->Width());
    applyingWidths_ = false;
}

void TDBGrid::ColumnDestroyed(TColumn* column)
{
    auto& items = columns_.items_;
    items.erase(std::remove(items.begin(), items.end(), column), items.end());
    if (Widget() != nullptr) {  // the window's widgets may be gone before its components
        SyncModelColumns();
    }
}

void TDBGrid::SyncModelColumns()
{
    std::vector<TDataSetModel::Column> cols;
    for (TColumn* c : columns_.items_) {
        cols.push_back({c->FieldName(), c->Title()->captionSet_ ? QString::fromStdString(c->Title()->caption_)
                                                                 : QString(),
                        c->ReadOnly()});
    }
    Model()->SetColumns(std::move(cols));
}

void TDBGrid::RebuildDefaultColumns()
{
    if (columns_.custom_) {
        return;
    }
    // from the source itself: the model may not know of it yet
    const TDataSet* ds = static_cast<GridWidget*>(View())->link.ShownDataSet();
    std::vector<std::string> names;
    if (ds != nullptr) {
        for (const auto& f : ds->Fields()) {
            names.push_back(f->FieldName());
        }
    }
    std::vector<std::string> current;
    for (const TColumn* c : columns_.items_) {
        current.push_back(c->FieldName());
    }
    // A closed or detached data set keeps the columns (and what the column dialog made of them) for its
    // reopening; only another list of fields replaces them.
    if (names == current || names.empty()) {
        return;
    }
    DropColumns();
    for (const std::string& n : names) {
        auto* c = new TColumn(this);
        c->grid_ = this;
        c->fieldName_ = n;
        columns_.items_.push_back(c);
    }
    SyncModelColumns();
}

void TDBGrid::ApplyWidths()
{
    applyingWidths_ = true;
    for (int i = 0; i < columns_.Count() && i < Model()->columnCount(); ++i) {
        TColumn* c = columns_[i];
        if (!c->widthSet_) {
            c->width_ = DefaultWidth(c->Field(), c->Title()->Caption());
        }
        View()->horizontalHeader()->resizeSection(i, c->width_);
    }
    applyingWidths_ = false;
}

namespace {

TDataSource* sourceOf(TComponent* c)
{
    return static_cast<TDataSourceComponent*>(c)->Object();
}

const ClassBuilder<TDBGrid> kDBGridClass("TDBGrid", "TControl", [](ClassBuilder<TDBGrid>& c) {
    c.Reference("DataSource", "TDataSource", [](TDBGrid& g, TComponent* s) { g.SetDataSource(sourceOf(s)); });
    c.Set("Options",
          {{"dgEditing", dgEditing}, {"dgAlwaysShowEditor", dgAlwaysShowEditor}, {"dgTitles", dgTitles},
           {"dgIndicator", dgIndicator}, {"dgColumnResize", dgColumnResize}, {"dgColLines", dgColLines},
           {"dgRowLines", dgRowLines}, {"dgTabs", dgTabs}, {"dgRowSelect", dgRowSelect},
           {"dgAlwaysShowSelection", dgAlwaysShowSelection}, {"dgConfirmDelete", dgConfirmDelete},
           {"dgCancelOnExit", dgCancelOnExit}, {"dgMultiSelect", dgMultiSelect}},
          [](TDBGrid& g, long long v) { g.SetOptions(static_cast<TDBGridOptions>(v)); });
    c.Bool("ReadOnly", [](TDBGrid& g, bool v) { g.SetReadOnly(v); });
});

const ClassBuilder<TColumn> kColumnClass("TColumn", "TComponent", [](ClassBuilder<TColumn>& c) {
    c.ParentClass("TDBGrid");
    c.String("FieldName", [](TColumn& col, const std::string& v) { col.SetFieldName(v); });
    c.String("Title.Caption", [](TColumn& col, const std::string& v) { col.Title()->SetCaption(v); });
    c.Int("Width", [](TColumn& col, int v) { col.SetWidth(v); });
    c.Bool("ReadOnly", [](TColumn& col, bool v) { col.SetReadOnly(v); });
});

}  // namespace

void LinkDBGridClass() {}

void LinkDataControlClasses()
{
    LinkDBEditClass();
    LinkDBMemoClass();
    LinkDBGridClass();
    LinkDBNavigatorClass();
}
