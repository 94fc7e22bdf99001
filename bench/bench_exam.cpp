// The mock exam's workloads on the largest bank: starting a 本免 mock (reading the bank and the
// hazard file, the draw, the window's first paint with its figure), moving to another question
// (figure read and decoded, window repainted), and grading with the 105 answers written to the
// learning record; and what a pupil waits for when the program has just started: the first mock,
// the first drill, and a drill right after a mock, on the same data directory. Runs on the
// offscreen platform.

#include "BenchData.h"
#include "BenchDrill.h"

#include "Dialogs.h"
#include "ExamLauncher.h"
#include "ExamWindow.h"
#include "Fonts.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Paper.h"
#include "QuestionStore.h"
#include "Settings.h"
#include "Table.h"
#include "TableFile.h"
#include "WindowBenchMain.h"

#include <QApplication>
#include <QDir>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace field = layouts::field;

namespace {

constexpr int kStatements = 9999;
constexpr int kHazards = 100;

// A 9,999-statement bank with a figure on every statement and syllabus codes, and 100 hazard
// items with figures; made once per process.
const std::string& Directory()
{
    static const std::string dir = [] {
        const std::string d = benchdata::ScratchRoot() + "/exam/";
        std::filesystem::create_directories(d);
        std::vector<FieldDef> fields = layouts::Bank();
        fields.push_back({field::Bunrui, FieldType::Integer, 0});
        std::vector<Row> rows = benchdata::BankRows({kStatements, true, false});
        std::size_t karihon = 0;
        while (fields[karihon].name != field::KariHon)
            ++karihon;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i][karihon] = Value(i % 4 == 3 ? 2 : 1);
            rows[i].push_back(Value(i % 4 == 3 ? 201 + int(i % 17) : 101 + int(i % 14)));
        }
        Table::CreateFile(d + layouts::kBankFile, fields, rows);
        const std::vector<FieldDef>& hf = layouts::Hazard();
        std::vector<Row> hazards;
        for (int i = 0; i < kHazards; ++i) {
            Row r(hf.size());
            for (std::size_t f = 0; f < hf.size(); ++f) {
                const FieldDef& def = hf[f];
                if (def.name == field::Bango)
                    r[f] = Value("K" + std::to_string(100 + i));
                else if (def.type == FieldType::Integer)
                    r[f] = Value(def.name == field::Bunrui ? 201 : i % 2);
                else if (def.type == FieldType::Blob)
                    r[f] = Value(benchdata::FigurePng());
                else
                    r[f] = Value(std::string(200, 'a'));
            }
            hazards.push_back(std::move(r));
        }
        Table::CreateFile(d + layouts::kHazardFile, hf, hazards);
        // What a drill needs beside the bank, and the settings file naming the directory.
        Table::CreateFile(d + layouts::kHistoryFile, layouts::History(), benchdata::HistoryRows(20, kStatements));
        Table::CreateFile(d + layouts::kAdviceFile, layouts::Advice(), benchdata::AdviceRows());
        if (!settings::WriteDataDirectory(benchdata::ScratchRoot() + "/" + settings::kFileName, d))
            throw Exception("設定ファイルを書けません");
        return d;
    }();
    return dir;
}

const std::string& SettingsFile()
{
    static const std::string file = (Directory(), benchdata::ScratchRoot() + "/" + settings::kFileName);
    return file;
}

void GiveUp(exam::ExamWindow* w)
{
    dialogs::QueueConfirmAnswer(true);
    w->close();
}

void BM_MockStart(benchmark::State& state)
{
    exam::ExamLauncher launcher;
    launcher.SetDataDirectory(Directory());
    exam::ExamWindow* w = launcher.examWindow();
    std::int64_t seed = 1;
    for (auto _ : state) {
        launcher.SetNextSeed(seed++);
        if (!launcher.StartMock(exam::Test::Honmen))
            state.SkipWithError("the mock did not start");
        w->repaint();
        state.PauseTiming();
        GiveUp(w);
        state.ResumeTiming();
    }
}

// The parts of a start: reading the two files (as the first time in the process), and the draw.
void BM_ReadQuestions(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        tablefile::ForgetImages();
        state.ResumeTiming();
        exam::QuestionStore store;
        store.Open(Directory());
        benchmark::DoNotOptimize(store.pool().statements.data());
    }
}

void BM_Draw(benchmark::State& state)
{
    exam::QuestionStore store;
    store.Open(Directory());
    std::int64_t seed = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(exam::DrawMock(exam::Test::Honmen, store.pool(), seed++));
}

void BM_MoveToQuestion(benchmark::State& state)
{
    exam::ExamLauncher launcher;
    launcher.SetDataDirectory(Directory());
    launcher.SetNextSeed(5);
    launcher.StartMock(exam::Test::Honmen);
    exam::ExamWindow* w = launcher.examWindow();
    w->repaint();
    const int n = int(w->paper().questions.size());
    int i = 0;
    for (auto _ : state) {
        i = (i + 1) % n;
        w->Go(i);
        w->repaint();
    }
    GiveUp(w);
}

void BM_GradeAndRecord(benchmark::State& state)
{
    exam::QuestionStore store;
    store.Open(Directory());
    const exam::Paper paper = exam::DrawMock(exam::Test::Honmen, store.pool(), 9);
    exam::Answers answers = exam::BlankAnswers(paper);
    for (std::size_t i = 0; i < answers.size(); ++i)
        answers[i] = {int(i % 2), 1, 0};
    record::LearningRecord rec;
    rec.Open(Directory() + record::kFileName);
    for (auto _ : state) {
        state.PauseTiming();
        const std::int64_t session = rec.BeginSession({exam::Definition(exam::Test::Honmen).sessionKind, std::nullopt, paper.seed});
        state.ResumeTiming();
        const exam::Result result = exam::Grade(paper, answers);
        rec.AddAnswers(session, exam::RecordAnswers(paper, answers));
        rec.EndGradedSession(session, result.score, result.maxScore, result.passMark);
    }
    state.counters["answers"] = double(exam::RecordAnswers(paper, answers).size());
}

// The pupil's whole grading: the window's grading, the record, and the results window filled.
void BM_GradeInWindow(benchmark::State& state)
{
    exam::ExamLauncher launcher;
    launcher.SetDataDirectory(Directory());
    exam::ExamWindow* w = launcher.examWindow();
    for (auto _ : state) {
        state.PauseTiming();
        launcher.SetNextSeed(3);
        launcher.StartMock(exam::Test::Honmen);
        for (int i = 0; i < 95; ++i) {
            w->Go(i);
            for (int p = 0; p < 3; ++p)
                w->Answer(p % 2);
        }
        dialogs::QueueConfirmAnswer(true);
        state.ResumeTiming();
        w->RequestGrade();
    }
}

// ---- What a pupil waits for after the program started ----------------------------------------

// The first mock after start-up: no file of the directory read yet in this process, their images
// kept on disk by an earlier run; FIRST_EVER: none kept (the first start, or the bank changed on
// disk since), so the files are read.
void FirstMock(benchmark::State& state, bool firstEver)
{
    std::int64_t seed = 1;
    for (auto _ : state) {
        state.PauseTiming();
        tablefile::ForgetImages(firstEver);
        auto launcher = std::make_unique<exam::ExamLauncher>();
        launcher->SetDataDirectory(Directory());
        launcher->SetNextSeed(seed++);
        state.ResumeTiming();
        if (!launcher->StartMock(exam::Test::Honmen))
            state.SkipWithError("the mock did not start");
        launcher->examWindow()->repaint();
        state.PauseTiming();
        GiveUp(launcher->examWindow());
        launcher.reset();
        state.ResumeTiming();
    }
}
void BM_FirstMockAfterStartUp(benchmark::State& state) { FirstMock(state, false); }
void BM_FirstMockEver(benchmark::State& state) { FirstMock(state, true); }

// The drill start, from the settings file to the first question; AFTERMOCK: a first mock ran
// just before it, else it is the first thing after start-up (FIRST_EVER as for FirstMock). The
// drill ends untimed.
void DrillStart(benchmark::State& state, bool afterMock, bool firstEver = false)
{
    for (auto _ : state) {
        state.PauseTiming();
        tablefile::ForgetImages(firstEver);
        if (afterMock) {
            exam::ExamLauncher launcher;
            launcher.SetDataDirectory(Directory());
            if (!launcher.StartMock(exam::Test::Honmen))
                state.SkipWithError("the mock did not start");
            GiveUp(launcher.examWindow());
        }
        auto drill = std::make_unique<benchdrill::Drill>();
        drill->DrillLevel = 5;
        state.ResumeTiming();
        const bool ok = drill->Start(SettingsFile());
        state.PauseTiming();
        if (!ok)
            state.SkipWithError("no question found");
        drill->End();
        drill.reset();
        state.ResumeTiming();
    }
}
void BM_FirstDrillAfterStartUp(benchmark::State& state) { DrillStart(state, false); }
void BM_FirstDrillEver(benchmark::State& state) { DrillStart(state, false, true); }
void BM_DrillAfterMock(benchmark::State& state) { DrillStart(state, true); }

}  // namespace

BENCHMARK(BM_FirstMockAfterStartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstDrillAfterStartUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrillAfterMock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstMockEver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstDrillEver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MockStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadQuestions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveToQuestion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradeAndRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradeInWindow)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
