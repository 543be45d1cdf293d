// Pixels from memory land on the grid as the same pixels read from a file
// do, under every placement, whatever the rows' stride.
#include "image/intake.h"
#include "image/pixel_intake.h"
#include "support/picture_files.h"

#include <gtest/gtest.h>

using namespace picture_files;

namespace {

TBitmap GreyGrid() {
    TBitmap grid;
    CreateBitmap(grid, 256, 256, {17, 34, 51});
    return grid;
}

void ExpectSameGrid(const TBitmap& a, const TBitmap& b) {
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(GetPixel(a, x, y), GetPixel(b, x, y)) << x << "," << y;
}

TEST(PixelIntake, LandsAsTheSamePixelsReadFromAFile) {
    TTempDir dir;
    const TPlacement fit{TPlacement::Fit, 0, 0, 1};
    for (const auto& [w, h] : {std::pair{601, 333}, std::pair{257, 1030}, std::pair{99, 70}}) {
        const TPixels pixels = PatternPixels(w, h);
        const std::string path = dir.Save("p.bmp", EncodeBmp24(pixels));
        for (const TPlacement& asked : {TPlacement{}, TPlacement{TPlacement::Part, 250, 90, 1},
                                        TPlacement{TPlacement::Part, 9000, 9000, 1}, fit}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " " +
                         DescribePlacement(asked));
            TBitmap fromFile = GreyGrid(), fromMemory = GreyGrid();
            TPlacement filePlaced = asked, memoryPlaced = asked;
            LoadPicture(path, fromFile, &filePlaced);
            const TPictureSize size =
                PlacePixels({pixels.Bytes.data(), w, h, w * 3}, fromMemory, &memoryPlaced);
            EXPECT_EQ(size.Width, w);
            EXPECT_EQ(size.Height, h);
            EXPECT_EQ(memoryPlaced, filePlaced);
            ExpectSameGrid(fromMemory, fromFile);
        }
    }
}

TEST(PixelIntake, FollowsTheRowStrideEitherWay) {
    // The picture's rows stored bottom row first, with spare bytes after
    // each: a stride of -(w * 3 + 5) from the last row's start.
    const int w = 300, h = 280, stride = w * 3 + 5;
    const TPixels pixels = PatternPixels(w, h);
    std::vector<uint8_t> flipped(size_t(stride) * size_t(h), 0xEE);
    for (int y = 0; y < h; ++y)
        std::copy(pixels.At(0, y), pixels.At(0, y) + w * 3, &flipped[size_t((h - 1 - y) * stride)]);
    TBitmap plain = GreyGrid(), strided = GreyGrid();
    const TPlacement part{TPlacement::Part, 30, 20, 1};
    TPlacement a = part, b = part;
    PlacePixels({pixels.Bytes.data(), w, h, w * 3}, plain, &a);
    PlacePixels({&flipped[size_t((h - 1) * stride)], w, h, -stride}, strided, &b);
    ExpectSameGrid(strided, plain);
    EXPECT_EQ(GetPixel(plain, 0, 0), PatternColour(30, 20)) << "red, green, blue in that order";
    EXPECT_EQ(GetPixel(plain, 255, 255), PatternColour(285, 275));
}

} // namespace
