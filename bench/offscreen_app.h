// The set-up of the benchmarks that need the window: a QApplication off
// screen and the program's start-up, around the benchmarks that `run` runs.
#pragma once

#include "main/startup.h"

#include <QApplication>
#include <benchmark/benchmark.h>

template <typename TRun> int RunBenchmarksOffScreen(int argc, char** argv, TRun&& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    StartUpSystem();
    benchmark::Initialize(&argc, argv);
    run();
    benchmark::Shutdown();
    return 0;
}
