#include "scan.h"

#include <algorithm>

namespace {

// The threshold of [lo, hi] with the highest score, the lower one on ties,
// 2 when no score is above 0.
int32_t BestThreshold(const double (&scores)[256], int32_t lo, int32_t hi, int32_t step,
                      double& best) {
    best = 0.0;
    int32_t result = 2;
    for (int32_t t = lo; t <= hi; t += step)
        if (scores[t] > best) {
            best = scores[t];
            result = t;
        }
    return result;
}

} // namespace

TScanOutcome ScanThresholds(double (&scores)[256], int32_t position,
                            const std::function<void(int32_t)>& pass) {
    TScanOutcome out;
    out.BarAfterSweeps = position;
    const auto sweepTo = [&](int32_t t) {
        if (t == out.BarAfterSweeps) return; // the bar does not move: no pass
        pass(t);
        out.BarAfterSweeps = t;
    };
    for (double& score : scores) score = 0.0;
    for (int32_t k = 1; k <= 31; ++k) sweepTo(8 * k);
    double coarseBest;
    const int32_t coarse = BestThreshold(scores, 8, 248, 8, coarseBest);
    const int32_t lo = std::max(1, coarse - 8), hi = std::min(254, coarse + 8);
    for (int32_t t = lo; t <= hi; ++t) sweepTo(t);
    out.Result = BestThreshold(scores, lo, hi, 1, out.BestScore);
    return out;
}
