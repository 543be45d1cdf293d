#include "grow_areas.h"

#include "fill.h"

#include <cstring>

namespace {

constexpr TRGB Blue{0, 0, 255};

// The frame of 255 values that stops every scan of the fill.
void SetFrame(uint8_t (&plane)[256][256]) {
    std::memset(plane[0], 255, 256);
    std::memset(plane[255], 255, 256);
    for (int y = 1; y < 255; ++y) plane[y][0] = plane[y][255] = 255;
}

} // namespace

void ReleaseRecords(TAreaState& s) {
    const int32_t high = s.AreaCount + 1 < MaxAreaIndex ? s.AreaCount + 1 : MaxAreaIndex;
    for (int32_t i = 0; i <= high; ++i) s.Areas[i].reset();
    s.AreaCount = -1;
}

void StartPass(TAreaState& s, const TSeedOrder& order) {
    s.SizeSum = 0;
    s.SizeMax = 0;
    s.AreaCount = 0;
    s.Areas[0] = std::make_unique<TArea>();
    std::memset(s.LabelMap, 0, sizeof s.LabelMap);
    std::memcpy(s.WorkPlane, order.Plane, sizeof s.WorkPlane);
}

void GrowAreas(TAreaState& s, const TSeedOrder& order, TPassObserver& observer, bool paintSteps) {
    SetFrame(s.WorkPlane);
    s.RejectedLast = -1;
    s.CurLabel = 3;
    // Seeds in order of rising value, each value's positions in row order;
    // value 0 is never visited.
    for (int v = 1; v <= 254; ++v)
        for (int32_t j = order.First[v]; j < order.First[v + 1]; ++j) {
            const int32_t x = order.Positions[j] & 255, y = order.Positions[j] >> 8;
            if (s.LabelMap[y][x] != 0) continue;
            // At most one raise per position: a position well above Level
            // may still be passed over.
            if (v > int32_t(s.Level) - 2) {
                s.Level = uint8_t((int32_t(s.Level) + 255) / 2);
                if (s.Level < 255) observer.HistogramDot(s.Level, 128, Blue);
            }
            if (s.WorkPlane[y][x] >= s.Level) continue;

            s.CurLabel += 17;
            s.Areas[s.AreaCount]->minX = 255;
            const bool candidate = FillArea(s, x, y, 0, observer, paintSteps);
            if (!candidate || s.AreaPixels <= 1) continue;
            s.Areas[s.AreaCount]->runs.assign(s.Lines.e, s.Lines.e + s.Lines.s + 1);
            // Past the cap the next fill writes into the same record.
            if (s.AreaCount < MaxAreaIndex) s.Areas[++s.AreaCount] = std::make_unique<TArea>();
        }
    // The spare record is not part of the result.
    s.Areas[s.AreaCount].reset();
    --s.AreaCount;
}
