// PNG files for the intake tests and the fuzz corpus: any QImage written by
// QtGui's PNG writer, and the chunks of such a file found and patched with a
// correct CRC, so that a test can make a file lie in exactly one way.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <zlib.h>

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

} // namespace png_files
