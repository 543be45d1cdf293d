// The planes of ComputePlanes against the reference dumps computed
// independently from the same rules (tests/reference/*/d*/planes.bin.gz).
// Planes 3 and 13 are rewritten there by the area analysis and are skipped.
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "image/planes_internal.h"
#include "planes_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace {

// Each dump at each kernel level the processor has (planes_internal.h).
class ReferencePlanes : public ::testing::TestWithParam<std::tuple<const char*, int>> {
  protected:
    static void SetUpTestSuite() { InitPlaneStore(); }
    void SetUp() override {
        const int level = std::get<1>(GetParam());
        if (SelectPlaneKernels(level) != level) GTEST_SKIP() << "no such kernels here";
    }
    void TearDown() override { SelectPlaneKernels(2); }
};

TEST_P(ReferencePlanes, EveryComputedPlaneMatchesByteForByte) {
    const std::string dump = std::get<0>(GetParam());
    const TBitmap picture = planes_test::LoadReferencePicture(dump);
    ASSERT_EQ(picture.Width, 256);
    ASSERT_EQ(picture.Height, 256);
    const std::vector<uint8_t> ref =
        planes_test::ReadGz(planes_test::ReferenceDir() + "/" + dump + "/planes.bin.gz");
    ASSERT_EQ(ref.size(), size_t(PlaneCount) * 256 * 256);

    ComputePlanes(picture);

    for (int p = 0; p < PlaneCount; ++p) {
        if (p == aArH || p == aGr) continue;
        int diffs = 0;
        std::ostringstream first;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const int want = ref[(size_t(p) * 256 + y) * 256 + x];
                const int got = Plane(p)[y][x];
                if (want != got && diffs++ == 0)
                    first << "first at row " << y << " column " << x << ": reference " << want
                          << ", computed " << got;
            }
        EXPECT_EQ(diffs, 0) << "plane " << p << " differs in " << diffs << " bytes; "
                            << first.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Dumps, ReferencePlanes,
                         ::testing::Combine(::testing::Values("one/d1", "one/d2", "one/d3",
                                                              "one/d4", "two/d1", "two/d2",
                                                              "two/d3", "two/d4"),
                                            ::testing::Values(2, 1, 0)),
                         [](const auto& info) {
                             std::string s = std::get<0>(info.param);
                             for (char& c : s)
                                 if (c == '/') c = '_';
                             return s + "_level" + std::to_string(std::get<1>(info.param));
                         });

} // namespace
