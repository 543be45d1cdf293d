#include "compute_planes.h"

#include "planes_internal.h"
#include "workers.h"

#include <cstring>

void ComputePlanes(const TBitmap& grid, TPlanes& planes, TWorkers* workers) {
    DrawBitmap(planes.Levels[0], 0, 0, grid);
    for (int l = 1; l < PlaneLevels; ++l) HalftoneReduce(planes.Levels[l - 1], planes.Levels[l]);
    std::memset(planes.P, 0, sizeof planes.P);
    // Later steps read planes written by earlier ones: the colour planes
    // come first, the normalisation last. In between, plane 0's noise chain
    // runs beside plane 1's and the border planes, which read only the
    // picture and plane 12 and write planes of their own.
    ComputeColourPlanes(planes);
    PrepareNoisePlanes(planes);
    const auto middle = [&](int part, int) {
        if (part == 0) {
            ComputeNoisePlane(planes, 0);
        } else {
            ComputeNoisePlane(planes, 1);
            ComputeBorderPlanes(planes);
        }
    };
    if (workers)
        workers->ForEach(2, middle);
    else
        for (int part = 0; part < 2; ++part) middle(part, 0);
    NormalisePlanes(planes, workers);
}
