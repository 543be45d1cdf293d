// The region fill by runs against its plain twin, which tests and takes one
// pixel at a time: every fill of a pass-like sweep over random and
// adversarial working planes must leave the same segment list, record,
// sums, rejections, warnings, label map, working plane and painted steps.
#include "areas/fill.h"
#include "support/plain_fill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// What the fill tells, in order: a step (x, y, colour) or a warning (-1).
struct TEvents : TPassObserver {
    std::vector<int64_t> seen;
    void FillStepTaken(int x, int y, TRGB c) override {
        seen.push_back(int64_t(x) | int64_t(y) << 8 | int64_t(c.r) << 16 | int64_t(c.g) << 24 |
                       int64_t(c.b) << 32);
    }
    void SegmentListNearlyFull() override { seen.push_back(-1); }
};

struct TTwins {
    std::unique_ptr<TAreaState> runs = std::make_unique<TAreaState>();
    std::unique_ptr<TAreaState> plain = std::make_unique<TAreaState>();
    int fills = 0, overflows = 0, rejected = 0, longest = 0;

    // A working plane (its frame set to 255 here), an empty label map or the
    // one given, and the level.
    void Start(const std::function<uint8_t(int, int)>& value, uint8_t level) {
        for (TAreaState* s : {runs.get(), plain.get()}) {
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    s->WorkPlane[y][x] =
                        y == 0 || y == 255 || x == 0 || x == 255 ? 255 : value(x, y);
            std::memset(s->LabelMap, 0, sizeof s->LabelMap);
            s->Level = level;
            s->CurLabel = 3;
            s->AreaCount = 0;
            s->Areas[0] = std::make_unique<TArea>();
            s->RejectedLast = -1;
            s->SizeSum = s->SizeMax = 0;
        }
    }

    // One fill from (x, y) on both; compares everything it writes.
    void Fill(int x, int y, int32_t key, bool paint) {
        TEvents a, b;
        const int32_t rejectedBefore = plain->RejectedLast;
        for (TAreaState* s : {runs.get(), plain.get()}) {
            s->CurLabel += 17;
            s->Areas[0]->minX = 255;
        }
        const bool got = FillArea(*runs, x, y, key, a, paint);
        const bool want = plain_fill::FillArea(*plain, x, y, key, b, paint);
        ++fills;
        const std::string at = std::to_string(x) + "," + std::to_string(y);
        ASSERT_EQ(got, want) << at;
        ASSERT_EQ(runs->Lines.s, plain->Lines.s) << at;
        ASSERT_EQ(std::memcmp(runs->Lines.e, plain->Lines.e,
                              sizeof(TLineSeg) * size_t(plain->Lines.s + 1)),
                  0)
            << at;
        const TArea &ra = *runs->Areas[0], &pa = *plain->Areas[0];
        ASSERT_EQ(ra.meanX, pa.meanX) << at;
        ASSERT_EQ(ra.meanY, pa.meanY) << at;
        ASSERT_EQ(ra.minX, pa.minX) << at;
        ASSERT_EQ(ra.minXRow, pa.minXRow) << at;
        ASSERT_EQ(ra.label, pa.label) << at;
        ASSERT_EQ(runs->AreaPixels, plain->AreaPixels) << at;
        ASSERT_EQ(runs->SizeSum, plain->SizeSum) << at;
        ASSERT_EQ(runs->SizeMax, plain->SizeMax) << at;
        ASSERT_EQ(runs->RejectedLast, plain->RejectedLast) << at;
        ASSERT_EQ(runs->OverflowWarnings, plain->OverflowWarnings) << at;
        ASSERT_EQ(a.seen, b.seen) << at;
        if (runs->RejectedLast >= 0) {
            const TRejectedArea &r = runs->RejectedAreas[runs->RejectedLast],
                                &p = plain->RejectedAreas[plain->RejectedLast];
            ASSERT_EQ(std::memcmp(&r, &p, sizeof r), 0) << at;
        }
        overflows += plain->Lines.s == StackSize;
        rejected += plain->RejectedLast > rejectedBefore;
        longest = std::max(longest, plain->AreaPixels);
    }

    void ExpectSameMaps() const {
        ASSERT_EQ(std::memcmp(runs->LabelMap, plain->LabelMap, sizeof runs->LabelMap), 0);
        ASSERT_EQ(std::memcmp(runs->WorkPlane, plain->WorkPlane, sizeof runs->WorkPlane), 0);
    }

    // Every free pixel below the level, in row order, seeds a fill with key 0.
    void Sweep(bool paint) {
        for (int y = 1; y < 255; ++y)
            for (int x = 1; x < 255; ++x) {
                if (plain->WorkPlane[y][x] >= plain->Level || plain->LabelMap[y][x] != 0) continue;
                Fill(x, y, 0, paint);
                if (::testing::Test::HasFatalFailure()) return;
            }
        ExpectSameMaps();
    }
};

TEST(FillTwin, RandomPlanesAtManyLevels) {
    TTwins t;
    std::mt19937 rng(27);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int kind = round % 3;
        const int spread = 2 + int(rng() % 40);
        std::vector<uint8_t> v(256 * 256);
        for (auto& p : v) p = uint8_t(rng());
        t.Start(
            [&](int x, int y) {
                const uint8_t r = v[size_t(y * 256 + x)];
                if (kind == 0) return r;                                              // noise
                if (kind == 1) return uint8_t((x / spread + y / 3) % 7 * 40 + r % 8); // bands
                return uint8_t(((x - 128) * (x - 128) + (y - 128) * (y - 128)) / 64 % 256);
            },
            uint8_t(40 + 17 * round));
        t.Sweep(round % 4 == 0);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(t.fills, 5000);
    EXPECT_GT(t.rejected, 100);
    EXPECT_GT(t.longest, 60) << "some fills are large";
}

// Long thin areas (one pixel wide, along and across rows, winding, diagonal
// steps), areas that fill the interior up to the frame, level 0 and 255.
TEST(FillTwin, ThinAreasAndAreasTouchingTheFrame) {
    TTwins t;
    const std::vector<std::function<uint8_t(int, int)>> planes = {
        [](int, int y) { return uint8_t(y % 2 ? 0 : 200); },         // rows across the plane
        [](int x, int) { return uint8_t(x % 2 ? 0 : 200); },         // columns down it
        [](int x, int y) { return uint8_t((x + y) % 3 ? 200 : 9); }, // diagonal dots
        [](int x, int y) {                                           // a serpentine
            if (y % 4 == 1) return uint8_t(5);
            if (y % 4 == 3) return uint8_t(200);
            return uint8_t((y % 8 == 2 ? x == 254 : x == 1) ? 5 : 200);
        },
        [](int x, int y) { return uint8_t((x * 7 + y * 13) % 256); }, // a ramp at every angle
        [](int, int) { return uint8_t(0); },                          // the whole interior
        [](int x, int y) { return uint8_t(x == 1 || y == 254 || x == 254 ? 3 : 90); }, // frame
    };
    for (size_t i = 0; i < planes.size(); ++i)
        for (const int level : {0, 1, 100, 255}) {
            SCOPED_TRACE("plane " + std::to_string(i) + " level " + std::to_string(level));
            t.Start(planes[i], uint8_t(level));
            t.Sweep(i == 3);
            if (HasFatalFailure()) return;
        }
    EXPECT_GT(t.fills, 20000);
}

// Combs whose teeth make a run enter a stretch at every other pixel, so that
// the list reaches its cap inside a run, with the warning at every pixel
// position near it; a label map key other than 0.
TEST(FillTwin, OverflowCapsAndKeys) {
    TTwins t;
    for (int rung = 100; rung <= 140; rung += 3) {
        SCOPED_TRACE("rung " + std::to_string(rung));
        t.Start(
            [&](int x, int y) {
                return uint8_t(y == 1 || y == rung || (x % 2 == 1 && x <= 253) ? 5 : 200);
            },
            100);
        t.Fill(1, 1, 0, rung % 2 == 0);
        if (HasFatalFailure()) return;
        t.ExpectSameMaps();
        // The rest, which the overflowing fill left, as a pass would take it.
        t.Sweep(false);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(t.overflows, 10);
    EXPECT_EQ(t.runs->OverflowWarnings, t.plain->OverflowWarnings);
    EXPECT_GT(t.plain->OverflowWarnings, 10);

    // Key 7: the fill joins pixels the label map gives 7, on a plane of noise.
    std::mt19937 rng(3);
    std::vector<uint32_t> v(256 * 256);
    for (auto& p : v) p = rng();
    t.Start([&](int x, int y) { return uint8_t(v[size_t(y * 256 + x)]); }, 150);
    for (TAreaState* s : {t.runs.get(), t.plain.get()})
        for (int y = 1; y < 255; ++y)
            for (int x = 1; x < 255; ++x) s->LabelMap[y][x] = v[size_t(y * 256 + x)] >> 30 ? 7 : 0;
    for (int y = 1; y < 255; y += 5)
        for (int x = 1; x < 255; x += 3)
            if (t.plain->WorkPlane[y][x] < 150 && t.plain->LabelMap[y][x] == 7) {
                t.Fill(x, y, 7, false);
                if (HasFatalFailure()) return;
            }
    t.ExpectSameMaps();
}

} // namespace
