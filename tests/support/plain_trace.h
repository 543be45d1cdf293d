// The plain twin of the contour trace: the tracer keeps its column and row,
// tests the four neighbours of its pixel one by one and looks its move up in
// one table and the step of that move in two more.
#pragma once

#include "areas/area_tables.h"
#include "image/lookup_tables.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace plain_trace {

// Unit moves: 0 left, 1 up, 2 right, 3 down.
inline constexpr int MoveX[4] = {-1, 0, 1, 0};
inline constexpr int MoveY[4] = {0, -1, 0, 1};

// For each last move, the moves to try: turn left (as seen on the screen),
// straight on, turn right, back. The outside stays on the tracer's left.
inline constexpr int TraceMoves[4][4] = {{3, 0, 1, 2}, {0, 1, 2, 3}, {1, 2, 3, 0}, {2, 3, 0, 1}};

// FirstFit[last][mask]: the first of the last move's candidates whose bit
// is set in `mask` (bit m: move m fits), -1 when none is.
struct TFirstFit {
    int8_t move[4][16];
};
constexpr TFirstFit MakeFirstFit() {
    TFirstFit t{};
    for (int last = 0; last < 4; ++last)
        for (int mask = 0; mask < 16; ++mask) {
            t.move[last][mask] = -1;
            for (int c = 3; c >= 0; --c)
                if (mask & (1 << TraceMoves[last][c]))
                    t.move[last][mask] = int8_t(TraceMoves[last][c]);
        }
    return t;
}
inline constexpr TFirstFit FirstFit = MakeFirstFit();

// The tracer's next position depends only on its pixel and last move, so
// after more steps than there are such states (4 x 254 x 254 = 258064) it
// could only be going round a cycle that misses the start pixel. No real
// outline needs this many steps; the bound only makes every trace end.
inline constexpr int32_t MaxTraceSteps = 4 * 65536;

// Sector 0..7 of pixel (x, y) around the centre (cx, cy); rows grow downward,
// so dy is positive above the centre.
inline int Sector(int x, int y, int cx, int cy) {
    const int dx = x - cx, dy = cy - y;
    if (dy > 0) {
        if (dx > 0) return dx > dy ? 0 : 1;
        return -dx > dy ? 3 : 2;
    }
    if (dx <= 0) return -dy < -dx ? 4 : 5;
    return dx > -dy ? 7 : 6;
}

// The tracer: from the start pixel it walks the area's outline clockwise,
// keeping the outside on its left; its smoothed point (fx, fy) moves a fifth
// of the way to each pixel it steps on.
struct TTracer {
    const int32_t (&LabelMap)[256][256];
    const int32_t label;
    int x, y, last = 1; // the tracer pixel and its last move (up at the start)
    float fx, fy;

    TTracer(const TAreaState& s, const TArea& a)
        : LabelMap(s.LabelMap), label(a.label), x(a.minX), y(a.minXRow), fx(float(x)),
          fy(float(y)) {}
    // The first move of the last move's candidates that stays on the area
    // (a pixel inside the frame carrying the label); when none does, the
    // tracer stays where it is. The tracer never leaves rows and columns
    // 1..254, so all four neighbours can be read, and which of them fit is
    // found without a branch that could be mispredicted.
    void Step() {
        const int mask = int(x > 1 && LabelMap[y][x - 1] == label) |
                         int(y > 1 && LabelMap[y - 1][x] == label) << 1 |
                         int(x < 254 && LabelMap[y][x + 1] == label) << 2 |
                         int(y < 254 && LabelMap[y + 1][x] == label) << 3;
        const int m = FirstFit.move[last][mask];
        if (m < 0) return;
        x += MoveX[m];
        y += MoveY[m];
        fx = float(0.8 * double(fx) + 0.2 * double(x));
        fy = float(0.8 * double(fy) + 0.2 * double(y));
        last = m;
    }
};

inline bool KeptByTrace(const TAreaState& s, const TArea& a) {
    TTracer t(s, a);
    const int x0 = t.x, y0 = t.y;
    int points = 0, lastX = -1, lastY = -1;
    for (int32_t step = 0; step < MaxTraceSteps; ++step) {
        const int px = int(t.fx), py = int(t.fy);
        if (points == 0 || px != lastX || py != lastY) {
            if (++points == 3) return true;
            lastX = px;
            lastY = py;
        }
        t.Step();
        if (t.x == x0 && t.y == y0) break;
    }
    return false;
}

inline void TraceArea(const TAreaState& s, TArea& a, TOutlineScratch& scratch) {
    const int cx = a.meanX, cy = a.meanY;
    TTracer t(s, a);
    const int x0 = t.x, y0 = t.y;

    // The walk records a point whenever the smoothed point enters another
    // pixel, with the shade of the ramp and the tracer pixel at that step.
    // Every step writes its candidate into the next free slot and only a new
    // pixel advances past it: no branch on the smoothed point, which turns
    // unpredictably. The scratch grows ahead of the walk.
    size_t n = 0;
    int lastX = -1, lastY = -1; // no point yet
    int ramp = 140;
    for (int32_t step = 0; step < MaxTraceSteps; ++step) {
        if (n >= scratch.Points.size()) {
            const size_t size = std::max<size_t>(1024, 2 * n);
            scratch.Points.resize(size);
            scratch.Shades.resize(size);
            scratch.At.resize(size);
        }
        const int px = int(t.fx), py = int(t.fy);
        scratch.Points[n] = {uint8_t(px), uint8_t(py)};
        scratch.Shades[n] = uint8_t(ramp);
        scratch.At[n] = {uint8_t(t.x), uint8_t(t.y)};
        n += size_t(px != lastX || py != lastY);
        lastX = px;
        lastY = py;
        t.Step();
        if (++ramp > 220) ramp = 140;
        if (t.x == x0 && t.y == y0) break;
    }
    scratch.Count = n;
    const std::span<const TContourPt> points(scratch.Points.data(), n);

    // Distances are measured from the tracer pixel, not the smoothed one, and
    // summed in the order of the points.
    float sectorSums[8] = {};
    float radiusSum = 0;
    for (size_t j = 0; j < n; ++j) {
        const int x = scratch.At[j].x, y = scratch.At[j].y;
        const int k = Sector(x, y, cx, cy);
        const double dx = double(x - cx), dy = double(y - cy);
        const float d = float(std::sqrt(dx * dx + dy * dy));
        sectorSums[k] = float(double(sectorSums[k]) + double(d));
        radiusSum = float(double(radiusSum) + std::trunc(double(d)));
    }

    a.contour.assign(points.begin(), points.end());
    a.contourHigh = int32_t(n) - 1;

    // Each sector's share of the summed distance; with no whole-number
    // distance at all there is nothing to share out.
    for (int k = 0; k < 8; ++k) {
        if (radiusSum == 0) {
            a.shape[k] = 0;
            continue;
        }
        const int share = int(double(sectorSums[k]) / double(radiusSum) * 255.0);
        a.shape[k] = ClampTab[share];
    }
    a.radiusSum = radiusSum;
}

} // namespace plain_trace
