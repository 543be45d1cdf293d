#include "plane_store.h"

#include <cmath>

const int32_t LevelMaxRow[PlaneLevels] = {255, 47, 7, 0};
const int32_t LevelMaxCol[PlaneLevels] = {255, 47, 7, 0};

uint8_t FeaturePlanes[PlaneLevels][PlaneCount][256][256];
TBitmap LevelBitmap[PlaneLevels];
uint8_t* LevelRows[PlaneLevels][256];
TBitmap ViewBitmap;
uint8_t* ViewRows[256];
uint8_t PlaneCopy[PlaneLevels][256][256];
float NoiseField[256][256];

TSignedTable<uint8_t> ToneTab;
TSignedTable<uint8_t> ClampTab;
TSignedTable<uint8_t> AbsTab;
TSignedTable<int32_t> SqrTab;
TSignedTable<int32_t> SqrtTab;
TSignedTable<uint8_t> StretchTab;

int64_t OpCounters[9];

namespace {

// Whole part of the square root of n >= 0, exact for every int.
int32_t IntSqrt(int32_t n) {
    int32_t r = int32_t(std::sqrt(double(n)));
    while (r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

} // namespace

void InitPlaneStore() {
    // The level-0 working copy starts white like the picture of Image1.
    for (int l = 0; l < PlaneLevels; ++l) {
        CreateBitmap(LevelBitmap[l], LevelMaxCol[l] + 1, LevelMaxRow[l] + 1);
        for (int r = 0; r < 256; ++r)
            LevelRows[l][r] = r <= LevelMaxRow[l] ? LevelBitmap[l].Rows[size_t(r)] : nullptr;
    }
    CreateBitmap(ViewBitmap, 256, 256);
    for (int r = 0; r < 256; ++r) ViewRows[r] = ViewBitmap.Rows[size_t(r)];

    for (int i = -2048; i <= 2048; ++i) ToneTab[i] = uint8_t(i & 255);
    for (int i = -2048; i <= 2048; ++i) {
        ClampTab[i] = uint8_t(i < 0 ? 0 : i > 255 ? 255 : i);
        SqrTab[i] = i * i < 2047 ? i * i : 2047;
        SqrtTab[i] = i <= 0 ? 0 : IntSqrt(i);
        AbsTab[i] = uint8_t((i < 0 ? -i : i) & 255);
        StretchTab[i] = 0;
    }
}
