// Internal steps of the plane computation, exposed for tests and benchmarks.
//
// Not part of the design's interface: ComputePlanes and its four steps
// (compute_planes.h) are. These seams let the tests check a step's raw output
// and compare the fast noise fields with the plain twin in tests/image/.
#pragma once

#include "plane_store.h"

// Plane 2 before its smoothing: the raw colour differences of Part 2.5
// (rows and columns 1..255; row 0 and column 0 are left as they are).
void ComputeRawBorderPlane();
// The 3 x 3 smoothing of plane 2 through PlaneCopy (Part 2.5).
void SmoothBorderPlane();
// Planes 15, 16, 17, 18 from plane 12 (Part 2.5).
void ComputeGradientPlanes();

// The accumulator fields of the noise planes (Part 2.4), before the
// conversion to bytes: F of plane 0 and F of plane 1 from the brightness
// plane V. F is overwritten completely.
void NoiseField0(const TPlane& V, float (&F)[256][256]);
void NoiseField1(const TPlane& V, float (&F)[256][256]);

// Plane p at every pixel = ClampTab at the whole part of F (truncated).
void NoiseFieldToPlane(const float (&F)[256][256], TPlane& plane);

// The fast steps have hand-written kernels (AVX2; AVX-512 VBMI for the
// normalisation's look-up) and portable loops, giving the same bits; the
// hand-written ones run when the processor has them. Tests run both: false
// selects the portable loops, true the hand-written ones where the processor
// has them. Returns whether the AVX2 kernels are now in use.
bool SelectPlaneKernels(bool handWritten);
