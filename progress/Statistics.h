#pragma once
// What the learning-record window shows, worked out from the record's query results without
// any widget: score and share series, the weakest syllabus items, the summary and readiness.
// Everything here is a pure function of its inputs, so the numbers are tested without a window.

#include "LearningRecord.h"
#include "TestDefinition.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <string>
#include <vector>

namespace data {
class Directory;
}

namespace progress {

// What the record said when the window was opened, plus the statements the bank holds now.
struct StatementKey {
    std::string source = record::kSourceBank;
    std::string bango;
    int item = 0;
    friend bool operator==(const StatementKey&, const StatementKey&) = default;
    friend auto operator<=>(const StatementKey&, const StatementKey&) = default;
};

struct Snapshot {
    std::vector<record::SessionSummary> sessions;   // oldest first
    std::vector<record::CategoryRate> rates;        // over the last kItemWindow answers each
    std::vector<record::LatestResult> latest;       // every answered statement's latest answer
    std::vector<StatementKey> statements;           // the bank's statements and hazard sub-statements
};

// How many of each item's latest answers its share is taken over.
inline constexpr int kItemWindow = 20;
// How many of the latest mocks of a test must all pass for "合格圏".
inline constexpr int kReadinessMocks = 3;

using exam::Test;

// One graded mock exam. A session that did not store its pass mark is judged by its test's rule.
struct MockResult {
    Test test = Test::Karimen;
    QDateTime when;        // the start, UTC
    int score = 0;
    int maxScore = 0;
    int passMark = 0;
    bool passed() const { return score >= passMark; }
    double percent() const { return maxScore > 0 ? 100.0 * score / maxScore : 0.0; }
};
// The graded mocks of TEST, oldest first. Unfinished or ungraded sessions are left out.
std::vector<MockResult> MockScores(const std::vector<record::SessionSummary>& sessions, Test test);
// The last COUNT graded mocks of either test, newest first.
std::vector<MockResult> LastMocks(const std::vector<record::SessionSummary>& sessions, int count);

// One drill (or practice set) with answers: its share of right answers.
struct SharePoint {
    QDateTime when;        // the start, UTC
    int answers = 0;
    int correct = 0;
    double percent() const { return answers > 0 ? 100.0 * correct / answers : 0.0; }
};
// The drills of KIND (record::kDrill or record::kPractice) that recorded answers, oldest first.
std::vector<SharePoint> DrillShares(const std::vector<record::SessionSummary>& sessions,
                                    const std::string& kind);

// One syllabus item's share over its latest answers.
struct ItemShare {
    int bunrui = 0;
    QString name;          // the item's name; "項目 N" for a code the syllabus does not know
    int answers = 0;
    int correct = 0;
    double percent() const { return answers > 0 ? 100.0 * correct / answers : 0.0; }
};
// Items with answers, weakest first: lower share first; on an equal share the item with more
// answers first (the weakness is better established), then the lower code.
std::vector<ItemShare> WeakestFirst(const std::vector<record::CategoryRate>& rates);

struct Summary {
    int answers = 0;          // every recorded answer, unanswered mock questions included
    int daysPractised = 0;    // calendar days, in ZONE, on which a session with answers started
    int neverAnswered = 0;    // the bank's statements without any recorded answer
    int latestWrong = 0;      // statements whose latest answer was wrong
    std::vector<MockResult> lastMocks;   // the last three graded mocks, newest first
};
Summary Summarize(const Snapshot& snapshot, const QTimeZone& zone = QTimeZone::systemTimeZone());

struct Readiness {
    Test test = Test::Karimen;
    bool ready = false;       // the last three mocks of the test all passed
    int mocks = 0;            // graded mocks of the test
    int passedOfLast = 0;     // passes among the last (up to) three
    QString message;          // stated for the pupil
};
Readiness ReadinessFor(const std::vector<record::SessionSummary>& sessions, Test test);
// The rule of "合格圏": at least kReadinessMocks graded mocks of a test, and PASSED_OF_LAST, the
// passes among the latest kReadinessMocks of them, is all of them. The school's overview judges
// by it too.
bool IsReady(int mocks, int passedOfLast);
// The readiness of every test the window shows, in the tests' order: those shown before their
// first mock, and any other the pupil has sat a graded mock of.
std::vector<Readiness> ShownReadiness(const std::vector<record::SessionSummary>& sessions);

// True when the record holds no answer at all: the window shows its empty state.
bool IsEmpty(const Snapshot& snapshot);

// The date format of a time axis over [FIRST, LAST] seen at NOW: "M/d" while all of it lies in
// the current year, else with the year ("yyyy/M/d"), so that a chart over the turn of a year,
// or with dates a wrong clock put in another year, never shows two days as one.
QString DateAxisFormat(const QDateTime& first, const QDateTime& last, const QDateTime& now);

// Reads a stored ISO 8601 UTC time; an invalid QDateTime for anything else.
QDateTime ParseUtc(const std::string& iso);

// The queries the window needs, against an open record.
Snapshot Load(const record::LearningRecord& record, std::vector<StatementKey> statements);
// The record at PATH, read without writing anything: a read-only folder or record (a teacher's
// account, a read-only mount) shows as any other. Only a record of an older version, which must
// be upgraded before it can be read, is opened for writing.
Snapshot LoadRecord(const std::string& path, std::vector<StatementKey> statements);
// The statements of the bank and the hazard items (three each) of DIRECTORY, Bango as stored, as
// the record keeps them. A missing bank or hazard file adds none; a damaged one, or one of
// another layout, throws Exception.
std::vector<StatementKey> BankStatements(const data::Directory& directory);
// Everything the window shows of DIRECTORY: its record, read as LoadRecord reads it, and its
// statements. A directory without a record yet gives an empty record and creates no file.
Snapshot LoadSnapshot(const data::Directory& directory);

}  // namespace progress
