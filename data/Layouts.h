#pragma once
// The record layouts of the table files, declared once: one registry that the table store,
// tabletool and the tests read.

#include "Fields.h"

#include <string>
#include <vector>

namespace layouts {

// Question bank, mondai.cds. May also carry the optional integer field Bunrui, the 教習項目 code.
const std::vector<FieldDef>& Bank();
// Answer history, rireki.cds: the field order is part of the format (records are appended by
// position).
const std::vector<FieldDef>& History();
// Advice table, advice.cds.
const std::vector<FieldDef>& Advice();
// Hazard items, kiken.cds: an illustration, a situation and three linked true/false statements.
const std::vector<FieldDef>& Hazard();

inline constexpr const char* kBankFile = "mondai.cds";
inline constexpr const char* kHistoryFile = "rireki.cds";
inline constexpr const char* kAdviceFile = "advice.cds";
inline constexpr const char* kHazardFile = "kiken.cds";

// Checks a layout's rows beyond their fields' types; throws Exception naming the row as a CSV
// line (the header is line 1, the first record line 2).
using RowCheck = void (*)(const std::vector<FieldDef>& fields, const std::vector<Row>& rows);

struct Layout {
    std::string name;                    // as tabletool's --layout names it
    std::string file;                    // its file in the data directory
    const std::vector<FieldDef>* fields; // every one required, in this order
    std::vector<FieldDef> optional;      // may follow the required ones, in this order
    RowCheck check = nullptr;            // none: the types say it all
};

// Every layout, in a fixed order.
const std::vector<Layout>& All();
// The layout called NAME; nullptr for any other name.
const Layout* Find(const std::string& name);
// The layout whose required fields are FIELDS, position by position; nullptr for none.
const Layout* WithFields(const std::vector<FieldDef>& fields);
// The layout a file with FIELDS holds: its required fields (name, type, size) in order, then
// some of its optional ones in order. nullptr for none.
const Layout* Matching(const std::vector<FieldDef>& fields);
// LAYOUT's fields for a file whose columns are NAMES: the required ones, then the optional ones
// NAMES holds.
std::vector<FieldDef> FieldsFor(const Layout& layout, const std::vector<std::string>& names);

// The fields of the layout called NAME; nullptr for any other name.
const std::vector<FieldDef>* ByName(const std::string& name);

}  // namespace layouts
