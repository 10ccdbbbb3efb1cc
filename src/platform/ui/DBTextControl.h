// TDBTextControl: what TDBEdit and TDBMemo share as controls: the data source, field and read-only switch of
// their binder (TFieldDataLink), which lives in the widget each of them drives.
#pragma once

#include <string>

#include "platform/ui/Control.h"

class TDataSource;
class TField;
class TFieldDataLink;

class TDBTextControl : public TControl {
public:
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    const std::string& DataField() const;
    void SetDataField(const std::string& name);
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    TField* Field() const;  // nullptr when detached

    virtual TFieldDataLink& Link() const = 0;

protected:
    using TControl::TControl;
};
