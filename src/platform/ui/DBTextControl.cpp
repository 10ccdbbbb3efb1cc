#include "platform/ui/DBTextControl.h"

#include "platform/ui/DBFieldLink.h"

TDataSource* TDBTextControl::DataSource() const { return Link().DataSource(); }
void TDBTextControl::SetDataSource(TDataSource* source) { Link().SetDataSource(source); }
const std::string& TDBTextControl::DataField() const { return Link().FieldName(); }
void TDBTextControl::SetDataField(const std::string& name) { Link().SetFieldName(name); }
bool TDBTextControl::ReadOnly() const { return Link().ReadOnly(); }
void TDBTextControl::SetReadOnly(bool on) { Link().SetReadOnly(on); }
TField* TDBTextControl::Field() const { return Link().Field(); }
