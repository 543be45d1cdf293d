#include "output_folder.h"

#include "image/plane_store.h"

#include <filesystem>

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

} // namespace

void WriteResultFolder(const TSession& s, const std::string& outDir, const std::string& name,
                       const TExportOptions& options) {
    if (name.empty()) throw TExportError("A picture needs a folder name of its own.");
    const TFolderNames n = Names(outDir, name);
    std::error_code ec;
    fs::remove_all(n.Temporary, ec);
    fs::remove_all(n.Old, ec);
    ExportAnalysis(s, n.Temporary.string(), options);
    // The older folder steps aside first: a folder cannot be renamed onto
    // one that holds files.
    if (fs::exists(n.Final, ec)) {
        fs::rename(n.Final, n.Old, ec);
        if (ec) Fail(n.Final, ec);
    }
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
