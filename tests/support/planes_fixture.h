// A plane store of the test's own, under the names the plane steps use, and
// the kernel levels a test runs at: a level this processor lacks is skipped,
// with the reason, not passed.
#pragma once

#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "image/planes_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

struct TPlanesFixture {
    std::unique_ptr<TPlanes> owned = std::make_unique<TPlanes>();
    TPlanes& planes = *owned;
    TBitmap (&LevelBitmap)[PlaneLevels] = planes.Levels;

    TPlane& Plane(int p) { return planes[p]; }
    void ClearPlanes() { std::memset(planes.P, 0, sizeof planes.P); }
};

// The kernel levels: 0 the portable loops, 1 AVX2, 2 AVX-512.
inline const auto KernelLevels = ::testing::Values(0, 1, 2);
inline std::string KernelLevelName(const ::testing::TestParamInfo<int>& info) {
    return "Level" + std::to_string(info.param);
}

// Runs `planes` at kernel level `level`, or skips the test when the
// processor lacks that level.
#define USE_KERNEL_LEVEL(planes, level)                                                            \
    if (SelectPlaneKernels(planes, level) != (level))                                              \
    GTEST_SKIP() << "this processor has no kernel level " << (level)
