// The memory model against values worked out by hand from its formulas, the guess handling of
// true/false answers, today's queue and the plan towards a test date, and the replay of a real
// learning record.

#include "Checkpoint.h"
#include "Exception.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Load.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cmath>
#include <map>
#include <random>
#include <tuple>

using namespace study;

namespace {
const QTimeZone kJst(9 * 3600);

QDateTime At(int month, int day, int hour = 12)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, 0), kJst);
}

Key Bank(int n) { return {record::kSourceBank, std::to_string(1000 + n), 0}; }

std::vector<Statement> Bunch(int count, int stage = 1)
{
    std::vector<Statement> out;
    for (int i = 0; i < count; ++i)
        out.push_back({Bank(i + (stage - 1) * 500), stage, {}});
    return out;
}

std::vector<std::string> Bangos(const Queue& q, bool isNew)
{
    std::vector<std::string> out;
    for (const QueueEntry& e : q.entries)
        if (e.isNew == isNew)
            out.push_back(e.key.bango);
    return out;
}
}  // namespace

class TestStudy : public QObject {
    Q_OBJECT
private slots:
    void forgettingCurveAndInterval()
    {
        QCOMPARE(Retrievability(3.7145, 3.7145), 0.9);   // stability is the 90 % point
        QVERIFY(qAbs(Retrievability(10, 3.7145) - 0.7829021) < 1e-6);
        QCOMPARE(Retrievability(0, 2.0), 1.0);
        QVERIFY(qAbs(IntervalFor(10, 0.9) - 10) < 1e-9);
        QVERIFY(qAbs(IntervalFor(10, 0.8) - 23.980263) < 1e-5);
    }

    void firstReviewLapseAndLongInterval()
    {
        const MemoryModel m;
        const MemoryState good = m.First(Grade::Good);
        QCOMPARE(good.stability, 3.7145);
        QCOMPARE(good.difficulty, 5.1618);
        QCOMPARE(m.First(Grade::Again).stability, 0.4872);
        QVERIFY(qAbs(m.First(Grade::Again).difficulty - 7.6214) < 1e-9);

        // Good again when recall has fallen to 90 %.
        const MemoryState recalled = m.Review(good, Grade::Good, 3.7145);
        QVERIFY(qAbs(recalled.stability - 14.094985) < 1e-5);
        QVERIFY(qAbs(recalled.difficulty - 5.1618) < 1e-9);
        // A lapse at the same moment: stability falls, difficulty rises towards the reverted mean.
        const MemoryState lapsed = m.Review(good, Grade::Again, 3.7145);
        QVERIFY(qAbs(lapsed.stability - 1.418525) < 1e-5);
        QVERIFY(qAbs(lapsed.difficulty - 6.901155) < 1e-6);
        // A long interval (100 days on a 20-day memory, recall 68 %) earns a large step.
        const MemoryState longGap = m.Review({5.0, 20.0}, Grade::Good, 100);
        QVERIFY(qAbs(longGap.stability - 185.491496) < 1e-4);
        QVERIFY(qAbs(longGap.difficulty - 5.0050158) < 1e-6);
        // A lapse never leaves a memory more stable than before, however soon it comes.
        QVERIFY(m.Review({1.0, 0.5}, Grade::Again, 0).stability <= 0.5);
        // Difficulty stays within 1..10 after many lapses or many easy reviews.
        MemoryState s = good;
        for (int i = 0; i < 200; ++i)
            s = m.Review(s, Grade::Again, 1);
        QVERIFY(s.difficulty <= 10.0);
        for (int i = 0; i < 200; ++i)
            s = m.Review(s, Grade::Easy, 1);
        QVERIFY(s.difficulty >= 1.0);
    }

    void rightAnswersMayBeGuesses()
    {
        const MemoryModel m;
        QCOMPARE(MemoryModel::PredictRight(0.0), 0.5);
        QCOMPARE(MemoryModel::PredictRight(1.0), 1.0);
        QCOMPARE(MemoryModel::PredictRight(0.8), 0.9);

        // The first right answer is a weaker "good"; a wrong one is "again".
        const MemoryState first = m.ReviewAnswer(std::nullopt, true, 0);
        QCOMPARE(first.stability, 1.4003);
        QVERIFY(qAbs(first.difficulty - 6.3916) < 1e-9);
        QCOMPARE(m.ReviewAnswer(std::nullopt, false, 0).stability, 0.4872);

        // At 90 % recall a right answer is a recall with chance 0.9 / 0.95: the good step, weighted.
        const MemoryState right = m.ReviewAnswer(first, true, 1.4003);
        QVERIFY(qAbs(right.stability - 4.613914) < 1e-5);
        QVERIFY(qAbs(right.difficulty - 6.355483) < 1e-6);
        QVERIFY(right.stability < m.Review(first, Grade::Good, 1.4003).stability);
        // A right answer on a long-forgotten statement is mostly a coin toss: barely any gain,
        // while a plain "good" would have multiplied the stability.
        const MemoryState forgotten{5.0, 1.0};
        const double guessed = m.ReviewAnswer(forgotten, true, 2000).stability;
        QVERIFY(qAbs(guessed - 1.422349) < 1e-5);
        QVERIFY(m.Review(forgotten, Grade::Good, 2000).stability > 10);
        // A wrong answer is a plain lapse.
        QCOMPARE(m.ReviewAnswer(forgotten, false, 3).stability, m.Review(forgotten, Grade::Again, 3).stability);
    }

    void storedTimes()
    {
        QCOMPARE(ParseStoredTime("1970-01-02T00:00:00Z").value(), 1.0);
        const QDateTime t(QDate(2026, 12, 8), QTime(9, 54, 51), QTimeZone::utc());
        QVERIFY(qAbs(ParseStoredTime("2026-12-08T09:54:51Z").value() - Days(t)) < 1e-9);
        QVERIFY(qAbs(ParseStoredTime("2024-02-29T23:59:59Z").value() -
                     Days(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), QTimeZone::utc()))) < 1e-9);
        for (const char* bad : {"", "2026-12-08 09:54:51Z", "2026-12-08T09:54:51", "2026-13-08T09:54:51Z",
                                "2026-02-30T09:54:51Z", "2026-12-08T24:00:00Z", "2026-12-08T09:60:00Z", "2026-12-08T09:59:60Z",
                                "2026-00-08T09:54:51Z", "2026-12-00T09:54:51Z", "2026-1a-08T09:54:51Z", "0000-03-01T00:00:00Z", "2100-02-29T00:00:00Z"})
            QVERIFY2(!ParseStoredTime(bad), bad);
        // Months past December are refused whatever the day; the month is never used to look
        // past the calendar's twelve.
        for (int month = 13; month <= 99; ++month) {
            const std::string t = "2026-" + std::to_string(month) + "-01T00:00:00Z";
            QVERIFY2(!ParseStoredTime(t), t.c_str());
        }
        // Read in a run, a day's number is kept from one time to the next: the same results,
        // and a bad time of a known day still refused.
        StoredTimeReader reader;
        for (const char* t : {"2026-12-08T09:54:51Z", "2026-12-08T23:59:59Z", "2026-12-08T24:00:00Z", "2026-12-08X10:00:00Z",
                              "2026-12-08T10:0a:00Z", "2026-12-09T00:00:00Z", "2026-12-08T00:00:01Z", "2026-12-08T00:00:01",
                              "2024-02-29T12:00:00Z", "2026-02-29T12:00:00Z", "2026-12-08T07:00:00Z"})
            QVERIFY2(reader(t) == ParseStoredTime(t), t);
        QVERIFY(qAbs(DayStart(QDate(2026, 12, 8), kJst) - Days(QDateTime(QDate(2026, 12, 7), QTime(15, 0), QTimeZone::utc()))) < 1e-9);
    }

    void todaysQueueLowestRecallFirstWithinTheCaps()
    {
        // 60 statements answered right once, each a day later than the one before: all due
        // weeks later, the oldest the least recalled.
        std::vector<Statement> statements = Bunch(100);
        Learner learner;
        for (int i = 0; i < 60; ++i)
            learner.Answer(Bank(i), Days(At(9, 1)) + i * 0.2, true);
        // Five of the unseen ones were first met today: they use up part of the new allowance.
        for (int i = 60; i < 65; ++i)
            learner.Answer(Bank(i), Days(At(11, 20, 8)), true);

        Options options;
        const Queue q = TodaysQueue(learner, statements, At(11, 20), kJst, options);
        QCOMPARE(q.due, 60);
        const std::vector<std::string> due = Bangos(q, false);
        QCOMPARE(int(due.size()), 50);
        QCOMPARE(due.front(), "1000");   // answered first, forgotten most
        QCOMPARE(due.back(), "1049");
        for (std::size_t i = 1; i < 50; ++i)
            QVERIFY(q.entries[i - 1].recall <= q.entries[i].recall);
        const std::vector<std::string> fresh = Bangos(q, true);
        QCOMPARE(int(fresh.size()), 15);
        QCOMPARE(fresh.front(), "1065");

        // Tomorrow the five met today fall due too (a first right answer holds 1.4 days), and
        // the new allowance is whole again.
        const Queue later = TodaysQueue(learner, statements, At(11, 21), kJst, options);
        QCOMPARE(int(Bangos(later, true).size()), 20);
        QCOMPARE(later.due, 65);
    }

    void aStatementDueAsTomorrowBeginsIsTomorrows()
    {
        // A card whose recall reaches the retention at exactly the first instant of tomorrow is
        // tomorrow's: today's queue leaves it out and the forecast counts it for tomorrow. One
        // instant earlier it is today's.
        const std::vector<Statement> one = Bunch(1);
        const double tomorrow = DayStart(QDate(2026, 11, 21), kJst);
        const Options options;
        Card card;
        card.memory = {5.0, 3.7};
        card.reviews = 1;
        card.lastReview = tomorrow - IntervalFor(card.memory.stability, options.retention);
        for (int i = 0; i < 8 && Learner::Due(card, options.retention) != tomorrow; ++i)
            card.lastReview = std::nextafter(card.lastReview,
                                             Learner::Due(card, options.retention) < tomorrow ? tomorrow : 0.0);
        QVERIFY(Learner::Due(card, options.retention) == tomorrow);
        card.firstReview = card.lastReview;

        Learner atMidnight;
        atMidnight.Restore(one[0].key, card);
        QCOMPARE(TodaysQueue(atMidnight, one, At(11, 20), kJst, options).due, 0);
        QCOMPARE(Forecast(atMidnight, one, At(11, 20), kJst, options, 2), (std::vector<int>{0, 1}));

        card.lastReview = std::nextafter(card.lastReview, 0.0);
        QVERIFY(Learner::Due(card, options.retention) < tomorrow);
        Learner before;
        before.Restore(one[0].key, card);
        QCOMPARE(TodaysQueue(before, one, At(11, 20), kJst, options).due, 1);
        QCOMPARE(Forecast(before, one, At(11, 20), kJst, options, 2), (std::vector<int>{1, 0}));
    }

    void newStatementsComeFromTheCurrentStage()
    {
        std::vector<Statement> statements = Bunch(3, 2);
        for (const Statement& s : Bunch(2, 1))
            statements.push_back(s);
        Learner learner;
        Options options;
        QCOMPARE(CurrentStage(learner, statements), 1);
        QCOMPARE(Bangos(TodaysQueue(learner, statements, At(11, 20), kJst, options), true),
                 (std::vector<std::string>{"1000", "1001"}));
        learner.Answer(statements[0].key, Days(At(11, 19)), false);
        QCOMPARE(CurrentStage(learner, statements), 2);
        options.stage = 2;
        QCOMPARE(int(Bangos(TodaysQueue(learner, statements, At(11, 20), kJst, options), true).size()), 4);
        // A 仮免 date narrows the study to the first stage, whatever the stage.
        options.test = Test::Karimen;
        options.testDate = QDate(2026, 12, 20);
        const Queue q = TodaysQueue(learner, statements, At(11, 20), kJst, options);
        QCOMPARE(Bangos(q, true), (std::vector<std::string>{"1000", "1001"}));
        QVERIFY(Bangos(q, false).empty());
    }

    void testDatePlanning()
    {
        const std::vector<Statement> statements = Bunch(300);
        Learner learner;
        // 100 statements known, answered over the last two weeks; 200 never seen.
        for (int i = 0; i < 100; ++i)
            for (int k = 0; k < 1 + i % 3; ++k)
                learner.Answer(Bank(i), Days(At(11, 5)) + i * 0.1 + k * 2.0, true);

        Options far;
        far.test = Test::Honmen;
        far.testDate = QDate(2026, 12, 30);
        Options near = far;
        near.testDate = QDate(2026, 11, 23);

        const std::optional<Plan> pf = PlanFor(learner, statements, At(11, 20), kJst, far);
        const std::optional<Plan> pn = PlanFor(learner, statements, At(11, 20), kJst, near);
        QVERIFY(pf && pn);
        QCOMPARE(pf->days, 41);
        QCOMPARE(pn->days, 4);
        QCOMPARE(pf->unseen, 200);
        QCOMPARE(pn->newPerDay, 50);
        QCOMPARE(pf->newPerDay, 5);
        QVERIFY(pn->answersPerDay > pf->answersPerDay);
        // Kept, either plan has the whole scope at a high recall on the day.
        QVERIFY(pf->recallOnTestDay >= 0.9);
        QVERIFY(pn->recallOnTestDay >= 0.9);
        // The near date raises today's caps; the far one keeps the defaults.
        const Queue qn = TodaysQueue(learner, statements, At(11, 20), kJst, near);
        QCOMPARE(qn.dailyNew, 50);
        QCOMPARE(int(Bangos(qn, true).size()), 50);
        QCOMPARE(TodaysQueue(learner, statements, At(11, 20), kJst, far).dailyNew, 20);

        // Without a date these statements fall due over the coming week; with the test in two
        // days nothing falls due after it.
        Options none;
        const std::vector<int> open = Forecast(learner, statements, At(11, 20), kJst, none);
        QCOMPARE(int(open.size()), 7);
        QVERIFY(open[3] + open[4] + open[5] + open[6] > 0);
        Options soon = far;
        soon.testDate = QDate(2026, 11, 22);
        const std::vector<int> capped = Forecast(learner, statements, At(11, 20), kJst, soon);
        QCOMPARE(capped[0] + capped[1] + capped[2], open[0] + open[1] + open[2]);
        QCOMPARE(capped[3] + capped[4] + capped[5] + capped[6], 0);

        // A date that has passed plans nothing and no longer narrows the study.
        Options past = far;
        past.testDate = QDate(2026, 11, 19);
        QVERIFY(!PlanFor(learner, statements, At(11, 20), kJst, past));
        QCOMPARE(Forecast(learner, statements, At(11, 20), kJst, past), open);

        // A date without its test plans nothing.
        Options dateOnly;
        dateOnly.testDate = far.testDate;
        QVERIFY(!PlanFor(learner, statements, At(11, 20), kJst, dateOnly));
        dateOnly.testDate = soon.testDate;
        QCOMPARE(Forecast(learner, statements, At(11, 20), kJst, dateOnly), open);

        // A statement known well and not due before the test is left alone, not met again as a
        // new one: the one unseen statement is met today, and both are recalled on the day.
        const std::vector<Statement> two = Bunch(2);
        Learner known;
        for (int day : {1, 3, 7, 13, 19})
            known.Answer(two[0].key, Days(At(11, day)), true);
        QVERIFY(Learner::Due(*known.Find(two[0].key), 0.9) > DayStart(QDate(2026, 11, 21), kJst));
        Options today = far;
        today.testDate = QDate(2026, 11, 20);
        const std::optional<Plan> p = PlanFor(known, two, At(11, 20, 9), kJst, today);
        QVERIFY(p);
        QCOMPARE(p->unseen, 1);
        QCOMPARE(p->answersPerDay, 1);
        QVERIFY2(p->recallOnTestDay > 0.9, qPrintable(QString::number(p->recallOnTestDay)));
        // On the test day itself the date still plans and narrows the study: it has not passed.
        const Queue onTheDay = TodaysQueue(known, two, At(11, 20, 9), kJst, today);
        QVERIFY(onTheDay.plan);
        QCOMPARE(onTheDay.plan->unseen, 1);

        // Statements recalled equally are reviewed in the bank's order.
        Learner twins;
        for (const Statement& s : two)
            twins.Answer(s.key, Days(At(11, 10)), false);
        QCOMPARE(Bangos(TodaysQueue(twins, two, At(11, 20), kJst, Options()), false),
                 (std::vector<std::string>{"1000", "1001"}));
    }

    void meanRecallOfAScope()
    {
        std::vector<Statement> statements = Bunch(2, 1);
        statements.push_back({Bank(500), 2, {}});
        Learner learner;
        learner.Answer(statements[0].key, Days(At(11, 20, 0)), true);
        const double r = Learner::Recall(*learner.Find(statements[0].key), Days(At(11, 20)));
        QVERIFY(r > 0.9 && r < 1.0);
        QVERIFY(qAbs(MeanRecall(learner, statements, Test::Karimen, At(11, 20)) - r / 2) < 1e-12);
        QVERIFY(qAbs(MeanRecall(learner, statements, Test::Honmen, At(11, 20)) - r / 3) < 1e-12);
    }

    // A data directory's statements: the bank's drill statements (stage 1 and 2 only, in the
    // file's order, with their difficulty) and three per hazard item; a bank that is no bank
    // is refused.
    void statementsOfADataDirectory()
    {
        QTemporaryDir dir;
        const std::string d = dir.path().toStdString() + "/";
        QVERIFY(Statements(d).empty());
        const auto& layout = layouts::Bank();
        auto row = [&layout](const char* bango, int stage, std::optional<int> nani) {
            Row r(layout.size());
            for (std::size_t i = 0; i < layout.size(); ++i) {
                if (layout[i].name == "Bango") r[i] = Value(bango);
                if (layout[i].name == "KariHon") r[i] = Value(stage);
                if (layout[i].name == "Nani" && nani) r[i] = Value(*nani);
            }
            return r;
        };
        Table::CreateFile(d + layouts::kBankFile, layout,
                          {row("0001", 1, 5), row("0002", 0, 1), row("0003", 2, std::nullopt), row("0004", 3, 1)});
        std::vector<Row> hazards(2, Row(layouts::Hazard().size()));
        for (std::size_t i = 0; i < layouts::Hazard().size(); ++i)
            if (layouts::Hazard()[i].name == "Bango") {
                hazards[0][i] = Value("0101");
                hazards[1][i] = Value("0102");
            }
        Table::CreateFile(d + layouts::kHazardFile, layouts::Hazard(), hazards);

        const std::vector<Statement> s = Statements(d);
        QCOMPARE(int(s.size()), 8);
        QVERIFY(s[0].key == (Key{record::kSourceBank, "0001", 0}) && s[0].stage == 1 && s[0].nani == 5);
        QVERIFY(s[1].key == (Key{record::kSourceBank, "0003", 0}) && s[1].stage == 2 && !s[1].nani);
        for (std::size_t i = 2; i < s.size(); ++i)
            QVERIFY(s[i].key == (Key{record::kSourceHazard, i < 5 ? "0101" : "0102", int(i - 2) % 3 + 1}) && s[i].stage == 2);

        Table::CreateFile(d + layouts::kHazardFile, layouts::History(), {});
        QVERIFY_THROWS_EXCEPTION(Exception, Statements(d));
        QFile::remove(QString::fromStdString(d + layouts::kHazardFile));
        Table::CreateFile(d + layouts::kBankFile, layouts::History(), {});
        QVERIFY_THROWS_EXCEPTION(Exception, Statements(d));
    }

    // The test date is planned for only when the record names a test this program knows and a
    // real day.
    void testDateOfTheProfile()
    {
        const auto of = [](std::optional<std::string> test, std::optional<std::string> date) {
            return TestDateOf(record::PupilProfile{std::nullopt, std::move(test), std::move(date)});
        };
        QVERIFY(of("honmen", "2027-01-15") == std::make_pair(Test::Honmen, QDate(2027, 1, 15)));
        QVERIFY(of("karimen", "2026-12-24") == std::make_pair(Test::Karimen, QDate(2026, 12, 24)));
        QVERIFY(!of("gentsuki", "2026-12-24"));
        QVERIFY(!of("honmen", "2026-02-30"));
        QVERIFY(!of("honmen", std::nullopt));
        QVERIFY(!of(std::nullopt, "2026-12-24"));
        // A profile whose date was cleared after it held one: nothing to plan for.
        record::PupilProfile cleared{std::nullopt, "honmen", "2027-01-15"};
        cleared.testDate.reset();
        QVERIFY(!TestDateOf(cleared));
    }

    // A data directory's own record is read for the outlook: the pupil's answers and test date.
    void outlookReadsTheDirectorysRecord()
    {
        QTemporaryDir dir;
        const std::string d = dir.path().toStdString() + "/";
        QCOMPARE(int(LoadOutlook(d).learner.Size()), 0);   // no record yet
        {
            record::LearningRecord rec;
            rec.Open(d + record::kFileName);
            rec.AddAnswer(rec.BeginSession({record::kDrill, 0, {}}), {record::kSourceBank, "1001", 0, 101, 1, true, {}});
            rec.SetTestDate("honmen", "2027-01-15");
        }
        const Outlook o = LoadOutlook(d);
        QCOMPARE(int(o.learner.Size()), 1);
        QVERIFY(o.options.testDate == QDate(2027, 1, 15));
    }

    // The learner's cards against a plain fold of each statement's answers through the model's
    // public steps, bit for bit: thousands of statements (the table grows several times), long
    // and short keys, answers at the same moment and a clock set back.
    void replayMatchesEachStatementsOwnFold()
    {
        const MemoryModel m;
        auto fold = [&m](std::optional<MemoryState> s, bool right, double t) -> MemoryState {
            if (!s)
                return m.First(right ? Grade::Hard : Grade::Again);
            if (!right)
                return m.Review(*s, Grade::Again, t);
            const double r = Retrievability(t, s->stability);
            const double q = 2 * r / (1 + r);
            const MemoryState good = m.Review(*s, Grade::Good, t);
            return {s->difficulty + q * (good.difficulty - s->difficulty),
                    s->stability * std::pow(good.stability / s->stability, q)};
        };
        struct Expected {
            std::optional<MemoryState> memory;
            double last = 0, first = 0;
            int reviews = 0, lapses = 0;
        };
        std::map<std::tuple<std::string, std::string, int>, Expected> expected;
        Learner learner;
        std::mt19937 rng(11);
        double now = 20000;
        for (int i = 0; i < 80000; ++i) {
            // Twenty keys to a Bango (two sources, ten items), so that keys told apart only by
            // their source or their item meet on the table's probes.
            const Key key{rng() % 2 ? record::kSourceHazard : record::kSourceBank,
                          (rng() % 7 == 0 ? "a-bango-longer-than-fifteen-" : "") + std::to_string(rng() % 400),
                          int(rng() % 10)};
            const bool right = rng() % 10 < 7;
            const int step = int(rng() % 20);
            now += step == 0 ? -0.3 : step < 4 ? 0.0 : (rng() % 100000) / 1e5;
            learner.Answer(key, now, right);
            Expected& e = expected[{key.source, key.bango, key.item}];
            e.memory = fold(e.memory, right, e.reviews ? std::max(0.0, now - e.last) : 0);
            e.first = e.reviews ? e.first : now;
            e.last = e.reviews ? std::max(e.last, now) : now;
            ++e.reviews;
            e.lapses += right ? 0 : 1;
        }
        QCOMPARE(learner.Size(), expected.size());
        QVERIFY(expected.size() > 12000);   // the table nearly half full: long probes
        for (const auto& [k, e] : expected) {
            const Card* c = learner.Find({std::get<0>(k), std::get<1>(k), std::get<2>(k)});
            QVERIFY(c);
            QVERIFY(c->memory.stability == e.memory->stability && c->memory.difficulty == e.memory->difficulty);
            QVERIFY(c->lastReview == e.last && c->firstReview == e.first);
            QCOMPARE(c->reviews, e.reviews);
            QCOMPARE(c->lapses, e.lapses);
        }
        QVERIFY(!learner.Find({record::kSourceBank, "1000", 0}));
        QVERIFY(!learner.Find({"other", "1", 0}));
        QVERIFY(!Learner().Find(Bank(1)));
    }

    // The outlook is loaded again only when one of the files it reads changed.
    void outlookCacheLoadsOncePerChange()
    {
        QTemporaryDir dir;
        const std::string path = dir.path().toStdString() + "/";
        std::vector<Row> rows;
        for (const char* bango : {"0001", "0002"})
            rows.push_back({Value(0), Value(10), Value(0), Value(bango), Value(0), Value(1), Value("k"), Value(1),
                            Value::Null(), Value("q")});
        Table::CreateFile(path + layouts::kBankFile, layouts::Bank(), rows);
        OutlookCache cache;
        QCOMPARE(cache.Get(path).statements.size(), 2u);
        QCOMPARE(cache.Get(path).learner.Size(), 0u);
        QCOMPARE(cache.Loads(), 1);

        record::LearningRecord rec;
        rec.Open(path + record::kFileName);
        const std::int64_t s = rec.BeginSession({record::kDrill, 0, {}});
        QCOMPARE(cache.Get(path).learner.Size(), 0u);   // a session, no answer yet: reloaded
        const int loads = cache.Loads();
        QCOMPARE(loads, 2);
        rec.AddAnswer(s, {record::kSourceBank, "0001", 0, {}, 1, true, {}});
        QCOMPARE(cache.Get(path).learner.Size(), 1u);
        rec.AddAnswer(s, {record::kSourceBank, "0002", 0, {}, 1, true, {}});
        QCOMPARE(cache.Get(path).learner.Size(), 2u);
        QCOMPARE(cache.Get(path).learner.Size(), 2u);
        QCOMPARE(cache.Loads(), loads + 2);

        // Another bank file put in the old one's place.
        rows.pop_back();
        Table::CreateFile(path + "next.cds", layouts::Bank(), rows);
        QVERIFY(QFile::remove(QString::fromStdString(path + layouts::kBankFile)));
        QVERIFY(QFile::rename(QString::fromStdString(path + "next.cds"), QString::fromStdString(path + layouts::kBankFile)));
        QCOMPARE(cache.Get(path).statements.size(), 1u);
        QCOMPARE(cache.Loads(), loads + 3);
        QCOMPARE(cache.Get(dir.path().toStdString() + "/./").statements.size(), 1u);   // another directory's name
        QCOMPARE(cache.Loads(), loads + 4);
    }

    // A replay taken up from its keep file gives the cards a whole replay gives, and is taken up
    // only by the record it was made from.
    void aKeptReplayIsTakenUpOnlyForItsOwnRecord()
    {
        QTemporaryDir dir;
        auto answer = [](record::LearningRecord& rec, int from, int count) {
            const std::int64_t s = rec.BeginSession({record::kDrill, 0, {}});
            for (int i = from; i < from + count; ++i)
                rec.AddAnswer(s, {record::kSourceBank, std::to_string(1000 + i % 7), 0, {}, i % 3 ? 1 : 0, i % 3 != 0, {}});
        };
        auto same = [](const Learner& a, const Learner& b) {
            if (!(a.Keys() == b.Keys()) || a.Cards().size() != b.Cards().size())
                return false;
            for (std::size_t i = 0; i < a.Cards().size(); ++i) {
                const Card &x = a.Cards()[i], &y = b.Cards()[i];
                if (x.memory.difficulty != y.memory.difficulty || x.memory.stability != y.memory.stability ||
                    x.lastReview != y.lastReview || x.firstReview != y.firstReview || x.reviews != y.reviews ||
                    x.lapses != y.lapses)
                    return false;
            }
            return true;
        };
        const std::string keep = dir.filePath("memory/a.replay").toStdString();
        const std::string pathA = dir.filePath("a.sqlite").toStdString();
        record::LearningRecord a;
        a.Open(pathA);
        answer(a, 0, 12);
        ReplayReport r;
        QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
        QVERIFY(!r.resumed && r.replayed == 12 && r.kept);

        answer(a, 12, 5);
        QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
        QVERIFY(r.resumed && r.replayed == 5 && r.kept);
        QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
        QVERIFY(r.resumed && r.replayed == 0 && !r.kept);

        // Another pupil's record of as many answers, each another statement's.
        record::LearningRecord b;
        b.Open(dir.filePath("b.sqlite").toStdString());
        answer(b, 1, 17);
        QVERIFY(same(ReplayKept(b, keep, &r), Replay(b)));
        QVERIFY(!r.resumed && r.kept);
        QCOMPARE(QFileInfo(dir.filePath("memory")).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A record that ends before the kept answer.
        record::LearningRecord c;
        c.Open(dir.filePath("c.sqlite").toStdString());
        answer(c, 0, 4);
        QVERIFY(same(ReplayKept(c, keep, &r), Replay(c)));
        QVERIFY(!r.resumed && r.kept);

        // The same record with an answer taken out before the kept one: as many answers are no
        // longer there before it.
        QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
        a.Close();
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(pathA.c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "DELETE FROM answers WHERE id = 3", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        a.Open(pathA);
        QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
        QVERIFY(!r.resumed);

        // A damaged keep file is passed over, and one that cannot be written is no error.
        {
            QFile f(QString::fromStdString(keep));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(f.size() - 9));
        }
        QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
        QVERIFY(!r.resumed && r.kept);
        // Kept in another format under the same magic, or cut right after the model's parameters.
        QFile keptFile(QString::fromStdString(keep));
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        const QByteArray whole = keptFile.readAll();
        keptFile.close();
        QByteArray otherFormat = whole;
        otherFormat[7] = char(otherFormat[7] ^ 4);
        for (const QByteArray& damaged : {otherFormat, whole.left(8 + 8 * qsizetype(MemoryModel().Parameters().size()))}) {
            QVERIFY(keptFile.open(QIODevice::WriteOnly | QIODevice::Truncate) && keptFile.write(damaged) == damaged.size());
            keptFile.close();
            QVERIFY(same(ReplayKept(a, keep, &r), Replay(a)));
            QVERIFY(!r.resumed && r.kept);
        }
        QVERIFY(same(ReplayKept(a, dir.filePath("a.sqlite/keep").toStdString(), &r), Replay(a)));
        QVERIFY(!r.resumed && !r.kept);
        QVERIFY(QDir().mkpath(dir.filePath("memory/folder.replay")));   // a folder in the file's place
        QVERIFY(same(ReplayKept(a, dir.filePath("memory/folder.replay").toStdString(), &r), Replay(a)));
        QVERIFY(!r.resumed && !r.kept);
    }

    void replaysTheRecordInOrder()
    {
        QTemporaryDir dir;
        record::LearningRecord rec;
        rec.Open(dir.filePath("kiroku.sqlite").toStdString());
        const std::int64_t drill = rec.BeginSession({record::kDrill, 0, {}});
        rec.AddAnswer(drill, {record::kSourceBank, "1001", 0, 101, 1, true, {}});
        rec.AddAnswer(drill, {record::kSourceBank, "1001", 0, 101, 0, false, {}});
        const std::int64_t mock = rec.BeginSession({"mock-honmen", {}, 7});
        rec.AddAnswers(mock, {{record::kSourceHazard, "0001", 2, 201, 1, true, {}},
                              {record::kSourceBank, "1002", 0, 101, -1, false, {}}});

        const Learner learner = Replay(rec);
        QCOMPARE(int(learner.Size()), 2);   // the unanswered one is no review
        const Card* c = learner.Find(Bank(1));
        QVERIFY(c);
        QCOMPARE(c->reviews, 2);
        QCOMPARE(c->lapses, 1);
        // Right then wrong: the lapse came last.
        const MemoryModel m;
        QCOMPARE(c->memory.stability, m.ReviewAnswer(m.ReviewAnswer(std::nullopt, true, 0), false, 0).stability);
        QVERIFY(learner.Find({record::kSourceHazard, "0001", 2}));
        QVERIFY(!learner.Find({record::kSourceHazard, "0001", 1}));
    }
};

QTEST_GUILESS_MAIN(TestStudy)
#include "tst_study.moc"
