#pragma once
// The record layouts of the three table files, declared once.

#include "Fields.h"

#include <string>
#include <vector>

namespace layouts {

// Question bank, mondai.cds.
const std::vector<FieldDef>& Bank();
// Answer history, rireki.cds: the field order is part of the format (records are appended by
// position).
const std::vector<FieldDef>& History();
// Advice table, advice.cds.
const std::vector<FieldDef>& Advice();

// "bank", "history" or "advice"; nullptr for any other name.
const std::vector<FieldDef>* ByName(const std::string& name);

inline constexpr const char* kBankFile = "mondai.cds";
inline constexpr const char* kHistoryFile = "rireki.cds";
inline constexpr const char* kAdviceFile = "advice.cds";

}  // namespace layouts
