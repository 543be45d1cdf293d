// The contour trace against its plain twin: from many start pixels and
// centres over random and adversarial label maps, both must record the same
// points, shades and tracer pixels, the same contour, profile and radius sum
// (to the bit), and keep or drop the record alike.
#include "areas/contour.h"
#include "areas/fill.h"
#include "support/plain_trace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TraceTwin : ::testing::Test {
    std::unique_ptr<TAreaState> s = std::make_unique<TAreaState>();
    std::mt19937 rng{27};
    int traced = 0, longest = 0;

    void Map(const std::function<int32_t(int, int)>& label) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) s->LabelMap[y][x] = label(x, y);
    }

    // Traces from (x, y) with the map's label there and a centre at (cx, cy).
    void Compare(int x, int y, int cx, int cy) {
        TArea a, b;
        a.minX = b.minX = uint16_t(x);
        a.minXRow = b.minXRow = uint16_t(y);
        a.label = b.label = s->LabelMap[y][x];
        a.meanX = b.meanX = uint16_t(cx);
        a.meanY = b.meanY = uint16_t(cy);
        TOutlineScratch fast, plain;
        TraceArea(*s, a, fast);
        plain_trace::TraceArea(*s, b, plain);
        ++traced;
        const std::string at =
            std::to_string(x) + "," + std::to_string(y) + " label " + std::to_string(a.label);
        ASSERT_EQ(fast.Count, plain.Count) << at;
        for (size_t i = 0; i < plain.Count; ++i) {
            ASSERT_EQ(fast.Points[i].x, plain.Points[i].x) << at << " point " << i;
            ASSERT_EQ(fast.Points[i].y, plain.Points[i].y) << at << " point " << i;
            ASSERT_EQ(fast.Shades[i], plain.Shades[i]) << at << " point " << i;
            ASSERT_EQ(fast.At[i].x, plain.At[i].x) << at << " point " << i;
            ASSERT_EQ(fast.At[i].y, plain.At[i].y) << at << " point " << i;
        }
        ASSERT_EQ(a.contourHigh, b.contourHigh) << at;
        ASSERT_EQ(std::memcmp(a.shape, b.shape, sizeof a.shape), 0) << at;
        ASSERT_EQ(std::memcmp(&a.radiusSum, &b.radiusSum, sizeof a.radiusSum), 0) << at;
        ASSERT_EQ(KeptByTrace(*s, a), plain_trace::KeptByTrace(*s, b)) << at;
        longest = std::max(longest, int(plain.Count));
    }

    // `starts` random interior pixels whose label is not `skip`, random centres.
    void CompareFrom(int starts, int32_t skip = 0) {
        for (int i = 0; i < starts && !HasFatalFailure(); ++i) {
            int x, y;
            do {
                x = 1 + int(rng() % 254);
                y = 1 + int(rng() % 254);
            } while (s->LabelMap[y][x] == skip);
            Compare(x, y, int(rng() % 256), int(rng() % 256));
        }
    }
};

// Areas as the fill leaves them on noise and on blotches, with the lone
// pixels that joined their left neighbour.
TEST_F(TraceTwin, AreasOfRandomFills) {
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::memset(s->LabelMap, 0, sizeof s->LabelMap);
        const int scale = 1 + round * 6;
        std::vector<uint8_t> blot(64 * 64);
        for (auto& v : blot) v = uint8_t(rng());
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                s->WorkPlane[y][x] = y == 0 || y == 255 || x == 0 || x == 255
                                         ? 255
                                         : blot[size_t((y / scale) % 64 * 64 + (x / scale) % 64)];
        s->Level = 120;
        s->CurLabel = 3;
        s->AreaCount = 0;
        s->Areas[0] = std::make_unique<TArea>();
        TPassObserver quiet;
        for (int y = 1; y < 255; ++y)
            for (int x = 1; x < 255; ++x)
                if (s->WorkPlane[y][x] < s->Level && s->LabelMap[y][x] == 0) {
                    s->CurLabel += 17;
                    s->Areas[0]->minX = 255;
                    FillArea(*s, x, y, 0, quiet, false);
                    // From the start the pass would give it, towards its mean.
                    if (s->Lines.s >= 0 &&
                        s->LabelMap[s->Areas[0]->minXRow][s->Areas[0]->minX] == s->CurLabel) {
                        Compare(s->Areas[0]->minX, s->Areas[0]->minXRow, s->Areas[0]->meanX,
                                s->Areas[0]->meanY);
                        if (HasFatalFailure()) return;
                    }
                }
        CompareFrom(300);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(traced, 2000);
    EXPECT_GT(longest, 200);
}

// One-pixel lines along and across the rows and on the diagonal, a comb, a
// spiral, areas on the frame and over it, label 0 on an empty map, and a
// map of two labels at random.
TEST_F(TraceTwin, ThinAreasFrameAndNoise) {
    const std::vector<std::function<int32_t(int, int)>> maps = {
        [](int, int y) { return y % 2 ? 20 : 37; },
        [](int x, int) { return x % 3 ? 20 : 0; },
        [](int x, int y) { return (x + y) % 2 ? 20 : 0; },
        [](int x, int y) { return y == 1 || (x % 2 && y < 200) ? 20 : 0; },
        [](int x, int y) { // a square spiral, one pixel wide
            const int d = std::min(std::min(x, y), std::min(255 - x, 255 - y));
            const bool ring = d % 2 == 1, gap = x == d + 1 && y == d;
            return ring != gap ? 20 : 0;
        },
        [](int, int) { return 20; },                                                // frame too
        [](int x, int y) { return x < 2 || y < 2 || x > 253 || y > 253 ? 20 : 0; }, // frame edge
        [](int, int) { return 0; },
    };
    for (size_t i = 0; i < maps.size(); ++i) {
        SCOPED_TRACE("map " + std::to_string(i));
        Map(maps[i]);
        CompareFrom(60, i + 1 == maps.size() ? -1 : 0);
        if (HasFatalFailure()) return;
    }
    std::vector<uint32_t> noise(256 * 256);
    for (auto& v : noise) v = rng();
    Map([&](int x, int y) { return noise[size_t(y * 256 + x)] % 3 ? 20 : 37; });
    CompareFrom(400);
    EXPECT_GT(traced, 800);
}

} // namespace
