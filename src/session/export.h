// The export of what the last pass found: areas.csv, analysis.json, the
// planes as PNG pictures, the area map and the area view.
//
// Reads the session only. Every file is written under a temporary name in
// its folder and then renamed, so that an interrupted export leaves no
// half-written file under a final name; unless the folder is itself
// temporary (InPlace), as result folders are (result_folder.h).
#pragma once

#include "output_file.h"
#include "session.h"

#include <QByteArray>

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TSweep;

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

// One file of an export: its path inside the export's folder and what makes
// its bytes.
struct TExportFile {
    std::string Name;
    std::function<QByteArray(const TSession&, const TExportOptions&)> Bytes;
};

// Every file an export writes, in the order written; analysis.json last, so
// that a folder holding it is complete. The one list: the export writes it,
// and a resumed batch checks a folder against it.
std::vector<TExportFile> ExportFiles(bool planes);

// A plane's picture in an export: "planes/NN-NAME.png".
std::string PlaneFileName(int plane);

// Writes into `dir`, made when missing. Throws TExportError (nothing of the
// session changes either way); without a pass there is nothing to export.
void ExportAnalysis(const TSession& s, const std::string& dir, const TExportOptions& options);

// The text of analysis.json.
std::string AnalysisJson(const TSession& s, const std::optional<double>& scanBestScore);

// A bitmap's top-left 256 x 256 pixels as a PNG picture, written as above.
void WritePng(const TBitmap& bitmap, const std::string& path);

// `text` as a JSON string: quotes and backslashes escaped, control bytes as
// \u00XX, valid UTF-8 as it is. A byte that is not part of valid UTF-8 (a
// file name in another encoding) becomes \udcXX, XX its value: JSON text
// stays valid and the name's bytes can be read back.
std::string JsonQuoted(const std::string& text);

// The bytes of a string JsonQuoted wrote; none when `quoted` is not such a
// string.
std::optional<std::string> JsonUnquoted(const std::string& quoted);
