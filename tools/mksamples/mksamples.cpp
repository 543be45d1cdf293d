// mksamples OUTPUT_FOLDER: writes the synthetic sample pictures of the
// "samples" folder: shapes, gradients, text-like strokes and noise, as JPEG
// (libjpeg's compressor) and 24-bit BMP (written by hand). Every pseudo-random
// value comes from a fixed seed, so the files come out the same on every run.
//
// To regenerate the checked-in files, from the repository root:
//   cmake -S . -B build && cmake --build build --target mksamples
//   build/tools/mksamples/mksamples samples
//
// Reads: nothing. Writes: shapes.jpg (256 x 256), strokes.jpg (640 x 480),
// rings.bmp and noise.Bmp (100 x 100; the mixed-case extension exercises
// the upper-cased extension rule).
#include "support/picture_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct TColour {
    int r, g, b;
};

// Linear congruential generator: small, fixed, the same everywhere.
struct TRandom {
    uint32_t State;
    uint32_t Next() {
        State = State * 1664525u + 1013904223u;
        return State >> 8;
    }
    int Below(int n) { return int(Next() % uint32_t(n)); }
};

void Put(TPixels& p, int x, int y, TColour c) {
    if (x < 0 || y < 0 || x >= p.Width || y >= p.Height) return;
    uint8_t* q = p.At(x, y);
    q[0] = uint8_t(std::clamp(c.r, 0, 255));
    q[1] = uint8_t(std::clamp(c.g, 0, 255));
    q[2] = uint8_t(std::clamp(c.b, 0, 255));
}

// A diagonal blend between two colours over the whole picture.
void Gradient(TPixels& p, TColour from, TColour to) {
    const double span = p.Width + p.Height - 2;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const double t = (x + y) / span;
            Put(p, x, y,
                {int(from.r + (to.r - from.r) * t), int(from.g + (to.g - from.g) * t),
                 int(from.b + (to.b - from.b) * t)});
        }
}

void Disc(TPixels& p, int cx, int cy, int radius, TColour c) {
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) Put(p, x, y, c);
}

void Box(TPixels& p, int x0, int y0, int x1, int y1, TColour c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Put(p, x, y, c);
}

// A filled triangle: the points on the inner side of all three edges.
void Triangle(TPixels& p, int ax, int ay, int bx, int by, int cx, int cy, TColour c) {
    auto side = [](int x0, int y0, int x1, int y1, int x, int y) {
        return (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0);
    };
    for (int y = std::min({ay, by, cy}); y <= std::max({ay, by, cy}); ++y)
        for (int x = std::min({ax, bx, cx}); x <= std::max({ax, bx, cx}); ++x) {
            const int s0 = side(ax, ay, bx, by, x, y), s1 = side(bx, by, cx, cy, x, y),
                      s2 = side(cx, cy, ax, ay, x, y);
            if ((s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0)) Put(p, x, y, c);
        }
}

// A line `width` pixels thick, stamped as small squares along its length.
void Stroke(TPixels& p, int x0, int y0, int x1, int y1, int width, TColour c) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1;
    for (int i = 0; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / steps, y = y0 + (y1 - y0) * i / steps;
        Box(p, x, y, x + width, y + width, c);
    }
}

void AddNoise(TPixels& p, TRandom& rng, int amplitude) {
    for (uint8_t& v : p.Bytes)
        v = uint8_t(std::clamp(v + rng.Below(2 * amplitude + 1) - amplitude, 0, 255));
}

TPixels Shapes() {
    TPixels p = MakePixels(256, 256, 3);
    Gradient(p, {30, 60, 120}, {230, 210, 170});
    Box(p, 20, 24, 110, 90, {200, 40, 40});
    Disc(p, 180, 70, 45, {250, 220, 40});
    Triangle(p, 30, 230, 120, 120, 150, 240, {40, 160, 70});
    Disc(p, 200, 190, 30, {20, 20, 30});
    Box(p, 160, 150, 250, 170, {240, 240, 250});
    Disc(p, 75, 160, 18, {120, 60, 180});
    return p;
}

// A page: a column of made-up glyphs (two to four strokes between points of a
// 3 x 4 grid in each character cell, like handwriting seen from afar) beside
// a framed figure.
TPixels Strokes() {
    TPixels p = MakePixels(640, 480, 3);
    Gradient(p, {245, 240, 225}, {200, 215, 235});
    TRandom rng{20240611u};
    for (int line = 0; line < 15; ++line) {
        const int top = 24 + line * 29;
        for (int cell = 0; cell < 28; ++cell) {
            if (rng.Below(7) == 0) continue; // a space between words
            const int left = 16 + cell * 13;
            const int strokes = 2 + rng.Below(3);
            for (int s = 0; s < strokes; ++s)
                Stroke(p, left + 4 * rng.Below(3), top + 6 * rng.Below(4), left + 4 * rng.Below(3),
                       top + 6 * rng.Below(4), 2, {30, 30, 60 + 20 * (line % 3)});
        }
    }
    Box(p, 410, 40, 620, 300, {60, 60, 70});
    Box(p, 414, 44, 616, 296, {120, 170, 220});
    Disc(p, 470, 110, 30, {250, 230, 120});
    Triangle(p, 414, 296, 520, 150, 616, 296, {70, 110, 60});
    return p;
}

// Concentric rings and a cross over a gradient, at 100 x 100.
TPixels Rings() {
    TPixels p = MakePixels(100, 100, 3);
    Gradient(p, {10, 90, 90}, {250, 160, 60});
    for (int r = 45; r > 0; r -= 9)
        Disc(p, 50, 50, r, (r / 9) % 2 ? TColour{250, 250, 240} : TColour{200, 30, 60});
    Stroke(p, 5, 5, 94, 94, 3, {20, 20, 20});
    Stroke(p, 5, 94, 94, 5, 3, {20, 20, 20});
    return p;
}

// Coarse value noise (random levels on a grid, blended) with fine noise on
// top, in three independent channels.
TPixels Noise() {
    TPixels p = MakePixels(100, 100, 3);
    TRandom rng{7u};
    int grid[3][6][6];
    for (auto& channel : grid)
        for (auto& row : channel)
            for (int& v : row) v = rng.Below(256);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const double gx = x / 20.0, gy = y / 20.0;
            const int ix = int(gx), iy = int(gy);
            const double fx = gx - ix, fy = gy - iy;
            int v[3];
            for (int c = 0; c < 3; ++c) {
                const auto& g = grid[c];
                v[c] = int(g[iy][ix] * (1 - fx) * (1 - fy) + g[iy][ix + 1] * fx * (1 - fy) +
                           g[iy + 1][ix] * (1 - fx) * fy + g[iy + 1][ix + 1] * fx * fy);
            }
            Put(p, x, y, {v[0], v[1], v[2]});
        }
    AddNoise(p, rng, 24);
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mksamples OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    try {
        TJpegOptions options;
        options.Quality = 85;
        SaveBytes(folder + "shapes.jpg", EncodeJpeg(Shapes(), options));
        SaveBytes(folder + "strokes.jpg", EncodeJpeg(Strokes(), options));
        SaveBytes(folder + "rings.bmp", EncodeBmp24(Rings()));
        SaveBytes(folder + "noise.Bmp", EncodeBmp24(Noise()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mksamples: %s\n", e.what());
        return 1;
    }
    return 0;
}
