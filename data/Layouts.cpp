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

std::string field::Part(const char* name, int part) { return name + std::to_string(part + 1); }

const std::vector<FieldDef>& Bank()
{
    static const std::vector<FieldDef> fields{
        {field::NKaisu, FieldType::Integer, 0},   {field::Nani, FieldType::Integer, 0},
        {field::Kaisu, FieldType::Integer, 0},    {field::Bango, FieldType::Text, 4},
        {field::Seikaisu, FieldType::Integer, 0}, {field::KariHon, FieldType::Integer, 0},
        {field::Kaisetsu, FieldType::Text, 255},  {field::Seikai, FieldType::Integer, 0},
        {field::Zu, FieldType::Blob, 0},          {field::Mondai, FieldType::Text, 255},
    };
    return fields;
}

const std::vector<FieldDef>& History()
{
    static const std::vector<FieldDef> fields{
        {field::Bango, FieldType::Text, 4},
        {field::Seihi, FieldType::Integer, 0},
        {field::Mondai, FieldType::Text, 255},
    };
    return fields;
}

const std::vector<FieldDef>& Advice()
{
    static const std::vector<FieldDef> fields{
        {field::Nani, FieldType::Integer, 0},
        {field::Seikai, FieldType::Text, 255},
        {field::Fuseikai, FieldType::Text, 255},
    };
    return fields;
}

const std::vector<FieldDef>& Hazard()
{
    static const std::vector<FieldDef> fields{
        {field::Bango, FieldType::Text, 4},   {field::Bunrui, FieldType::Integer, 0},
        {field::Zu, FieldType::Blob, 0},      {field::Jokyo, FieldType::Text, 255},
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
        // The bank's stored order puts the counters first; a person reads the number, the
        // statement and its answer first.
        {"bank", kBankFile, &Bank(), {{field::Bunrui, FieldType::Integer, 0}}, csvtable::CheckBank,
         {field::Bango, field::KariHon, field::Bunrui, field::Mondai, field::Seikai, field::Kaisetsu,
          field::Zu, field::Nani, field::NKaisu, field::Kaisu, field::Seikaisu}},
        {"history", kHistoryFile, &History(), {}, nullptr, {}},
        {"advice", kAdviceFile, &Advice(), {}, nullptr, {}},
        {"hazard", kHazardFile, &Hazard(), {}, csvtable::CheckHazard, {}},
    };
    return all;
}

void CheckInput(const Layout& layout, const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    if (layout.check)
        layout.check(fields, rows, nullptr);
}

std::vector<std::string> CheckStored(const Layout& layout, const std::vector<FieldDef>& fields,
                                     const std::vector<Row>& rows)
{
    std::vector<std::string> warnings;
    if (layout.check)
        layout.check(fields, rows, &warnings);
    return warnings;
}

std::vector<std::size_t> NaturalOrder(const Layout& layout, const std::vector<FieldDef>& fields)
{
    std::vector<std::size_t> order;
    for (const std::string& name : layout.natural)
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == name)
                order.push_back(i);
    // Whatever the natural order does not name keeps its place after it.
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (std::find(order.begin(), order.end(), i) == order.end())
            order.push_back(i);
    return order;
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
