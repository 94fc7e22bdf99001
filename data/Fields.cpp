#include "Fields.h"

const char* FieldTypeName(FieldType t)
{
    switch (t) {
    case FieldType::Integer: return "integer";
    case FieldType::Text: return "text";
    case FieldType::Blob: return "blob";
    }
    return "";
}

std::optional<FieldType> FieldTypeFromName(const std::string& name)
{
    if (name == "integer") return FieldType::Integer;
    if (name == "text") return FieldType::Text;
    if (name == "blob") return FieldType::Blob;
    return std::nullopt;
}
