// The JPEG decoder on files made with libjpeg's compressor. Its corner must be
// exactly what a plain full decode gives there (the decoder stops after 256
// rows, which must change nothing); colours must stay close to the pixels
// that were encoded, with channels in the right order.
#include "image/decoders.h"
#include "image/picture_error.h"
#include "support/jpeg_twin.h"
#include "support/picture_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace picture_files;

namespace {

// Exact comparison of the decoded corner with the twin's top-left pixels.
void ExpectSameCorner(const TBitmap& bmp, const TPixels& full) {
    ASSERT_EQ(bmp.Width, std::min(full.Width, 256));
    ASSERT_EQ(bmp.Height, std::min(full.Height, 256));
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x)
            if (GetPixel(bmp, x, y) != TwinColour(full, x, y)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs from a full decode";
                return;
            }
}

// Mean absolute difference per channel against the encoded pixels: small
// for a good decode, large when channels are swapped or rows shifted.
double MeanError(const TBitmap& bmp, const TPixels& source) {
    double sum = 0;
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x) {
            const TRGB got = GetPixel(bmp, x, y);
            const uint8_t* s = source.At(x, y);
            const uint8_t r = s[0], g = source.Components == 1 ? s[0] : s[1],
                          b = source.Components == 1 ? s[0] : s[2];
            sum += std::abs(got.r - r) + std::abs(got.g - g) + std::abs(got.b - b);
        }
    return sum / (3.0 * bmp.Width * bmp.Height);
}

struct TVariant {
    const char* name;
    int components;
    TJpegOptions options;
};

const TVariant Variants[] = {
    {"baseline 4:2:0", 3, {95, false, 2, 2, true}},
    {"baseline 4:4:4", 3, {95, false, 1, 1, true}},
    {"baseline 4:2:2", 3, {95, false, 2, 1, true}},
    {"progressive 4:2:0", 3, {95, true, 2, 2, true}},
    {"progressive 4:4:4", 3, {95, true, 1, 1, true}},
    {"greyscale", 1, {95, false, 1, 1, true}},
    {"progressive greyscale", 1, {95, true, 1, 1, true}},
};

} // namespace

// Sizes above, at and below the grid, odd so that the last MCU is partial;
// 301 rows put row 255 inside an MCU row whose upsampling reads row 256.
TEST(JpegDecoder, CornerIsExactlyThatOfAFullDecode) {
    TTempDir dir;
    for (const TVariant& v : Variants)
        for (const auto& [w, h] : {std::pair{333, 301}, std::pair{256, 256}, std::pair{101, 37}}) {
            SCOPED_TRACE(std::string(v.name) + " " + std::to_string(w) + "x" + std::to_string(h));
            const TPixels source = SmoothPixels(w, h, v.components);
            const std::vector<uint8_t> jpeg = EncodeJpeg(source, v.options);
            TPictureSize size;
            const TBitmap bmp = DecodeJpeg(dir.Save("p.jpg", jpeg), &size);
            ExpectSameCorner(bmp, FullDecode(jpeg));
            EXPECT_EQ(size.Width, w);
            EXPECT_EQ(size.Height, h);
            EXPECT_LT(MeanError(bmp, source), 6.0); // swapped channels give over 30
        }
}

// Four flat 16 x 16 blocks of known ink, so the lossy round trip stays within
// a level or two of the formula.
TEST(JpegDecoder, CmykBecomesRgbWithAndWithoutTheAdobeInversion) {
    struct TInk {
        uint8_t c, m, y, k; // 0 = no ink
    };
    const TInk inks[4] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 128, 255, 0}, {40, 80, 120, 100}};
    TTempDir dir;
    for (const bool adobe : {true, false}) {
        SCOPED_TRACE(adobe ? "Adobe, inverted" : "no Adobe marker, plain ink");
        TPixels p = MakePixels(64, 16, 4);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x) {
                const TInk& ink = inks[x / 16];
                const uint8_t v[4] = {ink.c, ink.m, ink.y, ink.k};
                for (int i = 0; i < 4; ++i) p.At(x, y)[i] = adobe ? uint8_t(255 - v[i]) : v[i];
            }
        TJpegOptions options;
        options.Quality = 100;
        options.AdobeMarker = adobe;
        const TBitmap bmp = DecodeJpeg(dir.Save("cmyk.jpg", EncodeJpeg(p, options)));
        ASSERT_EQ(bmp.Width, 64);
        ASSERT_EQ(bmp.Height, 16);
        for (int i = 0; i < 4; ++i) {
            const TInk& ink = inks[i];
            auto expect = [&](int a) { return (255 - a) * (255 - ink.k) / 255; };
            const TRGB got = GetPixel(bmp, 16 * i + 8, 8);
            EXPECT_NEAR(got.r, expect(ink.c), 2) << "block " << i;
            EXPECT_NEAR(got.g, expect(ink.m), 2) << "block " << i;
            EXPECT_NEAR(got.b, expect(ink.y), 2) << "block " << i;
        }
    }
}

// Only the top rows are decoded; the corner must still be the one a full
// decode gives (how much faster it is shows in the intake benchmark).
TEST(JpegDecoder, HugeBaselinePictureGivesItsCorner) {
    TTempDir dir;
    TJpegOptions options;
    options.Quality = 75;
    const std::vector<uint8_t> jpeg = EncodeJpeg(SmoothPixels(6000, 4000), options);
    const TBitmap bmp = DecodeJpeg(dir.Save("huge.jpg", jpeg));
    ExpectSameCorner(bmp, FullDecode(jpeg));
}

// The file is read in pieces of 64 KiB. Segments the decoder skips may span
// several pieces, and a file cut near a piece's end must still be reported
// as cut, not decoded from stale bytes.
TEST(JpegDecoder, ReadsAcrossPiecesOfTheFile) {
    TTempDir dir;
    TPixels noisy = SmoothPixels(1200, 300);
    uint32_t seed = 7;
    for (uint8_t& v : noisy.Bytes) {
        seed = seed * 1664525u + 1013904223u;
        v = uint8_t(v ^ (seed >> 26));
    }
    TJpegOptions options;
    options.Quality = 98;
    const std::vector<uint8_t> jpeg = EncodeJpeg(noisy, options);
    ASSERT_GT(jpeg.size(), size_t(3) << 16) << "the picture data must span several pieces";
    const TPixels full = FullDecode(jpeg);

    // Three application segments of 60000 bytes after the start marker.
    std::vector<uint8_t> padded(jpeg.begin(), jpeg.begin() + 2);
    for (int i = 0; i < 3; ++i) {
        const std::vector<uint8_t> segment = {0xFF, 0xEF, 60000 >> 8, 60000 & 0xFF};
        padded.insert(padded.end(), segment.begin(), segment.end());
        padded.resize(padded.size() + 60000 - 2, uint8_t(i));
    }
    padded.insert(padded.end(), jpeg.begin() + 2, jpeg.end());
    ExpectSameCorner(DecodeJpeg(dir.Save("padded.jpg", padded)), full);

    for (const size_t cut : {size_t(1) << 16, (size_t(1) << 16) + 1, (size_t(2) << 16) - 1}) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const std::vector<uint8_t> part(jpeg.begin(), jpeg.begin() + long(cut));
        try {
            DecodeJpeg(dir.Save("cut.jpg", part));
            ADD_FAILURE() << "a cut file was decoded";
        } catch (const TPictureError& e) {
            EXPECT_NE(std::string(e.what()).find("the file ends early"), std::string::npos)
                << e.what();
        }
    }
}
