#pragma once
// The pupil's memory replayed up to one answer of the learning record, kept in a file so that
// the next look replays only the answers given since: a long record is scanned whole once, not
// at every start of the program. It is only a cache: a keep file that is missing, damaged, made
// by another model or for another record is passed over and the record replayed whole.

#include "Schedule.h"

#include <cstdint>
#include <string>

namespace record {
class LearningRecord;
}

namespace study {

// Where the replay of the record at RECORD_PATH is kept: a file named by a digest of the
// record's absolute path in the user's cache folder. Empty when there is no such folder.
std::string CheckpointFile(const std::string& recordPath);

// How ReplayKept came to its learner.
struct ReplayReport {
    bool resumed = false;       // taken up from the keep file
    std::int64_t replayed = 0;  // answers read from the record
    bool kept = false;          // the keep file written anew
};

// Replay(RECORD) with the default model, taken up from the replay kept in FILE when it belongs
// to this record (the answer it was made through is still there, unchanged, and as many answers
// precede it), and written back to FILE when answers were replayed. FILE empty: a plain replay.
// Throws Exception for a damaged record as Replay does; a keep file that cannot be read or
// written is not an error.
Learner ReplayKept(const record::LearningRecord& record, const std::string& file, ReplayReport* report = nullptr);

}  // namespace study
