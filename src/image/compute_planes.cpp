#include "compute_planes.h"

#include "plane_store.h"
#include "window_seam.h"

#include <cstring>

void ComputePlanes(const TBitmap& picture) {
    DrawBitmap(LevelBitmap[0], 0, 0, picture);
    for (int l = 1; l < PlaneLevels; ++l) {
        HalftoneReduce(LevelBitmap[l - 1], LevelBitmap[l]);
        WindowSeam.DrawOnPaintBox1(LevelBitmap[l]);
    }
    // Levels 1 to 3 of the store are never written, so they are still the
    // zeros they started as: clearing level 0 clears the whole store.
    std::memset(FeaturePlanes[0], 0, sizeof FeaturePlanes[0]);
    // Later steps read planes written by earlier ones: this order is binding.
    ComputeColourPlanes();
    ComputeNoisePlanes();
    ComputeBorderPlanes();
    NormalisePlanes();
}
