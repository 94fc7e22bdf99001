// The learning record's numbers, on records made here: readiness, weakest first, the summary.

#include "RecordBuilder.h"

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
    void summaryCounts();
    void daysPractisedAreLocalDays();
    void seriesSkipEmptyAndForeignSessions();
    void emptyRecord();
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
        .Session(record::kMockHonmen, B::Utc(2026, 11, 4))
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
    QCOMPARE(DefaultPassMark(50), 45);
    QCOMPARE(DefaultPassMark(100), 90);
    QCOMPARE(DefaultPassMark(95), 86);   // 85.5 is not yet 90 %
    QCOMPARE(DefaultPassMark(0), 0);
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
    const auto items = WeakestFirst(rates);
    QList<int> order;
    for (const ItemShare& i : items)
        order << i.bunrui;
    QCOMPARE(order, (QList<int>{999, 103, 104, 102, 201, 101}));
    QCOMPARE(items[0].name, QStringLiteral("項目 999"));
    QCOMPARE(items[1].name, QStringLiteral("標識・標示"));
    QCOMPARE(items[1].percent(), 100.0 * 2 / 6);
    QCOMPARE(items.back().percent(), 95.0);
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
    b.Session(record::kDrill, B::Utc(2026, 11, 1)).Session(record::kMockKarimen, B::Utc(2026, 11, 2)).Unfinished();
    QVERIFY(IsEmpty(b.Build()));
    b.Drill(B::Utc(2026, 11, 3), 1, 0);
    QVERIFY(!IsEmpty(b.Build()));
}

QTEST_GUILESS_MAIN(TestProgressStats)
#include "tst_progress_stats.moc"
