#include "platform/ui/DbComponents.h"

#include "platform/ui/Registry.h"

void TDatabaseComponent::Loaded()
{
    if (ConnectOnLoad) {
        Object()->SetConnected(true);
    }
}

void TDataSourceComponent::SetName(const std::string& name)
{
    TComponent::SetName(name);
    Object()->Name = name;
}

TDataSet* DataSetOf(TComponent* c)
{
    if (auto* t = dynamic_cast<TTableComponent*>(c)) {
        return t->Object();
    }
    if (auto* q = dynamic_cast<TQueryComponent*>(c)) {
        return q->Object();
    }
    return nullptr;
}

namespace {

template <class W>
void DataSetEvents(ClassBuilder<W>& c)
{
    using Notify = TDataSet::Notify;
    using ErrorNotify = TDataSet::ErrorNotify;
    auto slot = [&c](const char* name, Notify TDataSet::*m) {
        c.template EventSlot<Notify>(name, [m](W& w) -> Notify& { return w.Object()->*m; });
    };
    slot("BeforeOpen", &TDataSet::BeforeOpen);
    slot("AfterOpen", &TDataSet::AfterOpen);
    slot("BeforeClose", &TDataSet::BeforeClose);
    slot("AfterClose", &TDataSet::AfterClose);
    slot("BeforeInsert", &TDataSet::BeforeInsert);
    slot("AfterInsert", &TDataSet::AfterInsert);
    slot("BeforeEdit", &TDataSet::BeforeEdit);
    slot("AfterEdit", &TDataSet::AfterEdit);
    slot("BeforePost", &TDataSet::BeforePost);
    slot("AfterPost", &TDataSet::AfterPost);
    slot("BeforeCancel", &TDataSet::BeforeCancel);
    slot("AfterCancel", &TDataSet::AfterCancel);
    slot("BeforeDelete", &TDataSet::BeforeDelete);
    slot("AfterDelete", &TDataSet::AfterDelete);
    slot("BeforeScroll", &TDataSet::BeforeScroll);
    slot("AfterScroll", &TDataSet::AfterScroll);
    slot("OnNewRecord", &TDataSet::OnNewRecord);
    auto error = [&c](const char* name, ErrorNotify TDataSet::*m) {
        c.template EventSlot<ErrorNotify>(name, [m](W& w) -> ErrorNotify& { return w.Object()->*m; });
    };
    error("OnPostError", &TDataSet::OnPostError);
    error("OnDeleteError", &TDataSet::OnDeleteError);
    error("OnEditError", &TDataSet::OnEditError);
    c.Bool("Active", [](W& w, bool v) { w.OpenOnLoad = v; });
    c.String("Filter", [](W& w, const std::string& v) { w.Object()->SetFilter(v); });
    c.Bool("Filtered", [](W& w, bool v) { w.Object()->SetFiltered(v); });
}

const ClassBuilder<TDatabaseComponent> kDatabaseClass("TDatabase", "TComponent", [](ClassBuilder<TDatabaseComponent>& c) {
    c.String("DatabaseName", [](TDatabaseComponent& d, const std::string& v) { d.Object()->DatabaseName = v; });
    c.String("DriverName", [](TDatabaseComponent& d, const std::string& v) { d.Object()->DriverName = v; });
    c.String("SessionName", [](TDatabaseComponent& d, const std::string& v) { d.Object()->SessionName = v; });
    c.Bool("Connected", [](TDatabaseComponent& d, bool v) { d.ConnectOnLoad = v; });
    c.Bool("LoginPrompt", [](TDatabaseComponent&, bool) {});
});

const ClassBuilder<TTableComponent> kTableClass("TTable", "TComponent", [](ClassBuilder<TTableComponent>& c) {
    DataSetEvents(c);
    c.String("TableName", [](TTableComponent& t, const std::string& v) { t.Object()->SetTableName(v); });
    c.String("DatabaseName", [](TTableComponent& t, const std::string& v) { t.Object()->DatabaseName = v; });
    c.String("IndexName", [](TTableComponent& t, const std::string& v) { t.Object()->SetIndexName(v); });
    c.String("IndexFieldNames", [](TTableComponent& t, const std::string& v) { t.Object()->SetIndexFieldNames(v); });
    c.Reference("MasterSource", "TDataSource", [](TTableComponent& t, TComponent* s) {
        t.Object()->SetMasterSource(static_cast<TDataSourceComponent*>(s)->Object());
    });
    c.String("MasterFields", [](TTableComponent& t, const std::string& v) { t.Object()->SetMasterFields(v); });
    c.Enum("TableType", ClassBuilder<TTableComponent>::Ordinals({"ttDefault", "ttParadox", "ttDBase", "ttASCII"}),
           [](TTableComponent& t, long long v) { t.Object()->TableType = static_cast<TTableType>(v); });
});

const ClassBuilder<TQueryComponent> kQueryClass("TQuery", "TComponent", [](ClassBuilder<TQueryComponent>& c) {
    DataSetEvents(c);
    c.Strings("SQL.Strings", [](TQueryComponent& q, const std::vector<std::string>& lines) {
        q.Object()->SQL.Clear();
        for (const std::string& l : lines) {
            q.Object()->SQL.Add(l);
        }
    });
    c.String("DatabaseName", [](TQueryComponent& q, const std::string& v) { q.Object()->DatabaseName = v; });
});

const ClassBuilder<TDataSourceComponent> kDataSourceClass("TDataSource", "TComponent", [](ClassBuilder<TDataSourceComponent>& c) {
    c.Reference("DataSet", "", [](TDataSourceComponent& d, TComponent* target) {
        TDataSet* ds = DataSetOf(target);
        if (!ds) {
            throw Exception("DataSet must name a TTable or TQuery");
        }
        d.Object()->SetDataSet(ds);
    });
    c.Bool("Enabled", [](TDataSourceComponent& d, bool v) { d.Object()->SetEnabled(v); });
    c.Bool("AutoEdit", [](TDataSourceComponent&, bool) {});
    using StateFn = std::function<void(TDataSource*)>;
    using DataFn = std::function<void(TDataSource*, TField*)>;
    c.EventSlot<StateFn>("OnStateChange", [](TDataSourceComponent& d) -> StateFn& { return d.Object()->OnStateChange; });
    c.EventSlot<DataFn>("OnDataChange", [](TDataSourceComponent& d) -> DataFn& { return d.Object()->OnDataChange; });
});

}  // namespace
