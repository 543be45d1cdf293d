#include "sweep.h"

#include "areas/area_pass.h"
#include "areas/contour.h"
#include "areas/grow_areas.h"
#include "scan.h"
#include "session.h"

#include <cstring>
#include <memory>

namespace {

// The pass at `threshold` on the scratch context `c`, grown and its kept
// areas told apart as the shown pass tells them, nothing measured or drawn.
void SweepOne(TAreaState& c, const TSeedOrder& order, int32_t threshold, TSweepRow& row) {
    ReleaseRecords(c);
    StartPass(c, order);
    c.Level = uint8_t(threshold);
    TPassObserver unseen;
    GrowAreas(c, order, unseen, false);
    row.Threshold = threshold;
    row.Areas = 0;
    row.AreaPixels = 0;
    for (int32_t i = 0; i <= c.AreaCount; ++i) {
        const TArea& a = *c.Areas[i];
        if (!KeptByTrace(c, a)) continue;
        ++row.Areas;
        for (const TLineSeg& run : a.runs) row.AreaPixels += run.len;
    }
    row.RaisedLevel = c.Level;
    row.RejectedLast = c.RejectedLast;
    row.Score = c.SizeSum - c.SizeMax;
}

// The scan's choice from the sweep's scores, the bar at `position`.
void MarkScanChoice(TSweep& sweep, int32_t position) {
    sweep.Bar = position;
    sweep.ScanChoice.reset();
    sweep.ScanBestScore.reset();
    if (sweep.Plane == aArH) return;
    double scores[256];
    const TScanOutcome scan = ScanThresholds(
        scores, position, [&](int32_t t) { scores[t] = sweep.Rows[size_t(t)].Score; });
    sweep.ScanChoice = scan.Result;
    sweep.ScanBestScore = scan.BestScore;
}

std::unique_ptr<TSeedOrder> OrderOf(const TSession& s, const TPassOptions& options) {
    auto order = std::make_unique<TSeedOrder>();
    PrepareSeedOrder(s.Planes, options, *order);
    return order;
}

TSweep Sweep(TSession& s, const TPassOptions& options, int32_t position, const TSeedOrder& order) {
    TSweep sweep;
    PrepareScanContexts(s);
    s.Workers.ForEach(256, [&](int t, int slot) {
        SweepOne(*s.ScanContexts[size_t(slot)], order, t, sweep.Rows[size_t(t)]);
    });

    for (int y = 1; y <= 254; ++y)
        for (int x = 1; x <= 254; ++x) ++sweep.Histogram[order.Plane[y][x]];
    TPassObserver unseen;
    sweep.AutomaticThreshold = ChooseLevel(order, unseen);
    const bool byPlane = options.ByPlane && options.Plane >= 0 && options.Plane < PlaneCount;
    sweep.Plane = byPlane ? options.Plane : -1;
    sweep.WorkingPlane.assign(&order.Plane[0][0], &order.Plane[0][0] + sizeof order.Plane);
    MarkScanChoice(sweep, position);
    return sweep;
}

} // namespace

TSweep SweepThresholds(TSession& s, const TPassOptions& options, int32_t position) {
    return Sweep(s, options, position, *OrderOf(s, options));
}

TSweep SweepAgain(TSession& s, const TPassOptions& options, int32_t position, const TSweep& last) {
    const auto order = OrderOf(s, options);
    const bool byPlane = options.ByPlane && options.Plane >= 0 && options.Plane < PlaneCount;
    if ((byPlane ? options.Plane : -1) != last.Plane ||
        last.WorkingPlane.size() != sizeof order->Plane ||
        std::memcmp(last.WorkingPlane.data(), order->Plane, sizeof order->Plane) != 0)
        return Sweep(s, options, position, *order);
    TSweep sweep = last;
    MarkScanChoice(sweep, position);
    return sweep;
}
