// 今日の復習 on a pupil's record after a long course: 100,000 answers over 300 sessions spread
// over 90 days, on 1,500 bank statements and 150 hazard items (450 sub-statements). The schedule
// is derived from the answers each time, so "today's queue" is the replay of the whole record
// plus the queue; one answer's update is one step of the replayed memory.

#include "BenchData.h"
#include "Checkpoint.h"
#include "LearningRecord.h"
#include "Load.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <random>

namespace {

constexpr int kAnswers = 100000;
constexpr int kSessions = 300;
constexpr int kBank = 1500;
constexpr int kHazard = 150;

record::Answer RandomAnswer(std::mt19937& rng)
{
    record::Answer a;
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
        a.source = record::kSourceHazard;
        a.bango = std::to_string(std::uniform_int_distribution<int>(1, kHazard)(rng));
        a.item = std::uniform_int_distribution<int>(1, 3)(rng);
    } else {
        a.bango = std::to_string(std::uniform_int_distribution<int>(1, kBank)(rng));
    }
    a.correct = std::uniform_int_distribution<int>(0, 9)(rng) < 8;
    a.answer = a.correct ? 1 : 0;
    return a;
}

std::vector<study::Statement> Statements()
{
    std::vector<study::Statement> out;
    for (int i = 1; i <= kBank; ++i)
        out.push_back({{record::kSourceBank, std::to_string(i), 0}, i % 3 == 0 ? 2 : 1, 10});
    for (int i = 1; i <= kHazard; ++i)
        for (int item = 1; item <= 3; ++item)
            out.push_back({{record::kSourceHazard, std::to_string(i), item}, 2, {}});
    return out;
}

// The record, made once per process, its answers moved back in time to lie over 90 days.
const std::string& RecordPath()
{
    static const std::string path = [] {
        const std::string p = benchdata::ScratchRoot() + "/kiroku-study-100k.sqlite";
        benchdata::MakeDrillRecord(p, kSessions, kAnswers, RandomAnswer);
        sqlite3* db = nullptr;
        sqlite3_open(p.c_str(), &db);
        sqlite3_exec(db,
                     "UPDATE answers SET answered_at = strftime('%Y-%m-%dT%H:%M:%SZ', 'now', "
                     "printf('-%d seconds', (100000 - id) * 77))",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return p;
    }();
    return path;
}

const QTimeZone kZone(9 * 3600);

// Opening the record, replaying every answer and making today's queue: what the menu pays.
void BM_StudyQueueFromRecord(benchmark::State& state)
{
    const std::vector<study::Statement> statements = Statements();
    record::LearningRecord rec;
    rec.OpenForReading(RecordPath());
    std::size_t entries = 0;
    for (auto _ : state) {
        const study::Learner learner = study::Replay(rec);
        const study::Queue q = study::TodaysQueue(learner, statements, QDateTime::currentDateTime(), kZone, {});
        entries = q.entries.size();
        benchmark::DoNotOptimize(q.entries.data());
    }
    state.counters["entries"] = double(entries);
}

// The same taken up from the replay kept at the last look, with NEW answers given since (a
// drill's worth, or none: the first look after the program starts on an unchanged record).
// The keep file written anew is part of the time.
void BM_StudyQueueFromKeptReplay(benchmark::State& state)
{
    const int fresh = int(state.range(0));
    const std::vector<study::Statement> statements = Statements();
    const std::string older = benchdata::ScratchRoot() + "/kiroku-study-older.sqlite";
    const std::string made = benchdata::ScratchRoot() + "/study-made.replay";
    const std::string keep = benchdata::ScratchRoot() + "/study.replay";
    {
        // The replay as the last look kept it: the record without its last NEW answers.
        std::filesystem::copy_file(RecordPath(), older, std::filesystem::copy_options::overwrite_existing);
        sqlite3* db = nullptr;
        sqlite3_open(older.c_str(), &db);
        sqlite3_exec(db, ("DELETE FROM answers WHERE id > " + std::to_string(kAnswers - fresh)).c_str(), nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
        record::LearningRecord rec;
        rec.OpenForReading(older);
        study::ReplayKept(rec, made);
    }
    record::LearningRecord rec;
    rec.OpenForReading(RecordPath());
    std::size_t entries = 0;
    study::ReplayReport report;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(made, keep, std::filesystem::copy_options::overwrite_existing);
        state.ResumeTiming();
        const study::Learner learner = study::ReplayKept(rec, keep, &report);
        const study::Queue q = study::TodaysQueue(learner, statements, QDateTime::currentDateTime(), kZone, {});
        entries = q.entries.size();
        benchmark::DoNotOptimize(q.entries.data());
    }
    if (!report.resumed || report.replayed != fresh)
        state.SkipWithError("the kept replay was not taken up");
    state.counters["entries"] = double(entries);
}

// Opening the record to read it, as the menu and 学習記録 do before each replay: the checks of
// its shape and its integrity.
void BM_StudyOpenRecord(benchmark::State& state)
{
    for (auto _ : state) {
        record::LearningRecord rec;
        rec.OpenForReading(RecordPath());
        benchmark::DoNotOptimize(rec.IsOpen());
    }
}

// The parts: reading and replaying the answers; the queue from a replayed memory.
void BM_StudyReplay(benchmark::State& state)
{
    record::LearningRecord rec;
    rec.OpenForReading(RecordPath());
    for (auto _ : state) {
        const study::Learner learner = study::Replay(rec);
        benchmark::DoNotOptimize(learner.Size());
    }
}

// Reading the answers alone, for comparison: the floor of a derived schedule.
void BM_StudyReadAnswers(benchmark::State& state)
{
    record::LearningRecord rec;
    rec.OpenForReading(RecordPath());
    for (auto _ : state) {
        long n = 0;
        rec.ForEachAnswer([&](const record::AnswerInSession&) { ++n; });
        benchmark::DoNotOptimize(n);
    }
}

// The same answers' six needed columns through SQLite's own interface, no strings made.
void BM_StudyReadFloor(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(RecordPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT answered_at, source, bango, item, answer, correct FROM answers ORDER BY id",
                           -1, &st, nullptr);
        long n = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            n += sqlite3_column_bytes(st, 0) + sqlite3_column_bytes(st, 2) + sqlite3_column_int(st, 3);
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(n);
    }
    sqlite3_close(db);
}

void BM_StudyQueueOnly(benchmark::State& state)
{
    const std::vector<study::Statement> statements = Statements();
    record::LearningRecord rec;
    rec.OpenForReading(RecordPath());
    const study::Learner learner = study::Replay(rec);
    study::Options options;
    if (state.range(0)) {   // with a 本免 date three weeks away: the plan is made too
        options.test = study::Test::Honmen;
        options.testDate = QDate::currentDate().addDays(21);
    }
    for (auto _ : state) {
        const study::Queue q = study::TodaysQueue(learner, statements, QDateTime::currentDateTime(), kZone, options);
        benchmark::DoNotOptimize(q.entries.data());
    }
}

// One more answer on the replayed memory.
void BM_StudyOneAnswer(benchmark::State& state)
{
    record::LearningRecord rec;
    rec.OpenForReading(RecordPath());
    study::Learner learner = study::Replay(rec);
    std::mt19937 rng(9);
    double now = study::Days(QDateTime::currentDateTime());
    for (auto _ : state) {
        const record::Answer a = RandomAnswer(rng);
        learner.Answer({a.source, a.bango, a.item}, now, a.correct);
        now += 1e-4;
    }
}

}  // namespace

BENCHMARK(BM_StudyQueueFromRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyQueueFromKeptReplay)->ArgNames({"new"})->Arg(0)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyOpenRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyReplay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyReadAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyReadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyQueueOnly)->ArgNames({"testDate"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StudyOneAnswer)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
