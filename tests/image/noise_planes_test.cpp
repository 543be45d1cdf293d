// Part 2.4: the noise planes, and the fast version against its plain twin.
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "image/planes_internal.h"
#include "plain_planes.h"
#include "planes_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

class NoisePlanes : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitPlaneStore(); }
};

alignas(64) float FastF[256][256];
alignas(64) float PlainF[256][256];
alignas(64) TPlane Brightness;

// Both fields of both versions from Brightness, compared bit for bit.
// With each kernel set the machine has.
void ExpectTwinsIdentical(const char* what) {
    SCOPED_TRACE(what);
    plain_twin::NoiseField0(Brightness, PlainF);
    for (bool avx2 : {false, true}) {
        if (SelectPlaneKernels(avx2) != avx2) continue;
        SCOPED_TRACE(avx2 ? "AVX2 kernels" : "portable kernels");
        NoiseField0(Brightness, FastF);
        ASSERT_EQ(std::memcmp(FastF, PlainF, sizeof FastF), 0) << "field of plane 0 differs";
    }
    plain_twin::NoiseField1(Brightness, PlainF);
    for (bool avx2 : {false, true}) {
        if (SelectPlaneKernels(avx2) != avx2) continue;
        SCOPED_TRACE(avx2 ? "AVX2 kernels" : "portable kernels");
        NoiseField1(Brightness, FastF);
        ASSERT_EQ(std::memcmp(FastF, PlainF, sizeof FastF), 0) << "field of plane 1 differs";
    }
    SelectPlaneKernels(true);
}

TEST_F(NoisePlanes, FastEqualsPlainTwinOnRandomPictures) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 40; ++round) {
        // Vary the statistics: full-range noise, narrow noise, extremes only.
        const int kind = round % 4;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const uint32_t r = rng();
                uint8_t v;
                if (kind == 0)
                    v = uint8_t(r);
                else if (kind == 1)
                    v = uint8_t(100 + r % 7);
                else if (kind == 2)
                    v = (r & 1) ? 255 : 0;
                else
                    v = uint8_t((x * 3 + y * 5 + int(r % 40)) & 255);
                Brightness[y][x] = v;
            }
        ExpectTwinsIdentical(("random picture " + std::to_string(round)).c_str());
    }
}

TEST_F(NoisePlanes, DebugCompare) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) Brightness[y][x] = uint8_t((x * 7 + y * 13) % 251);
    NoiseField0(Brightness, FastF);
    plain_twin::NoiseField0(Brightness, PlainF);
    int n = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (FastF[y][x] != PlainF[y][x] && n++ < 5)
                ADD_FAILURE() << y << "," << x << " " << FastF[y][x] << " " << PlainF[y][x];
}

} // namespace
