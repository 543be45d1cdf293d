// The click probe: a press on Image1 grows regions of similar colour and
// plane-0 value around one seed near the pointer (left button), ten seeds near
// it (middle) or ten anywhere (right), ring by ring, into LabelPlane (plane
// 13), and shows that plane.
//
// Reads: planes 0 and 1, the level-0 picture, ScrollBar1 (the cost limit).
// Writes: plane 13, RandSeed, the selection of ListBox1.
#include "click_probe.h"

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

template <typename TJoin> void VisitAllRings(const TSeedState& s, TJoin&& join) {
    for (int rep = 0; rep < 5; ++rep)
        for (int d = 1; d <= 250; ++d) VisitRing(s.cx, s.cy, d, join);
}

int Cost(const TSeedState& s, int px, int py) {
    const int dist = ((px - s.cx) * (px - s.cx) + (py - s.cy) * (py - s.cy)) / 160;
    const uint8_t* p = LevelRows[0][py] + 3 * px;
    const uint8_t* c = LevelRows[0][s.cy] + 3 * s.cx;
    return std::abs(p[2] - c[2]) + std::abs(p[1] - c[1]) + std::abs(p[0] - c[0]) +
           std::abs(s.q - Plane(aNo1)[py][px]) - Plane(aNo2)[py][px] + dist;
}

bool NeighbourHolds(const TPlane& labels, int r, int px, int py) {
    return labels[Clamp(py - 1)][px] == r || labels[Clamp(py + 1)][px] == r ||
           labels[py][Clamp(px - 1)] == r || labels[py][Clamp(px + 1)] == r;
}

} // namespace

void TryJoin(const TSeedState& s, int limit, int px, int py) {
    TPlane& labels = Plane(aGr);
    if (!NeighbourHolds(labels, s.r, px, py)) return;
    if (Cost(s, px, py) < limit) labels[py][px] = uint8_t(s.r);
}

void GrowSeed(const TSeedState& s, int limit, bool fast) {
    if (!fast) {
        VisitAllRings(s, [&](int px, int py) { TryJoin(s, limit, px, py); });
        return;
    }
    static bool cheap[256][256];
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) cheap[y][x] = Cost(s, x, y) < limit;
    TPlane& labels = Plane(aGr);
    VisitAllRings(s, [&](int px, int py) {
        if (cheap[py][px] && NeighbourHolds(labels, s.r, px, py)) labels[py][px] = uint8_t(s.r);
    });
}

void TfrmMain::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton) return;
    TBusyCursor busy;
    const int seeds = button == Qt::LeftButton ? 1 : 10;
    for (int n = 0; n < seeds; ++n) {
        TSeedState s;
        s.cx = Clamp(x + Random(20) - 10);
        s.cy = Clamp(y + Random(20) - 10);
        if (button == Qt::RightButton) { // the two draws above are still made
            s.cx = Random(255);
            s.cy = Random(255);
        }
        s.r = Random(255);
        Plane(aGr)[s.cy][s.cx] = uint8_t(s.r);
        s.q = Plane(aNo1)[s.cy][s.cx];
        GrowSeed(s, ScrollBar1->value());
    }
    {
        const QSignalBlocker block(ListBox1);
        ListBox1->setCurrentRow(13);
    }
    ShowPlane(13);
}
