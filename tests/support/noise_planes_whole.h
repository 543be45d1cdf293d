// Both noise planes in one call, as ComputePlanes computes them in its two
// halves: what PrepareNoisePlanes leaves, then planes 0 and 1 (side by side
// on `workers`).
#pragma once

#include "image/planes_internal.h"
#include "image/workers.h"

inline void ComputeNoisePlanes(TPlanes& planes, TWorkers* workers = nullptr) {
    PrepareNoisePlanes(planes);
    if (workers)
        workers->ForEach(2, [&](int plane, int) { ComputeNoisePlane(planes, plane); });
    else
        for (int plane = 0; plane < 2; ++plane) ComputeNoisePlane(planes, plane);
}
