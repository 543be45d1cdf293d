// The noise planes, and the fast version against its plain twin.
#include "image/workers.h"

#include "support/noise_planes_whole.h"
#include "support/plain_planes.h"
#include "support/planes_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

namespace {

alignas(64) float FastF[256][256];
alignas(64) float PlainF[256][256];

struct NoisePlanes : ::testing::Test, TPlanesFixture {
    TField& NoiseField = planes.Scratch.NoiseField;
    void ComputeNoisePlanes() { ::ComputeNoisePlanes(planes); }

    void SetBrightness(const std::function<int(int, int)>& v) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) Plane(aV)[y][x] = uint8_t(v(y, x));
    }

    // The side of the smallest square around (128, 128) holding every
    // non-zero value of plane p.
    int NonZeroSpan(int p) {
        int lo = 256, hi = -1;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (Plane(p)[y][x] != 0) {
                    lo = std::min({lo, y, x});
                    hi = std::max({hi, y, x});
                }
        return hi < 0 ? 0 : hi - lo + 1;
    }

    // Both fields of the fast version against the plain twin, bit for bit;
    // then the whole step: planes 0 and 1 and NoiseField as the step leaves
    // it (F of plane 1), and plane 12 untouched.
    void ExpectTwinsIdentical(const std::string& what) {
        SCOPED_TRACE(what);
        static TPlane brightness;
        std::memcpy(brightness, Plane(aV), sizeof brightness);
        static uint8_t plain0[256][256], plain1[256][256];
        alignas(64) static float plainField0[256][256], plainField1[256][256];
        plain_twin::ComputeNoisePlanes(planes);
        std::memcpy(plain0, Plane(aNo1), sizeof plain0);
        std::memcpy(plain1, Plane(aNo2), sizeof plain1);
        std::memcpy(plainField1, NoiseField, sizeof plainField1);
        plain_twin::NoiseField0(brightness, plainField0);
        // On the calling thread, then with the two fields side by side.
        TWorkers two(2);
        for (TWorkers* workers : {static_cast<TWorkers*>(nullptr), &two}) {
            SCOPED_TRACE(workers ? "on two workers" : "on one thread");
            ComputeNoiseFields(planes, brightness, FastF, PlainF, workers);
            ASSERT_EQ(std::memcmp(FastF, plainField0, sizeof FastF), 0)
                << "field of plane 0 differs";
            ASSERT_EQ(std::memcmp(PlainF, plainField1, sizeof PlainF), 0)
                << "field of plane 1 differs";
            std::memset(Plane(aNo1), 0, sizeof(TPlane));
            std::memset(Plane(aNo2), 0, sizeof(TPlane));
            std::memset(NoiseField, 0, sizeof NoiseField);
            ::ComputeNoisePlanes(planes, workers);
            ASSERT_EQ(std::memcmp(NoiseField, plainField1, sizeof plainField1), 0)
                << "NoiseField does not end holding F of plane 1";
            ASSERT_EQ(std::memcmp(Plane(aNo1), plain0, sizeof plain0), 0) << "plane 0 differs";
            ASSERT_EQ(std::memcmp(Plane(aNo2), plain1, sizeof plain1), 0) << "plane 1 differs";
            ASSERT_EQ(std::memcmp(Plane(aV), brightness, sizeof brightness), 0)
                << "plane 12 changed";
        }
    }
};

// The fast version at each kernel level.
struct NoisePlanesAtLevel : NoisePlanes, ::testing::WithParamInterface<int> {
    void SetUp() override { USE_KERNEL_LEVEL(planes, GetParam()); }
};

TEST_P(NoisePlanesAtLevel, FastEqualsPlainTwinOnRandomPictures) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 40; ++round) {
        // Vary the statistics: full-range noise, narrow noise, extremes only,
        // ramps with noise.
        const int kind = round % 4;
        SetBrightness([&](int y, int x) {
            const uint32_t r = rng();
            if (kind == 0) return int(r & 255);
            if (kind == 1) return int(100 + r % 7);
            if (kind == 2) return (r & 1) ? 255 : 0;
            return (x * 3 + y * 5 + int(r % 40)) & 255;
        });
        ExpectTwinsIdentical("random picture " + std::to_string(round));
    }
}

TEST_P(NoisePlanesAtLevel, FastEqualsPlainTwinOnStructuredPictures) {
    for (int v : {0, 1, 128, 255}) {
        SetBrightness([&](int, int) { return v; });
        ExpectTwinsIdentical("uniform " + std::to_string(v));
    }
    for (auto [py, px] : {std::pair{128, 128}, {0, 0}, {255, 255}, {0, 255}, {3, 250}}) {
        // Captured by copy: clang 14 cannot capture structured bindings.
        SetBrightness([py = py, px = px](int y, int x) { return y == py && x == px ? 255 : 0; });
        ExpectTwinsIdentical("single pixel at " + std::to_string(py) + "," + std::to_string(px));
    }
    SetBrightness([](int y, int) { return y < 128 ? 100 : 150; });
    ExpectTwinsIdentical("step at row 128");
    SetBrightness([](int, int x) { return x < 77 ? 255 : 0; });
    ExpectTwinsIdentical("step at column 77");
    SetBrightness([](int y, int x) { return ((x / 8 + y / 8) & 1) ? 255 : 0; });
    ExpectTwinsIdentical("checkerboard");
    SetBrightness([](int y, int x) { return (x + y) & 255; });
    ExpectTwinsIdentical("diagonal ramp");
}

TEST_F(NoisePlanes, UniformPictureGivesZeroFieldAndPlanes) {
    SetBrightness([](int, int) { return 173; });
    ComputeNoisePlanes();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(NoiseField[y][x], 0.0f);
            ASSERT_EQ(Plane(aNo1)[y][x], 0);
            ASSERT_EQ(Plane(aNo2)[y][x], 0);
        }
}

TEST_F(NoisePlanes, SingleBrightPixel) {
    SetBrightness([](int y, int x) { return y == 128 && x == 128 ? 255 : 0; });
    ComputeNoisePlanes();
    int peak0 = 0, peak1 = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            peak0 = std::max(peak0, int(Plane(aNo1)[y][x]));
            peak1 = std::max(peak1, int(Plane(aNo2)[y][x]));
        }
    EXPECT_EQ(peak0, 30);
    EXPECT_EQ(peak1, 5);
    const int span0 = NonZeroSpan(aNo1), span1 = NonZeroSpan(aNo2);
    EXPECT_GT(span0, span1);
    EXPECT_GT(span1, 0);
}

// In plane 0 the forward row pass stops at column 253 and the forward column
// pass at row 253: on a picture whose only change is at the right edge the
// forward row pass contributes nothing, so columns 254 and 255 hold only the
// backward pass's values, as the plain twin computes them.
TEST_P(NoisePlanesAtLevel, ForwardPassesStopTwoShortOfTheEdge) {
    SetBrightness([](int, int x) { return x == 255 ? 200 : 0; });
    alignas(64) static float fast1[256][256];
    plain_twin::NoiseField0(Plane(aV), PlainF);
    ComputeNoiseFields(planes, Plane(aV), FastF, fast1);
    EXPECT_EQ(std::memcmp(FastF, PlainF, sizeof PlainF), 0);
}

// The conversion to bytes: whole part truncated toward zero, then ClampTab.
TEST_P(NoisePlanesAtLevel, FieldToPlaneTruncatesThenClamps) {
    const float samples[] = {0.0f,   0.99f,  1.0f,   1.5f,    127.999f, 254.9f, 255.0f,
                             255.5f, 256.0f, 300.7f, 1836.0f, 2040.0f,  17.25f};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            FastF[y][x] = samples[(y * 256 + x) % (sizeof samples / sizeof samples[0])];
    NoiseFieldToPlane(planes, FastF, Plane(aNo1));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(Plane(aNo1)[y][x], ClampTab[int(FastF[y][x])]) << FastF[y][x];
}

INSTANTIATE_TEST_SUITE_P(Kernels, NoisePlanesAtLevel, KernelLevels, KernelLevelName);

} // namespace
