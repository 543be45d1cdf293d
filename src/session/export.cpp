#include "export.h"

#include "area_columns.h"
#include "label_image.h"
#include "palette.h"
#include "sweep_files.h"
#include "utf8_text.h"
#include "picture_terms_json.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void Write(const std::string& path, const QByteArray& bytes, bool inPlace) {
    const std::string_view view(bytes.constData(), size_t(bytes.size()));
    if (inPlace)
        WriteNewFile(path, view);
    else
        WriteFileAtomically(path, view);
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
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        const size_t valid = Utf8Length(s, i);
        if (valid > 1) {
            out.append(s, i, valid);
            i += valid;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        char buf[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            std::snprintf(buf, sizeof buf, "\\u%04x", byte);
            out += buf;
        } else if (byte >= 0x80) {
            std::snprintf(buf, sizeof buf, "\\udc%02x", byte);
            out += buf;
        } else {
            out += c;
        }
        ++i;
    }
    return out + "\"";
}

std::optional<std::string> JsonUnquoted(const std::string& q) {
    if (q.size() < 2 || q.front() != '"' || q.back() != '"') return std::nullopt;
    std::string out;
    for (size_t i = 1; i + 1 < q.size(); ++i) {
        if (q[i] != '\\') {
            out += q[i];
            continue;
        }
        if (++i + 1 >= q.size()) return std::nullopt;
        if (q[i] == '"' || q[i] == '\\') {
            out += q[i];
            continue;
        }
        // \u00XX, a control byte, or \udcXX, a byte outside UTF-8.
        if (q[i] != 'u' || i + 5 >= q.size()) return std::nullopt;
        const std::string high = q.substr(i + 1, 2);
        if (high != "00" && high != "dc") return std::nullopt;
        unsigned value = 0;
        const char* digits = q.data() + i + 3;
        if (std::from_chars(digits, digits + 2, value, 16).ptr != digits + 2) return std::nullopt;
        out += char(value);
        i += 4;
    }
    return out;
}

void WritePng(const TBitmap& bitmap, const std::string& path) {
    Write(path, Png(Paletted(bitmap), false), false);
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

std::string PlaneFileName(int plane) {
    char name[40];
    std::snprintf(name, sizeof name, "planes/%02d-%s.png", plane, PlaneIds[plane]);
    return name;
}

std::vector<TExportFile> ExportFiles(bool planes) {
    std::vector<TExportFile> files;
    files.push_back({"areas.csv", [](const TSession& s, const TExportOptions&) {
                         return QByteArray::fromStdString(AreasCsv(s.Areas, FootprintOf(s.Picture)));
                     }});
    if (planes)
        for (int p = 0; p < PlaneCount; ++p)
            files.push_back({PlaneFileName(p), [p](const TSession& s, const TExportOptions& o) {
                                 const QImage plane(&s.Planes[p][0][0], 256, 256, 256,
                                                    QImage::Format_Grayscale8);
                                 return Png(plane, o.StoredPngs);
                             }});
    files.push_back({"area-map.png", [](const TSession& s, const TExportOptions& o) {
                         return Png(AreaMap(s), o.StoredPngs);
                     }});
    files.push_back({"area-view.png", [](const TSession& s, const TExportOptions& o) {
                         return Png(Paletted(o.AreaView ? *o.AreaView : s.View), o.StoredPngs);
                     }});
    files.push_back({"labels.png", [](const TSession& s, const TExportOptions& o) {
                         return Png(LabelImage(s), o.StoredPngs);
                     }});
    files.push_back({"analysis.json", [](const TSession& s, const TExportOptions& o) {
                         return QByteArray::fromStdString(AnalysisJson(s, o.ScanBestScore));
                     }});
    return files;
}

void ExportAnalysis(const TSession& s, const std::string& dir, const TExportOptions& options) {
    if (!s.LastPass) throw TExportError("There is no analysis to export yet.");
    std::error_code ec;
    fs::create_directories(options.Planes ? fs::path(dir) / "planes" : fs::path(dir), ec);
    if (ec)
        throw TExportError("Cannot make the folder \"" + dir + "\": " + FailureReason(ec.value()) +
                           ".");
    for (const TExportFile& f : ExportFiles(options.Planes)) {
        // The sweep's files, when asked for, come before analysis.json, which
        // stays last.
        if (f.Name == "analysis.json" && options.Sweep)
            for (const auto& [name, bytes] : SweepFiles(*options.Sweep, options.SweepPlot))
                Write((fs::path(dir) / name).string(), bytes, options.InPlace);
        Write((fs::path(dir) / f.Name).string(), f.Bytes(s, options), options.InPlace);
    }
}
