// The engine's objects as components of a window description: TDatabase, TTable, TQuery and TDataSource are
// declared like controls and hold the engine's own objects (TForm::Get<TTable>("Table1") returns the table).
// Active and Connected from a description take effect once the whole window is loaded.
#pragma once

#include "platform/db/Database.h"
#include "platform/db/DataSet.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/Component.h"

class TDatabaseComponent : public TWrapped<TDatabase> {
public:
    using TWrapped::TWrapped;
    void Loaded() override;
    bool ConnectOnLoad = false;
};

template <class T>
class TDataSetComponent : public TWrapped<T> {
public:
    using TWrapped<T>::TWrapped;
    void SetName(const std::string& name) override
    {
        TComponent::SetName(name);
        this->Object()->Name = name;
    }
    void Loaded() override
    {
        if (OpenOnLoad) {
            this->Object()->Open();
        }
    }
    bool OpenOnLoad = false;
};

using TTableComponent = TDataSetComponent<TTable>;
using TQueryComponent = TDataSetComponent<TQuery>;

class TDataSourceComponent : public TWrapped<TDataSource> {
public:
    using TWrapped::TWrapped;
    void SetName(const std::string& name) override;
};

// The data set held by a TTable or TQuery component; nullptr for any other component.
TDataSet* DataSetOf(TComponent* c);
