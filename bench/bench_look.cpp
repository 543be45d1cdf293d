// Per-call times of the closer look: one magnifier frame, one readout update
// as the pointer moves, and one refresh of the table of areas after a pass.
// On the blots picture (442 areas at threshold 128) and on the busy photo of
// the reference dumps at threshold 52, where it keeps the most areas (174).
// Runs off screen.
#include "blots.h"
#include "main/area_table.h"
#include "main/magnifier.h"
#include "main/readout.h"
#include "main/uMain.h"
#include "offscreen_app.h"
#include "session/session.h"
#include "support/reference_pictures.h"
#include "support/window_controls.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

TfrmMain* Form = nullptr;
TSession* Session = nullptr; // the window's session, owned by the benchmark

enum TPicture { Blots, Photo };

// The picture on the grid, its planes, and a pass at its threshold.
void Analyse(benchmark::State& state, TPicture picture) {
    if (picture == Blots)
        DrawBlots(Session->Grid);
    else
        DrawBitmap(Session->Grid, 0, 0, planes_test::LoadReferencePicture("two/d1"));
    ComputePlanes(*Session);
    QScrollBar* bar = Controls(*Form).ScrollBar2;
    bar->setValue(0);
    bar->setValue(picture == Blots ? 128 : 52);
    state.counters["areas"] = Session->LastPass->KeptAreas;
}

template <typename T> T* Part(const char* name) {
    return dynamic_cast<T*>(FindControl<QWidget>(*Form, name));
}

void SetTool(const char* action, bool on) {
    FindControl<QAction>(*Form, action)->setChecked(on);
}

void ShowPlane(int p) {
    QListWidget* planes = Controls(*Form).ListBox1;
    {
        const QSignalBlocker block(planes);
        planes->setCurrentRow(p);
    }
    Form->ListBox1Click();
}

void MovePointer(QWidget* view, int x, int y) {
    const QPointF at(x, y);
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
}

// One frame drawn and painted: the 225 pixels around the pointer, each with
// its number (plane values on plane 12, labels on the area view).
void BM_MagnifierFrame(benchmark::State& state) {
    const bool areaView = state.range(0) == 1;
    Analyse(state, TPicture(state.range(1)));
    ShowPlane(12);
    SetTool("MagnifierAction", true);
    TMagnifier* magnifier = Part<TMagnifier>("Magnifier");
    const TViewKind view = areaView ? TViewKind::AreaView : TViewKind::PlaneView;
    const TViewState shown{12, false};
    const TBitmap& bitmap = areaView ? *Form->Snapshot().PaintBox2 : *Form->Snapshot().PaintBox1;
    int i = 0;
    for (auto _ : state) {
        const int x = 20 + i % 200, y = 20 + (i * 7) % 200;
        magnifier->Show(
            bitmap, x, y,
            [&](int px, int py) {
                return PixelNumber(*Session, shown, {view, px, py});
            },
            PointerLines(*Session, shown, {view, x, y}).join('\n'));
        magnifier->repaint();
        ++i;
    }
    SetTool("MagnifierAction", false);
}
BENCHMARK(BM_MagnifierFrame)
    ->ArgNames({"area_view", "photo"})
    ->Args({0, Blots})
    ->Args({1, Blots})
    ->Args({0, Photo})
    ->Args({1, Photo})
    ->Unit(benchmark::kMicrosecond);

// The pointer moved over the plane view (area map shown): the readout's text
// made, elided to the column and set, with the magnifier shut or open.
void BM_PointerMove(benchmark::State& state) {
    Analyse(state, TPicture(state.range(1)));
    ShowPlane(3);
    SetTool("MagnifierAction", state.range(0) != 0);
    QWidget* view = Controls(*Form).PaintBox1;
    int i = 0;
    for (auto _ : state) {
        MovePointer(view, 20 + i % 200, 20 + (i * 7) % 200);
        ++i;
    }
    SetTool("MagnifierAction", false);
}
BENCHMARK(BM_PointerMove)
    ->ArgNames({"magnifier", "photo"})
    ->Args({0, Blots})
    ->Args({1, Blots})
    ->Args({0, Photo})
    ->Unit(benchmark::kMicrosecond);

// The table's refresh after a pass: the rows taken anew from the session,
// sorted by pixels (every row's figures read), the rows on screen painted.
void BM_TableRefresh(benchmark::State& state) {
    Analyse(state, TPicture(state.range(0)));
    SetTool("AreaTableAction", true);
    TAreaTable* table = Part<TAreaTable>("AreaTable");
    table->View()->sortByColumn(1, Qt::DescendingOrder);
    for (auto _ : state) {
        table->Refresh();
        table->View()->viewport()->repaint();
    }
    table->View()->sortByColumn(0, Qt::AscendingOrder);
    SetTool("AreaTableAction", false);
}
BENCHMARK(BM_TableRefresh)->ArgName("photo")->Arg(Blots)->Arg(Photo)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffScreen(argc, argv, [] {
        const auto session = NewSession();
        TfrmMain form(TestWindowOptions("/nonexistent", session.get()));
        form.show();
        Form = &form;
        Session = session.get();
        benchmark::RunSpecifiedBenchmarks();
    });
}
