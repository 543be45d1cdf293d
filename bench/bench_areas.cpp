// The area pass on whole pictures: the busy texture photo of the reference
// dump two/d1 (planes aNo1 and aV, which the pass reads with ByPriznak off),
// the shapes picture of one/d1, and a uniform plane.
#include "session/session.h"
#include "support/reference_pictures.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

void RunPass(benchmark::State& state, const char* dump, int level) {
    const auto s = NewSession();
    planes_test::LoadReferencePlanes(s->Planes, dump);
    TPassOptions options;
    options.Threshold = level;
    TPassObserver quiet;
    for (auto _ : state) FindAreas(*s, options, quiet);
    state.counters["areas"] = s->Areas.AreaCount + 1;
}

void BM_PhotoAutomatic(benchmark::State& s) {
    RunPass(s, "two/d1", -1);
}
void BM_PhotoAt68(benchmark::State& s) {
    RunPass(s, "two/d1", 68);
}
void BM_ShapesAutomatic(benchmark::State& s) {
    RunPass(s, "one/d1", -1);
}

void BM_Uniform(benchmark::State& state) {
    const auto s = NewSession();
    std::memset(s->Planes[aV], 100, sizeof(TPlane));
    TPassObserver quiet;
    for (auto _ : state) FindAreas(*s, {}, quiet);
}

} // namespace

#define AREAS_BENCH(f)                                                                             \
    BENCHMARK(f)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly()
AREAS_BENCH(BM_PhotoAutomatic);
AREAS_BENCH(BM_PhotoAt68);
AREAS_BENCH(BM_ShapesAutomatic);
AREAS_BENCH(BM_Uniform);

BENCHMARK_MAIN();
