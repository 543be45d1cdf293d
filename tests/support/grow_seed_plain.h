// The plain twin of the click probe's growth: five repetitions of the rings
// 1 to 250 around the seed, each position's cost worked out anew as the
// inner step meets it, and the position labelled when a 4-neighbour (clamped
// to the picture) holds the seed's label and the cost is below the limit.
#pragma once

#include "image/lookup_tables.h"
#include "session/click_probe.h"

#include <algorithm>
#include <cstdlib>

namespace plain_grow {

inline int Clamp(int v) {
    return ClampTab[v];
}

inline int Cost(const TPlanes& planes, const TSeedState& s, int px, int py) {
    const int dist = ((px - s.cx) * (px - s.cx) + (py - s.cy) * (py - s.cy)) / 160;
    const uint8_t* p = planes.Row(py) + 3 * px;
    const uint8_t* c = planes.Row(s.cy) + 3 * s.cx;
    return std::abs(p[2] - c[2]) + std::abs(p[1] - c[1]) + std::abs(p[0] - c[0]) +
           std::abs(s.q - planes[aNo1][py][px]) - planes[aNo2][py][px] + dist;
}

inline void TryJoin(TPlanes& planes, const TSeedState& s, int limit, int px, int py) {
    TPlane& labels = planes[aGr];
    const bool held = labels[Clamp(py - 1)][px] == s.r || labels[Clamp(py + 1)][px] == s.r ||
                      labels[py][Clamp(px - 1)] == s.r || labels[py][Clamp(px + 1)] == s.r;
    if (held && Cost(planes, s, px, py) < limit) labels[py][px] = uint8_t(s.r);
}

// The ring at distance d in its eight runs; positions beyond the picture
// fall back onto the border row or column.
inline void GrowSeed(TPlanes& planes, const TSeedState& s, int limit) {
    for (int rep = 0; rep < 5; ++rep)
        for (int d = 1; d <= 250; ++d) {
            const int cx = s.cx, cy = s.cy;
            const int xHi = std::min(255, cx + d), yHi = std::min(255, cy + d);
            const int xLo = std::max(0, cx - d), yLo = std::max(0, cy - d);
            const int top = Clamp(cy - d), bottom = Clamp(cy + d);
            const int left = Clamp(cx - d), right = Clamp(cx + d);
            const auto join = [&](int x, int y) { TryJoin(planes, s, limit, x, y); };
            for (int x = cx; x <= xHi; ++x) join(x, top);
            for (int x = cx; x <= xHi; ++x) join(x, bottom);
            for (int y = cy; y <= yHi; ++y) join(left, y);
            for (int y = cy; y <= yHi; ++y) join(right, y);
            for (int x = xLo; x <= cx; ++x) join(x, top);
            for (int x = xLo; x <= cx; ++x) join(x, bottom);
            for (int y = yLo; y <= cy; ++y) join(left, y);
            for (int y = yLo; y <= cy; ++y) join(right, y);
        }
}

} // namespace plain_grow
