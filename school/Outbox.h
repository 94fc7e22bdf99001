#pragma once
// What a pupil working folder keeps about its delivery, FOLDER/school-outbox.json (owner-only: it
// holds tokens). Inside the school core only.
//
// Keep it with kiroku.sqlite: the folder's random id makes the rows' uuids, so a folder whose
// outbox was removed would deliver its record again as new rows.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace school {

struct Outbox {
    std::string folderId;                               // random, made once per folder
    std::string token;                                  // answers and sessions go with it
    std::int64_t answersDone = 0;                       // every answer up to this id is delivered
    std::int64_t sessionsDone = 0;                      // every session up to this id, as final
    std::map<std::int64_t, std::string> sessionsSent;   // later ones, as last delivered
    // The counters' contribution belongs to the sign-in whose base it is measured from: the
    // token bound first after the counters were laid over (empty: the next one bound).
    std::string countersToken;
    std::int64_t countersSeq = 0;
    std::string countersSent;                           // the contribution as last delivered
};

// With a trailing slash.
std::string Dir(std::string folder);
// None when the folder has none; throws Exception for a damaged one.
std::optional<Outbox> LoadOutbox(const std::string& folder);
// The folder's outbox, or a new one with a new random id.
Outbox LoadOrMakeOutbox(const std::string& folder);
void SaveOutbox(const std::string& folder, const Outbox& b);

}  // namespace school
