#pragma once
// The teacher's side of the school's server: every pupil's summary as the server works it out
// (lentavo.overview), one pupil's record as the learning-record window reads it, the filters of
// the overview, its CSV, and the teacher's pupil management. No widgets: the window and
// tabletool both use this.

#include "Admin.h"
#include "Connection.h"
#include "Statistics.h"

#include <QDate>
#include <QString>
#include <QTimeZone>
#include <QVariant>

#include <optional>
#include <string>
#include <vector>

namespace school {

// One test's latest graded mocks for one pupil.
struct TestScores {
    exam::Test test = exam::Test::Karimen;
    int mocks = 0;                               // graded mocks of the test
    std::vector<progress::MockResult> last;      // the latest (up to kReadinessMocks), newest first
    bool Ready() const;                          // "合格圏", by the learning-record window's rule
};

struct OverviewRow {
    std::string number, name, furigana;
    QDate lastDay;                               // invalid: never studied
    long long answers = 0, days = 0, mocks = 0;
    std::vector<TestScores> tests;               // every test, in the tests' order
    std::vector<progress::ItemShare> weakest;    // the weakest items, at most kWeakest
    const TestScores& Scores(exam::Test test) const;
};
inline constexpr int kWeakest = 3;

// Throws Exception with a message a teacher can read unless the connection's role is a member of
// lentavo_teacher (a study-room PC's login, say).
void RequireTeacher(Connection& db);

// Every pupil still at the school, by number. Days are counted in ZONE.
std::vector<OverviewRow> LoadOverview(Connection& db, const QTimeZone& zone = QTimeZone::systemTimeZone());

// Pupil NUMBER's record from the server, as the learning-record window reads a local one: the
// statements are those of the latest bank version. Throws Exception for an unknown pupil.
progress::Snapshot LoadPupilSnapshot(Connection& db, const std::string& number);

// What the overview shows: READY, a test the pupil is ready for; IDLE_DAYS > 0, not studied for
// that many days or more (never studied counts); TEXT, part of the name, furigana or number.
struct OverviewFilter {
    std::optional<exam::Test> ready;
    int idleDays = 0;
    QString text;
};
bool Matches(const OverviewRow& row, const OverviewFilter& filter, const QDate& today);
// The filter in words, for the printed list ("絞り込みなし" when none).
QString Describe(const OverviewFilter& filter);

// The overview's columns: their headings, a cell's text and the value it sorts by. The list on
// screen and printed speaks the chosen language; the CSV file keeps the Japanese words, so that
// what a school reads it with finds its columns whatever language the teacher chose.
enum class Wording { Shown, Japanese };
int ColumnCount();
QString Heading(int column, Wording wording = Wording::Shown);
QString CellText(const OverviewRow& row, int column, Wording wording = Wording::Shown);
QVariant SortValue(const OverviewRow& row, int column);

// The rows as CSV (UTF-8 with a byte-order mark, CRLF lines), the columns of the list.
std::string OverviewCsv(const std::vector<const OverviewRow*>& rows);

// Pupil management, through the server's functions. AddPupil throws when the number is taken;
// MarkLeft when there is no such pupil still at the school.
void AddPupil(Connection& db, const Pupil& pupil);
void MarkLeft(Connection& db, const std::string& number);

}  // namespace school
