// LoadPicture end to end: which decoder the content chooses, where the picture
// lands on the 256 x 256 grid, and that a file it cannot use leaves the grid
// exactly as it was while the message names the file and the cause.
#include "image/decoders.h"
#include "image/intake.h"
#include "image/picture_error.h"
#include "support/picture_files.h"
#include "support/png_files.h"
#include "support/reference_pictures.h"
#include "support/tiff_files.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace picture_files;

namespace {

TBitmap WhiteGrid() {
    TBitmap grid;
    CreateBitmap(grid, 256, 256);
    return grid;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
    return a.Width == b.Width && a.Height == b.Height && a.Pixels == b.Pixels;
}

// A second pattern, unlike PatternColour, so two pictures can be told apart.
TRGB OtherColour(int x, int y) {
    return {uint8_t(200 - y), uint8_t(x * 2), uint8_t(x + y)};
}

std::vector<uint8_t> OtherBmp(int width, int height) {
    TPixels p = MakePixels(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TRGB c = OtherColour(x, y);
            p.At(x, y)[0] = c.r;
            p.At(x, y)[1] = c.g;
            p.At(x, y)[2] = c.b;
        }
    return EncodeBmp24(p);
}

// The first grid pixel that differs from `expected(x, y)`, or "" if none.
template <class F> std::string FirstDifference(const TBitmap& grid, F expected) {
    for (int y = 0; y < grid.Height; ++y)
        for (int x = 0; x < grid.Width; ++x)
            if (GetPixel(grid, x, y) != expected(x, y))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return "";
}

} // namespace

TEST(LoadPicture, RefusesWhatItCannotUseAndKeepsTheGrid) {
    TTempDir dir;
    const std::vector<uint8_t> jpeg = PatternJpeg(64, 48);

    std::vector<uint8_t> cutInScan = jpeg;
    cutInScan.resize(JpegScanStart(jpeg) + (jpeg.size() - JpegScanStart(jpeg)) / 2);
    const size_t frame = FindJpegMarker(jpeg, 0xC0);
    ASSERT_GT(frame, 0u);
    std::vector<uint8_t> badLength = jpeg; // the frame header claims 3 bytes
    badLength.at(frame + 3) = 3;
    std::vector<uint8_t> twelveBit = jpeg;
    twelveBit.at(frame + 4) = 12;
    std::vector<uint8_t> baselineClaim = jpeg;
    PatchJpegSize(baselineClaim, 65500, 65500);
    TJpegOptions progressive;
    progressive.Progressive = true;
    std::vector<uint8_t> progressiveClaim = PatternJpeg(64, 48, progressive);
    PatchJpegSize(progressiveClaim, 65500, 65500);
    std::vector<uint8_t> cutBmp = PatternBmp24(64, 48);
    cutBmp.resize(cutBmp.size() / 2);
    std::vector<uint8_t> headerOnly = PatternBmp24(64, 48);
    headerOnly.resize(30);
    std::vector<uint8_t> cutRle = RleBmp(64, 48, 8);
    cutRle.resize(cutRle.size() / 2);
    std::vector<uint8_t> hugeBmp = PatternBmp24(4, 4);
    SetLE(hugeBmp, 18, 100000);
    SetLE(hugeBmp, 22, 100000);
    std::vector<uint8_t> twoBits = IndexedBmp(64, 48, 1, false);
    twoBits[28] = 2;
    std::vector<uint8_t> jpegInside = PatternBmp24(64, 48);
    SetLE(jpegInside, 30, 4); // compression 4: a JPEG stream inside the BMP
    std::vector<uint8_t> badInfoSize = PatternBmp24(64, 48);
    SetLE(badInfoSize, 14, 7);
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', '\n'};
    std::filesystem::create_directory(dir.File("folder.jpg"));
    std::filesystem::create_directory(dir.File("folder.bmp"));

    struct TCase {
        std::string path;
        const char* cause;
    };
    const std::vector<TCase> cases = {
        {dir.File("missing.jpg"), "the file does not exist"},
        {dir.File("missing.bmp"), "the file does not exist"},
        {dir.File("folder.jpg"), "it is a folder"},
        {dir.File("folder.bmp"), "it is a folder"},
        {dir.Save("empty.jpg", {}), "the file is empty"},
        {dir.Save("empty.bmp", {}), "the file is empty"},
        {dir.Save("cut.jpg", cutInScan), "the file ends early; it may be incomplete"},
        {dir.Save("soi.jpg", {0xFF, 0xD8}), "the file ends early"},
        {dir.Save("length.jpg", badLength), "the picture data is damaged"},
        {dir.Save("twelve.jpg", twelveBit), "this kind of JPEG picture is not supported"},
        {dir.Save("baseline.jpg", baselineClaim),
         "the picture data ends before the picture is complete"},
        {dir.Save("progressive.jpg", progressiveClaim),
         "65500 x 65500 pixels, and decoding it would need more than 1 GiB of memory"},
        {dir.Save("png.jpg", png), "the file ends early"}, // read as the PNG it starts as
        {dir.Save("text.jpg", text), "it is not a JPEG picture"},
        {dir.Save("gif.jpg", {'G', 'I', 'F', '8', '7', 'a', 1, 0}),
         "it holds a GIF picture, not a JPEG one"},
        {dir.Save("cut.bmp", cutBmp), "the file ends early; it may be incomplete"},
        {dir.Save("header.bmp", headerOnly), "the file ends early"},
        {dir.Save("cutrle.bmp", cutRle), "the file ends early"},
        {dir.Save("huge.bmp", hugeBmp), "100000 x 100000 pixels, and decoding it would need more"},
        {dir.Save("twobits.bmp", twoBits), "this kind of BMP picture is not supported"},
        {dir.Save("jpeginside.bmp", jpegInside), "this kind of BMP picture is not supported"},
        {dir.Save("infosize.bmp", badInfoSize), "this kind of BMP picture is not supported"},
        {dir.Save("png.bmp", png), "the file ends early"},
        {dir.Save("webp.bmp", {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'E', 'B', 'P'}),
         "it holds a WebP picture, not a BMP one"},
        {dir.Save("text.bmp", text), "it is not a BMP picture"},
        {dir.Save("text.tiff", text), "it is not a TIFF picture"},
    };
    TBitmap grid = WhiteGrid();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) SetPixel(grid, x, y, OtherColour(x, y));
    const std::vector<uint8_t> before = grid.Pixels;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            LoadPicture(c.path, grid);
            ADD_FAILURE() << "no error";
        } catch (const TPictureError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot read \"" + c.path + "\": ", 0), 0u) << message;
            EXPECT_NE(message.find(c.cause), std::string::npos) << message;
        }
        ASSERT_EQ(grid.Pixels, before) << "the grid changed";
    }
    LoadPicture("", grid); // no file chosen: nothing happens
    EXPECT_EQ(grid.Pixels, before);
}

TEST(LoadPicture, PlacesThePictureUnscaledAtTheTopLeft) {
    TTempDir dir;
    TBitmap grid = WhiteGrid();
    const TPictureSize big = LoadPicture(dir.Save("big.bmp", PatternBmp24(300, 280)), grid);
    EXPECT_EQ(FirstDifference(grid, PatternColour), "") << "cut at right and bottom";
    EXPECT_EQ(big.Width, 300) << "the whole picture's size";
    EXPECT_EQ(big.Height, 280);

    // A smaller picture covers only its own part; the rest stays.
    const TPictureSize small = LoadPicture(dir.Save("small.bmp", OtherBmp(100, 60)), grid);
    EXPECT_EQ(small.Width, 100);
    EXPECT_EQ(small.Height, 60);
    EXPECT_EQ(FirstDifference(grid,
                              [](int x, int y) {
                                  return x < 100 && y < 60 ? OtherColour(x, y)
                                                           : PatternColour(x, y);
                              }),
              "");

    // On a fresh grid the uncovered part is white.
    TBitmap fresh = WhiteGrid();
    LoadPicture(dir.Save("small.bmp", OtherBmp(100, 60)), fresh);
    EXPECT_EQ(
        FirstDifference(fresh,
                        [](int x, int y) {
                            return x < 100 && y < 60 ? OtherColour(x, y) : TRGB{255, 255, 255};
                        }),
        "");
}

// The first bytes choose the decoder whatever the name: each kind loads
// under every name, the extension of another kind or none; a BMP, PNG or TIFF
// gives the exact pattern, a JPEG what its own decoder gives.
TEST(LoadPicture, TheContentChoosesTheDecoder) {
    TTempDir dir;
    QImage pattern(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const TRGB c = PatternColour(x, y);
            pattern.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    const std::vector<uint8_t> jpeg = PatternJpeg(16, 16);
    const TBitmap jpegPixels = DecodeJpeg(dir.Save("plain.jpg", jpeg));
    const struct {
        const char* kind;
        std::vector<uint8_t> bytes;
    } kinds[] = {
        {"bmp", PatternBmp24(16, 16)},
        {"png", png_files::EncodePng(pattern)},
        {"tiff", tiff_files::EncodeTiff(pattern)},
        {"jpeg", jpeg},
    };
    std::filesystem::create_directory(dir.File("dotted.bmp"));
    for (const auto& k : kinds)
        for (const char* name : {"a.bmp", "b.JPG", "c.jpeg", "d.Png", "e.tif", "f.JFIF",
                                 "noextension", "g.txt", "dotted.bmp/inside"}) {
            SCOPED_TRACE(std::string(k.kind) + " named " + name);
            TBitmap grid = WhiteGrid();
            const std::string path = dir.Save(name, k.bytes);
            ASSERT_NO_THROW(LoadPicture(path, grid));
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(GetPixel(grid, x, y), std::string(k.kind) == "jpeg"
                                                        ? GetPixel(jpegPixels, x, y)
                                                        : PatternColour(x, y))
                        << x << "," << y;
            EXPECT_EQ(GetPixel(grid, 16, 16), (TRGB{255, 255, 255}));
        }
}

// The reference dumps hold the grid after each load of their scenarios; the
// intake must give it pixel for pixel, on a grid that starts white.
TEST(LoadPicture, ReferencePicturesGiveTheReferenceGrid) {
    const std::string ref = planes_test::ReferenceDir();
    TBitmap grid = WhiteGrid();
    LoadPicture(ref + "/ref-shapes.bmp", grid);
    EXPECT_TRUE(SamePixels(grid, planes_test::LoadReferencePicture("one/d1")));

    TBitmap second = WhiteGrid();
    LoadPicture(ref + "/ref-texture.jpg", second);
    EXPECT_TRUE(SamePixels(second, planes_test::LoadReferencePicture("two/d1")));
    LoadPicture(ref + "/ref-small.bmp", second);
    EXPECT_TRUE(SamePixels(second, planes_test::LoadReferencePicture("two/d2")));
}

// Every picture shipped in samples/ loads to the corner its size gives.
TEST(LoadPicture, EverySampleLoads) {
    const std::vector<std::pair<const char*, std::pair<int, int>>> samples = {
        {"astronaut.bmp", {320, 320}}, {"bricks.bmp", {300, 300}}, {"cell.jpg", {240, 240}},
        {"coffee.jpg", {384, 256}},    {"rocket.jpg", {448, 336}}, {"shapes.jpg", {256, 256}},
        {"strokes.jpg", {640, 480}},   {"rings.bmp", {100, 100}},  {"noise.Bmp", {100, 100}},
    };
    const std::string folder = std::string(TESSA_SOURCE_DIR) + "/samples/";
    for (const auto& [name, size] : samples) {
        SCOPED_TRACE(name);
        TBitmap grid = WhiteGrid();
        const TPictureSize got = LoadPicture(folder + name, grid);
        EXPECT_EQ(got.Width, size.first);
        EXPECT_EQ(got.Height, size.second);
    }
}
