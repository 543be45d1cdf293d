// The area pass on whole pictures: the busy texture photo of the reference
// dump two/d1 (planes aNo1 and aV, which the pass reads with ByPriznak off),
// the shapes picture of one/d1, and a uniform plane. Each photo pass runs with
// the tree registration skipping subtrees (the default) and walking the whole
// tree for every area (PartPlainWalk), so both figures come from one run.
#include "areas/area_pass.h"
#include "areas/area_tables.h"
#include "image/plane_store.h"
#include "image/window_seam.h"
#include "tree/partition_tree.h"

#include "areas/area_test_support.h" // from tests/

#include <benchmark/benchmark.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using area_test::LoadPlanes; // the 20 planes of a reference dump
using area_test::StartOnce;

void RunPass(benchmark::State& state, const char* dump, int level, bool plainWalk) {
    StartOnce();
    LoadPlanes(dump);
    PartPlainWalk = plainWalk;
    for (auto _ : state) FindAreas(level);
    PartPlainWalk = false;
    state.counters["areas"] = AreaCount + 1;
}

void BM_PhotoAutomatic(benchmark::State& s) {
    RunPass(s, "two/d1", -1, false);
}
void BM_PhotoAutomaticWholeWalk(benchmark::State& s) {
    RunPass(s, "two/d1", -1, true);
}
void BM_PhotoAt68(benchmark::State& s) {
    RunPass(s, "two/d1", 68, false);
}
void BM_PhotoAt68WholeWalk(benchmark::State& s) {
    RunPass(s, "two/d1", 68, true);
}
void BM_ShapesAutomatic(benchmark::State& s) {
    RunPass(s, "one/d1", -1, false);
}
void BM_ShapesAutomaticWholeWalk(benchmark::State& s) {
    RunPass(s, "one/d1", -1, true);
}

void BM_Uniform(benchmark::State& state) {
    StartOnce();
    std::memset(FeaturePlanes, 0, sizeof FeaturePlanes);
    std::memset(Plane(aV), 100, sizeof(TPlane));
    for (auto _ : state) FindAreas(-1);
}

} // namespace

BENCHMARK(BM_PhotoAutomatic)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_PhotoAutomaticWholeWalk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_PhotoAt68)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_PhotoAt68WholeWalk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_ShapesAutomatic)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_ShapesAutomaticWholeWalk)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_Uniform)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

BENCHMARK_MAIN();
