// The data set: a cursor over the rows of a table or a query answer, with its fields, its state machine
// (browse, edit, insert, set-key) and the events that the windows hook into. TTable and TQuery derive from it;
// data sources and the data-aware controls see only this interface.
//
// Invariant: a view is an ordered list of row ids (active index, master link, range, filter); RecNo and
// RecordCount count on that list. Field values of the current record live in the record buffer, which is
// written to the file only by Post.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/Exception.h"
#include "platform/db/Schema.h"

class TDataSet;
class TDataSource;

using TFieldType = db::FieldType;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey };

// What a post-error handler decides: daFail shows the (possibly rewritten) message and fails the store,
// daAbort fails it silently, daRetry tries the store again.
enum class TDataAction { daFail, daAbort, daRetry };

class TField {
public:
    TField(TDataSet* dataSet, int index, db::FieldDesc desc);

    TDataSet* DataSet() const { return dataSet_; }
    const std::string& FieldName() const { return desc_.name; }
    TFieldType DataType() const { return desc_.type; }
    int Size() const { return desc_.size; }
    int Index() const { return index_; }  // position in the field list
    const db::FieldDesc& Desc() const { return desc_; }
    bool IsNumeric() const;  // small integer, integer, float, currency, auto-increment

    // Value of the current record (of the record buffer while editing).
    bool IsNull() const;
    db::Variant Value() const;
    std::string AsString() const;  // "" for null; numbers in plain decimal; dates yyyy-mm-dd
    std::int64_t AsInteger() const;  // raises EConvertError on text that is not an integer
    double AsFloat() const;
    bool AsBoolean() const;

    // Assignment starts an edit where the data set is browsing (as the data-aware controls do) and raises
    // EDatabaseError when the data set cannot be modified. Text is converted to the field's type; a text
    // longer than the field's size is refused with a message naming the field.
    void SetValue(const db::Variant& v);
    void SetAsString(const std::string& s);
    void SetAsInteger(std::int64_t v);
    void SetAsFloat(double v);
    void Clear();

    // Edit mask applied by data-aware edit controls (classic mask syntax); kept on the field while it lives.
    std::string EditMask;
    std::string DisplayLabel;
    int DisplayWidth = 0;  // characters; 0 means the field's size or a type default
    bool ReadOnly = false;

private:
    TDataSet* dataSet_;
    int index_;
    db::FieldDesc desc_;
};

class TFields {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TField* operator[](int i) const { return items_.at(static_cast<std::size_t>(i)).get(); }
    TField* Find(const std::string& name) const;  // without regard to case; nullptr when absent
    void Clear()
    {
        items_.clear();
        byName_.clear();
    }
    void Add(std::unique_ptr<TField> f)
    {
        items_.push_back(std::move(f));
        byName_.clear();
    }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<TField>> items_;
    // The first field of each name, ASCII letters folded: every data-aware control finds its field again at each
    // change of the record or state, among a window's hundreds. Made at the first search.
    mutable std::unordered_map<std::string, TField*> byName_;
};

// Field definitions of a table to be created (TTable::CreateTable) or of an open table.
class TFieldDefs {
public:
    void Clear() { items_.clear(); }
    void Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    int Count() const { return static_cast<int>(items_.size()); }
    const db::FieldDesc& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }
    const std::vector<db::FieldDesc>& Items() const { return items_; }
    void Assign(const std::vector<db::FieldDesc>& items) { items_ = items; }

private:
    std::vector<db::FieldDesc> items_;
};

struct TCheckConstraint {
    std::string CustomConstraint;  // a condition in the expression language; null counts as met
    std::string ErrorMessage;
};

class TCheckConstraints {
public:
    void BeginUpdate() { ++updating_; }
    void EndUpdate() { --updating_; }
    void Clear() { items_.clear(); }
    TCheckConstraint& Add() { return items_.emplace_back(); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TCheckConstraint& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TCheckConstraint> items_;
    int updating_ = 0;
};

// Something that follows a data set through a data source: a data-aware control or the data source itself.
// A link leaves its data source when it goes, so a source only ever holds live links.
class TDataLink {
public:
    TDataLink() = default;
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;
    virtual ~TDataLink();
    virtual void ActiveChanged() {}      // opened or closed
    virtual void DataSetChanged() {}     // rows changed, view rebuilt, cursor moved to another row
    virtual void RecordChanged(TField* /*field, nullptr for all*/) {}  // values of the current record
    virtual void StateChanged() {}
    virtual void UpdateData() {}         // before a post: controls write their pending text to the field
    // The data source that holds this link is going (LinkedSource() is already nullptr).
    virtual void DataSourceDestroyed(TDataSource* /*source*/) {}

    // The source that holds this link; nullptr when none, or when it went.
    TDataSource* LinkedSource() const { return linkedTo_; }
    // Leaves the source that holds this link and joins source (nullptr: none) as its last link.
    void LinkTo(TDataSource* source);
    // The data set that source shows: nullptr when there is none, the source is disabled or the set closed.
    TDataSet* ShownDataSet() const;

private:
    friend class TDataSource;
    TDataSource* linkedTo_ = nullptr;  // the source that holds this link, if any
};

class TDataSet {
public:
    using Notify = std::function<void(TDataSet*)>;
    using ErrorNotify = std::function<void(TDataSet*, EDatabaseError&, TDataAction&)>;

    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    std::string Name;  // component name, used in messages

    // The data set as a message names it: "数据表“kfq_1.db”", "查询“Query1”".
    virtual std::string Describe() const;

    // Opening and closing; Open raises EDatabaseError with a clear message when the source cannot be opened.
    void Open();
    void Close();
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool on) { on ? Open() : Close(); }
    TDataSetState State() const { return state_; }

    // Moves. A pending edit is stored first, as when the cursor leaves a modified record; a failing store
    // raises and keeps the cursor where it was.
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);  // returns the distance actually moved
    bool Eof() const;
    bool Bof() const;
    int RecNo() const;         // 1-based position in the view; 0 when empty or inserting a new row
    void SetRecNo(int recNo);
    int RecordCount() const;   // rows in the view
    bool IsEmpty() const;

    // Editing. Edit on an empty view starts an insert.
    void Edit();
    void Append();
    void Insert();
    void Post();
    void Cancel();
    void Delete();
    void ClearFields();
    void CheckBrowseMode();  // posts a pending edit that has changes; cancels one without
    bool Modified() const { return modified_; }  // a field of the record buffer was assigned
    void Refresh();  // rereads the rows (posting a pending edit first); the current record stays current

    // Fields.
    TFields& Fields() { return fields_; }
    const TFields& Fields() const { return fields_; }
    int FieldCount() const { return fields_.Count(); }
    TField* FieldByName(const std::string& name) const;  // raises EDatabaseError naming the field and set
    TField* FindField(const std::string& name) const;    // nullptr when absent

    // Filter: an expression-language condition over the fields; a key with a quote must be quoted ('' ).
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);

    // Record constraints, checked on every store while checking is enabled; nested disable/enable.
    TCheckConstraints Constraints;
    void DisableConstraints() { ++constraintsDisabled_; }
    void EnableConstraints() { if (constraintsDisabled_ > 0) --constraintsDisabled_; }
    bool ConstraintsDisabled() const { return constraintsDisabled_ > 0; }

    // Writes stored changes through to disk. Every store already commits; this is where a pending batch ends.
    virtual void FlushBuffers();

    // Events, bound by the windows.
    Notify BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    Notify BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    Notify BeforePost, AfterPost, BeforeCancel, AfterCancel;
    Notify BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    Notify OnNewRecord;
    ErrorNotify OnPostError, OnDeleteError, OnEditError;

    // Data links (data sources and controls).
    void AddDataLink(TDataLink* link);
    void RemoveDataLink(TDataLink* link);
    void DisableControls()
    {
        if (controlsDisabled_++ == 0)
            stateWhenDisabled_ = state_;
    }
    void EnableControls();
    bool ControlsDisabled() const { return controlsDisabled_ > 0; }

    // For the engine's subclasses and the field class.
    virtual bool CanModify() const { return true; }
    db::Variant GetFieldValue(int index) const;
    void SetFieldValue(int index, const db::Variant& v);  // into the record buffer, starting an edit if needed

protected:
    TDataSet();

    // Implemented by TTable and TQuery.
    virtual void InternalOpen() = 0;   // fills FieldDefs/fields and builds the view
    virtual void InternalClose() = 0;
    virtual int ViewSize() const = 0;
    virtual db::Variant StoredValue(int viewPos, int field) const = 0;  // value of a row of the view
    virtual void InternalPost(bool inserting, int viewPos, const std::vector<db::Variant>& buffer) = 0;
    virtual void InternalDelete(int viewPos) = 0;
    virtual int PositionAfterPost() const = 0;  // view position of the row just stored, or -1 if it left the view

    // Hooks with defaults: checking record constraints before InternalPost (raises EDatabaseError with the
    // failing constraint's ErrorMessage), filling a new record buffer, and rebuilding the view after Filter or
    // Filtered changed (raises EDatabaseError for a filter that is not a condition).
    virtual void CheckConstraints(const std::vector<db::Variant>& /*buffer*/) {}
    virtual void InitNewRecord(std::vector<db::Variant>& /*buffer*/) {}
    virtual void FilterChanged() {}
    virtual void InternalRefresh() {}
    virtual void InternalEdit() {}  // the current record's values are in the buffer and the edit begins

    void CreateFields(const std::vector<db::FieldDesc>& defs);
    void SetState(TDataSetState s);
    void NotifyLinks(void (TDataLink::*fn)());
    void DataSetChanged();  // the view changed: clamp the cursor and tell the links
    void ResetCursor();     // to the first row of the view, as after opening, with the scroll events
    int CursorPos() const { return cursor_; }
    void SetCursorPos(int pos) { cursor_ = pos; }
    void CheckActive() const;

    TFields fields_;
    std::vector<db::Variant> buffer_;  // the record buffer: valid only in edit, insert or set-key state
    std::string filter_;
    bool filtered_ = false;
    int constraintsDisabled_ = 0;
    int controlsDisabled_ = 0;
    TDataSetState stateWhenDisabled_ = TDataSetState::dsInactive;  // valid while controls are disabled

private:
    TDataSetState state_ = TDataSetState::dsInactive;
    int cursor_ = 0;  // 0-based position in the view
    bool eof_ = true, bof_ = true;
    bool modified_ = false;
    std::vector<TDataLink*> links_;

    void notifyRecordChanged(TField* field);
    void clampCursor();
    void doPost();
};

// Connects a data set to the controls that show it, and announces its state changes.
class TDataSource : public TDataLink {
public:
    TDataSource() = default;
    ~TDataSource() override;

    std::string Name;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ds);
    // A disabled data source detaches its controls: they show nothing and get no notifications.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    TDataSetState State() const;  // dsInactive when there is no data set or it is disabled

    std::function<void(TDataSource*)> OnStateChange;
    std::function<void(TDataSource*, TField*)> OnDataChange;

    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

    // TDataLink
    void ActiveChanged() override;
    void DataSetChanged() override;
    void RecordChanged(TField* field) override;
    void StateChanged() override;
    void UpdateData() override;

private:
    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;  // every link here is alive: links remove themselves when they go
    std::uint64_t removals_ = 0;     // links removed so far, to tell that a notification's copy is still current
};
