// The plain twin of the area probe: two sweeps over the areas, every
// profile difference a float sum of square roots of squared differences, the
// first sweep settling lo and hi, the second meeting them again and drawing.
#pragma once

#include "areas/area_tables.h"
#include "image/bitmap.h"
#include "image/lookup_tables.h"

#include <algorithm>
#include <cmath>

namespace plain_probe {

// Sum over k of |a[m(k)] - b[k]| for the mapping m(k) = (sign * k + r) mod 8,
// each term the square root of the squared difference, summed as a float.
inline float ProfileDifference(const uint8_t* a, const uint8_t* b, int sign, int r) {
    float sum = 0;
    for (int k = 0; k < 8; ++k) {
        const int d = a[(sign * k + r + 8) & 7] - b[k];
        sum = float(double(sum) + std::sqrt(double(d * d)));
    }
    return sum;
}

// Likeness 0..1 of a difference, scaled to a colour byte: 255 for the
// smallest difference met, 0 for the largest.
inline uint8_t LikenessColour(float diff, float lo, float hi) {
    const double ratio = hi == lo ? 0.0 : (double(diff) - double(lo)) / (double(hi) - double(lo));
    const double shade = std::min(255.0, std::max(0.0, std::sqrt(ratio) * 255.0));
    return ClampTab[int(255.0 - shade)];
}

} // namespace plain_probe

inline bool PlainProbeArea(const TAreaState& s, TBitmap& view, int32_t x, int32_t y) {
    const auto& Areas = s.Areas;
    const int32_t AreaCount = s.AreaCount;
    if (s.PassRunning || AreaCount < 2) return false;

    float best = 10000;
    int32_t p = -1;
    for (int32_t i = 0; i <= AreaCount; ++i) {
        const TArea* a = Areas[i].get();
        if (!a) continue;
        const double dx = double(x) - a->meanX, dy = double(y) - a->meanY;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < best) {
            best = float(d);
            p = i;
        }
    }
    if (p < 0) return false; // every record was released: nothing to compare
    const uint8_t* picked = Areas[p]->shape;

    FillBitmap(view, {0, 0, 0});
    float lo = 100000, hi = 0;
    const auto meet = [&](float v) {
        if (v < lo) lo = v;
        if (v > hi) hi = v;
    };
    // Sweep 0 settles lo and hi; sweep 1 meets the same values and draws.
    for (int sweep = 0; sweep < 2; ++sweep) {
        for (int32_t i = 0; i <= AreaCount; ++i) {
            const TArea* a = Areas[i].get();
            if (!a) continue;
            float plain = 100000, mirrorBest = 100000;
            if (i != p) {
                plain = plain_probe::ProfileDifference(a->shape, picked, 1, 0);
                meet(plain);
            }
            for (int r = 0; r < 8; ++r) {
                meet(plain_probe::ProfileDifference(a->shape, picked, 1, r));
                const float u = plain_probe::ProfileDifference(a->shape, picked, -1, 8 + r);
                meet(u);
                if (u < mirrorBest) mirrorBest = u;
            }
            if (sweep == 0) continue;
            view.Pen = i == p ? TRGB{128, 255, 128}
                              : TRGB{plain_probe::LikenessColour(mirrorBest, lo, hi), 0,
                                     plain_probe::LikenessColour(plain, lo, hi)};
            for (const TLineSeg& run : a->runs) {
                MoveTo(view, run.x, run.y);
                LineTo(view, run.x + run.len, run.y);
            }
        }
    }
    return true;
}
