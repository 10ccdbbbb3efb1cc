// TDBGrid: a grid (QTableView over a TDataSetModel) that shows a data set through a data source, one row per
// record and one column per TColumn. The grid's current row is the data set's current record: moving to
// another row moves the data set, which stores a modified record first; typing in a cell starts an edit (an
// insert on an empty data set). Columns come from the window description (nested TColumn objects) or, when
// none are given, one per field, rebuilt when the data set opens with other fields.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMetaObject>

#include "platform/ui/Control.h"

class QTableView;
class TDataSetModel;
class TDataSource;
class TField;
class TDBGrid;
class DBGridView;

enum TDBGridOption : unsigned {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12,
};
using TDBGridOptions = unsigned;
inline constexpr TDBGridOptions kDefaultDBGridOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize |
                                                        dgColLines | dgRowLines | dgTabs | dgConfirmDelete |
                                                        dgCancelOnExit;

class TColumn;

class TColumnTitle {
public:
    // The caption given, or the field's label (or name) when none was given.
    std::string Caption() const;
    void SetCaption(const std::string& text);

private:
    friend class TColumn;
    friend class TDBGrid;
    explicit TColumnTitle(TColumn* column) : column_(column) {}
    TColumn* column_;
    std::string caption_;
    bool captionSet_ = false;
};

// One grid column: the field it shows, its title and its width in pixels.
class TColumn : public TComponent {
public:
    explicit TColumn(TComponent* owner);
    ~TColumn() override;

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);
    TColumnTitle* Title() { return &title_; }
    const TColumnTitle* Title() const { return &title_; }
    int Width() const { return width_; }
    void SetWidth(int pixels);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

    TDBGrid* Grid() const { return grid_; }
    TField* Field() const;  // of the grid's data set; nullptr when absent
    int Index() const;      // position in the grid, -1 outside one

private:
    friend class TDBGrid;
    friend class TColumnTitle;
    friend class TDBGridColumns;
    void Changed();

    TDBGrid* grid_ = nullptr;
    std::string fieldName_;
    TColumnTitle title_{this};
    int width_ = 64;
    bool widthSet_ = false;  // otherwise the width follows the field and the title
    bool readOnly_ = false;
};

class TDBGridColumns {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TColumn* operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }
    TColumn* Items(int i) const { return (*this)[i]; }
    // A new column at the end, owned by the grid; the grid's columns are then its own, not one per field.
    TColumn* Add();
    void Clear();

private:
    friend class TDBGrid;
    friend class TColumn;
    explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
    TDBGrid* grid_;
    std::vector<TColumn*> items_;
    bool custom_ = false;  // given by the description or by code; otherwise one default column per field
};

class TDBGrid : public TControl {
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);

    TDBGridColumns& Columns() { return columns_; }
    const TDBGridColumns& Columns() const { return columns_; }
    int ColumnCount() const { return columns_.Count(); }
    // The fields shown, column by column (nullptr for a column whose field is missing).
    int FieldCount() const { return columns_.Count(); }
    TField* Fields(int column) const;

    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions options);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

    // The selected column (0-based); setting it stores nothing and moves no record.
    int SelectedIndex() const;
    void SetSelectedIndex(int column);
    TField* SelectedField() const;
    // True while a cell editor is open.
    bool EditorMode() const;

    // Width in pixels of a text in the grid's font (the canvas measure behind character widths).
    int TextWidth(const std::string& text) const;

    QTableView* TableView() const;
    TDataSetModel* Model() const;

    void Loaded() override;
    void ApplyFont() override;

    // One column per field of the data set, unless the columns are the grid's own; done whenever the data
    // set opens, before the grid shows it.
    void RebuildDefaultColumns();

protected:
    bool WantsGenericDblClick() const override { return false; }  // the view's viewport gets the clicks

private:
    friend class TColumn;
    friend class TColumnTitle;
    friend class TDBGridColumns;
    friend class DBGridView;

    DBGridView* View() const;
    void ColumnChanged(TColumn* column);
    void ColumnDestroyed(TColumn* column);
    void SyncModelColumns();   // the model's columns from the TColumns
    void DropColumns();
    void ApplyWidths();
    void ApplyOptions();
    int DefaultWidth(const TField* field, const std::string& title) const;

    TDBGridColumns columns_{this};
    TDBGridOptions options_ = kDefaultDBGridOptions;
    bool readOnly_ = false;
    bool applyingWidths_ = false;
    QMetaObject::Connection resetConnection_, resizeConnection_;
};
