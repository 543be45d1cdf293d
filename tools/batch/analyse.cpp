#include "analyse.h"

#include "session/scan.h"

TPictureOutcome AnalysePicture(TSession& s, const std::string& path, const TAnalysisChoice& choice,
                               int32_t& bar) {
    s.Placement = choice.Placement;
    LoadPicture(s, path);
    PreparePicture(s);
    return RunAnalysis(s, choice, bar);
}

void PreparePicture(TSession& s) {
    for (double& score : s.Areas.LevelScores) score = 0.0;
    ComputePlanes(s);
}

TPictureOutcome RunAnalysis(TSession& s, const TAnalysisChoice& choice, int32_t& bar) {
    TPassObserver quiet;
    const auto pass = [&](int32_t threshold) {
        TPassOptions o; // the ground of the area view is the window's button face
        o.Threshold = threshold;
        o.ByPlane = choice.Plane >= 0;
        if (o.ByPlane) o.Plane = choice.Plane;
        bar = FindAreas(s, o, quiet).Threshold; // the bar follows every pass
    };
    TPictureOutcome out;
    if (choice.Scan) {
        const TScanOutcome scan = ScanThresholds(s.Areas.LevelScores, bar, pass);
        bar = scan.BarAfterSweeps;
        // The bar moved to the result runs one more pass there, unless the
        // sweeps ended there.
        if (scan.Result != bar) pass(scan.Result);
        out.BestScore = scan.BestScore;
    } else {
        // A threshold of the user's is the pass the bar runs when moved
        // there; the automatic pass before it leaves nothing that pass reads.
        pass(choice.Threshold);
    }
    const TPassResult& r = *s.LastPass;
    out.Width = s.Picture.Size.Width;
    out.Height = s.Picture.Size.Height;
    out.Placement = s.Picture.Placement;
    out.Threshold = r.Threshold;
    out.RaisedLevel = r.RaisedLevel;
    out.Areas = r.KeptAreas;
    out.RejectedLast = r.RejectedLast;
    return out;
}
