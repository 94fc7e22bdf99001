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

// The field names, for code that reads or sets one field: the layouts below are made of them.
namespace field {
inline constexpr const char* Bango = "Bango";         // the question's number, as text
inline constexpr const char* NKaisu = "NKaisu";       // bank: times settled in the drill
inline constexpr const char* Nani = "Nani";           // bank: difficulty; advice: its level
inline constexpr const char* Kaisu = "Kaisu";         // bank: times asked
inline constexpr const char* Seikaisu = "Seikaisu";   // bank: times right
inline constexpr const char* KariHon = "KariHon";     // bank: which test the statement belongs to
inline constexpr const char* Kaisetsu = "Kaisetsu";   // bank: the explanation
inline constexpr const char* Seikai = "Seikai";       // bank: the right answer; advice: after a right one
inline constexpr const char* Zu = "Zu";               // bank, hazard: the picture
inline constexpr const char* Mondai = "Mondai";       // bank, history: the statement
inline constexpr const char* Bunrui = "Bunrui";       // bank (optional), hazard: the 教習項目 code
inline constexpr const char* Seihi = "Seihi";         // history: right (1) or wrong (0)
inline constexpr const char* Fuseikai = "Fuseikai";   // advice: after a wrong answer
inline constexpr const char* Jokyo = "Jokyo";         // hazard: the situation
// A hazard item's field of its statement PART (0 to 2): Mondai, Seikai or Kaisetsu with 1 to 3.
std::string Part(const char* name, int part);
}  // namespace field

inline constexpr const char* kBankFile = "mondai.cds";
inline constexpr const char* kHistoryFile = "rireki.cds";
inline constexpr const char* kAdviceFile = "advice.cds";
inline constexpr const char* kHazardFile = "kiken.cds";

// Checks a layout's rows beyond their fields' types; throws Exception naming the row as a CSV
// line (the header is line 1, the first record line 2). What a stored file may keep goes into
// WARNINGS when given, and is refused when WARNINGS is null (see csvtable::CheckBank).
using RowCheck = void (*)(const std::vector<FieldDef>& fields, const std::vector<Row>& rows,
                          std::vector<std::string>* warnings);

struct Layout {
    std::string name;                    // as tabletool's --layout names it
    std::string file;                    // its file in the data directory
    const std::vector<FieldDef>* fields; // every one required, in this order
    std::vector<FieldDef> optional;      // may follow the required ones, in this order
    RowCheck check = nullptr;            // none: the types say it all
    std::vector<std::string> natural;    // column order for a person's spreadsheet; empty: fields'
};

// Rows from new input (a CSV): every problem refused.
void CheckInput(const Layout& layout, const std::vector<FieldDef>& fields, const std::vector<Row>& rows);
// Rows of a stored file: problems refused, what the program copes with returned as warnings.
std::vector<std::string> CheckStored(const Layout& layout, const std::vector<FieldDef>& fields,
                                     const std::vector<Row>& rows);
// FIELDS (some of LAYOUT's) in the layout's natural order for a spreadsheet: indexes into FIELDS.
std::vector<std::size_t> NaturalOrder(const Layout& layout, const std::vector<FieldDef>& fields);

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
