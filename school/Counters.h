#pragma once
// The drill's per-statement counters of a pupil working folder, and how they meet the server's:
// at sign-in the server's counters are laid over the bank and kept as the base; what the drill
// adds since is this sign-in's contribution, delivered as a whole (see docs/school.md).

#include "Client.h"

#include <string>
#include <vector>

namespace school {

inline constexpr const char* kCounterBaseFile = "school-base.tsv";

// The counters of every statement of the bank file PATH (mondai.cds), in stored order.
std::vector<Counter> ReadCounters(const std::string& bankPath);

// Lays COUNTERS over the bank in FOLDER (FOLDER/mondai.cds: a statement the server has no
// counters for gets zeros) and keeps them as the folder's base. Statements the bank lacks are
// skipped.
void LayOver(const std::string& folder, const std::vector<Counter>& counters);

// FOLDER's contribution: its mondai.cds counters minus its base, for the statements that changed
// (nani: the current value).
std::vector<Counter> Contribution(const std::string& folder);

}  // namespace school
