// The click probe's growth, ring by ring, into plane 13 (see click_probe.h).
#include "click_probe.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

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

int Cost(const TPlanes& planes, const TSeedState& s, int px, int py) {
    const int dist = ((px - s.cx) * (px - s.cx) + (py - s.cy) * (py - s.cy)) / 160;
    const uint8_t* p = planes.Row(py) + 3 * px;
    const uint8_t* c = planes.Row(s.cy) + 3 * s.cx;
    return std::abs(p[2] - c[2]) + std::abs(p[1] - c[1]) + std::abs(p[0] - c[0]) +
           std::abs(s.q - planes[aNo1][py][px]) - planes[aNo2][py][px] + dist;
}

bool NeighbourHolds(const TPlane& labels, int r, int px, int py) {
    return labels[Clamp(py - 1)][px] == r || labels[Clamp(py + 1)][px] == r ||
           labels[py][Clamp(px - 1)] == r || labels[py][Clamp(px + 1)] == r;
}

} // namespace

void GrowSeed(TPlanes& planes, const TSeedState& s, int limit) {
    auto cheap = std::make_unique<bool[][256]>(256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) cheap[y][x] = Cost(planes, s, x, y) < limit;
    TPlane& labels = planes[aGr];
    VisitAllRings(s, [&](int px, int py) {
        if (cheap[py][px] && NeighbourHolds(labels, s.r, px, py)) labels[py][px] = uint8_t(s.r);
    });
}

void PressProbe(TSession& session, TProbeButton button, int x, int y, int limit) {
    TRandom& random = session.Random;
    TPlanes& planes = session.Planes;
    const int seeds = button == TProbeButton::Left ? 1 : 10;
    for (int n = 0; n < seeds; ++n) {
        TSeedState s;
        s.cx = Clamp(x + random.Next(20) - 10);
        s.cy = Clamp(y + random.Next(20) - 10);
        if (button == TProbeButton::Right) { // the two draws above are still made
            s.cx = random.Next(255);
            s.cy = random.Next(255);
        }
        s.r = random.Next(255);
        planes[aGr][s.cy][s.cx] = uint8_t(s.r);
        s.q = planes[aNo1][s.cy][s.cx];
        GrowSeed(planes, s, limit);
    }
}
