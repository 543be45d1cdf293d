// What find_areas() and scan() hand back: a Result holding copies, so that it
// stays as it was when later steps change the session.
#pragma once

#include "session/session.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <optional>
#include <vector>

struct TPyResult {
    int Threshold = 0, RaisedLevel = 0, RejectedLast = -1, AreaRecords = 0;
    pybind11::object Plane, PlaneName, Score, LevelScores, Labels, Areas;
};

// The figures of a pass gathered from the session without the GIL: the
// label image into `labels` (allocated by the caller, with the GIL), the
// columns of areas.csv, the level scores.
struct TGathered {
    TPassResult Pass;
    std::optional<double> Score;
    std::vector<std::vector<double>> Columns; // one per column of areas.csv
    std::vector<double> LevelScores;
};

// A (256, 256) int32 array for Gather to fill.
pybind11::array_t<int32_t> NewLabelImage();

// Reads the last pass of `s`: kept areas' labels into `labels` (0 where no
// kept area lies), and their figures. Runs without the GIL.
TGathered Gather(const TSession& s, int32_t* labels, const std::optional<double>& score);

// The Result of what was gathered (with the GIL).
pybind11::object MakeResult(TGathered&& g, pybind11::array_t<int32_t> labels);
