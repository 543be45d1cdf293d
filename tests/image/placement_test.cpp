// The placements of a picture on the grid: the arithmetic of the part and the
// shrink factor, and what lands from BMP and JPEG files, against pixels
// computed here from the whole picture.
#include "image/intake.h"
#include "image/placement.h"
#include "support/jpeg_twin.h"
#include "support/picture_files.h"

#include <gtest/gtest.h>

using namespace picture_files;

namespace {

TPlacement Part(int x, int y) {
    return {TPlacement::Part, x, y, 1};
}
const TPlacement Fit{TPlacement::Fit, 0, 0, 1};

TEST(Placement, ClampsThePartAndFindsTheSmallestShrinkFactor) {
    EXPECT_EQ(ResolvePlacement(Part(100, 50), 1000, 700), Part(100, 50));
    EXPECT_EQ(ResolvePlacement(Part(900, 650), 1000, 700), Part(744, 444)) << "right and bottom";
    EXPECT_EQ(ResolvePlacement(Part(-5, 3), 1000, 700), Part(0, 3));
    EXPECT_EQ(ResolvePlacement(Part(40, 40), 200, 301), Part(0, 40)) << "a short side starts at 0";
    EXPECT_EQ(ResolvePlacement(Part(40, 40), 256, 256), Part(0, 0));
    // k at the boundaries: 256 fits whole, 257 needs 2, 512 still 2, 513 needs 3.
    for (const auto& [side, k] : {std::pair{1, 1},
                                  {256, 1},
                                  {257, 2},
                                  {512, 2},
                                  {513, 3},
                                  {4000, 16},
                                  {4096, 16},
                                  {4097, 17}}) {
        EXPECT_EQ(ResolvePlacement(Fit, side, 10).K, k) << side;
        EXPECT_EQ(ResolvePlacement(Fit, 10, side).K, k) << side;
    }
    const TPlacement k16 = ResolvePlacement(Fit, 4000, 3000);
    EXPECT_EQ(PlacedWidth(k16, 4000), 250);
    EXPECT_EQ(PlacedHeight(k16, 3000), 187);
    EXPECT_EQ(PlacedWidth(ResolvePlacement(Fit, 1, 1000), 1), 0) << "narrower than one block";
    EXPECT_EQ(DescribePlacement(k16), "shrunk 1/16");
    EXPECT_EQ(DescribePlacement(Part(12, 34)), "part at 12,34");
    EXPECT_EQ(DescribePlacement({}), "top-left");
}

TEST(Placement, ReadsTheSameInEachFormOfItsText) {
    const TPlacement k16 = ResolvePlacement({TPlacement::Fit}, 4000, 3000);
    const TPlacement part = Part(12, 34);
    struct TCase {
        TPlacementForm form;
        const char *topLeft, *part, *fit;
    };
    for (const TCase& c :
         {TCase{TPlacementForm::Title, "top-left", "part at 12,34", "shrunk 1/16"},
          TCase{TPlacementForm::Column, "top-left", "part 12 34", "fit 16"},
          TCase{TPlacementForm::Json, "{\"kind\": \"top-left\"}",
                "{\"kind\": \"part\", \"x\": 12, \"y\": 34}", "{\"kind\": \"fit\", \"k\": 16}"},
          TCase{TPlacementForm::Asked, "", "part at 12,34", "fit"}}) {
        EXPECT_EQ(PlacementText({}, c.form), c.topLeft);
        EXPECT_EQ(PlacementText(part, c.form), c.part);
        EXPECT_EQ(PlacementText(k16, c.form), c.fit);
    }
}

// The rounded mean of the k x k block at (bx, by), per channel, from the
// picture's pixels.
template <typename F> TRGB BlockMean(F pixel, int k, int bx, int by) {
    int sum[3] = {};
    for (int y = by * k; y < (by + 1) * k; ++y)
        for (int x = bx * k; x < (bx + 1) * k; ++x) {
            const TRGB c = pixel(x, y);
            sum[0] += c.r;
            sum[1] += c.g;
            sum[2] += c.b;
        }
    const int area = k * k;
    return {uint8_t((sum[0] + area / 2) / area), uint8_t((sum[1] + area / 2) / area),
            uint8_t((sum[2] + area / 2) / area)};
}

template <typename F>
void ExpectPlaced(const TBitmap& grid, const TPlacement& p, int w, int h, F pixel) {
    const int pw = PlacedWidth(p, w), ph = PlacedHeight(p, h);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB want = x >= pw || y >= ph          ? TRGB{255, 255, 255}
                              : p.Kind == TPlacement::Fit ? BlockMean(pixel, p.K, x, y)
                                                          : pixel(p.X + x, p.Y + y);
            ASSERT_EQ(GetPixel(grid, x, y), want) << x << "," << y;
        }
}

TBitmap WhiteGrid() {
    TBitmap grid;
    CreateBitmap(grid, 256, 256, {255, 255, 255});
    return grid;
}

TEST(Placement, BmpPartsAndShrinksLandAsTheirDefinitionsSay) {
    TTempDir dir;
    for (const auto& [w, h] : {std::pair{601, 333}, std::pair{257, 1030}, std::pair{99, 700}}) {
        const std::string path = dir.Save("p.bmp", PatternBmp24(w, h));
        for (const TPlacement& asked : {Part(250, 90), Part(10000, 10000), Fit}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " " +
                         DescribePlacement(asked));
            TBitmap grid = WhiteGrid();
            TPlacement placed = asked;
            const TPictureSize size = LoadPicture(path, grid, &placed);
            EXPECT_EQ(size.Width, w);
            EXPECT_EQ(placed, ResolvePlacement(asked, w, h));
            ExpectPlaced(grid, placed, w, h, PatternColour);
        }
    }
}

TEST(Placement, ShrinkingRoundsEachMeanHalfUp) {
    TTempDir dir;
    // k = 2: blocks of 0, 0, 0, 1 give 1/4, which rounds to 0; 0, 0, 1, 1 give
    // 1/2, which rounds to 1; 1, 1, 1, 2 give 5/4, which rounds to 1. Blue,
    // a hundred times as much, gives 25, 50 and 125 exactly.
    const auto pixel = [](int x, int y) -> TRGB {
        const int block = x / 2, corner = (y % 2) * 2 + x % 2;
        const uint8_t v = uint8_t(block % 3 == 0   ? corner == 3
                                  : block % 3 == 1 ? corner >= 2
                                                   : 1 + (corner == 3));
        return {v, uint8_t(200 + v), uint8_t(100 * v)};
    };
    const std::string path = dir.Save("r.bmp", [&] {
        TPixels p = MakePixels(300, 4, 3);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 300; ++x) {
                const TRGB c = pixel(x, y);
                uint8_t* q = p.At(x, y);
                q[0] = c.r, q[1] = c.g, q[2] = c.b;
            }
        return EncodeBmp24(p);
    }());
    TBitmap grid = WhiteGrid();
    TPlacement placed = Fit;
    LoadPicture(path, grid, &placed);
    ASSERT_EQ(placed.K, 2);
    EXPECT_EQ(GetPixel(grid, 0, 0), (TRGB{0, 200, 25}));
    EXPECT_EQ(GetPixel(grid, 1, 0), (TRGB{1, 201, 50}));
    EXPECT_EQ(GetPixel(grid, 2, 0), (TRGB{1, 201, 125}));
    ExpectPlaced(grid, placed, 300, 4, pixel);
}

// Pixels of no pattern: the chroma of every column differs from its
// neighbours', so an upsampling that sees other neighbours shows.
TPixels NoisyPixels(int width, int height, int components) {
    TPixels p = MakePixels(width, height, components);
    uint32_t seed = 99;
    for (uint8_t& b : p.Bytes) b = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
    return p;
}

// JPEG decodes only the columns a placement copies (and a margin): every
// corner, at iMCU boundaries and between them, clamped at the right, gives
// the pixels of whole rows, for every sampling.
TEST(Placement, JpegPartsAndShrinksAreThoseOfAFullDecode) {
    TTempDir dir;
    struct TCase {
        int w, h;
        TJpegOptions options;
        bool noisy;
        int components = 3;
    };
    for (const TCase& c : {TCase{700, 530, {90, false, 2, 2, true}, false},
                           TCase{520, 300, {90, true, 1, 1, true}, false},
                           TCase{900, 280, {90, false, 2, 1, true}, true},
                           TCase{611, 290, {90, false, 2, 2, true}, true},
                           TCase{650, 270, {90, false, 1, 1, true}, true, 1}}) {
        const auto [w, h] = std::pair{c.w, c.h};
        const std::vector<uint8_t> jpeg =
            EncodeJpeg(c.noisy ? NoisyPixels(w, h, c.components) : SmoothPixels(w, h, c.components),
                       c.options);
        const std::string path = dir.Save("p.jpg", jpeg);
        const TPixels full = FullDecode(jpeg);
        const auto pixel = [&](int x, int y) { return TwinColour(full, x, y); };
        for (const TPlacement& asked : {Part(300, 200), Part(0, 9999), Part(17, 3), Part(32, 0),
                                        Part(333, 1), Part(9999, 0), TPlacement{}, Fit}) {
            SCOPED_TRACE(std::to_string(w) + " " + DescribePlacement(asked));
            TBitmap grid = WhiteGrid();
            TPlacement placed = asked;
            LoadPicture(path, grid, &placed);
            ExpectPlaced(grid, placed, w, h, pixel);
        }
    }
}

} // namespace
