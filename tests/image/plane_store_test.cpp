// The plane store and its lookup tables.
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "planes_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class PlaneStore : public ::testing::Test {
  protected:
    // InitPlaneStore may run more than once in one program (every suite of
    // image_tests calls it): it recreates the bitmaps with their row tables
    // and refills the tables with the same values.
    static void SetUpTestSuite() { InitPlaneStore(); }
};

TEST_F(PlaneStore, ToneTabLowEightBits) {
    EXPECT_EQ(ToneTab[-1], 255);
    EXPECT_EQ(ToneTab[255], 255);
    EXPECT_EQ(ToneTab[256], 0);
    EXPECT_EQ(ToneTab[2048], 0);
    EXPECT_EQ(ToneTab[-2048], 0);
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(ToneTab[i], uint8_t(i & 255)) << i;
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
    // A fresh InitPlaneStore clears it (a computation may have filled it).
    InitPlaneStore();
    for (int i = -2048; i <= 2048; ++i) ASSERT_EQ(StretchTab[i], 0) << i;
}

TEST_F(PlaneStore, LevelsAndRowTables) {
    const int sizes[PlaneLevels] = {256, 48, 8, 1};
    for (int l = 0; l < PlaneLevels; ++l) {
        EXPECT_EQ(LevelMaxRow[l], sizes[l] - 1);
        EXPECT_EQ(LevelMaxCol[l], sizes[l] - 1);
        EXPECT_EQ(LevelBitmap[l].Width, sizes[l]);
        EXPECT_EQ(LevelBitmap[l].Height, sizes[l]);
        for (int r = 0; r < 256; ++r) {
            if (r < sizes[l])
                EXPECT_EQ(LevelRows[l][r], LevelBitmap[l].Rows[size_t(r)]);
            else
                EXPECT_EQ(LevelRows[l][r], nullptr);
        }
    }
    for (int r = 0; r < 256; ++r) EXPECT_EQ(ViewRows[r], ViewBitmap.Rows[size_t(r)]);
    EXPECT_EQ(ViewBitmap.Width, 256);
    EXPECT_EQ(ViewBitmap.Height, 256);
}

TEST_F(PlaneStore, NeverWrittenPlanesReadZeroAfterAComputation) {
    // Dirty every plane of level 0 first: the computation must clear them.
    // Levels 1 to 3 are never written by anything, so they still read zero.
    std::memset(FeaturePlanes[0], 0x5A, sizeof FeaturePlanes[0]);
    ComputePlanes(planes_test::BusyPicture(3));
    for (int p : {aArH, aArV, aArL, aArR, aGr, aGrD, aZ})
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) ASSERT_EQ(Plane(p)[y][x], 0) << "plane " << p;
    for (int l = 1; l < PlaneLevels; ++l)
        for (int p = 0; p < PlaneCount; ++p)
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    ASSERT_EQ(FeaturePlanes[l][p][y][x], 0) << "level " << l << " plane " << p;
    // And the computed planes are not all zero on a busy picture.
    for (int p : {aNo1, aNo2, aNo3, aR, aG, aB, aH, aT, aV, aGV, aGVV, aGH, aGHH}) {
        int nonZero = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) nonZero += Plane(p)[y][x] != 0;
        EXPECT_GT(nonZero, 0) << "plane " << p;
    }
}

} // namespace
