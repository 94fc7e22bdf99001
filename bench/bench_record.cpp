// The learning record on a pupil's record after a long course: 100,000 answers over 300
// sessions (drills of ~330 answers), 1,500 bank statements and 150 hazard items, every Bunrui of
// the syllabus. Writing one answer and each query the progress windows run.

#include "BenchData.h"
#include "LearningRecord.h"
#include "Syllabus.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace {

constexpr int kAnswers = 100000;
constexpr int kSessions = 300;

record::Answer RandomAnswer(std::mt19937& rng)
{
    const auto& items = syllabus::Items();
    record::Answer a;
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
        a.source = record::kSourceHazard;
        a.bango = std::to_string(std::uniform_int_distribution<int>(1, 150)(rng));
        a.item = std::uniform_int_distribution<int>(1, 3)(rng);
        a.bunrui = 201;
    } else {
        const int q = std::uniform_int_distribution<int>(1, 1500)(rng);
        a.bango = std::to_string(q);
        if (q % 10 != 0)   // a tenth of the bank without a category
            a.bunrui = items[std::size_t(q) % items.size()].code;
    }
    a.correct = std::uniform_int_distribution<int>(0, 9)(rng) < 8;
    a.answer = a.correct ? 1 : 0;
    a.seconds = std::uniform_real_distribution<double>(2, 30)(rng);
    return a;
}

// The record, made once per process; each benchmark opens its own connection.
const std::string& RecordPath()
{
    static const std::string path = [] {
        const std::string p = benchdata::ScratchRoot() + "/kiroku-100k.sqlite";
        benchdata::MakeDrillRecord(p, kSessions, kAnswers, RandomAnswer);
        return p;
    }();
    return path;
}

void BM_RecordAddAnswer(benchmark::State& state)
{
    record::LearningRecord rec;
    rec.Open(RecordPath());
    const auto session = rec.BeginSession({record::kDrill, 1, {}});
    std::mt19937 rng(9);
    for (auto _ : state)
        rec.AddAnswer(session, RandomAnswer(rng));
    rec.EndSession(session);
}

template <typename Query>
void Measure(benchmark::State& state, Query query)
{
    record::LearningRecord rec;
    rec.Open(RecordPath());
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto result = query(rec);
        rows = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["rows"] = double(rows);
}

void BM_RecordLatestResults(benchmark::State& state) { Measure(state, [](auto& r) { return r.LatestResults(); }); }
void BM_RecordLatestWrong(benchmark::State& state) { Measure(state, [](auto& r) { return r.LatestWrong(); }); }
void BM_RecordRateByCategory(benchmark::State& state)
{
    const int lastN = int(state.range(0));
    Measure(state, [lastN](auto& r) { return r.RateByCategory(lastN); });
}
void BM_RecordSessions(benchmark::State& state) { Measure(state, [](auto& r) { return r.Sessions(); }); }

// Opening checks the file whole (quick_check): what a drill's start pays for the record.
void BM_RecordOpen(benchmark::State& state)
{
    const std::string& path = RecordPath();
    for (auto _ : state) {
        record::LearningRecord rec;
        rec.Open(path);
    }
}

}  // namespace

BENCHMARK(BM_RecordAddAnswer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordLatestResults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordLatestWrong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordRateByCategory)->ArgNames({"n"})->Arg(20)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordSessions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordOpen)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
