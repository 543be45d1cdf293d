#include "analysis.h"

#include "image/picture_error.h"

namespace {

// Tells `inner` what a pass tells, the bar following the pass first.
class TBarFollows final : public TPassObserver {
  public:
    TBarFollows(TSession& s, TPassObserver& inner) : S(s), Inner(inner) {}

    void ThresholdChosen(int32_t threshold) override {
        S.ThresholdBar = threshold;
        Inner.ThresholdChosen(threshold);
    }
    void HistogramDot(int x, int y, TRGB colour) override { Inner.HistogramDot(x, y, colour); }
    void FillStepTaken(int x, int y, TRGB colour) override { Inner.FillStepTaken(x, y, colour); }
    void SegmentListNearlyFull() override { Inner.SegmentListNearlyFull(); }
    void AreasDrawn(const TBitmap& view) override { Inner.AreasDrawn(view); }
    void PassFinished(const TPassResult& result) override { Inner.PassFinished(result); }

  private:
    TSession& S;
    TPassObserver& Inner;
};

TPassResult Pass(TSession& s, int32_t threshold, TPassOptions options, TPassObserver& observer) {
    options.Threshold = threshold;
    TBarFollows follows(s, observer);
    return FindAreas(s, options, follows);
}

TAnalysed Scan(TSession& s, const TPassOptions& options, TPassObserver& observer) {
    TAnalysed a;
    {
        TBarFollows follows(s, observer);
        a.Scan = ScanSession(s, options, s.ThresholdBar, follows);
    }
    s.ThresholdBar = a.Scan->BarAfterSweeps;
    a.PassAtResult = a.Scan->Result != s.ThresholdBar;
    // The sweeps' last pass is the result's when the bar stays.
    a.Pass = a.PassAtResult ? Pass(s, a.Scan->Result, options, observer) : *s.LastPass;
    return a;
}

// Runs `step` as one analysis that `observer` hears start and end.
template <class TStep> TAnalysed Analysis(TAnalysisObserver& observer, TStep step) {
    observer.AnalysisStarts();
    TAnalysed a;
    try {
        a = step();
    } catch (...) {
        observer.AnalysisFailed();
        throw;
    }
    observer.AnalysisDone(a);
    return a;
}

} // namespace

const TPictureInfo& ChoosePicture(TSession& s, const std::string& path,
                                  const TPlacement& placement) {
    const TPlacement before = s.Placement;
    s.Placement = placement;
    try {
        LoadPicture(s, path);
    } catch (const TPictureError&) {
        s.Placement = before;
        throw;
    }
    PicturePlaced(s);
    return s.Picture;
}

void PicturePlaced(TSession& s) {
    for (double& score : s.Areas.LevelScores) score = 0.0;
    ComputePlanes(s);
}

TAnalysed AnalyseChosen(TSession& s, const TAnalysisRequest& choice, TAnalysisObserver& observer) {
    if (choice.Scan) return RunScan(s, choice.Pass, observer);
    return Analysis(observer, [&] {
        TAnalysed a;
        a.Pass = Pass(s, choice.Pass.Threshold, choice.Pass, observer);
        return a;
    });
}

TPassResult MoveThreshold(TSession& s, int32_t threshold, const TPassOptions& options,
                          TAnalysisObserver& observer) {
    return Analysis(observer,
                    [&] {
                        TAnalysed a;
                        a.Pass = Pass(s, threshold, options, observer);
                        return a;
                    })
        .Pass;
}

TAnalysed RunScan(TSession& s, const TPassOptions& options, TAnalysisObserver& observer) {
    return Analysis(observer, [&] { return Scan(s, options, observer); });
}

TPlanePicked PickPlane(TSession& s, uint8_t plane, const TAnalysisRequest& choice,
                       TAnalysisObserver& observer) {
    TPlanePicked picked;
    if (!choice.Pass.ByPlane) {
        picked.Show = plane;
        return picked;
    }
    TAnalysisRequest onPlane = choice;
    onPlane.Pass.Plane = plane;
    picked.Analysed = AnalyseChosen(s, onPlane, observer);
    picked.Show = aArH;
    return picked;
}
