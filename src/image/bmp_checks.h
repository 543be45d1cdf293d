// Checks that the BMP decoder makes on the raw file before Qt's reader
// decodes it. Qt's reader returns whatever rows it got from a file cut short
// and leaves the rest black, so a truncated file must be found here.
//
// Reads: the file bytes given by the caller. Writes: nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// The fields of the file and info headers that the checks need.
struct TBmpHeader {
    uint32_t DataOffset = 0;
    uint32_t InfoSize = 0;
    long long Width = 0;
    long long Height = 0; // negative: rows stored top first
    int Bits = 0;
    uint32_t Compression = 0;
};

constexpr uint32_t BmpRgb = 0, BmpRle8 = 1, BmpRle4 = 2, BmpBitfields = 3;

inline uint32_t ReadLE(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// False when the headers are cut short. OS/2 core headers (12 bytes) hold
// 16-bit sizes; every later kind starts with the 40-byte layout.
inline bool ParseBmpHeader(const uint8_t* p, size_t size, TBmpHeader& h) {
    if (size < 14 + 12) return false;
    h.DataOffset = ReadLE(p + 10, 4);
    h.InfoSize = ReadLE(p + 14, 4);
    if (h.InfoSize == 12) {
        h.Width = int16_t(ReadLE(p + 18, 2));
        h.Height = int16_t(ReadLE(p + 20, 2));
        h.Bits = int(ReadLE(p + 24, 2));
        return true;
    }
    if (size < 14 + 40) return false;
    h.Width = int32_t(ReadLE(p + 18, 4));
    h.Height = int32_t(ReadLE(p + 22, 4));
    h.Bits = int(ReadLE(p + 28, 2));
    h.Compression = ReadLE(p + 30, 4);
    return true;
}

// Walks run-length data: true when it runs out before an end-of-bitmap code
// or before its last row is complete. `file` gives size() and the byte at
// an index, read forward only; its size may drop as it is read.
template <class TBytes> bool RleEndsEarly(TBytes& file, const TBmpHeader& h) {
    const long long rows = std::llabs(h.Height);
    long long x = 0, y = 0;
    size_t i = h.DataOffset;
    for (;;) {
        if (y >= rows || (y == rows - 1 && x >= h.Width)) return false;
        if (i + 2 > file.size()) return true;
        const uint8_t count = file[i], code = file[i + 1];
        i += 2;
        if (count > 0) { // a run of one colour (or two alternating for RLE4)
            x += count;
        } else if (code == 0) { // end of line
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return false;
        } else if (code == 2) { // move right and up
            if (i + 2 > file.size()) return true;
            x += file[i];
            y += file[i + 1];
            i += 2;
        } else { // `code` pixels stored as they are, padded to 16 bits
            const size_t bytes = h.Compression == BmpRle8 ? code : (code + 1u) / 2;
            const size_t padded = (bytes + 1) & ~size_t(1);
            if (i + bytes > file.size()) return true;
            i += padded;
            x += code;
        }
    }
}

inline bool IsRle(const TBmpHeader& h) {
    return h.Compression == BmpRle8 || h.Compression == BmpRle4;
}

// True when uncompressed pixel rows need more bytes than the file holds.
inline bool RowsEndEarly(const TBmpHeader& h, unsigned long long fileSize) {
    if (h.Compression != BmpRgb && h.Compression != BmpBitfields) return false;
    if (h.Width <= 0 || h.Bits <= 0) return false; // left to the reader to refuse
    using U = unsigned long long;
    const U rowBytes = (U(h.Width) * U(h.Bits) + 31) / 32 * 4;
    return fileSize < h.DataOffset + rowBytes * U(std::llabs(h.Height));
}

// The variant in words, for messages about files the reader refuses.
inline std::string BmpVariant(const TBmpHeader& h) {
    std::string v = std::to_string(h.Bits) + " bits per pixel";
    if (h.Compression != BmpRgb) v += ", compression " + std::to_string(h.Compression);
    return v;
}
