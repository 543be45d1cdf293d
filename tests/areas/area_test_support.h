// Helpers of the area tests: a recording window seam, clean tables, small
// working planes, and readers for the gzip'd reference dumps.
#pragma once

#include "areas/area_tables.h"
#include "areas/fill.h"
#include "image/plane_store.h"
#include "image/window_seam.h"
#include "tree/partition_tree.h"

#include "support/gz.h"

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

// Installs itself as the window: records what the analysis shows and reads.
struct TSeamRecorder {
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

    TSeamRecorder() {
        WindowSeam = TWindowSeam{};
        WindowSeam.ByPriznakChecked = [this] { return byPlane; };
        WindowSeam.SelectedPlane = [this] { return selected; };
        WindowSeam.PaintStepsChecked = [this] { return paintSteps; };
        WindowSeam.PlotDot = [this](int x, int y, TRGB c) { dots.push_back({x, y, c}); };
        WindowSeam.PaintFillStep = [this](int x, int y, TRGB c) { steps.push_back({x, y, c}); };
        WindowSeam.CopyViewToPaintBox2 = [this] { ++copies; };
        WindowSeam.SetScrollBar2Detached = [this](int v) {
            scrollBar2 = v;
            ++scrollBar2Sets;
        };
        WindowSeam.SetLabel1Caption = [this](const std::string& s) { label1 = s; };
        WindowSeam.ShowLinesWarning = [this] { ++warnings; };
        WindowSeam.ButtonFace = [] { return TRGB{239, 239, 239}; };
    }
    ~TSeamRecorder() { WindowSeam = TWindowSeam{}; }
    TSeamRecorder(const TSeamRecorder&) = delete;
    TSeamRecorder& operator=(const TSeamRecorder&) = delete;
};

// The lookup tables, the view bitmap and the tree exist once per process.
inline void StartOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    BuildPartitionTree();
    InitPlaneStore();
}

// Empties the tree's lists and labels and frees the records.
inline void ResetTreeAndAreas() {
    StartOnce();
    ClearPartLists();
    for (TPartNode* n : PartNodes) n->label = 0;
    for (auto& a : Areas) a.reset();
    AreaCount = -1;
}

// A working plane where nothing is joinable (255 everywhere, the frame
// included), an empty label map and one fresh record for the fill.
inline void PrepareFill(uint8_t level = 100, int32_t label = 20) {
    ResetTreeAndAreas();
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
inline void FillRect(int x0, int y0, int x1, int y1, uint8_t v) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) WorkPlane[y][x] = v;
}

// Number of interior pixels that carry `label` in LabelMap.
inline int CountLabel(int32_t label) {
    int n = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) n += LabelMap[y][x] == label;
    return n;
}

// Loads the 20 planes of a reference dump into FeaturePlanes level 0.
inline void LoadPlanes(const std::string& dump) {
    const std::vector<uint8_t> data = ReadGz(ReferenceDir() + "/" + dump + "/planes.bin.gz");
    if (data.size() != size_t(PlaneCount) * 256 * 256)
        throw std::runtime_error("planes.bin of " + dump + " has the wrong size");
    std::memcpy(FeaturePlanes[0], data.data(), data.size());
}

} // namespace area_test
