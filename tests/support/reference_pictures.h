// Helpers shared by the tests and the benchmarks: the pictures and planes of
// the gzip'd reference dumps, and a busy test picture.
#pragma once

#include "image/bitmap.h"
#include "image/plane_store.h"

#include "support/gz.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace planes_test {

using ::ReadGz;
using ::ReferenceDir;

// A binary PPM (P6, maxval 255) as a bitmap.
inline TBitmap DecodePpm(const std::vector<uint8_t>& data) {
    size_t pos = 0;
    auto token = [&]() {
        for (;;) {
            while (pos < data.size() && std::isspace(data[pos])) ++pos;
            if (pos < data.size() && data[pos] == '#') {
                while (pos < data.size() && data[pos] != '\n') ++pos;
                continue;
            }
            break;
        }
        std::string t;
        while (pos < data.size() && !std::isspace(data[pos])) t += char(data[pos++]);
        return t;
    };
    if (token() != "P6") throw std::runtime_error("not a P6 picture");
    const int w = std::stoi(token()), h = std::stoi(token()), maxval = std::stoi(token());
    if (maxval != 255) throw std::runtime_error("maxval is not 255");
    ++pos; // the single blank after maxval
    if (data.size() < pos + size_t(w) * h * 3) throw std::runtime_error("PPM too short");
    TBitmap bmp;
    CreateBitmap(bmp, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &data[pos + (size_t(y) * w + x) * 3];
            SetPixel(bmp, x, y, {p[0], p[1], p[2]});
        }
    return bmp;
}

inline TBitmap LoadReferencePicture(const std::string& dump) {
    return DecodePpm(ReadGz(ReferenceDir() + "/" + dump + "/image1.ppm.gz"));
}

// The 20 planes of a reference dump.
inline void LoadReferencePlanes(TPlanes& planes, const std::string& dump) {
    const std::vector<uint8_t> data = ReadGz(ReferenceDir() + "/" + dump + "/planes.bin.gz");
    if (data.size() != sizeof planes.P)
        throw std::runtime_error("planes.bin of " + dump + " has the wrong size");
    std::memcpy(planes.P, data.data(), data.size());
}

// A deterministic busy picture: every byte from a fixed linear congruential
// sequence mixed with smooth gradients and blocks.
inline TBitmap BusyPicture(uint32_t seed) {
    TBitmap bmp;
    CreateBitmap(bmp, 256, 256);
    uint32_t s = seed * 2654435761u + 12345u;
    auto next = [&]() {
        s = s * 1664525u + 1013904223u;
        return uint8_t(s >> 24);
    };
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t n = next();
            const int block = ((x / 16 + y / 16) & 1) ? 60 : 0;
            SetPixel(
                bmp, x, y,
                {uint8_t((x + n / 4 + block) & 255), uint8_t((y * 2 + n / 2) & 255), uint8_t(n)});
        }
    return bmp;
}

} // namespace planes_test
