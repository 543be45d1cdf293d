// The threshold scan: which thresholds get a pass, and which one wins. The
// passes are recorded: each gives the score the test chooses for its
// threshold, as the real pass stores its own.
#include "areas/area_tables.h"
#include "image/plane_store.h"
#include "main/uMain.h"

#include <QListWidget>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct ThresholdScan : ::testing::Test {
    TfrmMain form{"/nonexistent"};
    std::vector<int> passes;
    std::function<double(int)> score = [](int) { return 0.0; };
    void SetUp() override {
        form.RunAreaPass = [this](int32_t level) {
            passes.push_back(level);
            if (level >= 0) LevelScores[level] = score(level);
        };
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
    static std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

TEST_F(ThresholdScan, WithNoScoreAboveZeroSettlesOnTwo) {
    LevelScores[77] = 5; // cleared when the scan starts
    form.ScanClick();
    EXPECT_EQ(passes, Join(Join(Coarse(), Range(1, 10)), {2}));
    EXPECT_EQ(form.ScrollBar2->value(), 2);
    EXPECT_EQ(LevelScores[77], 0.0);
    EXPECT_FALSE(form.ScanRunning);
}

TEST_F(ThresholdScan, APositionAlreadyAtEightRunsNoPassForEight) {
    form.ScrollBar2->setValue(8);
    passes.clear();
    score = [](int t) { return double(t); };
    form.ScanClick();
    ASSERT_FALSE(passes.empty());
    EXPECT_EQ(passes.front(), 16);
    EXPECT_EQ(LevelScores[8], 0.0);
}

TEST_F(ThresholdScan, ACoarseBestAtEitherEndClipsTheFineRange) {
    score = [](int t) { return double(t); }; // rising: 248 is the coarse best
    form.ScanClick();
    EXPECT_EQ(passes, Join(Coarse(), Range(240, 254)))
        << "254 wins and is where the fine sweep ended";
    EXPECT_EQ(form.ScrollBar2->value(), 254);

    passes.clear();
    score = [](int t) { return 300.0 - t; }; // falling: 8 is the coarse best, 1 the fine best
    form.ScanClick();
    EXPECT_EQ(passes, Join(Join(Coarse(), Range(1, 16)), {1}));
    EXPECT_EQ(form.ScrollBar2->value(), 1);
}

TEST_F(ThresholdScan, AResultAtTheEndOfTheFineRangeRunsNoExtraPass) {
    score = [](int t) { return t <= 108 ? double(t) : 0.0; }; // coarse best 104, fine best 108
    form.ScanClick();
    EXPECT_EQ(passes, Join(Join(Coarse(), Range(96, 112)), {108}));
    EXPECT_EQ(form.ScrollBar2->value(), 108);

    passes.clear();
    // Only 10 scores: the coarse choice stays 2, the fine range is 1..10, and
    // its last threshold wins where the sweep already stands.
    score = [](int t) { return t == 10 ? 5.0 : 0.0; };
    form.ScanClick();
    EXPECT_EQ(passes, Join(Coarse(), Range(1, 10)));
    EXPECT_EQ(form.ScrollBar2->value(), 10);
}

TEST_F(ThresholdScan, TiesGoToTheLowerThreshold) {
    score = [](int t) { return t >= 40 && t <= 120 ? 10.0 : 1.0; };
    form.ScanClick();
    // Coarse: 40 is the first of the equal best; fine range 32..48, of which
    // 40 is again the first with the best score.
    EXPECT_EQ(form.ScrollBar2->value(), 40);
    EXPECT_EQ(passes.back(), 40);
}

TEST_F(ThresholdScan, SweepsWithoutRedrawingAndShowsTheAreaMapAtTheEnd) {
    // The plane view lists and clears the counters each time it draws: a
    // counter raised by every pass shows how many passes ran since it last drew.
    score = [](int t) {
        OpCounters[5] += 1;
        return t == 10 ? 5.0 : 0.0;
    };
    form.ScanClick();
    EXPECT_EQ(form.ListBox2->item(5)->text(), "5 : 41") << "31 + 10 passes, then one drawing";
    EXPECT_EQ(form.ListBox1->currentRow(), 3);
}

} // namespace
