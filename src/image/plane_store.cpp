#include "plane_store.h"

#include "planes_simd.h"

void SetToneOffset(TToneTab& tone, int offset) {
    for (int k = -1024; k <= 1024; ++k) tone[k] = ClampTab[k + offset];
}

TPlanes::TPlanes() : P{}, KernelLevel(planes_simd::CpuKernelLevel()) {
    for (int l = 0; l < PlaneLevels; ++l)
        CreateBitmap(Levels[l], LevelMaxCol[l] + 1, LevelMaxRow[l] + 1);
}

int CpuKernelLevel() {
    return planes_simd::CpuKernelLevel();
}
