// The threshold scan: runs the area pass through ScrollBar2 for the
// thresholds 8, 16, ..., 248, then for every threshold within 8 of the best of
// them, and leaves ScrollBar2 at the one with the highest score.
#include "../areas/area_tables.h"
#include "busy_cursor.h"
#include "uMain.h"

#include <QScrollBar>

#include <algorithm>

namespace {

// The threshold of [lo, hi] with the highest score, the lower one on ties,
// 2 when no score is above 0.
int BestThreshold(int lo, int hi, int step) {
    double best = 0.0;
    int result = 2;
    for (int t = lo; t <= hi; t += step)
        if (LevelScores[t] > best) {
            best = LevelScores[t];
            result = t;
        }
    return result;
}

} // namespace

void TfrmMain::ScanClick() {
    TBusyCursor busy;
    ScanRunning = true;
    struct TScanEnd {
        bool& running;
        ~TScanEnd() { running = false; }
    } scanEnd{ScanRunning};

    for (double& score : LevelScores) score = 0.0;
    // Every real change of position runs ScrollBar2Change and so one pass.
    for (int k = 1; k <= 31; ++k) ScrollBar2->setValue(8 * k);
    const int coarse = BestThreshold(8, 248, 8);
    const int lo = std::max(1, coarse - 8), hi = std::min(254, coarse + 8);
    for (int t = lo; t <= hi; ++t) ScrollBar2->setValue(t);
    const int result = BestThreshold(lo, hi, 1);

    ScanRunning = false;
    ScrollBar2->setValue(result);
    ShowPlane(3);
}
