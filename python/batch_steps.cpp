#include "batch_steps.h"

#include "analyse.h"
#include "session/result_folder.h"
#include "sweep_output.h"

#include <filesystem>

namespace fs = std::filesystem;

int32_t FirstBar() {
    return InitialThresholdBar;
}

void AfterIntake(TSession& s) {
    PreparePicture(s);
}

std::optional<double> RunStep(TSession& s, const TStepAsk& ask, int32_t& bar) {
    TAnalysisChoice choice;
    choice.Threshold = ask.Threshold;
    choice.Scan = ask.Scan;
    choice.Plane = ask.Plane;
    s.ThresholdBar = bar;
    const std::optional<double> best = RunAnalysis(s, choice).BestScore;
    bar = s.ThresholdBar;
    return best;
}

TSweep SweepStep(TSession& s, int32_t bar) {
    TAnalysisChoice choice;
    choice.Sweep = true;
    return *PictureSweep(s, choice, bar);
}

void WriteResult(const TSession& s, const std::string& folder, bool planes,
                 const std::optional<double>& bestScore) {
    fs::path path = fs::absolute(fs::path(folder)).lexically_normal();
    if (!path.has_filename()) path = path.parent_path(); // "out/" names "out"
    const std::string outDir = path.parent_path().string(), name = path.filename().string();
    if (name.empty() || name == "." || name == "..")
        throw TFolderTaken("\"" + folder + "\" names no folder of its own");
    TExportOptions e;
    e.Planes = planes;
    e.ScanBestScore = bestScore;
    e.StoredPngs = true; // as the batch writes them
    try {
        WriteResultFolder(s, outDir, name, e, {"python", s.Picture.Path});
    } catch (const TNotOursError& error) {
        throw TFolderTaken(error.what());
    }
}
