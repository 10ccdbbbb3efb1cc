#include "entry/TableHelpers.h"

#include "platform/db/DataSet.h"

void ZeroNullNumericFields(TDataSet* dataSet)
{
    for (const auto& f : dataSet->Fields()) {
        switch (f->DataType()) {
        case TFieldType::Smallint:
        case TFieldType::Integer:
        case TFieldType::Float:
            if (f->IsNull()) {
                f->SetAsInteger(0);
            }
            break;
        default:
            break;
        }
    }
}

void PackParadoxTable(hDBIDb database, const std::string& tableName)
{
    (void)db::PackTable(database, tableName);
}
