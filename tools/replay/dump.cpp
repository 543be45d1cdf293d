#include "dump.h"

#include "areas/area_tables.h"
#include "areas/fill.h"
#include "image/plane_store.h"
#include "main/random.h"
#include "main/uMain.h"
#include "tree/partition_tree.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

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
    std::string out = "\"";
    for (const char c : s.toStdString()) {
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

std::string StateJson(const TfrmMain& f) {
    std::ostringstream o;
    o << "{\"scrollBar1\": " << f.ScrollBar1->value()
      << ", \"scrollBar2\": " << f.ScrollBar2->value()
      << ", \"listBox1\": " << f.ListBox1->currentRow() << ", \"listBox2\": ";
    std::vector<QString> lines;
    for (int i = 0; i < f.ListBox2->count(); ++i) lines.push_back(f.ListBox2->item(i)->text());
    Array(o, lines, [&](const QString& s) { o << Quoted(s); });
    const TRGB face = f.ButtonFace();
    o << ", \"label1\": " << Quoted(f.Label1->text())
      << ", \"cbByPriznak\": " << Bool(f.cbByPriznak->isChecked())
      << ", \"cbPaintSteps\": " << Bool(f.cbPaintSteps->isChecked())
      << ", \"cbScan\": " << Bool(f.cbScan->isChecked()) << ", \"buttonFace\": [" << int(face.r)
      << ", " << int(face.g) << ", " << int(face.b) << "], \"level\": " << int(Level)
      << ", \"levelScores\": ";
    Array(o, LevelScores, [&](double v) { o << Number(v, 17); });
    o << ", \"sizeSum\": " << Number(SizeSum, 17) << ", \"sizeMax\": " << Number(SizeMax, 17)
      << ", \"rejectedLast\": " << RejectedLast << ", \"areaCount\": " << AreaCount
      << ", \"areas\": [";
    for (int32_t i = 0; i <= AreaCount; ++i) {
        if (i > 0) o << ", ";
        WriteArea(o, Areas[i].get());
    }
    o << "], \"overflowWarnings\": " << f.OverflowWarnings << ", \"randSeed\": " << RandSeed
      << ", \"tree\": {\"labels\": ";
    Array(o, PartNodes, [&](const TPartNode* n) { o << n->label; });
    o << ", \"listLengths\": ";
    Array(o, PartNodes, [&](const TPartNode* n) { o << PartListLength(*n); });
    o << "}}\n";
    return o.str();
}

} // namespace

void WriteDump(const TfrmMain& form, const std::string& dir) {
    const std::filesystem::path d(dir);
    std::error_code ec;
    std::filesystem::create_directories(d, ec);
    if (ec) throw std::runtime_error("Cannot create the folder \"" + dir + "\": " + ec.message());
    WriteFile(d / "planes.bin", std::string(reinterpret_cast<const char*>(FeaturePlanes[0]),
                                            sizeof FeaturePlanes[0]));
    WriteFile(d / "image1.ppm", Ppm(form.Image1Picture));
    WriteFile(d / "paintbox1.ppm", Ppm(form.PaintBox1Bitmap));
    WriteFile(d / "paintbox2.ppm", Ppm(form.PaintBox2Bitmap));
    WriteFile(d / "state.json", StateJson(form));
}
