// The threshold sweep: what the area pass gives at every threshold 0..255,
// each as if the threshold bar were moved there from the session's present
// state, with the same picture, working plane and options.
//
// Reads the session's planes only. Each threshold grows its areas on one of
// the session's scratch contexts (those of the threshold scan), on its
// workers, over one seed order of its own: the session's analysis (records,
// label map, tree, planes, scores, counters, view) stays as it was. Nothing
// from one threshold reaches another, which is what moving the bar from the
// same state gives; analysing plane 3 by plane, every threshold reads the
// label view the last pass left, as the next pass would.
#pragma once

#include "areas/pass_observer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct TSession;

// The outcome of the pass at one threshold.
struct TSweepRow {
    int32_t Threshold = 0;
    int32_t Areas = 0;         // kept areas
    int32_t RaisedLevel = 0;   // the fill threshold after its raises
    int32_t RejectedLast = -1; // index of the last rejected fill, -1 none
    double Score = 0;          // size sum less the largest size, as the scan scores it
    int32_t AreaPixels = 0;    // pixels in the runs of the kept areas
};

struct TSweep {
    std::array<TSweepRow, 256> Rows;
    // Interior positions (rows and columns 1..254) of the working plane by
    // value.
    std::array<int32_t, 256> Histogram{};
    int32_t AutomaticThreshold = 0; // what the pass chooses when given none
    // The threshold the scan settles on from the bar's position, when it can
    // be told from these rows: not when plane 3 is analysed by plane, since
    // every pass of the scan then rewrites the plane for the next.
    std::optional<int32_t> ScanChoice;
    std::optional<double> ScanBestScore;
    int32_t Plane = -1;                // the plane analysed, -1 for the brightness/noise mix
    int32_t Bar = 0;                   // where the bar stood
    std::vector<uint8_t> WorkingPlane; // 256 x 256, row by row, without its frame
};

// The sweep over the session's planes with `options` (its threshold is
// ignored), the bar standing at `position` (for the scan's choice).
TSweep SweepThresholds(TSession& s, const TPassOptions& options, int32_t position);

// The same, reusing the rows of `last` when it swept the working plane
// these planes and options give: only the bar has moved then, and with it
// perhaps the scan's choice.
TSweep SweepAgain(TSession& s, const TPassOptions& options, int32_t position, const TSweep& last);
