// The results in the picture's own terms: the footprint a placement gives,
// each area's share inside it and its place in the picture's pixels, worked
// out by hand for a picture smaller than the grid, a part near each edge and
// a shrink with a remainder; and the same through a session, areas.csv and
// analysis.json.
#include "session/area_columns.h"
#include "session/export.h"
#include "session/footprint.h"
#include "support/json.h"
#include "support/picture_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

TPictureInfo Picture(int w, int h, TPlacement asked) {
    return {"p.png", {w, h}, ResolvePlacement(asked, w, h)};
}

TArea AreaOf(std::vector<TLineSeg> runs, int meanX, int meanY) {
    TArea a;
    a.label = 5;
    a.meanX = meanX;
    a.meanY = meanY;
    a.runs = std::move(runs);
    return a;
}

// The appended columns as areas.csv writes them.
std::vector<std::string> PictureTerms(const TArea& a, const TFootprint& f) {
    const TAreaFigures figures = Figures(a, f);
    std::vector<std::string> out;
    for (int c = InsideColumn; c < AreaColumnCount; ++c) out.push_back(AreaColumnText(figures, c));
    return out;
}

using Terms = std::vector<std::string>;

} // namespace

TEST(PictureTerms, APictureSmallerThanTheGridOwnsOnlyItsCorner) {
    const TFootprint f = FootprintOf(Picture(10, 6, {}));
    EXPECT_EQ(f.Width, 10);
    EXPECT_EQ(f.Height, 6);
    // Rows 5 and 6, columns 8..11: two of the four pixels of row 5 are on it,
    // none of row 6; a run of length 0 counts for nothing.
    const TArea straddling = AreaOf({{8, 5, 4}, {8, 6, 4}, {0, 0, 0}}, 9, 5);
    EXPECT_EQ(PictureTerms(straddling, f), (Terms{"0.250", "9", "5", "8", "5", "11", "6", "8"}));
    EXPECT_EQ(PictureTerms(AreaOf({{0, 0, 10}, {0, 5, 10}}, 4, 2), f)[0], "1.000");
    EXPECT_EQ(PictureTerms(AreaOf({{10, 0, 3}, {0, 6, 200}}, 50, 4), f)[0], "0.000");
    // One of three: rounded to three decimals, and sorted by that figure.
    const TAreaFigures third = Figures(AreaOf({{9, 0, 3}, {0, 1, 0}, {9, 1, 0}}, 9, 0), f);
    EXPECT_EQ(AreaColumnText(third, InsideColumn), "0.333");
    EXPECT_EQ(AreaColumnValue(third, InsideColumn), 0.333);
    // No picture yet: nothing is inside, and grid and picture coincide.
    EXPECT_EQ(PictureTerms(straddling, FootprintOf({})),
              (Terms{"0.000", "9", "5", "8", "5", "11", "6", "8"}));
}

TEST(PictureTerms, APartNearEachEdgeAddsItsClampedCorner) {
    const TArea a = AreaOf({{0, 0, 200}, {200, 0, 56}, {100, 255, 1}}, 128, 3);
    const struct {
        TPlacement asked;
        Terms expected;
    } cases[] = {
        // 1000 x 800: the corner is clamped to 744, 544 at most.
        {{TPlacement::Part, 5000, 10}, {"1.000", "872", "13", "744", "10", "999", "265", "257"}},
        {{TPlacement::Part, 0, 9999}, {"1.000", "128", "547", "0", "544", "255", "799", "257"}},
        {{TPlacement::Part, -40, 300}, {"1.000", "128", "303", "0", "300", "255", "555", "257"}},
        {{TPlacement::Part, 300, -7}, {"1.000", "428", "3", "300", "0", "555", "255", "257"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked.X);
        const TFootprint f = FootprintOf(Picture(1000, 800, c.asked));
        EXPECT_EQ(f.Width, 256);
        EXPECT_EQ(f.Height, 256);
        EXPECT_EQ(PictureTerms(a, f), c.expected);
    }
    // A part of a picture narrower than the grid starts at column 0 and
    // leaves the columns right of it off the picture.
    const TFootprint narrow = FootprintOf(Picture(200, 900, {TPlacement::Part, 50, 600}));
    EXPECT_EQ(narrow.Width, 200);
    EXPECT_EQ(PictureTerms(a, narrow),
              (Terms{"0.782", "128", "603", "0", "600", "255", "855", "257"}));
}

TEST(PictureTerms, AShrinkMapsEachGridPixelToItsBlocksCentre) {
    // 1033 x 302: k = 5 (ceil(1033 / 256) = 5), 206 x 60 land; the last
    // 3 columns and 2 rows of the picture fill no block.
    const TFootprint f = FootprintOf(Picture(1033, 302, {TPlacement::Fit}));
    ASSERT_EQ(f.Placement.K, 5);
    EXPECT_EQ(f.Width, 206);
    EXPECT_EQ(f.Height, 60);
    // Columns 204..207 of rows 59 and 60: two of eight on the picture;
    // column 204 stands for picture columns 1020..1024, centre 1022.
    const TArea edge = AreaOf({{204, 59, 4}, {204, 60, 4}}, 205, 59);
    EXPECT_EQ(PictureTerms(edge, f),
              (Terms{"0.250", "1027", "297", "1022", "297", "1037", "302", "200"}));
    // An even factor puts the centres between two picture pixels: 1000 x 10
    // is shrunk by 4 to 250 x 2, grid column 3 standing for 12..15.
    const TFootprint even = FootprintOf(Picture(1000, 10, {TPlacement::Fit}));
    ASSERT_EQ(even.Placement.K, 4);
    EXPECT_EQ(even.Height, 2);
    EXPECT_EQ(PictureTerms(AreaOf({{3, 1, 2}}, 3, 1), even),
              (Terms{"1.000", "13.5", "5.5", "13.5", "5.5", "17.5", "5.5", "32"}));
}

TEST(PictureTerms, OnlyATopLeftPlacementOfALargerPictureIsPartial) {
    EXPECT_TRUE(OnlyPartAnalysed(Picture(4000, 3000, {})));
    EXPECT_EQ(PartialAnalysisMessage(Picture(4000, 3000, {})),
              "only the top-left 256 x 256 of 4000 x 3000 was analysed; see --fit / --part");
    EXPECT_EQ(PartialAnalysisMessage(Picture(640, 200, {})),
              "only the top-left 256 x 200 of 640 x 200 was analysed; see --fit / --part");
    EXPECT_TRUE(OnlyPartAnalysed(Picture(257, 10, {})));
    EXPECT_FALSE(OnlyPartAnalysed(Picture(256, 256, {})));
    EXPECT_FALSE(OnlyPartAnalysed(Picture(4000, 3000, {TPlacement::Fit})));
    EXPECT_FALSE(OnlyPartAnalysed(Picture(4000, 3000, {TPlacement::Part, 9, 9})));
    EXPECT_FALSE(OnlyPartAnalysed({}));
}

// A 100 x 100 picture on a grid that earlier pictures left squares on: every area's share agrees
// with its pixels counted in the label map, areas.csv and analysis.json say the same, and the
// table's columns are the csv's.
TEST(PictureTerms, ASessionWritesTheSameSharesEverywhere) {
    const std::unique_ptr<TSession> session = NewSession(1);
    TSession& s = *session;
    // What an earlier picture left: dark and light squares.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t v = (x / 40 + y / 40) % 2 ? 30 : 220;
            SetPixel(s.Grid, x, y, {v, v, v});
        }
    LoadPicture(s, std::string(TESSA_SOURCE_DIR) + "/samples/rings.bmp"); // 100 x 100
    ComputePlanes(s);
    TPassObserver quiet;
    FindAreas(s, {}, quiet);
    const TFootprint f = FootprintOf(s.Picture);
    ASSERT_EQ(f.Width, 100);

    const std::string csv = AreasCsv(s.Areas, f);
    const TJson json = TJsonReader::Parse(AnalysisJson(s, {}));
    EXPECT_EQ(json["footprint"]["width"].n, 100);
    EXPECT_EQ(json["footprint"]["height"].n, 100);
    EXPECT_EQ(json["partial_message"].kind, TJson::Null);
    const std::vector<const TArea*> kept = KeptAreas(s.Areas);
    ASSERT_FALSE(kept.empty());
    ASSERT_EQ(json["area_list"].a.size(), kept.size());
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    int inPicture = 0;
    for (size_t i = 0; i < kept.size(); ++i) {
        const TArea& a = *kept[i];
        int total = 0, inside = 0;
        for (const TLineSeg& run : a.runs)
            for (int x = run.x; x < run.x + run.len; ++x) {
                ++total;
                inside += x < 100 && run.y < 100;
            }
        const double share = total ? std::round(inside * 1000.0 / total) / 1000 : 0;
        inPicture += share > 0;
        std::getline(lines, line);
        std::vector<std::string> fields;
        std::istringstream row(line.substr(0, line.size() - 1));
        for (std::string v; std::getline(row, v, ',');) fields.push_back(v);
        ASSERT_EQ(fields.size(), size_t(AreaColumnCount));
        EXPECT_DOUBLE_EQ(std::stod(fields[InsideColumn]), share) << a.label;
        const TJson& item = json["area_list"].a[i];
        EXPECT_EQ(item["label"].n, a.label);
        EXPECT_DOUBLE_EQ(item["inside"].n, share);
        EXPECT_EQ(item["picture_pixels"].n, total);
        EXPECT_EQ(item.keys.size(), 9u);
    }
    EXPECT_EQ(json["areas_in_picture"].n, inPicture);
    EXPECT_LT(inPicture, int(kept.size())) << "the squares around the picture hold areas too";
}
