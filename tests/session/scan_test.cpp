// The threshold scan: which thresholds get a pass, and which one wins. The
// passes are recorded: each gives the score the test chooses for its
// threshold, as the real pass stores its own.
#include "session/scan.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

struct ThresholdScan : ::testing::Test {
    double LevelScores[256] = {};
    int bar = 100; // where the threshold bar stands
    std::vector<int> passes;
    std::function<double(int)> score = [](int) { return 0.0; };
    // The scan from where the bar stands, then the bar moved to the result,
    // which runs one more pass when it moves, as in the window.
    TScanOutcome Scan() {
        const TScanOutcome out = ScanThresholds(LevelScores, bar, [this](int32_t t) {
            passes.push_back(t);
            LevelScores[t] = score(t);
            bar = t;
        });
        EXPECT_EQ(out.BarAfterSweeps, bar);
        if (out.Result != bar) {
            passes.push_back(out.Result);
            bar = out.Result;
        }
        return out;
    }
    std::vector<int> Coarse() const {
        std::vector<int> t;
        for (int k = 1; k <= 31; ++k) t.push_back(8 * k);
        return t;
    }
    static std::vector<int> Range(int lo, int hi) {
        std::vector<int> t;
        for (int v = lo; v <= hi; ++v) t.push_back(v);
        return t;
    }
    static std::vector<int32_t> Fine(int lo, int hi) {
        std::vector<int32_t> t;
        for (int v = lo; v <= hi; ++v) t.push_back(v);
        return t;
    }
    static std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

TEST_F(ThresholdScan, WithNoScoreAboveZeroSettlesOnTwo) {
    LevelScores[77] = 5; // cleared when the scan starts
    EXPECT_EQ(Scan().BestScore, 0.0);
    EXPECT_EQ(passes, Join(Join(Coarse(), Range(1, 10)), {2}));
    EXPECT_EQ(bar, 2);
    EXPECT_EQ(LevelScores[77], 0.0);
}

TEST_F(ThresholdScan, APositionAlreadyAtEightRunsNoPassForEight) {
    bar = 8;
    score = [](int t) { return double(t); };
    Scan();
    ASSERT_FALSE(passes.empty());
    EXPECT_EQ(passes.front(), 16);
    EXPECT_EQ(LevelScores[8], 0.0);
}

TEST_F(ThresholdScan, ACoarseBestAtEitherEndClipsTheFineRange) {
    score = [](int t) { return double(t); }; // rising: 248 is the coarse best
    EXPECT_EQ(Scan().BestScore, 254.0);
    EXPECT_EQ(passes, Join(Coarse(), Range(240, 254)))
        << "254 wins and is where the fine sweep ended";
    EXPECT_EQ(bar, 254);

    passes.clear();
    score = [](int t) { return 300.0 - t; }; // falling: 8 is the coarse best, 1 the fine best
    Scan();
    EXPECT_EQ(passes, Join(Join(Coarse(), Range(1, 16)), {1}));
    EXPECT_EQ(bar, 1);
}

TEST_F(ThresholdScan, AResultAtTheEndOfTheFineRangeRunsNoExtraPass) {
    score = [](int t) { return t <= 108 ? double(t) : 0.0; }; // coarse best 104, fine best 108
    Scan();
    EXPECT_EQ(passes, Join(Join(Coarse(), Range(96, 112)), {108}));
    EXPECT_EQ(bar, 108);

    passes.clear();
    // Only 10 scores: the coarse choice stays 2, the fine range is 1..10, and
    // its last threshold wins where the sweep already stands.
    score = [](int t) { return t == 10 ? 5.0 : 0.0; };
    EXPECT_EQ(Scan().BestScore, 5.0);
    EXPECT_EQ(passes, Join(Coarse(), Range(1, 10)));
    EXPECT_EQ(bar, 10);
}

TEST_F(ThresholdScan, TiesGoToTheLowerThreshold) {
    score = [](int t) { return t >= 40 && t <= 120 ? 10.0 : 1.0; };
    Scan();
    // Coarse: 40 is the first of the equal best; fine range 32..48, of which
    // 40 is again the first with the best score.
    EXPECT_EQ(bar, 40);
    EXPECT_EQ(passes.back(), 40);
}

// How the passes are asked for: each sweep's thresholds in order, the fine
// sweep's last pass held, then shown only when it is the result (no pass
// follows it then) and otherwise ended as a pass nobody sees.
struct TSweepRecorder : TScanPasses {
    double (&scores)[256];
    std::function<double(int)> score;
    std::vector<std::pair<std::vector<int32_t>, bool>> sweeps;
    std::vector<bool> finishes;
    TSweepRecorder(double (&s)[256], std::function<double(int)> f)
        : scores(s), score(std::move(f)) {}
    void Sweep(const std::vector<int32_t>& thresholds, bool holdLast) override {
        sweeps.push_back({thresholds, holdLast});
        for (const int32_t t : thresholds) scores[t] = score(t);
    }
    void Finish(bool shown) override { finishes.push_back(shown); }
};

TEST_F(ThresholdScan, TheLastFinePassIsHeldAndShownOnlyWhenItIsTheResult) {
    std::vector<int32_t> coarse;
    for (int k = 1; k <= 31; ++k) coarse.push_back(8 * k);
    // Rising: 254 ends the fine sweep and wins.
    TSweepRecorder rising(LevelScores, [](int t) { return double(t); });
    EXPECT_EQ(ScanThresholds(LevelScores, 100, rising).Result, 254);
    ASSERT_EQ(rising.sweeps.size(), 2u);
    EXPECT_EQ(rising.sweeps[0].first, coarse);
    EXPECT_FALSE(rising.sweeps[0].second);
    EXPECT_EQ(rising.sweeps[1].first, std::vector<int32_t>(Fine(240, 254)));
    EXPECT_TRUE(rising.sweeps[1].second);
    EXPECT_EQ(rising.finishes, std::vector<bool>{true});
    // Falling, from a bar at 8: the coarse sweep starts at 16, which wins it;
    // the fine sweep 8..24 gives 8 its pass and 8 wins, so 24, which ends
    // the sweep, is ended unseen.
    TSweepRecorder falling(LevelScores, [](int t) { return 300.0 - t; });
    const TScanOutcome out = ScanThresholds(LevelScores, 8, falling);
    EXPECT_EQ(falling.sweeps[0].first.front(), 16);
    EXPECT_EQ(falling.sweeps[1].first, Fine(8, 24));
    EXPECT_EQ(out.Result, 8);
    EXPECT_EQ(out.BarAfterSweeps, 24);
    EXPECT_EQ(falling.finishes, std::vector<bool>{false});
}

} // namespace
