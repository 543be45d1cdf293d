// Contour trace and eight-sector shape profile of one area.
//
// Reads: the record Areas[i] (meanX, meanY as the centre; minX, minXRow as the
// start pixel; label; runs), LabelMap, ClampTab.
// Writes: the record's contour, contourHigh, shape and radiusSum; the outline
// and the profile star into the view.
// Leaves for the next step: the record entered into the partition tree, or
// released with Areas[i] set to null when its trace has fewer than 3 points.
#include "contour.h"

#include "../image/lookup_tables.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Unit moves: 0 left, 1 up, 2 right, 3 down, as steps in the label map.
constexpr int32_t MoveOffset[4] = {-1, -256, 1, 256};

// For each last move, the moves to try: turn left (as seen on the screen),
// straight on, turn right, back. The outside stays on the tracer's left.
constexpr int TraceMoves[4][4] = {{3, 0, 1, 2}, {0, 1, 2, 3}, {1, 2, 3, 0}, {2, 3, 0, 1}};

// NextStep[last * 16 + mask]: the first of the last move's candidates whose
// bit is set in `mask` (bit m: move m fits), with its step in the label map;
// when none fits, no step and the last move kept.
struct TNextStep {
    int16_t offset;
    uint8_t last;
    uint8_t moved;
};
struct TNextSteps {
    TNextStep at[64];
};
constexpr TNextSteps MakeNextSteps() {
    TNextSteps t{};
    for (int last = 0; last < 4; ++last)
        for (int mask = 0; mask < 16; ++mask) {
            TNextStep next{0, uint8_t(last), 0};
            for (int c = 3; c >= 0; --c) {
                const int m = TraceMoves[last][c];
                if (mask & (1 << m)) next = {int16_t(MoveOffset[m]), uint8_t(m), 1};
            }
            t.at[last * 16 + mask] = next;
        }
    return t;
}
constexpr TNextSteps NextSteps = MakeNextSteps();

// The moves that stay inside the frame's rows and columns 1..254, by the
// tracer's column (left and right) and by its row (up and down).
struct TFrameFits {
    uint8_t column[256];
    uint8_t row[256];
};
constexpr TFrameFits MakeFrameFits() {
    TFrameFits t{};
    for (int i = 0; i < 256; ++i) {
        t.column[i] = uint8_t(int(i > 1) | int(i < 254) << 2);
        t.row[i] = uint8_t(int(i > 1) << 1 | int(i < 254) << 3);
    }
    return t;
}
constexpr TFrameFits FrameFits = MakeFrameFits();

// The tracer's next position depends only on its pixel and last move, so
// after more steps than there are such states (4 x 254 x 254 = 258064) it
// could only be going round a cycle that misses the start pixel. No real
// outline needs this many steps; the bound only makes every trace end.
constexpr int32_t MaxTraceSteps = 4 * 65536;

// Sector 0..7 of pixel (x, y) around the centre (cx, cy); rows grow downward,
// so dy is positive above the centre.
int Sector(int x, int y, int cx, int cy) {
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
// of the way to each pixel it steps on. Its pixel is kept as one index into
// the label map, so that a step is four loads, a table lookup and an add.
struct TTracer {
    const int32_t* const labels; // the label map, row by row
    const int32_t label;
    int32_t at;   // the tracer pixel: y * 256 + x
    int last = 1; // its last move (up at the start)
    float fx, fy;

    TTracer(const TAreaState& s, const TArea& a)
        : labels(&s.LabelMap[0][0]), label(a.label), at(a.minXRow * 256 + a.minX),
          fx(float(a.minX)), fy(float(a.minXRow)) {
        assert(a.minX > 0 && a.minX < 255 && a.minXRow > 0 && a.minXRow < 255);
    }
    int x() const { return at & 255; }
    int y() const { return at >> 8; }
    // The first move of the last move's candidates that stays on the area
    // (a pixel inside the frame carrying the label); when none does, the
    // tracer stays where it is. The tracer never leaves rows and columns
    // 1..254, so all four neighbours can be read; the frame is left out by
    // the moves its column and row allow, without a branch.
    void Step() {
        const int32_t* p = labels + at;
        const int mask = (int(p[-1] == label) | int(p[-256] == label) << 1 |
                          int(p[1] == label) << 2 | int(p[256] == label) << 3) &
                         (FrameFits.column[at & 255] | FrameFits.row[at >> 8]);
        const TNextStep next = NextSteps.at[last * 16 + mask];
        at += next.offset;
        last = next.last;
        if (!next.moved) return;
        fx = float(0.8 * double(fx) + 0.2 * double(at & 255));
        fy = float(0.8 * double(fy) + 0.2 * double(at >> 8));
    }
};

// The drawing half of MeasureArea: the outline of Areas[i] in the shades its
// trace left in `traced`, and its profile star, into `view`; then the record
// is entered into `tree`, or released when its trace has fewer than 3 points.
void DrawAndKeepArea(TAreaState& s, TPartitionTree& tree, TBitmap& view, int32_t i,
                     const TOutlineScratch& traced) {
    TArea& a = *s.Areas[i];
    assert(traced.Count == a.contour.size());
    const uint8_t* shades = traced.Shades.data();
    for (size_t j = 0; j < a.contour.size(); ++j) {
        uint8_t* pixel = view.Rows[a.contour[j].y] + 3 * a.contour[j].x;
        pixel[0] = 128;
        pixel[1] = shades[j];
        pixel[2] = shades[j];
    }

    const int cx = a.meanX, cy = a.meanY;
    for (int k = 0; k < 8; ++k) {
        uint8_t* centre = view.Rows[size_t(cy)] + 3 * cx;
        centre[0] = centre[1] = centre[2] = 255;
        const double theta = double(k) * std::numbers::pi / 4.0 + std::numbers::pi / 8.0;
        const double r = double(a.shape[k]) / 4.0;
        const int ex = ClampTab[cx + int(std::cos(theta) * r)];
        const int ey = ClampTab[cy - int(std::sin(theta) * r)];
        view.Pen = {112, uint8_t(240 - 16 * k), uint8_t(112 + 18 * k)};
        MoveTo(view, cx, cy);
        LineTo(view, ex, ey);
    }

    if (a.contourHigh > 1) {
        RegisterArea(tree, &a, a.label, a.runs.data(), int32_t(a.runs.size()) - 1);
    } else {
        s.Areas[i].reset();
    }
}

} // namespace

bool KeptByTrace(const TAreaState& s, const TArea& a) {
    TTracer t(s, a);
    const int32_t start = t.at;
    int points = 0, lastX = -1, lastY = -1;
    for (int32_t step = 0; step < MaxTraceSteps; ++step) {
        const int px = int(t.fx), py = int(t.fy);
        if (points == 0 || px != lastX || py != lastY) {
            if (++points == 3) return true;
            lastX = px;
            lastY = py;
        }
        t.Step();
        if (t.at == start) break;
    }
    return false;
}

void TraceArea(const TAreaState& s, TArea& a, TOutlineScratch& scratch) {
    const int cx = a.meanX, cy = a.meanY;
    TTracer t(s, a);
    const int32_t start = t.at;

    // The walk records a point whenever the smoothed point enters another
    // pixel, with the shade of the ramp and the tracer pixel at that step.
    // Every step writes its candidate into the next free slot and only a new
    // pixel advances past it: no branch on the smoothed point, which turns
    // unpredictably. The scratch grows ahead of the walk.
    // The slots are written through pointers held here, which the byte
    // stores cannot be taken to change, and renewed only when it grows.
    size_t n = 0, room = scratch.Points.size();
    TContourPt *points = scratch.Points.data(), *at = scratch.At.data();
    uint8_t* shades = scratch.Shades.data();
    int lastX = -1, lastY = -1; // no point yet
    int ramp = 140;
    for (int32_t step = 0; step < MaxTraceSteps; ++step) {
        if (n >= room) {
            room = std::max<size_t>(1024, 2 * n);
            scratch.Points.resize(room);
            scratch.Shades.resize(room);
            scratch.At.resize(room);
            points = scratch.Points.data();
            shades = scratch.Shades.data();
            at = scratch.At.data();
        }
        const int px = int(t.fx), py = int(t.fy);
        points[n] = {uint8_t(px), uint8_t(py)};
        shades[n] = uint8_t(ramp);
        at[n] = {uint8_t(t.x()), uint8_t(t.y())};
        n += size_t(px != lastX || py != lastY);
        lastX = px;
        lastY = py;
        t.Step();
        if (++ramp > 220) ramp = 140;
        if (t.at == start) break;
    }
    scratch.Count = n;

    // Distances are measured from the tracer pixel, not the smoothed one, and
    // summed in the order of the points.
    float sectorSums[8] = {};
    float radiusSum = 0;
    for (size_t j = 0; j < n; ++j) {
        const int x = at[j].x, y = at[j].y;
        const int k = Sector(x, y, cx, cy);
        const double dx = double(x - cx), dy = double(y - cy);
        const float d = float(std::sqrt(dx * dx + dy * dy));
        sectorSums[k] = float(double(sectorSums[k]) + double(d));
        radiusSum = float(double(radiusSum) + std::trunc(double(d)));
    }

    a.contour.assign(points, points + n);
    a.contourHigh = int32_t(n) - 1;

    // Each sector's share of the summed distance; with no whole-number
    // distance at all there is nothing to share out.
    for (int k = 0; k < 8; ++k) {
        if (radiusSum == 0) {
            a.shape[k] = 0;
            continue;
        }
        const int share = int(double(sectorSums[k]) / double(radiusSum) * 255.0);
        assert(share >= -2048 && share <= 2048);
        a.shape[k] = ClampTab[share];
    }
    a.radiusSum = radiusSum;
}

void MeasureArea(TAreaState& s, TPartitionTree& tree, TBitmap& view, int32_t i) {
    TraceArea(s, *s.Areas[i], s.Outline);
    DrawAndKeepArea(s, tree, view, i, s.Outline);
}
