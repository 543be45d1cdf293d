#include "scoring_pass.h"

#include "contour.h"
#include "grow_areas.h"

#include <cassert>

namespace {

// Hears only the warnings: nobody sees the pass's dots or steps.
struct TWarningCounter : TPassObserver {
    int32_t warnings = 0;
    void SegmentListNearlyFull() override { ++warnings; }
};

} // namespace

void ScorePass(TAreaState& c, const TSeedOrder& order, int32_t threshold, TScoredPass& scored) {
    assert(threshold >= 0 && threshold <= 255);
    ReleaseRecords(c);
    StartPass(c, order);
    c.Level = uint8_t(threshold);
    TWarningCounter counter;
    GrowAreas(c, order, counter, false);

    scored.Labels.clear();
    scored.RunsEnd.clear();
    scored.Runs.clear();
    for (int32_t i = 0; i <= c.AreaCount; ++i) {
        const TArea& a = *c.Areas[i];
        if (!KeptByTrace(c, a)) continue;
        scored.Labels.push_back(a.label);
        scored.Runs.insert(scored.Runs.end(), a.runs.begin(), a.runs.end());
        scored.RunsEnd.push_back(int32_t(scored.Runs.size()));
    }
    TPassResult& r = scored.Result;
    r.Threshold = threshold;
    r.RaisedLevel = c.Level;
    r.RejectedLast = c.RejectedLast;
    r.AreaCount = c.AreaCount;
    r.KeptAreas = int32_t(scored.Labels.size());
    r.Score = c.SizeSum - c.SizeMax;
    scored.Warnings = counter.warnings;
}

void ApplyScoredPass(TAreaState& s, TPartitionTree& tree, const TSeedOrder& order,
                     const TScoredPass& scored, TPassObserver& observer) {
    s.OpCounters[1] += order.Filed;
    observer.ThresholdChosen(scored.Result.Threshold);
    for (int32_t w = 0; w < scored.Warnings; ++w) {
        ++s.OverflowWarnings;
        observer.SegmentListNearlyFull();
    }
    int32_t from = 0;
    for (size_t k = 0; k < scored.Labels.size(); ++k) {
        const int32_t to = scored.RunsEnd[k];
        RegisterArea(tree, nullptr, scored.Labels[k], scored.Runs.data() + from, to - from - 1);
        from = to;
    }
    s.LevelScores[scored.Result.Threshold] = scored.Result.Score;
    observer.PassFinished(scored.Result);
}
