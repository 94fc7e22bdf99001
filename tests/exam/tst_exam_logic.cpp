// The exam's logic without a window: the draw, the clock, grading, practice sets, and reading a
// data directory's bank and hazard file.

#include "ExamClock.h"
#include "Exception.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Paper.h"
#include "QuestionStore.h"
#include "Table.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

using namespace exam;
using namespace std::chrono_literals;

namespace {

// The position of field NAME in FIELDS.
std::size_t IndexIn(const std::vector<FieldDef>& fields, const std::string& name)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return i;
    throw std::logic_error("no field " + name);
}

// A pool built by what matters to the draw: how many statements of which KariHon and Bunrui.
struct PoolBuilder {
    Pool pool;
    PoolBuilder& Statements(int count, int karihon, std::optional<int> bunrui = std::nullopt,
                            bool figure = false)
    {
        for (int i = 0; i < count; ++i) {
            BankStatement s;
            s.row = int(pool.statements.size());
            s.bango = std::to_string(s.row);
            s.karihon = karihon;
            s.bunrui = bunrui;
            s.seikai = s.row % 2;
            s.hasFigure = figure;
            pool.statements.push_back(s);
        }
        if (bunrui)
            pool.hasBunrui = true;
        return *this;
    }
    PoolBuilder& Hazards(int count)
    {
        for (int i = 0; i < count; ++i) {
            HazardItem h;
            h.row = int(pool.hazards.size());
            h.bango = "H" + std::to_string(h.row);
            h.bunrui = 201;
            h.seikai = {1, 0, 1};
            pool.hazards.push_back(h);
        }
        return *this;
    }
};

std::set<std::pair<int, int>> Drawn(const Paper& p)
{
    std::set<std::pair<int, int>> seen;
    for (const Question& q : p.questions)
        seen.insert({int(q.kind), q.row});
    return seen;
}

// Answers every question right, then spoils the first WRONG statements.
Answers RightBut(const Paper& p, int wrongStatements)
{
    Answers a = BlankAnswers(p);
    for (std::size_t i = 0; i < p.questions.size(); ++i) {
        a[i] = p.questions[i].right;
        if (!p.questions[i].IsHazard() && wrongStatements > 0) {
            a[i][0] = 1 - a[i][0];
            --wrongStatements;
        }
    }
    return a;
}

}  // namespace

class TestExamLogic : public QObject {
    Q_OBJECT
private slots:
    void karimenDrawsFirstStageOnly()
    {
        const Pool pool = PoolBuilder().Statements(60, 1).Statements(40, 2).Statements(10, 0).pool;
        const Paper p = DrawMock(Test::Karimen, pool, 7);
        QCOMPARE(p.questions.size(), 50u);
        QCOMPARE(Drawn(p).size(), 50u);   // no repeats
        for (const Question& q : p.questions) {
            QVERIFY(!q.IsHazard());
            QCOMPARE(pool.statements[std::size_t(q.row)].karihon, 1);
        }
        QCOMPARE(p.maxScore, 50);
        QCOMPARE(p.passMark, 45);
        QCOMPARE(p.timeLimit, std::chrono::seconds(30min));
        QVERIFY(p.note.empty());
    }

    void honmenDrawsBothStagesAndFiveHazardItemsLast()
    {
        const Pool pool = PoolBuilder().Statements(50, 1).Statements(50, 2).Statements(20, 3).Hazards(8).pool;
        const Paper p = DrawMock(Test::Honmen, pool, 7);
        QCOMPARE(p.questions.size(), 95u);
        QCOMPARE(Drawn(p).size(), 95u);
        bool second = false;
        for (std::size_t i = 0; i < 90; ++i) {
            QVERIFY(!p.questions[i].IsHazard());
            const int k = pool.statements[std::size_t(p.questions[i].row)].karihon;
            QVERIFY(k == 1 || k == 2);
            second = second || k == 2;
        }
        QVERIFY(second);
        for (std::size_t i = 90; i < 95; ++i)
            QVERIFY(p.questions[i].IsHazard());
        QCOMPARE(p.maxScore, 100);
        QCOMPARE(p.passMark, 90);
        QCOMPARE(p.timeLimit, std::chrono::seconds(50min));
    }

    void tooFewStatementsNamesTheCounts()
    {
        const Pool pool = PoolBuilder().Statements(49, 1).Statements(100, 2).pool;
        try {
            DrawMock(Test::Karimen, pool, 1);
            QFAIL("drawn from 49 statements");
        } catch (const Exception& e) {
            const QString m = QString::fromStdString(e.Message());
            QVERIFY2(m.startsWith("仮免") && m.contains("50問") && m.contains("49問"), qPrintable(m));
        }
        try {
            DrawMock(Test::Honmen, PoolBuilder().Statements(89, 2).Hazards(5).pool, 1);
            QFAIL("drawn from 89 statements");
        } catch (const Exception& e) {
            const QString m = QString::fromStdString(e.Message());
            QVERIFY2(m.startsWith("本免") && m.contains("90問") && m.contains("89問"), qPrintable(m));
        }
        // Exactly enough is enough, and the 本免 counts the second stage too.
        QCOMPARE(DrawMock(Test::Karimen, PoolBuilder().Statements(50, 1).pool, 1).questions.size(), 50u);
    }

    void honmenWithoutHazardItemsRunsAtNinetyPoints()
    {
        for (int hazards : {0, 4}) {
            Pool pool = PoolBuilder().Statements(100, 1).Hazards(hazards).pool;
            if (hazards == 0)
                pool.hazardProblem = "ファイルがありません。";
            const Paper p = DrawMock(Test::Honmen, pool, 3);
            QCOMPARE(p.questions.size(), 90u);
            QCOMPARE(p.maxScore, 90);
            QCOMPARE(p.passMark, 81);
            const QString note = QString::fromStdString(p.note);
            QVERIFY2(note.contains("81点"), qPrintable(note));
            QVERIFY(note.contains(hazards == 0 ? "ファイルがありません" : "4問"));
        }
    }

    void spreadFollowsTheSyllabusShares()
    {
        // 300 : 150 : 50 of 500 gives 30 : 15 : 5 of 50 exactly.
        Pool pool = PoolBuilder().Statements(300, 1, 101).Statements(150, 1, 102).Statements(50, 1, 103).pool;
        std::map<int, int> got;
        for (const Question& q : DrawMock(Test::Karimen, pool, 11).questions)
            ++got[*q.bunrui];
        QCOMPARE(got, (std::map<int, int>{{101, 30}, {102, 15}, {103, 5}}));

        // Remainders: 100 : 100 : 100 : 6 of 306 gives 16.34 each and 0.98; the spare places go
        // to the largest remainders (the small item first, then the lowest code of a tie).
        pool = PoolBuilder().Statements(100, 1, 101).Statements(100, 1, 102).Statements(100, 1, 103)
                   .Statements(6, 1, 104).pool;
        got.clear();
        for (const Question& q : DrawMock(Test::Karimen, pool, 5).questions)
            ++got[*q.bunrui];
        QCOMPARE(got, (std::map<int, int>{{101, 17}, {102, 16}, {103, 16}, {104, 1}}));

        // The drawn statements are mixed, not grouped by item.
        const Paper p = DrawMock(Test::Karimen, pool, 5);
        int changes = 0;
        for (std::size_t i = 1; i < p.questions.size(); ++i)
            changes += p.questions[i].bunrui != p.questions[i - 1].bunrui;
        QVERIFY(changes > 10);
    }

    void sameSeedSameDraw()
    {
        const Pool pool = PoolBuilder().Statements(200, 1, 101).Statements(200, 2, 201).Hazards(20).pool;
        const auto rows = [](const Paper& p) {
            std::vector<int> r;
            for (const Question& q : p.questions)
                r.push_back(q.row);
            return r;
        };
        QCOMPARE(rows(DrawMock(Test::Honmen, pool, 42)), rows(DrawMock(Test::Honmen, pool, 42)));
        QVERIFY(rows(DrawMock(Test::Honmen, pool, 42)) != rows(DrawMock(Test::Honmen, pool, 43)));
        QCOMPARE(DrawMock(Test::Honmen, pool, -5).seed, -5);
        // Another seed draws other statements of each item, not only another order.
        const auto drawnSet = [&](std::int64_t seed) {
            const std::vector<int> r = rows(DrawMock(Test::Karimen, pool, seed));
            return std::set<int>(r.begin(), r.end());
        };
        QVERIFY(drawnSet(42) != drawnSet(43));
        // Without syllabus codes too.
        const Pool plain = PoolBuilder().Statements(300, 1).pool;
        QCOMPARE(rows(DrawMock(Test::Karimen, plain, 9)), rows(DrawMock(Test::Karimen, plain, 9)));
        QVERIFY(rows(DrawMock(Test::Karimen, plain, 9)) != rows(DrawMock(Test::Karimen, plain, 10)));
    }

    void clockCountsDownAndStopsAtZero()
    {
        qint64 now = 1000;
        ExamClock clock(30min, [&now] { return now; });
        QCOMPARE(ExamClock::Format(clock.Remaining()), QStringLiteral("30:00"));
        QVERIFY(!clock.Expired());
        now = 5000;   // time before the start does not count
        clock.Start();
        now += 1;
        QCOMPARE(ExamClock::Format(clock.Remaining()), QStringLiteral("30:00"));
        now = 5000 + (29 * 60 + 59) * 1000 + 1;
        QCOMPARE(ExamClock::Format(clock.Remaining()), QStringLiteral("0:01"));
        QVERIFY(!clock.Expired());
        now = 5000 + 30 * 60 * 1000;
        QVERIFY(clock.Expired());
        QCOMPARE(ExamClock::Format(clock.Remaining()), QStringLiteral("0:00"));
        now += 3'600'000;
        QCOMPARE(clock.Remaining(), 0ms);
        QCOMPARE(clock.Used(), std::chrono::milliseconds(30min));
        QCOMPARE(ExamClock::Format(std::chrono::milliseconds(50min)), QStringLiteral("50:00"));

        // The program's own clock runs.
        ExamClock real(1min);
        real.Start();
        QTest::qWait(60);
        QVERIFY(real.Used() >= 50ms && real.Used() < 1min);
    }

    void gradingCountsHazardItemsAsUnits()
    {
        const Pool pool = PoolBuilder().Statements(100, 1, 101).Hazards(5).pool;
        const Paper p = DrawMock(Test::Honmen, pool, 1);
        Answers a = RightBut(p, 0);
        Result r = Grade(p, a);
        QCOMPARE(r.score, 100);
        QVERIFY(r.passed);

        // One sub-answer wrong costs the whole item: 98.
        a[90][1] = 1 - a[90][1];
        r = Grade(p, a);
        QCOMPARE(r.score, 98);
        QVERIFY(!r.questions[90].right);
        QCOMPARE(r.questions[90].points, 0);
        QCOMPARE(r.questions[90].partRight, (std::array<bool, 3>{true, false, true}));
        QCOMPARE(r.questions[91].points, 2);
        // Categories: the hazard items' 201 and the statements' 101.
        QCOMPARE(r.categories.size(), 2u);
        QCOMPARE(r.categories[0].bunrui, 101);
        QCOMPARE(r.categories[0].score, 90);
        QCOMPARE(r.categories[1].score, 8);
        QCOMPARE(r.categories[1].maxScore, 10);
    }

    void passMarks()
    {
        const Pool pool = PoolBuilder().Statements(100, 1).Hazards(5).pool;
        const Paper honmen = DrawMock(Test::Honmen, pool, 1);
        QCOMPARE(Grade(honmen, RightBut(honmen, 11)).score, 89);
        QVERIFY(!Grade(honmen, RightBut(honmen, 11)).passed);
        QCOMPARE(Grade(honmen, RightBut(honmen, 10)).score, 90);
        QVERIFY(Grade(honmen, RightBut(honmen, 10)).passed);

        const Paper karimen = DrawMock(Test::Karimen, pool, 1);
        QCOMPARE(Grade(karimen, RightBut(karimen, 6)).score, 44);
        QVERIFY(!Grade(karimen, RightBut(karimen, 6)).passed);
        QCOMPARE(Grade(karimen, RightBut(karimen, 5)).score, 45);
        QVERIFY(Grade(karimen, RightBut(karimen, 5)).passed);
    }

    void unansweredIsWrongAndRecordedAsMinusOne()
    {
        Pool pool = PoolBuilder().Statements(100, 1).Hazards(5).pool;
        // A right answer that no answer can give must not make an unanswered one right.
        for (BankStatement& s : pool.statements)
            s.seikai = kUnanswered;
        const Paper p = DrawMock(Test::Honmen, pool, 2);
        Answers a = BlankAnswers(p);
        a[0][0] = 1;
        a[94] = {1, 0, kUnanswered};
        const Result r = Grade(p, a);
        QCOMPARE(r.score, 0);
        QCOMPARE(r.unanswered, 94);
        QCOMPARE(CountUnanswered(p, a), 94);

        const std::vector<record::Answer> rec = RecordAnswers(p, a);
        QCOMPARE(rec.size(), 90u + 15u);
        QCOMPARE(rec[0].answer, 1);
        QCOMPARE(rec[1].answer, -1);
        QVERIFY(!rec[1].correct);
        QCOMPARE(rec[1].source, std::string(record::kSourceBank));
        QCOMPARE(rec[1].item, 0);
        const record::Answer& last = rec.back();
        QCOMPARE(last.source, std::string(record::kSourceHazard));
        QCOMPARE(last.item, 3);
        QCOMPARE(last.answer, -1);
        QCOMPARE(rec[rec.size() - 3].item, 1);
        QVERIFY(rec[rec.size() - 3].correct);   // 1 against 正
        QVERIFY(rec[rec.size() - 2].correct);   // 0 against 誤
    }

    void missedSetHoldsEveryMissedQuestion()
    {
        // A 本免 mock with 60 statements and every hazard item missed: 65 questions, more than
        // the 50 another practice set holds, each of them once, the hazard items among them.
        const Pool pool = PoolBuilder().Statements(120, 1, 101).Hazards(8).pool;
        const Paper mock = DrawMock(Test::Honmen, pool, 9);
        Answers a = RightBut(mock, 60);
        for (std::size_t i = 0; i < mock.questions.size(); ++i)
            if (mock.questions[i].IsHazard())
                a[i][2] = 1 - a[i][2];
        const Paper missed = PracticeMissed(mock, Grade(mock, a), 1);
        QCOMPARE(missed.questions.size(), 65u);
        QCOMPARE(Drawn(missed).size(), 65u);
        QCOMPARE(std::count_if(missed.questions.begin(), missed.questions.end(),
                               [](const Question& q) { return q.IsHazard(); }), 5);
    }

    void practiceSets()
    {
        const Pool pool = PoolBuilder().Statements(30, 1, 101).Statements(80, 2, 202).Hazards(3).pool;
        const Paper mock = DrawMock(Test::Honmen, pool, 4);   // no hazard items: 90 statements
        const Result r = Grade(mock, RightBut(mock, 7));
        const Paper missed = PracticeMissed(mock, r, 1);
        QVERIFY(missed.IsPractice());
        QCOMPARE(missed.questions.size(), 7u);
        QCOMPARE(missed.timeLimit, std::chrono::seconds(0));
        for (const Question& q : missed.questions) {
            const auto it = std::find_if(mock.questions.begin(), mock.questions.end(),
                                         [&](const Question& m) { return m.row == q.row; });
            QVERIFY(!r.questions[std::size_t(it - mock.questions.begin())].right);
        }

        const Paper item = PracticeCategory(pool, 101, 1);
        QCOMPARE(item.questions.size(), 30u);
        QCOMPARE(PracticeCategory(pool, 202, 1).questions.size(), std::size_t(kPracticeSize));
        QCOMPARE(PracticeCategory(pool, 999, 1).questions.size(), 0u);

        const std::vector<record::LatestResult> latest{
            {record::kSourceBank, "3", 0, 101, false, ""},
            {record::kSourceBank, "4", 0, 101, true, ""},
            {record::kSourceHazard, "H1", 2, 201, false, ""},
            {record::kSourceHazard, "H1", 3, 201, false, ""},
            {record::kSourceBank, "H2", 0, 201, false, ""},   // a bank Bango, not the hazard item
        };
        const Paper wrong = PracticeLatestWrong(pool, latest, 1);
        QCOMPARE(wrong.questions.size(), 2u);
        std::set<std::string> names;
        for (const Question& q : wrong.questions)
            names.insert(q.bango);
        QCOMPARE(names, (std::set<std::string>{"3", "H1"}));

        const Paper hazards = PracticeHazards(pool, 1);
        QCOMPARE(hazards.questions.size(), 3u);
        QCOMPARE(hazards.maxScore, 6);
    }

    // 今日の復習's set keeps the queue's order (lowest recall first), asks a hazard item once
    // however many of its parts are due, leaves out what the bank no longer holds, and is not
    // cut to a practice set's size: the queue has its own caps.
    void practiceInOrderKeepsTheQueue()
    {
        const Pool pool = PoolBuilder().Statements(80, 1, 101).Hazards(3).pool;
        std::vector<QuestionKey> keys{{record::kSourceHazard, "H2"}, {record::kSourceBank, "7"},
                                      {record::kSourceHazard, "H2"}, {record::kSourceBank, "gone"},
                                      {record::kSourceBank, "H1"}, {record::kSourceBank, "3"}};
        const Paper p = PracticeInOrder(pool, keys, 1);
        QStringList order;
        for (const Question& q : p.questions)
            order << QString::fromStdString(q.bango);
        QCOMPARE(order, (QStringList{"H2", "7", "3"}));
        QVERIFY(p.IsPractice());
        QCOMPARE(p.maxScore, 4);
        keys.clear();
        for (int i = 79; i >= 0; --i)   // the bank's Bango run 0..79
            keys.push_back({record::kSourceBank, std::to_string(i)});
        const Paper all = PracticeInOrder(pool, keys, 1);
        QCOMPARE(all.questions.size(), 80u);
        QCOMPARE(all.questions.front().bango, std::string("79"));
    }

    // ---- The tests' definitions ----

    // Each mock as its test is set: how many statements of which stage, the hazard items, the
    // scope, the time and the pass mark at its boundary. The pool holds every kind of statement,
    // most of them with a figure, so that a wrong scope shows in every draw.
    void eachMockDrawsFromItsDefinition_data()
    {
        QTest::addColumn<int>("test");
        QTest::addColumn<int>("statements");
        QTest::addColumn<int>("hazards");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("passMark");
        QTest::addColumn<int>("maxScore");
        QTest::addColumn<bool>("secondStage");
        QTest::addColumn<bool>("figures");
        QTest::newRow("仮免") << int(Test::Karimen) << 50 << 0 << 30 << 45 << 50 << false << true;
        QTest::newRow("本免") << int(Test::Honmen) << 90 << 5 << 50 << 90 << 100 << true << true;
        QTest::newRow("外免切替") << int(Test::Gaimen) << 50 << 0 << 30 << 45 << 50 << true << false;
    }
    void eachMockDrawsFromItsDefinition()
    {
        QFETCH(int, test);
        QFETCH(int, statements);
        QFETCH(int, hazards);
        QFETCH(int, minutes);
        QFETCH(int, passMark);
        QFETCH(int, maxScore);
        QFETCH(bool, secondStage);
        QFETCH(bool, figures);
        const Pool pool = PoolBuilder()
                              .Statements(40, 1, 101).Statements(120, 1, 102, true)
                              .Statements(40, 2, 201).Statements(120, 2, 202, true)
                              .Statements(50, 0).Statements(50, 3).Hazards(8).pool;
        std::set<std::set<int>> hazardSets;
        for (std::int64_t seed : {1, 2, 3}) {
            const Paper p = DrawMock(Test(test), pool, seed);
            QCOMPARE(p.test, std::optional<Test>(Test(test)));
            QCOMPARE(p.timeLimit, std::chrono::seconds(std::chrono::minutes(minutes)));
            QCOMPARE(p.maxScore, maxScore);
            QCOMPARE(p.passMark, passMark);
            QCOMPARE(Drawn(p).size(), p.questions.size());
            int drawnStatements = 0, drawnHazards = 0, second = 0, withFigure = 0;
            std::set<int> hazardRows;
            for (const Question& q : p.questions) {
                if (q.IsHazard()) {
                    ++drawnHazards;
                    hazardRows.insert(q.row);
                    QCOMPARE(q.Points(), 2);
                    continue;
                }
                ++drawnStatements;
                QCOMPARE(q.Points(), 1);
                const BankStatement& s = pool.statements[std::size_t(q.row)];
                QVERIFY2(s.karihon == 1 || s.karihon == 2, qPrintable(QString::number(s.karihon)));
                second += s.karihon == 2;
                withFigure += s.hasFigure;
            }
            QCOMPARE(drawnStatements, statements);
            QCOMPARE(drawnHazards, hazards);
            hazardSets.insert(hazardRows);
            QCOMPARE(second > 0, secondStage);
            QCOMPARE(withFigure > 0, figures);
            // The boundary: one point short fails, the pass mark passes.
            const int spare = maxScore - passMark;
            QCOMPARE(Grade(p, RightBut(p, spare + 1)).score, passMark - 1);
            QVERIFY(!Grade(p, RightBut(p, spare + 1)).passed);
            QCOMPARE(Grade(p, RightBut(p, spare)).score, passMark);
            QVERIFY(Grade(p, RightBut(p, spare)).passed);
        }
        // Another seed draws other hazard items too, not always the first of the file.
        QCOMPARE(hazardSets.size() > 1, hazards > 0);
    }

    // The 外免切替 mock counts only statements without a figure as drawable.
    void textOnlyScopeCountsTextStatementsOnly()
    {
        const Pool pool = PoolBuilder().Statements(30, 1).Statements(19, 2).Statements(200, 1, {}, true).pool;
        try {
            DrawMock(Test::Gaimen, pool, 1);
            QFAIL("drawn from 49 statements without a figure");
        } catch (const Exception& e) {
            const QString m = QString::fromStdString(e.Message());
            QVERIFY2(m.startsWith("外免切替") && m.contains("50問") && m.contains("49問"), qPrintable(m));
        }
        QCOMPARE(DrawMock(Test::Karimen, pool, 1).questions.size(), 50u);
    }

    // Every test is found by its command-line word and its stored kind, and the learning record
    // takes its sessions.
    void definitionsAreFoundAndRecorded()
    {
        QTemporaryDir dir;
        record::LearningRecord rec;
        rec.Open(dir.filePath("kiroku.sqlite").toStdString());
        std::set<std::string> keys, kinds;
        for (Test test : {Test::Karimen, Test::Honmen, Test::Gaimen}) {
            const TestDefinition& d = Definition(test);
            QCOMPARE(d.test, test);
            QCOMPARE(FindByKey(d.key), &d);
            QCOMPARE(FindBySessionKind(d.sessionKind), &d);
            keys.insert(d.key);
            kinds.insert(d.sessionKind);
            rec.EndGradedSession(rec.BeginSession({d.sessionKind, std::nullopt, 1}), d.PassMark(),
                                 d.MaxScore(), d.PassMark());
        }
        QCOMPARE(keys, (std::set<std::string>{"karimen", "honmen", "gaimen"}));
        QCOMPARE(kinds, (std::set<std::string>{"mock-karimen", "mock-honmen", "mock-gaimen"}));
        QCOMPARE(rec.Sessions().size(), 3u);
        QCOMPARE(FindByKey("Gaimen"), nullptr);
        QCOMPARE(FindByKey(""), nullptr);
        QCOMPARE(FindBySessionKind("gaimen"), nullptr);
        QCOMPARE(Keys(), std::string("karimen|honmen|gaimen"));
        QCOMPARE(MenuCaption(Definition(Test::Honmen)), QStringLiteral("本免 模擬試験 ▶\n95問・50分"));
    }

    // A pool with many more hazard items than a mock asks (the sample bank has 47): each mock
    // draws five different ones, other seeds other ones, and over many mocks every item comes up.
    void hazardItemsAreDrawnFromTheWholePool()
    {
        const Pool pool = PoolBuilder().Statements(100, 1, 101).Hazards(47).pool;
        const auto hazardRows = [&](std::int64_t seed) {
            std::vector<int> rows;
            for (const Question& q : DrawMock(Test::Honmen, pool, seed).questions)
                if (q.IsHazard())
                    rows.push_back(q.row);
            return rows;
        };
        std::set<int> seen;
        std::set<std::set<int>> distinctDraws;
        for (std::int64_t seed = 1; seed <= 200; ++seed) {
            const std::vector<int> rows = hazardRows(seed);
            const std::set<int> drawn(rows.begin(), rows.end());
            QCOMPARE(drawn.size(), 5u);
            seen.insert(drawn.begin(), drawn.end());
            distinctDraws.insert(drawn);
        }
        QCOMPARE(seen.size(), 47u);
        QVERIFY(*seen.rbegin() == 46);
        QVERIFY(distinctDraws.size() > 150);   // 1,533,939 possible draws of 5 from 47
        QCOMPARE(hazardRows(8), hazardRows(8));
    }

    // A practice set cut to its cap is a random part of the whole, in random order: other
    // seeds give other questions, no question twice, and none is left out for good.
    void practiceSetsLargerThanTheCapAreDrawnAtRandom()
    {
        const Pool pool = PoolBuilder().Statements(120, 1, 101).Statements(10, 1, 102).Hazards(47).pool;
        const auto rows = [](const Paper& p) {
            std::vector<int> r;
            for (const Question& q : p.questions)
                r.push_back(q.row);
            return r;
        };
        std::set<int> seen;
        std::set<std::set<int>> distinctSets;
        for (std::int64_t seed = 1; seed <= 60; ++seed) {
            const Paper p = PracticeCategory(pool, 101, seed);
            const std::vector<int> r = rows(p);
            const std::set<int> unique(r.begin(), r.end());
            QCOMPARE(unique.size(), std::size_t(kPracticeSize));
            QCOMPARE(p.maxScore, kPracticeSize);
            for (const Question& q : p.questions)
                QCOMPARE(q.bunrui, 101);
            seen.insert(unique.begin(), unique.end());
            distinctSets.insert(unique);
        }
        QCOMPARE(seen.size(), 120u);
        QVERIFY(distinctSets.size() > 50);

        // Under the cap every item is asked, in an order that changes with the seed.
        const std::vector<int> a = rows(PracticeHazards(pool, 1));
        const std::vector<int> b = rows(PracticeHazards(pool, 2));
        QCOMPARE(std::set<int>(a.begin(), a.end()).size(), 47u);
        QCOMPARE(std::set<int>(b.begin(), b.end()).size(), 47u);
        QVERIFY(a != b);
        QVERIFY(!std::is_sorted(a.begin(), a.end()));
        QCOMPARE(PracticeHazards(pool, 1).maxScore, 94);
    }

    // The learning record keeps each mock's seed so that its paper can be drawn again: a seed
    // must draw the same paper in every later build. These rows are the draw this program has
    // made since the seed was first stored; a change to the draw (one random number more or
    // less, another order of steps) shows here first.
    void aStoredSeedDrawsTheSamePaperAgain()
    {
        const auto rows = [](const Paper& p, std::size_t from, std::size_t count) {
            std::vector<int> r;
            for (std::size_t i = from; i < from + count && i < p.questions.size(); ++i)
                r.push_back(p.questions[i].row);
            return r;
        };
        const Pool syllabus = PoolBuilder().Statements(40, 1, 101).Statements(25, 1, 102).Statements(13, 1, 103).pool;
        QCOMPARE(rows(DrawMock(Test::Karimen, syllabus, 2026), 0, 12),
                 (std::vector<int>{60, 77, 16, 1, 38, 54, 71, 45, 57, 18, 19, 58}));
        const Paper honmen = DrawMock(Test::Honmen, PoolBuilder().Statements(120, 2).Hazards(12).pool, 7);
        QCOMPARE(rows(honmen, 0, 10), (std::vector<int>{15, 68, 48, 33, 25, 103, 9, 95, 41, 23}));
        QCOMPARE(rows(honmen, 90, 5), (std::vector<int>{7, 9, 2, 0, 1}));
        QCOMPARE(rows(PracticeCategory(PoolBuilder().Statements(70, 1, 101).pool, 101, 5), 0, 10),
                 (std::vector<int>{12, 23, 54, 18, 60, 22, 9, 11, 28, 26}));
    }

    // Counting stops at the paper's last question. The paper and its answers here had one more
    // question, left unanswered and wrong, and were cut back: a count that ran one past the end
    // would find it in the memory the vectors keep.
    void countsStopAtThePapersEnd()
    {
        Paper p = DrawMock(Test::Karimen, PoolBuilder().Statements(60, 1).pool, 3);
        Answers a = RightBut(p, 0);
        a.back() = {kUnanswered, kUnanswered, kUnanswered};
        const Result r = Grade(p, a);
        p.questions.pop_back();
        a.pop_back();
        QCOMPARE(CountUnanswered(p, a), 0);

        // The missed questions of a result longer than its paper are those of the paper only.
        QCOMPARE(r.questions.size(), 50u);
        QVERIFY(!r.questions.back().right);
        QCOMPARE(PracticeMissed(p, r, 1).questions.size(), 0u);
    }

    // ---- Reading the data directory ----

    void storeReadsBankAndHazardFile()
    {
        QTemporaryDir dir;
        const std::string d = dir.path().toStdString() + "/";
        std::vector<FieldDef> bankFields = layouts::Bank();
        bankFields.push_back({"Bunrui", FieldType::Integer, 0});
        auto at = [&](const std::string& name) {
            for (std::size_t i = 0; i < bankFields.size(); ++i)
                if (bankFields[i].name == name)
                    return i;
            return std::size_t(0);
        };
        std::vector<Row> rows;
        for (int i = 0; i < 3; ++i) {
            Row r(bankFields.size());
            r[at("Bango")] = Value("000" + std::to_string(i));
            r[at("KariHon")] = Value(i + 1);
            r[at("Seikai")] = Value(i % 2);
            r[at("Mondai")] = Value("text" + std::to_string(i));
            if (i != 1)
                r[at("Bunrui")] = Value(101 + i);
            if (i == 2)
                r[at("Zu")] = Value(std::string("GIF89a-figure"));
            rows.push_back(r);
        }
        Table::CreateFile(d + layouts::kBankFile, bankFields, rows);

        QuestionStore store;
        store.Open(d);
        QVERIFY(store.pool().hasBunrui);
        QCOMPARE(store.pool().statements.size(), 3u);
        QCOMPARE(store.pool().statements[2].karihon, 3);
        QCOMPARE(store.pool().statements[1].seikai, 1);
        QCOMPARE(store.pool().statements[1].bunrui, std::nullopt);
        QCOMPARE(store.pool().statements[2].bunrui, 103);
        QVERIFY(store.pool().statements[2].hasFigure);
        QVERIFY(!store.pool().statements[0].hasFigure);
        QVERIFY(QString::fromStdString(store.pool().hazardProblem).contains("ありません"));
        Question q;
        q.row = 2;
        QCOMPARE(store.Text(q), QStringLiteral("text2"));
        QCOMPARE(store.Figure(q), QByteArray("GIF89a-figure"));
        q.row = 0;
        QVERIFY(store.Figure(q).isEmpty());

        // An empty hazard file, then one that is not a table file: a reason, no items.
        Table::CreateFile(d + layouts::kHazardFile, layouts::Hazard(), {});
        store.Open(d);
        QVERIFY(store.pool().hazards.empty());
        QVERIFY(QString::fromStdString(store.pool().hazardProblem).contains("問題がありません"));
        QFile garbage(dir.path() + "/kiken.cds");
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        garbage.write("not a table file at all");
        garbage.close();
        store.Open(d);
        QVERIFY(store.pool().hazards.empty());
        QVERIFY(QString::fromStdString(store.pool().hazardProblem).contains("読めません"));
        // The 本免 mock still runs, and says why it is shorter.
        std::vector<Row> many;
        for (int i = 0; i < 90; ++i) {
            Row r(bankFields.size());
            r[at("Bango")] = Value(std::to_string(1000 + i));
            r[at("KariHon")] = Value(2);
            many.push_back(r);
        }
        Table::CreateFile(d + layouts::kBankFile, bankFields, many);
        store.Open(d);
        const Paper p = DrawMock(Test::Honmen, store.pool(), 1);
        QCOMPARE(p.maxScore, 90);
        QVERIFY(QString::fromStdString(p.note).contains("読めません"));
    }

    // A hazard file of four items, read back item by item; the texts of rows just inside and just
    // outside each table; and a hazard file that is gone at the next opening takes its items with it.
    void storeReadsEveryHazardItemAndTheEdgesOfItsTables()
    {
        QTemporaryDir dir;
        const std::string d = dir.path().toStdString() + "/";
        // Bunrui as the bank's first field, ahead of the layout's own.
        std::vector<FieldDef> bankFields{{"Bunrui", FieldType::Integer, 0}};
        for (const FieldDef& f : layouts::Bank())
            bankFields.push_back(f);
        std::vector<Row> rows;
        for (int i = 0; i < 4; ++i) {
            Row r(bankFields.size());
            r[0] = Value(101 + i);
            r[1 + IndexIn(layouts::Bank(), "Bango")] = Value(std::to_string(i));
            r[1 + IndexIn(layouts::Bank(), "KariHon")] = Value(1);
            r[1 + IndexIn(layouts::Bank(), "Mondai")] = Value("text" + std::to_string(i));
            // Row 1's picture is stored but holds no byte: it has none.
            if (i < 2)
                r[1 + IndexIn(layouts::Bank(), "Zu")] = Value(std::string(i == 0 ? "GIF89a-0" : ""));
            rows.push_back(r);
        }
        Table::CreateFile(d + layouts::kBankFile, bankFields, rows);
        // Jokyo as the hazard file's first field.
        std::vector<FieldDef> hf = layouts::Hazard();
        std::rotate(hf.begin(), hf.begin() + std::ptrdiff_t(IndexIn(hf, "Jokyo")), hf.begin() + std::ptrdiff_t(IndexIn(hf, "Jokyo")) + 1);
        QCOMPARE(hf[0].name, std::string("Jokyo"));
        std::vector<Row> items;
        for (int i = 0; i < 4; ++i) {
            Row r(hf.size());
            r[IndexIn(hf, "Bango")] = Value("K" + std::to_string(i));
            r[IndexIn(hf, "Bunrui")] = Value(201 + i);
            r[IndexIn(hf, "Jokyo")] = Value("situation" + std::to_string(i));
            r[IndexIn(hf, "Zu")] = Value("PNG-" + std::to_string(i));
            for (int p = 0; p < 3; ++p) {
                const std::string n = std::to_string(p + 1);
                r[IndexIn(hf, "Mondai" + n)] = Value("item" + std::to_string(i) + "-" + n);
                r[IndexIn(hf, "Seikai" + n)] = Value((i + p) % 2);
            }
            items.push_back(r);
        }
        Table::CreateFile(d + layouts::kHazardFile, hf, items);

        QuestionStore store;
        store.Open(d);
        const Pool& pool = store.pool();
        QVERIFY(pool.hasBunrui);
        QCOMPARE(pool.statements[0].bunrui, 101);
        QCOMPARE(pool.statements[3].bunrui, 104);
        QVERIFY(pool.statements[0].hasFigure);
        QVERIFY(!pool.statements[1].hasFigure);   // so a text-only draw may take it
        QVERIFY(!pool.statements[2].hasFigure);
        QVERIFY(pool.hazardProblem.empty());
        QCOMPARE(pool.hazards.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            const HazardItem& h = pool.hazards[std::size_t(i)];
            QCOMPARE(h.row, i);
            QCOMPARE(h.bango, "K" + std::to_string(i));
            QCOMPARE(h.bunrui, 201 + i);
            for (int p = 0; p < 3; ++p)
                QCOMPARE(h.seikai[std::size_t(p)], (i + p) % 2);
        }

        Question s;   // a statement
        for (int row : {0, 3}) {
            s.row = row;
            QCOMPARE(store.Text(s), QStringLiteral("text%1").arg(row));
        }
        QCOMPARE(store.Figure(s), QByteArray());
        s.row = 0;
        QCOMPARE(store.Figure(s), QByteArray("GIF89a-0"));
        Question h;
        h.kind = Question::Kind::Hazard;
        h.bango = "K3";
        for (int row : {0, 3}) {
            h.row = row;
            QCOMPARE(store.Text(h, 2), QStringLiteral("item%1-3").arg(row));
            QCOMPARE(store.Situation(h), QStringLiteral("situation%1").arg(row));
            QCOMPARE(store.Figure(h), QByteArray("PNG-" + QByteArray::number(row)));
        }
        QVERIFY(store.Text(h, 3).isNull());   // no fourth part
        // Rows outside a table have no text and no picture.
        for (int row : {-1, 4}) {
            s.row = h.row = row;
            QVERIFY(store.Text(s).isNull());
            QVERIFY(store.Figure(s).isNull());
            QVERIFY(store.Text(h).isNull());
            QVERIFY(store.Figure(h).isNull());
        }

        QVERIFY(QFile::remove(QString::fromStdString(d + layouts::kHazardFile)));
        store.Open(d);
        QVERIFY(store.pool().hazards.empty());
        h.row = 0;
        QVERIFY_THROWS_EXCEPTION(Exception, store.Text(h));
    }
};

QTEST_GUILESS_MAIN(TestExamLogic)
#include "tst_exam_logic.moc"
