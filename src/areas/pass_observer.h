// What the area pass is told before it runs (TPassOptions), what it tells
// while it runs (TPassObserver), and what it hands back (TPassResult).
//
// The pass never reads a control and never knows a window: whoever runs it
// puts the user's choices into the options and implements the observer (the
// window maps each event to its controls; tests and tools record them).
#pragma once

#include "../image/bitmap.h"

#include <cstdint>

struct TPassOptions {
    int32_t Threshold = -1;     // 0..255, or -1: the pass chooses it from the histogram
    bool ByPlane = false;       // analyse plane `Plane` instead of the brightness/noise mix
    int32_t Plane = 3;          // the plane analysed by plane; outside 0..19 the mix is used
    bool PaintSteps = false;    // report every pixel the fill takes, in filling order
    TRGB Ground{239, 239, 239}; // the colour the pass fills its drawing with first
};

struct TPassResult {
    int32_t Threshold = 0;     // the threshold used: chosen, or the one given
    int32_t Plane = -1;        // the plane analysed, -1 for the brightness/noise mix
    int32_t RaisedLevel = 0;   // the fill threshold as the pass left it after raising it
    int32_t RejectedLast = -1; // index of the last fill rejected as too small or too large
    int32_t AreaCount = -1;    // index of the last record (released ones included)
    int32_t KeptAreas = 0;     // records kept (not released)
    double Score = 0;          // size sum less the largest size; stored only for a given threshold
};

class TPassObserver {
  public:
    virtual ~TPassObserver() = default;
    // The pass settled on its threshold (before growing any area).
    virtual void ThresholdChosen(int32_t /*threshold*/) {}
    // A dot of the histogram drawing: its envelope (white), its drops (red)
    // and each raise of the fill threshold (blue), on the area view.
    virtual void HistogramDot(int /*x*/, int /*y*/, TRGB /*colour*/) {}
    // The fill took pixel (x, y); only with PaintSteps. The colour is the
    // grey of the area's label.
    virtual void FillStepTaken(int /*x*/, int /*y*/, TRGB /*colour*/) {}
    // The fill's segment list is nearly full (once per fill): the area is
    // measured as far as it was grown.
    virtual void SegmentListNearlyFull() {}
    // The outlines and profile stars of the kept areas are drawn in `view`.
    virtual void AreasDrawn(const TBitmap& /*view*/) {}
    // The pass is over; its records, planes 3 and 13 and the scores stand.
    virtual void PassFinished(const TPassResult& /*result*/) {}
};
