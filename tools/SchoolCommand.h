#pragma once
// tabletool school: the school's server (schema, pupils, bank versions, answers).

#include <string>
#include <vector>

// `school init|pupils|answers|bank ... [--db CONNINFO]`; -1 when the arguments do not fit.
int SchoolCommand(const std::vector<std::string>& args);
