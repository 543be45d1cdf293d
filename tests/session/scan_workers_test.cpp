// The scan of a session scores its thresholds on workers and applies them in
// threshold order: with 1, 2 and 3 workers it leaves the session exactly as
// the scan that runs every pass in full, one by one, and the observer hears
// the same bar moves, warnings and pass ends in the same order, on photos,
// on a picture whose thresholds tie, on the comb that warns, from a bar at 8,
// analysing plane 3 and painting the fill steps.
#include "image/intake.h"
#include "session/scan.h"
#include "session/session.h"

#include "support/session_fingerprint.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What the window keeps of the events: the bar, the warnings, the label and
// (as one running sum) the fill steps painted.
struct TLog : TPassObserver {
    std::vector<std::string> seen;
    uint64_t steps = 0;
    void ThresholdChosen(int32_t t) override { seen.push_back("bar " + std::to_string(t)); }
    void SegmentListNearlyFull() override { seen.push_back("warning"); }
    void FillStepTaken(int x, int y, TRGB) override { steps = steps * 31 + uint64_t(y * 256 + x); }
    void PassFinished(const TPassResult& r) override {
        seen.push_back("label " + std::to_string(r.RejectedLast));
    }
};

struct TCase {
    std::string name;
    std::function<void(TBitmap&)> picture;
    TPassOptions options;
    int32_t position = 100;
};

void Sample(TBitmap& grid, const std::string& name) {
    LoadPicture(std::string(TESSA_SOURCE_DIR) + "/samples/" + name, grid);
}

// A picture, its planes, the pass a load runs, the scan (by `scan`), the
// pass at the result when the bar moves there, and the area map drawn.
struct TRun {
    std::unique_ptr<TSession> s;
    TLog log;
    TScanOutcome outcome;

    TRun(const TCase& c, int workers,
         const std::function<TScanOutcome(TSession&, const TPassOptions&, int32_t, TLog&)>& scan)
        : s(NewSession(workers)) {
        c.picture(s->Grid);
        ComputePlanes(*s);
        FindAreas(*s, c.options, log);
        outcome = scan(*s, c.options, c.position, log);
        if (outcome.Result != outcome.BarAfterSweeps) {
            TPassOptions o = c.options;
            o.Threshold = outcome.Result;
            FindAreas(*s, o, log);
        }
        DrawPlane(*s, aArH);
    }
};

TScanOutcome OneByOne(TSession& s, const TPassOptions& options, int32_t position, TLog& log) {
    return ScanThresholds(s.Areas.LevelScores, position, [&](int32_t t) {
        TPassOptions o = options;
        o.Threshold = t;
        FindAreas(s, o, log);
    });
}

TScanOutcome OnWorkers(TSession& s, const TPassOptions& options, int32_t position, TLog& log) {
    return ScanSession(s, options, position, log);
}

std::vector<TCase> Cases() {
    TPassOptions mix, brightness, areaMap, painted;
    brightness.ByPlane = true;
    brightness.Plane = aV;
    areaMap.ByPlane = true;
    areaMap.Plane = aArH;
    painted.PaintSteps = true;
    const auto comb = [](TBitmap& g) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                SetPixel(g, x, y,
                         x == 3 && y == 3         ? TRGB{0, 0, 0}
                         : x % 2 == 1 && y != 128 ? TRGB{255, 255, 255}
                                                  : TRGB{10, 10, 10});
    };
    // Blocks of one grey on a lighter ground, one black pixel: three values
    // on the brightness plane, so that many thresholds score alike.
    const auto blocks = [](TBitmap& g) {
        FillBitmap(g, {220, 220, 220});
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (x % 20 < 10 && y % 20 < 10) SetPixel(g, x, y, {90, 90, 90});
        SetPixel(g, 3, 3, {0, 0, 0});
    };
    return {
        {"coffee", [](TBitmap& g) { Sample(g, "coffee.jpg"); }, mix},
        {"astronaut", [](TBitmap& g) { Sample(g, "astronaut.bmp"); }, mix},
        {"cell from a bar at 8", [](TBitmap& g) { Sample(g, "cell.jpg"); }, mix, 8},
        {"comb, which warns", comb, brightness},
        {"blocks, whose thresholds tie", blocks, brightness},
        {"rocket analysing plane 3", [](TBitmap& g) { Sample(g, "rocket.jpg"); }, areaMap},
        {"shapes with the steps painted", [](TBitmap& g) { Sample(g, "shapes.jpg"); }, painted},
    };
}

TEST(ScanOnWorkers, LeavesTheSessionAsTheScanOfFullPassesOneByOne) {
    for (const TCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const TRun reference(c, 1, OneByOne);
        const std::vector<uint8_t> expected = Fingerprint(*reference.s);
        for (const int workers : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(workers) + " workers");
            const TRun run(c, workers, OnWorkers);
            EXPECT_EQ(run.outcome.Result, reference.outcome.Result);
            EXPECT_EQ(run.outcome.BestScore, reference.outcome.BestScore);
            EXPECT_EQ(run.outcome.BarAfterSweeps, reference.outcome.BarAfterSweeps);
            EXPECT_EQ(run.log.seen, reference.log.seen);
            EXPECT_EQ(run.log.steps, reference.log.steps);
            EXPECT_TRUE(Fingerprint(*run.s) == expected) << "the sessions differ";
        }
    }
}

// The cases do what they are there for.
TEST(ScanOnWorkers, TheCasesWarnTieAndSkip) {
    const std::vector<TCase> cases = Cases();
    const TRun comb(cases[3], 2, OnWorkers), blocks(cases[4], 2, OnWorkers),
        cell(cases[2], 2, OnWorkers);
    int warnings = 0;
    for (const std::string& e : comb.log.seen) warnings += e == "warning";
    EXPECT_GT(warnings, 1) << "several passes of the comb's scan warn";
    EXPECT_EQ(comb.s->Areas.OverflowWarnings, warnings);

    const double(&scores)[256] = blocks.s->Areas.LevelScores;
    const int32_t r = blocks.outcome.Result;
    int ties = 0;
    for (int32_t t = r + 1; t <= r + 8 && t <= 254; ++t) ties += scores[t] == scores[r];
    EXPECT_GT(ties, 0) << "a higher threshold of the fine range scores as the result does";
    EXPECT_GT(scores[r], scores[r - 1]) << "the lowest of the tied thresholds wins";

    EXPECT_EQ(cell.s->Areas.LevelScores[8], 0.0) << "no pass for 8 where the bar stood";
    EXPECT_GT(cell.s->Areas.LevelScores[16], 0.0);
}

// An error while a pass is applied (here the observer's, at threshold 64)
// ends the scan with that error on any number of workers, and the session
// scans again afterwards as a fresh one does.
TEST(ScanOnWorkers, AnErrorEndsTheScanAndTheSessionGoesOn) {
    struct TFailsAt64 : TPassObserver {
        void PassFinished(const TPassResult& r) override {
            if (r.Threshold == 64) throw std::runtime_error("at 64");
        }
    };
    const TCase coffee = Cases()[0];
    const TRun fresh(coffee, 1, OnWorkers);
    for (const int workers : {1, 2}) {
        const auto s = NewSession(workers);
        coffee.picture(s->Grid);
        ComputePlanes(*s);
        TFailsAt64 failing;
        EXPECT_THROW(ScanSession(*s, {}, 100, failing), std::runtime_error);
        TPassObserver quiet;
        const TScanOutcome again = ScanSession(*s, {}, 100, quiet);
        EXPECT_EQ(again.Result, fresh.outcome.Result);
        EXPECT_EQ(again.BestScore, fresh.outcome.BestScore);
    }
}

} // namespace
