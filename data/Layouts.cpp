#include "Layouts.h"

namespace layouts {

const std::vector<FieldDef>& Bank()
{
    static const std::vector<FieldDef> fields{
        {"NKaisu", FieldType::Integer, 0},   {"Nani", FieldType::Integer, 0},
        {"Kaisu", FieldType::Integer, 0},    {"Bango", FieldType::Text, 4},
        {"Seikaisu", FieldType::Integer, 0}, {"KariHon", FieldType::Integer, 0},
        {"Kaisetsu", FieldType::Text, 255},  {"Seikai", FieldType::Integer, 0},
        {"Zu", FieldType::Blob, 0},          {"Mondai", FieldType::Text, 255},
    };
    return fields;
}

const std::vector<FieldDef>& History()
{
    static const std::vector<FieldDef> fields{
        {"Bango", FieldType::Text, 4},
        {"Seihi", FieldType::Integer, 0},
        {"Mondai", FieldType::Text, 255},
    };
    return fields;
}

const std::vector<FieldDef>& Advice()
{
    static const std::vector<FieldDef> fields{
        {"Nani", FieldType::Integer, 0},
        {"Seikai", FieldType::Text, 255},
        {"Fuseikai", FieldType::Text, 255},
    };
    return fields;
}

const std::vector<FieldDef>* ByName(const std::string& name)
{
    if (name == "bank") return &Bank();
    if (name == "history") return &History();
    if (name == "advice") return &Advice();
    return nullptr;
}

}  // namespace layouts
