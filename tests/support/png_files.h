// PNG files for the intake tests and the fuzz corpus: any QImage written by
// QtGui's PNG writer, and the chunks of such a file found and patched with a
// correct CRC, so that a test can make a file lie in exactly one way.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace png_files {

inline std::vector<uint8_t> EncodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) throw std::runtime_error("PNG writer failed");
    return {bytes.begin(), bytes.end()};
}

inline uint32_t GetBE(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 |
           b.at(at + 3);
}

inline void PutBE(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + size_t(i)) = uint8_t(v >> (24 - 8 * i));
}

// The offset of the first chunk of type `type` (its length field), 0 if none.
inline size_t FindChunk(const std::vector<uint8_t>& png, const char* type) {
    for (size_t at = 8; at + 12 <= png.size(); at += 12 + GetBE(png, at))
        if (std::memcmp(&png[at + 4], type, 4) == 0) return at;
    return 0;
}

// Writes the CRC of the chunk at `at` anew, after its data was changed.
inline void FixCrc(std::vector<uint8_t>& png, size_t at) {
    const uint32_t length = GetBE(png, at);
    const uLong crc = crc32(0, &png[at + 4], uInt(4 + length));
    PutBE(png, at + 8 + length, uint32_t(crc));
}

// The header chunk's width and height set to `w` x `h`, its CRC fixed.
inline std::vector<uint8_t> WithSize(std::vector<uint8_t> png, uint32_t w, uint32_t h) {
    PutBE(png, 16, w);
    PutBE(png, 20, h);
    FixCrc(png, 8);
    return png;
}

// A colour PNG (8 bits per sample) of `rgb` (rows top first, three bytes a
// pixel) written chunk by chunk, interlaced (Adam7) when asked: Qt's writer
// writes no interlaced files.
inline std::vector<uint8_t> EncodeRgbPng(int w, int h, const std::vector<uint8_t>& rgb,
                                         bool interlaced) {
    struct TPass {
        int x0, y0, dx, dy;
    };
    const std::vector<TPass> passes =
        interlaced ? std::vector<TPass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                   : std::vector<TPass>{{0, 0, 1, 1}};
    std::vector<uint8_t> raw; // each row of each pass: filter 0, then its pixels
    for (const TPass& p : passes) {
        if (p.x0 >= w) continue; // a pass without pixels has no rows at all
        for (int y = p.y0; y < h; y += p.dy) {
            raw.push_back(0);
            for (int x = p.x0; x < w; x += p.dx)
                raw.insert(raw.end(), &rgb[size_t(3 * (y * w + x))],
                           &rgb[size_t(3 * (y * w + x)) + 3]);
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), uLong(raw.size()));
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        const size_t at = png.size();
        png.resize(at + 12 + data.size());
        PutBE(png, at, uint32_t(data.size()));
        std::memcpy(&png[at + 4], type, 4);
        std::copy(data.begin(), data.end(), png.begin() + long(at + 8));
        FixCrc(png, at);
    };
    std::vector<uint8_t> header(13, 0);
    PutBE(header, 0, uint32_t(w));
    PutBE(header, 4, uint32_t(h));
    header[8] = 8;                   // bits per sample
    header[9] = 2;                   // colour
    header[12] = interlaced ? 1 : 0; // Adam7
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return png;
}

} // namespace png_files
