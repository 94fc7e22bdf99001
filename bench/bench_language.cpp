// The pupil's language: switching it with a question on screen (the drill window's captions and
// statement, as the menu's control does it), and the drill start and an exam's page turn in
// Japanese and in English with the translation under each statement (honyaku.sqlite holding a
// translation of every text of a 1,000-question bank).
//
// Argument names: en 1 for English (both), 0 for Japanese.

#include "BenchData.h"
#include "DataDirectory.h"
#include "Dialogs.h"
#include "ExamLauncher.h"
#include "ExamWindow.h"
#include "Fonts.h"
#include "Honyaku.h"
#include "LanguageChoice.h"
#include "TForm4.h"
#include "WindowBenchMain.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// A data directory of 1,000 questions with a translation of every statement and explanation.
const benchdata::DataDir& Data()
{
    static const benchdata::DataDir dir = [] {
        benchdata::DataDir d = benchdata::MakeDataDir(benchdata::ScratchRoot() + "/language/", {1000, false}, 20);
        std::vector<honyaku::Row> rows;
        for (const honyaku::SourceText& t : honyaku::BankTexts(d.directory))
            rows.push_back({"en", t.source, t.bango, t.field,
                            "An English sentence of about the length a translated statement has, "
                            "for statement " + t.bango,
                            honyaku::SourceHash(t.japanese)});
        honyaku::Store store;
        store.Open(d.directory + honyaku::kFileName);
        store.Replace("en", rows);
        SetProgramPath(d.settingsFile.substr(0, d.settingsFile.rfind('/') + 1) + "lentavo");
        return d;
    }();
    return dir;
}

void Choose(bool english)
{
    LanguageChoice::Instance().Choose(english ? honyaku::FindLanguage("en") : nullptr, honyaku::Mode::Both);
    QCoreApplication::processEvents();   // the windows' captions change by a posted event
}

void BM_SwitchLanguage(benchmark::State& state)
{
    Data();
    Choose(false);
    TForm4 form;
    form.DrillLevel = 5;
    form.show();
    bool english = false;
    for (auto _ : state) {
        english = !english;
        Choose(english);
        form.repaint();
    }
    Choose(false);
    form.close();
    benchdata::RestoreHistory(Data());
}

// The drill window's start: the settings file, the three tables, the search, the first
// question shown.
void BM_DrillWindowStart(benchmark::State& state)
{
    Choose(state.range(0) != 0);
    for (auto _ : state) {
        benchdata::RestoreHistory(Data());
        TForm4 form;
        form.DrillLevel = 5;
        const auto t0 = Clock::now();
        form.show();
        form.repaint();
        const auto t1 = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        form.close();
    }
    Choose(false);
}

void BM_ExamPageTurn(benchmark::State& state)
{
    Choose(state.range(0) != 0);
    exam::ExamLauncher launcher;
    launcher.SetDataDirectory(Data().directory);
    launcher.SetNextSeed(5);
    launcher.StartMock(exam::Test::Karimen);
    exam::ExamWindow* w = launcher.examWindow();
    w->repaint();
    const int n = int(w->paper().questions.size());
    int i = 0;
    for (auto _ : state) {
        i = (i + 1) % n;
        w->Go(i);
        w->repaint();
    }
    dialogs::QueueConfirmAnswer(true);
    w->close();
    Choose(false);
}

}  // namespace

BENCHMARK(BM_SwitchLanguage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrillWindowStart)->ArgName("en")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExamPageTurn)->ArgName("en")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
