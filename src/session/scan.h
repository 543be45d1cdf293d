// The threshold scan: tries the thresholds 8, 16, ..., 248, then every
// threshold within 8 of the best of them, and settles on the one with the
// highest score (the lower one on ties; 2 when no score is above 0).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct TSession;
struct TPassOptions;
class TPassObserver;

struct TScanOutcome {
    int32_t Result = 2;          // the threshold settled on
    double BestScore = 0.0;      // its score; 0 when no threshold scored above 0
    int32_t BarAfterSweeps = -1; // where the bar stands after the sweeps
};

// How the passes of the scan's two sweeps run.
class TScanPasses {
  public:
    virtual ~TScanPasses() = default;
    // Runs the passes for `thresholds`, in this order, as the user would see
    // them run one after the other: each stores its score in scores[t] and
    // leaves the bar at t. With `holdLast`, the last one stores its score but
    // holds its other effects until Finish.
    virtual void Sweep(const std::vector<int32_t>& thresholds, bool holdLast) = 0;
    // Ends the held pass: as the user sees it when `shown` (its views stay
    // on the screen), else as a pass whose drawing is covered by the next.
    virtual void Finish(bool shown) = 0;
};

// Clears `scores`, then runs the passes of the two sweeps. A sweep step
// whose threshold is where the bar already stands runs no pass: the user
// sees the bar stay, and that threshold keeps the score 0. This can only
// happen at the first coarse step (the bar at 8 when the scan starts), since
// every pass leaves the bar at its own threshold. The last fine pass is held
// and then shown when it is the result, since no further pass runs then.
//
// The caller then moves the bar to Result; when it does not stand there, one
// more pass runs there, which draws what the user sees.
TScanOutcome ScanThresholds(double (&scores)[256], int32_t position, TScanPasses& passes);

// The same with `pass(t)` running every pass in full, one by one.
TScanOutcome ScanThresholds(double (&scores)[256], int32_t position,
                            const std::function<void(int32_t)>& pass);

// The scan of a session's own analysis, with the options of its passes (the
// threshold aside), from the bar's position, telling `observer` what every
// pass tells, in threshold order, as if each ran in full: the threshold, the
// segment-list warnings, the end of the pass. The passes nobody sees are
// scored on the session's workers, on contexts of their own, over one
// working plane and seed order, and skip their drawing; their effects on the
// session (tree labels, counter 1, scores, warnings) are applied in order.
// Only the last fine pass, when it is the result, is drawn. With fill steps
// painted, or analysing plane 3, which each pass rewrites for the next,
// every pass runs in full.
TScanOutcome ScanSession(TSession& s, const TPassOptions& options, int32_t position,
                         TPassObserver& observer);

// Makes the session's scoring contexts, one per worker, when missing.
void PrepareScanContexts(TSession& s);
