// The data set's state machine (browse, edit, insert, set-key), its cursor over the view and the notification
// of data links. Where rows come from and how they are stored is left to TTable and TQuery; fields are in
// Field.cpp, data sources in DataSource.cpp.
#include "platform/db/DataSet.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/db/Connection.h"
#include "platform/db/Messages.h"
#include "platform/db/TableStore.h"

// ---- TDataSet ----

TDataSet::TDataSet() = default;

TDataSet::~TDataSet()
{
    // Detaching a data source removes it from links_: walk a copy.
    const std::vector<TDataLink*> links = links_;
    for (auto* link : links) {
        if (auto* src = dynamic_cast<TDataSource*>(link))
            src->SetDataSet(nullptr);
    }
}

std::string TDataSet::Describe() const { return Name.empty() ? std::string("数据集") : "数据集“" + Name + "”"; }

void TDataSet::CheckActive() const
{
    if (state_ == TDataSetState::dsInactive)
        throw EDatabaseError(db::msg::DataSetClosed(Describe()));
}

void TDataSet::CreateFields(const std::vector<db::FieldDesc>& defs)
{
    fields_.Clear();
    for (std::size_t i = 0; i < defs.size(); ++i)
        fields_.Add(std::make_unique<TField>(this, static_cast<int>(i), defs[i]));
}

void TDataSet::SetState(TDataSetState s)
{
    if (state_ == s)
        return;
    state_ = s;
    NotifyLinks(&TDataLink::StateChanged);
}

void TDataSet::NotifyLinks(void (TDataLink::*fn)())
{
    // While controls are disabled only opening and closing get through (a closed data set's fields are gone);
    // the state and the rows are told once, when the controls are enabled again.
    if (links_.empty() || (controlsDisabled_ > 0 && fn != &TDataLink::ActiveChanged))
        return;
    // A link may remove itself while it is told.
    std::vector<TDataLink*> copy = links_;
    for (auto* link : copy) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            (link->*fn)();
    }
}

void TDataSet::notifyRecordChanged(TField* field)
{
    if (links_.empty() || controlsDisabled_ > 0)
        return;
    std::vector<TDataLink*> copy = links_;
    for (auto* link : copy) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->RecordChanged(field);
    }
}

void TDataSet::clampCursor()
{
    int n = ViewSize();
    if (cursor_ >= n)
        cursor_ = n > 0 ? n - 1 : 0;
    if (cursor_ < 0)
        cursor_ = 0;
    if (n == 0) {
        eof_ = bof_ = true;
    }
}

void TDataSet::DataSetChanged()
{
    clampCursor();
    if (ViewSize() > 0) {
        eof_ = false;
        bof_ = cursor_ == 0 && bof_;
    }
    NotifyLinks(&TDataLink::DataSetChanged);
}

void TDataSet::ResetCursor()
{
    if (BeforeScroll)
        BeforeScroll(this);
    cursor_ = 0;
    bof_ = true;
    eof_ = ViewSize() == 0;
    NotifyLinks(&TDataLink::DataSetChanged);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::Open()
{
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(this);
    InternalOpen();
    buffer_.clear();
    modified_ = false;
    cursor_ = 0;
    bof_ = true;
    eof_ = ViewSize() == 0;
    SetState(TDataSetState::dsBrowse);
    NotifyLinks(&TDataLink::ActiveChanged);
    if (AfterOpen)
        AfterOpen(this);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::Close()
{
    if (!Active())
        return;
    if (BeforeClose)
        BeforeClose(this);
    buffer_.clear();
    modified_ = false;
    // A close that fails (a write-back that cannot be done) still closes: the failure is raised afterwards.
    std::exception_ptr failed;
    try {
        InternalClose();
    } catch (...) {
        failed = std::current_exception();
    }
    state_ = TDataSetState::dsInactive;
    cursor_ = 0;
    eof_ = bof_ = true;
    NotifyLinks(&TDataLink::StateChanged);
    NotifyLinks(&TDataLink::ActiveChanged);
    if (AfterClose)
        AfterClose(this);
    if (failed)
        std::rethrow_exception(failed);
}

// ---- moves ----

void TDataSet::First()
{
    CheckBrowseMode();
    ResetCursor();
}

void TDataSet::Last()
{
    CheckBrowseMode();
    if (BeforeScroll)
        BeforeScroll(this);
    int n = ViewSize();
    cursor_ = n > 0 ? n - 1 : 0;
    eof_ = true;
    bof_ = n == 0;
    NotifyLinks(&TDataLink::DataSetChanged);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance)
{
    CheckBrowseMode();
    if (BeforeScroll)
        BeforeScroll(this);
    int n = ViewSize();
    int moved = 0;
    if (n == 0) {
        eof_ = bof_ = true;
    } else if (distance > 0) {
        int target = std::min(cursor_ + distance, n - 1);
        moved = target - cursor_;
        cursor_ = target;
        bof_ = false;
        eof_ = moved < distance;
    } else if (distance < 0) {
        int target = std::max(cursor_ + distance, 0);
        moved = target - cursor_;
        cursor_ = target;
        eof_ = false;
        bof_ = moved > distance;
    }
    if (moved != 0)
        NotifyLinks(&TDataLink::DataSetChanged);
    if (AfterScroll)
        AfterScroll(this);
    return moved;
}

bool TDataSet::Eof() const { return !Active() || eof_ || ViewSize() == 0; }
bool TDataSet::Bof() const { return !Active() || bof_ || ViewSize() == 0; }

int TDataSet::RecNo() const
{
    if (!Active() || state_ == TDataSetState::dsInsert || ViewSize() == 0)
        return 0;
    return cursor_ + 1;
}

void TDataSet::SetRecNo(int recNo)
{
    CheckBrowseMode();
    int n = ViewSize();
    if (n == 0)
        return;
    if (BeforeScroll)
        BeforeScroll(this);
    cursor_ = std::clamp(recNo - 1, 0, n - 1);
    eof_ = bof_ = false;
    NotifyLinks(&TDataLink::DataSetChanged);
    if (AfterScroll)
        AfterScroll(this);
}

int TDataSet::RecordCount() const { return Active() ? ViewSize() : 0; }
bool TDataSet::IsEmpty() const { return !Active() || ViewSize() == 0; }

// ---- editing ----

void TDataSet::Edit()
{
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)
        return;
    if (state_ == TDataSetState::dsSetKey)
        SetState(TDataSetState::dsBrowse);
    if (!CanModify())
        throw EDatabaseError(db::msg::DataSetReadOnly(Describe()));
    if (ViewSize() == 0) {
        Insert();
        return;
    }
    if (BeforeEdit)
        BeforeEdit(this);
    buffer_.assign(fields_.Count(), db::Variant{});
    for (int i = 0; i < fields_.Count(); ++i)
        buffer_[static_cast<std::size_t>(i)] = StoredValue(cursor_, i);
    modified_ = false;
    InternalEdit();
    SetState(TDataSetState::dsEdit);
    notifyRecordChanged(nullptr);
    if (AfterEdit)
        AfterEdit(this);
}

void TDataSet::Append() { Insert(); }

void TDataSet::Insert()
{
    CheckActive();
    CheckBrowseMode();
    if (!CanModify())
        throw EDatabaseError(db::msg::DataSetReadOnly(Describe()));
    if (BeforeInsert)
        BeforeInsert(this);
    if (BeforeScroll)
        BeforeScroll(this);
    buffer_.assign(fields_.Count(), db::Variant{});
    InitNewRecord(buffer_);
    modified_ = false;
    SetState(TDataSetState::dsInsert);
    if (OnNewRecord)
        OnNewRecord(this);
    NotifyLinks(&TDataLink::DataSetChanged);
    if (AfterInsert)
        AfterInsert(this);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::doPost()
{
    bool inserting = state_ == TDataSetState::dsInsert;
    for (;;) {
        try {
            if (constraintsDisabled_ == 0)
                CheckConstraints(buffer_);
            InternalPost(inserting, cursor_, buffer_);
            return;
        } catch (EDatabaseError& e) {
            // The typed values were meant for a record that is no longer there as it was read: they are
            // dropped, so that the user sees the fresh values before changing them again.
            if (dynamic_cast<ERecordChanged*>(&e))
                Cancel();
            TDataAction action = TDataAction::daFail;
            if (OnPostError)
                OnPostError(this, e, action);
            // A handler that cancelled the record leaves nothing to retry.
            bool editing = state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert;
            if (action == TDataAction::daRetry && editing)
                continue;
            if (action == TDataAction::daAbort)
                Abort();
            throw;
        }
    }
}

void TDataSet::Post()
{
    CheckActive();
    NotifyLinks(&TDataLink::UpdateData);
    if (state_ == TDataSetState::dsSetKey) {
        SetState(TDataSetState::dsBrowse);
        return;
    }
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    if (BeforePost)
        BeforePost(this);
    // A before-post handler may have cancelled the edit.
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    doPost();
    int pos = PositionAfterPost();
    buffer_.clear();
    modified_ = false;
    if (pos >= 0)
        cursor_ = pos;
    clampCursor();
    if (ViewSize() > 0) {
        eof_ = false;
        bof_ = false;
    }
    state_ = TDataSetState::dsBrowse;
    NotifyLinks(&TDataLink::DataSetChanged);
    NotifyLinks(&TDataLink::StateChanged);
    if (AfterPost)
        AfterPost(this);
}

void TDataSet::Cancel()
{
    CheckActive();
    if (state_ == TDataSetState::dsSetKey) {
        buffer_.clear();
        SetState(TDataSetState::dsBrowse);
        return;
    }
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    bool inserting = state_ == TDataSetState::dsInsert;
    if (BeforeCancel)
        BeforeCancel(this);
    buffer_.clear();
    modified_ = false;
    state_ = TDataSetState::dsBrowse;
    clampCursor();
    NotifyLinks(&TDataLink::DataSetChanged);
    NotifyLinks(&TDataLink::StateChanged);
    if (AfterCancel)
        AfterCancel(this);
    if (inserting && AfterScroll)
        AfterScroll(this);
}

void TDataSet::Delete()
{
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (ViewSize() == 0)
        throw EDatabaseError(db::msg::DataSetEmpty(Describe()));
    if (!CanModify())
        throw EDatabaseError(db::msg::DataSetReadOnly(Describe()));
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsSetKey)
        Cancel();
    if (BeforeDelete)
        BeforeDelete(this);
    if (BeforeScroll)
        BeforeScroll(this);
    for (;;) {
        try {
            InternalDelete(cursor_);
            break;
        } catch (EDatabaseError& e) {
            TDataAction action = TDataAction::daFail;
            if (OnDeleteError)
                OnDeleteError(this, e, action);
            if (action == TDataAction::daRetry)
                continue;
            if (action == TDataAction::daAbort)
                Abort();
            throw;
        }
    }
    clampCursor();
    if (ViewSize() > 0)
        eof_ = bof_ = false;
    NotifyLinks(&TDataLink::DataSetChanged);
    if (AfterDelete)
        AfterDelete(this);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::ClearFields()
{
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert && state_ != TDataSetState::dsSetKey)
        throw EDatabaseError(Describe() + "不在编辑或插入状态");
    std::fill(buffer_.begin(), buffer_.end(), db::Variant{});
    modified_ = true;
    notifyRecordChanged(nullptr);
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        NotifyLinks(&TDataLink::UpdateData);
        if (modified_)
            Post();
        else
            Cancel();
    } else if (state_ == TDataSetState::dsSetKey) {
        Cancel();
    }
}

// ---- fields ----

TField* TDataSet::FieldByName(const std::string& name) const
{
    TField* f = fields_.Find(name);
    if (!f)
        throw EDatabaseError(db::msg::FieldNotFound(Describe(), name));
    return f;
}

TField* TDataSet::FindField(const std::string& name) const { return fields_.Find(name); }

db::Variant TDataSet::GetFieldValue(int index) const
{
    if (index < 0 || index >= fields_.Count())
        throw EDatabaseError(Describe() + "：字段序号超出范围");
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert || state_ == TDataSetState::dsSetKey)
        return index < static_cast<int>(buffer_.size()) ? buffer_[static_cast<std::size_t>(index)] : db::Variant{};
    if (state_ == TDataSetState::dsInactive || ViewSize() == 0)
        return {};
    return StoredValue(cursor_, index);
}

void TDataSet::SetFieldValue(int index, const db::Variant& v)
{
    CheckActive();
    if (index < 0 || index >= fields_.Count())
        throw EDatabaseError(Describe() + "：字段序号超出范围");
    TField* field = fields_[index];
    if (state_ == TDataSetState::dsBrowse) {
        if (!CanModify())
            throw EDatabaseError(db::msg::DataSetReadOnly(Describe()));
        Edit();
    }
    db::Variant converted;
    try {
        converted = db::ConvertForField(v, field->Desc(), db::TextFit::Refuse);
    } catch (EConvertError& e) {
        e.Message = db::msg::InTable(Describe(), e.Message);
        throw;
    } catch (EDatabaseError& e) {
        e.Message = db::msg::InTable(Describe(), e.Message);
        throw;
    }
    buffer_.resize(static_cast<std::size_t>(fields_.Count()));
    buffer_[static_cast<std::size_t>(index)] = std::move(converted);
    if (state_ != TDataSetState::dsSetKey)
        modified_ = true;
    notifyRecordChanged(field);
}

// ---- filter ----

void TDataSet::SetFilter(const std::string& text)
{
    if (text == filter_)
        return;
    std::string old = filter_;
    filter_ = text;
    if (!Active() || !filtered_)
        return;
    try {
        CheckBrowseMode();
        FilterChanged();
    } catch (...) {
        filter_ = old;
        throw;
    }
    ResetCursor();
}

void TDataSet::SetFiltered(bool on)
{
    if (on == filtered_)
        return;
    if (!Active()) {
        filtered_ = on;
        return;
    }
    CheckBrowseMode();
    filtered_ = on;
    try {
        FilterChanged();
    } catch (...) {
        filtered_ = !on;
        throw;
    }
    ResetCursor();
}

void TDataSet::FlushBuffers() {}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    InternalRefresh();
    DataSetChanged();
}

// ---- links ----

void TDataSet::AddDataLink(TDataLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TDataSet::RemoveDataLink(TDataLink* link) { links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end()); }

void TDataSet::EnableControls()
{
    if (controlsDisabled_ > 0 && --controlsDisabled_ == 0) {
        if (state_ != stateWhenDisabled_)
            NotifyLinks(&TDataLink::StateChanged);
        NotifyLinks(&TDataLink::DataSetChanged);
    }
}

