// The planes of ComputePlanes against the reference dumps computed
// independently from the same rules (tests/reference/*/d*/planes.bin.gz).
// Planes 3 and 13 are rewritten there by the area analysis and are skipped.
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "planes_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class ReferencePlanes : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { InitPlaneStore(); }
};

TEST_P(ReferencePlanes, EveryComputedPlaneMatchesByteForByte) {
    const std::string dump = GetParam();
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
        EXPECT_EQ(diffs, 0) << "plane " << p << " differs in " << diffs << " bytes; " << first.str();
    }
}

INSTANTIATE_TEST_SUITE_P(Dumps, ReferencePlanes,
                         ::testing::Values("one/d1", "one/d3", "two/d1", "two/d2"),
                         [](const auto& info) {
                             std::string s = info.param;
                             for (char& c : s)
                                 if (c == '/') c = '_';
                             return s;
                         });

} // namespace
