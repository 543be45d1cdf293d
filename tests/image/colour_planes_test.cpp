// The colour planes.
#include "support/plain_planes.h"
#include "support/planes_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct ColourPlanes : ::testing::Test, TPlanesFixture {
    void Fill(TRGB c) { FillBitmap(LevelBitmap[0], c); }
    void ComputeColourPlanes() { ::ComputeColourPlanes(planes); }
};
struct ColourPlanesAtLevel : ColourPlanes, ::testing::WithParamInterface<int> {};

struct TRow {
    TRGB pixel;
    int v, h, r, g, b, t;
};

// The table of worked examples, every pixel and every plane.
const TRow WorkedExamples[] = {
    {{0, 0, 0}, 0, 165, 0, 0, 0, 0},
    {{128, 128, 128}, 128, 165, 0, 0, 0, 0},
    {{255, 255, 255}, 255, 165, 0, 0, 0, 0},
    {{255, 0, 0}, 63, 0, 255, 0, 0, 13},
    {{0, 255, 0}, 106, 38, 0, 255, 0, 13},
    {{0, 0, 255}, 85, 255, 0, 0, 255, 13},
    {{255, 255, 0}, 170, 80, 255, 255, 0, 13},
    {{0, 255, 255}, 191, 165, 0, 255, 255, 13},
    {{255, 0, 255}, 148, 255, 255, 0, 255, 13},
    {{200, 100, 50}, 108, 38, 250, 0, 0, 11},
    {{50, 100, 200}, 120, 207, 0, 0, 250, 11},
    {{100, 120, 90}, 105, 91, 0, 50, 0, 3},
};

TEST_F(ColourPlanes, WorkedExamplesEveryPixelEveryPlane) {
    for (const TRow& row : WorkedExamples) {
        SCOPED_TRACE(::testing::Message() << "pixel (" << int(row.pixel.r) << ", "
                                          << int(row.pixel.g) << ", " << int(row.pixel.b) << ")");
        Fill(row.pixel);
        ComputeColourPlanes();
        for (int y : {0, 77, 255})
            for (int x : {0, 130, 255}) {
                EXPECT_EQ(Plane(aV)[y][x], row.v);
                EXPECT_EQ(Plane(aH)[y][x], row.h);
                EXPECT_EQ(Plane(aR)[y][x], row.r);
                EXPECT_EQ(Plane(aG)[y][x], row.g);
                EXPECT_EQ(Plane(aB)[y][x], row.b);
                EXPECT_EQ(Plane(aT)[y][x], row.t);
            }
    }
}

TEST_F(ColourPlanes, HueSwitchesFormulaWhereRedPassesBlue) {
    Fill({1, 255, 0});
    ComputeColourPlanes();
    EXPECT_EQ(Plane(aH)[10][10], 206);
    Fill({0, 255, 1});
    ComputeColourPlanes();
    EXPECT_EQ(Plane(aH)[10][10], 39);
}

TEST_F(ColourPlanes, EveryGreyGetsHue165) {
    for (int g = 0; g < 256; ++g)
        SetPixel(LevelBitmap[0], g, 5, {uint8_t(g), uint8_t(g), uint8_t(g)});
    ComputeColourPlanes();
    for (int g = 0; g < 256; ++g) EXPECT_EQ(Plane(aH)[5][g], 165) << g;
}

TEST_F(ColourPlanes, PixelsAreIndependentAndOtherPlanesUntouched) {
    Fill({0, 0, 0});
    SetPixel(LevelBitmap[0], 17, 33, {255, 0, 0});
    ComputeColourPlanes();
    EXPECT_EQ(Plane(aR)[33][17], 255);
    EXPECT_EQ(Plane(aV)[33][17], 63);
    EXPECT_EQ(Plane(aR)[33][16], 0);
    EXPECT_EQ(Plane(aR)[32][17], 0);
    EXPECT_EQ(Plane(aV)[33][18], 0);
    for (int p : {0, 1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18, 19})
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) ASSERT_EQ(Plane(p)[y][x], 0) << "plane " << p;
}

// The fast step (every kernel level) against the plain twin, which reads the
// tables and divides as written in the plain twin, over every one of the 2^24 colours:
// 256 pictures, each of one red value with every green (row) and blue
// (column).
TEST_P(ColourPlanesAtLevel, FastEqualsPlainTwinOnEveryColour) {
    const int level = GetParam();
    USE_KERNEL_LEVEL(planes, level);
    static uint8_t plain[6][256][256];
    const int kinds[6] = {aV, aH, aR, aG, aB, aT};
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b)
                SetPixel(LevelBitmap[0], b, g, {uint8_t(r), uint8_t(g), uint8_t(b)});
        plain_twin::ComputeColourPlanes(planes);
        for (int i = 0; i < 6; ++i) std::memcpy(plain[i], Plane(kinds[i]), sizeof(TPlane));
        ClearPlanes();
        ComputeColourPlanes();
        for (int i = 0; i < 6; ++i)
            if (std::memcmp(plain[i], Plane(kinds[i]), sizeof(TPlane)) != 0) {
                for (int g = 0; g < 256; ++g)
                    for (int b = 0; b < 256; ++b)
                        ASSERT_EQ(Plane(kinds[i])[g][b], plain[i][g][b])
                            << "plane " << kinds[i] << " at (" << r << ", " << g << ", " << b
                            << "), kernel level " << level;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, ColourPlanesAtLevel, KernelLevels, KernelLevelName);

} // namespace
