// Window-description classes of the data-aware edits, with the properties the entry windows declare.
#include "platform/ui/DBEdit.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"

namespace {

TDataSource* SourceOf(TComponent* c)
{
    auto* w = dynamic_cast<TDataSourceComponent*>(c);
    return w ? w->Object() : nullptr;
}

const ClassBuilder<TDBEdit> kDBEditClass("TDBEdit", "TControl", [](ClassBuilder<TDBEdit>& c) {
    c.Reference("DataSource", "TDataSource", [](TDBEdit& e, TComponent* s) { e.SetDataSource(SourceOf(s)); });
    c.String("DataField", [](TDBEdit& e, const std::string& v) { e.SetDataField(v); });
    c.Bool("ReadOnly", [](TDBEdit& e, bool v) { e.SetReadOnly(v); });
    c.Event("OnChange", &TControl::OnChange);
});

}  // namespace
