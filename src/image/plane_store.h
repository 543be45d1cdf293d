// The plane store: feature planes, pyramid bitmaps, the view bitmap, the
// scratch arrays of the plane computation and the signed lookup tables.
//
// Everything here is a fixed-size global created once by InitPlaneStore and
// reused for every picture. Arrays are addressed row first, then column.
#pragma once

#include "bitmap.h"

#include <cstdint>

constexpr int PlaneLevels = 4;
constexpr int PlaneCount = 20;

// Highest row and column index of each pyramid level (255, 47, 7, 0).
extern const int32_t LevelMaxRow[PlaneLevels];
extern const int32_t LevelMaxCol[PlaneLevels];

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

using TPlane = uint8_t[256][256];

// [level][plane][row][column]; only level 0 is computed or read.
extern uint8_t FeaturePlanes[PlaneLevels][PlaneCount][256][256];

// Plane p of level 0.
inline TPlane& Plane(int p) {
    return FeaturePlanes[0][p];
}

extern TBitmap LevelBitmap[PlaneLevels];
extern uint8_t* LevelRows[PlaneLevels][256];
extern TBitmap ViewBitmap;
extern uint8_t* ViewRows[256];

// Scratch of the plane computation.
extern uint8_t PlaneCopy[PlaneLevels][256][256];
extern float NoiseField[256][256];

// A table indexed by a signed integer from -2048 to 2048.
template <typename T> struct TSignedTable {
    T Entries[4097];
    T& operator[](int i) { return Entries[i + 2048]; }
    const T& operator[](int i) const { return Entries[i + 2048]; }
};

extern TSignedTable<uint8_t> ToneTab;    // display tone map, rewritten by ScrollBar1
extern TSignedTable<uint8_t> ClampTab;   // min(255, max(0, i))
extern TSignedTable<uint8_t> AbsTab;     // |i| mod 256
extern TSignedTable<int32_t> SqrTab;     // min(2047, i * i)
extern TSignedTable<int32_t> SqrtTab;    // truncated square root, 0 for i <= 0
extern TSignedTable<uint8_t> StretchTab; // rebuilt per plane by the normalisation

// Nine diagnostic counters, listed and reset by the plane view; the area pass
// counts the positions it files into its value buckets in counter 1.
extern int64_t OpCounters[9];

// Creates the bitmaps with their row tables and fills the lookup tables.
void InitPlaneStore();
