// Part 2.3: the colour planes 12, 10, 7, 8, 9 and 11 of level 0.
//
// Reads: LevelBitmap[0] through LevelRows[0] (bytes blue, green, red).
// Writes: planes aV, aH, aR, aG, aB, aT, every pixel.
//
// Fast and identical to the design (the plain twin in tests/image/
// plain_planes.h, compared with this one over all 2^24 colours): each picture
// row is split into its red, green and blue bytes, then every formula runs
// over the row as a vector loop. The design's per-pixel table reads are
// computed instead of read, each giving what its table holds at every index
// the formula can reach:
// - ClampTab[i] = min(255, max(0, i));
// - SqrTab[i] = min(2047, i * i) (|i| <= 255 here);
// - SqrtTab[n] for n = s div 32 in 0..191: the truncated square root, the
//   count of k in 1..13 with k * k <= n;
// - the hue's signed division truncating toward zero, n / d with |n| <= 32640
//   and 1 <= d <= 511: the quotient of the floats n and d truncated; n / d is
//   a whole number or at least 1/511 away from one, far more than the float
//   rounding error (at most 128 * 2^-24), so the truncation lands the same.
#include "compute_planes.h"
#include "plane_store.h"
#include "planes_simd.h"

#include <algorithm>

namespace {

inline uint8_t Clamp255(int i) { return uint8_t(i < 0 ? 0 : i > 255 ? 255 : i); }

// min(2047, i * i) for |i| <= 255: 45 * 45 = 2025, 46 * 46 = 2116.
inline int16_t Square2047(int i) {
    const int16_t a = int16_t(std::min(i < 0 ? -i : i, 46));
    return int16_t(std::min(a * a, 2047));
}

TESSA_CLONES void ColourRow(const uint8_t* __restrict bgr, uint8_t* __restrict pV,
                            uint8_t* __restrict pH, uint8_t* __restrict pR,
                            uint8_t* __restrict pG, uint8_t* __restrict pB,
                            uint8_t* __restrict pT) {
    // 16-bit lanes hold every intermediate value but the hue's quotient.
    alignas(64) int16_t rb[256], rg[256], rr[256];
    for (int x = 0; x < 256; ++x) {
        rb[x] = bgr[3 * x];
        rg[x] = bgr[3 * x + 1];
        rr[x] = bgr[3 * x + 2];
    }
    for (int x = 0; x < 256; ++x) {
        const int16_t B = rb[x], G = rg[x], R = rr[x];
        const int16_t V = int16_t(uint16_t(3 * R + 5 * G + 4 * B) / uint16_t(12));
        pV[x] = uint8_t(V);
        // Hue: the two rules differ in the colour set against green (red for
        // the first, blue for the second) and in how the quotient is applied.
        const bool first = R > B;
        const int16_t other = first ? R : B;
        const int16_t n = int16_t(128 * (G - other)), d = int16_t(G + other + 1);
        const int16_t q = int16_t(float(n) / float(d)); // truncated toward zero
        pH[x] = Clamp255(first ? 80 + q : 165 - q);
        pR[x] = Clamp255(2 * R - G - B);
        pG[x] = Clamp255(2 * G - R - B);
        pB[x] = Clamp255(2 * B - R - G);
        const int16_t s = int16_t(Square2047(R - V) + Square2047(G - V) + Square2047(B - V));
        const int16_t m = int16_t(uint16_t(s) / uint16_t(32));
        int16_t root = 0;
        for (int16_t k = 1; k <= 13; ++k) root = int16_t(root + (m >= k * k));
        pT[x] = uint8_t(root);
    }
}

} // namespace

void ComputeColourPlanes() {
    for (int y = 0; y <= LevelMaxRow[0]; ++y)
        ColourRow(LevelRows[0][y], Plane(aV)[y], Plane(aH)[y], Plane(aR)[y], Plane(aG)[y],
                  Plane(aB)[y], Plane(aT)[y]);
}
