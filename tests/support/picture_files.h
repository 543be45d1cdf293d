// Test pictures for the intake tests: a temporary folder that cleans up after
// itself, pixel patterns whose every pixel differs from its neighbours (so a
// flipped or shifted picture shows), and BMP files of every kind written
// byte by byte. JPEG files come from the shared writers of the samples tool.
#pragma once

#include "support/picture_writers.h"

#include "image/bitmap.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace picture_files {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TTempDir {
  public:
    TTempDir() {
        static std::atomic<int> count{0};
        Path_ = std::filesystem::temp_directory_path() /
                ("tessa-intake-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
        std::filesystem::remove_all(Path_);
        std::filesystem::create_directories(Path_);
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path_, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string File(const std::string& name) const { return (Path_ / name).string(); }
    std::string Save(const std::string& name, const std::vector<uint8_t>& bytes) const {
        SaveBytes(File(name), bytes);
        return File(name);
    }

  private:
    std::filesystem::path Path_;
};

// A colour pattern in which x and y can both be read back from a pixel.
inline TRGB PatternColour(int x, int y) {
    return {uint8_t(x * 7 + y), uint8_t(y * 5 + 3), uint8_t((x * 3) ^ (y * 11))};
}

inline TPixels PatternPixels(int width, int height) {
    TPixels p = MakePixels(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TRGB c = PatternColour(x, y);
            uint8_t* q = p.At(x, y);
            q[0] = c.r;
            q[1] = c.g;
            q[2] = c.b;
        }
    return p;
}

// A smooth picture with a few flat blocks: JPEG keeps such content within a
// few levels, so decoded values can be compared with a small tolerance.
inline TPixels SmoothPixels(int width, int height, int components = 3) {
    TPixels p = MakePixels(width, height, components);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* q = p.At(x, y);
            for (int c = 0; c < components; ++c)
                q[c] = uint8_t(40 + (x * (c + 1) + y * (3 - c % 3)) % 170);
            if ((x / 32 + y / 32) % 3 == 0)
                for (int c = 0; c < components; ++c) q[c] = uint8_t(60 + 50 * c);
        }
    return p;
}

// The palette index of pixel (x, y) for a palette of `entries` colours.
inline int PatternIndex(int x, int y, int entries) {
    return (x + 3 * y + x * y) % entries;
}

inline std::vector<TRGB> PatternPalette(int entries) {
    std::vector<TRGB> palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back({uint8_t(i * 37 + 5), uint8_t(255 - i * 13), uint8_t(i * 91)});
    return palette;
}

inline void SetLE(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(value >> (8 * i));
}

inline void PutPalette(std::vector<uint8_t>& out, const std::vector<TRGB>& palette) {
    for (const TRGB c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
}

// An uncompressed 1, 4 or 8 bit BMP of PatternIndex over PatternPalette.
inline std::vector<uint8_t> IndexedBmp(int width, int height, int bits, bool topDown) {
    const int entries = 1 << bits;
    const int rowBytes = (width * bits + 31) / 32 * 4;
    std::vector<uint8_t> out;
    PutBmpHeaders(out, width, topDown ? -height : height, bits, 0, uint32_t(entries),
                  uint32_t(rowBytes * height));
    PutPalette(out, PatternPalette(entries));
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        std::vector<uint8_t> row(size_t(rowBytes), 0);
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits; // leftmost pixel in the highest bits
            row[size_t(bit / 8)] |= uint8_t(PatternIndex(x, y, entries) << (8 - bits - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// An RLE8 or RLE4 BMP (rows bottom first, as the format requires) of
// PatternIndex over a 16-entry palette. Rows mix encoded runs (for repeats)
// and absolute runs (for changing pixels), each row closed by an end of line.
inline std::vector<uint8_t> RleBmp(int width, int height, int bits, int entries = 16) {
    auto index = [&](int x, int y) { return PatternIndex(x / 3, y, entries); }; // runs of 3
    std::vector<uint8_t> data;
    for (int y = height - 1; y >= 0; --y) {
        int x = 0;
        while (x < width) {
            int run = 1;
            while (x + run < width && run < 255 && index(x + run, y) == index(x, y)) ++run;
            if (run >= 2 || width - x < 3) { // encoded run: count, colour
                data.push_back(uint8_t(run));
                const int c = index(x, y);
                data.push_back(uint8_t(bits == 4 ? (c << 4) | c : c));
                x += run;
                continue;
            }
            int n = 3; // absolute run: 0, count, pixels, padded to 16 bits
            while (x + n < width && n < 255 && index(x + n, y) != index(x + n - 1, y)) ++n;
            data.push_back(0);
            data.push_back(uint8_t(n));
            std::vector<uint8_t> packed;
            for (int i = 0; i < n; ++i) {
                const int c = index(x + i, y);
                if (bits == 8)
                    packed.push_back(uint8_t(c));
                else if (i % 2 == 0)
                    packed.push_back(uint8_t(c << 4));
                else
                    packed.back() |= uint8_t(c);
            }
            if (packed.size() % 2) packed.push_back(0);
            data.insert(data.end(), packed.begin(), packed.end());
            x += n;
        }
        data.push_back(0); // end of line
        data.push_back(0);
    }
    data.push_back(0); // end of bitmap
    data.push_back(1);
    std::vector<uint8_t> out;
    PutBmpHeaders(out, width, height, bits, bits == 8 ? 1 : 2, uint32_t(entries),
                  uint32_t(data.size()));
    PutPalette(out, PatternPalette(entries));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// The colour an RLE picture made by RleBmp holds at (x, y).
inline TRGB RleColour(int x, int y, int entries = 16) {
    return PatternPalette(entries)[size_t(PatternIndex(x / 3, y, entries))];
}

// 16-bit pixels as 5-5-5 (no masks) or, with masks, 5-6-5.
inline std::vector<uint8_t> Bmp16(int width, int height, bool rgb565, bool topDown) {
    const int rowBytes = (width * 2 + 3) & ~3;
    std::vector<uint8_t> out;
    PutBmpHeaders(out, width, topDown ? -height : height, 16, rgb565 ? 3 : 0, 0,
                  uint32_t(rowBytes * height));
    if (rgb565) { // the three masks follow the 40-byte header and move the pixels
        SetLE(out, 2, uint32_t(out.size() + 12 + size_t(rowBytes * height)));
        SetLE(out, 10, uint32_t(out.size() + 12));
        PutLE(out, 0xF800, 4);
        PutLE(out, 0x07E0, 4);
        PutLE(out, 0x001F, 4);
    }
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        for (int x = 0; x < width; ++x) {
            const TRGB c = PatternColour(x, y);
            const uint32_t v = rgb565 ? (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3
                                      : (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3;
            PutLE(out, v, 2);
        }
        for (int pad = width * 2; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

// 32-bit pixels blue, green, red, then a fourth byte that is not colour.
inline std::vector<uint8_t> Bmp32(int width, int height, bool topDown, uint8_t fourth) {
    std::vector<uint8_t> out;
    PutBmpHeaders(out, width, topDown ? -height : height, 32, 0, 0, uint32_t(width * 4 * height));
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        for (int x = 0; x < width; ++x) {
            const TRGB c = PatternColour(x, y);
            out.insert(out.end(), {c.b, c.g, c.r, fourth});
        }
    }
    return out;
}

inline std::vector<uint8_t> PatternBmp24(int width, int height, bool topDown = false) {
    return EncodeBmp24(PatternPixels(width, height), topDown);
}

inline std::vector<uint8_t> PatternJpeg(int width, int height, const TJpegOptions& options = {}) {
    return EncodeJpeg(SmoothPixels(width, height), options);
}

// Walks the markers of a JPEG file up to its first scan: the offset of the
// first marker of `kind` (0xC0 to 0xC2 for a frame header), or 0.
inline size_t FindJpegMarker(const std::vector<uint8_t>& jpeg, uint8_t kind) {
    size_t i = 2;
    while (i + 3 < jpeg.size() && jpeg[i] == 0xFF) {
        const uint8_t marker = jpeg[i + 1];
        if (marker == kind || (kind == 0xC0 && (marker == 0xC1 || marker == 0xC2))) return i;
        if (marker == 0xDA) return 0;
        i += 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    }
    return 0;
}

// Overwrites the width and height in the frame header of a JPEG file.
inline void PatchJpegSize(std::vector<uint8_t>& jpeg, int width, int height) {
    const size_t i = FindJpegMarker(jpeg, 0xC0);
    jpeg[i + 5] = uint8_t(height >> 8);
    jpeg[i + 6] = uint8_t(height);
    jpeg[i + 7] = uint8_t(width >> 8);
    jpeg[i + 8] = uint8_t(width);
}

// The offset of the first byte of entropy-coded data (after the SOS header).
inline size_t JpegScanStart(const std::vector<uint8_t>& jpeg) {
    const size_t i = FindJpegMarker(jpeg, 0xDA);
    return i + 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
}

} // namespace picture_files
