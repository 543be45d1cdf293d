// The border and gradient planes.
#include "support/plain_planes.h"
#include "support/planes_fixture.h"
#include "support/reference_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

struct BorderPlanes : ::testing::Test, TPlanesFixture {
    // Colour planes first: the gradient planes read plane 12.
    void Compute() {
        ComputeColourPlanes(planes);
        ComputeBorderPlanes(planes);
    }
};
struct BorderPlanesAtLevel : BorderPlanes, ::testing::WithParamInterface<int> {};

TEST_F(BorderPlanes, UniformPicture) {
    FillBitmap(LevelBitmap[0], {90, 140, 30});
    Compute();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(Plane(aNo3)[y][x], 0);
            ASSERT_EQ(Plane(aGV)[y][x], y == 0 ? 0 : 128) << y;
            ASSERT_EQ(Plane(aGVV)[y][x], y == 0 ? 0 : y == 1 ? 255 : 128) << y;
            ASSERT_EQ(Plane(aGH)[y][x], x == 0 ? 0 : 128) << x;
            ASSERT_EQ(Plane(aGHH)[y][x], x == 0 ? 0 : x == 1 ? 255 : 128) << x;
        }
}

TEST_F(BorderPlanes, BrightnessStepAtRow128) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t g = y < 128 ? 100 : 150;
            SetPixel(LevelBitmap[0], x, y, {g, g, g});
        }
    Compute();
    for (int x : {0, 1, 100, 254, 255})
        for (int y = 0; y < 256; ++y) {
            SCOPED_TRACE(::testing::Message() << "row " << y << " column " << x);
            EXPECT_EQ(Plane(aGV)[y][x], y == 128 ? 255 : y == 0 ? 0 : 128);
            EXPECT_EQ(Plane(aGVV)[y][x], y == 1 || y == 128 ? 255 : y == 0 || y == 129 ? 0 : 128);
        }
}

// The raw plane-2 value, before the smoothing, through the exposed raw step.
TEST_P(BorderPlanesAtLevel, SixtyStepGivesRawThirty) {
    USE_KERNEL_LEVEL(planes, GetParam());
    FillBitmap(LevelBitmap[0], {100, 100, 100});
    SetPixel(LevelBitmap[0], 50, 40, {160, 160, 160}); // left neighbour (49, 40) is 100
    // The upper neighbour equals the pixel.
    SetPixel(LevelBitmap[0], 50, 39, {160, 160, 160});
    ComputeRawBorderPlane(planes);
    EXPECT_EQ(Plane(aNo3)[40][50], 30);
    // The same through the plain twin.
    ClearPlanes();
    plain_twin::ComputeRawBorderPlane(planes);
    EXPECT_EQ(Plane(aNo3)[40][50], 30);
}

// The smoothing, checked from the raw plane with the smoothing weights. The
// picture: grey 100 with the pixels (50, 39) and (50, 40) at 160. Raw values
// by hand: (50, 40) differs by 60 from its left neighbour only: 180 / 6 = 30;
// (50, 39) differs from its left and its upper neighbour: 360 / 6 = 60;
// (51, 39) and (51, 40) differ from their left: 30; (50, 41) from its upper:
// 30; (50, 38) and all others: 0.
TEST_F(BorderPlanes, SmoothingFollowsTheWeights) {
    FillBitmap(LevelBitmap[0], {100, 100, 100});
    SetPixel(LevelBitmap[0], 50, 39, {160, 160, 160});
    SetPixel(LevelBitmap[0], 50, 40, {160, 160, 160});
    ComputeRawBorderPlane(planes);
    EXPECT_EQ(Plane(aNo3)[40][50], 30);
    EXPECT_EQ(Plane(aNo3)[39][50], 60);
    EXPECT_EQ(Plane(aNo3)[40][51], 30);
    EXPECT_EQ(Plane(aNo3)[39][51], 30);
    EXPECT_EQ(Plane(aNo3)[41][50], 30);
    EXPECT_EQ(Plane(aNo3)[38][50], 0);
    uint8_t raw[256][256];
    std::memcpy(raw, Plane(aNo3), sizeof raw);
    SmoothBorderPlane(planes);
    for (int y = 1; y <= 254; ++y)
        for (int x = 1; x <= 254; ++x) {
            unsigned t = 0;
            const unsigned w[3][3] = {{1, 2, 1}, {2, 8, 2}, {1, 2, 1}};
            for (int i = -1; i <= 1; ++i)
                for (int j = -1; j <= 1; ++j) t += w[i + 1][j + 1] * raw[y + i][x + j];
            ASSERT_EQ(Plane(aNo3)[y][x], t / 20) << y << "," << x;
        }
    // The borders of the plane keep their raw values.
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(Plane(aNo3)[0][i], raw[0][i]);
        EXPECT_EQ(Plane(aNo3)[255][i], raw[255][i]);
        EXPECT_EQ(Plane(aNo3)[i][0], raw[i][0]);
        EXPECT_EQ(Plane(aNo3)[i][255], raw[i][255]);
    }
}

TEST_F(BorderPlanes, RowZeroAndColumnZeroOfPlaneTwoStayZero) {
    const TBitmap busy = planes_test::BusyPicture(7);
    DrawBitmap(LevelBitmap[0], 0, 0, busy);
    Compute();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(Plane(aNo3)[0][i], 0);
        EXPECT_EQ(Plane(aNo3)[i][0], 0);
    }
}

// The fast step (every kernel level) against the plain twin, which reads
// AbsTab and ClampTab and divides as written in the plain twin.
TEST_P(BorderPlanesAtLevel, FastEqualsPlainTwinOnManyPictures) {
    USE_KERNEL_LEVEL(planes, GetParam());
    std::mt19937 rng(99);
    static uint8_t fast[5][256][256];
    const int kinds[5] = {aNo3, aGV, aGVV, aGH, aGHH};
    for (int round = 0; round < 24; ++round) {
        TBitmap pic;
        if (round % 3 == 0) {
            pic = planes_test::BusyPicture(uint32_t(round));
        } else {
            CreateBitmap(pic, 256, 256);
            const int kind = round % 3;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const uint32_t r = rng();
                    if (kind == 1)
                        SetPixel(pic, x, y, {uint8_t(r), uint8_t(r >> 8), uint8_t(r >> 16)});
                    else // extremes only: the largest differences
                        SetPixel(pic, x, y,
                                 {uint8_t(r & 1 ? 255 : 0), uint8_t(r & 2 ? 255 : 0),
                                  uint8_t(r & 4 ? 255 : 0)});
                }
        }
        DrawBitmap(LevelBitmap[0], 0, 0, pic);
        SCOPED_TRACE(::testing::Message() << "picture " << round);
        ClearPlanes();
        Compute();
        for (int i = 0; i < 5; ++i) std::memcpy(fast[i], Plane(kinds[i]), sizeof(TPlane));
        ClearPlanes();
        plain_twin::ComputeColourPlanes(planes);
        plain_twin::ComputeBorderPlanes(planes);
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(std::memcmp(fast[i], Plane(kinds[i]), sizeof(TPlane)), 0)
                << "plane " << kinds[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, BorderPlanesAtLevel, KernelLevels, KernelLevelName);

} // namespace
