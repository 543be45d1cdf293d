// The platform layer of the image subsystem (src/image/bitmap.cpp): bitmaps,
// the halftone reduction, line drawing and clipped drawing.
#include "image/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

namespace {

using TPoints = std::set<std::pair<int, int>>;

// The line rule of replay-format.md, written out independently.
TPoints ReferenceLine(int x0, int y0, int x1, int y1, int w, int h) {
    TPoints out;
    const int dx = std::abs(x1 - x0), sx = x1 - x0 >= 0 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y1 - y0 >= 0 ? 1 : -1;
    int err = dx + dy, x = x0, y = y0;
    for (;;) {
        if (x == x1 && y == y1) break;
        if (x >= 0 && y >= 0 && x < w && y < h) out.insert({x, y});
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return out;
}

const TRGB White{255, 255, 255}, Black{0, 0, 0}, Red{255, 0, 0};

TPoints Painted(const TBitmap& bmp, TRGB colour) {
    TPoints out;
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x)
            if (GetPixel(bmp, x, y) == colour) out.insert({x, y});
    return out;
}

TEST(Bitmap, CreateFillsAndLaysRowsOut) {
    TBitmap b;
    CreateBitmap(b, 5, 3, {1, 2, 3});
    EXPECT_EQ(b.Stride % 4, 0);
    EXPECT_GE(b.Stride, 15);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(b.Rows[size_t(y)], b.Pixels.data() + size_t(y) * b.Stride);
        for (int x = 0; x < 5; ++x) {
            const TRGB want{1, 2, 3};
            EXPECT_EQ(GetPixel(b, x, y), want);
            // Bytes are blue, green, red.
            EXPECT_EQ(b.Rows[size_t(y)][3 * x], 3);
            EXPECT_EQ(b.Rows[size_t(y)][3 * x + 2], 1);
        }
    }
}

TEST(Bitmap, SetPixelOutsideIsSkipped) {
    TBitmap b;
    CreateBitmap(b, 4, 4, White);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 4}, {100, 100}})
        SetPixel(b, x, y, Red);
    EXPECT_TRUE(Painted(b, Red).empty());
    SetPixel(b, 3, 3, Red);
    EXPECT_EQ(Painted(b, Red), (TPoints{{3, 3}}));
}

TEST(Bitmap, LineRuleMatchesBresenhamEndPointNeverPainted) {
    const int lines[][4] = {{0, 0, 5, 2},   {5, 2, 0, 0},     {3, 3, 3, 9}, {3, 9, 3, 3},
                            {1, 7, 8, 7},   {8, 7, 1, 7},     {0, 0, 9, 9}, {9, 0, 0, 9},
                            {2, 1, 4, 8},   {7, 8, 1, 2},     {4, 4, 4, 4}, {-5, -3, 6, 8},
                            {12, 3, -4, 5}, {-3, 20, 20, -3}, {0, 5, 11, 6}};
    for (const auto& l : lines) {
        SCOPED_TRACE(::testing::Message() << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3]);
        TBitmap b;
        CreateBitmap(b, 10, 10, White);
        b.Pen = Red;
        MoveTo(b, l[0], l[1]);
        LineTo(b, l[2], l[3]);
        EXPECT_EQ(Painted(b, Red), ReferenceLine(l[0], l[1], l[2], l[3], 10, 10));
        EXPECT_EQ(b.PenX, l[2]);
        EXPECT_EQ(b.PenY, l[3]);
        // The end point itself stays unpainted (when it is inside).
        if (l[2] >= 0 && l[2] < 10 && l[3] >= 0 && l[3] < 10) {
            EXPECT_EQ(GetPixel(b, l[2], l[3]), White);
        }
    }
}

TEST(Bitmap, LineSpotChecks) {
    TBitmap b;
    CreateBitmap(b, 10, 10, White);
    b.Pen = Black;
    MoveTo(b, 0, 0);
    LineTo(b, 5, 2);
    EXPECT_EQ(Painted(b, Black), (TPoints{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
    // A line to its own start paints nothing.
    TBitmap c;
    CreateBitmap(c, 10, 10, White);
    c.Pen = Black;
    MoveTo(c, 4, 4);
    LineTo(c, 4, 4);
    EXPECT_TRUE(Painted(c, Black).empty());
    // Consecutive LineTo calls continue from the end point, which the next
    // segment paints as its start.
    TBitmap d;
    CreateBitmap(d, 10, 10, White);
    d.Pen = Black;
    MoveTo(d, 1, 1);
    LineTo(d, 4, 1);
    LineTo(d, 4, 3);
    EXPECT_EQ(Painted(d, Black), (TPoints{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}));
}

TEST(Bitmap, DrawBitmapClips) {
    TBitmap src;
    CreateBitmap(src, 4, 3, Red);
    SetPixel(src, 0, 0, Black);
    struct TCase {
        int x, y;
    };
    for (TCase c : {TCase{0, 0},
                    {2, 2},
                    {-2, -1},
                    {8, 8},
                    {-3, 7},
                    {7, -2},
                    {-4, 0},
                    {10, 0},
                    {0, -3},
                    {-10, -10}}) {
        SCOPED_TRACE(::testing::Message() << "at " << c.x << "," << c.y);
        TBitmap dst;
        CreateBitmap(dst, 10, 9, White);
        DrawBitmap(dst, c.x, c.y, src);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 10; ++x) {
                const int sx = x - c.x, sy = y - c.y;
                TRGB want = White;
                if (sx >= 0 && sy >= 0 && sx < 4 && sy < 3) want = GetPixel(src, sx, sy);
                ASSERT_EQ(GetPixel(dst, x, y), want) << x << "," << y;
            }
    }
    // A source larger than the destination is cut at the right and bottom.
    TBitmap big;
    CreateBitmap(big, 300, 280, Black);
    SetPixel(big, 255, 255, Red);
    SetPixel(big, 256, 10, Red);
    TBitmap grid;
    CreateBitmap(grid, 256, 256, White);
    DrawBitmap(grid, 0, 0, big);
    EXPECT_EQ(GetPixel(grid, 255, 255), Red);
    EXPECT_EQ(GetPixel(grid, 255, 10), Black);
    EXPECT_EQ(Painted(grid, White).size(), 0u);
}

TEST(Bitmap, HalftoneKeepsAUniformPictureUniformAtEveryLevel) {
    for (TRGB c : {TRGB{0, 0, 0}, TRGB{255, 255, 255}, TRGB{13, 200, 77}, TRGB{128, 127, 1}}) {
        TBitmap l0, l1, l2, l3;
        CreateBitmap(l0, 256, 256, c);
        CreateBitmap(l1, 48, 48, White);
        CreateBitmap(l2, 8, 8, White);
        CreateBitmap(l3, 1, 1, White);
        HalftoneReduce(l0, l1);
        HalftoneReduce(l1, l2);
        HalftoneReduce(l2, l3);
        EXPECT_EQ(Painted(l1, c).size(), 48u * 48u);
        EXPECT_EQ(Painted(l2, c).size(), 64u);
        EXPECT_EQ(GetPixel(l3, 0, 0), c);
    }
}

TEST(Bitmap, HalftoneHalfBlackHalfWhiteGivesMeanGrey) {
    TBitmap l0, l1, l2, l3;
    CreateBitmap(l0, 256, 256, White);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 128; ++x) SetPixel(l0, x, y, Black);
    CreateBitmap(l1, 48, 48, White);
    CreateBitmap(l2, 8, 8, White);
    CreateBitmap(l3, 1, 1, White);
    HalftoneReduce(l0, l1);
    HalftoneReduce(l1, l2);
    HalftoneReduce(l2, l3);
    const TRGB p = GetPixel(l3, 0, 0);
    EXPECT_TRUE(p.r == 127 || p.r == 128) << int(p.r);
    EXPECT_EQ(p.g, p.r);
    EXPECT_EQ(p.b, p.r);
    // 256 splits into 48 footprints of 5 1/3 columns: column 128 is a border
    // between footprints 23 and 24, so level 1 is black and white halves.
    for (int y = 0; y < 48; ++y) {
        EXPECT_EQ(GetPixel(l1, 23, y), Black);
        EXPECT_EQ(GetPixel(l1, 24, y), White);
    }
}

TEST(Bitmap, HalftoneAveragesByArea) {
    // One white column in black: 256 -> 48 spreads it over the footprints
    // covering it, weighted by overlap. Footprint 0 spans columns 0 .. 5 1/3,
    // footprint 1 spans 5 1/3 .. 10 2/3 (of 16/3 columns each).
    TBitmap l0, l1;
    CreateBitmap(l0, 256, 256, Black);
    for (int y = 0; y < 256; ++y) SetPixel(l0, 2, y, White); // inside footprint 0
    CreateBitmap(l1, 48, 48, White);
    HalftoneReduce(l0, l1);
    EXPECT_EQ(GetPixel(l1, 0, 10).r, 48); // 255 / (16/3) = 47.8
    EXPECT_EQ(GetPixel(l1, 1, 10).r, 0);
    // Column 5 straddles: 1/3 of it in footprint 0, 2/3 in footprint 1.
    CreateBitmap(l0, 256, 256, Black);
    for (int y = 0; y < 256; ++y) SetPixel(l0, 5, y, White);
    HalftoneReduce(l0, l1);
    EXPECT_EQ(GetPixel(l1, 0, 10).r, 16); // 255 * (1/3) / (16/3) = 15.9
    EXPECT_EQ(GetPixel(l1, 1, 10).r, 32); // 255 * (2/3) / (16/3) = 31.9
    EXPECT_EQ(GetPixel(l1, 2, 10).r, 0);
    // An 8 x 8 picture reduced to one pixel is its plain mean, rounded.
    TBitmap s, one;
    CreateBitmap(s, 8, 8, Black);
    for (int i = 0; i < 5; ++i) SetPixel(s, i, 0, {10, 20, 30});
    CreateBitmap(one, 1, 1, White);
    HalftoneReduce(s, one);
    const TRGB want{uint8_t((50 + 32) / 64), uint8_t((100 + 32) / 64), uint8_t((150 + 32) / 64)};
    EXPECT_EQ(GetPixel(one, 0, 0), want);
}

} // namespace
