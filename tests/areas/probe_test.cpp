// The area probe: which area is picked, how every other one is coloured, and
// when the probe leaves PaintBox2 alone.
#include "support/area_fixture.h"
#include "support/probe_plain.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct AreaProbe : area_test::TAreaFixture {
    int copies = 0; // the probes that drew
    void ProbeArea(int32_t x, int32_t y) { copies += TAreaSession::ProbeArea(x, y); }
    // Area i: centre (x, y), a profile, one run of `len` pixels on row y.
    void Add(int x, int y, std::initializer_list<int> shape, int len = 3) {
        auto a = std::make_unique<TArea>();
        a->meanX = uint16_t(x);
        a->meanY = uint16_t(y);
        int k = 0;
        for (int v : shape) a->shape[k++] = uint8_t(v);
        a->runs.push_back({uint8_t(x), uint8_t(y), uint8_t(len)});
        Areas[++AreaCount] = std::move(a);
    }
    TRGB At(int x, int y) const { return GetPixel(ViewBitmap, x, y); }
};

TEST_F(AreaProbe, DoesNothingWithFewerThanThreeEntriesOrNoLiveArea) {
    ProbeArea(10, 10);
    Add(10, 10, {1, 2, 3, 4, 5, 6, 7, 8});
    Add(20, 20, {1, 2, 3, 4, 5, 6, 7, 8});
    ProbeArea(10, 10);
    EXPECT_EQ(copies, 0);
    Add(30, 30, {1, 2, 3, 4, 5, 6, 7, 8});
    for (auto& a : Areas) a.reset();
    ProbeArea(10, 10);
    EXPECT_EQ(copies, 0) << "every record released: nothing to compare";
}

TEST_F(AreaProbe, DoesNotReadTheRecordsOfAPassStillRunning) {
    for (int i = 0; i < 3; ++i) Add(10 * i + 5, 5, {1, 0, 0, 0, 0, 0, 0, 0});
    PassRunning = true;
    ProbeArea(5, 5);
    EXPECT_EQ(copies, 0);
    PassRunning = false;
    ProbeArea(5, 5);
    EXPECT_EQ(copies, 1);
}

TEST_F(AreaProbe, ColoursByPlainAndBestMirroredLikeness) {
    const std::initializer_list<int> picked = {40, 10, 0, 0, 0, 0, 0, 0};
    Add(10, 10, picked, 4);                            // 0: the one under the pointer
    Add(50, 10, picked);                               // 1: the same profile
    Add(90, 10, {40, 0, 0, 0, 0, 0, 0, 10});           // 2: the picked one mirrored
    Add(130, 10, {0, 0, 0, 0, 200, 200, 200, 200}, 5); // 3: nothing alike
    ProbeArea(12, 11);
    ASSERT_EQ(copies, 1);
    // The picked area is light green, exactly its run's length, on black.
    for (int x = 10; x < 14; ++x) EXPECT_EQ(At(x, 10), (TRGB{128, 255, 128})) << x;
    EXPECT_EQ(At(14, 10), (TRGB{0, 0, 0}));
    EXPECT_EQ(At(9, 10), (TRGB{0, 0, 0}));
    EXPECT_EQ(At(50, 10).b, 255) << "equal profile: full blue";
    EXPECT_EQ(At(90, 10).r, 255) << "a mirrored form equals it: full red";
    EXPECT_EQ(At(130, 10).b, 0) << "the largest difference met, as a plain difference";
    EXPECT_EQ(At(130, 10).g, 0);
    EXPECT_EQ(At(134, 10), At(130, 10)) << "exactly len pixels";
    EXPECT_EQ(At(135, 10), (TRGB{0, 0, 0}));
}

TEST_F(AreaProbe, RecordsThePickAndTheRangeThatScaledEveryColour) {
    EXPECT_EQ(A.ProbePick.Index, -1) << "no probe has drawn yet";
    Add(10, 10, {40, 10, 0, 0, 0, 0, 0, 0});
    Add(50, 10, {40, 0, 0, 0, 0, 0, 0, 10});
    Add(90, 10, {0, 0, 0, 0, 200, 200, 200, 200});
    ProbeArea(48, 12);
    const TProbePick pick = A.ProbePick;
    EXPECT_EQ(pick.Index, 1);
    EXPECT_EQ(pick.Lo, 0.0f);
    EXPECT_GT(pick.Hi, 0.0f);
    // The recorded differences give back the colours drawn.
    for (int i : {0, 2}) {
        const TRGB drawn = At(Areas[i]->meanX, 10);
        EXPECT_EQ(LikenessColour(A.Likeness[i].plain, pick.Lo, pick.Hi), drawn.b) << i;
        EXPECT_EQ(LikenessColour(A.Likeness[i].mirrorBest, pick.Lo, pick.Hi), drawn.r) << i;
    }
    PassRunning = true; // a probe that draws nothing leaves the record alone
    ProbeArea(10, 10);
    EXPECT_EQ(A.ProbePick.Index, 1);
}

TEST_F(AreaProbe, PicksTheNearestCentreAndTheLowerIndexOnATie) {
    Add(10, 10, {9, 0, 0, 0, 0, 0, 0, 0});
    Add(30, 10, {0, 9, 0, 0, 0, 0, 0, 0});
    Add(200, 200, {0, 0, 9, 0, 0, 0, 0, 0});
    ProbeArea(20, 10); // equally far from areas 0 and 1
    EXPECT_EQ(At(10, 10), (TRGB{128, 255, 128}));
    EXPECT_NE(At(30, 10), (TRGB{128, 255, 128}));
    ProbeArea(190, 190);
    EXPECT_EQ(At(200, 200), (TRGB{128, 255, 128}));
    Areas[2].reset(); // a released area is skipped
    ProbeArea(190, 190);
    EXPECT_EQ(At(30, 10), (TRGB{128, 255, 128}));
    EXPECT_EQ(At(200, 200), (TRGB{0, 0, 0}));
}

TEST_F(AreaProbe, AllDifferencesZeroGiveFullColour) {
    // Round profiles: every turn and mirror is the same, so hi equals lo.
    for (int i = 0; i < 3; ++i) Add(20 + 40 * i, 20, {30, 30, 30, 30, 30, 30, 30, 30});
    ProbeArea(20, 20);
    EXPECT_EQ(At(60, 20), (TRGB{255, 0, 255}));
    EXPECT_EQ(At(100, 20), (TRGB{255, 0, 255}));
}

TEST_F(AreaProbe, DrawsExactlyWhatItsPlainTwinDraws) {
    uint32_t seed = 99;
    const auto next = [&](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int trial = 0; trial < 40; ++trial) {
        for (auto& a : Areas) a.reset();
        AreaCount = -1;
        const int count = 3 + int(next(300));
        for (int i = 0; i < count; ++i) {
            auto a = std::make_unique<TArea>();
            a->meanX = uint16_t(next(256));
            a->meanY = uint16_t(next(256));
            // Profiles from a few shapes turned and mirrored, so that equal
            // and mirrored likenesses are met as well as random ones.
            const int base = int(next(4));
            for (int k = 0; k < 8; ++k)
                a->shape[k] =
                    base == 0 ? uint8_t(next(256)) : uint8_t(((k * base + trial) % 8) * 30);
            for (int r = int(next(4)); r > 0; --r)
                a->runs.push_back({uint8_t(next(250)), uint8_t(next(256)), uint8_t(next(6))});
            Areas[++AreaCount] = next(10) == 0 ? nullptr : std::move(a);
        }
        for (int move = 0; move < 4; ++move) {
            const int x = int(next(300)) - 20, y = int(next(300)) - 20;
            ProbeArea(x, y);
            const std::vector<uint8_t> fast = ViewBitmap.Pixels;
            FillBitmap(ViewBitmap, {1, 2, 3});
            PlainProbeArea(A, ViewBitmap, x, y);
            ASSERT_EQ(fast, ViewBitmap.Pixels) << "trial " << trial << " move " << move;
        }
    }
}

} // namespace
