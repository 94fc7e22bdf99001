#pragma once
// The main() of a benchmark that drives windows: the offscreen platform unless one is chosen, the
// program's fonts, message boxes answered by the test hooks instead of waiting for a click.

#include "Dialogs.h"
#include "Fonts.h"

#include <QApplication>

#include <benchmark/benchmark.h>

inline int RunWindowBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    dialogs::SetTestMode(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
