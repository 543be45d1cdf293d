// The contrast normalisation.
#include "support/noise_planes_whole.h"
#include "support/plain_planes.h"
#include "support/planes_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Every case at every kernel level the processor has.
struct Normalise : ::testing::TestWithParam<int>, TPlanesFixture {
    TSignedTable<uint8_t>& StretchTab = planes.Scratch.StretchTab;
    void SetUp() override { USE_KERNEL_LEVEL(planes, GetParam()); }
    void NormalisePlanes() { ::NormalisePlanes(planes); }
    // Plane p holds a inside the inner region except at the listed pixels.
    void FillInner(int p, uint8_t a) {
        for (int y = 2; y <= 253; ++y)
            for (int x = 2; x <= 253; ++x) Plane(p)[y][x] = a;
    }
};

bool Inner(int y, int x) {
    return y >= 2 && y <= 253 && x >= 2 && x <= 253;
}

TEST_P(Normalise, HundredAndHundredTen) {
    FillInner(7, 100);
    Plane(7)[10][10] = 110;
    Plane(7)[20][20] = 105;
    NormalisePlanes();
    EXPECT_EQ(Plane(7)[50][50], 0);
    EXPECT_EQ(Plane(7)[10][10], 250);
    EXPECT_EQ(Plane(7)[20][20], 125);
}

TEST_P(Normalise, SpanOfElevenGives249) {
    FillInner(5, 20);
    Plane(5)[100][3] = 31;
    NormalisePlanes();
    EXPECT_EQ(Plane(5)[50][50], 0);
    EXPECT_EQ(Plane(5)[100][3], 249);
}

TEST_P(Normalise, SpanOfTenGives250) {
    FillInner(5, 20);
    Plane(5)[100][3] = 30;
    NormalisePlanes();
    EXPECT_EQ(Plane(5)[100][3], 250);
}

TEST_P(Normalise, FullSpan) {
    FillInner(12, 128);
    Plane(12)[2][2] = 0;
    Plane(12)[253][253] = 255;
    NormalisePlanes();
    EXPECT_EQ(Plane(12)[2][2], 0);
    EXPECT_EQ(Plane(12)[253][253], 250);
    EXPECT_EQ(Plane(12)[100][100], 125);
    // Every value v maps to the whole part of v * (250/255 as a float).
    const double k = double(float(250.0 / 255.0));
    // The table of the last stretched plane is kept: check it in full.
    for (int l = -2048; l <= 2048; ++l) {
        const int w = int(double(l) * k);
        EXPECT_EQ(StretchTab[l], w < 0 ? 0 : w > 255 ? 255 : w) << l;
    }
}

TEST_P(Normalise, BorderBandNeitherMeasuredNorChanged) {
    FillInner(9, 100);
    Plane(9)[40][40] = 110;
    // Values outside the range of the inner ones: rows first, then columns.
    for (int i = 0; i < 256; ++i)
        for (int b : {0, 1, 254, 255}) Plane(9)[b][i] = 255;
    for (int i = 0; i < 256; ++i)
        for (int b : {0, 1, 254, 255}) Plane(9)[i][b] = 3;
    NormalisePlanes();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            if (Inner(y, x)) continue;
            const bool col = x <= 1 || x >= 254;
            ASSERT_EQ(Plane(9)[y][x], col ? 3 : 255) << y << "," << x;
        }
    EXPECT_EQ(Plane(9)[40][40], 250);
    EXPECT_EQ(Plane(9)[41][40], 0);
}

TEST_P(Normalise, ConstantInnerRegionKeepsEverything) {
    FillInner(10, 77);
    for (int i = 0; i < 256; ++i) Plane(10)[0][i] = Plane(10)[255][i] = uint8_t(i);
    uint8_t before[256][256];
    std::memcpy(before, Plane(10), sizeof before);
    std::memset(&StretchTab, 0xAB, sizeof StretchTab);
    NormalisePlanes();
    EXPECT_EQ(std::memcmp(before, Plane(10), sizeof before), 0);
    // No plane was stretched, so the table was not rebuilt.
    EXPECT_EQ(StretchTab[0], 0xAB);
}

// The grey picture with a brightness step at row 128 through ComputePlanes:
// plane 15's inner values 128 and 255 become 0 and 250; its row 1 keeps 128
// and its row 0 keeps 0.
TEST_P(Normalise, StepPictureThroughComputePlanes) {
    TBitmap pic;
    CreateBitmap(pic, 256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t g = y < 128 ? 100 : 150;
            SetPixel(pic, x, y, {g, g, g});
        }
    ComputePlanes(pic, planes);
    for (int x : {0, 2, 100, 253, 255}) {
        EXPECT_EQ(Plane(aGV)[0][x], 0);
        EXPECT_EQ(Plane(aGV)[1][x], 128);
        EXPECT_EQ(Plane(aGV)[254][x], 128);
        if (x >= 2 && x <= 253) {
            EXPECT_EQ(Plane(aGV)[128][x], 250);
            EXPECT_EQ(Plane(aGV)[2][x], 0);
            EXPECT_EQ(Plane(aGV)[200][x], 0);
        } else {
            EXPECT_EQ(Plane(aGV)[128][x], 255); // border band: not stretched
        }
    }
}

TEST_P(Normalise, UniformPictureLeavesEveryPlaneAsWritten) {
    FillBitmap(LevelBitmap[0], {30, 60, 90});
    ComputeColourPlanes(planes);
    ComputeNoisePlanes(planes);
    ComputeBorderPlanes(planes);
    static uint8_t before[PlaneCount][256][256];
    std::memcpy(before, planes.P, sizeof before);
    NormalisePlanes();
    EXPECT_EQ(std::memcmp(before, planes.P, sizeof before), 0);
}

TEST_P(Normalise, FastEqualsPlainTwinOnRandomPlanes) {
    std::mt19937 rng(5);
    static uint8_t fast[PlaneCount][256][256];
    for (int round = 0; round < 20; ++round) {
        for (int p = 0; p < PlaneCount; ++p) {
            const int lo = int(rng() % 256), span = int(rng() % 256);
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    Plane(p)[y][x] = uint8_t(std::min(255, lo + int(rng() % (span + 1))));
        }
        static uint8_t start[PlaneCount][256][256];
        std::memcpy(start, planes.P, sizeof start);
        NormalisePlanes();
        std::memcpy(fast, planes.P, sizeof fast);
        std::memcpy(planes.P, start, sizeof start);
        plain_twin::NormalisePlanes(planes);
        ASSERT_EQ(std::memcmp(fast, planes.P, sizeof fast), 0) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, Normalise, KernelLevels, KernelLevelName);

} // namespace
