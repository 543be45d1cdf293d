// The PNG decoder: every colour type and depth QtGui writes comes out as the
// exact 24-bit pixels (transparency over white, 16 bits rounded), only the
// corner is kept, and hostile files are refused by name and cause with the
// grid untouched.
#include "image/decoders.h"
#include "image/intake.h"
#include "image/picture_error.h"
#include "support/picture_files.h"
#include "support/png_files.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace picture_files;
using namespace png_files;

namespace {

// The first pixel that differs, or "".
std::string FirstDifference(const TBitmap& b, int w, int h,
                            const std::function<TRGB(int, int)>& expected) {
    char where[64] = "";
    if (b.Width != w || b.Height != h) {
        std::snprintf(where, sizeof where, "size %d x %d", b.Width, b.Height);
        return where;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (GetPixel(b, x, y) != expected(x, y)) {
                std::snprintf(where, sizeof where, "(%d, %d)", x, y);
                return where;
            }
    return where;
}

// A channel of colour c at alpha a over white, rounded once, in 8 bits.
uint8_t Over(int c, int a) {
    return uint8_t(std::lround((c * a + 255.0 * (255 - a)) / 255.0));
}

uint8_t From16(int v) {
    return uint8_t(std::lround(v * 255.0 / 65535.0));
}

constexpr int W = 37, H = 23;

} // namespace

TEST(PngDecoder, EveryColourTypeGivesItsPixels) {
    TTempDir dir;
    QImage rgb(W, H, QImage::Format_RGB32), palette(W, H, QImage::Format_Indexed8),
        grey(W, H, QImage::Format_Grayscale8), grey16(W, H, QImage::Format_Grayscale16),
        rgb16(W, H, QImage::Format_RGBX64), mono(W, H, QImage::Format_Mono);
    const std::vector<TRGB> colours = PatternPalette(200);
    for (const TRGB& c : colours)
        palette.setColorTable(palette.colorTable() << qRgb(c.r, c.g, c.b));
    mono.setColorTable({qRgb(10, 20, 30), qRgb(250, 240, 230)});
    const auto level16 = [](int x, int y) { return (x * 1777 + y * 2851) % 65536; };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const TRGB c = PatternColour(x, y);
            rgb.setPixel(x, y, qRgb(c.r, c.g, c.b));
            palette.setPixel(x, y, uint(PatternIndex(x, y, 200)));
            grey.scanLine(y)[x] = c.r;
            reinterpret_cast<uint16_t*>(grey16.scanLine(y))[x] = uint16_t(level16(x, y));
            rgb16.setPixelColor(x, y,
                                QColor(QRgba64::fromRgba64(uint16_t(level16(x, y)),
                                                           uint16_t(level16(y, x)), 12345, 65535)));
            mono.setPixel(x, y, uint((x + y) % 3 == 0));
        }
    const struct {
        const char* name;
        const QImage& image;
        std::function<TRGB(int, int)> expected;
    } cases[] = {
        {"colour", rgb, PatternColour},
        {"palette", palette,
         [&](int x, int y) { return colours[size_t(PatternIndex(x, y, 200))]; }},
        {"grey", grey,
         [](int x, int y) {
             const uint8_t v = PatternColour(x, y).r;
             return TRGB{v, v, v};
         }},
        {"grey16", grey16,
         [&](int x, int y) {
             const uint8_t v = From16(level16(x, y));
             return TRGB{v, v, v};
         }},
        {"colour16", rgb16,
         [&](int x, int y) {
             return TRGB{From16(level16(x, y)), From16(level16(y, x)), From16(12345)};
         }},
        {"mono", mono,
         [](int x, int y) {
             return (x + y) % 3 == 0 ? TRGB{250, 240, 230} : TRGB{10, 20, 30};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPictureSize size;
        const TBitmap b =
            DecodePng(dir.Save(std::string(c.name) + ".png", EncodePng(c.image)), &size);
        EXPECT_EQ(FirstDifference(b, W, H, c.expected), "");
        EXPECT_EQ(size.Width, W);
        EXPECT_EQ(size.Height, H);
    }
}

// Interlaced files store the pixels in seven passes; odd sizes leave some
// passes short or empty.
TEST(PngDecoder, InterlacedFilesGiveThePixelsInPlace) {
    TTempDir dir;
    for (const auto& [w, h] : {std::pair{W, H}, std::pair{1, 1}, std::pair{3, 9}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        std::vector<uint8_t> rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const TRGB c = PatternColour(x, y);
                rgb.insert(rgb.end(), {c.r, c.g, c.b});
            }
        const TBitmap plain = DecodePng(dir.Save("plain.png", EncodeRgbPng(w, h, rgb, false)));
        const TBitmap laced = DecodePng(dir.Save("laced.png", EncodeRgbPng(w, h, rgb, true)));
        EXPECT_EQ(FirstDifference(plain, w, h, PatternColour), "");
        EXPECT_EQ(FirstDifference(laced, w, h, PatternColour), "");
    }
}

TEST(PngDecoder, TransparentPixelsAreCompositedOverWhite) {
    TTempDir dir;
    const int alphas[] = {0, 1, 77, 128, 200, 254, 255};
    QImage rgba(W, 7, QImage::Format_ARGB32);
    QImage rgba16(W, 7, QImage::Format_RGBA64);
    QImage palette(W, 7, QImage::Format_Indexed8); // alpha in the palette (tRNS)
    for (int a : alphas) palette.setColorTable(palette.colorTable() << qRgba(200, 60, 5, a));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < W; ++x) {
            const TRGB c = PatternColour(x, y);
            rgba.setPixel(x, y, qRgba(c.r, c.g, c.b, alphas[y]));
            rgba16.setPixelColor(x, y,
                                 QColor(QRgba64::fromRgba(c.r, c.g, c.b, uint8_t(alphas[y]))));
            palette.setPixel(x, y, uint(y));
        }
    const auto over = [&](int x, int y) {
        const TRGB c = PatternColour(x, y);
        return TRGB{Over(c.r, alphas[y]), Over(c.g, alphas[y]), Over(c.b, alphas[y])};
    };
    EXPECT_EQ(FirstDifference(DecodePng(dir.Save("rgba.png", EncodePng(rgba))), W, 7, over), "");
    EXPECT_EQ(FirstDifference(DecodePng(dir.Save("rgba16.png", EncodePng(rgba16))), W, 7, over),
              "");
    EXPECT_EQ(FirstDifference(DecodePng(dir.Save("palette.png", EncodePng(palette))), W, 7,
                              [&](int, int y) {
                                  const int a = alphas[y];
                                  return TRGB{Over(200, a), Over(60, a), Over(5, a)};
                              }),
              "");
    const TBitmap clear = DecodePng(dir.Save("rgba.png", EncodePng(rgba)));
    EXPECT_EQ(GetPixel(clear, 3, 0), (TRGB{255, 255, 255})) << "alpha 0 is white";
}

TEST(PngDecoder, KeepsTheCornerAndReportsTheWholeSize) {
    TTempDir dir;
    QImage big(300, 270, QImage::Format_RGB32);
    for (int y = 0; y < 270; ++y)
        for (int x = 0; x < 300; ++x) {
            const TRGB c = PatternColour(x, y);
            big.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    TBitmap grid;
    CreateBitmap(grid, 256, 256);
    const TPictureSize size = LoadPicture(dir.Save("big.PnG", EncodePng(big)), grid);
    EXPECT_EQ(size.Width, 300);
    EXPECT_EQ(size.Height, 270);
    EXPECT_EQ(FirstDifference(grid, 256, 256, PatternColour), "");
}

TEST(PngDecoder, HostileFilesAreRefusedAndTheGridStays) {
    TTempDir dir;
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(qRgb(1, 2, 3));
    for (int x = 0; x < 40; ++x) small.setPixel(x, x % 30, qRgb(x * 5, 255 - x, 7)); // not flat
    const std::vector<uint8_t> png = EncodePng(small);
    const size_t idat = FindChunk(png, "IDAT"), iend = FindChunk(png, "IEND");
    ASSERT_GT(idat, 0u);
    ASSERT_GT(iend, idat);

    std::vector<uint8_t> midData(png.begin(), png.begin() + long(idat + 8 + 10));
    std::vector<uint8_t> noEnd(png.begin(), png.begin() + long(iend));
    std::vector<uint8_t> badCrc = png;
    badCrc[idat + 8 + 3] ^= 0x55;
    std::vector<uint8_t> badData = badCrc; // the same damage behind a correct CRC
    FixCrc(badData, idat);
    std::vector<uint8_t> fewRows = png; // the picture claims more rows than its data holds
    PutBE(fewRows, 20, 3000);
    FixCrc(fewRows, 8);
    std::vector<uint8_t> sevenBits = png;
    sevenBits[24] = 7;
    FixCrc(sevenBits, 8);
    std::vector<uint8_t> noHeader = png;
    std::memcpy(&noHeader[12], "IHDX", 4);
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', '\n'};

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* cause;
    } cases[] = {
        {"signature.png", {png.begin(), png.begin() + 8}, "the file ends early"},
        {"mid-data.png", midData, "the file ends early; it may be incomplete"},
        {"no-end.png", noEnd, "the file ends early"},
        {"crc.png", badCrc, "the picture data is damaged"},
        {"data.png", badData, "the picture data is damaged"},
        {"rows.png", fewRows, "the picture data is damaged"},
        {"seven.png", sevenBits, "(colour, 7 bits per sample)"},
        {"no-header.png", noHeader, "the header chunk is missing"},
        {"huge.png", WithSize(png, 100000, 100000),
         "100000 x 100000 pixels, and decoding it would need more than 1 GiB of memory"},
        {"widest.png", WithSize(png, 0xFFFFFFFF, 0xFFFFFFFF), "would need more than 1 GiB"},
        {"gif.png", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, "it holds a GIF picture, not a PNG one"},
        {"text.png", text, "it is not a PNG picture"},
    };
    TBitmap grid;
    CreateBitmap(grid, 256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) SetPixel(grid, x, y, PatternColour(x, y));
    const std::vector<uint8_t> before = grid.Pixels;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Save(c.name, c.bytes);
        try {
            LoadPicture(path, grid);
            ADD_FAILURE() << "no error";
        } catch (const TPictureError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot read \"" + path + "\": ", 0), 0u) << message;
            EXPECT_NE(message.find(c.cause), std::string::npos) << message;
        }
        ASSERT_EQ(grid.Pixels, before) << "the grid changed";
    }
    // Bytes after the end chunk are no harm.
    std::vector<uint8_t> trailing = png;
    trailing.insert(trailing.end(), 100, 0xAB);
    EXPECT_EQ(GetPixel(DecodePng(dir.Save("trailing.png", trailing)), 39, 9), (TRGB{195, 216, 7}));
}
