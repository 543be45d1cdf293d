// The whole plane computation spread over workers gives the plain twin's
// planes and the stretch table it leaves, at every kernel level and worker
// count.
#include "image/workers.h"

#include "support/plain_planes.h"
#include "support/planes_fixture.h"
#include "support/reference_pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ComputePlanesAtLevel : ::testing::TestWithParam<int>, TPlanesFixture {
    void SetUp() override { USE_KERNEL_LEVEL(planes, GetParam()); }
};

TEST_P(ComputePlanesAtLevel, OnWorkersEqualsThePlainTwin) {
    static uint8_t plain[PlaneCount][256][256];
    TSignedTable<uint8_t> plainTable{};
    TBitmap pictures[] = {planes_test::LoadReferencePicture("two/d1"),
                          planes_test::LoadReferencePicture("one/d1"), planes_test::BusyPicture(11),
                          planes_test::BusyPicture(12)};
    FillBitmap(pictures[3], {40, 90, 200}); // uniform: no plane is stretched
    for (const TBitmap& picture : pictures) {
        ComputePlanes(picture, planes); // the pyramid, then the twin's planes
        std::memset(planes.P, 0, sizeof planes.P);
        planes.Scratch.StretchTab = {};
        plain_twin::ComputeAllPlanes(planes);
        std::memcpy(plain, planes.P, sizeof plain);
        plainTable = planes.Scratch.StretchTab;
        for (const int count : {1, 2, 3}) {
            TWorkers workers(count);
            std::memset(planes.P, 0x5A, sizeof planes.P);
            planes.Scratch.StretchTab = {};
            ComputePlanes(picture, planes, &workers);
            ASSERT_EQ(std::memcmp(plain, planes.P, sizeof plain), 0) << count << " workers";
            ASSERT_EQ(std::memcmp(&plainTable, &planes.Scratch.StretchTab, sizeof plainTable), 0)
                << count << " workers: the stretch table differs";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, ComputePlanesAtLevel, KernelLevels, KernelLevelName);

} // namespace
