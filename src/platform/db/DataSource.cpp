// The data source: connects a data set to the controls that show it, and passes on what the data set tells.
#include <algorithm>

#include "platform/db/DataSet.h"

TDataLink::~TDataLink()
{
    if (linkedTo_)
        linkedTo_->RemoveLink(this);
}

void TDataLink::LinkTo(TDataSource* source)
{
    if (linkedTo_)
        linkedTo_->RemoveLink(this);
    if (source)
        source->AddLink(this);
}

TDataSet* TDataLink::ShownDataSet() const
{
    TDataSet* ds = linkedTo_ != nullptr && linkedTo_->Enabled() ? linkedTo_->DataSet() : nullptr;
    return ds != nullptr && ds->Active() ? ds : nullptr;
}

// ---- TDataSource ----

TDataSource::~TDataSource()
{
    if (dataSet_)
        dataSet_->RemoveDataLink(this);
    // Links leave their source when they go, so the ones left are alive: tell them all, so that none keeps
    // this source (a control destroyed later would otherwise unlink from a dead source).
    std::vector<TDataLink*> links = links_;
    links_.clear();
    for (auto* link : links) {
        link->linkedTo_ = nullptr;
        link->DataSourceDestroyed(this);
    }
}

void TDataSource::SetDataSet(TDataSet* ds)
{
    if (ds == dataSet_)
        return;
    if (dataSet_)
        dataSet_->RemoveDataLink(this);
    dataSet_ = ds;
    if (dataSet_)
        dataSet_->AddDataLink(this);
    ActiveChanged();
}

void TDataSource::SetEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    ActiveChanged();
}

TDataSetState TDataSource::State() const
{
    if (!dataSet_ || !enabled_)
        return TDataSetState::dsInactive;
    return dataSet_->State();
}

void TDataSource::AddLink(TDataLink* link)
{
    if (link->linkedTo_ == this)
        return;
    if (link->linkedTo_)
        link->linkedTo_->RemoveLink(link);
    links_.push_back(link);
    link->linkedTo_ = this;
}

void TDataSource::RemoveLink(TDataLink* link)
{
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    ++removals_;
    if (link->linkedTo_ == this)
        link->linkedTo_ = nullptr;
}

namespace {

// Tells each link, on a copy of the list: a link may remove itself or others while it is told. Once a link has
// been removed, each one left is looked up before it is told (a form holds hundreds of links).
template <typename Fn>
void forEachLink(const std::vector<TDataLink*>& links, const std::uint64_t& removals, Fn fn)
{
    const std::vector<TDataLink*> copy = links;
    const std::uint64_t before = removals;
    for (auto* link : copy) {
        if (removals == before || std::find(links.begin(), links.end(), link) != links.end())
            fn(link);
    }
}

}  // namespace

void TDataSource::ActiveChanged()
{
    forEachLink(links_, removals_, [](TDataLink* l) { l->ActiveChanged(); });
    if (OnStateChange)
        OnStateChange(this);
}

void TDataSource::DataSetChanged()
{
    if (!enabled_)
        return;
    forEachLink(links_, removals_, [](TDataLink* l) { l->DataSetChanged(); });
    if (OnDataChange)
        OnDataChange(this, nullptr);
}

void TDataSource::RecordChanged(TField* field)
{
    if (!enabled_)
        return;
    forEachLink(links_, removals_, [field](TDataLink* l) { l->RecordChanged(field); });
    if (OnDataChange)
        OnDataChange(this, field);
}

void TDataSource::StateChanged()
{
    if (!enabled_)
        return;
    forEachLink(links_, removals_, [](TDataLink* l) { l->StateChanged(); });
    if (OnStateChange)
        OnStateChange(this);
}

void TDataSource::UpdateData()
{
    if (!enabled_)
        return;
    forEachLink(links_, removals_, [](TDataLink* l) { l->UpdateData(); });
}
