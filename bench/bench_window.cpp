// Per-call times of the window's hot paths on a busy photo: the plane view,
// the area probe under the pointer, the click probe presses and the
// threshold scan. Runs off screen.
#include "areas/area_tables.h"
#include "areas/probe.h"
#include "areas/probe_plain.h" // the plain twin, from tests/
#include "image/compute_planes.h"
#include "image/plane_store.h"
#include "image/planes_test_support.h" // from tests/
#include "main/click_probe.h"
#include "main/random.h"
#include "main/uMain.h"
#include "offscreen_app.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

TfrmMain* Form = nullptr;

// The 256 x 256 photo of a reference dump into Image1, and its planes.
void LoadPhoto(const std::string& dump) {
    DrawBitmap(Form->Image1Picture, 0, 0, planes_test::LoadReferencePicture(dump));
    ComputePlanes(Form->Image1Picture);
}

const std::string Photo = "two/d1"; // a busy texture photo

void BM_ShowPlane(benchmark::State& state) {
    LoadPhoto(Photo);
    const uint8_t plane = uint8_t(state.range(0));
    for (auto _ : state) Form->ShowPlane(plane);
}
BENCHMARK(BM_ShowPlane)->Arg(12)->Arg(3)->Arg(19)->Unit(benchmark::kMicrosecond);

int LiveAreas() {
    int n = 0;
    for (int i = 0; i <= AreaCount; ++i) n += Areas[i] != nullptr;
    return n;
}

// A picture of 21 x 21 dark blots of varied shapes on a light ground: more
// than 300 areas for the probe to compare.
void LoadBlots() {
    uint32_t seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    FillBitmap(Form->Image1Picture, {230, 225, 210});
    for (int by = 0; by < 21; ++by)
        for (int bx = 0; bx < 21; ++bx) {
            const int w = 6 + int(next() % 4), h = 6 + int(next() % 4), cut = int(next() % 4);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (x + y >= cut && !(cut == 3 && x > w / 2 && y > h / 2))
                        SetPixel(Form->Image1Picture, 3 + 12 * bx + x, 3 + 12 * by + y,
                                 {30, 40, 60});
        }
    // One black pixel keeps the blots above the darkest value, which the
    // contrast stretch maps to 0 and the analysis never seeds from.
    SetPixel(Form->Image1Picture, 253, 253, {0, 0, 0});
    ComputePlanes(Form->Image1Picture);
}

// The pass over the blots whose areas the probe benchmarks compare.
void PassOverBlots(benchmark::State& state) {
    LoadBlots();
    Form->ScrollBar2->setValue(0);
    Form->ScrollBar2->setValue(128);
    state.counters["live_areas"] = LiveAreas();
}

void BM_ProbeArea(benchmark::State& state) {
    PassOverBlots(state);
    int i = 0;
    for (auto _ : state) {
        ProbeArea(i % 256, (i * 7) % 256);
        ++i;
    }
}
BENCHMARK(BM_ProbeArea)->Unit(benchmark::kMicrosecond);

// The same moves with the plain two-sweep probe kept in the tests.
void BM_ProbeArea_PlainTwin(benchmark::State& state) {
    PassOverBlots(state);
    int i = 0;
    for (auto _ : state) {
        PlainProbeArea(i % 256, (i * 7) % 256);
        ++i;
    }
}
BENCHMARK(BM_ProbeArea_PlainTwin)->Unit(benchmark::kMicrosecond);

void BM_Press(benchmark::State& state) {
    LoadPhoto(Photo);
    const Qt::MouseButton button = Qt::MouseButton(state.range(0));
    for (auto _ : state) {
        RandSeed = 0;
        Form->Image1MouseDown(button, 128, 128);
    }
}
BENCHMARK(BM_Press)
    ->Arg(Qt::LeftButton)
    ->Arg(Qt::MiddleButton)
    ->Arg(Qt::RightButton)
    ->Unit(benchmark::kMillisecond);

// One seed grown with the plain inner step, for comparison with the fast
// growth of a press.
void BM_GrowSeed(benchmark::State& state) {
    LoadPhoto(Photo);
    const bool fast = state.range(0) != 0;
    TSeedState s{128, 128, 7, Plane(aNo1)[128][128]};
    for (auto _ : state) GrowSeed(s, 100, fast);
}
BENCHMARK(BM_GrowSeed)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_Scan(benchmark::State& state) {
    LoadPhoto(Photo);
    for (auto _ : state) {
        Form->ScrollBar2->setValue(100);
        Form->ScanClick();
    }
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffScreen(argc, argv, [] {
        TfrmMain::InitialMessageBoxHook = [](QMessageBox::Icon, const QString&, const QString&,
                                             QMessageBox::StandardButtons) {
            return QMessageBox::Ok;
        };
        TfrmMain form("/nonexistent");
        Form = &form;
        benchmark::RunSpecifiedBenchmarks();
    });
}
