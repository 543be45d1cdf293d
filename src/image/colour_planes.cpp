// The colour planes 12, 10, 7, 8, 9 and 11 of level 0.
//
// Reads: the level-0 picture (bytes blue, green, red).
// Writes: planes aV, aH, aR, aG, aB, aT, every pixel.
//
// Fast and identical to the plain computation (the plain twin in tests/support/
// plain_planes.h, compared with this one over all 2^24 colours at every
// kernel level): each picture row is split into its red, green and blue
// bytes, then every formula runs over the row as a vector loop (AVX2 kernel,
// or portable loop: planes_simd.h). The plain per-pixel table reads are
// computed instead of read, each giving what its table holds at every index
// the formula can reach:
// - ClampTab[i] = min(255, max(0, i)), which is also what packing signed
//   16-bit lanes to bytes with unsigned saturation does;
// - SqrTab[i] = min(2047, i * i) (|i| <= 255 here);
// - SqrtTab[n] for n = s div 32 in 0..191: the truncated square root; the
//   portable loop counts the k in 1..13 with k * k <= n, the AVX2 kernel
//   truncates the single-precision root, which is exact on squares and more
//   than 1/28 below the next whole number otherwise;
// - V = (3 R + 5 G + 4 B) div 12, the sum at most 3060: (sum * 43691) >> 19
//   in the AVX2 kernel, since 43691 * 12 = 2^19 + 4 adds at most
//   3060 / (3 * 2^19) < 1 / 12 to sum / 12, too little to reach the next
//   whole number;
// - the hue's signed division truncating toward zero, n / d with |n| <= 32640
//   and 1 <= d <= 511: the quotient of the floats n and d truncated; n / d is
//   a whole number or at least 1/511 away from one, far more than the float
//   rounding error (at most 128 * 2^-24), so the truncation lands the same.
#include "compute_planes.h"
#include "planes_internal.h"
#include "planes_simd.h"

#include <algorithm>

namespace {

inline uint8_t Clamp255(int i) {
    return uint8_t(i < 0 ? 0 : i > 255 ? 255 : i);
}

// min(2047, i * i) for |i| <= 255: 45 * 45 = 2025, 46 * 46 = 2116.
inline int16_t Square2047(int i) {
    const int16_t a = int16_t(std::min(i < 0 ? -i : i, 46));
    return int16_t(std::min(a * a, 2047));
}

TESSA_CLONES void ColourRow(const uint8_t* __restrict bgr, uint8_t* __restrict pV,
                            uint8_t* __restrict pH, uint8_t* __restrict pR, uint8_t* __restrict pG,
                            uint8_t* __restrict pB, uint8_t* __restrict pT) {
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

#if TESSA_X86_KERNELS
// Sixteen 16-bit lanes, clamped to 0..255 (ClampTab), stored as bytes.
TESSA_AVX2 inline void Store16(uint8_t* p, __m256i v) {
    const __m256i packed = _mm256_packus_epi16(v, v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                     _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, 0x08)));
}

// Sixteen signed 16-bit lanes truncated-divided, lane by lane, through floats.
TESSA_AVX2 inline __m256i DivideTruncating(__m256i n, __m256i d) {
    const __m256 n0 = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(_mm256_castsi256_si128(n)));
    const __m256 n1 = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(_mm256_extracti128_si256(n, 1)));
    const __m256 d0 = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(_mm256_castsi256_si128(d)));
    const __m256 d1 = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(_mm256_extracti128_si256(d, 1)));
    const __m256i q0 = _mm256_cvttps_epi32(_mm256_div_ps(n0, d0));
    const __m256i q1 = _mm256_cvttps_epi32(_mm256_div_ps(n1, d1));
    // packs works within 128-bit halves: lanes come out 0-3, 8-11, 4-7, 12-15.
    return _mm256_permute4x64_epi64(_mm256_packs_epi32(q0, q1), 0xD8);
}

// min(2047, i * i) for |i| <= 255.
TESSA_AVX2 inline __m256i Square2047Avx2(__m256i i) {
    const __m256i a = _mm256_min_epi16(_mm256_abs_epi16(i), _mm256_set1_epi16(46));
    return _mm256_min_epi16(_mm256_mullo_epi16(a, a), _mm256_set1_epi16(2047));
}

TESSA_AVX2 void ColourRowAvx2(const uint8_t* __restrict bgr, uint8_t* __restrict pV,
                              uint8_t* __restrict pH, uint8_t* __restrict pR,
                              uint8_t* __restrict pG, uint8_t* __restrict pB,
                              uint8_t* __restrict pT) {
    alignas(64) uint8_t rb[256], rg[256], rr[256];
    planes_simd::SplitRowAvx2(bgr, rb, rg, rr);
    const __m256i one = _mm256_set1_epi16(1);
    for (int x = 0; x < 256; x += 16) {
        const __m256i B =
            _mm256_cvtepu8_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(rb + x)));
        const __m256i G =
            _mm256_cvtepu8_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(rg + x)));
        const __m256i R =
            _mm256_cvtepu8_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(rr + x)));
        // V = (3 R + 5 G + 4 B) div 12.
        const __m256i sum =
            _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(R, _mm256_set1_epi16(3)),
                                              _mm256_mullo_epi16(G, _mm256_set1_epi16(5))),
                             _mm256_slli_epi16(B, 2));
        const __m256i V =
            _mm256_srli_epi16(_mm256_mulhi_epu16(sum, _mm256_set1_epi16(int16_t(43691))), 3);
        Store16(pV + x, V);
        // Hue.
        const __m256i first = _mm256_cmpgt_epi16(R, B);
        const __m256i other = _mm256_blendv_epi8(B, R, first);
        const __m256i n = _mm256_slli_epi16(_mm256_sub_epi16(G, other), 7);
        const __m256i d = _mm256_add_epi16(_mm256_add_epi16(G, other), one);
        const __m256i q = DivideTruncating(n, d);
        const __m256i h = _mm256_blendv_epi8(_mm256_sub_epi16(_mm256_set1_epi16(165), q),
                                             _mm256_add_epi16(_mm256_set1_epi16(80), q), first);
        Store16(pH + x, h);
        // Opponents.
        const __m256i R2 = _mm256_add_epi16(R, R), G2 = _mm256_add_epi16(G, G),
                      B2 = _mm256_add_epi16(B, B);
        Store16(pR + x, _mm256_sub_epi16(_mm256_sub_epi16(R2, G), B));
        Store16(pG + x, _mm256_sub_epi16(_mm256_sub_epi16(G2, R), B));
        Store16(pB + x, _mm256_sub_epi16(_mm256_sub_epi16(B2, R), G));
        // Saturation.
        const __m256i s = _mm256_add_epi16(_mm256_add_epi16(Square2047Avx2(_mm256_sub_epi16(R, V)),
                                                            Square2047Avx2(_mm256_sub_epi16(G, V))),
                                           Square2047Avx2(_mm256_sub_epi16(B, V)));
        // The truncated square root of m = s div 32 (0..191).
        const __m256i m = _mm256_srli_epi16(s, 5);
        const __m256i r0 = _mm256_cvttps_epi32(
            _mm256_sqrt_ps(_mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(m)))));
        const __m256i r1 = _mm256_cvttps_epi32(_mm256_sqrt_ps(
            _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(m, 1)))));
        Store16(pT + x, _mm256_permute4x64_epi64(_mm256_packs_epi32(r0, r1), 0xD8));
    }
}
#endif

} // namespace

void ComputeColourPlanes(TPlanes& pl) {
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx2(pl.KernelLevel)) {
        for (int y = 0; y <= LevelMaxRow[0]; ++y)
            ColourRowAvx2(pl.Row(y), pl[aV][y], pl[aH][y], pl[aR][y], pl[aG][y], pl[aB][y],
                          pl[aT][y]);
        return;
    }
#endif
    for (int y = 0; y <= LevelMaxRow[0]; ++y)
        ColourRow(pl.Row(y), pl[aV][y], pl[aH][y], pl[aR][y], pl[aG][y], pl[aB][y], pl[aT][y]);
}
