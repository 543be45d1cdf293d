// The state of the area analysis of one picture: the working plane, the
// label map, the fill threshold and label, the records of one pass with their
// runs and outlines, the region fill's lists, the level scores, and the
// scratch of the pass, the contour step and the probe.
//
// A TAreaState is a plain struct owned by the caller (the session); the
// steps (fill.h, area_pass.h, contour.h, probe.h) take it explicitly, so two
// analyses never share anything.
#pragma once

#include "../tree/line_seg.h"
#include "seed_order.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TContourPt {
    uint8_t x;
    uint8_t y;
};

// What tracing an outline needs beside the record: for each of its Count
// points, the point, the shade it is drawn in (the tracer's colour ramp at
// the step that found it) and the tracer pixel of that step. The vectors are
// longer than Count: the trace writes one slot ahead.
struct TOutlineScratch {
    std::vector<TContourPt> Points;
    std::vector<uint8_t> Shades;
    std::vector<TContourPt> At;
    size_t Count = 0;
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
constexpr int32_t StackSize = 16380;    // highest index of the segment list
constexpr int32_t RejectedHigh = 10000; // highest index of RejectedAreas

// The region fill's segment list.
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

// What the probe found for one area: its differences to the picked one.
struct TLikeness {
    float plain;      // plain difference, 100000 for the picked area
    float mirrorBest; // smallest mirrored and turned difference
};

// What the last probe that drew picked: the record's index (-1 when no probe
// has drawn over the current records) and the smallest and largest
// differences that scaled its colours. With Likeness it tells what colour,
// and so what likeness, every record was drawn in.
struct TProbePick {
    int32_t Index = -1;
    float Lo = 0;
    float Hi = 0;
};

struct TAreaState {
    alignas(64) uint8_t WorkPlane[256][256] = {};
    alignas(64) int32_t LabelMap[256][256] = {};
    uint8_t Level = 0;
    int32_t CurLabel = 0;

    // Records of the last pass: entries 0 to AreaCount, null where released;
    // every entry past AreaCount + 1 is null too.
    std::unique_ptr<TArea> Areas[MaxAreaIndex + 1];
    int32_t AreaCount = -1; // -1 before any pass and after a pass that kept none

    // Score of the pass per threshold, kept for the window and its scan.
    double LevelScores[256] = {};

    // True while a pass is rebuilding the records: the probe must not read
    // them (a message box of the pass lets the pointer move meanwhile).
    bool PassRunning = false;

    // The region fill.
    TLines Lines;
    int32_t AreaPixels = 0;
    double SizeSum = 0;
    double SizeMax = 0;
    TRejectedArea RejectedAreas[RejectedHigh + 1];
    int32_t RejectedLast = -1;
    int OverflowWarnings = 0; // segment-list warnings given since the state was made

    // Nine diagnostic counters, listed and reset by the plane view; the pass
    // counts the positions it files into its value buckets in counter 1.
    int64_t OpCounters[9] = {};

    // Scratch of the pass (its working plane in seed order), of the contour
    // step (one outline) and of the probe (one entry per record).
    TSeedOrder Order;
    TOutlineScratch Outline;
    TLikeness Likeness[MaxAreaIndex + 1];
    TProbePick ProbePick;

    TAreaState() = default;
    TAreaState(const TAreaState&) = delete;
    TAreaState& operator=(const TAreaState&) = delete;
};
