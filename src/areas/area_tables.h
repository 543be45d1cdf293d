// The tables shared by the region fill, the area pass, the contour step and
// the area probe: the working plane, the label map, the fill threshold and
// label, and the records of one pass.
#pragma once

#include "../tree/line_seg.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TContourPt {
    uint8_t x;
    uint8_t y;
};

struct TArea {
    uint16_t meanX = 0;
    uint16_t meanY = 0;
    uint16_t minX = 255;
    uint16_t minXRow = 0;
    int32_t label = 0;
    std::vector<TContourPt> contour; // points 0 to contourHigh
    int32_t contourHigh = -1;
    std::vector<TLineSeg> runs; // entries 0 to s = runs.size() - 1
    uint8_t shape[8] = {};
    float radiusSum = 0;
};

constexpr int32_t MaxAreaIndex = 16000;

extern uint8_t WorkPlane[256][256];
extern int32_t LabelMap[256][256];
extern uint8_t Level;
extern int32_t CurLabel;

// Records of the last pass: entries 0 to AreaCount, null where released.
extern std::unique_ptr<TArea> Areas[MaxAreaIndex + 1];
extern int32_t AreaCount; // -1 before any pass and after a pass that kept none

// Score of the pass per threshold, kept for the window and its threshold scan.
extern double LevelScores[256];

// True while a pass is rebuilding the records: the probe must not read them.
extern bool PassRunning;
