#pragma once
// The learning record, kiroku.sqlite in the data directory: every answer of every drill, mock
// exam and practice set, kept across sessions and never emptied.
//
// A real SQLite database (not a table file): WAL journal, defensive mode, application id
// 0x4C54524B, schema version in user_version with forward migrations. Each answer is one short
// transaction, so a crash loses at most the answer being written. A record that is not ours, is
// newer than this program, or carries triggers or views is refused at Open with a message.
//
// Failures throw Exception. Callers that must go on without the record (the drill, an exam)
// catch it once and tell the pupil.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sqlite {
class Connection;
}

namespace record {

inline constexpr const char* kFileName = "kiroku.sqlite";

// Session kinds as stored. A mock exam's kind is this prefix and a word of lower-case letters,
// which its test's definition names ("mock-karimen").
inline constexpr const char* kDrill = "drill";
inline constexpr const char* kPractice = "practice";
inline constexpr const char* kMockPrefix = "mock-";

// Where an answered statement comes from.
inline constexpr const char* kSourceBank = "bank";       // mondai.cds, item 0
inline constexpr const char* kSourceHazard = "hazard";   // kiken.cds, item 1..3

struct SessionInfo {
    std::string kind;                  // one of the kinds above
    std::optional<int> level;          // the drill level at the start (drills)
    std::optional<std::int64_t> seed;  // the draw's seed (mock exams, practice sets)
};

struct Answer {
    std::string source = kSourceBank;
    std::string bango;                 // the statement's or hazard item's Bango
    int item = 0;                      // 0 for a statement, 1..3 for a hazard sub-statement
    std::optional<int> bunrui;         // the syllabus code, when the bank has one
    int answer = 0;                    // 1 正, 0 誤, -1 unanswered (a graded mock)
    bool correct = false;
    std::optional<double> seconds;     // time taken, when measured
};

// One row of Sessions(): a session with its answers counted.
struct SessionSummary {
    std::int64_t id = 0;
    std::string kind;
    std::string startedAt;             // ISO 8601 UTC, "2026-12-08T09:54:51Z"
    std::optional<std::string> endedAt;   // none: unfinished
    std::optional<int> level;
    std::optional<std::int64_t> seed;
    std::optional<int> score, maxScore, passMark;   // graded mocks only
    int answers = 0;                   // answers recorded in the session
    int correct = 0;                   // of which right
};

// The latest answer to one statement (a hazard sub-statement counts as its own statement).
struct LatestResult {
    std::string source;
    std::string bango;
    int item = 0;
    std::optional<int> bunrui;
    bool correct = false;
    std::string answeredAt;
};

struct CategoryRate {
    int bunrui = 0;
    int answers = 0;   // how many of the last N were counted (at most N)
    int correct = 0;
};

// One answer with its session, as record-export writes it.
struct AnswerInSession {
    std::int64_t id = 0;
    std::int64_t session = 0;
    std::string kind;
    std::string sessionStartedAt;
    std::optional<std::string> sessionEndedAt;
    std::optional<int> level;
    std::string answeredAt;
    Answer answer;
};

// What the record keeps of the pupil beside the answers (version 3): the name the printouts carry
// and the test the pupil is preparing for, with its date. Empty in an older record.
struct PupilProfile {
    std::optional<std::string> name;       // UTF-8, as the pupil entered it
    std::optional<std::string> test;       // the test's word: "karimen" or "honmen"
    std::optional<std::string> testDate;   // "YYYY-MM-DD", the pupil's calendar day
};

// One answer as a review of the statement: only what the scheduler reads. The texts are valid
// during the visit only.
struct Review {
    std::int64_t id = 0;
    std::string_view answeredAt;
    std::string_view source;
    std::string_view bango;
    int item = 0;
    int answer = 0;
    bool correct = false;
};

// An answer as another copy of the record holds it, with its time: SESSION is its session's
// place in the list given with it (LearningRecord::Append).
struct RecordedAnswer {
    std::size_t session = 0;
    std::string answeredAt;            // ISO 8601 UTC
    Answer answer;
};

// A drill without an end, with what is needed to store it again: its answers in the order given.
struct UnfinishedDrill {
    std::int64_t session = 0;
    std::string startedAt;
    std::optional<int> level;
    std::vector<Answer> answers;
};

class LearningRecord {
public:
    LearningRecord();
    ~LearningRecord();
    LearningRecord(const LearningRecord&) = delete;
    LearningRecord& operator=(const LearningRecord&) = delete;

    // Opens PATH, creating it when missing and upgrading an older schema in place.
    void Open(const std::string& path);
    // Opens an existing record to read it only: nothing is created, upgraded or written, and a
    // record of an older version is read as it stands.
    void OpenForReading(const std::string& path);
    // Lets the open record's values be as long as SQLite allows, past the 1 MiB a value written
    // here may have: a record carrying a longer one from elsewhere is still appended to, so a
    // reader of the whole record (record-export) must read it too.
    void AllowLongValues();
    void Close();
    bool IsOpen() const;
    // The schema version of the open record (older than kSchemaVersion only when opened for
    // reading, which upgrades nothing).
    int Version() const;

    // Starts a session now; returns its id.
    std::int64_t BeginSession(const SessionInfo& info);
    // Records one answer of SESSION now, in a transaction of its own.
    void AddAnswer(std::int64_t session, const Answer& answer);
    // Records several answers in one transaction (a graded mock).
    void AddAnswers(std::int64_t session, const std::vector<Answer>& answers);
    // Sets the session's end time, now. A session never ended stays "unfinished".
    void EndSession(std::int64_t session);
    // Ends a graded mock: score, maximum and pass mark with the end time.
    void EndGradedSession(std::int64_t session, int score, int maxScore, int passMark);
    // A graded mock as one unit: its ANSWERS, score, maximum, pass mark and end time in one
    // transaction. On failure nothing of it is stored and the session stays unfinished.
    void GradeSession(std::int64_t session, const std::vector<Answer>& answers, int score, int maxScore,
                      int passMark);

    // Appends SESSIONS (their kinds, times, levels, seeds and grades as given; ids and counts are
    // this record's) and ANSWERS, each in the order given, in one transaction: all or none.
    // Returns the ids the sessions got. For a copy of a record put together from elsewhere.
    std::vector<std::int64_t> Append(const std::vector<SessionSummary>& sessions,
                                     const std::vector<RecordedAnswer>& answers);

    // The latest drill when it has no end: a drill that was cut off (the program killed, or its
    // write-back failed) before its end was stored. None when the latest drill ended, or none
    // was ever begun.
    std::optional<UnfinishedDrill> LatestUnfinishedDrill() const;

    // The pupil's profile; empty for a record of a version before 3 (read as it stands).
    PupilProfile Pupil() const;
    // Stores the pupil's name (empty: none). Refused when longer than kMaxNameChars characters
    // or carrying control characters.
    void SetPupilName(const std::string& name);
    // Stores the test (TEST, a lower-case word) and its date (DATE, "YYYY-MM-DD"), or clears both
    // when TEST is empty.
    void SetTestDate(const std::string& test, const std::string& date);
    static constexpr int kMaxNameChars = 40;

    // ---- Queries, each one SQL statement over an index ----
    // Every statement's latest answer, ordered by (source, bango, item).
    std::vector<LatestResult> LatestResults() const;
    // The statements whose latest answer was wrong (or unanswered), in the same order.
    std::vector<LatestResult> LatestWrong() const;
    // Right answers per Bunrui over the last LASTN answers of each Bunrui; answers without a
    // Bunrui are left out. Ordered by Bunrui.
    std::vector<CategoryRate> RateByCategory(int lastN) const;
    // Every session with its counts, oldest first; with AFTER_ID, those with a greater id.
    std::vector<SessionSummary> Sessions(std::int64_t afterId = 0) const;

    // Every answer with its session, oldest first; with AFTER_ID and LIMIT, at most LIMIT of
    // those with a greater id (a reader that picks up where it stopped).
    void ForEachAnswer(const std::function<void(const AnswerInSession&)>& visit, std::int64_t afterId = 0,
                       int limit = -1) const;
    // How many answers have an id greater than AFTER_ID.
    int CountAnswersAfter(std::int64_t afterId) const;
    // Every answer in the order given, with only the columns the scheduler needs: no session, no
    // copies, so that replaying a long record costs little more than SQLite's scan. With
    // AFTER_ID, those with a greater id.
    void ForEachReview(const std::function<void(const Review&)>& visit, std::int64_t afterId = 0) const;

    // The schema version this program writes.
    static constexpr int kSchemaVersion = 3;
    // The version the queries above need: an older record must be upgraded before it is read
    // by them; the pupil's profile reads as empty below version 3.
    static constexpr int kQueriesVersion = 2;
    static constexpr std::int32_t kApplicationId = 0x4C54524B;

private:
    void OpenFile(const std::string& path, bool forReading);
    std::unique_ptr<sqlite::Connection> db_;
};

}  // namespace record
