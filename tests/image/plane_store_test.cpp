// The plane store and its lookup tables.
#include "support/planes_fixture.h"
#include "support/reference_pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct PlaneStore : ::testing::Test, TPlanesFixture {};

TEST_F(PlaneStore, ToneTabStartsWithTheLowEightBitsAndFollowsTheOffset) {
    TToneTab tone = InitialToneTab();
    EXPECT_EQ(tone[-1], 255);
    EXPECT_EQ(tone[255], 255);
    EXPECT_EQ(tone[256], 0);
    EXPECT_EQ(tone[2048], 0);
    EXPECT_EQ(tone[-2048], 0);
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(tone[i], uint8_t(i & 255)) << i;
    SetToneOffset(tone, 100);
    EXPECT_EQ(tone[0], 100);
    EXPECT_EQ(tone[155], 255);
    EXPECT_EQ(tone[-1024], 0);
    EXPECT_EQ(tone[-1025], uint8_t(-1025 & 255)) << "outside -1024..1024 it keeps its start";
}

TEST_F(PlaneStore, ClampTab) {
    EXPECT_EQ(ClampTab[-2048], 0);
    EXPECT_EQ(ClampTab[-1], 0);
    EXPECT_EQ(ClampTab[0], 0);
    EXPECT_EQ(ClampTab[128], 128);
    EXPECT_EQ(ClampTab[255], 255);
    EXPECT_EQ(ClampTab[256], 255);
    EXPECT_EQ(ClampTab[2048], 255);
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(ClampTab[i], i < 0 ? 0 : i > 255 ? 255 : i) << i;
}

TEST_F(PlaneStore, AbsTabWrapsAt256) {
    EXPECT_EQ(AbsTab[-255], 255);
    EXPECT_EQ(AbsTab[255], 255);
    EXPECT_EQ(AbsTab[-256], 0);
    EXPECT_EQ(AbsTab[256], 0);
    EXPECT_EQ(AbsTab[300], 44);
    EXPECT_EQ(AbsTab[-300], 44);
    EXPECT_EQ(AbsTab[0], 0);
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(AbsTab[i], std::abs(i) % 256) << i;
}

TEST_F(PlaneStore, SqrTabCappedAt2047) {
    EXPECT_EQ(SqrTab[45], 2025);
    EXPECT_EQ(SqrTab[-45], 2025);
    EXPECT_EQ(SqrTab[46], 2047);
    EXPECT_EQ(SqrTab[-46], 2047);
    EXPECT_EQ(SqrTab[-2048], 2047);
    EXPECT_EQ(SqrTab[2048], 2047);
    EXPECT_EQ(SqrTab[0], 0);
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(SqrTab[i], std::min(2047, i * i)) << i;
}

TEST_F(PlaneStore, SqrtTabTruncated) {
    EXPECT_EQ(SqrtTab[-7], 0);
    EXPECT_EQ(SqrtTab[-2048], 0);
    EXPECT_EQ(SqrtTab[0], 0);
    EXPECT_EQ(SqrtTab[1], 1);
    EXPECT_EQ(SqrtTab[15], 3);
    EXPECT_EQ(SqrtTab[16], 4);
    EXPECT_EQ(SqrtTab[191], 13);
    EXPECT_EQ(SqrtTab[2048], 45);
    for (int i = 1; i <= 2048; ++i) {
        const int r = SqrtTab[i];
        ASSERT_LE(r * r, i);
        ASSERT_GT((r + 1) * (r + 1), i);
    }
}

TEST_F(PlaneStore, StretchTabStartsZero) {
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(planes.Scratch.StretchTab[i], 0) << i;
}

TEST_F(PlaneStore, LevelsStartWhite) {
    const int sizes[PlaneLevels] = {256, 48, 8, 1};
    for (int l = 0; l < PlaneLevels; ++l) {
        EXPECT_EQ(LevelMaxRow[l], sizes[l] - 1);
        EXPECT_EQ(LevelMaxCol[l], sizes[l] - 1);
        EXPECT_EQ(LevelBitmap[l].Width, sizes[l]);
        EXPECT_EQ(LevelBitmap[l].Height, sizes[l]);
        EXPECT_EQ(GetPixel(LevelBitmap[l], sizes[l] - 1, sizes[l] - 1), (TRGB{255, 255, 255}));
    }
    for (int r = 0; r < 256; ++r) EXPECT_EQ(planes.Row(r), LevelBitmap[0].Rows[size_t(r)]);
}

TEST_F(PlaneStore, NeverWrittenPlanesReadZeroAfterAComputation) {
    // Dirty every plane first: the computation must clear them.
    std::memset(planes.P, 0x5A, sizeof planes.P);
    ComputePlanes(planes_test::BusyPicture(3), planes);
    for (int p : {aArH, aArV, aArL, aArR, aGr, aGrD, aZ})
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) ASSERT_EQ(Plane(p)[y][x], 0) << "plane " << p;
    // And the computed planes are not all zero on a busy picture.
    for (int p : {aNo1, aNo2, aNo3, aR, aG, aB, aH, aT, aV, aGV, aGVV, aGH, aGHH}) {
        int nonZero = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) nonZero += Plane(p)[y][x] != 0;
        EXPECT_GT(nonZero, 0) << "plane " << p;
    }
}

} // namespace
