// What the Python module adds to a step: find_areas at 68 on the busy texture
// photo called from Python, beside the same steps called in C++ on a session
// of the same picture: the pass alone, and the pass with what find_areas
// hands back (the label image of the kept areas and the table's columns).
// The module's share is the Python figure over the second; both sessions
// have one worker, so nothing but the call differs.

// Before any Qt header, whose keyword macros (slots) Python's headers use
// as names.
#include <pybind11/embed.h>

#include "session/area_columns.h"
#include "session/label_image.h"
#include "session/session.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace py = pybind11;

namespace {

const std::string Photo = TESSA_SOURCE_DIR "/tests/reference/ref-texture.jpg";

// The pass at 68 on a one-worker session of the photo, `then` after each.
template <typename TThen> void PassesAt68InCpp(benchmark::State& state, TThen then) {
    const auto s = NewSession(1);
    LoadPicture(*s, Photo);
    ComputePlanes(*s);
    TPassOptions options;
    options.Threshold = 68;
    TPassObserver quiet;
    for (auto _ : state) {
        FindAreas(*s, options, quiet);
        then(*s);
    }
    state.counters["areas"] = s->LastPass->KeptAreas;
}

void BM_FindAreasAt68InCpp(benchmark::State& state) {
    PassesAt68InCpp(state, [](const TSession&) {});
}

void BM_FindAreasAt68WithResultsInCpp(benchmark::State& state) {
    PassesAt68InCpp(state, [](const TSession& s) {
        // Not zeroed first, as the module's array is not.
        const std::unique_ptr<int32_t[]> labels(new int32_t[256 * 256]);
        WriteKeptLabels(s, labels.get());
        const auto columns = AreaColumnValues(s.Areas, FootprintOf(s.Picture));
        benchmark::DoNotOptimize(labels.get());
        benchmark::DoNotOptimize(columns.data());
    });
}

void BM_FindAreasAt68FromPython(benchmark::State& state) {
    py::object session = py::module_::import("tessavorin").attr("Session")(1);
    session.attr("load")(Photo);
    const py::object findAreas = session.attr("find_areas");
    py::object result;
    for (auto _ : state) result = findAreas(py::arg("threshold") = 68);
    state.counters["areas"] = double(py::len(result.attr("areas")["label"]));
}

BENCHMARK(BM_FindAreasAt68InCpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindAreasAt68WithResultsInCpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindAreasAt68FromPython)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    py::scoped_interpreter python;
    py::module_::import("sys").attr("path").attr("insert")(0, TESSA_PYTHON_DIR);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
