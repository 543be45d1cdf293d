#include "export.h"

#include "area_columns.h"
#include "label_image.h"
#include "palette.h"
#include "sweep_files.h"
#include "picture_terms_json.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& why) {
    throw TExportError("Cannot write \"" + path + "\": " + why + ".");
}

// Writes `bytes` into a new file `path` (replacing one there), shown as
// `shown` in an error. A file that fails is removed.
void WriteFile(const std::string& path, const QByteArray& bytes, const std::string& shown) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail(shown, std::strerror(errno));
    const char* data = bytes.constData();
    size_t left = size_t(bytes.size());
    int error = 0;
    while (left > 0 && !error) {
        const ssize_t n = ::write(fd, data, left);
        if (n > 0) {
            data += n;
            left -= size_t(n);
        } else if (n < 0 && errno != EINTR) {
            error = errno;
        }
    }
    if (::close(fd) != 0 && !error) error = errno;
    if (error) {
        ::unlink(path.c_str());
        Fail(shown, std::strerror(error));
    }
}

// Writes `bytes` to `path` through a temporary file beside it.
void WriteAtomically(const std::string& path, const QByteArray& bytes) {
    const fs::path target(path);
    std::string name = ".";
    name += target.filename().string();
    name += ".part-";
    name += std::to_string(getpid());
    const fs::path temporary = target.parent_path() / name;
    WriteFile(temporary.string(), bytes, path);
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::remove(temporary.c_str());
        Fail(path, ec.message());
    }
}

void Write(const std::string& path, const QByteArray& bytes, bool inPlace) {
    if (inPlace)
        WriteFile(path, bytes, path);
    else
        WriteAtomically(path, bytes);
}

// `stored`: without compression (Qt maps 0..10 onto zlib's level 0), several
// times faster to write than zlib's fastest level (20), for a 256 x 256
// picture of 66 KB rather than 10 to 40.
QByteArray Png(QImage image, bool stored) {
    // A resolution of its own, 96 dots per inch: a new picture otherwise takes
    // the screen's, so that the same analysis would give other bytes in the
    // window than without a display.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QByteArray bytes;
    // Room for the stored pixels, a filter byte per row, and the chunks.
    if (stored) bytes.reserve(qsizetype(image.sizeInBytes()) + image.height() + 4096);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(stored ? 0 : 20);
    if (!writer.write(image))
        throw TExportError("Cannot make a PNG picture: " + writer.errorString().toStdString() +
                           ".");
    return bytes;
}

// The top-left 256 x 256 pixels with a colour table when they hold at most
// 256 colours, as the area map and the area view do: the same pixels in a
// third of the bytes, which PNG stores without row filters, several times
// faster to write. Otherwise the 24-bit picture.
QImage Paletted(const TBitmap& bitmap) {
    QImage out(256, 256, QImage::Format_Indexed8);
    QList<QRgb> table;
    // Colour -> its place in the table, by open addressing over four times
    // as many slots as a table holds; a colour is never 0 (its alpha is 255).
    // Every pixel is looked up: the first slot tried nearly always holds its
    // colour, a branch more predictable than comparing with the pixel before.
    constexpr int Slots = 1024;
    std::array<QRgb, Slots> keys{};
    std::array<uchar, Slots> places;
    for (int y = 0; y < 256; ++y) {
        const uint8_t* in = bitmap.Rows[size_t(y)];
        uchar* row = out.scanLine(y);
        for (int x = 0; x < 256; ++x, in += 3) {
            const QRgb c = qRgb(in[2], in[1], in[0]);
            size_t slot = (c * 2654435761u) >> 22;
            while (keys[slot] != c) {
                if (keys[slot] == 0) {
                    if (table.size() == 256)
                        return QImage(bitmap.Pixels.data(), bitmap.Width, bitmap.Height,
                                      bitmap.Stride, QImage::Format_BGR888)
                            .copy(0, 0, 256, 256);
                    keys[slot] = c;
                    places[slot] = uchar(table.size());
                    table.append(c);
                    break;
                }
                slot = (slot + 1) % Slots;
            }
            row[x] = places[slot];
        }
    }
    out.setColorTable(table);
    return out;
}

// The area map as the plane view shows it: plane 3 through the palette,
// stored as the plane with the palette as its colour table.
QImage AreaMap(const TSession& s) {
    QImage map(256, 256, QImage::Format_Indexed8);
    for (int y = 0; y < 256; ++y) std::memcpy(map.scanLine(y), s.Planes[aArH][y], 256);
    QList<QRgb> table;
    for (const TRGB c : Palette) table.append(qRgb(c.r, c.g, c.b));
    map.setColorTable(table);
    return map;
}

std::string Number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

} // namespace

std::string JsonQuoted(const std::string& s) {
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

void WritePng(const TBitmap& bitmap, const std::string& path) {
    WriteAtomically(path, Png(Paletted(bitmap), false));
}

std::string AnalysisJson(const TSession& s, const std::optional<double>& scanBestScore) {
    const TPassResult& r = *s.LastPass;
    std::ostringstream o;
    o << "{\n  \"picture\": " << JsonQuoted(s.Picture.Path)
      << ",\n  \"width\": " << s.Picture.Size.Width << ",\n  \"height\": " << s.Picture.Size.Height
      << ",\n  \"placement\": " << PlacementText(s.Picture.Placement, TPlacementForm::Json)
      << ",\n  \"plane\": " << (r.Plane < 0 ? std::string("null") : std::to_string(r.Plane))
      << ",\n  \"plane_name\": " << JsonQuoted(r.Plane < 0 ? "mix" : PlaneIds[r.Plane])
      << ",\n  \"threshold\": " << r.Threshold << ",\n  \"raised_level\": " << r.RaisedLevel
      << ",\n  \"rejected_last\": " << r.RejectedLast << ",\n  \"areas\": " << r.KeptAreas
      << ",\n  \"area_records\": " << r.AreaCount + 1 << ",\n  \"scan_best_score\": "
      << (scanBestScore ? Number(*scanBestScore) : std::string("null"))
      << ",\n  \"level_scores\": [";
    for (int t = 0; t < 256; ++t) o << (t ? ", " : "") << Number(s.Areas.LevelScores[t]);
    o << "]" << PictureTermsJson(s) << "\n}\n";
    return o.str();
}

void ExportAnalysis(const TSession& s, const std::string& dir, const TExportOptions& options) {
    if (!s.LastPass) throw TExportError("There is no analysis to export yet.");
    std::error_code ec;
    fs::create_directories(options.Planes ? fs::path(dir) / "planes" : fs::path(dir), ec);
    if (ec) throw TExportError("Cannot make the folder \"" + dir + "\": " + ec.message() + ".");

    const fs::path d(dir);
    const bool inPlace = options.InPlace, stored = options.StoredPngs;
    Write((d / "areas.csv").string(),
          QByteArray::fromStdString(AreasCsv(s.Areas, FootprintOf(s.Picture))), inPlace);
    if (options.Planes)
        for (int p = 0; p < PlaneCount; ++p) {
            const QImage plane(&s.Planes[p][0][0], 256, 256, 256, QImage::Format_Grayscale8);
            char name[32];
            std::snprintf(name, sizeof name, "%02d-%s.png", p, PlaneIds[p]);
            Write((d / "planes" / name).string(), Png(plane, stored), inPlace);
        }
    Write((d / "area-map.png").string(), Png(AreaMap(s), stored), inPlace);
    Write((d / "area-view.png").string(),
          Png(Paletted(options.AreaView ? *options.AreaView : s.View), stored), inPlace);
    if (options.Sweep)
        for (const auto& [name, bytes] : SweepFiles(*options.Sweep, options.SweepPlot))
            Write((d / name).string(), bytes, inPlace);
    Write((d / "labels.png").string(), Png(LabelImage(s), stored), inPlace);
    // Last, so that a folder with analysis.json is a complete export.
    Write((d / "analysis.json").string(),
          QByteArray::fromStdString(AnalysisJson(s, options.ScanBestScore)), inPlace);
}
