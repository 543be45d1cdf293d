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
    std::memset(FeaturePlanes, 0, sizeof FeaturePlanes);
    // Later steps read planes written by earlier ones: this order is binding.
    ComputeColourPlanes();
    ComputeNoisePlanes();
    ComputeBorderPlanes();
    NormalisePlanes();
}
