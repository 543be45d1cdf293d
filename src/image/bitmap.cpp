#include "bitmap.h"

#include "planes_simd.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

void CreateBitmap(TBitmap& bmp, int width, int height, TRGB fill) {
    assert(width > 0 && height > 0);
    bmp.Width = width;
    bmp.Height = height;
    bmp.Stride = (width * 3 + 3) & ~3;
    bmp.Pixels.assign(size_t(bmp.Stride) * size_t(height), 0);
    bmp.Rows.resize(size_t(height));
    for (int y = 0; y < height; ++y)
        bmp.Rows[size_t(y)] = bmp.Pixels.data() + size_t(y) * bmp.Stride;
    bmp.PenX = bmp.PenY = 0;
    FillBitmap(bmp, fill);
}

void SetPixel(TBitmap& bmp, int x, int y, TRGB c) {
    if (x < 0 || y < 0 || x >= bmp.Width || y >= bmp.Height) return;
    uint8_t* p = bmp.Rows[size_t(y)] + 3 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

TRGB GetPixel(const TBitmap& bmp, int x, int y) {
    const uint8_t* p = bmp.Rows[size_t(y)] + 3 * x;
    return {p[2], p[1], p[0]};
}

void FillBitmap(TBitmap& bmp, TRGB c) {
    if (bmp.Height == 0) return;
    uint8_t* row = bmp.Rows[0];
    for (int x = 0; x < bmp.Width; ++x) {
        row[3 * x] = c.b;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.r;
    }
    for (int y = 1; y < bmp.Height; ++y)
        std::memcpy(bmp.Rows[size_t(y)], row, size_t(bmp.Width) * 3);
}

void MoveTo(TBitmap& bmp, int x, int y) {
    bmp.PenX = x;
    bmp.PenY = y;
}

void LineTo(TBitmap& bmp, int x1, int y1) {
    int x = bmp.PenX, y = bmp.PenY;
    const int dx = std::abs(x1 - x), sx = x1 >= x ? 1 : -1;
    const int dy = -std::abs(y1 - y), sy = y1 >= y ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
        SetPixel(bmp, x, y, bmp.Pen);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    bmp.PenX = x1;
    bmp.PenY = y1;
}

void DrawBitmap(TBitmap& dst, int x, int y, const TBitmap& src) {
    const int x0 = x < 0 ? -x : 0, y0 = y < 0 ? -y : 0;
    int w = src.Width, h = src.Height;
    if (x + w > dst.Width) w = dst.Width - x;
    if (y + h > dst.Height) h = dst.Height - y;
    if (w <= x0 || h <= y0) return;
    for (int sy = y0; sy < h; ++sy)
        std::memcpy(dst.Rows[size_t(y + sy)] + 3 * (x + x0), src.Rows[size_t(sy)] + 3 * x0,
                    size_t(w - x0) * 3);
}

namespace {

// Weights of the source pixels under each destination pixel along one axis.
// Positions are measured in units of 1/(src * dst) of the axis: source pixel j
// spans [j * dst, (j + 1) * dst), destination pixel i spans [i * src, (i + 1) * src),
// so every overlap is a whole number and the weights of one destination pixel
// add up to src.
struct TAxisWeights {
    static constexpr int MaxTaps = 258; // a footprint covers at most src / dst + 2 pixels
    std::vector<int> First;             // first source index of each destination pixel
    std::vector<int> Count;             // source pixels under it
    std::vector<int> Weight;            // MaxTaps per destination pixel
};

TAxisWeights AxisWeights(int src, int dst) {
    TAxisWeights w;
    w.First.resize(size_t(dst));
    w.Count.resize(size_t(dst));
    w.Weight.assign(size_t(dst) * TAxisWeights::MaxTaps, 0);
    for (int i = 0; i < dst; ++i) {
        const long lo = long(i) * src, hi = long(i + 1) * src;
        const int j0 = int(lo / dst), j1 = int((hi - 1) / dst);
        w.First[size_t(i)] = j0;
        w.Count[size_t(i)] = j1 - j0 + 1;
        for (int j = j0; j <= j1; ++j) {
            const long a = std::max(lo, long(j) * dst), b = std::min(hi, long(j + 1) * dst);
            w.Weight[size_t(i) * TAxisWeights::MaxTaps + size_t(j - j0)] = int(b - a);
        }
    }
    return w;
}

} // namespace

// Built for AVX2 as well where TESSA_CLONES allows, chosen at run time: the
// column sums widen bytes to 32 bits, eight at a time there instead of four.
TESSA_CLONES void HalftoneReduce(const TBitmap& src, TBitmap& dst) {
    assert(dst.Width <= src.Width && dst.Height <= src.Height && src.Width <= 256);
    const TAxisWeights wx = AxisWeights(src.Width, dst.Width);
    const TAxisWeights wy = AxisWeights(src.Height, dst.Height);
    // Columns first: for each destination row, the weighted sum of the source
    // rows under it, all channels side by side (at most 255 x 256 each).
    const size_t srcLen = size_t(src.Width) * 3;
    std::vector<uint32_t> acc(srcLen);
    // (sum + total / 2) / total without a division per channel: the quotients
    // of different sums differ by at least 1 / total (at least 2^-16), far more
    // than the rounding error of the product (below 2^-28), so adding 2^-20
    // before truncating gives the exact quotient.
    const uint32_t total = uint32_t(src.Width) * uint32_t(src.Height);
    const double inverse = 1.0 / total;
    const auto RoundedMean = [&](uint32_t sum) {
        return uint8_t(double(sum + total / 2) * inverse + 0x1p-20);
    };
    for (int i = 0; i < dst.Height; ++i) {
        std::fill(acc.begin(), acc.end(), 0u);
        const int* wr = wy.Weight.data() + size_t(i) * TAxisWeights::MaxTaps;
        const int taps = wy.Count[size_t(i)];
        uint32_t* a = acc.data();
        for (int k = 0; k < taps; ++k) {
            const uint8_t* s = src.Rows[size_t(wy.First[size_t(i)] + k)];
            const uint32_t w = uint32_t(wr[k]);
            for (size_t c = 0; c < srcLen; ++c) a[c] += w * s[c];
        }
        // Then along the row, and the mean rounded to the nearest byte.
        uint8_t* d = dst.Rows[size_t(i)];
        for (int o = 0; o < dst.Width; ++o, d += 3) {
            const int* w = wx.Weight.data() + size_t(o) * TAxisWeights::MaxTaps;
            const uint32_t* p = acc.data() + 3 * size_t(wx.First[size_t(o)]);
            uint32_t b = 0, g = 0, r = 0; // at most 255 x 256 x 256
            const int taps = wx.Count[size_t(o)];
            for (int m = 0; m < taps; ++m, p += 3) {
                b += uint32_t(w[m]) * p[0];
                g += uint32_t(w[m]) * p[1];
                r += uint32_t(w[m]) * p[2];
            }
            d[0] = RoundedMean(b);
            d[1] = RoundedMean(g);
            d[2] = RoundedMean(r);
        }
    }
}
