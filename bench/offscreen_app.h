// The set-up of the benchmarks that need the window: a QApplication off
// screen around the benchmarks that `run` runs.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

template <typename TRun> int RunBenchmarksOffScreen(int argc, char** argv, TRun&& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    run();
    benchmark::Shutdown();
    return 0;
}
