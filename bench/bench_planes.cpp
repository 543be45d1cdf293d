// ComputePlanes on one 256 x 256 photo, and its steps; the plain twins of the
// steps (tests/support/plain_planes.h, written rule by rule) measured in
// the same run for comparison.
//
// The photo is the reference picture tests/reference/two/d1/image1.ppm.gz
// (the busy JPEG ref-texture.jpg as placed on the grid), decoded with zlib.
// Run the Release build; every benchmark reports the mean, median and spread
// of ten repetitions. Benchmarks with an argument run at that kernel level
// (0 portable loops, 1 AVX2, 2 AVX-512; a level the processor lacks runs the
// highest it has, and the label says which). BM_ComputePlanes and
// BM_NoisePlanes run on the workers the program uses by default (one per
// processor the process may run on: under `taskset -c 0`, one); the label
// says how many.
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "image/planes_internal.h"
#include "image/workers.h"

#include "support/noise_planes_whole.h"
#include "support/plain_planes.h"
#include "support/reference_pictures.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

const TBitmap& Photo() {
    static const TBitmap photo = planes_test::LoadReferencePicture("two/d1");
    return photo;
}

// The plane store every benchmark here works on.
TPlanes& P() {
    static const std::unique_ptr<TPlanes> planes = std::make_unique<TPlanes>();
    return *planes;
}

// The program's default workers.
TWorkers& Workers() {
    static TWorkers workers;
    return workers;
}

// The kernel level of the benchmark's argument.
void SetLevel(benchmark::State& state, bool withWorkers = false) {
    const int want = state.range(0);
    const int got = SelectPlaneKernels(P(), want);
    state.SetLabel("kernel level " + std::to_string(got) +
                   (withWorkers ? ", " + std::to_string(Workers().Count()) + " workers" : ""));
}

void Restore() {
    SelectPlaneKernels(P(), 2);
}

// What ComputePlanes does before the four steps: the copy into level 0, the
// three halftone reductions and the clearing of the store.
void Prelude(const TBitmap& photo) {
    DrawBitmap(P().Levels[0], 0, 0, photo);
    for (int l = 1; l < PlaneLevels; ++l) HalftoneReduce(P().Levels[l - 1], P().Levels[l]);
    std::memset(P().P, 0, sizeof P().P);
}

void BM_ComputePlanes(benchmark::State& state) {
    const TBitmap& photo = Photo();
    SetLevel(state, true);
    for (auto _ : state) {
        ComputePlanes(photo, P(), &Workers());
        benchmark::ClobberMemory();
    }
    Restore();
}

// The same work with the plain twins of the four steps.
void BM_ComputePlanes_PlainTwin(benchmark::State& state) {
    const TBitmap& photo = Photo();
    for (auto _ : state) {
        Prelude(photo);
        plain_twin::ComputeAllPlanes(P());
        benchmark::ClobberMemory();
    }
}

void BM_Prelude(benchmark::State& state) {
    const TBitmap& photo = Photo();
    for (auto _ : state) {
        Prelude(photo);
        benchmark::ClobberMemory();
    }
}

void BM_HalftoneReductions(benchmark::State& state) {
    Photo();
    for (auto _ : state) {
        for (int l = 1; l < PlaneLevels; ++l) HalftoneReduce(P().Levels[l - 1], P().Levels[l]);
        benchmark::ClobberMemory();
    }
}

void BM_ClearStore(benchmark::State& state) {
    for (auto _ : state) {
        std::memset(P().P, 0, sizeof P().P);
        benchmark::ClobberMemory();
    }
}

// The four steps alone, on the picture already in level 0, after clearing
// level 0 of the store.
void BM_FourSteps(benchmark::State& state) {
    Prelude(Photo());
    SetLevel(state);
    for (auto _ : state) {
        std::memset(P().P, 0, sizeof P().P);
        ComputeColourPlanes(P());
        ComputeNoisePlanes(P());
        ComputeBorderPlanes(P());
        NormalisePlanes(P());
        benchmark::ClobberMemory();
    }
    Restore();
}

void BM_FourSteps_PlainTwin(benchmark::State& state) {
    Prelude(Photo());
    for (auto _ : state) {
        std::memset(P().P, 0, sizeof P().P);
        plain_twin::ComputeAllPlanes(P());
        benchmark::ClobberMemory();
    }
}

void BM_ColourPlanes(benchmark::State& state) {
    Prelude(Photo());
    SetLevel(state);
    for (auto _ : state) {
        ComputeColourPlanes(P());
        benchmark::ClobberMemory();
    }
    Restore();
}

void BM_ColourPlanes_PlainTwin(benchmark::State& state) {
    Prelude(Photo());
    for (auto _ : state) {
        plain_twin::ComputeColourPlanes(P());
        benchmark::ClobberMemory();
    }
}

void BM_NoisePlanes(benchmark::State& state) {
    Prelude(Photo());
    ComputeColourPlanes(P());
    SetLevel(state, true);
    for (auto _ : state) {
        ComputeNoisePlanes(P(), &Workers());
        benchmark::ClobberMemory();
    }
    Restore();
}

void BM_NoisePlanes_PlainTwin(benchmark::State& state) {
    Prelude(Photo());
    ComputeColourPlanes(P());
    for (auto _ : state) {
        plain_twin::ComputeNoisePlanes(P());
        benchmark::ClobberMemory();
    }
}

void BM_BorderPlanes(benchmark::State& state) {
    Prelude(Photo());
    ComputeColourPlanes(P());
    SetLevel(state);
    for (auto _ : state) {
        ComputeBorderPlanes(P());
        benchmark::ClobberMemory();
    }
    Restore();
}

void BM_BorderPlanes_PlainTwin(benchmark::State& state) {
    Prelude(Photo());
    ComputeColourPlanes(P());
    for (auto _ : state) {
        plain_twin::ComputeBorderPlanes(P());
        benchmark::ClobberMemory();
    }
}

// In place: each round restores the computed, unstretched planes first (a
// copy of 1.3 MB, measured alone by BM_RestorePlanes).
uint8_t Unstretched[PlaneCount][256][256];

void PrepareUnstretched() {
    Prelude(Photo());
    ComputeColourPlanes(P());
    ComputeNoisePlanes(P());
    ComputeBorderPlanes(P());
    std::memcpy(Unstretched, P().P, sizeof Unstretched);
}

void BM_RestorePlanes(benchmark::State& state) {
    PrepareUnstretched();
    for (auto _ : state) {
        std::memcpy(P().P, Unstretched, sizeof Unstretched);
        benchmark::ClobberMemory();
    }
}

void BM_NormalisePlanes(benchmark::State& state) {
    PrepareUnstretched();
    SetLevel(state);
    for (auto _ : state) {
        std::memcpy(P().P, Unstretched, sizeof Unstretched);
        NormalisePlanes(P());
        benchmark::ClobberMemory();
    }
    Restore();
}

void BM_NormalisePlanes_PlainTwin(benchmark::State& state) {
    PrepareUnstretched();
    for (auto _ : state) {
        std::memcpy(P().P, Unstretched, sizeof Unstretched);
        plain_twin::NormalisePlanes(P());
        benchmark::ClobberMemory();
    }
}

#define PLANES_BENCH(f)                                                                            \
    BENCHMARK(f)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true)
#define PLANES_BENCH_LEVELS(f) PLANES_BENCH(f)->Arg(2)->Arg(1)->Arg(0)

PLANES_BENCH_LEVELS(BM_ComputePlanes);
PLANES_BENCH(BM_ComputePlanes_PlainTwin);
PLANES_BENCH(BM_Prelude);
PLANES_BENCH(BM_HalftoneReductions);
PLANES_BENCH(BM_ClearStore);
PLANES_BENCH_LEVELS(BM_FourSteps);
PLANES_BENCH(BM_FourSteps_PlainTwin);
PLANES_BENCH_LEVELS(BM_ColourPlanes);
PLANES_BENCH(BM_ColourPlanes_PlainTwin);
PLANES_BENCH_LEVELS(BM_NoisePlanes);
PLANES_BENCH(BM_NoisePlanes_PlainTwin);
PLANES_BENCH_LEVELS(BM_BorderPlanes);
PLANES_BENCH(BM_BorderPlanes_PlainTwin);
PLANES_BENCH(BM_RestorePlanes);
PLANES_BENCH_LEVELS(BM_NormalisePlanes);
PLANES_BENCH(BM_NormalisePlanes_PlainTwin);

} // namespace

BENCHMARK_MAIN();
