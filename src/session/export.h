// The export of what the last pass found: areas.csv, analysis.json, the
// planes as PNG pictures, the area map and the area view.
//
// Reads the session only. Every file is written under a temporary name in
// its folder and then renamed, so that an interrupted export leaves no
// half-written file under a final name; unless the folder is itself
// temporary (InPlace), as the batch's are.
#pragma once

#include "session.h"

#include <optional>
#include <stdexcept>
#include <string>

struct TSweep;

// A file that could not be written; the message names it and says why.
struct TExportError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TExportOptions {
    bool Planes = true;                  // the twenty planes into planes/NN-NAME.png
    const TBitmap* AreaView = nullptr;   // area-view.png: what the area view shows
    std::optional<double> ScanBestScore; // written when a scan chose the threshold
    // Each file straight under its final name, for a folder that takes its
    // own name only once complete: there a temporary name and a rename for
    // every file guard nothing more. A file that fails is still removed.
    bool InPlace = false;
    // PNG pictures stored without compression: several times faster to write
    // and about four times larger, for a batch that writes thousands.
    bool StoredPngs = false;
    // sweep.csv from this sweep of the session, and with SweepPlot sweep.png.
    const TSweep* Sweep = nullptr;
    bool SweepPlot = false;
};

// Writes into `dir`, made when missing. Throws TExportError (nothing of the
// session changes either way); without a pass there is nothing to export.
void ExportAnalysis(const TSession& s, const std::string& dir, const TExportOptions& options);

// The text of analysis.json.
std::string AnalysisJson(const TSession& s, const std::optional<double>& scanBestScore);

// A bitmap's top-left 256 x 256 pixels as a PNG picture, written as above.
void WritePng(const TBitmap& bitmap, const std::string& path);

// `text` as a JSON string: quotes and backslashes escaped, control bytes as
// \u00XX, other bytes as they are.
std::string JsonQuoted(const std::string& text);
