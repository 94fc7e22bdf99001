// The drill's workloads on banks of 1,000 and 9,999 questions, with and without a figure on
// every question, and the peers they are compared with in the same run. scripts/bench.sh runs
// this with repetitions and turns the medians into docs/performance.md.
//
// Argument names in the benchmark names: q questions, fig a figure on every question, hist
// answers in the history before the drill, worst the search's worst case (start level 100, the
// pass limit climbing from 0 to 200), ans answers before the drill ends, views the texts and
// figure decoded as the review's views do.

#include "BenchData.h"
#include "BenchDrill.h"
#include "Exception.h"
#include "FilterText.h"
#include "Layouts.h"
#include "Peers.h"
#include "Search.h"
#include "Table.h"
#include "EucJp.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>
#include <random>

namespace field = layouts::field;

using benchdata::BankShape;

namespace {

// Start level and pass limit of the searches measured on their own: the worst case, and the
// first search of a hard drill (level 15) on an ordinary bank.
int StartLevel(bool worst) { return worst ? 100 : 15; }

BankShape ShapeOf(const benchmark::State& s, bool withWorst = true)
{
    BankShape shape;
    shape.questions = int(s.range(0));
    shape.figures = s.range(1) != 0;
    shape.worstCase = withWorst && s.range(2) != 0;
    return shape;
}

// Names a benchmark instance: its family and its first N arguments.
std::string Key(const benchmark::State& s, const char* family, int n)
{
    std::string key = family;
    for (int i = 0; i < n; ++i)
        key += "/" + std::to_string(s.range(std::size_t(i)));
    return key;
}

// An open bank for the searches, kept while consecutive benchmarks use the same shape (one at a
// time, so that the 300 MB banks with figures are not all in memory together). The searches
// only change its filter, so it is never written back.
struct SearchSlot {
    std::string key;
    std::unique_ptr<benchdata::WorkDir> work;
    std::unique_ptr<Table> bank;
};
SearchSlot& Searching(const BankShape& shape)
{
    static SearchSlot slot;
    const std::string key = std::to_string(shape.questions) + (shape.figures ? "f" : "") + (shape.worstCase ? "w" : "");
    if (slot.key != key || !slot.bank) {
        slot.bank.reset();
        slot.work.reset();
        slot.work = std::make_unique<benchdata::WorkDir>(shape, 0);
        slot.bank = std::make_unique<Table>();
        slot.bank->SetRequiredFields(layouts::Bank());
        slot.bank->SetFileName(slot.work->dir().directory + layouts::kBankFile);
        slot.bank->Open();
        slot.key = key;
    }
    return slot;
}
Table& SearchBank(const BankShape& shape) { return *Searching(shape).bank; }

benchdata::SearchColumns ColumnsOf(const Table& bank)
{
    benchdata::SearchColumns c;
    const int nani = bank.FieldIndex(field::Nani), nkaisu = bank.FieldIndex(field::NKaisu), karihon = bank.FieldIndex(field::KariHon);
    for (std::size_t r = 0; r < bank.StoredCount(); ++r) {
        c.nani.push_back(bank.StoredValue(r, nani).integer);
        c.nkaisu.push_back(bank.StoredValue(r, nkaisu).integer);
        c.karihon.push_back(bank.StoredValue(r, karihon).integer);
    }
    return c;
}

int MaxSettled(const Table& bank)
{
    const int nkaisu = bank.FieldIndex(field::NKaisu);
    int m = 0;
    for (std::size_t r = 0; r < bank.StoredCount(); ++r)
        m = std::max(m, bank.StoredValue(r, nkaisu).integer);
    return m;
}

// What the drill's own search gives, as the peers are checked against it.
struct Expected {
    drill::SearchOutcome outcome;
    std::string bango;
};
Expected Reference(Table& bank, int level, int limit)
{
    Expected e;
    e.outcome = drill::FindQuestion(bank, level, limit);
    int after = limit;
    if (drill::SearchQuestion(bank, level, after))
        e.bango = bank.FieldByName(field::Bango).AsString();
    return e;
}

std::string Describe(const Expected& e)
{
    return "level " + std::to_string(e.outcome.level) + " limit " + std::to_string(e.outcome.filterLimit) + " question " + e.bango;
}

void Counters(benchmark::State& state, const Table& bank)
{
    state.counters["questions"] = double(bank.StoredCount());
}

// ---- The search on its own -----------------------------------------------------------------

// The drill's search as the drill runs it: the first try read from the table's index of the
// difficulties (else one scan of the columns), then the successful try's view set on the bank.
void BM_Search(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state);
    Table& bank = SearchBank(shape);
    const int level = StartLevel(shape.worstCase);
    const Expected e = Reference(bank, level, 0);
    if (!e.outcome.found) {
        state.SkipWithError("no question found");
        return;
    }
    for (auto _ : state) {
        int limit = 0;
        benchmark::DoNotOptimize(drill::SearchQuestion(bank, level, limit));
    }
    state.SetLabel(Describe(e));
    Counters(state, bank);
}

// Finding the question alone, without setting the view.
void BM_SearchCompute(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state);
    Table& bank = SearchBank(shape);
    const int level = StartLevel(shape.worstCase);
    for (auto _ : state)
        benchmark::DoNotOptimize(drill::FindQuestion(bank, level, 0));
    Counters(state, bank);
}

// Peer: the loop of tries, checked to leave the same filter, question and pass limit.
void BM_SearchLiteral(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state);
    Table& bank = SearchBank(shape);
    const int level = StartLevel(shape.worstCase);
    const Expected e = Reference(bank, level, 0);
    const int maxLimit = MaxSettled(bank);
    int limit = 0;
    if (!LiteralSearch(bank, level, limit, maxLimit) || !e.outcome.found ||
        limit != e.outcome.passLimit || bank.Filter() != drill::SearchFilter(e.outcome.level, e.outcome.filterLimit) ||
        bank.FieldByName(field::Bango).AsString() != e.bango) {
        state.SkipWithError("the loop of tries disagrees with the one-scan search");
        return;
    }
    for (auto _ : state) {
        int l = 0;
        benchmark::DoNotOptimize(LiteralSearch(bank, level, l, maxLimit));
    }
    state.SetLabel(Describe(e));
    Counters(state, bank);
}

// Peer: a prepared SQLite query on a copy of the same bank file with an index on Nani.
void BM_SearchSqlite(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state);
    Table& bank = SearchBank(shape);
    const int level = StartLevel(shape.worstCase);
    const Expected e = Reference(bank, level, 0);
    peers::SqliteSearch sql(Searching(shape).work->dir().directory + layouts::kBankFile);
    const auto r = sql.Find(level, 0);
    if (!r.found || r.level != e.outcome.level || r.filterLimit != e.outcome.filterLimit ||
        r.passLimit != e.outcome.passLimit || r.bango != e.bango) {
        state.SkipWithError("the SQLite query disagrees with the one-scan search");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(sql.Find(level, 0));
    state.SetLabel(sql.Plan());
    Counters(state, bank);
}

// Floor: one pass over three int32 columns of the bank.
void BM_ColumnScan(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state);
    const benchdata::SearchColumns c = ColumnsOf(SearchBank(shape));
    const int level = StartLevel(shape.worstCase);
    for (auto _ : state)
        benchmark::DoNotOptimize(peers::ColumnScan(c, level));
    state.counters["questions"] = double(c.nani.size());
}

// The drill's search over those columns: what a column layout in the table store would give.
void BM_ColumnSearch(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state);
    Table& bank = SearchBank(shape);
    const benchdata::SearchColumns c = ColumnsOf(bank);
    const int level = StartLevel(shape.worstCase);
    const Expected e = Reference(bank, level, 0);
    const auto r = peers::ColumnSearch(c, level, 0);
    const int bangoField = bank.FieldIndex(field::Bango);
    if (!r.found || r.level != e.outcome.level || r.filterLimit != e.outcome.filterLimit ||
        bank.StoredValue(r.first, bangoField).bytes != e.bango) {
        state.SkipWithError("the column search disagrees with the one-scan search");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(peers::ColumnSearch(c, level, 0));
    state.counters["questions"] = double(c.nani.size());
}

// ---- One pupil action ----------------------------------------------------------------------

// The loop of tries as the session's search (the peer of "次の問題"). It can stop once the limit
// passes the largest settled count in the bank.
bool LiteralPeer(Table& bank, int level, int& limit)
{
    return LiteralSearch(bank, level, limit, std::max(MaxSettled(bank), limit));
}

// A drill in progress for the benchmark, started once and kept across its runs (the bank's
// counters go on changing, as they do over a pupil's drills). One at a time: the next benchmark
// ends it (writing it back) and removes its data.
struct DrillSlot {
    std::string key;
    std::unique_ptr<benchdrill::Drill> drill;
    std::unique_ptr<benchdata::WorkDir> work;
    ~DrillSlot() { Clear(); }
    void Clear()
    {
        drill.reset();   // closes the tables before their files go
        work.reset();
        key.clear();
    }
};
benchdrill::Drill& RunningDrill(const std::string& key, const BankShape& shape, int history, bool allRight,
                            bool literal)
{
    static DrillSlot slot;
    if (slot.key != key || !slot.drill) {
        slot.Clear();
        slot.work = std::make_unique<benchdata::WorkDir>(shape, history, allRight);
        auto d = std::make_unique<benchdrill::Drill>();
        if (literal)
            d->session.search = &LiteralPeer;
        d->DrillLevel = 15;
        if (!d->Start(slot.work->dir().settingsFile))
            throw Exception("no question for the drill");
        // Past the first ten questions, so that every answer filters the advice table.
        for (int i = 0; i < 12; ++i) {
            d->Judge(d->RightAnswer());
            d->Next();
        }
        slot.drill = std::move(d);
        slot.key = key;
    }
    return *slot.drill;
}

// The answers of the simulated pupil: nine in ten right, which keeps the drill level moving
// around where it is (a pupil with fewer right answers sinks to level 0 and, with thousands of
// answers, wears out the easiest questions).
struct Pupil {
    std::mt19937 rng{12345};
    int Answer(benchdrill::Drill& d)
    {
        const int right = d.RightAnswer();
        return std::uniform_int_distribution<int>(0, 99)(rng) < 90 ? right : 1 - right;
    }
};

void Prepare(benchdrill::Drill& d, bool worst)
{
    if (worst) {
        // The first search of a drill at the top level on a bank whose lowest settled count
        // is 200.
        d.DrillLevel = 100;
        d.LKaisu = 0;
    }
}

// Judging an answer.
void BM_Judge(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state, false);
    benchdrill::Drill& d = RunningDrill(Key(state, "judge", 3), shape, int(state.range(2)), false, false);
    Pupil pupil;
    for (auto _ : state)
        benchmark::DoNotOptimize(d.Judge(pupil.Answer(d)));
    Counters(state, d.bank);
}

// "次の問題" with the drill's search, or with the loop of tries (the peer).
void NextWith(benchmark::State& state, bool literal)
{
    const BankShape shape = ShapeOf(state);
    const bool worst = shape.worstCase;
    benchdrill::Drill& d = RunningDrill(Key(state, literal ? "nextliteral" : "next", 3), shape, 20, worst, literal);
    if (worst)
        d.Judge(d.RightAnswer());
    for (auto _ : state) {
        Prepare(d, worst);
        if (!d.Next()) {
            state.SkipWithError("no question found");
            break;
        }
    }
    Counters(state, d.bank);
}
void BM_Next(benchmark::State& state) { NextWith(state, false); }
void BM_NextLiteral(benchmark::State& state) { NextWith(state, true); }

// One pupil action: judging the answer, then "次の問題".
void BM_Action(benchmark::State& state)
{
    BankShape shape = ShapeOf(state, false);
    shape.worstCase = state.range(3) != 0;
    const bool worst = shape.worstCase;
    benchdrill::Drill& d = RunningDrill(Key(state, "action", 4), shape, int(state.range(2)), worst, false);
    Pupil pupil;
    std::int64_t restarts = 0;
    for (auto _ : state) {
        Prepare(d, worst);
        d.Judge(worst ? d.RightAnswer() : pupil.Answer(d));
        if (!d.Next()) {
            // No question left at this level: the drill would end here. Go on as the next
            // drill would, from the hard start level with the pass limit at 0.
            ++restarts;
            d.DrillLevel = 15;
            d.LKaisu = 0;
            if (!d.Next()) {
                state.SkipWithError("no question found");
                break;
            }
        }
    }
    Counters(state, d.bank);
    // Searches that found nothing, per 1,000 actions.
    state.counters["restarts"] = benchmark::Counter(double(restarts) * 1000, benchmark::Counter::kAvgIterations);
}

// ---- Drill start and end -------------------------------------------------------------------

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// The drill start from the settings file to the first question on the bank's view.
void BM_DrillStart(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state, false);
    const benchdata::WorkDir work(shape, int(state.range(2)));
    const auto& dir = work.dir();
    {
        // The drill before it, untimed: the files have been read once in the process, as for
        // every drill but the first after start-up (which bench_exam measures on its own).
        benchdrill::Drill before;
        if (before.Start(dir.settingsFile))
            before.End();
    }
    for (auto _ : state) {
        benchdata::RestoreHistory(dir);
        benchdrill::Drill d;
        d.DrillLevel = 5;
        const auto t0 = Clock::now();
        const bool ok = d.Start(dir.settingsFile);
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        if (!ok) {
            state.SkipWithError("no question found");
            break;
        }
        d.End();
    }
    state.counters["bank_MB"] = double(benchdata::FileSize(dir.directory + layouts::kBankFile)) / 1e6;
}

// The drill end: closing the three tables after ANS answers (the write-back).
void BM_DrillEnd(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state, false);
    const int answers = int(state.range(3));
    const benchdata::WorkDir work(shape, int(state.range(2)));
    const auto& dir = work.dir();
    Pupil pupil;
    for (auto _ : state) {
        benchdata::RestoreHistory(dir);
        benchdrill::Drill d;
        d.DrillLevel = 5;
        if (!d.Start(dir.settingsFile)) {
            state.SkipWithError("no question found");
            break;
        }
        for (int i = 0; i < answers; ++i) {
            d.Judge(pupil.Answer(d));
            d.Next();
        }
        const auto t0 = Clock::now();
        d.End();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["bank_MB"] = double(benchdata::FileSize(dir.directory + layouts::kBankFile)) / 1e6;
}

// Part of the drill end: closing the bank when nothing changed (no write), which still frees
// every record's values, pictures included.
void BM_CloseUnchanged(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state, false);
    const benchdata::WorkDir work(shape, 0);
    for (auto _ : state) {
        Table bank;
        bank.SetFileName(work.dir().directory + layouts::kBankFile);
        bank.Open();
        const auto t0 = Clock::now();
        bank.Close();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
    }
}

// ---- Review --------------------------------------------------------------------------------

// The review window shown again: the 2,000-answer history read again, the question pane set to
// the first row, then 100 row changes, each narrowing the bank to the row's question. With
// views, each change also decodes the two texts and the figure, as the pane's views do.
void BM_Review(benchmark::State& state)
{
    const BankShape shape = ShapeOf(state, false);
    const bool views = state.range(2) != 0;
    const benchdata::WorkDir work(shape, 2000);
    const auto& dir = work.dir();
    Table history, bank;
    history.SetRequiredFields(layouts::History());
    history.SetFileName(dir.directory + layouts::kHistoryFile);
    history.Open();
    bank.SetFileName(dir.directory + layouts::kBankFile);
    bank.Open();
    std::int64_t shown = 0;
    auto follow = [&] {
        bank.SetFilter(FilterText().Equals(field::Bango, history.FieldByName(field::Bango).AsString()));
        bank.SetFiltered(true);
        if (views && bank.RecordCount() > 0) {
            // As the views read them: the picture from the file, when it is shown.
            benchmark::DoNotOptimize(bank.FieldByName(field::Mondai).AsText());
            benchmark::DoNotOptimize(bank.FieldByName(field::Kaisetsu).AsText());
            const std::string& png = bank.FieldByName(field::Zu).AsString();
            if (!png.empty())
                shown += !QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size())).isNull();
        }
    };
    for (auto _ : state) {
        history.Close();
        history.Open();
        follow();
        for (int row = 1; row <= 100; ++row) {
            history.MoveTo(row);
            follow();
        }
    }
    state.counters["figures_decoded"] = benchmark::Counter(double(shown), benchmark::Counter::kAvgIterations);
}

// What the picture view adds to every question shown: decoding one figure.
void BM_FigureDecode(benchmark::State& state)
{
    const std::string& png = benchdata::FigurePng();
    for (auto _ : state)
        benchmark::DoNotOptimize(QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size())));
    state.counters["png_KB"] = double(png.size()) / 1024.0;
}

// ---- Registration --------------------------------------------------------------------------

}  // namespace

// q, fig, worst
BENCHMARK(BM_Search)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchCompute)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchSqlite)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColumnScan)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColumnSearch)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0}, {0, 1}})->Unit(benchmark::kMicrosecond);
// The loop of tries in the worst case takes about a second a search on the full bank: one
// search per repetition is enough there.
BENCHMARK(BM_SearchLiteral)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchLiteral)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {1}})->Iterations(1)->Unit(benchmark::kMillisecond);

// q, fig, hist (, worst)
BENCHMARK(BM_Judge)->ArgNames({"q", "fig", "hist"})->ArgsProduct({{1000, 9999}, {0, 1}, {20, 2000}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Next)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextLiteral)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NextLiteral)->ArgNames({"q", "fig", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {1}})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Action)->ArgNames({"q", "fig", "hist", "worst"})->ArgsProduct({{1000, 9999}, {0, 1}, {20, 2000}, {0, 1}})->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_DrillStart)->ArgNames({"q", "fig", "hist"})->ArgsProduct({{1000, 9999}, {0, 1}, {20, 2000}})->UseManualTime()->Unit(benchmark::kMillisecond);
// Each end needs a drill before it (opening a 300 MB bank with figures): a fixed number of
// ends per repetition.
BENCHMARK(BM_DrillEnd)->ArgNames({"q", "fig", "hist", "ans"})->ArgsProduct({{1000, 9999}, {0, 1}, {20, 2000}, {0, 50}})->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseUnchanged)->ArgNames({"q", "fig"})->ArgsProduct({{1000, 9999}, {0, 1}})->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Review)->ArgNames({"q", "fig", "views"})->ArgsProduct({{1000, 9999}, {0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FigureDecode)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
