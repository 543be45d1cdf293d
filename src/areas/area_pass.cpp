// The area analysis pass.
//
// Reads: planes aNo1 and aV, or with options.ByPlane the plane it names (or
// an order already built from them).
// Writes: WorkPlane, LabelMap, Level, CurLabel, Areas and AreaCount (through
// the fill and the contour step), plane aGr (the working plane before its
// frame), plane aArH (the label view), counter 1 of OpCounters, `view`,
// LevelScores[threshold] for a given threshold; tells the observer.
// Leaves for the next step: the kept records of this pass in Areas[0] to
// Areas[AreaCount] (null where released), entered into the partition tree;
// the probe reads them until the next pass starts.
#include "area_pass.h"

#include "../image/planes_simd.h"
#include "contour.h"
#include "grow_areas.h"

#include <cassert>
#include <cstring>

namespace {

constexpr TRGB White{255, 255, 255};
constexpr TRGB Red{255, 0, 0};
constexpr TRGB Blue{0, 0, 255};

// Clears PassRunning however the pass ends.
struct TPassGuard {
    TAreaState& s;
    explicit TPassGuard(TAreaState& state) : s(state) { s.PassRunning = true; }
    ~TPassGuard() { s.PassRunning = false; }
};

// The records of the previous pass are dropped from the tree's lists and
// freed, so memory stays flat however many passes run.
void ReleasePreviousAreas(TAreaState& s, TPartitionTree& tree) {
    ClearPartLists(tree);
    ReleaseRecords(s);
}

} // namespace

uint8_t ChooseLevel(const TSeedOrder& order, TPassObserver& observer) {
    int32_t hist[256];
    std::memcpy(hist, order.Count, sizeof hist);
    for (int i = 254; i >= 0; --i) {
        if (hist[i] < hist[i + 1]) hist[i] = hist[i + 1];
        observer.HistogramDot(i, 230 - hist[i] / 128, White);
    }
    for (int i = 0; i <= 254; ++i) hist[i] -= hist[i + 1];

    int32_t best = 0;
    uint8_t level = 0;
    for (int i = 1; i <= 254; ++i) {
        const int32_t score = hist[i] * i;
        if (score > best) {
            best = score;
            level = uint8_t(i);
        }
        observer.HistogramDot(i, 230 - score / 400, Red);
    }
    return level;
}

namespace {

// 0 where no area lies, else the label's last two digits plus 20.
TESSA_CLONES void WriteLabelView(const int32_t (&__restrict labels)[256][256],
                                 uint8_t (&__restrict view)[256][256]) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int32_t label = labels[y][x];
            view[y][x] = label == 0 ? 0 : uint8_t(label % 100 + 20);
        }
}

} // namespace

TPassResult FindAreas(TAreaState& s, TPartitionTree& tree, TPlanes& planes, TBitmap& view,
                      const TPassOptions& options, TPassObserver& observer) {
    PrepareSeedOrder(planes, options, s.Order);
    return FindAreas(s, tree, planes, view, s.Order, options, observer);
}

TPassResult FindAreas(TAreaState& s, TPartitionTree& tree, TPlanes& planes, TBitmap& view,
                      const TSeedOrder& order, const TPassOptions& options,
                      TPassObserver& observer) {
    const int32_t level = options.Threshold;
    assert(level >= -1 && level <= 255);
    TPassGuard running(s);

    ReleasePreviousAreas(s, tree);
    StartPass(s, order);
    std::memcpy(planes[aGr], order.Plane, sizeof(TPlane));
    s.OpCounters[1] += order.Filed;
    s.Level = ChooseLevel(order, observer);
    if (level >= 0) s.Level = uint8_t(level);
    TPassResult result;
    result.Threshold = s.Level;
    result.Plane =
        options.ByPlane && options.Plane >= 0 && options.Plane < PlaneCount ? options.Plane : -1;
    observer.HistogramDot(s.Level, 128, Blue);
    observer.ThresholdChosen(s.Level);

    GrowAreas(s, order, observer, options.PaintSteps);
    WriteLabelView(s.LabelMap, planes[aArH]);

    FillBitmap(view, options.Ground);
    for (int32_t i = 0; i <= s.AreaCount; ++i) MeasureArea(s, tree, view, i);
    observer.AreasDrawn(view);
    const double score = s.SizeSum - s.SizeMax;
    if (level >= 0 && level <= 255) s.LevelScores[level] = score;

    result.RaisedLevel = s.Level;
    result.RejectedLast = s.RejectedLast;
    result.AreaCount = s.AreaCount;
    for (int32_t i = 0; i <= s.AreaCount; ++i) result.KeptAreas += s.Areas[i] != nullptr;
    result.Score = score;
    observer.PassFinished(result);
    return result;
}
