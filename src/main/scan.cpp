// The threshold scan of the window: the session's scan (session/analysis.h),
// the window hearing every pass as it would hear it run in full, with the
// bar following them, then the bar moved to the result as the user would
// move it, and the area map shown.
#include "busy_cursor.h"
#include "session/analysis.h"
#include "uMain.h"

void TfrmMain::ScanClick() {
    TBusyCursor busy;
    RunScan(*Session_, PassOptions(-1), *this);
}
