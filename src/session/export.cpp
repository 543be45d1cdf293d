#include "export.h"

#include "area_columns.h"
#include "palette.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& why) {
    throw TExportError("Cannot write \"" + path + "\": " + why + ".");
}

// Writes `bytes` to `path` through a temporary file beside it.
void WriteAtomically(const std::string& path, const QByteArray& bytes) {
    const fs::path target(path);
    std::string name = ".";
    name += target.filename().string();
    name += ".part-";
    name += std::to_string(getpid());
    const fs::path temporary = target.parent_path() / name;
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) Fail(path, std::strerror(errno));
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
    const int writeError = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        const int error = !written ? writeError : errno;
        std::remove(temporary.c_str());
        Fail(path, std::strerror(error));
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::remove(temporary.c_str());
        Fail(path, ec.message());
    }
}

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw TExportError("Cannot make a PNG picture: " + writer.errorString().toStdString() +
                           ".");
    return bytes;
}

std::string Number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// {"kind": "top-left"}, {"kind": "part", "x": X, "y": Y} or {"kind": "fit", "k": K}.
std::string PlacementJson(const TPlacement& p) {
    switch (p.Kind) {
    case TPlacement::Part:
        return "{\"kind\": \"part\", \"x\": " + std::to_string(p.X) +
               ", \"y\": " + std::to_string(p.Y) + "}";
    case TPlacement::Fit:
        return "{\"kind\": \"fit\", \"k\": " + std::to_string(p.K) + "}";
    default:
        return "{\"kind\": \"top-left\"}";
    }
}

} // namespace

void WritePng(const TBitmap& bitmap, const std::string& path) {
    const QImage view(bitmap.Pixels.data(), bitmap.Width, bitmap.Height, bitmap.Stride,
                      QImage::Format_BGR888);
    WriteAtomically(path, Png(view.copy(0, 0, 256, 256)));
}

std::string AnalysisJson(const TSession& s, const std::optional<double>& scanBestScore) {
    const TPassResult& r = *s.LastPass;
    std::ostringstream o;
    o << "{\n  \"picture\": " << Quoted(s.Picture.Path)
      << ",\n  \"width\": " << s.Picture.Size.Width << ",\n  \"height\": " << s.Picture.Size.Height
      << ",\n  \"placement\": " << PlacementJson(s.Picture.Placement)
      << ",\n  \"plane\": " << (r.Plane < 0 ? std::string("null") : std::to_string(r.Plane))
      << ",\n  \"plane_name\": " << Quoted(r.Plane < 0 ? "mix" : PlaneIds[r.Plane])
      << ",\n  \"threshold\": " << r.Threshold << ",\n  \"raised_level\": " << r.RaisedLevel
      << ",\n  \"rejected_last\": " << r.RejectedLast << ",\n  \"areas\": " << r.KeptAreas
      << ",\n  \"area_records\": " << r.AreaCount + 1 << ",\n  \"scan_best_score\": "
      << (scanBestScore ? Number(*scanBestScore) : std::string("null"))
      << ",\n  \"level_scores\": [";
    for (int t = 0; t < 256; ++t) o << (t ? ", " : "") << Number(s.Areas.LevelScores[t]);
    o << "]\n}\n";
    return o.str();
}

void ExportAnalysis(const TSession& s, const std::string& dir, const TExportOptions& options) {
    if (!s.LastPass) throw TExportError("There is no analysis to export yet.");
    std::error_code ec;
    fs::create_directories(options.Planes ? fs::path(dir) / "planes" : fs::path(dir), ec);
    if (ec) throw TExportError("Cannot make the folder \"" + dir + "\": " + ec.message() + ".");

    const fs::path d(dir);
    WriteAtomically((d / "areas.csv").string(), QByteArray::fromStdString(AreasCsv(s.Areas)));
    if (options.Planes)
        for (int p = 0; p < PlaneCount; ++p) {
            const QImage plane(&s.Planes[p][0][0], 256, 256, 256, QImage::Format_Grayscale8);
            char name[32];
            std::snprintf(name, sizeof name, "%02d-%s.png", p, PlaneIds[p]);
            WriteAtomically((d / "planes" / name).string(), Png(plane));
        }
    TBitmap map;
    CreateBitmap(map, 256, 256);
    DrawPlane(s, aArH, map);
    WritePng(map, (d / "area-map.png").string());
    WritePng(options.AreaView ? *options.AreaView : s.View, (d / "area-view.png").string());
    // Last, so that a folder with analysis.json is a complete export.
    WriteAtomically((d / "analysis.json").string(),
                    QByteArray::fromStdString(AnalysisJson(s, options.ScanBestScore)));
}
