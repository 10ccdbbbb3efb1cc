#include "platform/db/Schema.h"

#include <strings.h>

namespace db {

bool isNumericType(FieldType type)
{
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::AutoInc:
        return true;
    default:
        return false;
    }
}

std::optional<FieldType> fieldTypeFromLetter(char letter)
{
    switch (letter) {
    case 'A': case 'N': case 'S': case 'I': case 'D': case 'M': case 'L':
    case '+': case '$': case 'T': case '@': case 'B':
        return static_cast<FieldType>(letter);
    default:
        return std::nullopt;
    }
}

bool fieldTypeHasSize(FieldType t)
{
    return t == FieldType::String || t == FieldType::Memo || t == FieldType::Blob;
}

int TableSchema::fieldIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (strcasecmp(fields[i].name.c_str(), name.c_str()) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

const IndexDesc* TableSchema::primaryIndex() const
{
    for (const auto& ix : indexes) {
        if (ix.primary)
            return &ix;
    }
    return nullptr;
}

const IndexDesc* TableSchema::findIndex(const std::string& name) const
{
    for (const auto& ix : indexes) {
        if (!ix.primary && strcasecmp(ix.name.c_str(), name.c_str()) == 0)
            return &ix;
    }
    return nullptr;
}

}  // namespace db
