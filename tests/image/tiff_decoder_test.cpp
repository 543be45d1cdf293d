// The TIFF decoder: every kind QtGui writes, plain and compressed, comes out
// as the exact 24-bit pixels by the rule of the PNG path (16 bits rounded,
// transparency over white), under every placement, and hostile files are
// refused by name and cause with the grid untouched.
#include "image/decoders.h"
#include "image/intake.h"
#include "image/picture_error.h"
#include "support/picture_files.h"
#include "support/tiff_files.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

using namespace picture_files;
using namespace tiff_files;

namespace {

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

uint8_t Over(int c, int a) {
    return uint8_t(std::lround((c * a + 255.0 * (255 - a)) / 255.0));
}

uint8_t From16(int v) {
    return uint8_t(std::lround(v * 255.0 / 65535.0));
}

// A 16-bit value whose rounding to 8 bits is not its high byte.
int Wide(int x, int y) {
    return (x * 1237 + y * 4099 + 200) % 65536;
}

constexpr int W = 37, H = 23;

} // namespace

TEST(TiffDecoder, EveryKindGivesItsPixels) {
    TTempDir dir;
    const QImage rgb = Pattern(W, H, QImage::Format_RGB32, [](int x, int y) {
        const TRGB c = PatternColour(x, y);
        return QColor(c.r, c.g, c.b);
    });
    const QImage rgba = Pattern(W, H, QImage::Format_ARGB32, [](int x, int y) {
        const TRGB c = PatternColour(x, y);
        return QColor(c.r, c.g, c.b, (x * 7 + y) % 256);
    });
    const QImage grey = Pattern(W, H, QImage::Format_Grayscale8,
                                [](int x, int) { return QColor(x * 6, x * 6, x * 6); });
    QImage grey16(W, H, QImage::Format_Grayscale16);
    QImage rgb16(W, H, QImage::Format_RGBX64);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            reinterpret_cast<uint16_t*>(grey16.scanLine(y))[x] = uint16_t(Wide(x, y));
            reinterpret_cast<QRgba64*>(rgb16.scanLine(y))[x] = QRgba64::fromRgba64(
                quint16(Wide(x, y)), quint16(Wide(y, x)), quint16(x * 999), 65535);
        }
    QImage mono(W, H, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) mono.setPixel(x, y, uint((x + y) % 2));

    const struct {
        const char* name;
        QImage image;
        std::function<TRGB(int, int)> expected;
    } kinds[] = {
        {"rgb", rgb, PatternColour},
        {"rgba", rgba,
         [](int x, int y) {
             const TRGB c = PatternColour(x, y);
             const int a = (x * 7 + y) % 256;
             return TRGB{Over(c.r, a), Over(c.g, a), Over(c.b, a)};
         }},
        {"grey", grey,
         [](int x, int) {
             return TRGB{uint8_t(x * 6), uint8_t(x * 6), uint8_t(x * 6)};
         }},
        {"grey16", grey16,
         [](int x, int y) {
             const uint8_t v = From16(Wide(x, y));
             return TRGB{v, v, v};
         }},
        {"rgb16", rgb16,
         [](int x, int y) {
             return TRGB{From16(Wide(x, y)), From16(Wide(y, x)), From16(x * 999)};
         }},
        {"mono", mono,
         [](int x, int y) {
             const uint8_t v = (x + y) % 2 ? 255 : 0;
             return TRGB{v, v, v};
         }},
    };
    for (const auto& k : kinds)
        for (const bool lzw : {false, true}) {
            SCOPED_TRACE(k.name);
            SCOPED_TRACE(lzw ? "LZW" : "plain");
            std::string name = k.name;
            name += lzw ? "-lzw.tif" : ".tif";
            TPictureSize size;
            const TBitmap got = DecodeTiff(dir.Save(name, EncodeTiff(k.image, lzw)), &size);
            EXPECT_EQ(size.Width, W);
            EXPECT_EQ(size.Height, H);
            EXPECT_EQ(FirstDifference(got, W, H, k.expected), "");
        }
}

// A part near the far corner and a shrink with a remainder, as for the other
// decoders: the placement is resolved and only what lands is kept.
TEST(TiffDecoder, EveryPlacementLandsItsPixels) {
    TTempDir dir;
    const QImage big = Pattern(300, 270, QImage::Format_RGB32, [](int x, int y) {
        const TRGB c = PatternColour(x, y);
        return QColor(c.r, c.g, c.b);
    });
    const std::string path = dir.Save("big.TIFF", EncodeTiff(big, true));
    TBitmap grid;
    CreateBitmap(grid, 256, 256);
    EXPECT_EQ(LoadPicture(path, grid).Width, 300);
    EXPECT_EQ(FirstDifference(grid, 256, 256, PatternColour), "");

    TPlacement part{TPlacement::Part, 1000, 5, 1};
    const TBitmap corner = DecodeTiff(path, nullptr, &part);
    EXPECT_EQ(part.X, 44);
    EXPECT_EQ(part.Y, 5);
    EXPECT_EQ(FirstDifference(corner, 256, 256,
                              [](int x, int y) { return PatternColour(x + 44, y + 5); }),
              "");

    TPlacement fit{TPlacement::Fit, 0, 0, 1};
    const TBitmap shrunk = DecodeTiff(path, nullptr, &fit);
    ASSERT_EQ(fit.K, 2);
    EXPECT_EQ(FirstDifference(
                  shrunk, 150, 135,
                  [](int x, int y) {
                      int r = 0, g = 0, b = 0;
                      for (int j = 0; j < 2; ++j)
                          for (int i = 0; i < 2; ++i) {
                              const TRGB c = PatternColour(2 * x + i, 2 * y + j);
                              r += c.r, g += c.g, b += c.b;
                          }
                      return TRGB{uint8_t((r + 2) / 4), uint8_t((g + 2) / 4), uint8_t((b + 2) / 4)};
                  }),
              "");
}

TEST(TiffDecoder, HostileFilesAreRefusedAndTheGridStays) {
    TTempDir dir;
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(qRgb(1, 2, 3));
    for (int x = 0; x < 40; ++x) small.setPixel(x, x % 30, qRgb(x * 5, 255 - x, 7));
    const std::vector<uint8_t> tiff = EncodeTiff(small);
    const std::vector<uint8_t> packed = EncodeTiff(small, true);
    ASSERT_EQ(std::memcmp(tiff.data(), "II*\0", 4), 0);

    auto with = [](std::vector<uint8_t> bytes, uint16_t tag, uint32_t value) {
        SetTagValue(bytes, tag, value);
        return bytes;
    };
    std::vector<uint8_t> noDirectory = tiff; // the first directory lies past the end
    PutLE(noDirectory, 4, uint32_t(tiff.size() + 1000), 4);
    std::vector<uint8_t> loopingDirectory = tiff; // the directory points at the header
    PutLE(loopingDirectory, 4, 0, 4);
    std::vector<uint8_t> stripsPastEnd = with(tiff, 273, uint32_t(tiff.size() * 4));
    std::vector<uint8_t> damagedLzw = packed;
    for (size_t i = 8; i < 200 && i < damagedLzw.size(); ++i) damagedLzw[i] ^= 0xA5;
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', '\n'};

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* cause;
    } cases[] = {
        {"header.tif", {tiff.begin(), tiff.begin() + 4}, "the file ends early"},
        {"nodirectory.tif", noDirectory, "the picture data is damaged"},
        {"loop.tif", loopingDirectory, "the picture data is damaged"},
        {"cut.tif",
         {tiff.begin(), tiff.begin() + long(tiff.size() / 2)},
         "the picture data is damaged"},
        {"strips.tif", stripsPastEnd, "the picture data is damaged"},
        {"lzw.tif", damagedLzw, "the picture data is damaged"},
        {"huge.tif", with(with(tiff, 256, 60000), 257, 60000),
         "60000 x 60000 pixels, and decoding it would need more than 1 GiB of memory"},
        {"wide.tif", with(with(tiff, 256, 0xFFFFFFFF), 257, 2), "the picture data is damaged"},
        {"nowidth.tif", with(tiff, 256, 0), "the picture data is damaged"},
        {"sevenbits.tif", with(tiff, 258, 7), "the picture data is damaged"},
        {"text.tif", text, "it is not a TIFF picture"},
        {"gif.tif", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, "it holds a GIF picture, not a TIFF one"},
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
}
