// The binding's one door into the batch's own per-picture code: what follows
// a picture's landing on the grid, the pass or the scan asked for, and the
// result folder. Every call the module makes into tools/batch is here, so a
// session driven from Python gives exactly the batch's results and files.
#pragma once

#include "session/session.h"
#include "session/sweep.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// What one analysis step asks, as the batch's options would.
struct TStepAsk {
    int32_t Threshold = -1; // 0..255, or -1: the pass chooses it
    bool Scan = false;      // the threshold scan instead of one pass
    int32_t Plane = -1;     // 0..19, or -1: the brightness/noise mix
};

// A folder of someone else's stands where the export would go.
struct TFolderTaken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where the threshold a scan starts from stands in a fresh session.
int32_t FirstBar();

// After the intake: the level scores cleared, the planes computed.
void AfterIntake(TSession& s);

// The pass or the scan over the planes; `bar` follows it as the window's
// threshold bar does. Returns the scan's best score (none for a pass).
std::optional<double> RunStep(TSession& s, const TStepAsk& ask, int32_t& bar);

// The threshold sweep of the last pass's plane, as the batch's --sweep
// writes it, the bar standing at `bar`. Leaves the session as it was.
TSweep SweepStep(TSession& s, int32_t bar);

// Writes the batch's result folder of the last pass at `folder` (its planes
// too with `planes`). An older complete result folder there is replaced;
// anything else there throws TFolderTaken and is left as it is. Throws
// TExportError when a file cannot be written.
void WriteResult(const TSession& s, const std::string& folder, bool planes,
                 const std::optional<double>& bestScore);
