#pragma once
// A pupil's whole record in their working folder, whichever PC each answer was made at.
//
// At sign-in the folder's kiroku.sqlite is made to hold every session and answer the server has
// of the pupil, in the order answered across PCs, so that everything reading the record (学習記録,
// 今日の復習, the drill's recovery) sees the pupil's whole history. The record itself stays a
// plain learning record: what came from the server is told apart in the folder's own files.
//
// How (see docs/school.md, "Read-back"): the folder's rows are first delivered; then, when the
// server holds rows the folder lacks (or the folder's order is not the time order), the record is
// rebuilt beside it from the server's rows and any of its own the server lacks, sorted by time of
// answer, and renamed into place. Every row of the rebuilt record counts as delivered; the uuids
// of its rows are kept in a list (school-uuids-<id>.tsv) so that nothing is ever sent under a
// second uuid, and the folder gets a new random id for the rows it makes from then on.

#include "Client.h"
#include "Outbox.h"

#include <cstdint>
#include <string>
#include <vector>

namespace school {

// The uuids of a folder's rows: a row up to the marks' read ids by the folder's uuid list, any
// later one made from the folder's id and the row's id. The list is read only when asked for.
class RowNames {
public:
    RowNames(std::string folder, const RecordMarks& marks);
    std::string Session(std::int64_t id);
    std::string Answer(std::int64_t id);
    // True for a session begun in this folder (on this PC), false for one read back from another.
    bool OwnSession(std::int64_t id);

private:
    void Load();
    std::string folder_;
    RecordMarks marks_;
    bool loaded_ = false;
    std::vector<std::string> sessions_, answers_;
    std::vector<bool> own_;
};

struct ReadBackReport {
    bool rebuilt = false;
    int sessions = 0, answers = 0;   // in the record afterwards
    int answersAdded = 0;            // answers the folder did not have before
    std::string skipped;             // why the record was left as it was (empty: it holds all)
};

// Makes FOLDER's record hold every session and answer of the pupil signed in with TOKEN. Throws
// Unreachable when the server is lost meanwhile; anything else that stops it leaves the record
// as it was and says why in `skipped` (the pupil studies on with what this PC has).
ReadBackReport ReadBack(Client& client, const std::string& folder, const std::string& token);

// True when session SESSION of FOLDER's record was begun on this PC (a drill left unfinished here
// may be stored here; one read back from another PC may not, that PC stores it).
bool IsOwnSession(const std::string& folder, std::int64_t session);

}  // namespace school
