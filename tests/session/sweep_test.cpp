// The threshold sweep against the pass itself: at every threshold checked,
// its row holds what a session in the same state gives when the bar is moved
// there, on photos, a picture that warns, analysing plane 3 (which every pass
// rewrites), after passes over another picture whose tree labels persist;
// the sweep leaves the session byte for byte as it was, on any number of
// workers.
#include "image/intake.h"
#include "session/scan.h"
#include "session/session.h"
#include "session/sweep.h"

#include "support/session_fingerprint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

void Sample(TBitmap& grid, const std::string& name) {
    LoadPicture(std::string(TESSA_SOURCE_DIR) + "/samples/" + name, grid);
}

void Pass(TSession& s, TPassOptions o, int32_t threshold) {
    o.Threshold = threshold;
    TPassObserver quiet;
    FindAreas(s, o, quiet);
}

// A session's road up to the sweep: pictures, planes and passes.
struct TCase {
    std::string name;
    std::function<void(TSession&)> road;
    TPassOptions options;
    int32_t bar = 100; // where the bar stands when the road ends
};

std::vector<TCase> Cases() {
    TPassOptions mix, brightness, areaMap;
    brightness.ByPlane = true;
    brightness.Plane = aV;
    areaMap.ByPlane = true;
    areaMap.Plane = aArH;
    const auto picture = [](TSession& s, const std::string& name) {
        Sample(s.Grid, name);
        ComputePlanes(s);
    };
    const auto comb = [](TSession& s) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                SetPixel(s.Grid, x, y,
                         x == 3 && y == 3         ? TRGB{0, 0, 0}
                         : x % 2 == 1 && y != 128 ? TRGB{255, 255, 255}
                                                  : TRGB{10, 10, 10});
        ComputePlanes(s);
    };
    return {
        {"coffee after the automatic pass",
         [=](TSession& s) {
             picture(s, "coffee.jpg");
             Pass(s, mix, -1);
         },
         mix},
        {"cell after passes over the rocket, whose tree labels persist",
         [=](TSession& s) {
             picture(s, "rocket.jpg");
             Pass(s, mix, 40);
             Pass(s, mix, 180);
             picture(s, "cell.jpg");
             Pass(s, mix, 8);
         },
         mix, 8},
        {"shapes by brightness",
         [=](TSession& s) {
             picture(s, "shapes.jpg");
             Pass(s, brightness, 150);
         },
         brightness, 150},
        {"comb, which warns",
         [=](TSession& s) {
             comb(s);
             Pass(s, brightness, 128);
         },
         brightness, 128},
        {"rocket analysing plane 3 after a pass at 70",
         [=](TSession& s) {
             picture(s, "rocket.jpg");
             Pass(s, mix, 70);
         },
         areaMap, 70},
    };
}

std::unique_ptr<TSession> Walk(const TCase& c, int workers = 2) {
    auto s = NewSession(workers);
    c.road(*s);
    return s;
}

// The pixels in the runs of the kept records, as the sweep counts them.
int32_t KeptRunPixels(const TSession& s) {
    int32_t n = 0;
    for (int32_t i = 0; i <= s.Areas.AreaCount; ++i)
        if (s.Areas.Areas[i])
            for (const TLineSeg& run : s.Areas.Areas[i]->runs) n += run.len;
    return n;
}

TEST(Sweep, EachRowIsWhatMovingTheBarThereGives) {
    for (const TCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const auto s = Walk(c);
        const TSweep sweep = SweepThresholds(*s, c.options, c.bar);
        const int32_t automatic = sweep.AutomaticThreshold;
        std::vector<int32_t> checked{0, 1, 2, 37, 128, 201, 254, 255, automatic, c.bar};
        if (sweep.ScanChoice) checked.push_back(*sweep.ScanChoice);
        for (const int32_t t : checked) {
            SCOPED_TRACE("threshold " + std::to_string(t));
            const auto twin = Walk(c); // the same state, the bar then moved to t
            TPassOptions o = c.options;
            o.Threshold = t;
            TPassObserver quiet;
            const TPassResult r = FindAreas(*twin, o, quiet);
            const TSweepRow& row = sweep.Rows[size_t(t)];
            EXPECT_EQ(row.Threshold, t);
            EXPECT_EQ(row.Areas, r.KeptAreas);
            EXPECT_EQ(row.RaisedLevel, r.RaisedLevel);
            EXPECT_EQ(row.RejectedLast, r.RejectedLast);
            EXPECT_EQ(row.Score, r.Score);
            EXPECT_EQ(row.Score, twin->Areas.LevelScores[t]);
            EXPECT_EQ(row.AreaPixels, KeptRunPixels(*twin));
        }
        EXPECT_EQ(sweep.Plane, c.options.ByPlane ? c.options.Plane : -1);
    }
}

// The marks: the automatic threshold is the one a pass given none takes; the
// scan's choice and best score are those of the session's scan from the
// same bar, except analysing plane 3, where the sweep cannot tell them.
TEST(Sweep, MarksTheAutomaticThresholdAndTheScansChoice) {
    for (const TCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const auto s = Walk(c);
        const TSweep sweep = SweepThresholds(*s, c.options, c.bar);
        const auto twin = Walk(c);
        TPassObserver quiet;
        TPassOptions automatic = c.options;
        automatic.Threshold = -1;
        EXPECT_EQ(sweep.AutomaticThreshold, FindAreas(*twin, automatic, quiet).Threshold);
        if (c.options.Plane == aArH && c.options.ByPlane) {
            EXPECT_FALSE(sweep.ScanChoice);
            continue;
        }
        const auto scanned = Walk(c);
        const TScanOutcome scan = ScanSession(*scanned, c.options, c.bar, quiet);
        ASSERT_TRUE(sweep.ScanChoice);
        EXPECT_EQ(*sweep.ScanChoice, scan.Result);
        EXPECT_EQ(*sweep.ScanBestScore, scan.BestScore);
    }
}

TEST(Sweep, LeavesTheSessionAsItWasOnAnyNumberOfWorkers) {
    const std::vector<TCase> cases = Cases();
    for (const TCase& c : {cases[1], cases[3], cases[4]}) {
        SCOPED_TRACE(c.name);
        const TSweep reference = SweepThresholds(*Walk(c, 1), c.options, c.bar);
        for (const int workers : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(workers) + " workers");
            const auto s = Walk(c, workers);
            const std::vector<uint8_t> before = Fingerprint(*s);
            const std::vector<uint8_t> order(reinterpret_cast<const uint8_t*>(&s->Areas.Order),
                                             reinterpret_cast<const uint8_t*>(&s->Areas.Order + 1));
            const TSweep sweep = SweepThresholds(*s, c.options, c.bar);
            EXPECT_TRUE(Fingerprint(*s) == before) << "the sweep changed the session";
            EXPECT_TRUE(std::memcmp(order.data(), &s->Areas.Order, order.size()) == 0)
                << "the sweep changed the pass's seed order";
            for (int t = 0; t < 256; ++t) {
                const TSweepRow &a = sweep.Rows[size_t(t)], &b = reference.Rows[size_t(t)];
                EXPECT_EQ(a.Areas, b.Areas) << t;
                EXPECT_EQ(a.Score, b.Score) << t;
                EXPECT_EQ(a.AreaPixels, b.AreaPixels) << t;
                EXPECT_EQ(a.RejectedLast, b.RejectedLast) << t;
            }
            EXPECT_EQ(sweep.Histogram, reference.Histogram);
        }
    }
}

// The cases do what they are there for: the comb's fills warn, plane 3
// holds the earlier pass's labels, the rows differ from threshold to
// threshold, and the histogram counts every interior position.
TEST(Sweep, TheCasesWarnCarryLabelsAndVary) {
    const std::vector<TCase> cases = Cases();
    EXPECT_GT(Walk(cases[3])->Areas.OverflowWarnings, 0);
    const auto rocket = Walk(cases[4]);
    int labelled = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) labelled += rocket->Planes[aArH][y][x] != 0;
    EXPECT_GT(labelled, 1000);
    const auto coffee = Walk(cases[0]);
    const TSweep sweep = SweepThresholds(*coffee, cases[0].options, 100);
    int differing = 0, total = 0;
    for (int t = 1; t < 256; ++t) differing += sweep.Rows[t].Areas != sweep.Rows[t - 1].Areas;
    for (const int32_t n : sweep.Histogram) total += n;
    EXPECT_GT(differing, 20);
    EXPECT_EQ(total, 254 * 254);
}

bool SameRows(const TSweep& a, const TSweep& b) {
    for (int t = 0; t < 256; ++t) {
        const TSweepRow &x = a.Rows[size_t(t)], &y = b.Rows[size_t(t)];
        if (x.Threshold != y.Threshold || x.Areas != y.Areas || x.RaisedLevel != y.RaisedLevel ||
            x.RejectedLast != y.RejectedLast || x.Score != y.Score || x.AreaPixels != y.AreaPixels)
            return false;
    }
    return a.Histogram == b.Histogram && a.AutomaticThreshold == b.AutomaticThreshold;
}

// Sweeping again after the bar moved gives what a fresh sweep gives: the
// rows kept where the working plane is the same, swept anew analysing plane
// 3, which the pass rewrote, or after another plane was chosen.
TEST(Sweep, AgainAfterTheBarMovedIsAFreshSweep) {
    const std::vector<TCase> cases = Cases();
    for (const TCase& c : {cases[0], cases[4]}) {
        SCOPED_TRACE(c.name);
        const auto s = Walk(c);
        const TSweep first = SweepThresholds(*s, c.options, c.bar);
        for (const int32_t bar : {8, 140}) {
            Pass(*s, c.options, bar);
            const TSweep again = SweepAgain(*s, c.options, bar, first);
            const TSweep fresh = SweepThresholds(*s, c.options, bar);
            EXPECT_TRUE(SameRows(again, fresh));
            EXPECT_EQ(again.Bar, bar);
            EXPECT_EQ(again.ScanChoice, fresh.ScanChoice);
            EXPECT_EQ(again.ScanBestScore, fresh.ScanBestScore);
            EXPECT_EQ(SameRows(again, first), c.options.Plane != aArH || !c.options.ByPlane)
                << "only plane 3 changed under the sweep";
        }
        TPassOptions other = c.options;
        other.ByPlane = true;
        other.Plane = aNo2;
        const TSweep elsewhere = SweepAgain(*s, other, c.bar, first);
        EXPECT_EQ(elsewhere.Plane, aNo2);
        EXPECT_TRUE(SameRows(elsewhere, SweepThresholds(*s, other, c.bar)));
    }
}

} // namespace
