// The drill's arithmetic and the question search, without a window.
#include "Filter.h"
#include "Layouts.h"
#include "LiteralSearch.h"
#include "Scoring.h"
#include "Search.h"
#include "Table.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <random>

using namespace drill;

namespace {

struct Q {
    int nani;
    int nkaisu = 0;
    int karihon = 1;
    bool nullNani = false;
};

std::string Bango(std::size_t i)
{
    char b[8];
    std::snprintf(b, sizeof b, "%04zu", i + 1);
    return b;
}

// A bank file of these questions, numbered 0001.. in stored order; opened into TABLE.
void OpenBank(Table& table, const QTemporaryDir& dir, const std::vector<Row>& rows)
{
    const std::string path = dir.filePath("mondai.cds").toStdString();
    table.Close();
    Table::CreateFile(path, layouts::Bank(), rows);
    table.SetFilter("");
    table.SetFiltered(false);
    table.SetFileName(path);
    table.Open();
}

Row BankRow(std::size_t i, const Value& nani, const Value& nkaisu, const Value& karihon)
{
    return Row{nkaisu, nani, Value(0), Value(Bango(i)), Value(0), karihon,
               Value("k"), Value(1), Value(), Value("m")};
}

std::vector<Row> Rows(const std::vector<Q>& qs)
{
    std::vector<Row> rows;
    for (std::size_t i = 0; i < qs.size(); ++i)
        rows.push_back(BankRow(i, qs[i].nullNani ? Value() : Value(qs[i].nani), Value(qs[i].nkaisu),
                               Value(qs[i].karihon)));
    return rows;
}

// The loop of tries evaluated on the stored records themselves, each try's filter matched row by
// row (deleted records read as empty): the reference that the table's columns must not change.
struct RowResult {
    bool found = false;
    std::string filter;
    int limit = 0;
    std::string bango;
};
RowResult RowSearch(const Table& bank, int start, int limit, int maxLimit)
{
    const int bango = bank.FieldIndex("Bango");
    for (int n = start;;) {
        const std::string text = SearchFilter(n, limit);
        const Filter filter(text, bank.Fields());
        if (n < 0) {
            ++limit;
            n = start;
        } else {
            --n;
        }
        for (std::size_t r = 0; r < bank.StoredCount(); ++r) {
            Row row;
            for (std::size_t f = 0; f < bank.Fields().size(); ++f)
                row.push_back(bank.StoredValue(r, int(f)));
            if (filter.Matches(row))
                return {true, text, limit, bank.StoredValue(r, bango).bytes};
        }
        if (limit > maxLimit)
            return {};
    }
}

// The numbers of the view's records, in view order.
std::vector<std::string> ViewBangos(const Table& bank)
{
    std::vector<std::string> out;
    for (int i = 0; i < bank.RecordCount(); ++i)
        out.push_back(bank.ViewValue(i, bank.FieldIndex("Bango")).bytes);
    return out;
}

Value RandomCount(std::mt19937& rng, int lo, int hi)
{
    if (std::uniform_int_distribution<int>(0, 15)(rng) == 0)
        return Value();
    return Value(std::uniform_int_distribution<int>(lo, hi)(rng));
}

// Changes the bank as drills and tools do between searches: counters posted (some set to null),
// records appended and deleted; the columns must follow every one.
void ChangeBank(Table& bank, std::mt19937& rng, std::size_t& numbered, int spread)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    bank.SetFiltered(false);
    for (int step = pick(0, 4); step > 0; --step) {
        const int what = pick(0, 5);
        if (what == 0) {
            bank.AppendRecord(BankRow(numbered++, RandomCount(rng, -3, spread), RandomCount(rng, 0, 4),
                                      RandomCount(rng, 0, 2)));
        } else if (bank.RecordCount() > 0) {
            bank.MoveTo(pick(0, bank.RecordCount() - 1));
            if (what == 1) {
                bank.Delete();
                continue;
            }
            bank.Edit();
            const char* field = what == 2 ? "Nani" : what == 3 ? "NKaisu" : "KariHon";
            const Value v = RandomCount(rng, what == 2 ? -3 : 0, what == 2 ? spread : what == 3 ? 4 : 2);
            if (v.null)
                bank.FieldByName(field).SetNull();
            else
                bank.FieldByName(field).SetAsInteger(v.integer);
            bank.Post();
        }
    }
}

}  // namespace

class TestDrillLogic : public QObject {
    Q_OBJECT
private slots:
    void difficulty()
    {
        QCOMPARE(Difficulty(3, 5), 39);   // exactly 60 %: 39, not 40
        QCOMPARE(Difficulty(6, 10), 39);
        QCOMPARE(Difficulty(0, 1), 100);
        QCOMPARE(Difficulty(7, 7), 0);
        QCOMPARE(Difficulty(2, 3), 33);
        QCOMPARE(Difficulty(1, 3), 66);
        // Everywhere else up to 40 answers it is 100 - ceil(100 s / k).
        for (int k = 1; k <= 40; ++k)
            for (int s = 0; s <= k; ++s) {
                const int ceil = (100 * s + k - 1) / k;
                const int expected = 100 * s == 60 * k ? 39 : 100 - ceil;
                QVERIFY2(Difficulty(s, k) == expected, qPrintable(QString("%1 of %2").arg(s).arg(k)));
            }
        // Counters no drill writes still give a defined value.
        QCOMPARE(Difficulty(0, 0), 100);
    }

    void afterAnswer_data()
    {
        QTest::addColumn<int>("kaisu");
        QTest::addColumn<int>("seikaisu");
        QTest::addColumn<int>("nkaisu");
        QTest::addColumn<int>("nani");
        QTest::addColumn<bool>("right");
        QTest::addColumn<int>("kaisuAfter");
        QTest::addColumn<int>("seikaisuAfter");
        QTest::addColumn<int>("nkaisuAfter");
        QTest::addColumn<int>("naniAfter");
        QTest::newRow("new, right") << 0 << 0 << 0 << 30 << true << 1 << 1 << 1 << 0;
        QTest::newRow("new, wrong, below 100") << 0 << 0 << 0 << 30 << false << 1 << 0 << 1 << 100;
        QTest::newRow("new, wrong, at 100") << 0 << 0 << 0 << 100 << false << 1 << 0 << 0 << 105;
        QTest::newRow("wrong lowers 60 to 55") << 3 << 2 << 4 << 60 << false << 4 << 2 << 4 << 55;
        QTest::newRow("3 of 5 right") << 4 << 2 << 2 << 50 << true << 5 << 3 << 3 << 39;
        QTest::newRow("wrong raises") << 1 << 1 << 1 << 0 << false << 2 << 1 << 2 << 50;
    }
    void afterAnswer()
    {
        QFETCH(int, kaisu);
        QFETCH(int, seikaisu);
        QFETCH(int, nkaisu);
        QFETCH(int, nani);
        QFETCH(bool, right);
        const Counters after = AfterAnswer({kaisu, seikaisu, nkaisu, nani}, right);
        QTEST(after.kaisu, "kaisuAfter");
        QTEST(after.seikaisu, "seikaisuAfter");
        QTEST(after.nkaisu, "nkaisuAfter");
        QTEST(after.nani, "naniAfter");
    }

    void percentages()
    {
        QCOMPARE(PercentText(2, 3), std::string("66.6666666666667"));
        QCOMPARE(PercentText(3, 4), std::string("75"));
        QCOMPARE(PercentText(1, 3), std::string("33.3333333333333"));
        QCOMPARE(PercentText(0, 7), std::string("0"));
        QCOMPARE(PercentText(5, 5), std::string("100"));
        QCOMPARE(PercentText(1, 8), std::string("12.5"));
        QCOMPARE(PercentInteger(2, 3), 66);
        QCOMPARE(PercentInteger(1, 3), 33);
        QCOMPARE(PercentInteger(5, 5), 100);
        QCOMPARE(PercentLabel(7), std::string("7 %"));
    }

    void levelMove()
    {
        // count, sum, change: the table of examples of the level move.
        const int examples[][3] = {{20, 20, 2},  {19, 19, 1}, {20, 19, 1},  {20, 18, 0},
                                   {20, 17, -1}, {20, 16, -2}, {20, 14, -3}, {20, 13, -5},
                                   {7, 5, -3},   {5, 3, -2},  {1, 0, -2},   {1, 1, 1}};
        for (const auto& e : examples)
            QVERIFY2(LevelChange(e[1], e[0]) == e[2], qPrintable(QString("%1 of %2").arg(e[1]).arg(e[0])));
        // Thresholds compare as the exact fraction: 17 of 20 is 85 %, not a hair below.
        QCOMPARE(LevelChange(17, 20), -1);
        QCOMPARE(LevelChange(7, 10), -3);
        // Clamps after the move.
        QCOMPARE(MoveLevel(99, 20, 20), 100);
        QCOMPARE(MoveLevel(100, 19, 20), 100);
        QCOMPARE(MoveLevel(0, 13, 20), 0);
        QCOMPARE(MoveLevel(-1, 1, 1), 0);
        QCOMPARE(MoveLevel(-1, 0, 1), 0);
        QCOMPARE(MoveLevel(10, 0, 1), 8);
    }

    // No answers in the history yet: the rate is no number and compares false at every step,
    // so the level goes down by 2 like any rate under 70 %, never up.
    void noAnswersMoveTheLevelDown()
    {
        QCOMPARE(LevelChange(0, 0), -2);
        QCOMPARE(MoveLevel(5, 0, 0), 3);
        QCOMPARE(MoveLevel(1, 0, 0), 0);
    }

    void lastAnswers()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("rireki.cds").toStdString();
        // 25 answers: five right, then twenty wrong but for the last three.
        std::vector<Row> rows;
        for (int i = 0; i < 25; ++i)
            rows.push_back(Row{Value("0001"), Value(i < 5 || i >= 22 ? 1 : 0), Value("m")});
        Table::CreateFile(path, layouts::History(), rows);
        Table t;
        t.SetFileName(path);
        t.Open();
        RecentAnswers r = LastAnswers(t);
        QCOMPARE(r.count, 20);
        QCOMPARE(r.sum, 3);
        // One record, and none.
        while (t.RecordCount() > 1)
            t.Delete();
        r = LastAnswers(t);
        QCOMPARE(r.count, 1);
        QCOMPARE(r.sum, 1);
        t.Delete();
        r = LastAnswers(t);
        QCOMPARE(r.count, 0);
    }

    void searchExamples()
    {
        QTemporaryDir dir;
        Table bank;
        int limit = 0;

        // Level 15, questions only at 10 (and harder ones, and one not in the stage): found at
        // 10 in the first pass; the first stored of the two wins.
        OpenBank(bank, dir, Rows({{20}, {15, 0, 0}, {10}, {10}, {101}}));
        QVERIFY(SearchQuestion(bank, 15, limit));
        QCOMPARE(bank.Filter(), std::string("Nani = 10 AND NKaisu <= 0 AND KariHon >= 1"));
        QVERIFY(bank.Filtered());
        QCOMPARE(bank.RecordCount(), 2);
        QCOMPARE(bank.FieldByName("Bango").AsString(), std::string("0003"));
        QCOMPARE(limit, 0);

        // Every question at 5, settled once: the second pass finds them and the limit is 1.
        OpenBank(bank, dir, Rows({{5, 1}, {5, 1}}));
        limit = 0;
        QVERIFY(SearchQuestion(bank, 5, limit));
        QCOMPARE(bank.Filter(), std::string("Nani = 5 AND NKaisu <= 1 AND KariHon >= 1"));
        QCOMPARE(limit, 1);

        // Found at -1: the limit still rises after that try.
        OpenBank(bank, dir, Rows({{-1}, {3, 2}}));
        limit = 0;
        QVERIFY(SearchQuestion(bank, 0, limit));
        QCOMPARE(bank.Filter(), std::string("Nani = -1 AND NKaisu <= 0 AND KariHon >= 1"));
        QCOMPARE(limit, 1);

        // A null difficulty counts as 0.
        OpenBank(bank, dir, Rows({{0, 0, 1, true}}));
        limit = 0;
        QVERIFY(SearchQuestion(bank, 3, limit));
        QCOMPARE(bank.Filter(), std::string("Nani = 0 AND NKaisu <= 0 AND KariHon >= 1"));

        // An edit in progress is stored first, as a try's filter would store it: the search
        // sees the new difficulty, and its view holds the edited question.
        OpenBank(bank, dir, Rows({{5}, {10}}));
        bank.Edit();
        bank.FieldByName("Nani").SetAsInteger(12);
        limit = 0;
        QVERIFY(SearchQuestion(bank, 15, limit));
        QCOMPARE(bank.Filter(), std::string("Nani = 12 AND NKaisu <= 0 AND KariHon >= 1"));
        QCOMPARE(ViewBangos(bank), std::vector<std::string>{"0001"});

        // Nothing qualifies: reported, and the bank and limit are left alone.
        for (const auto& qs : {std::vector<Q>{}, std::vector<Q>{{1}, {2}, {-2}, {0, 0, 0}}}) {
            OpenBank(bank, dir, Rows(qs));
            bank.SetFilter("KariHon >= 0");
            limit = 4;
            QVERIFY(!SearchQuestion(bank, 0, limit));
            QCOMPARE(limit, 4);
            QCOMPARE(bank.Filter(), std::string("KariHon >= 0"));
        }
    }

    // The one-scan search against the loop of tries on many random banks, levels and limits; and
    // both, run over the table's columns, against the same tries matched on the records
    // themselves, while counters are posted and records appended and deleted in between.
    void searchMatchesLiteralLoop()
    {
        QTemporaryDir dir;
        std::mt19937 rng(20240611);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Table bank;
        int compared = 0, found = 0, raisedAtMinusOne = 0, changedBanks = 0;
        for (int b = 0; b < 120; ++b) {
            const int size = pick(0, 25);
            const int spread = pick(0, 3) == 0 ? 110 : 20;
            std::vector<Row> rows;
            for (int i = 0; i < size; ++i) {
                const Value nani = pick(0, 15) == 0 ? Value() : Value(pick(-3, spread));
                const Value nkaisu = RandomCount(rng, 0, 4);
                const int kh = pick(0, 9);
                const Value karihon = kh == 0 ? Value() : Value(kh < 3 ? 0 : kh < 8 ? 1 : 2);
                rows.push_back(BankRow(std::size_t(i), nani, nkaisu, karihon));
            }
            OpenBank(bank, dir, rows);
            std::size_t numbered = rows.size();
            for (int run = 0; run < 6; ++run) {
                if (run > 0 && b % 2 == 1) {
                    ChangeBank(bank, rng, numbered, spread);
                    ++changedBanks;
                }
                int maxSettled = 0;
                for (const std::int32_t k : bank.IntegerColumn(bank.FieldIndex("NKaisu")))
                    maxSettled = std::max(maxSettled, k);
                const int start = pick(-1, 25);
                const int startLimit = pick(0, 5);
                const int maxLimit = std::max(maxSettled, startLimit);
                const QString where = QString("bank %1 run %2 level %3 limit %4").arg(b).arg(run).arg(start).arg(startLimit);

                const RowResult reference = RowSearch(bank, start, startLimit, maxLimit);
                int literalLimit = startLimit;
                const bool literalFound = LiteralSearch(bank, start, literalLimit, maxLimit);
                QVERIFY2(literalFound == reference.found, qPrintable(where));
                if (literalFound) {
                    QVERIFY2(bank.Filter() == reference.filter, qPrintable(where));
                    QVERIFY2(literalLimit == reference.limit, qPrintable(where));
                    QVERIFY2(bank.FieldByName("Bango").AsString() == reference.bango, qPrintable(where));
                }
                const std::vector<std::string> literalView = ViewBangos(bank);

                bank.SetFilter("KariHon >= 0");
                int limit = startLimit;
                const bool ok = SearchQuestion(bank, start, limit);
                QVERIFY2(ok == reference.found, qPrintable(where));
                ++compared;
                if (!ok)
                    continue;
                ++found;
                raisedAtMinusOne += bank.Filter().rfind("Nani = -1 ", 0) == 0;
                QVERIFY2(bank.Filter() == reference.filter, qPrintable(where + " " + QString::fromStdString(bank.Filter())));
                QVERIFY2(limit == reference.limit, qPrintable(where));
                QVERIFY2(bank.FieldByName("Bango").AsString() == reference.bango, qPrintable(where));
                // The view built from the scan is the one the filter gives, and Post still
                // takes a record that stops matching out of it.
                QVERIFY2(ViewBangos(bank) == literalView, qPrintable(where));
                if (run == 5) {
                    const int before = bank.RecordCount();
                    bank.Edit();
                    bank.FieldByName("KariHon").SetAsInteger(0);
                    bank.Post();
                    QVERIFY2(bank.RecordCount() == before - 1, qPrintable(where));
                }
            }
        }
        // The random banks must have exercised both outcomes, the stop at -1 and changed banks.
        QVERIFY(found > compared / 3);
        QVERIFY(found < compared);
        QVERIFY(raisedAtMinusOne > 0);
        QVERIFY(changedBanks > 100);
    }
};

QTEST_GUILESS_MAIN(TestDrillLogic)
#include "tst_drill_logic.moc"
