// Internal steps of the plane computation, exposed for tests and benchmarks.
//
// Not part of the public interface: ComputePlanes and its four steps
// (compute_planes.h) are. These seams let the tests check a step's raw output
// and compare the fast noise fields with the plain twin in tests/support/.
#pragma once

#include "plane_store.h"

class TWorkers;

// Plane 2 before its smoothing: the raw colour differences
// (rows and columns 1..255; row 0 and column 0 are left as they are).
void ComputeRawBorderPlane(TPlanes& planes);
// The 3 x 3 smoothing of plane 2 through the scratch PlaneCopy.
void SmoothBorderPlane(TPlanes& planes);
// Planes 15, 16, 17, 18 from plane 12.
void ComputeGradientPlanes(TPlanes& planes);

// The accumulator fields of the noise planes before their conversion to
// bytes: F of plane 0 into F0 and F of plane 1 into F1, from the brightness
// plane V. Both are overwritten completely and must be two different arrays
// (the caller's own, or the scratch NoiseField). Uses `planes`' scratch and
// kernel level only; with `workers`, the two fields are computed side by side.
void ComputeNoiseFields(TPlanes& planes, const TPlane& V, TField& F0, TField& F1,
                        TWorkers* workers = nullptr);

// The noise planes in two halves that share only what PrepareNoisePlanes
// leaves (plane 12 transposed, in the scratch): after it, plane 0
// (ComputeNoisePlane(planes, 0), its field in the scratch Field0) and plane 1
// (its field in NoiseField) may be computed side by side.
void PrepareNoisePlanes(TPlanes& planes);
void ComputeNoisePlane(TPlanes& planes, int plane);

// Plane p at every pixel = ClampTab at the whole part of F (truncated).
void NoiseFieldToPlane(const TPlanes& planes, const TField& F, TPlane& plane);

// The fast steps have hand-written kernels and portable loops, giving the
// same bits. Tests select each level in turn: the level in use becomes the
// lower of `level` and the processor's, and is returned.
int SelectPlaneKernels(TPlanes& planes, int level);
