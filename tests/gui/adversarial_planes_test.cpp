// The area analysis on hostile planes, analysed "by plane" through the real
// window: one pass from a plane-list click, then the whole threshold scan.
// Every pass must end, keep the documented areas and warn as documented; the
// scan must end on a threshold. No plane reaches the cap of 16000 kept
// areas: kept areas have at least 16 pixels, so at most 4032 fit (see
// Pass.MostAreasAPictureCanHoldStayWellBelowTheCap); the nearest case here
// is the block checkerboard, on which the area probe must still work.
#include "window_under_test.h"

#include "areas/area_tables.h"
#include "areas/fill.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

#include <functional>

namespace {

constexpr int Analysed = 7;

using TPlaneMaker = std::function<uint8_t(int x, int y)>;

// A one-pixel-wide path winding inwards on a pitch of 3 (two rows or
// columns of 255 between its turns), starting at (2, 2).
void Spiral(TPlane& p) {
    std::memset(p, 255, sizeof(TPlane));
    int x0 = 2, y0 = 2, x1 = 253, y1 = 253;
    while (x0 + 3 <= x1 && y0 + 3 <= y1) {
        for (int x = x0; x <= x1; ++x) p[y0][x] = 10;     // right along the top
        for (int y = y0; y <= y1; ++y) p[y][x1] = 10;     // down the right side
        for (int x = x0; x <= x1; ++x) p[y1][x] = 10;     // left along the bottom
        for (int y = y0 + 3; y <= y1; ++y) p[y][x0] = 10; // up the left side
        p[y0 + 3][x0 + 1] = p[y0 + 3][x0 + 2] = 10;       // into the next turn
        x0 += 3, y0 += 3, x1 -= 3, y1 -= 3;
    }
}

struct TCase {
    const char* name;
    std::function<void(TPlane&)> make;
    int areaCount;    // after the automatic pass
    int rejectedLast; // after the automatic pass
    int warnings;     // segment-list warnings of the automatic pass
};

void PrintTo(const TCase& c, std::ostream* out) {
    *out << c.name;
}

void Each(TPlane& p, const TPlaneMaker& v) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) p[y][x] = v(x, y);
}

const TCase Cases[] = {
    {"all 0", [](TPlane& p) { Each(p, [](int, int) { return 0; }); }, -1, -1, 0},
    {"all 254", [](TPlane& p) { Each(p, [](int, int) { return 254; }); }, -1, -1, 0},
    {"all 255", [](TPlane& p) { Each(p, [](int, int) { return 255; }); }, -1, -1, 0},
    {"checkerboard 0 and 255",
     [](TPlane& p) { Each(p, [](int x, int y) { return (x + y) % 2 ? 255 : 0; }); }, -1, -1, 0},
    // 32258 single pixels: each is grown and handed back.
    {"checkerboard 1 and 254",
     [](TPlane& p) { Each(p, [](int x, int y) { return (x + y) % 2 ? 254 : 1; }); }, -1, -1, 0},
    // The comb of the fill test: its first fill overflows the segment list,
    // keeping the top part; the 127 teeth it never reached are areas of their
    // own.
    {"comb",
     [](TPlane& p) {
         Each(p, [](int x, int y) {
             const bool free =
                 (y == 1 || y == 129 || (x % 2 == 1 && y > 1)) && x >= 1 && x <= 254 && y <= 254;
             return free ? 5 : 255;
         });
     },
     127, -1, 1},
    {"4 x 4 block checkerboard",
     [](TPlane& p) {
         Each(p, [](int x, int y) { return ((x - 1) / 4 + (y - 1) / 4) % 2 ? 200 : 10; });
     },
     63 * 63 - 1, -1, 0},
    {"spiral", Spiral, 0, -1, 0},
};

struct AdversarialPlanes : TWindowUnderTest, ::testing::WithParamInterface<TCase> {};

TEST_P(AdversarialPlanes, PassAndScanEndWithTheDocumentedAreas) {
    const TCase& c = GetParam();
    Open();
    ctl.cbByPriznak->setChecked(true);
    ctl.ListBox1->setCurrentRow(Analysed); // selected from code: no handler runs
    c.make(Plane(Analysed));
    const std::vector<uint8_t> plane(&Plane(Analysed)[0][0], &Plane(Analysed)[0][0] + 65536);

    passes = 0;
    form->ListBox1Click();
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(AreaCount, c.areaCount);
    EXPECT_EQ(RejectedLast, c.rejectedLast);
    EXPECT_EQ(ctl.Label1->text(), QString::number(c.rejectedLast));
    EXPECT_EQ(S.Areas.OverflowWarnings, c.warnings);
    for (int i = 0; i <= AreaCount; ++i)
        if (Areas[i]) {
            EXPECT_GT(Areas[i]->contourHigh, 1) << "area " << i;
        }
    if (std::string(c.name) == "spiral") {
        ASSERT_NE(Areas[0], nullptr);
        EXPECT_GT(Areas[0]->contourHigh, 16001) << "the outline is recorded whole";
    }

    // The scan: 31 coarse passes and up to 17 fine ones, each warning at most
    // once, then back to the best threshold.
    passes = 0;
    const int warningsBefore = S.Areas.OverflowWarnings;
    form->ScanClick();
    EXPECT_GE(passes, 31);
    EXPECT_LE(passes, 31 + 17 + 1);
    EXPECT_EQ(S.Areas.OverflowWarnings - warningsBefore, c.warnings > 0 ? passes : 0);
    EXPECT_GE(ctl.ScrollBar2->value(), 1);
    EXPECT_LE(ctl.ScrollBar2->value(), 254);
    EXPECT_EQ(std::vector<uint8_t>(&Plane(Analysed)[0][0], &Plane(Analysed)[0][0] + 65536), plane)
        << "the analysed plane is only read";
    EXPECT_TRUE(boxes.empty() || c.warnings > 0);
}

INSTANTIATE_TEST_SUITE_P(Planes, AdversarialPlanes, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// The probe on the most areas a plane holds: the area under the pointer is
// picked and drawn light green, every other one in its likeness colour.
using ManyAreas = TWindowUnderTest;

TEST_F(ManyAreas, TheProbePicksTheAreaUnderThePointer) {
    Open();
    ctl.cbByPriznak->setChecked(true);
    ctl.ListBox1->setCurrentRow(Analysed);
    Each(Plane(Analysed), [](int x, int y) { return ((x - 1) / 4 + (y - 1) / 4) % 2 ? 200 : 10; });
    form->ListBox1Click();
    ASSERT_EQ(AreaCount, 63 * 63 - 1);
    for (const auto& [x, y] : {std::pair{2, 2}, {130, 66}, {250, 250}}) {
        form->PaintBox2MouseMove(x, y);
        // The block under (x, y) holds the pointer's pixel, and is picked.
        EXPECT_EQ(GetPixel(PaintBox2Bitmap(), x, y), (TRGB{128, 255, 128})) << x << "," << y;
    }
}

} // namespace
