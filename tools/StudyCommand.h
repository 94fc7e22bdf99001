#pragma once
// tabletool study: today's review queue of a data directory, for tests and for a teacher.

#include <string>
#include <vector>

// `study due DIR [--on YYYY-MM-DD]`; -1 when the arguments do not fit.
int StudyCommand(const std::vector<std::string>& args);
