// The fixture of the area tests and benchmarks: a session of its own, a pass
// observer that records what the pass tells (and carries the choices a window
// would put in the options), and the area state under the names the steps
// use, so that a test reads as the rules read.
#pragma once

#include "areas/area_pass.h"
#include "areas/area_tables.h"
#include "areas/contour.h"
#include "areas/fill.h"
#include "areas/probe.h"
#include "session/session.h"

#include "support/reference_pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace area_test {

struct TDot {
    int x, y;
    TRGB c;
};

// Records what the pass tells; byPlane, selected and paintSteps are what the
// window's check boxes and plane list would put into the options.
struct TPassRecorder : TPassObserver {
    bool byPlane = false;
    int selected = 3;
    bool paintSteps = false;
    std::vector<TDot> dots;
    std::vector<TDot> steps;
    int scrollBar2 = -1;
    int scrollBar2Sets = 0;
    std::string label1 = "Label1";
    int warnings = 0;
    int copies = 0;

    TPassOptions Options(int32_t level) const {
        TPassOptions o;
        o.Threshold = level;
        o.ByPlane = byPlane;
        o.Plane = selected;
        o.PaintSteps = paintSteps;
        o.Ground = {239, 239, 239};
        return o;
    }
    void ThresholdChosen(int32_t t) override {
        scrollBar2 = t;
        ++scrollBar2Sets;
    }
    void HistogramDot(int x, int y, TRGB c) override { dots.push_back({x, y, c}); }
    void FillStepTaken(int x, int y, TRGB c) override { steps.push_back({x, y, c}); }
    void SegmentListNearlyFull() override { ++warnings; }
    void AreasDrawn(const TBitmap&) override { ++copies; }
    void PassFinished(const TPassResult& r) override { label1 = std::to_string(r.RejectedLast); }
};

// The session and its parts under the names the steps use.
struct TAreaSession {
    std::unique_ptr<TSession> session = NewSession();
    TSession& S = *session;
    TAreaState& A = S.Areas;
    TPartitionTree& Tree = S.Tree;
    TBitmap& ViewBitmap = S.View;
    TPassRecorder seam;

    uint8_t (&WorkPlane)[256][256] = A.WorkPlane;
    int32_t (&LabelMap)[256][256] = A.LabelMap;
    uint8_t& Level = A.Level;
    int32_t& CurLabel = A.CurLabel;
    std::unique_ptr<TArea> (&Areas)[MaxAreaIndex + 1] = A.Areas;
    int32_t& AreaCount = A.AreaCount;
    double (&LevelScores)[256] = A.LevelScores;
    bool& PassRunning = A.PassRunning;
    TLines& Lines = A.Lines;
    int32_t& AreaPixels = A.AreaPixels;
    double& SizeSum = A.SizeSum;
    double& SizeMax = A.SizeMax;
    TRejectedArea (&RejectedAreas)[RejectedHigh + 1] = A.RejectedAreas;
    int32_t& RejectedLast = A.RejectedLast;
    int64_t (&OpCounters)[9] = A.OpCounters;

    TPlane& Plane(int p) { return S.Planes[p]; }
    void LoadPlanes(const std::string& dump) { planes_test::LoadReferencePlanes(S.Planes, dump); }

    // The steps, as the window runs them with the recorder's choices.
    TPassResult FindAreas(int32_t level) { return ::FindAreas(S, seam.Options(level), seam); }
    bool FillArea(int32_t x, int32_t y, int32_t key) {
        return ::FillArea(A, x, y, key, seam, seam.paintSteps);
    }
    void MeasureArea(int32_t i) { ::MeasureArea(A, Tree, ViewBitmap, i); }
    bool ProbeArea(int32_t x, int32_t y) { return ::ProbeArea(A, ViewBitmap, x, y); }

    // A working plane where nothing is joinable (255 everywhere, the frame
    // included), an empty label map and one fresh record for the fill.
    void PrepareFill(uint8_t level = 100, int32_t label = 20) {
        ResetTree(Tree);
        for (auto& a : Areas) a.reset();
        std::memset(WorkPlane, 255, sizeof WorkPlane);
        std::memset(LabelMap, 0, sizeof LabelMap);
        Level = level;
        CurLabel = label;
        AreaCount = 0;
        Areas[0] = std::make_unique<TArea>();
        Areas[0]->minX = 255;
        RejectedLast = -1;
        SizeSum = 0;
        SizeMax = 0;
    }

    // Sets the rectangle [x0, x1] x [y0, y1] of WorkPlane to v.
    void FillRect(int x0, int y0, int x1, int y1, uint8_t v) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) WorkPlane[y][x] = v;
    }

    // Number of interior pixels that carry `label` in LabelMap.
    int CountLabel(int32_t label) const {
        int n = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) n += LabelMap[y][x] == label;
        return n;
    }
};

struct TAreaFixture : ::testing::Test, TAreaSession {};

} // namespace area_test
