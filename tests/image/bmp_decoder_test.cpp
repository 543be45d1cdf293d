// The BMP decoder on files written byte by byte: every pixel must come out
// exactly, in the right place, whatever the bit depth, compression and row
// order. Files it must refuse are in the intake test.
#include "image/decoders.h"
#include "support/picture_files.h"

#include <gtest/gtest.h>

#include <functional>

using namespace picture_files;

namespace {

// Compares every pixel of `bmp` with `expected(x, y)`; stops at the first
// difference so a wrong file gives one line, not thousands.
void ExpectPixels(const TBitmap& bmp, int width, int height,
                  const std::function<TRGB(int, int)>& expected) {
    ASSERT_EQ(bmp.Width, width);
    ASSERT_EQ(bmp.Height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TRGB got = GetPixel(bmp, x, y), want = expected(x, y);
            if (got != want) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << int(got.r) << ","
                              << int(got.g) << "," << int(got.b) << ", expected " << int(want.r)
                              << "," << int(want.g) << "," << int(want.b);
                return;
            }
        }
}

// Odd sizes, so that every row carries padding.
constexpr int W = 37, H = 23;

} // namespace

TEST(BmpDecoder, PaletteDepthsInBothRowOrders) {
    TTempDir dir;
    for (const int bits : {1, 4, 8})
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (topDown ? " bits top-down" : " bits bottom-up"));
            const TBitmap bmp = DecodeBmp(dir.Save("p.bmp", IndexedBmp(W, H, bits, topDown)));
            const std::vector<TRGB> palette = PatternPalette(1 << bits);
            ExpectPixels(bmp, W, H, [&](int x, int y) {
                return palette[size_t(PatternIndex(x, y, 1 << bits))];
            });
        }
}

TEST(BmpDecoder, RunLengthEncodedEightAndFourBits) {
    TTempDir dir;
    for (const int bits : {8, 4}) {
        SCOPED_TRACE(std::to_string(bits) + " bits");
        const TBitmap bmp = DecodeBmp(dir.Save("p.bmp", RleBmp(W, H, bits)));
        ExpectPixels(bmp, W, H, [](int x, int y) { return RleColour(x, y); });
    }
}

// Qt's reader widens five or six bits per channel to eight by shifting them
// up, so the largest five-bit value becomes 248, not 255.
TEST(BmpDecoder, SixteenBitFiveFiveFiveAndFiveSixFive) {
    TTempDir dir;
    auto widen = [](int value, int bits) { return uint8_t(value >> (8 - bits) << (8 - bits)); };
    for (const bool rgb565 : {false, true})
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::string(rgb565 ? "565" : "555") + (topDown ? " top-down" : ""));
            const TBitmap bmp = DecodeBmp(dir.Save("p.bmp", Bmp16(W, H, rgb565, topDown)));
            ExpectPixels(bmp, W, H, [&](int x, int y) {
                const TRGB c = PatternColour(x, y);
                return TRGB{widen(c.r, 5), widen(c.g, rgb565 ? 6 : 5), widen(c.b, 5)};
            });
        }
}

TEST(BmpDecoder, ThirtyTwoBitIgnoresTheFourthByte) {
    TTempDir dir;
    for (const uint8_t fourth : {uint8_t(0), uint8_t(0x80), uint8_t(0xFF)})
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(fourth) + (topDown ? " top-down" : " bottom-up"));
            const TBitmap bmp = DecodeBmp(dir.Save("p.bmp", Bmp32(W, H, topDown, fourth)));
            ExpectPixels(bmp, W, H, PatternColour);
        }
}

TEST(BmpDecoder, KeepsOnlyTheTopLeftCorner) {
    TTempDir dir;
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const TBitmap wide = DecodeBmp(dir.Save("w.bmp", PatternBmp24(300, 40, topDown)));
        ExpectPixels(wide, 256, 40, PatternColour);
        const TBitmap tall = DecodeBmp(dir.Save("t.bmp", PatternBmp24(20, 301, topDown)));
        ExpectPixels(tall, 20, 256, PatternColour);
        const TBitmap big = DecodeBmp(dir.Save("b.bmp", PatternBmp24(513, 400, topDown)));
        ExpectPixels(big, 256, 256, PatternColour);
    }
}
