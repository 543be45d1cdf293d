// The threshold sweep of each picture with --sweep: made from the session as
// the analysis left it, for the export to write as sweep.csv and sweep.png.
#pragma once

#include "options.h"

#include "session/session.h"
#include "session/sweep.h"

#include <QGuiApplication>

#include <memory>
#include <optional>

// With choice.Sweep, the sweep over the plane of the session's last pass,
// the bar at `bar`; none otherwise.
std::optional<TSweep> PictureSweep(TSession& s, const TAnalysisChoice& choice, int32_t bar);

// The words of sweep.png need a GUI application's fonts: one without a
// screen, made when the options ask for sweeps.
std::unique_ptr<QGuiApplication> FontsForSweeps(const TBatchOptions& o, int& argc, char** argv);
