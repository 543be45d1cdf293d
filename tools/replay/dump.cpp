#include "dump.h"

#include "main/uMain.h"
#include "session/export.h"
#include "session/session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("Cannot write \"" + path.string() + "\"");
}

// The top-left 256 x 256 pixels of a bitmap as binary PPM.
std::string Ppm(const TBitmap& bmp) {
    std::string out = "P6\n256 256\n255\n";
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB c = GetPixel(bmp, x, y);
            out += char(c.r);
            out += char(c.g);
            out += char(c.b);
        }
    return out;
}

std::string Number(double v, int digits) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

std::string Quoted(const QString& s) {
    return JsonQuoted(s.toStdString());
}

const char* Bool(bool b) {
    return b ? "true" : "false";
}

template <typename T, typename F> void Array(std::ostream& o, const T& items, F each) {
    o << '[';
    bool first = true;
    for (const auto& item : items) {
        if (!first) o << ", ";
        first = false;
        each(item);
    }
    o << ']';
}

void WriteArea(std::ostream& o, const TArea* a) {
    if (!a) {
        o << "null";
        return;
    }
    o << "{\"meanX\": " << a->meanX << ", \"meanY\": " << a->meanY << ", \"minX\": " << a->minX
      << ", \"minXRow\": " << a->minXRow << ", \"label\": " << a->label
      << ", \"contourHigh\": " << a->contourHigh << ", \"radiusSum\": " << Number(a->radiusSum, 9)
      << ", \"shape\": ";
    Array(o, a->shape, [&](uint8_t v) { o << int(v); });
    o << ", \"runs\": ";
    Array(o, a->runs, [&](const TLineSeg& r) {
        o << '[' << int(r.x) << ", " << int(r.y) << ", " << int(r.len) << ']';
    });
    o << ", \"contour\": ";
    Array(o, a->contour,
          [&](const TContourPt& p) { o << '[' << int(p.x) << ", " << int(p.y) << ']'; });
    o << '}';
}

std::string StateJson(const TWindowSnapshot& f, const TSession& s) {
    const TAreaState& a = s.Areas;
    std::ostringstream o;
    o << "{\"scrollBar1\": " << f.ScrollBar1 << ", \"scrollBar2\": " << f.ScrollBar2
      << ", \"listBox1\": " << f.ListBox1 << ", \"listBox2\": ";
    Array(o, f.ListBox2, [&](const QString& line) { o << Quoted(line); });
    const TRGB face = f.ButtonFace;
    o << ", \"label1\": " << Quoted(f.Label1) << ", \"cbByPriznak\": " << Bool(f.ByPriznak)
      << ", \"cbPaintSteps\": " << Bool(f.PaintSteps) << ", \"cbScan\": " << Bool(f.Scan)
      << ", \"buttonFace\": [" << int(face.r) << ", " << int(face.g) << ", " << int(face.b)
      << "], \"level\": " << int(a.Level) << ", \"levelScores\": ";
    Array(o, a.LevelScores, [&](double v) { o << Number(v, 17); });
    o << ", \"sizeSum\": " << Number(a.SizeSum, 17) << ", \"sizeMax\": " << Number(a.SizeMax, 17)
      << ", \"rejectedLast\": " << a.RejectedLast << ", \"areaCount\": " << a.AreaCount
      << ", \"areas\": [";
    for (int32_t i = 0; i <= a.AreaCount; ++i) {
        if (i > 0) o << ", ";
        WriteArea(o, a.Areas[i].get());
    }
    o << "], \"overflowWarnings\": " << a.OverflowWarnings << ", \"randSeed\": " << s.Random.Seed
      << ", \"tree\": {\"labels\": ";
    Array(o, s.Tree.Nodes, [&](const TPartNode* n) { o << n->label; });
    o << ", \"listLengths\": ";
    Array(o, s.Tree.Nodes, [&](const TPartNode* n) { o << PartListLength(*n); });
    o << "}}\n";
    return o.str();
}

} // namespace

void WriteDump(const TfrmMain& form, const std::string& dir) {
    const std::filesystem::path d(dir);
    std::error_code ec;
    std::filesystem::create_directories(d, ec);
    if (ec) throw std::runtime_error("Cannot create the folder \"" + dir + "\": " + ec.message());
    const TWindowSnapshot shown = form.Snapshot();
    const TSession& session = form.Session();
    WriteFile(d / "planes.bin", std::string(reinterpret_cast<const char*>(session.Planes.P),
                                            sizeof session.Planes.P));
    WriteFile(d / "image1.ppm", Ppm(*shown.Image1));
    WriteFile(d / "paintbox1.ppm", Ppm(*shown.PaintBox1));
    WriteFile(d / "paintbox2.ppm", Ppm(*shown.PaintBox2));
    WriteFile(d / "state.json", StateJson(shown, session));
}
