#pragma once
// Bringing a question bank up to date from the school's master CSV without losing what pupils
// have done: the counters stay with each question number that stays, new numbers start fresh,
// and numbers the CSV no longer has are removed only when asked.

#include "Fields.h"

#include <string>
#include <vector>

namespace bankmerge {

struct Changed {
    std::string bango;
    std::vector<std::string> fields;   // the fields whose value the CSV changes
};

struct Report {
    std::vector<std::string> added;     // numbers new in the CSV
    std::vector<Changed> changed;       // numbers whose texts, answers, stage, category or figure change
    std::vector<std::string> removed;   // numbers no longer in the CSV, removed
    std::vector<std::string> kept;      // numbers no longer in the CSV, kept as they were
    std::size_t unchanged = 0;
};

struct Result {
    std::vector<FieldDef> fields;
    std::vector<Row> rows;
    Report report;
};

// BANK: the bank file's fields and rows; CSV: the rows read from the CSV with its fields (the
// bank's, perhaps with Bunrui), already checked. The result holds the CSV's rows in its order,
// each with the counters (NKaisu, Nani, Kaisu, Seikaisu) of the bank's row of the same number
// (a number stored with fewer than four digits matches its four-digit form), and everything else
// from the CSV; a new number gets Nani from the CSV and the other counters 0. A bank's Bunrui
// stays where the CSV has no such column. Rows the CSV lacks follow, unchanged, unless
// DELETE_MISSING. Throws Exception when the bank holds one number twice (as 1 and 0001).
Result Merge(const std::vector<FieldDef>& bankFields, const std::vector<Row>& bankRows,
             const std::vector<FieldDef>& csvFields, const std::vector<Row>& csvRows, bool deleteMissing);

// One line per added, changed, removed and kept number, then a summary line; UTF-8.
std::string Describe(const Report& report);

}  // namespace bankmerge
