// The plain twin of the region fill: the segment list worked one pixel at a
// time, each pixel tested, taken and summed on its own, every stretch above
// and below entered as the scan meets it.
#pragma once

#include "areas/area_tables.h"
#include "areas/pass_observer.h"

#include <cmath>
#include <cstdint>

namespace plain_fill {

constexpr int32_t LargestArea = 21675;
constexpr int32_t SmallestArea = 3;

inline TRGB StepColour(int32_t label) {
    const uint32_t v = uint32_t(label) * 65793u;
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
}

inline bool FillArea(TAreaState& st, int32_t x0, int32_t y0, int32_t key, TPassObserver& observer,
                     bool paint) {
    auto& WorkPlane = st.WorkPlane;
    auto& LabelMap = st.LabelMap;
    TLines& Lines = st.Lines;

    TArea& area = *st.Areas[st.AreaCount];
    const uint8_t level = st.Level;
    const int32_t label = st.CurLabel;
    const auto joinable = [&](int32_t x, int32_t y) {
        return WorkPlane[y][x] < level && LabelMap[y][x] == key;
    };

    int32_t pixels = 0, sumX = 0, sumY = 0, neighbour = 0, read = 0;
    Lines.s = 0;
    Lines.e[0] = {uint8_t(x0), uint8_t(y0), 0};
    const TRGB colour = StepColour(label);
    bool warned = false;

    while (read < StackSize && Lines.s < StackSize && read <= Lines.s) {
        TLineSeg& seg = Lines.e[read];
        int32_t k = seg.x;
        const int32_t r = seg.y;
        while (joinable(k - 1, r)) --k;
        if (k < area.minX) {
            area.minX = uint16_t(k);
            area.minXRow = uint16_t(r);
            area.label = label;
        }
        // The neighbour is looked for only here, at the left end of a run.
        if (neighbour == 0 && LabelMap[r][k - 1] > 0) neighbour = LabelMap[r][k - 1];
        seg.x = uint8_t(k);

        bool above = false, below = false;
        while (joinable(k, r)) {
            // One warning per fill is enough: the list is about to run out.
            if (Lines.s > StackSize - 2 && !warned) {
                warned = true;
                ++st.OverflowWarnings;
                observer.SegmentListNearlyFull();
            }
            LabelMap[r][k] = label;
            WorkPlane[r][k] = level;
            ++pixels;
            sumX += k;
            sumY += r;
            if (paint) observer.FillStepTaken(k, r, colour);

            // A stretch above or below is entered once, at its leftmost pixel
            // within this run; entries start with len 0 so that any left
            // unworked after an overflow describe no pixels.
            if (joinable(k, r - 1) && Lines.s < StackSize) {
                if (!above) Lines.e[++Lines.s] = {uint8_t(k), uint8_t(r - 1), 0};
                above = true;
            } else {
                above = false;
            }
            if (joinable(k, r + 1) && Lines.s < StackSize) {
                if (!below) Lines.e[++Lines.s] = {uint8_t(k), uint8_t(r + 1), 0};
                below = true;
            } else {
                below = false;
            }
            ++k;
        }
        seg.len = uint8_t(k - seg.x);
        ++read;
    }

    if (pixels > 0) {
        sumX /= pixels;
        sumY /= pixels;
    }
    area.meanX = uint16_t(sumX);
    area.meanY = uint16_t(sumY);

    const double size = (double(pixels) / 10.0) * double(pixels);
    st.SizeSum += size;
    if (size > st.SizeMax) st.SizeMax = size;

    bool result;
    if (pixels == 1) {
        // A lone pixel joins the area at its left, or goes back to none.
        LabelMap[y0][x0] = neighbour;
        result = false;
    } else if (key == 0 && pixels > 0 && (pixels > LargestArea || pixels < SmallestArea) &&
               st.RejectedLast < RejectedHigh) {
        st.RejectedAreas[++st.RejectedLast] = {x0, y0, label, neighbour};
        result = false;
    } else {
        result = true;
    }

    st.AreaPixels = int32_t(std::sqrt(double(pixels))) / 2;
    return result;
}

} // namespace plain_fill
