// What the user does to a session, as one recipe: choose a picture (with
// its placement), analyse it, move the threshold, run the scan, pick a
// plane. The window's handlers and the batch tool both run these, so that a
// picture analysed either way gives the same areas; each step returns what
// it did, for the caller to show or to write.
//
// The session keeps the threshold bar's position (TSession::ThresholdBar):
// every pass leaves it at its threshold, which the pass's observer hears
// first (ThresholdChosen), and the scan starts from it.
#pragma once

#include "scan.h"
#include "session.h"

#include <optional>
#include <string>

// What the window and the batch say when a step ran out of memory.
constexpr const char* StepOutOfMemoryMessage = "There is not enough memory to finish this step.";

// How a chosen picture, or a plane picked for analysis, is analysed: the
// controls' pass options (their threshold aside), and the scan or a pass.
struct TAnalysisRequest {
    TPassOptions Pass; // Threshold: -1 the automatic pass, else the bar moved there
    bool Scan = false; // the threshold scan instead of a single pass
};

// What an analysis ran.
struct TAnalysed {
    TPassResult Pass;                 // the last pass, whose areas stand
    std::optional<TScanOutcome> Scan; // with the scan: its outcome
    // With the scan: the bar moved from where the sweeps left it to the
    // result, which ran one more pass there.
    bool PassAtResult = false;
};

// Hears an analysis (a pass, or the scan's passes) as one: it starts, every
// pass's events, then its end or its failure (the error is then rethrown).
class TAnalysisObserver : public TPassObserver {
  public:
    virtual void AnalysisStarts() {}
    virtual void AnalysisDone(const TAnalysed& /*analysed*/) {}
    virtual void AnalysisFailed() {}
};

// Lands the picture at `path` on the grid under `placement` (which then
// stays for the pictures after it), clears the level scores and computes the
// planes. A picture that cannot be read throws TPictureError and changes
// nothing, the placement included.
const TPictureInfo& ChoosePicture(TSession& s, const std::string& path,
                                  const TPlacement& placement);

// What follows a picture's landing on the grid, by ChoosePicture or from
// memory (LoadPixels): the level scores cleared, the planes computed.
void PicturePlaced(TSession& s);

// Analyses the chosen picture: the scan, or one pass. A threshold given is
// the bar moved there after the automatic pass, which leaves nothing that
// pass reads and so is not run.
TAnalysed AnalyseChosen(TSession& s, const TAnalysisRequest& choice, TAnalysisObserver& observer);

// The bar moved to `threshold`: one pass there with `options`.
TPassResult MoveThreshold(TSession& s, int32_t threshold, const TPassOptions& options,
                          TAnalysisObserver& observer);

// The scan from where the bar stands, then the bar moved to its result; when
// the sweeps ended elsewhere, that runs one more pass, which draws what the
// user sees.
TAnalysed RunScan(TSession& s, const TPassOptions& options, TAnalysisObserver& observer);

// Picking entry `plane` of the plane list: with the analysis by plane
// (choice.Pass.ByPlane), the chosen picture is analysed again on that plane
// and the area map is the plane to show; otherwise the plane picked is.
struct TPlanePicked {
    uint8_t Show = 3;                  // the plane to show
    std::optional<TAnalysed> Analysed; // when it analysed
};
TPlanePicked PickPlane(TSession& s, uint8_t plane, const TAnalysisRequest& choice,
                       TAnalysisObserver& observer);
