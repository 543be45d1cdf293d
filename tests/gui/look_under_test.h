// A window under test with the closer look's parts at hand: the readout, the
// legend, the magnifier and the table of areas, found by their names, and
// the pointer moved over the views with real mouse events.
#pragma once

#include "main/area_table.h"
#include "main/legend.h"
#include "main/magnifier.h"
#include "window_under_test.h"

#include <QAction>
#include <QTableView>

#include <cmath>

struct TLookUnderTest : TWindowUnderTest {
    // Dark shapes on a light ground: a long bar with a small square below
    // its right end (nearer the square's centre than its own), a tall bar, an
    // L and a large square. Areas of varied shapes for the pass, known colours
    // for the picture.
    static constexpr TRGB Dark{20, 30, 120};
    static constexpr TRGB Light{230, 210, 40};
    static bool InShape(int x, int y) {
        const auto in = [&](int x0, int y0, int x1, int y1) {
            return x >= x0 && y >= y0 && x <= x1 && y <= y1;
        };
        return in(20, 50, 119, 59) || in(115, 64, 124, 73) || in(160, 20, 169, 99) ||
               in(30, 150, 69, 159) || in(30, 120, 39, 159) || in(150, 150, 199, 199);
    }

    void OpenWithShapes() {
        WriteBmp24(PathIn(samples, "shapes.bmp"), 256, 256,
                   [](int x, int y) -> TRGB { return InShape(x, y) ? Dark : Light; });
        Open();
    }
    // Loads the shapes and analyses them at a threshold between their values
    // and the ground's, so that each shape is an area of its own.
    void LoadShapes() {
        Choose(0);
        ctl.ScrollBar2->setValue(100);
    }

    template <typename T> T* Part(const char* name) const {
        auto* part = dynamic_cast<T*>(FindControl<QWidget>(*form, name));
        if (!part) throw std::logic_error(std::string(name) + " is not of the expected kind");
        return part;
    }
    QLabel* Readout() const { return FindControl<QLabel>(*form, "Readout"); }
    QStringList ReadoutLines() const { return Readout()->text().split('\n'); }
    TLegend* Legend() const { return Part<TLegend>("Legend"); }
    TMagnifier* Magnifier() const { return Part<TMagnifier>("Magnifier"); }
    TAreaTable* Table() const { return Part<TAreaTable>("AreaTable"); }
    QAction* Action(const char* name) const { return FindControl<QAction>(*form, name); }

    // The pointer moved over a view, as the user moves it. A move to where the
    // pointer already is (perhaps left there by another test) reports
    // nothing, so it comes from the next pixel up or down.
    void Hover(QWidget* view, int x, int y) {
        QTest::mouseMove(view, QPoint(x, y == 0 ? 1 : y - 1));
        QTest::mouseMove(view, QPoint(x, y));
    }
    // A key with Ctrl pressed in the active main window.
    void CtrlKey(Qt::Key key) {
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) throw std::runtime_error("window not active");
        QTest::keyClick(form.get(), key, Qt::ControlModifier);
    }
    void SelectPlane(int p) { Click(ctl.ListBox1, p); }

    int KeptAreas() const {
        int n = 0;
        for (int i = 0; i <= AreaCount; ++i) n += Areas[i] != nullptr;
        return n;
    }
    // The kept record of the area at (x, y), null off any kept area.
    const TArea* KeptAreaAt(int x, int y) const {
        const int32_t label = S.Areas.LabelMap[y][x];
        for (int i = 0; i <= AreaCount; ++i)
            if (Areas[i] && Areas[i]->label == label) return Areas[i].get();
        return nullptr;
    }
    // The first pixel of an area.
    static QPoint PixelOf(const TArea& a) {
        for (const TLineSeg& run : a.runs)
            if (run.len) return {run.x, run.y};
        return {-1, -1};
    }
    // A pixel of a labelled area that was not kept (rejected or released),
    // with the pixel above it in the same area.
    QPoint PixelOfAnAreaNotKept() const {
        for (int y = 1; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (S.Areas.LabelMap[y][x] && !KeptAreaAt(x, y) &&
                    S.Areas.LabelMap[y - 1][x] == S.Areas.LabelMap[y][x])
                    return {x, y};
        return {-1, -1};
    }
    // A pixel of a kept area whose nearest centre is another kept area's: there
    // the probe picks that other area, whose index `picked` is set to.
    QPoint PixelNearerAnotherCentre(int& picked) const {
        for (int i = 0; i <= AreaCount; ++i) {
            if (!Areas[i]) continue;
            for (const TLineSeg& run : Areas[i]->runs)
                for (int x = run.x; x < run.x + run.len; ++x) {
                    double best = 10000;
                    picked = -1;
                    for (int j = 0; j <= AreaCount; ++j) {
                        if (!Areas[j]) continue;
                        const double d = std::hypot(x - Areas[j]->meanX, run.y - Areas[j]->meanY);
                        if (d < best) best = d, picked = j;
                    }
                    if (picked != i) return {x, run.y};
                }
        }
        return {-1, -1};
    }
};
