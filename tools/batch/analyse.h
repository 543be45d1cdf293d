// One picture through a session, as choosing it in the window runs it (the
// recipe of session/analysis.h): intake, the level scores cleared, the
// planes, then the automatic pass, the pass at a given threshold, or the
// threshold scan, on the mix or one plane.
#pragma once

#include "options.h"
#include "summary.h"

#include "session/session.h"

#include <string>

// Runs the steps on `s`, from where its threshold bar stands (the scan starts
// from it). Throws TPictureError when the picture cannot be read, leaving the
// session as it was.
TPictureOutcome AnalysePicture(TSession& s, const std::string& path, const TAnalysisChoice& choice);

// Its two halves, for a picture that reached the grid another way (from
// memory): what follows the intake, and the pass or the scan that `choice`
// asks for over those planes, from where the session's bar stands.
void PreparePicture(TSession& s);
TPictureOutcome RunAnalysis(TSession& s, const TAnalysisChoice& choice);
