#include "compute_planes.h"

#include <cstring>

void ComputePlanes(const TBitmap& grid, TPlanes& planes) {
    DrawBitmap(planes.Levels[0], 0, 0, grid);
    for (int l = 1; l < PlaneLevels; ++l) HalftoneReduce(planes.Levels[l - 1], planes.Levels[l]);
    std::memset(planes.P, 0, sizeof planes.P);
    // Later steps read planes written by earlier ones: this order is binding.
    ComputeColourPlanes(planes);
    ComputeNoisePlanes(planes);
    ComputeBorderPlanes(planes);
    NormalisePlanes(planes);
}
