#pragma once
// What a pupil working folder keeps about its delivery, FOLDER/school-outbox.json (owner-only: it
// holds tokens). Inside the school core only.
//
// Keep it with kiroku.sqlite: the folder's random id makes the rows' uuids, so a folder whose
// outbox was removed would deliver its record again as new rows.

#include <cstdint>

namespace record {
class LearningRecord;
struct PupilProfile;
}
#include <map>
#include <optional>
#include <string>

namespace school {

// The part of an outbox that a read-back renews together with the record (ReadBack.h).
struct RecordMarks {
    std::string folderId;                               // random, new with each rebuilt record
    std::int64_t answersDone = 0;                       // every answer up to this id is delivered
    std::int64_t sessionsDone = 0;                      // every session up to this id, as final
    std::map<std::int64_t, std::string> sessionsSent;   // later ones, as last delivered
    // Rows up to these ids were read back from the server (or kept through a read-back): their
    // uuids are in the folder's uuid list (ReadBack.h), not made from folderId and their id.
    std::int64_t readSessions = 0;
    std::int64_t readAnswers = 0;
};

struct Outbox : RecordMarks {
    std::string token;                                  // answers and sessions go with it
    // The counters' contribution belongs to the sign-in whose base it is measured from: the
    // token bound first after the counters were laid over (empty: the next one bound).
    std::string countersToken;
    std::int64_t countersSeq = 0;
    std::string countersSent;                           // the contribution as last delivered
    // The record's test date as last delivered or read back ("test|date", "|" for none; empty:
    // never, which a record without a date needs no delivery for).
    std::string testDateSent;
    // A rebuilt record about to take kiroku.sqlite's place (kIncomingRecord) with these marks.
    // Loading settles it: the marks hold once the incoming file is gone (renamed into place),
    // and are dropped while it is still there.
    std::optional<RecordMarks> incoming;
};

inline constexpr const char* kIncomingRecord = "kiroku.sqlite.incoming";

// An exclusive lock (flock) on FOLDER's delivery: a round and a read-back never overlap, in
// this process or another. Blocks until it is had.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// With a trailing slash.
std::string Dir(std::string folder);
// None when the folder has none; throws Exception for a damaged one. A pending read-back
// (incoming) comes back settled.
std::optional<Outbox> LoadOutbox(const std::string& folder);
// The folder's outbox, or a new one with a new random id.
Outbox LoadOrMakeOutbox(const std::string& folder);
void SaveOutbox(const std::string& folder, const Outbox& b);

// The record's test date as the outbox keeps it, and whether it is still to be delivered.
std::string TestDatePrint(const record::PupilProfile& profile);
bool TestDateToSend(const std::string& print, const Outbox& b);

// Answers and sessions of FOLDER's record not delivered by B's marks, and 1 for its test date
// while that is not (the counters aside).
int PendingRecordRows(const std::string& folder, const Outbox& b);
// Sets B's marks so that everything in REC counts as delivered, as it now stands (a session
// without an end is sent again once it changes). REC: a record just put together by a read-back.
void MarkDelivered(const record::LearningRecord& rec, RecordMarks& b);

}  // namespace school
