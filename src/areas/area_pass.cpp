// The area analysis pass.
//
// Reads: planes aNo1 and aV, or with options.ByPlane the plane it names.
// Writes: WorkPlane, LabelMap, Level, CurLabel, Areas and AreaCount (through
// the fill and the contour step), plane aGr (the working plane before its
// frame), plane aArH (the label view), counter 1 of OpCounters, `view`,
// LevelScores[threshold] for a given threshold; tells the observer.
// Leaves for the next step: the kept records of this pass in Areas[0] to
// Areas[AreaCount] (null where released), entered into the partition tree;
// the probe reads them until the next pass starts.
#include "area_pass.h"

#include "contour.h"
#include "fill.h"

#include <cassert>
#include <cstring>

struct TPosBlock {
    int32_t pos[257][2]; // (column, row), in the order they were filed
    int32_t last;        // index of the last position in use, -1 when new
    TPosBlock* next;
};

void ReleaseBuckets(TAreaState& s) {
    for (int v = 0; v < 256; ++v) {
        for (TPosBlock* b = s.BucketFirst[v]; b;) {
            TPosBlock* next = b->next;
            delete b;
            b = next;
        }
        s.BucketFirst[v] = s.BucketLast[v] = nullptr;
    }
}

namespace {

constexpr int32_t BlockHigh = 256; // index of a block's last position

constexpr TRGB White{255, 255, 255};
constexpr TRGB Red{255, 0, 0};
constexpr TRGB Blue{0, 0, 255};

// Clears PassRunning and frees the buckets however the pass ends.
struct TPassGuard {
    TAreaState& s;
    explicit TPassGuard(TAreaState& state) : s(state) { s.PassRunning = true; }
    ~TPassGuard() {
        ReleaseBuckets(s);
        s.PassRunning = false;
    }
};

// The records of the previous pass are dropped from the tree's lists and
// freed, so memory stays flat however many passes run.
void ReleasePreviousAreas(TAreaState& s, TPartitionTree& tree) {
    ClearPartLists(tree);
    for (auto& area : s.Areas) area.reset();
    s.AreaCount = -1;
}

void BuildWorkPlane(TAreaState& s, TPlanes& planes, const TPassOptions& o) {
    if (o.ByPlane && o.Plane >= 0 && o.Plane < PlaneCount) {
        std::memcpy(s.WorkPlane, planes[o.Plane], sizeof s.WorkPlane);
    } else {
        // Also used when no plane is selected: the brightness/noise mix.
        const TPlane& v = planes[aV];
        const TPlane& no = planes[aNo1];
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                s.WorkPlane[y][x] = ClampTab[(7 * int32_t(v[y][x]) - int32_t(no[y][x])) / 8];
    }
    std::memcpy(planes[aGr], s.WorkPlane, sizeof s.WorkPlane);
}

void FileIntoBuckets(TAreaState& s) {
    for (int32_t y = 1; y < 255; ++y)
        for (int32_t x = 1; x < 255; ++x) {
            const int v = s.WorkPlane[y][x];
            if (v == 255) continue;
            TPosBlock* b = s.BucketLast[v];
            if (!b || b->last == BlockHigh) {
                TPosBlock* fresh = new TPosBlock;
                fresh->last = -1;
                fresh->next = nullptr;
                if (b)
                    b->next = fresh;
                else
                    s.BucketFirst[v] = fresh;
                s.BucketLast[v] = b = fresh;
            }
            ++b->last;
            b->pos[b->last][0] = x;
            b->pos[b->last][1] = y;
            ++s.OpCounters[1];
            ++s.LevelHist[v];
        }
}

// The histogram's envelope from the top value down, then its drops; the
// automatic threshold is the value whose drop times value is highest.
void ChooseLevel(TAreaState& s, TPassObserver& observer) {
    int32_t* hist = s.LevelHist;
    for (int i = 254; i >= 0; --i) {
        if (hist[i] < hist[i + 1]) hist[i] = hist[i + 1];
        observer.HistogramDot(i, 230 - hist[i] / 128, White);
    }
    for (int i = 0; i <= 254; ++i) hist[i] -= hist[i + 1];

    int32_t best = 0;
    s.Level = 0;
    for (int i = 1; i <= 254; ++i) {
        const int32_t score = hist[i] * i;
        if (score > best) {
            best = score;
            s.Level = uint8_t(i);
        }
        observer.HistogramDot(i, 230 - score / 400, Red);
    }
}

void SetFrame(uint8_t (&plane)[256][256]) {
    std::memset(plane[0], 255, 256);
    std::memset(plane[255], 255, 256);
    for (int y = 1; y < 255; ++y) plane[y][0] = plane[y][255] = 255;
}

// Seeds in order of rising value, each value's positions in filing order.
void GrowAreas(TAreaState& s, TPassObserver& observer, bool paintSteps) {
    for (int v = 1; v <= 254; ++v)
        for (const TPosBlock* b = s.BucketFirst[v]; b; b = b->next)
            for (int32_t j = 0; j <= b->last; ++j) {
                const int32_t x = b->pos[j][0], y = b->pos[j][1];
                if (s.LabelMap[y][x] != 0) continue;
                // At most one raise per position: a position well above
                // Level may still be passed over.
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
}

void WriteLabelView(const TAreaState& s, TPlane& view) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int32_t label = s.LabelMap[y][x];
            view[y][x] = label == 0 ? 0 : uint8_t(label % 100 + 20);
        }
}

} // namespace

TPassResult FindAreas(TAreaState& s, TPartitionTree& tree, TPlanes& planes, TBitmap& view,
                      const TPassOptions& options, TPassObserver& observer) {
    const int32_t level = options.Threshold;
    assert(level >= -1 && level <= 255);
    TPassGuard running(s);

    ReleasePreviousAreas(s, tree);
    s.SizeSum = 0;
    s.SizeMax = 0;
    s.AreaCount = 0;
    s.Areas[0] = std::make_unique<TArea>();
    std::memset(s.LevelHist, 0, sizeof s.LevelHist);
    std::memset(s.LabelMap, 0, sizeof s.LabelMap);

    BuildWorkPlane(s, planes, options);
    FileIntoBuckets(s);
    ChooseLevel(s, observer);
    if (level >= 0) s.Level = uint8_t(level);
    TPassResult result;
    result.Threshold = s.Level;
    result.Plane =
        options.ByPlane && options.Plane >= 0 && options.Plane < PlaneCount ? options.Plane : -1;
    observer.HistogramDot(s.Level, 128, Blue);
    observer.ThresholdChosen(s.Level);
    SetFrame(s.WorkPlane);

    s.RejectedLast = -1;
    s.CurLabel = 3;
    GrowAreas(s, observer, options.PaintSteps);

    // The spare record is not part of the result.
    s.Areas[s.AreaCount].reset();
    --s.AreaCount;
    WriteLabelView(s, planes[aArH]);
    ReleaseBuckets(s);

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
