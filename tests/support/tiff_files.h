// TIFF files for the intake tests and the fuzz corpus: any QImage written by
// QtGui's TIFF writer (the image-formats plugin), plain or LZW-compressed,
// and the fields of such a file's first directory found and changed, so that
// a test can make a file lie in exactly one way.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tiff_files {

inline std::vector<uint8_t> EncodeTiff(const QImage& image, bool lzw = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(lzw ? 1 : 0);
    if (!writer.write(image)) throw std::runtime_error("TIFF writer failed");
    return {bytes.begin(), bytes.end()};
}

// A w x h picture of `format` whose pixel (x, y) is `colour(x, y)`.
template <class F> QImage Pattern(int w, int h, QImage::Format format, F colour) {
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixelColor(x, y, colour(x, y));
    return image;
}

// Little-endian reads and writes (Qt writes TIFF files in the machine's
// order, little-endian here).
inline uint32_t GetLE(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + size_t(i));
    return v;
}

inline void PutLE(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.at(at + size_t(i)) = uint8_t(v >> (8 * i));
}

// The offset of the entry for `tag` in the first directory, 0 if none.
inline size_t FindTag(const std::vector<uint8_t>& tiff, uint16_t tag) {
    const size_t ifd = GetLE(tiff, 4, 4);
    const uint32_t count = GetLE(tiff, ifd, 2);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = ifd + 2 + 12 * i;
        if (GetLE(tiff, entry, 2) == tag) return entry;
    }
    return 0;
}

// Sets the single value of `tag` (a short or long held in the entry itself).
inline void SetTagValue(std::vector<uint8_t>& tiff, uint16_t tag, uint32_t value) {
    const size_t entry = FindTag(tiff, tag);
    if (entry == 0) throw std::runtime_error("no such TIFF tag");
    PutLE(tiff, entry + 8, value, GetLE(tiff, entry + 2, 2) == 3 ? 2 : 4);
}

} // namespace tiff_files
