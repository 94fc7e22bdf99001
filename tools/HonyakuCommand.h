#pragma once
// tabletool honyaku: the translations of a data directory's bank (honyaku.sqlite), made from and
// written to a translator's CSV, and checked against today's bank.

#include <string>
#include <vector>

// `honyaku import DIR LANG CSV`, `honyaku export DIR LANG [OUT.csv]`, `honyaku check DIR`;
// -1 when the arguments do not fit. check returns 1 when any translation is stale.
int HonyakuCommand(const std::vector<std::string>& args);
