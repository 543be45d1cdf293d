// The user's actions as one recipe: the bar the session keeps, the scan
// against every pass run in full one by one, what an analysis tells its
// observer, a refused picture, and picking a plane.
#include "session/analysis.h"

#include "image/picture_error.h"
#include "support/session_fingerprint.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

const std::string Samples = std::string(TESSA_SOURCE_DIR) + "/samples/";

// What an analysis told, in order.
struct TRecorder : TAnalysisObserver {
    std::vector<std::string> heard;
    bool failing = false;
    void AnalysisStarts() override { heard.push_back("starts"); }
    void AnalysisDone(const TAnalysed& a) override {
        heard.push_back("done " + std::to_string(a.Pass.Threshold));
    }
    void AnalysisFailed() override { heard.push_back("failed"); }
    void ThresholdChosen(int32_t t) override {
        heard.push_back("threshold " + std::to_string(t));
        if (failing) throw std::bad_alloc();
    }
};

TEST(Analysis, TheScanIsEveryPassRunInFullFromTheBar) {
    for (const char* name : {"coffee.jpg", "bricks.bmp", "cell.jpg"})
        for (const int plane : {-1, 10, int(aArH)}) {
            SCOPED_TRACE(std::string(name) + " plane " + std::to_string(plane));
            TAnalysisRequest how;
            how.Pass.ByPlane = plane >= 0;
            if (plane >= 0) how.Pass.Plane = plane;
            how.Scan = true;
            const auto s = NewSession(2);
            TAnalysisObserver quiet;
            ChoosePicture(*s, Samples + name, {});
            const TAnalysed a = AnalyseChosen(*s, how, quiet);

            // The same by hand: every pass in full, the bar following it.
            const auto full = NewSession(1);
            ChoosePicture(*full, Samples + name, {});
            int32_t bar = InitialThresholdBar;
            const auto pass = [&](int32_t t) {
                TPassOptions o = how.Pass;
                o.Threshold = t;
                bar = FindAreas(*full, o, quiet).Threshold;
            };
            const TScanOutcome byHand = ScanThresholds(full->Areas.LevelScores, bar, pass);
            EXPECT_EQ(a.PassAtResult, byHand.Result != bar);
            if (byHand.Result != bar) pass(byHand.Result);

            EXPECT_EQ(a.Scan->Result, byHand.Result);
            EXPECT_EQ(a.Scan->BestScore, byHand.BestScore);
            EXPECT_EQ(s->ThresholdBar, bar);
            EXPECT_EQ(a.Pass.Threshold, byHand.Result);
            EXPECT_EQ(a.Pass.KeptAreas, full->LastPass->KeptAreas);
            EXPECT_TRUE(Fingerprint(*s) == Fingerprint(*full)) << "the sessions differ";
        }
}

TEST(Analysis, AnAnalysisIsHeardAsOneAndTheBarFollowsItsPasses) {
    const auto s = NewSession(1);
    TRecorder heard;
    EXPECT_EQ(s->ThresholdBar, InitialThresholdBar);
    ChoosePicture(*s, Samples + "shapes.jpg", {});
    const TAnalysed a = AnalyseChosen(*s, {}, heard);
    EXPECT_EQ(s->ThresholdBar, a.Pass.Threshold) << "the automatic pass moves the bar";
    const std::string t = std::to_string(a.Pass.Threshold);
    EXPECT_EQ(heard.heard, (std::vector<std::string>{"starts", "threshold " + t, "done " + t}));

    heard.heard.clear();
    EXPECT_EQ(MoveThreshold(*s, 77, {}, heard).Threshold, 77);
    EXPECT_EQ(s->ThresholdBar, 77);
    EXPECT_EQ(heard.heard, (std::vector<std::string>{"starts", "threshold 77", "done 77"}));

    // A pass that fails is heard failing, the bar where it got to.
    heard.heard.clear();
    heard.failing = true;
    EXPECT_THROW(MoveThreshold(*s, 30, {}, heard), std::bad_alloc);
    EXPECT_EQ(heard.heard, (std::vector<std::string>{"starts", "threshold 30", "failed"}));
    EXPECT_EQ(s->ThresholdBar, 30);
}

TEST(Analysis, ARefusedPictureChangesNothingThePlacementIncluded) {
    const auto s = NewSession(1);
    ChoosePicture(*s, Samples + "coffee.jpg", {});
    s->Areas.LevelScores[9] = 1.5;
    const std::vector<uint8_t> before = Fingerprint(*s);
    TPlacement fit;
    fit.Kind = TPlacement::Fit;
    EXPECT_THROW(ChoosePicture(*s, Samples + "LICENSES.md", fit), TPictureError);
    EXPECT_EQ(s->Placement.Kind, TPlacement::TopLeft);
    EXPECT_TRUE(Fingerprint(*s) == before);
    // A picture that lands keeps the placement and clears the scores.
    ChoosePicture(*s, Samples + "coffee.jpg", fit);
    EXPECT_EQ(s->Placement.Kind, TPlacement::Fit);
    EXPECT_EQ(s->Areas.LevelScores[9], 0.0);
}

TEST(Analysis, PickingAPlaneAnalysesOnlyByPlane) {
    const auto s = NewSession(1);
    ChoosePicture(*s, Samples + "bricks.bmp", {});
    TRecorder heard;
    TAnalysisRequest how;
    const TPlanePicked shown = PickPlane(*s, 12, how, heard);
    EXPECT_EQ(shown.Show, 12);
    EXPECT_FALSE(shown.Analysed);
    EXPECT_TRUE(heard.heard.empty());

    how.Pass.ByPlane = true;
    const TPlanePicked analysed = PickPlane(*s, 12, how, heard);
    EXPECT_EQ(analysed.Show, aArH);
    ASSERT_TRUE(analysed.Analysed);
    EXPECT_EQ(analysed.Analysed->Pass.Plane, 12);
    EXPECT_EQ(s->LastPass->Plane, 12);
    EXPECT_FALSE(heard.heard.empty());
}

} // namespace
