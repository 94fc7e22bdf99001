#pragma once
// A drill whose answers reached the learning record but never its own files: the program was
// killed (or the display lost and the write-back failed) in the middle of a drill. The record
// keeps every judged answer in a transaction of its own, while the bank and the history are only
// written at the drill's end, so the record knows what the two files lost.
//
// The latest drill is the one to look at: a later drill empties the history and starts over, and
// mocks and practice sets never touch the two files. Its write-back did not happen when its
// session has no end and the history does not begin with its answers; the history check also
// covers a program killed between the write-back and the end stored in the record, and a record
// that failed in the middle of a drill which then ended normally. (A previous drill whose history
// happens to begin with the same answers hides a killed drill: nothing is then stored twice.)

#include "LearningRecord.h"

#include <optional>
#include <vector>

class Table;

namespace data {
class Directory;
}

namespace drill {

// Whether HISTORY (open, unfiltered) begins with ANSWERS' statements, in order: the drill that gave them was
// stored. A
// record let go in the middle of a drill (it failed) holds only the drill's first answers, while
// the drill went on and stored them all.
bool HistoryHolds(Table& history, const std::vector<record::Answer>& answers);

// The latest drill of RECORD when its answers are missing from DATA's history. None when it
// ended, has no answers, or was stored after all.
std::optional<record::UnfinishedDrill> FindUnstoredDrill(const data::Directory& data,
                                                         const record::LearningRecord& record);

// Stores DRILL into DATA's bank and history as the drill's own end would have (RESETSETTLED as
// the drill start of this build does), in one unit, then ends its session in RECORD. Throws with
// the files unchanged when it cannot.
void StoreUnstoredDrill(const data::Directory& data, record::LearningRecord& record,
                        const record::UnfinishedDrill& drill, bool resetSettled);

}  // namespace drill
