// The plane store of one analysis: the twenty feature planes, the scale
// pyramid of the picture and the scratch of the plane computation.
//
// A TPlanes is a plain struct owned by the caller (the session); nothing of
// it is shared, so two analyses compute their planes side by side. Arrays
// are addressed row first, then column.
#pragma once

#include "bitmap.h"
#include "lookup_tables.h"

#include <cstddef>
#include <cstdint>

constexpr int PlaneLevels = 4;
constexpr int PlaneCount = 20;

// Highest row and column index of each pyramid level (255, 47, 7, 0).
inline constexpr int32_t LevelMaxRow[PlaneLevels] = {255, 47, 7, 0};
inline constexpr int32_t LevelMaxCol[PlaneLevels] = {255, 47, 7, 0};

// Plane numbers, in the order of the plane list.
enum TPlaneKind : uint8_t {
    aNo1,
    aNo2,
    aNo3,
    aArH,
    aArV,
    aArL,
    aArR,
    aR,
    aG,
    aB,
    aH,
    aT,
    aV,
    aGr,
    aGrD,
    aGV,
    aGVV,
    aGH,
    aGHH,
    aZ
};

// The planes' short names, in the order of TPlaneKind.
inline constexpr const char* PlaneIds[PlaneCount] = {
    "aNo1", "aNo2", "aNo3", "aArH", "aArV", "aArL", "aArR", "aR",  "aG",   "aB",
    "aH",   "aT",   "aV",   "aGr",  "aGrD", "aGV",  "aGVV", "aGH", "aGHH", "aZ"};

using TPlane = uint8_t[256][256];
using TField = float[256][256];

// The running values of 256 lines of the noise passes: plane 0's a and acc,
// plane 1's a and b. The two planes' passes each use their own.
struct TNoiseLines {
    alignas(64) double A0[256], Acc[256], A1[256], B1[256];
};

// Scratch of the plane computation: what one step leaves for a later one of
// the same computation, and nothing that outlives it but NoiseField and
// StretchTab, which the tests look at.
struct TPlaneScratch {
    alignas(64) uint8_t PlaneCopy[256][256]; // plane 2 before its smoothing
    alignas(64) uint8_t VT[256][256];        // plane 12 transposed: VT[x][y] = V(y, x)
    alignas(64) TField SwapA, SwapB;         // transposed row sums, then blur partners
    alignas(64) TField Field0;               // F of plane 0
    alignas(64) TField NoiseField;           // ends holding F of plane 1
    TNoiseLines Lines0, Lines1;              // of plane 0's passes and plane 1's
    TSignedTable<uint8_t> StretchTab{};      // rebuilt per plane by the normalisation
};

struct TPlanes {
    alignas(64) TPlane P[PlaneCount]; // the planes of level 0
    // The pyramid: level 0 is the working copy of the picture (starts
    // white), levels 1 to 3 its 48 x 48, 8 x 8 and 1 x 1 reductions.
    TBitmap Levels[PlaneLevels];
    // Which kernels the plane steps run: 0 the portable loops, 1 the AVX2
    // kernels, 2 also the AVX-512 ones. The processor's highest level unless
    // lowered (SelectPlaneKernels).
    int KernelLevel;
    TPlaneScratch Scratch;

    TPlanes();
    TPlanes(const TPlanes&) = delete;
    TPlanes& operator=(const TPlanes&) = delete;

    TPlane& operator[](int p) { return P[p]; }
    const TPlane& operator[](int p) const { return P[p]; }
    // Row y of the level-0 picture, bytes blue, green, red.
    const uint8_t* Row(int y) const { return Levels[0].Rows[std::size_t(y)]; }
};

// The highest kernel level this processor runs.
int CpuKernelLevel();
