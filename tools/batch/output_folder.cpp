#include "output_folder.h"

#include "image/plane_store.h"

#include <cerrno>
#include <filesystem>

#include <stdio.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct TFolderNames {
    fs::path Final, Temporary, Old;
};

TFolderNames Names(const std::string& outDir, const std::string& name) {
    const fs::path final = fs::path(outDir) / name;
    const std::string leaf = final.filename().string();
    return {final, final.parent_path() / ("." + leaf + ".part"),
            final.parent_path() / ("." + leaf + ".old")};
}

[[noreturn]] void Fail(const fs::path& path, const std::error_code& ec) {
    throw TExportError("Cannot write \"" + path.string() + "\": " + ec.message() + ".");
}

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Makes `dir` anew and empty, with the folders above it: what a killed run
// left under that name goes first, so that nothing but this export's files
// can end up in the folder. The usual case is a single mkdir.
void MakeEmptyFolder(const fs::path& dir) {
    if (::mkdir(dir.c_str(), 0777) == 0) return;
    std::error_code ec;
    if (errno == EEXIST)
        fs::remove_all(dir, ec);
    else if (errno == ENOENT)
        fs::create_directories(dir.parent_path(), ec);
    if (::mkdir(dir.c_str(), 0777) != 0) Fail(dir, LastError());
}

} // namespace

void WriteResultFolder(const TSession& s, const std::string& outDir, const std::string& name,
                       const TExportOptions& options) {
    if (name.empty()) throw TExportError("A picture needs a folder name of its own.");
    const TFolderNames n = Names(outDir, name);
    std::error_code ec;
    fs::remove_all(n.Old, ec); // left by a run killed while replacing this folder
    MakeEmptyFolder(n.Temporary);
    // The folder is temporary itself: its files need no temporary names. PNG
    // pictures are stored, not compressed: compressing took most of the time
    // of a picture's export.
    TExportOptions inPlace = options;
    inPlace.InPlace = true;
    inPlace.StoredPngs = true;
    ExportAnalysis(s, n.Temporary.string(), inPlace);
    if (::rename(n.Temporary.c_str(), n.Final.c_str()) == 0) return;
    // A folder cannot be renamed onto one that holds files, nor onto a file:
    // the older one steps aside first.
    const int error = errno;
    if (error != ENOTEMPTY && error != EEXIST && error != ENOTDIR && error != EISDIR)
        Fail(n.Final, {error, std::generic_category()});
    fs::rename(n.Final, n.Old, ec);
    if (ec) Fail(n.Final, ec);
    fs::rename(n.Temporary, n.Final, ec);
    if (ec) Fail(n.Final, ec);
    fs::remove_all(n.Old, ec);
}

void RemoveResultFolder(const std::string& outDir, const std::string& name) {
    if (name.empty()) return; // never the output folder itself
    const TFolderNames n = Names(outDir, name);
    std::error_code ec;
    for (const fs::path& p : {n.Final, n.Temporary, n.Old}) fs::remove_all(p, ec);
}

bool IsCompleteResultFolder(const std::string& outDir, const std::string& name, bool planes) {
    const fs::path dir = fs::path(outDir) / name;
    std::error_code ec;
    for (const char* file : {"areas.csv", "analysis.json", "area-map.png", "area-view.png"})
        if (!fs::is_regular_file(dir / file, ec)) return false;
    if (!planes) return true;
    for (int p = 0; p < PlaneCount; ++p) {
        char file[32];
        std::snprintf(file, sizeof file, "%02d-%s.png", p, PlaneIds[p]);
        if (!fs::is_regular_file(dir / "planes" / file, ec)) return false;
    }
    return true;
}
