// The click probe: a press on Image1 grows regions of similar colour and
// plane-0 value around one seed near the pointer (left button), ten seeds near
// it (middle) or ten anywhere (right), ring by ring, into LabelPlane (plane
// 13), and shows that plane.
//
// Reads: planes 0 and 1, the level-0 picture, ScrollBar1 (the cost limit).
// Writes: plane 13, RandSeed, the selection of ListBox1.
#include "../image/plane_store.h"
#include "busy_cursor.h"
#include "random.h"
#include "uMain.h"

#include <QListWidget>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace {

int Clamp(int v) {
    return ClampTab[v];
}

// Visits the ring at distance d around (cx, cy) in its eight runs, calling
// join for every position; positions beyond the picture fall back onto the
// border row or column.
template <typename TJoin> void VisitRing(int cx, int cy, int d, TJoin&& join) {
    const int xHi = std::min(255, cx + d), yHi = std::min(255, cy + d);
    const int xLo = std::max(0, cx - d), yLo = std::max(0, cy - d);
    const int top = Clamp(cy - d), bottom = Clamp(cy + d);
    const int left = Clamp(cx - d), right = Clamp(cx + d);
    for (int x = cx; x <= xHi; ++x) join(x, top);
    for (int x = cx; x <= xHi; ++x) join(x, bottom);
    for (int y = cy; y <= yHi; ++y) join(left, y);
    for (int y = cy; y <= yHi; ++y) join(right, y);
    for (int x = xLo; x <= cx; ++x) join(x, top);
    for (int x = xLo; x <= cx; ++x) join(x, bottom);
    for (int y = yLo; y <= cy; ++y) join(left, y);
    for (int y = yLo; y <= cy; ++y) join(right, y);
}

} // namespace

void TfrmMain::TryJoin(int px, int py) {
    TPlane& labels = Plane(aGr);
    const int dist = ((px - cx_) * (px - cx_) + (py - cy_) * (py - cy_)) / 160;
    if (labels[Clamp(py - 1)][px] != r_ && labels[Clamp(py + 1)][px] != r_ &&
        labels[py][Clamp(px - 1)] != r_ && labels[py][Clamp(px + 1)] != r_)
        return;
    const uint8_t* p = LevelRows[0][py] + 3 * px;
    const uint8_t* c = LevelRows[0][cy_] + 3 * cx_;
    const int cost = std::abs(p[2] - c[2]) + std::abs(p[1] - c[1]) + std::abs(p[0] - c[0]) +
                     std::abs(q_ - Plane(aNo1)[py][px]) - Plane(aNo2)[py][px] + dist;
    if (cost < ScrollBar1->value()) labels[py][px] = uint8_t(r_);
}

void TfrmMain::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton) return;
    TBusyCursor busy;
    const int seeds = button == Qt::LeftButton ? 1 : 10;
    for (int n = 0; n < seeds; ++n) {
        cx_ = Clamp(x + Random(20) - 10);
        cy_ = Clamp(y + Random(20) - 10);
        if (button == Qt::RightButton) {
            cx_ = Random(255);
            cy_ = Random(255);
        }
        r_ = Random(255);
        Plane(aGr)[cy_][cx_] = uint8_t(r_);
        q_ = Plane(aNo1)[cy_][cx_];
        for (int rep = 0; rep < 5; ++rep)
            for (int d = 1; d <= 250; ++d)
                VisitRing(cx_, cy_, d, [this](int px, int py) { TryJoin(px, py); });
    }
    {
        const QSignalBlocker block(ListBox1);
        ListBox1->setCurrentRow(13);
    }
    ShowPlane(13);
}
