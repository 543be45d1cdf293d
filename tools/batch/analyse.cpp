#include "analyse.h"

#include "session/analysis.h"

TPictureOutcome AnalysePicture(TSession& s, const std::string& path,
                               const TAnalysisChoice& choice) {
    ChoosePicture(s, path, choice.Placement);
    return RunAnalysis(s, choice);
}

void PreparePicture(TSession& s) {
    PicturePlaced(s);
}

TPictureOutcome RunAnalysis(TSession& s, const TAnalysisChoice& choice) {
    // The ground of the area view is the window's button face.
    TAnalysisRequest how;
    how.Pass.Threshold = choice.Threshold;
    how.Pass.ByPlane = choice.Plane >= 0;
    if (how.Pass.ByPlane) how.Pass.Plane = choice.Plane;
    how.Scan = choice.Scan;
    TAnalysisObserver quiet;
    const TAnalysed analysed = AnalyseChosen(s, how, quiet);

    TPictureOutcome out;
    if (analysed.Scan) out.BestScore = analysed.Scan->BestScore;
    const TPassResult& r = analysed.Pass;
    out.Width = s.Picture.Size.Width;
    out.Height = s.Picture.Size.Height;
    out.Placement = s.Picture.Placement;
    out.Threshold = r.Threshold;
    out.RaisedLevel = r.RaisedLevel;
    out.Areas = r.KeptAreas;
    out.RejectedLast = r.RejectedLast;
    return out;
}
