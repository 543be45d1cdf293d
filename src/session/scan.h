// The threshold scan: tries the thresholds 8, 16, ..., 248, then every
// threshold within 8 of the best of them, and settles on the one with the
// highest score (the lower one on ties; 2 when no score is above 0).
#pragma once

#include <cstdint>
#include <functional>

struct TScanOutcome {
    int32_t Result = 2;          // the threshold settled on
    double BestScore = 0.0;      // its score; 0 when no threshold scored above 0
    int32_t BarAfterSweeps = -1; // where the bar stands after the sweeps
};

// Clears `scores`, then runs `pass(t)` for the thresholds of the two sweeps,
// each of which must store its score in scores[t] and leave the threshold
// bar at t. `position` is where the bar stands when the scan starts.
//
// A sweep step whose threshold is where the bar already stands runs no pass:
// the user sees the bar stay, and that threshold keeps the score 0. This can
// only happen at the first coarse step (the bar at 8 when the scan starts),
// since every pass leaves the bar at its own threshold.
//
// The caller then moves the bar to Result; when it does not stand there, one
// more pass runs there, which draws what the user sees.
TScanOutcome ScanThresholds(double (&scores)[256], int32_t position,
                            const std::function<void(int32_t)>& pass);
