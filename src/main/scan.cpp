// The threshold scan of the window: the session's scan (session/scan.h),
// the window hearing every pass as it would hear it run in full, with the
// bar following them, then the bar moved to the result as the user would
// move it, and the area map shown.
#include "session/scan.h"
#include "busy_cursor.h"
#include "paint_stop.h"
#include "session/session.h"
#include "uMain.h"

#include <QScrollBar>

void TfrmMain::ScanClick() {
    TBusyCursor busy;
    ScanBest_.reset();
    ScanRunning_ = true;
    struct TScanEnd {
        bool& running;
        TPaintStop& painting;
        ~TScanEnd() {
            running = false;
            painting.End(); // also when the scan fails
        }
    } scanEnd{ScanRunning_, *PaintStop_};

    TScanOutcome outcome;
    if (AreaPass_) {
        outcome = ScanThresholds(Session_->Areas.LevelScores, ScrollBar2->value(),
                                 [this](int32_t t) { RunPass(t); });
    } else {
        // The session's scan runs its passes itself: the closer look hears
        // of it as of one pass, so that the table shows the last one.
        PassAboutToRun();
        try {
            outcome = ScanSession(*Session_, PassOptions(-1), ScrollBar2->value(), *this);
        } catch (...) {
            PassFailed();
            throw;
        }
        PassDone();
    }

    ScanRunning_ = false;
    // Only when the bar moves does ScrollBar2Change run one more pass at the
    // result, drawn; when the result is where the sweeps ended, the views
    // keep that last pass.
    ScrollBar2->setValue(outcome.Result);
    ScanBest_ = outcome.BestScore; // after the pass at the result, which forgets the last scan
    ShowPlane(3);
    PaintingEnds();
    Tell(QString("Scan: best score %1 at threshold %2. %3")
             .arg(outcome.BestScore, 0, 'f', 1)
             .arg(outcome.Result)
             .arg(PassSummary()));
}
