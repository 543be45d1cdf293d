// The plane computation of one picture.
//
// Reads: the 256 x 256 picture grid. Writes: the pyramid levels 0 to 3 and
// all twenty planes of `planes` (cleared, then computed), and its scratch.
// Leaves for the next step: the planes the area pass and the views read.
// With `workers`, independent parts run side by side on them; without, all
// on the calling thread. The planes are the same either way.
#pragma once

#include "bitmap.h"
#include "plane_store.h"

class TWorkers;

void ComputePlanes(const TBitmap& grid, TPlanes& planes, TWorkers* workers = nullptr);

// Steps of the computation, in the order ComputePlanes runs them. Each
// works on level 0 and reads the planes the steps before it wrote. Between
// the colour planes and the border planes come the noise planes 0 and 1
// from plane 12, in two halves (planes_internal.h).
void ComputeColourPlanes(TPlanes& planes); // planes 12, 10, 7, 8, 9, 11
void ComputeBorderPlanes(TPlanes& planes); // plane 2, then planes 15, 16, 17, 18
void NormalisePlanes(TPlanes& planes,
                     TWorkers* workers = nullptr); // contrast stretch of planes 0 to 19
