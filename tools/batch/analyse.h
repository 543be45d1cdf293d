// One picture through a session, as choosing it in the window runs it:
// intake, the level scores cleared, the planes, then the automatic pass, the
// pass at a given threshold, or the threshold scan, on the mix or one plane.
#pragma once

#include "options.h"
#include "summary.h"

#include "session/session.h"

#include <string>

// Where a freshly started window's threshold bar stands.
constexpr int32_t InitialThresholdBar = 100;

// Runs the steps on `s`; `bar` is where the window's threshold bar stands
// before and after (the scan starts from it). Throws TPictureError when the
// picture cannot be read, leaving the session as it was.
TPictureOutcome AnalysePicture(TSession& s, const std::string& path, const TAnalysisChoice& choice,
                               int32_t& bar);

// Its two halves, for a picture that reached the grid another way: what
// follows the intake (the level scores cleared, the planes computed), and
// the pass or the scan that `choice` asks for over those planes.
void PreparePicture(TSession& s);
TPictureOutcome RunAnalysis(TSession& s, const TAnalysisChoice& choice, int32_t& bar);
