// The area analysis pass.
//
// Reads: planes aNo1 and aV, or with ByPriznak the plane selected in the plane
// list; the window's controls through WindowSeam.
// Writes: WorkPlane, LabelMap, Level, CurLabel, Areas and AreaCount (through
// the fill and the contour step), plane aGr (the working plane before its
// frame), plane aArH (the label view), counter 1 of OpCounters, ViewBitmap,
// LevelScores[level] for level >= 0; dots, ScrollBar2 and Label1 through
// WindowSeam.
// Leaves for the next step: the kept records of this pass in Areas[0] to
// Areas[AreaCount] (null where released), entered into the partition tree;
// the probe reads them until the next pass starts.
#include "area_pass.h"

#include "../image/plane_store.h"
#include "../image/window_seam.h"
#include "../tree/partition_tree.h"
#include "area_tables.h"
#include "contour.h"
#include "fill.h"

#include <cassert>
#include <cstring>
#include <string>

namespace {

// One block of a value bucket: positions in the order they were filed.
struct TPosBlock {
    int32_t pos[257][2]; // (column, row)
    int32_t last;        // index of the last position in use, -1 when new
    TPosBlock* next;
};

constexpr int32_t BlockHigh = 256; // index of a block's last position

int32_t LevelHist[256];
TPosBlock* BucketFirst[256];
TPosBlock* BucketLast[256];

constexpr TRGB White{255, 255, 255};
constexpr TRGB Red{255, 0, 0};
constexpr TRGB Blue{0, 0, 255};

// Clears PassRunning however the pass ends.
struct TPassGuard {
    TPassGuard() { PassRunning = true; }
    ~TPassGuard() { PassRunning = false; }
};

// Releases the blocks of every bucket, also if the pass is left early.
void ReleaseBuckets() {
    for (int v = 0; v < 256; ++v) {
        for (TPosBlock* b = BucketFirst[v]; b;) {
            TPosBlock* next = b->next;
            delete b;
            b = next;
        }
        BucketFirst[v] = BucketLast[v] = nullptr;
    }
}

struct TBucketGuard {
    ~TBucketGuard() { ReleaseBuckets(); }
};

// The records of the previous pass are dropped from the tree's lists and
// freed, so memory stays flat however many passes run.
void ReleasePreviousAreas() {
    ClearPartLists();
    for (auto& area : Areas) area.reset();
    AreaCount = -1;
}

void BuildWorkPlane() {
    const bool byPlane = WindowSeam.ByPriznakChecked();
    const int p = WindowSeam.SelectedPlane();
    if (byPlane && p >= 0 && p < PlaneCount) {
        std::memcpy(WorkPlane, Plane(p), sizeof WorkPlane);
    } else {
        // Also used when no plane is selected: the brightness/noise mix.
        const TPlane& v = Plane(aV);
        const TPlane& no = Plane(aNo1);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                WorkPlane[y][x] = ClampTab[(7 * int32_t(v[y][x]) - int32_t(no[y][x])) / 8];
    }
    std::memcpy(Plane(aGr), WorkPlane, sizeof WorkPlane);
}

void FileIntoBuckets() {
    for (int32_t y = 1; y < 255; ++y)
        for (int32_t x = 1; x < 255; ++x) {
            const int v = WorkPlane[y][x];
            if (v == 255) continue;
            TPosBlock* b = BucketLast[v];
            if (!b || b->last == BlockHigh) {
                TPosBlock* fresh = new TPosBlock;
                fresh->last = -1;
                fresh->next = nullptr;
                if (b)
                    b->next = fresh;
                else
                    BucketFirst[v] = fresh;
                BucketLast[v] = b = fresh;
            }
            ++b->last;
            b->pos[b->last][0] = x;
            b->pos[b->last][1] = y;
            ++OpCounters[1];
            ++LevelHist[v];
        }
}

// The histogram's envelope from the top value down, then its drops; the
// automatic threshold is the value whose drop times value is highest.
void ChooseLevel() {
    for (int i = 254; i >= 0; --i) {
        if (LevelHist[i] < LevelHist[i + 1]) LevelHist[i] = LevelHist[i + 1];
        WindowSeam.PlotDot(i, 230 - LevelHist[i] / 128, White);
    }
    for (int i = 0; i <= 254; ++i) LevelHist[i] -= LevelHist[i + 1];

    int32_t best = 0;
    Level = 0;
    for (int i = 1; i <= 254; ++i) {
        const int32_t s = LevelHist[i] * i;
        if (s > best) {
            best = s;
            Level = uint8_t(i);
        }
        WindowSeam.PlotDot(i, 230 - s / 400, Red);
    }
}

void SetFrame() {
    std::memset(WorkPlane[0], 255, 256);
    std::memset(WorkPlane[255], 255, 256);
    for (int y = 1; y < 255; ++y) WorkPlane[y][0] = WorkPlane[y][255] = 255;
}

// Seeds in order of rising value, each value's positions in filing order.
void GrowAreas() {
    for (int v = 1; v <= 254; ++v)
        for (const TPosBlock* b = BucketFirst[v]; b; b = b->next)
            for (int32_t j = 0; j <= b->last; ++j) {
                const int32_t x = b->pos[j][0], y = b->pos[j][1];
                if (LabelMap[y][x] != 0) continue;
                // At most one raise per position: a position well above
                // Level may still be passed over.
                if (v > int32_t(Level) - 2) {
                    Level = uint8_t((int32_t(Level) + 255) / 2);
                    if (Level < 255) WindowSeam.PlotDot(Level, 128, Blue);
                }
                if (WorkPlane[y][x] >= Level) continue;

                CurLabel += 17;
                Areas[AreaCount]->minX = 255;
                const bool candidate = FillArea(x, y, 0);
                if (!candidate || AreaPixels <= 1) continue;
                Areas[AreaCount]->runs.assign(Lines.e, Lines.e + Lines.s + 1);
                // Past the cap the next fill writes into the same record.
                if (AreaCount < MaxAreaIndex) Areas[++AreaCount] = std::make_unique<TArea>();
            }
}

void WriteLabelView() {
    TPlane& view = Plane(aArH);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int32_t label = LabelMap[y][x];
            view[y][x] = label == 0 ? 0 : uint8_t(label % 100 + 20);
        }
}

} // namespace

void FindAreas(int32_t level) {
    assert(level >= -1 && level <= 255);
    TPassGuard running;
    TBucketGuard buckets;

    ReleasePreviousAreas();
    SizeSum = 0;
    SizeMax = 0;
    AreaCount = 0;
    Areas[0] = std::make_unique<TArea>();
    std::memset(LevelHist, 0, sizeof LevelHist);
    std::memset(LabelMap, 0, sizeof LabelMap);

    BuildWorkPlane();
    FileIntoBuckets();
    ChooseLevel();
    if (level >= 0) Level = uint8_t(level);
    WindowSeam.PlotDot(Level, 128, Blue);
    WindowSeam.SetScrollBar2Detached(Level);
    SetFrame();

    RejectedLast = -1;
    CurLabel = 3;
    GrowAreas();

    // The spare record is not part of the result.
    Areas[AreaCount].reset();
    --AreaCount;
    WindowSeam.SetLabel1Caption(std::to_string(RejectedLast));
    WriteLabelView();
    ReleaseBuckets();

    FillBitmap(ViewBitmap, WindowSeam.ButtonFace());
    for (int32_t i = 0; i <= AreaCount; ++i) MeasureArea(i);
    WindowSeam.CopyViewToPaintBox2();
    if (level >= 0 && level <= 255) LevelScores[level] = SizeSum - SizeMax;
}
