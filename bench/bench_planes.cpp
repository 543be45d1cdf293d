// ComputePlanes on one 256 x 256 photo, and its steps.
//
// The photo is the reference picture tests/reference/two/d1/image1.ppm.gz
// (the busy JPEG ref-texture.jpg as placed on the grid), decoded with zlib.
// Run the Release build; every benchmark reports mean, median and spread of
// its repetitions.
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "image/planes_internal.h"

#include "../tests/image/plain_planes.h"
#include "../tests/image/planes_test_support.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

const TBitmap& Photo() {
    static const TBitmap photo = [] {
        InitPlaneStore();
        return planes_test::LoadReferencePicture("two/d1");
    }();
    return photo;
}

void BM_ComputePlanes(benchmark::State& state) {
    const TBitmap& photo = Photo();
    for (auto _ : state) {
        ComputePlanes(photo);
        benchmark::DoNotOptimize(FeaturePlanes[0][0][128][128]);
        benchmark::ClobberMemory();
    }
}

void BM_ColourPlanes(benchmark::State& state) {
    ComputePlanes(Photo());
    for (auto _ : state) {
        ComputeColourPlanes();
        benchmark::ClobberMemory();
    }
}

void BM_NoisePlanes(benchmark::State& state) {
    ComputePlanes(Photo());
    ComputeColourPlanes();
    for (auto _ : state) {
        ComputeNoisePlanes();
        benchmark::ClobberMemory();
    }
}

void BM_NoisePlanes_PlainTwin(benchmark::State& state) {
    ComputePlanes(Photo());
    ComputeColourPlanes();
    for (auto _ : state) {
        plain_twin::ComputeNoisePlanes();
        benchmark::ClobberMemory();
    }
}

void BM_BorderPlanes(benchmark::State& state) {
    ComputePlanes(Photo());
    ComputeColourPlanes();
    for (auto _ : state) {
        ComputeBorderPlanes();
        benchmark::ClobberMemory();
    }
}

// In place: after the first round the planes are already stretched, so later
// rounds do the same work with an identity-like table.
void BM_NormalisePlanes(benchmark::State& state) {
    ComputePlanes(Photo());
    for (auto _ : state) {
        NormalisePlanes();
        benchmark::ClobberMemory();
    }
}

// What ComputePlanes does before the four steps (the lead's part): the copy
// into level 0, the three halftone reductions and the clearing of the store.
void BM_Prelude(benchmark::State& state) {
    const TBitmap& photo = Photo();
    for (auto _ : state) {
        DrawBitmap(LevelBitmap[0], 0, 0, photo);
        for (int l = 1; l < PlaneLevels; ++l) HalftoneReduce(LevelBitmap[l - 1], LevelBitmap[l]);
        std::memset(FeaturePlanes, 0, sizeof FeaturePlanes);
        benchmark::ClobberMemory();
    }
}

void BM_ClearStore(benchmark::State& state) {
    for (auto _ : state) {
        std::memset(FeaturePlanes, 0, sizeof FeaturePlanes);
        benchmark::ClobberMemory();
    }
}

#define PLANES_BENCH(f) BENCHMARK(f)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true)

PLANES_BENCH(BM_ComputePlanes);
PLANES_BENCH(BM_Prelude);
PLANES_BENCH(BM_ClearStore);
PLANES_BENCH(BM_ColourPlanes);
PLANES_BENCH(BM_NoisePlanes);
PLANES_BENCH(BM_NoisePlanes_PlainTwin);
PLANES_BENCH(BM_BorderPlanes);
PLANES_BENCH(BM_NormalisePlanes);

} // namespace

BENCHMARK_MAIN();
