// The area probe.
//
// Reads: Areas and AreaCount as the last pass left them (meanX, meanY, shape,
// runs of each live record). Writes: the view, the state's Likeness scratch,
// and ProbePick (what was picked, and the range that scaled the colours).
// The picked area is drawn light green, every other area with blue for how
// alike its profile is to the picked one as it stands and red for how alike
// it is at best when mirrored and turned; brighter is more alike.
#include "probe.h"

#include "../image/lookup_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Sum over k of |a[m(k)] - b[k]| for the mapping m(k) = (sign * k + r) mod 8.
// Each term is the square root of a squared difference summed into a 32-bit
// float; the square root of a perfect square is exact, and so is every sum of
// at most eight terms below 256, so the whole number computed here is that
// float's value exactly.
int ProfileDifference(const uint8_t* a, const uint8_t* b, int sign, int r) {
    int sum = 0;
    for (int k = 0; k < 8; ++k) sum += std::abs(a[(sign * k + r + 8) & 7] - b[k]);
    return sum;
}

} // namespace

uint8_t LikenessColour(float diff, float lo, float hi) {
    const double ratio = hi == lo ? 0.0 : (double(diff) - double(lo)) / (double(hi) - double(lo));
    const double shade = std::min(255.0, std::max(0.0, std::sqrt(ratio) * 255.0));
    return ClampTab[int(255.0 - shade)];
}

bool ProbeArea(TAreaState& s, TBitmap& view, int32_t x, int32_t y) {
    const int32_t AreaCount = s.AreaCount;
    const auto& Areas = s.Areas;
    TLikeness* Likeness = s.Likeness;
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

    // Every difference each area meets, once: the smallest and the largest
    // of all of them (lo and hi) scale the colours. The picked area takes part
    // in the turned and mirrored ones, so its difference turned by 0 makes lo 0.
    float lo = 100000, hi = 0;
    const auto meet = [&](float v) {
        if (v < lo) lo = v;
        if (v > hi) hi = v;
    };
    for (int32_t i = 0; i <= AreaCount; ++i) {
        const TArea* a = Areas[i].get();
        if (!a) continue;
        TLikeness& l = Likeness[i];
        l.plain = l.mirrorBest = 100000;
        if (i != p) {
            l.plain = float(ProfileDifference(a->shape, picked, 1, 0));
            meet(l.plain);
        }
        for (int r = 0; r < 8; ++r) {
            meet(float(ProfileDifference(a->shape, picked, 1, r)));
            const float u = float(ProfileDifference(a->shape, picked, -1, 8 + r));
            meet(u);
            if (u < l.mirrorBest) l.mirrorBest = u;
        }
    }

    s.ProbePick = {p, lo, hi};
    FillBitmap(view, {0, 0, 0});
    for (int32_t i = 0; i <= AreaCount; ++i) {
        const TArea* a = Areas[i].get();
        if (!a) continue;
        view.Pen = i == p ? TRGB{128, 255, 128}
                          : TRGB{LikenessColour(Likeness[i].mirrorBest, lo, hi), 0,
                                 LikenessColour(Likeness[i].plain, lo, hi)};
        for (const TLineSeg& run : a->runs) {
            MoveTo(view, run.x, run.y);
            LineTo(view, run.x + run.len, run.y);
        }
    }
    return true;
}
