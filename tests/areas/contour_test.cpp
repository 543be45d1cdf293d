// The contour step on areas grown by the fill: traced points, profile, the
// outline and star drawn into ViewBitmap, keep or release.
#include "areas/contour.h"
#include "support/area_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace area_test;

namespace {

const TRGB Ground{1, 2, 3};

struct Contour : TAreaFixture {
    void SetUp() override {
        PrepareFill();
        FillBitmap(ViewBitmap, Ground);
    }
    // Grows the area from the seed into record 0 with its runs, as the pass does.
    TArea& Grow(int x, int y) {
        EXPECT_TRUE(FillArea(x, y, 0));
        Areas[0]->runs.assign(Lines.e, Lines.e + Lines.s + 1);
        return *Areas[0];
    }
};

TEST_F(Contour, SquareOfSixteenTracesSixPointsAndItsProfile) {
    FillRect(10, 20, 13, 23, 5);
    TArea& a = Grow(10, 20);
    ASSERT_EQ(a.meanX, 11);
    ASSERT_EQ(a.meanY, 21);
    MeasureArea(0);
    ASSERT_NE(Areas[0], nullptr) << "six points: kept";

    const int pts[6][2] = {{10, 20}, {11, 20}, {12, 21}, {11, 21}, {11, 22}, {10, 21}};
    ASSERT_EQ(a.contourHigh, 5);
    ASSERT_EQ(a.contour.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a.contour[i].x, pts[i][0]) << "point " << i;
        EXPECT_EQ(a.contour[i].y, pts[i][1]) << "point " << i;
    }
    EXPECT_EQ(a.radiusSum, 10.0f);
    const uint8_t shape[8] = {57, 0, 36, 0, 25, 108, 72, 0};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(a.shape[k], shape[k]) << "sector " << k;

    // The first outline pixel keeps its ramp colour; the centre is white.
    EXPECT_EQ(GetPixel(ViewBitmap, 10, 20), (TRGB{140, 140, 128}));
    EXPECT_EQ(GetPixel(ViewBitmap, 11, 21), (TRGB{255, 255, 255}));

    // Spokes of sectors 0 and 5: the path of a line to (24, 16) and to
    // (1, 45) in the sector's pen colour, the end point itself not painted.
    struct TSpoke {
        int ex, ey;
        TRGB pen;
    };
    for (const TSpoke& sp : {TSpoke{24, 16, {112, 240, 112}}, TSpoke{1, 45, {112, 160, 202}}}) {
        TBitmap path;
        CreateBitmap(path, 256, 256, {0, 0, 0});
        path.Pen = {255, 255, 255};
        MoveTo(path, 11, 21);
        LineTo(path, sp.ex, sp.ey);
        int painted = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                if (GetPixel(path, x, y) != TRGB{255, 255, 255} ||
                    (std::abs(x - 11) <= 1 && std::abs(y - 21) <= 1))
                    continue; // next to the centre the later spokes paint over it
                ++painted;
                EXPECT_EQ(GetPixel(ViewBitmap, x, y), sp.pen) << x << "," << y;
            }
        EXPECT_GT(painted, 10);
        EXPECT_NE(GetPixel(ViewBitmap, sp.ex, sp.ey), sp.pen) << "end point not painted";
    }

    // Sectors 1, 3 and 7 have no share: nothing in their pen colours.
    for (int k : {1, 3, 7}) {
        const TRGB pen{112, uint8_t(240 - 16 * k), uint8_t(112 + 18 * k)};
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) ASSERT_NE(GetPixel(ViewBitmap, x, y), pen) << k;
    }
    EXPECT_EQ(PartListLength(*Tree.Cells[2][5]), 1) << "entered into the tree";
}

TEST_F(Contour, PartsJoinedOnlyThroughTheStartPixelTraceTheFirstPartOnly) {
    FillRect(10, 16, 13, 19, 5);
    FillRect(10, 21, 13, 24, 5);
    WorkPlane[20][10] = 5;
    TArea& a = Grow(10, 20);
    ASSERT_EQ(a.minX, 10);
    ASSERT_EQ(a.minXRow, 20);
    MeasureArea(0);
    ASSERT_NE(Areas[0], nullptr);
    for (const TContourPt& p : a.contour) EXPECT_LE(p.y, 20) << "the lower block is not walked";
    int low = 0;
    for (const TContourPt& p : a.contour) low += p.y < 20;
    EXPECT_GT(low, 3);
}

TEST_F(Contour, ShortTraceIsReleasedAndNoShareIsTakenOfNothing) {
    // A 2 x 2 block: its centre is its start pixel, the trace records that
    // one point at distance 0 and radiusSum stays 0.
    FillRect(10, 20, 11, 21, 5);
    FillArea(10, 20, 0);
    MeasureArea(0);
    EXPECT_EQ(Areas[0], nullptr);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (x != 10 || y != 20) {
                ASSERT_EQ(GetPixel(ViewBitmap, x, y), Ground) << x << "," << y;
            }
    EXPECT_EQ(GetPixel(ViewBitmap, 10, 20), (TRGB{255, 255, 255}));
    EXPECT_EQ(PartListLength(*Tree.Cells[2][5]), 0) << "not entered into the tree";
}

TEST_F(Contour, LongOutlineIsRecordedWhole) {
    // A one-pixel-wide serpentine: the outline runs along both sides of
    // every stretch, far beyond 16001 points.
    for (int y = 2; y <= 252; y += 2) {
        FillRect(2, y, 252, y, 5);
        const int x = (y / 2) % 2 ? 252 : 2;
        FillRect(x, y + 1, x, y + 1, 5);
    }
    FillArea(2, 2, 0); // too large to be a candidate; traced all the same
    Areas[0]->runs.assign(Lines.e, Lines.e + Lines.s + 1);
    MeasureArea(0);
    ASSERT_NE(Areas[0], nullptr);
    const TArea& a = *Areas[0];
    EXPECT_GT(a.contourHigh, 16001);
    EXPECT_EQ(a.contour.size(), size_t(a.contourHigh) + 1);
    EXPECT_EQ(a.contour.front().x, 2);
    EXPECT_EQ(a.contour.front().y, 2);
    // Whole across the growth of the trace's scratch: a chain of distinct
    // 8-neighbours; and a second trace over the grown scratch gives the same.
    for (size_t i = 1; i < a.contour.size(); ++i)
        ASSERT_EQ(std::max(std::abs(a.contour[i].x - a.contour[i - 1].x),
                           std::abs(a.contour[i].y - a.contour[i - 1].y)),
                  1)
            << "point " << i;
    TArea again = a;
    TraceArea(A, again, A.Outline);
    EXPECT_EQ(again.contourHigh, a.contourHigh);
    EXPECT_TRUE(std::equal(again.contour.begin(), again.contour.end(), a.contour.begin(),
                           [](TContourPt p, TContourPt q) { return p.x == q.x && p.y == q.y; }));
    EXPECT_EQ(again.radiusSum, a.radiusSum);
    EXPECT_TRUE(std::equal(again.shape, again.shape + 8, a.shape));
}

// Invariant: consecutive points of an outline are distinct 8-neighbours, and
// the last one lies within the smoothing lag (4 pixels, plus 1 for the
// truncation) of the first: the outline is closed.
TEST_F(Contour, OutlinesOfRandomBlobsAreClosed) {
    uint32_t s = 777;
    int traced = 0;
    for (int round = 0; round < 40; ++round) {
        PrepareFill();
        for (int y = 1; y < 255; ++y)
            for (int x = 1; x < 255; ++x) {
                s = s * 1664525u + 1013904223u;
                WorkPlane[y][x] = uint8_t(s >> 24);
            }
        Level = 140;
        if (WorkPlane[128][128] >= Level) continue;
        FillArea(128, 128, 0);
        Areas[0]->runs.assign(Lines.e, Lines.e + Lines.s + 1);
        MeasureArea(0);
        if (!Areas[0]) continue;
        const auto& c = Areas[0]->contour;
        for (size_t i = 1; i < c.size(); ++i) {
            const int dx = std::abs(c[i].x - c[i - 1].x), dy = std::abs(c[i].y - c[i - 1].y);
            ASSERT_EQ(std::max(dx, dy), 1) << "round " << round << " point " << i;
        }
        EXPECT_LE(std::max(std::abs(c.back().x - c.front().x), std::abs(c.back().y - c.front().y)),
                  5);
        ++traced;
    }
    EXPECT_GT(traced, 10);
}

} // namespace
