#include "Fields.h"

#include "Exception.h"

#include <set>

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

bool IsFieldName(const std::string& name)
{
    if (name.empty() || name.size() > 64 || name == "id")
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
                        (i > 0 && c >= '0' && c <= '9');
        if (!ok)
            return false;
    }
    return true;
}

void CheckFields(const std::vector<FieldDef>& fields)
{
    std::set<std::string> names;
    if (fields.empty())
        throw Exception("項目がありません");
    for (const auto& f : fields) {
        if (!IsFieldName(f.name) || !names.insert(f.name).second)
            throw Exception("項目名 '" + f.name + "' は使えません");
        if (f.type == FieldType::Text ? (f.size < 1 || f.size > 65535) : f.size != 0)
            throw Exception("項目 " + f.name + " の大きさが正しくありません");
    }
}

bool ValidFields(const std::vector<FieldDef>& fields)
{
    try {
        CheckFields(fields);
        return true;
    } catch (const Exception&) {
        return false;
    }
}
