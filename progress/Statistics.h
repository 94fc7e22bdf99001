#pragma once
// What the learning-record window shows, worked out from the record's query results without
// any widget: score and share series, the weakest syllabus items, the summary and readiness.
// Everything here is a pure function of its inputs, so the numbers are tested without a window.

#include "LearningRecord.h"
#include "Load.h"
#include "Schedule.h"
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

// What the scheduler says of the pupil now (今日の復習, the test date, 推定 記憶率).
struct StudyOutlook {
    int dueToday = 0;                   // statements due today, before the daily cap
    int queued = 0;                     // what today's review holds (due within the cap, and new)
    std::vector<int> forecast;          // due on each of the next seven days, today first
    std::optional<study::Test> test;    // the test the pupil set a date for
    std::optional<QDate> testDate;
    std::optional<study::Plan> plan;    // what that date asks for; none without a date ahead
    study::Test recallTest = study::Test::Karimen;   // the scope 推定 記憶率 is taken over
    double meanRecall = 0;              // 0..1
};

struct Snapshot {
    std::vector<record::SessionSummary> sessions;   // oldest first
    std::vector<record::CategoryRate> rates;        // over the last kItemWindow answers each
    std::vector<record::LatestResult> latest;       // every answered statement's latest answer
    std::vector<StatementKey> statements;           // the bank's statements and hazard sub-statements
    record::PupilProfile pupil;                     // the name and test date the record keeps
    std::optional<StudyOutlook> study;              // none when there is no bank to study
};

// The outlook of OUTLOOK at NOW: the test with a date, else 仮免 until the pupil reaches the
// second stage and 本免 from then on, is the scope of 推定 記憶率.
StudyOutlook OutlookAt(const study::Outlook& outlook, const QDateTime& now);

// How many of each item's latest answers its share is taken over.
inline constexpr int kItemWindow = 20;
// How many answers an item needs among its latest before it is ranked among the weakest: with
// fewer, one unlucky answer would put it first.
inline constexpr int kMinItemAnswers = 5;
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
// Items with at least MINANSWERS answers, weakest first: lower share first; on an equal share the
// item with more answers first (the weakness is better established), then the lower code.
std::vector<ItemShare> WeakestFirst(const std::vector<record::CategoryRate>& rates,
                                    int minAnswers = kMinItemAnswers);
// How many items have answers but fewer than MINANSWERS, so are not ranked yet.
int ItemsNotRanked(const std::vector<record::CategoryRate>& rates, int minAnswers = kMinItemAnswers);

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
// The readiness of every test the window shows, in the tests' order: those shown before their
// first mock, and any other the pupil has sat a graded mock of.
std::vector<Readiness> ShownReadiness(const std::vector<record::SessionSummary>& sessions);

// True when the record holds no answer at all: the window shows its empty state.
bool IsEmpty(const Snapshot& snapshot);

// The date format of a time axis over [FIRST, LAST] seen at NOW: "M/d" while all of it lies in
// the current year, else with the year ("yyyy/M/d"), so that a chart over the turn of a year,
// or with dates a wrong clock put in another year, never shows two days as one.
QString DateAxisFormat(const QDateTime& first, const QDateTime& last, const QDateTime& now);

// A time axis of whole days in ZONE from the start of FIRST past the end of LAST, with at most
// MAXTICKS ticks that each fall on the start of a day, so that no two ticks name the same date.
struct DayAxis {
    QDateTime min, max;
    int ticks = 2;
};
DayAxis DaysAxis(const QDate& first, const QDate& last, const QTimeZone& zone, int maxTicks = 6);

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
