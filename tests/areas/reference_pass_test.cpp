// The area pass against the reference dumps: each scenario's passes are
// replayed in order on the dumped planes (the tree keeps its labels from pass
// to pass), and after each dumped pass every table the pass leaves is compared
// with state.json, the planes it writes with planes.bin and its drawing with
// paintbox2.ppm.
#include "area_test_support.h"
#include "areas/area_pass.h"
#include "json_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <concepts>
#include <fstream>
#include <sstream>

using namespace area_test;

namespace {

// The window's side of the passes: ScrollBar2's position and the handlers
// that load a picture or move the scroll bar.
struct TWindowModel {
    TSeamRecorder seam;
    int position = 100; // ScrollBar2 at start-up

    void Pass(int level) {
        FindAreas(level);
        position = seam.scrollBar2;
    }
    // A picture is chosen: scores cleared, planes computed, pass with -1.
    void Load(const std::string& dump) {
        std::fill(std::begin(LevelScores), std::end(LevelScores), 0.0);
        LoadPlanes(dump);
        Pass(-1);
    }
    // Setting the scroll bar runs its handler only on a real change.
    void ScrollTo(int v) {
        if (v == position) return;
        position = v;
        Pass(v);
    }
    // The threshold scan: coarse sweep, fine sweep around the best, result.
    void Scan() {
        std::fill(std::begin(LevelScores), std::end(LevelScores), 0.0);
        const auto best = [](int lo, int hi, int step) {
            double value = 0.0;
            int result = 2;
            for (int t = lo; t <= hi; t += step)
                if (LevelScores[t] > value) {
                    value = LevelScores[t];
                    result = t;
                }
            return result;
        };
        for (int k = 1; k <= 31; ++k) ScrollTo(8 * k);
        const int coarse = best(8, 248, 8);
        const int lo = std::max(1, coarse - 8), hi = std::min(254, coarse + 8);
        for (int t = lo; t <= hi; ++t) ScrollTo(t);
        ScrollTo(best(lo, hi, 1));
    }
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Collects the differences, the first ones in full.
struct TDiffs {
    std::vector<std::string> lines;
    int count = 0;
    template <typename T> void Note(const std::string& what, const T& got, const T& want) {
        if (++count > 25) return;
        std::ostringstream s;
        s.precision(17);
        s << what << ": got " << got << ", reference " << want;
        lines.push_back(s.str());
    }
    template <std::integral A, std::integral B> void Check(const std::string& what, A got, B want) {
        if ((long long)got != (long long)want) Note(what, (long long)got, (long long)want);
    }
    void Check(const std::string& what, double got, double want) {
        if (got != want) Note(what, got, want);
    }
    void Check(const std::string& what, const std::string& got, const std::string& want) {
        if (got != want) Note(what, got, want);
    }
    std::string Report() const {
        std::string r = std::to_string(count) + " differences\n";
        for (const auto& l : lines) r += "  " + l + "\n";
        return r;
    }
};

void CompareArea(TDiffs& d, int i, const TArea& a, const TJson& r) {
    const std::string at = "area " + std::to_string(i) + " ";
    d.Check(at + "meanX", a.meanX, r["meanX"].Int());
    d.Check(at + "meanY", a.meanY, r["meanY"].Int());
    d.Check(at + "minX", a.minX, r["minX"].Int());
    d.Check(at + "minXRow", a.minXRow, r["minXRow"].Int());
    d.Check(at + "label", a.label, r["label"].Int());
    d.Check(at + "contourHigh", a.contourHigh, r["contourHigh"].Int());
    d.Check(at + "radiusSum", double(a.radiusSum), double(r["radiusSum"].Float()));
    for (int k = 0; k < 8; ++k)
        d.Check(at + "shape " + std::to_string(k), int(a.shape[k]), r["shape"][size_t(k)].Int());
    const TJson& runs = r["runs"];
    d.Check(at + "run count", (long long)a.runs.size(), (long long)runs.size());
    for (size_t j = 0; j < std::min(a.runs.size(), runs.size()); ++j) {
        const TLineSeg& s = a.runs[j];
        const std::string run = at + "run " + std::to_string(j);
        d.Check(run + " x", int(s.x), runs[j][0].Int());
        d.Check(run + " y", int(s.y), runs[j][1].Int());
        d.Check(run + " len", int(s.len), runs[j][2].Int());
    }
    const TJson& pts = r["contour"];
    d.Check(at + "contour count", (long long)a.contour.size(), (long long)pts.size());
    for (size_t j = 0; j < std::min(a.contour.size(), pts.size()); ++j) {
        const std::string pt = at + "point " + std::to_string(j);
        d.Check(pt + " x", int(a.contour[j].x), pts[j][0].Int());
        d.Check(pt + " y", int(a.contour[j].y), pts[j][1].Int());
    }
}

// Everything the last pass left, against the dump `dump`.
std::string CompareWithDump(const std::string& dump, const TWindowModel& w) {
    TDiffs d;
    const TJson st = ParseJson(ReadText(ReferenceDir() + "/" + dump + "/state.json"));
    d.Check("level", int(Level), st["level"].Int());
    d.Check("sizeSum", SizeSum, st["sizeSum"].Double());
    d.Check("sizeMax", SizeMax, st["sizeMax"].Double());
    d.Check("rejectedLast", RejectedLast, st["rejectedLast"].Int());
    d.Check("label1", w.seam.label1, st["label1"].text);
    d.Check("scrollBar2", w.position, st["scrollBar2"].Int());
    d.Check("overflow warnings", w.seam.warnings, st["overflowWarnings"].Int());
    for (int t = 0; t < 256; ++t)
        d.Check("levelScores " + std::to_string(t), LevelScores[t],
                st["levelScores"][size_t(t)].Double());

    const TJson& areas = st["areas"];
    d.Check("areaCount", AreaCount, st["areaCount"].Int());
    d.Check("area entries", AreaCount + 1LL, (long long)areas.size());
    for (int i = 0; i <= AreaCount && size_t(i) < areas.size(); ++i) {
        const TArea* a = Areas[i].get();
        d.Check("area " + std::to_string(i) + " kept", (long long)(a != nullptr),
                (long long)!areas[size_t(i)].IsNull());
        if (a && !areas[size_t(i)].IsNull()) CompareArea(d, i, *a, areas[size_t(i)]);
    }

    const TJson& labels = st["tree"]["labels"];
    const TJson& lengths = st["tree"]["listLengths"];
    d.Check("tree nodes", (long long)PartNodes.size(), (long long)labels.size());
    for (size_t n = 0; n < std::min(PartNodes.size(), labels.size()); ++n) {
        d.Check("tree label " + std::to_string(n), PartNodes[n]->label, labels[n].Int());
        d.Check("tree list " + std::to_string(n), PartListLength(*PartNodes[n]), lengths[n].Int());
    }

    const std::vector<uint8_t> planes = ReadGz(ReferenceDir() + "/" + dump + "/planes.bin.gz");
    for (int p : {int(aArH), int(aGr)})
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const size_t i = (size_t(p) * 256 + size_t(y)) * 256 + size_t(x);
                if (Plane(p)[y][x] != planes[i])
                    d.Check("plane " + std::to_string(p) + " (" + std::to_string(x) + "," +
                                std::to_string(y) + ")",
                            int(Plane(p)[y][x]), int(planes[i]));
            }

    // PaintBox2 holds the copy of ViewBitmap; the dumps used button face 239.
    const std::vector<uint8_t> ppm = ReadGz(ReferenceDir() + "/" + dump + "/paintbox2.ppm.gz");
    const std::string head = "P6\n256 256\n255\n";
    if (ppm.size() != head.size() + 256 * 256 * 3 ||
        !std::equal(head.begin(), head.end(), ppm.begin()))
        throw std::runtime_error("unexpected paintbox2.ppm layout in " + dump);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB got = GetPixel(ViewBitmap, x, y);
            const uint8_t* p = &ppm[head.size() + (size_t(y) * 256 + size_t(x)) * 3];
            if (got != TRGB{p[0], p[1], p[2]})
                d.Check("view (" + std::to_string(x) + "," + std::to_string(y) + ")",
                        (got.r << 16) | (got.g << 8) | got.b, (p[0] << 16) | (p[1] << 8) | p[2]);
        }
    return d.count == 0 ? std::string() : d.Report();
}

class ReferencePass : public ::testing::Test {
  protected:
    void SetUp() override {
        // The scenarios start from a fresh program: no labels in the tree.
        ResetTreeAndAreas();
        std::memset(FeaturePlanes, 0, sizeof FeaturePlanes);
    }
};

TEST_F(ReferencePass, ShapesAutomaticThenManualThreshold) {
    TWindowModel w;
    w.Load("one/d1");
    EXPECT_EQ(CompareWithDump("one/d1", w), "");
    w.ScrollTo(150);
    EXPECT_EQ(CompareWithDump("one/d2", w), "");
}

TEST_F(ReferencePass, TextureScanThenSmallPictureThenChosenPlane) {
    TWindowModel w;
    w.Load("two/d1");
    w.Scan();
    EXPECT_EQ(CompareWithDump("two/d1", w), "");
    w.Load("two/d2");
    EXPECT_EQ(CompareWithDump("two/d2", w), "");
    // check byplane on, then a click on entry 11 of the plane list.
    w.seam.byPlane = true;
    w.seam.selected = 11;
    w.Pass(-1);
    EXPECT_EQ(CompareWithDump("two/d3", w), "");
}

} // namespace
