// Pictures made by the tests themselves: uncompressed 24-bit BMP files and a
// temporary folder that removes itself.
#pragma once

#include "image/bitmap.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

// Writes a bottom-up 24-bit BMP whose pixel (x, y) is colour(x, y).
inline void WriteBmp24(const std::string& path, int w, int h,
                       const std::function<TRGB(int, int)>& colour) {
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(stride) * uint32_t(h), fileSize = 54 + dataSize;
    std::string f(54, '\0');
    const auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) f[at + size_t(i)] = char((v >> (8 * i)) & 255);
    };
    f[0] = 'B';
    f[1] = 'M';
    put(2, fileSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(w), 4);
    put(22, uint32_t(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, dataSize, 4);
    std::string row(size_t(stride), '\0');
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const TRGB c = colour(x, y);
            row[size_t(3 * x)] = char(c.b);
            row[size_t(3 * x + 1)] = char(c.g);
            row[size_t(3 * x + 2)] = char(c.r);
        }
        f += row;
    }
    std::ofstream(path, std::ios::binary) << f;
}

inline void WriteUniformBmp(const std::string& path, int w, int h, TRGB c) {
    WriteBmp24(path, w, h, [c](int, int) { return c; });
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string PathIn(const QTemporaryDir& dir, const char* name) {
    return QDir(dir.path()).filePath(name).toStdString();
}
