// Line-stack region fill: grows one area from a seed over WorkPlane.
#pragma once

#include "area_tables.h"

#include <cstdint>

constexpr int32_t StackSize = 16380; // highest index of the segment list

struct TLines {
    int32_t s; // index of the last entry in use
    TLineSeg e[StackSize + 1];
};

struct TRejectedArea {
    int32_t x;
    int32_t y;
    int32_t label;
    int32_t neighbour;
};

extern TLines Lines;
extern int32_t AreaPixels;
extern double SizeSum;
extern double SizeMax;
extern TRejectedArea RejectedAreas[10001];
extern int32_t RejectedLast;

// Fills from (x0, y0) over pixels below Level whose LabelMap entry is `key`,
// into Areas[AreaCount]; true when the fill is a candidate area.
bool FillArea(int32_t x0, int32_t y0, int32_t key);
