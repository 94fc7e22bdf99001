#include "Layouts.h"

#include "CsvTable.h"

#include <algorithm>

namespace layouts {
namespace {

bool SameField(const FieldDef& a, const FieldDef& b)
{
    return a.name == b.name && a.type == b.type && a.size == b.size;
}

}  // namespace

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

const std::vector<FieldDef>& Hazard()
{
    static const std::vector<FieldDef> fields{
        {"Bango", FieldType::Text, 4},        {"Bunrui", FieldType::Integer, 0},
        {"Zu", FieldType::Blob, 0},           {"Jokyo", FieldType::Text, 255},
        {"Mondai1", FieldType::Text, 255},    {"Mondai2", FieldType::Text, 255},
        {"Mondai3", FieldType::Text, 255},    {"Seikai1", FieldType::Integer, 0},
        {"Seikai2", FieldType::Integer, 0},   {"Seikai3", FieldType::Integer, 0},
        {"Kaisetsu1", FieldType::Text, 255},  {"Kaisetsu2", FieldType::Text, 255},
        {"Kaisetsu3", FieldType::Text, 255},
    };
    return fields;
}

const std::vector<Layout>& All()
{
    static const std::vector<Layout> all{
        {"bank", kBankFile, &Bank(), {{"Bunrui", FieldType::Integer, 0}}, csvtable::CheckBank},
        {"history", kHistoryFile, &History(), {}, nullptr},
        {"advice", kAdviceFile, &Advice(), {}, nullptr},
        {"hazard", kHazardFile, &Hazard(), {}, csvtable::CheckHazard},
    };
    return all;
}

const Layout* Find(const std::string& name)
{
    for (const Layout& l : All())
        if (l.name == name) return &l;
    return nullptr;
}

const Layout* WithFields(const std::vector<FieldDef>& fields)
{
    for (const Layout& l : All())
        if (std::equal(fields.begin(), fields.end(), l.fields->begin(), l.fields->end(), SameField))
            return &l;
    return nullptr;
}

const Layout* Matching(const std::vector<FieldDef>& fields)
{
    for (const Layout& l : All()) {
        const std::size_t n = l.fields->size();
        if (fields.size() < n || !std::equal(l.fields->begin(), l.fields->end(), fields.begin(), SameField))
            continue;
        // The rest: optional fields, each at most once, in the layout's order.
        auto next = l.optional.begin();
        std::size_t i = n;
        for (; i < fields.size(); ++i) {
            next = std::find_if(next, l.optional.end(), [&](const FieldDef& o) { return SameField(o, fields[i]); });
            if (next == l.optional.end())
                break;
            ++next;
        }
        if (i == fields.size())
            return &l;
    }
    return nullptr;
}

std::vector<FieldDef> FieldsFor(const Layout& layout, const std::vector<std::string>& names)
{
    std::vector<FieldDef> fields = *layout.fields;
    for (const FieldDef& o : layout.optional)
        if (std::find(names.begin(), names.end(), o.name) != names.end())
            fields.push_back(o);
    return fields;
}

const std::vector<FieldDef>* ByName(const std::string& name)
{
    const Layout* l = Find(name);
    return l ? l->fields : nullptr;
}

}  // namespace layouts
