// Internal steps of the plane computation, exposed for tests and benchmarks.
//
// Not part of the public interface: ComputePlanes and its four steps
// (compute_planes.h) are. These seams let the tests check a step's raw output
// and compare the fast noise fields with the plain twin in tests/image/.
#pragma once

#include "plane_store.h"

// Plane 2 before its smoothing: the raw colour differences
// (rows and columns 1..255; row 0 and column 0 are left as they are).
void ComputeRawBorderPlane();
// The 3 x 3 smoothing of plane 2 through PlaneCopy.
void SmoothBorderPlane();
// Planes 15, 16, 17, 18 from plane 12.
void ComputeGradientPlanes();

// The accumulator fields of the noise planes before their
// conversion to bytes: F of plane 0 into F0 and F of plane 1 into F1, from
// the brightness plane V. Both are overwritten completely and must be two
// different arrays (the caller's own, or NoiseField; the step's scratch is
// private to noise_planes.cpp).
void ComputeNoiseFields(const TPlane& V, float (&F0)[256][256], float (&F1)[256][256]);

// Plane p at every pixel = ClampTab at the whole part of F (truncated).
void NoiseFieldToPlane(const float (&F)[256][256], TPlane& plane);

// The fast steps have hand-written kernels and portable loops, giving the
// same bits. Levels: 0 the portable loops, 1 the AVX2 kernels, 2 also the
// AVX-512 ones; the highest level the processor has is used. Tests select
// each level in turn: the level in use becomes the lower of `level` and the
// processor's, and is returned.
int SelectPlaneKernels(int level);
