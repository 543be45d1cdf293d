// The pass that only scores its threshold: what it hands back, applied in
// order, changes the analysis as the shown pass at that threshold does
// (tree labels, scores, counter 1, warnings, what the observer hears), and
// its keep rule is the contour step's.
#include "areas/contour.h"
#include "areas/grow_areas.h"
#include "areas/scoring_pass.h"
#include "image/compute_planes.h"
#include "support/area_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace area_test;

namespace {

// What a window would keep of the events: the bar, the warnings and the
// label, in order (the dots and drawings are covered by the next pass).
struct TLog : TPassObserver {
    std::vector<std::string> seen;
    void ThresholdChosen(int32_t t) override { seen.push_back("bar " + std::to_string(t)); }
    void SegmentListNearlyFull() override { seen.push_back("warning"); }
    void PassFinished(const TPassResult& r) override {
        seen.push_back("label " + std::to_string(r.RejectedLast) + " kept " +
                       std::to_string(r.KeptAreas) + " raised " + std::to_string(r.RaisedLevel));
    }
};

std::vector<int32_t> TreeLabels(const TPartitionTree& tree) {
    std::vector<int32_t> labels;
    for (const TPartNode* n : tree.Nodes) labels.push_back(n->label);
    return labels;
}

// The comb of the golden tests: one-pixel teeth joined by one row, whose fill
// on the brightness plane needs more runs than the segment list holds.
void LoadComb(TSession& s) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            SetPixel(s.Grid, x, y,
                     x == 3 && y == 3         ? TRGB{0, 0, 0}
                     : x % 2 == 1 && y != 128 ? TRGB{255, 255, 255}
                                              : TRGB{10, 10, 10});
    ComputePlanes(s);
}

struct ScoringPass : ::testing::Test {
    // `shown` runs every pass in full; `scored` scores each on a context of
    // its own and applies it.
    TAreaSession shown, scored;
    std::unique_ptr<TAreaState> context = std::make_unique<TAreaState>();
    TLog shownLog, scoredLog;

    void ExpectSameEffects(const TPassOptions& options, const std::vector<int32_t>& thresholds) {
        PrepareSeedOrder(scored.S.Planes, options, scored.A.Order);
        TScoredPass result;
        for (const int32_t t : thresholds) {
            SCOPED_TRACE("threshold " + std::to_string(t));
            TPassOptions o = options;
            o.Threshold = t;
            const TPassResult full = ::FindAreas(shown.S, o, shownLog);
            ScorePass(*context, scored.A.Order, t, result);
            ApplyScoredPass(scored.A, scored.Tree, scored.A.Order, result, scoredLog);
            EXPECT_EQ(result.Result.Score, full.Score);
            EXPECT_EQ(result.Result.AreaCount, full.AreaCount);
            ASSERT_EQ(TreeLabels(scored.Tree), TreeLabels(shown.Tree));
            EXPECT_EQ(scored.A.LevelScores[t], shown.A.LevelScores[t]);
            EXPECT_EQ(scored.OpCounters[1], shown.OpCounters[1]);
            EXPECT_EQ(scored.A.OverflowWarnings, shown.A.OverflowWarnings);
            ASSERT_EQ(scoredLog.seen, shownLog.seen);
        }
    }
};

TEST_F(ScoringPass, AppliedInOrderChangesTheAnalysisAsTheShownPasses) {
    for (const char* dump : {"two/d1", "one/d1"}) {
        SCOPED_TRACE(dump);
        shown.LoadPlanes(dump);
        scored.LoadPlanes(dump);
        ExpectSameEffects({}, {8, 64, 68, 72, 120, 248, 68, 0, 255});
        if (HasFailure()) return;
    }
}

TEST_F(ScoringPass, WarningsOfTheCombAreHandedBackOncePerFill) {
    LoadComb(shown.S);
    LoadComb(scored.S);
    TPassOptions byBrightness;
    byBrightness.ByPlane = true;
    byBrightness.Plane = aV;
    ExpectSameEffects(byBrightness, {100, 180, 250});
    EXPECT_GT(shown.A.OverflowWarnings, 0) << "the comb warns";
}

// Every record of passes over real planes and over areas joined only through
// their start pixel, kept or released alike by both.
TEST_F(ScoringPass, KeepRuleIsTheContourSteps) {
    shown.LoadPlanes("two/d1");
    int kept = 0, released = 0;
    for (const int32_t level : {30, 68, 90, 200}) {
        PrepareSeedOrder(shown.S.Planes, {}, shown.A.Order);
        ReleaseRecords(shown.A);
        StartPass(shown.A, shown.A.Order);
        shown.Level = uint8_t(level);
        TPassObserver quiet;
        GrowAreas(shown.A, shown.A.Order, quiet, false);
        ClearPartLists(shown.Tree);
        for (int32_t i = 0; i <= shown.AreaCount; ++i) {
            const bool byTrace = KeptByTrace(shown.A, *shown.Areas[i]);
            shown.MeasureArea(i);
            ASSERT_EQ(byTrace, shown.Areas[i] != nullptr) << "record " << i;
            (byTrace ? kept : released) += 1;
        }
    }
    // Two blocks joined only through their start pixel: the trace enters one
    // and comes back; a spur of one pixel above the start: two points.
    shown.PrepareFill();
    shown.FillRect(10, 16, 13, 19, 50);
    shown.FillRect(10, 21, 13, 24, 50);
    shown.FillRect(9, 20, 10, 20, 50);
    shown.FillRect(30, 30, 30, 30, 50);
    shown.FillRect(30, 31, 36, 36, 50);
    for (const auto& [x, y] : {std::pair{9, 20}, {30, 30}}) {
        shown.CurLabel += 17;
        shown.Areas[shown.AreaCount]->minX = 255;
        shown.FillArea(x, y, 0);
        const bool byTrace = KeptByTrace(shown.A, *shown.Areas[shown.AreaCount]);
        shown.MeasureArea(shown.AreaCount);
        EXPECT_EQ(byTrace, shown.Areas[shown.AreaCount] != nullptr);
        (byTrace ? kept : released) += 1;
        shown.Areas[++shown.AreaCount] = std::make_unique<TArea>();
    }
    EXPECT_GT(kept, 100);
    EXPECT_GT(released, 0) << "some trace must record fewer than three points";
}

} // namespace
