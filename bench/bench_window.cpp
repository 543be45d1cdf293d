// Per-call times of the window's hot paths on a busy photo: the plane view,
// the area probe under the pointer, the click probe presses and the
// threshold scan. Runs off screen.
#include "blots.h"
#include "main/uMain.h"
#include "offscreen_app.h"
#include "session/click_probe.h"
#include "session/session.h"
#include "session/sweep.h"
#include "support/grow_seed_plain.h"
#include "support/probe_plain.h"
#include "support/reference_pictures.h"
#include "support/window_controls.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

TfrmMain* Form = nullptr;
TSession* Session = nullptr; // the window's session, owned by the benchmark

// The 256 x 256 photo of a reference dump onto the grid, and its planes.
void LoadPhoto(const std::string& dump) {
    DrawBitmap(Session->Grid, 0, 0, planes_test::LoadReferencePicture(dump));
    ComputePlanes(*Session);
}

const std::string Photo = "two/d1"; // a busy texture photo

// The plane list clicked: the plane drawn into the plane view, the counters
// listed.
void BM_ShowPlane(benchmark::State& state) {
    LoadPhoto(Photo);
    QListWidget* list = Controls(*Form).ListBox1;
    {
        const QSignalBlocker block(list);
        list->setCurrentRow(int(state.range(0)));
    }
    for (auto _ : state) Form->ListBox1Click();
}
BENCHMARK(BM_ShowPlane)->Arg(12)->Arg(3)->Arg(19)->Unit(benchmark::kMicrosecond);

int LiveAreas() {
    int n = 0;
    for (int i = 0; i <= Session->Areas.AreaCount; ++i) n += Session->Areas.Areas[i] != nullptr;
    return n;
}

// The blots picture: hundreds of areas for the probe to compare.
void LoadBlots() {
    DrawBlots(Session->Grid);
    ComputePlanes(*Session);
}

// The pass over the blots whose areas the probe benchmarks compare.
void PassOverBlots(benchmark::State& state) {
    LoadBlots();
    QScrollBar* bar = Controls(*Form).ScrollBar2;
    bar->setValue(0);
    bar->setValue(128);
    state.counters["live_areas"] = LiveAreas();
}

void BM_ProbeArea(benchmark::State& state) {
    PassOverBlots(state);
    int i = 0;
    for (auto _ : state) {
        ProbeArea(*Session, i % 256, (i * 7) % 256);
        ++i;
    }
}
BENCHMARK(BM_ProbeArea)->Unit(benchmark::kMicrosecond);

// The same moves with the plain two-sweep probe kept in the tests.
void BM_ProbeArea_PlainTwin(benchmark::State& state) {
    PassOverBlots(state);
    int i = 0;
    for (auto _ : state) {
        PlainProbeArea(Session->Areas, Session->View, i % 256, (i * 7) % 256);
        ++i;
    }
}
BENCHMARK(BM_ProbeArea_PlainTwin)->Unit(benchmark::kMicrosecond);

void BM_Press(benchmark::State& state) {
    LoadPhoto(Photo);
    const Qt::MouseButton button = Qt::MouseButton(state.range(0));
    for (auto _ : state) {
        Session->Random.Seed = 0;
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
    TSeedState s{128, 128, 7, Session->Planes[aNo1][128][128]};
    for (auto _ : state) {
        if (fast)
            GrowSeed(Session->Planes, s, 100);
        else
            plain_grow::GrowSeed(Session->Planes, s, 100);
    }
}
BENCHMARK(BM_GrowSeed)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The window's scan, on the session's default workers (the label says how
// many); the scan has no kernel levels of its own, so it runs the same on an
// AVX2-only processor as on this one.
void ScanIn(benchmark::State& state, TfrmMain& form, TSession& session) {
    DrawBitmap(session.Grid, 0, 0, planes_test::LoadReferencePicture(Photo));
    ComputePlanes(session);
    QScrollBar* bar = Controls(form).ScrollBar2;
    for (auto _ : state) {
        bar->setValue(100);
        form.ScanClick();
    }
    state.SetLabel(std::to_string(session.Workers.Count()) + " workers");
}

void BM_Scan(benchmark::State& state) {
    ScanIn(state, *Form, *Session);
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

// The same on a session of one worker, which starts no thread.
void BM_ScanOneWorker(benchmark::State& state) {
    const auto session = NewSession(1);
    TfrmMain form(TestWindowOptions("/nonexistent", session.get()));
    ScanIn(state, form, *session);
}
BENCHMARK(BM_ScanOneWorker)->Unit(benchmark::kMillisecond);

// The sweep of all 256 thresholds over the scan's photo, after the pass at
// 100, on the session's default workers: the sweep view computes it after
// every pass.
void BM_Sweep(benchmark::State& state) {
    DrawBitmap(Session->Grid, 0, 0, planes_test::LoadReferencePicture(Photo));
    ComputePlanes(*Session);
    Controls(*Form).ScrollBar2->setValue(100);
    for (auto _ : state) benchmark::DoNotOptimize(SweepThresholds(*Session, {}, 100));
    state.SetLabel(std::to_string(Session->Workers.Count()) + " workers");
}
BENCHMARK(BM_Sweep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffScreen(argc, argv, [] {
        const auto session = NewSession();
        TfrmMain form(TestWindowOptions("/nonexistent", session.get()));
        Form = &form;
        Session = session.get();
        benchmark::RunSpecifiedBenchmarks();
    });
}
