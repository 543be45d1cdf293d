// The click probe: the random generator, the seeds a press takes, the growth
// of the labels, and the fast growth against its plain twin.
#include "session/click_probe.h"
#include "support/grow_seed_plain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

struct ClickProbe : ::testing::Test {
    std::unique_ptr<TSession> session = NewSession();
    TSession& S = *session;
    uint32_t& RandSeed = S.Random.Seed;
    int limit = 100; // the brightness offset bar's position
    TPlane& Plane(int p) { return S.Planes[p]; }
    int Random(int n) { return S.Random.Next(n); }
    void Press(TProbeButton button, int x, int y) { PressProbe(S, button, x, y, limit); }

    // A picture of one colour whose plane 0 is uniform and plane 1 zero; the
    // label plane holds 255, which no press ever writes.
    void UniformScene(uint8_t p0 = 40) {
        FillBitmap(S.Planes.Levels[0], {90, 120, 30});
        std::memset(Plane(aNo1), p0, sizeof(TPlane));
        std::memset(Plane(aNo2), 0, sizeof(TPlane));
        std::memset(Plane(aGr), 255, sizeof(TPlane));
    }

    std::vector<std::pair<int, int>> Labelled() {
        std::vector<std::pair<int, int>> at;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (Plane(aGr)[y][x] != 255) at.push_back({x, y});
        return at;
    }
};

TEST(RandomGenerator, DrawsTheFixedSequenceFromSeedZero) {
    TRandom random;
    EXPECT_EQ(random.Next(20), 0); // seed 1: the upper bits of 20 are 0
    EXPECT_EQ(random.Seed, 1u);
    random.Next(20);
    random.Next(255);
    EXPECT_EQ(random.Seed, 3698175007u); // after the three draws of a left press
    for (int i = 0; i < 47; ++i) random.Next(255);
    EXPECT_EQ(random.Seed, 3041296214u); // after the fifty draws of a right press
    for (int i = 0; i < 10000; ++i) {
        const int v = random.Next(255);
        ASSERT_TRUE(v >= 0 && v < 255);
    }
}

TEST_F(ClickProbe, LeftPressOnAUniformPictureLabelsADiscCutByTheEdges) {
    UniformScene();
    Press(TProbeButton::Left, 60, 200);
    // The seed is the one labelled pixel whose label every other one shares.
    const auto at = Labelled();
    ASSERT_FALSE(at.empty());
    const int r = Plane(aGr)[at[0].second][at[0].first];
    RandSeed = 0;
    const int cx = ClampTab[60 + Random(20) - 10], cy = ClampTab[200 + Random(20) - 10];
    EXPECT_EQ(Random(255), r);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            ASSERT_EQ(Plane(aGr)[y][x] == r, d2 <= 15999) << x << "," << y;
        }
}

TEST_F(ClickProbe, SeedsStayInTheirRangesAndNoLabelIs255) {
    UniformScene();
    limit = 0; // nothing but the seeds is labelled
    for (int press = 0; press < 40; ++press) {
        std::memset(Plane(aGr), 255, sizeof(TPlane));
        Press(TProbeButton::Left, 0, 0);
        const auto at = Labelled();
        ASSERT_EQ(at.size(), 1u);
        EXPECT_TRUE(at[0].first <= 9 && at[0].second <= 9);
    }
    for (int press = 0; press < 20; ++press) {
        std::memset(Plane(aGr), 255, sizeof(TPlane));
        Press(TProbeButton::Right, 128, 128);
        const auto at = Labelled();
        ASSERT_TRUE(!at.empty() && at.size() <= 10);
        for (const auto& [x, y] : at) EXPECT_TRUE(x < 255 && y < 255);
    }
}

TEST_F(ClickProbe, RightPressesMakeFiveDrawsPerSeedOthersThree) {
    UniformScene();
    Press(TProbeButton::Right, 5, 5); // the two discarded draws are still made
    EXPECT_EQ(RandSeed, 3041296214u);
    uint32_t expected = 0;
    for (int i = 0; i < 30; ++i) expected = expected * 134775813u + 1u;
    RandSeed = 0;
    Press(TProbeButton::Middle, 5, 5);
    EXPECT_EQ(RandSeed, expected);
}

TEST_F(ClickProbe, WithNoCostAllowedOnlyPixelsWherePlaneOneOutweighsTheRestJoin) {
    UniformScene(0);
    // Plane 1 is high in a square around the seed's area: there the cost is
    // negative (distance term small), elsewhere 0 or more.
    for (int y = 90; y < 110; ++y)
        for (int x = 90; x < 110; ++x) Plane(aNo2)[y][x] = 200;
    limit = 0;
    Press(TProbeButton::Left, 100, 100);
    for (const auto& [x, y] : Labelled()) EXPECT_TRUE(x >= 90 && x < 110 && y >= 90 && y < 110);
    EXPECT_GT(Labelled().size(), 300u);
}

TEST_F(ClickProbe, FastGrowthGivesTheSameLabelsAsThePlainSteps) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 12; ++trial) {
        // Blotchy pictures and planes, so that regions both grow and stop.
        const int cell = 4 << (trial % 4);
        std::vector<uint8_t> blot(65536 * 4);
        for (auto& v : blot) v = uint8_t(rng());
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const size_t b = size_t((y / cell) * 256 + x / cell) * 4;
                SetPixel(S.Planes.Levels[0], x, y,
                         {blot[b], uint8_t(blot[b + 1] / 2), uint8_t(rng() % 16)});
                Plane(aNo1)[y][x] = uint8_t(blot[b + 2] / 4);
                Plane(aNo2)[y][x] = uint8_t(blot[b + 3] % 64);
                Plane(aGr)[y][x] = uint8_t(rng() % 4 == 0 ? rng() % 8 : 200);
            }
        const TSeedState s{int(rng() % 256), int(rng() % 256), int(rng() % 8), 0};
        limit = int(rng() % 256);
        std::vector<uint8_t> start(&Plane(aGr)[0][0], &Plane(aGr)[0][0] + 65536);
        TSeedState seed = s;
        seed.q = Plane(aNo1)[s.cy][s.cx];
        Plane(aGr)[s.cy][s.cx] = uint8_t(s.r);
        plain_grow::GrowSeed(S.Planes, seed, limit);
        std::vector<uint8_t> plain(&Plane(aGr)[0][0], &Plane(aGr)[0][0] + 65536);
        std::copy(start.begin(), start.end(), &Plane(aGr)[0][0]);
        Plane(aGr)[s.cy][s.cx] = uint8_t(s.r);
        GrowSeed(S.Planes, seed, limit);
        std::vector<uint8_t> fast(&Plane(aGr)[0][0], &Plane(aGr)[0][0] + 65536);
        ASSERT_EQ(plain, fast) << "trial " << trial;
        EXPECT_NE(plain, start);
    }
}

} // namespace
