// The plane computation of one picture.
//
// Reads: the 256 x 256 picture of Image1. Writes: LevelBitmap[0..3],
// FeaturePlanes (all levels cleared, level 0 computed), PlaneCopy, NoiseField
// and StretchTab; draws the three reductions on PaintBox1 through WindowSeam.
#pragma once

#include "bitmap.h"

void ComputePlanes(const TBitmap& picture);

// The steps of the computation, in the order ComputePlanes runs them. Each
// works on level 0 and reads the planes the steps before it wrote.
void ComputeColourPlanes(); // planes 12, 10, 7, 8, 9, 11
void ComputeNoisePlanes();  // planes 0 and 1 from plane 12
void ComputeBorderPlanes(); // plane 2, then planes 15, 16, 17, 18
void NormalisePlanes();     // contrast stretch of planes 0 to 19
