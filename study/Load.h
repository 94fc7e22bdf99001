#pragma once
// The scheduler's inputs read from a data directory: its statements (mondai.cds and kiken.cds)
// and the pupil's memory replayed from the learning record.

#include "Schedule.h"

#include <string>
#include <vector>

namespace record {
class LearningRecord;
}

namespace study {

// The bank's statements shown in drills (KariHon 1 or 2, in the file's order) and the hazard
// items' sub-statements (three each, 本免). A missing file adds none; a damaged one throws
// Exception.
std::vector<Statement> Statements(const std::string& directory);

// Every answer of RECORD replayed in the order answered. Unanswered mock questions (-1) are
// left out: the pupil may never have reached them.
Learner Replay(const record::LearningRecord& record, MemoryModel model = MemoryModel());

}  // namespace study
