// The learning record's numbers, on records made here: readiness, weakest first, the summary.

#include "RecordBuilder.h"

#include "Directory.h"
#include "EucJp.h"
#include "Exception.h"
#include "Layouts.h"
#include "Table.h"
#include "data/OldRecords.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace progress;
using B = RecordBuilder;

class TestProgressStats : public QObject {
    Q_OBJECT
private slots:
    void readinessNeedsThreeLatestPasses();
    void readinessWithFewMocks();
    void readinessIgnoresUnfinishedAndTheOtherTest();
    void passMarkIsNinetyPercentRoundedUp();
    void weakestFirstWithTies();
    void weakestNeedEnoughAnswers();
    void dayAxisTicksAreDistinctDays();
    void summaryCounts();
    void daysPractisedAreLocalDays();
    void seriesSkipEmptyAndForeignSessions();
    void emptyRecord();
    void gaimenIsShownOnceSatAndJudgedByItsRule();
    void loadsTheRecordAndBankThroughTheDirectory();
    void olderRecordsAreUpgradedOnlyWhenTheyMustBe();
    void outlookRecallsTheStageWithoutATestAndAxisShowsTheYearWhenItDiffers();
};

void TestProgressStats::readinessNeedsThreeLatestPasses()
{
    // 45 of 50 is exactly the pass mark and counts as a pass; 44 does not.
    B b;
    b.Mock(Test::Karimen, B::Utc(2026, 11, 1), 44)
        .Mock(Test::Karimen, B::Utc(2026, 11, 2), 50)
        .Mock(Test::Karimen, B::Utc(2026, 11, 3), 45);
    Readiness r = ReadinessFor(b.Build().sessions, Test::Karimen);
    QVERIFY(!r.ready);
    QCOMPARE(r.mocks, 3);
    QCOMPARE(r.passedOfLast, 2);
    QVERIFY2(r.message.startsWith(QStringLiteral("仮免: ")), qPrintable(r.message));
    QVERIFY2(r.message.contains(QStringLiteral("直近3回の模擬試験のうち合格は2回")), qPrintable(r.message));
    QVERIFY(!r.message.contains(QStringLiteral("合格圏です")));

    // A fourth pass pushes the old failure out of the last three.
    b.Mock(Test::Karimen, B::Utc(2026, 11, 4), 46);
    r = ReadinessFor(b.Build().sessions, Test::Karimen);
    QVERIFY(r.ready);
    QCOMPARE(r.passedOfLast, 3);
    QVERIFY(r.message.contains(QStringLiteral("合格圏")));

    // A failure after three passes takes readiness away again: only the latest three count,
    // by time, not by the order the sessions were made in.
    b.Mock(Test::Karimen, B::Utc(2026, 10, 30), 10);
    QVERIFY(ReadinessFor(b.Build().sessions, Test::Karimen).ready);
    b.Mock(Test::Karimen, B::Utc(2026, 11, 5), 30);
    r = ReadinessFor(b.Build().sessions, Test::Karimen);
    QVERIFY(!r.ready);
    QCOMPARE(r.passedOfLast, 2);
}

void TestProgressStats::readinessWithFewMocks()
{
    B b;
    Readiness r = ReadinessFor(b.Build().sessions, Test::Honmen);
    QVERIFY(!r.ready);
    QCOMPARE(r.mocks, 0);
    QVERIFY2(r.message.startsWith(QStringLiteral("本免: ")), qPrintable(r.message));
    QVERIFY2(r.message.contains(QStringLiteral("まだ受けていません")), qPrintable(r.message));

    // Two passes are not three: not ready, and the message says how many more are needed.
    b.Mock(Test::Honmen, B::Utc(2026, 11, 1), 95).Mock(Test::Honmen, B::Utc(2026, 11, 2), 90);
    r = ReadinessFor(b.Build().sessions, Test::Honmen);
    QVERIFY(!r.ready);
    QCOMPARE(r.mocks, 2);
    QCOMPARE(r.passedOfLast, 2);
    QVERIFY2(r.message.contains(QStringLiteral("2回")) && r.message.contains(QStringLiteral("あと1回")),
             qPrintable(r.message));
}

void TestProgressStats::readinessIgnoresUnfinishedAndTheOtherTest()
{
    B b;
    b.Mock(Test::Honmen, B::Utc(2026, 11, 1), 92)
        .Mock(Test::Honmen, B::Utc(2026, 11, 2), 93)
        .Mock(Test::Honmen, B::Utc(2026, 11, 3), 94)
        // An abandoned mock has no score and is not a failure.
        .Session(exam::Definition(Test::Honmen).sessionKind, B::Utc(2026, 11, 4))
        .Unfinished()
        // Nor is a failed mock of the other test.
        .Mock(Test::Karimen, B::Utc(2026, 11, 5), 20);
    const auto sessions = b.Build().sessions;
    QVERIFY(ReadinessFor(sessions, Test::Honmen).ready);
    QCOMPARE(MockScores(sessions, Test::Honmen).size(), std::size_t(3));
    const Readiness karimen = ReadinessFor(sessions, Test::Karimen);
    QVERIFY(!karimen.ready);
    QCOMPARE(karimen.mocks, 1);
    QCOMPARE(karimen.passedOfLast, 0);

    // Only a graded mock counts: neither one ended without a score, nor a row missing its
    // maximum or with a maximum of 0, nor a score on a mock never ended.
    auto halfGraded = [](auto change) {
        B b;
        b.Mock(Test::Karimen, B::Utc(2026, 11, 1), 50);
        auto sessions = b.Build().sessions;
        change(sessions[0]);
        return MockScores(sessions, Test::Karimen).size();
    };
    QCOMPARE(halfGraded([](record::SessionSummary&) {}), std::size_t(1));
    QCOMPARE(halfGraded([](record::SessionSummary& s) { s.score.reset(); }), std::size_t(0));
    QCOMPARE(halfGraded([](record::SessionSummary& s) { s.maxScore.reset(); }), std::size_t(0));
    QCOMPARE(halfGraded([](record::SessionSummary& s) { s.maxScore = 0; }), std::size_t(0));
    QCOMPARE(halfGraded([](record::SessionSummary& s) { s.endedAt.reset(); }), std::size_t(0));

    // A mock that stored a stricter pass mark is judged by it.
    B strict;
    for (int d = 1; d <= 3; ++d)
        strict.Mock(Test::Honmen, B::Utc(2026, 11, d), 92, 95);
    QVERIFY(!ReadinessFor(strict.Build().sessions, Test::Honmen).ready);
}

void TestProgressStats::passMarkIsNinetyPercentRoundedUp()
{
    const exam::PassRule rule = exam::Definition(Test::Karimen).pass;
    QCOMPARE(rule.PassMark(50), 45);
    QCOMPARE(rule.PassMark(100), 90);
    QCOMPARE(rule.PassMark(95), 86);   // 85.5 is not yet 90 %
    QCOMPARE(rule.PassMark(0), 0);
    // A graded session without a stored pass mark falls back to it.
    B b;
    b.Mock(Test::Karimen, B::Utc(2026, 11, 1), 45);
    auto sessions = b.Build().sessions;
    sessions[0].passMark.reset();
    const auto mocks = MockScores(sessions, Test::Karimen);
    QCOMPARE(mocks.size(), std::size_t(1));
    QCOMPARE(mocks[0].passMark, 45);
    QVERIFY(mocks[0].passed());
    QCOMPARE(mocks[0].percent(), 90.0);
}

void TestProgressStats::weakestFirstWithTies()
{
    const std::vector<record::CategoryRate> rates = {
        {101, 20, 19},   // 95 %
        {102, 3, 1},     // 1/3
        {103, 6, 2},     // 2/6: the same share, more answers, so weaker than 102
        {104, 6, 2},     // the same again: the lower code first
        {105, 0, 0},     // nothing answered: not shown
        {999, 4, 0},     // a code the syllabus does not know, still counted
        {201, 10, 5},
    };
    const auto items = WeakestFirst(rates, 1);   // the order, with every answered item ranked
    QList<int> order;
    for (const ItemShare& i : items)
        order << i.bunrui;
    QCOMPARE(order, (QList<int>{999, 103, 104, 102, 201, 101}));
    QCOMPARE(items[0].name, QStringLiteral("項目 999"));
    QCOMPARE(items[1].name, QStringLiteral("標識・標示"));
    QCOMPARE(items[1].percent(), 100.0 * 2 / 6);
    QCOMPARE(items.back().percent(), 95.0);
}

// An item is ranked among the weakest only with enough answers: one wrong answer out of one must
// not lead the list over an item answered wrong ten times in twenty.
void TestProgressStats::weakestNeedEnoughAnswers()
{
    const std::vector<record::CategoryRate> rates = {
        {101, 1, 0},                        // once, wrong
        {102, kMinItemAnswers - 1, 0},      // just too few
        {103, kMinItemAnswers, 1},          // just enough
        {104, 20, 10},
    };
    QList<int> order;
    for (const ItemShare& i : WeakestFirst(rates))
        order << i.bunrui;
    QCOMPARE(order, (QList<int>{103, 104}));
    QCOMPARE(ItemsNotRanked(rates), 2);
}

// A time axis never names one date twice: its ticks fall on the starts of days, whatever the
// span, and the whole span is shown.
void TestProgressStats::dayAxisTicksAreDistinctDays()
{
    const QTimeZone tokyo(9 * 3600);
    for (int span : {0, 1, 2, 4, 6, 7, 13, 40}) {
        const QDate first(2026, 12, 8), last = first.addDays(span);
        const DayAxis axis = DaysAxis(first, last, tokyo);
        QVERIFY(axis.ticks >= 2 && axis.ticks <= 6);
        QCOMPARE(axis.min, QDateTime(first, QTime(0, 0), tokyo));
        QVERIFY(axis.max >= QDateTime(last.addDays(1), QTime(0, 0), tokyo));
        const qint64 days = axis.min.daysTo(axis.max);
        QCOMPARE(days % (axis.ticks - 1), 0);   // every tick on a day's start
        QVERIFY2(days / (axis.ticks - 1) >= 1, qPrintable(QString::number(span)));
        QVERIFY(days <= (span + 1) + (axis.ticks - 2));   // stretched by less than one interval
    }
}

void TestProgressStats::summaryCounts()
{
    B b;
    b.Statement("0001").Statement("0002").Statement("0003").Statement("0003")
        .Statement("K1", record::kSourceHazard, 1).Statement("K1", record::kSourceHazard, 2);
    b.Session(record::kDrill, B::Utc(2026, 11, 1))
        .Answer("0001", 101, false)
        .Answer("0002", 101, false)
        .Answer("0001", 101, true)      // the latest answer to 0001 is right
        .Answer("9999", 101, false);    // a statement no longer in the bank, answered wrong
    b.Session(record::kPractice, B::Utc(2026, 11, 2))
        .Answer("K1", 201, false, record::kSourceHazard, 2);
    b.Mock(Test::Karimen, B::Utc(2026, 11, 3), 40)
        .Mock(Test::Honmen, B::Utc(2026, 11, 4), 91)
        .Mock(Test::Karimen, B::Utc(2026, 11, 5), 47)
        .Mock(Test::Karimen, B::Utc(2026, 11, 6), 48);
    const Summary s = Summarize(b.Build(), QTimeZone::utc());
    QCOMPARE(s.answers, 5 + 50 + 100 + 50 + 50);
    QCOMPARE(s.daysPractised, 6);
    // 0003 (listed twice) and hazard K1(1); K1(2) was answered.
    QCOMPARE(s.neverAnswered, 2);
    QCOMPARE(s.latestWrong, 3);   // 0002, 9999, K1(2)
    QCOMPARE(s.lastMocks.size(), std::size_t(3));
    QCOMPARE(s.lastMocks[0].score, 48);
    QCOMPARE(s.lastMocks[1].score, 47);
    QCOMPARE(s.lastMocks[2].test, Test::Honmen);
    QVERIFY(s.lastMocks[2].passed());
    QVERIFY(!LastMocks(b.Build().sessions, 4).back().passed());
}

void TestProgressStats::daysPractisedAreLocalDays()
{
    const QTimeZone japan(9 * 3600);
    B b;
    // 14:30Z and 15:30Z are one UTC day but two days in Japan (23:30 and 00:30).
    b.Drill(B::Utc(2026, 11, 1, 14, 30), 1, 1).Drill(B::Utc(2026, 11, 1, 15, 30), 1, 1);
    // 23:00Z and 01:00Z the next UTC day are both 2 November in Japan, with 00:30 above.
    b.Drill(B::Utc(2026, 11, 1, 23, 0), 1, 0).Drill(B::Utc(2026, 11, 2, 1, 0), 1, 0);
    // A session without answers is not a day practised.
    b.Session(record::kDrill, B::Utc(2026, 11, 5));
    QCOMPARE(Summarize(b.Build(), japan).daysPractised, 2);
    QCOMPARE(Summarize(b.Build(), QTimeZone::utc()).daysPractised, 2);
    b.Drill(B::Utc(2026, 11, 2, 16, 0), 1, 1);   // 3 November in Japan, still 2 November in UTC
    QCOMPARE(Summarize(b.Build(), japan).daysPractised, 3);
    QCOMPARE(Summarize(b.Build(), QTimeZone::utc()).daysPractised, 2);
}

void TestProgressStats::seriesSkipEmptyAndForeignSessions()
{
    B b;
    b.Drill(B::Utc(2026, 11, 1), 10, 7)
        .Session(record::kDrill, B::Utc(2026, 11, 2))   // opened and closed without answering
        .Drill(B::Utc(2026, 11, 3), 4, 4)
        .Session(record::kPractice, B::Utc(2026, 11, 4))
        .Answer("0001", 106, false)
        .Mock(Test::Karimen, B::Utc(2026, 11, 5), 45);
    const auto sessions = b.Build().sessions;
    const auto drills = DrillShares(sessions, record::kDrill);
    QCOMPARE(drills.size(), std::size_t(2));
    QCOMPARE(drills[0].percent(), 70.0);
    QCOMPARE(drills[1].percent(), 100.0);
    QCOMPARE(drills[1].when, B::Utc(2026, 11, 3));
    const auto practice = DrillShares(sessions, record::kPractice);
    QCOMPARE(practice.size(), std::size_t(1));
    QCOMPARE(practice[0].percent(), 0.0);
    QCOMPARE(MockScores(sessions, Test::Karimen).at(0).when, B::Utc(2026, 11, 5));
    QVERIFY(!ParseUtc("not a time").isValid());
    QCOMPARE(ParseUtc("2026-11-05T10:00:00Z"), B::Utc(2026, 11, 5));
}

void TestProgressStats::emptyRecord()
{
    B b;
    b.Statement("0001").Statement("0002");
    QVERIFY(IsEmpty(b.Build()));
    Summary s = Summarize(b.Build());
    QCOMPARE(s.answers, 0);
    QCOMPARE(s.daysPractised, 0);
    QCOMPARE(s.neverAnswered, 2);
    QCOMPARE(s.latestWrong, 0);
    QVERIFY(s.lastMocks.empty());
    QVERIFY(WeakestFirst({}).empty());
    // Sessions opened without one answer leave the record as empty as before.
    b.Session(record::kDrill, B::Utc(2026, 11, 1)).Session(exam::Definition(Test::Karimen).sessionKind, B::Utc(2026, 11, 2)).Unfinished();
    QVERIFY(IsEmpty(b.Build()));
    b.Drill(B::Utc(2026, 11, 3), 1, 0);
    QVERIFY(!IsEmpty(b.Build()));
}

void TestProgressStats::gaimenIsShownOnceSatAndJudgedByItsRule()
{
    const auto names = [](const std::vector<Readiness>& shown) {
        QStringList out;
        for (const Readiness& r : shown)
            out << r.message.section(QStringLiteral(": "), 0, 0);
        return out;
    };
    // A driving-school pupil who never sat the 外免切替 mock is not told about it; the two tests
    // every pupil sits are shown before any mock.
    QCOMPARE(names(ShownReadiness(B().Build().sessions)), (QStringList{"仮免", "本免"}));
    B b;
    b.Mock(Test::Karimen, B::Utc(2026, 11, 1), 46);
    QCOMPARE(names(ShownReadiness(b.Build().sessions)), (QStringList{"仮免", "本免"}));

    // 44 of 50 fails, 45 passes; an unstored pass mark comes from the test's own rule.
    b.Mock(Test::Gaimen, B::Utc(2026, 11, 2), 44).Mock(Test::Gaimen, B::Utc(2026, 11, 3), 45)
        .Mock(Test::Gaimen, B::Utc(2026, 11, 4), 50);
    auto sessions = b.Build().sessions;
    QCOMPARE(names(ShownReadiness(sessions)), (QStringList{"仮免", "本免", "外免切替"}));
    sessions[2].passMark.reset();
    const auto mocks = MockScores(sessions, Test::Gaimen);
    QCOMPARE(mocks.size(), std::size_t(3));
    QCOMPARE(mocks[1].passMark, 45);
    QVERIFY(!mocks[0].passed());
    QVERIFY(mocks[1].passed());
    QVERIFY(MockScores(sessions, Test::Karimen).size() == 1);   // kept apart from the 仮免's
    Readiness r = ReadinessFor(sessions, Test::Gaimen);
    QVERIFY(!r.ready);
    QCOMPARE(r.passedOfLast, 2);
    b.Mock(Test::Gaimen, B::Utc(2026, 11, 5), 47);
    r = ShownReadiness(b.Build().sessions).back();
    QVERIFY(r.ready);
    QCOMPARE(r.message, QStringLiteral("外免切替: 合格圏です(直近3回の模擬試験はすべて合格)"));
    QCOMPARE(Summarize(b.Build()).lastMocks.front().test, Test::Gaimen);
}

void TestProgressStats::loadsTheRecordAndBankThroughTheDirectory()
{
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString() + "/";
    const data::Directory directory(d);
    // Nothing there yet: an empty snapshot, and no record made by looking.
    Snapshot s = LoadSnapshot(directory);
    QVERIFY(s.statements.empty() && s.sessions.empty());
    QVERIFY(!QFile::exists(dir.filePath("kiroku.sqlite")));

    // A Bango in Japanese is compared as stored, as the drill and the exams record it.
    const std::string wide = eucjp::Encode(QStringLiteral("Ａ１"));
    const auto bank = [&](std::vector<FieldDef> fields) {
        std::vector<Row> rows;
        for (const std::string& bango : {wide, std::string("0002")}) {
            Row r(fields.size());
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (fields[i].name == "Bango")
                    r[i] = Value(bango);
            rows.push_back(r);
        }
        Table::CreateFile(d + layouts::kBankFile, fields, rows);
    };
    bank(layouts::Bank());
    Row hazard(layouts::Hazard().size());
    hazard[0] = Value("K1");
    Table::CreateFile(d + layouts::kHazardFile, layouts::Hazard(), {hazard});
    {
        record::LearningRecord rec;
        directory.OpenRecord(rec);
        const auto session = rec.BeginSession({record::kDrill, 1, {}});
        rec.AddAnswer(session, {record::kSourceBank, wide, 0, 101, 1, true, {}});
    }
    s = LoadSnapshot(directory);
    QCOMPARE(s.statements.size(), std::size_t(2 + 3));
    QCOMPARE(s.statements[0].bango, wide);
    QCOMPARE(s.statements[4], (StatementKey{record::kSourceHazard, "K1", 3}));
    QCOMPARE(s.sessions.size(), std::size_t(1));
    QCOMPARE(Summarize(s).neverAnswered, 4);

    // A bank of another layout is refused, not read as one.
    std::vector<FieldDef> noKariHon;
    for (const FieldDef& f : layouts::Bank())
        if (f.name != "KariHon")
            noKariHon.push_back(f);
    bank(noKariHon);
    QVERIFY_THROWS_EXCEPTION(Exception, LoadSnapshot(directory));
}

// A first-version record lacks what the window's queries read: it is upgraded, as the drill
// would, and shows its sessions and answers. A second-version one is read as it stands.
void TestProgressStats::olderRecordsAreUpgradedOnlyWhenTheyMustBe()
{
    QTemporaryDir dir;
    const std::string first = dir.filePath("v1.sqlite").toStdString();
    Sql(first, kVersion1Record);
    const Snapshot s = LoadRecord(first, {});
    QCOMPARE(s.sessions.size(), std::size_t(2));
    QCOMPARE(s.sessions[0].answers, 2);
    QCOMPARE(s.latest.size(), std::size_t(3));

    const QString second = dir.filePath("v2.sqlite");
    Sql(second.toStdString(), kVersion1Record);
    Sql(second.toStdString(), kVersion2Changes);
    const auto bytes = [&] {
        QFile f(second);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    QCOMPARE(LoadRecord(second.toStdString(), {}).latest.size(), std::size_t(3));
    QCOMPARE(bytes(), before);
}

// A pupil with no test date is judged on the stage reached; the axis leaves the year out only when
// both ends fall in the current one.
void TestProgressStats::outlookRecallsTheStageWithoutATestAndAxisShowsTheYearWhenItDiffers()
{
    const QDateTime now(QDate(2026, 12, 9), QTime(12, 0));
    study::Outlook o;
    QCOMPARE(OutlookAt(o, now).recallTest, study::Test::Karimen);
    o.options.stage = 2;
    QCOMPARE(OutlookAt(o, now).recallTest, study::Test::Honmen);
    o.options.test = study::Test::Karimen;
    QCOMPARE(OutlookAt(o, now).recallTest, study::Test::Karimen);

    const auto at = [](int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(12, 0)); };
    QCOMPARE(DateAxisFormat(at(2026, 1, 2), at(2026, 12, 8), now), QStringLiteral("M/d"));
    QCOMPARE(DateAxisFormat(at(2025, 12, 30), at(2026, 1, 2), now), QStringLiteral("yyyy/M/d"));
    QCOMPARE(DateAxisFormat(at(2026, 12, 30), at(2027, 1, 2), now), QStringLiteral("yyyy/M/d"));
}

QTEST_GUILESS_MAIN(TestProgressStats)
#include "tst_progress_stats.moc"
