// The border plane 2 (aNo3) and the gradient planes 15 to 18.
//
// Reads: the level-0 picture, plane 12 (before the contrast
// normalisation). Writes: the scratch PlaneCopy, planes 2, 15, 16, 17, 18; pixels a
// step does not visit keep the 0 that ComputePlanes cleared them to.
//
// Fast and identical to the plain computation (the plain twin in tests/support/
// plain_planes.h, compared with this one on many pictures): every step runs
// along rows as vector loops of whole numbers, which are exact in any order
// (AVX2 kernels, or portable loops: planes_simd.h). The plain table reads
// are computed instead, each giving what its table holds at every index the
// formula can reach:
// - AbsTab[i] for -255 <= i <= 255 is |i| (its wrap at 256 is out of reach);
// - ClampTab[i] = min(255, max(0, i)), which is also what packing signed
//   16-bit lanes to bytes with unsigned saturation does; the raw and smoothed
//   plane-2 values are at most 1530 div 6 = 255 and 5100 div 20 = 255, so
//   their clamp changes nothing;
// - unsigned s div 6 for s <= 1530 is (s * 10923) >> 16, and t div 20 for
//   t <= 5100 is (t * 52429) >> 20 (the multipliers exceed 2^16 / 6 and
//   2^20 / 20 by less than 1 / 1530 and 1 / 5100 of a step).
#include "compute_planes.h"
#include "planes_internal.h"
#include "planes_simd.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int N = 255;

inline uint8_t Clamp255(int i) {
    return uint8_t(i < 0 ? 0 : i > 255 ? 255 : i);
}

// Plane 2 at columns 1..N of one row from the picture row and the row above.
TESSA_CLONES void RawBorderRow(const uint8_t* __restrict row, const uint8_t* __restrict up,
                               uint8_t* __restrict out) {
    // Per byte (blue, green, red of each pixel): the differences to the
    // pixel on the left and the one above.
    alignas(64) uint16_t d[768];
    for (int j = 3; j < 768; ++j) {
        const int p = row[j], l = row[j - 3], u = up[j];
        d[j] = uint16_t((p > l ? p - l : l - p) + (p > u ? p - u : u - p));
    }
    for (int x = 1; x <= N; ++x) {
        const unsigned s = unsigned(d[3 * x]) + d[3 * x + 1] + d[3 * x + 2];
        out[x] = uint8_t(s / 6u);
    }
}

TESSA_CLONES void SmoothRow(const uint8_t* __restrict a, const uint8_t* __restrict c,
                            const uint8_t* __restrict b, uint8_t* __restrict out) {
    for (int x = 1; x <= N - 1; ++x) {
        const uint16_t t = uint16_t(a[x - 1] + 2 * a[x] + a[x + 1] + 2 * c[x - 1] + 8 * c[x] +
                                    2 * c[x + 1] + b[x - 1] + 2 * b[x] + b[x + 1]);
        out[x] = uint8_t(uint16_t(t / 20u));
    }
}

// out[x] = clamp((cur[x] - prev[x]) * scale + 128) for x in 0..N.
TESSA_CLONES void DiffRows(const uint8_t* __restrict cur, const uint8_t* __restrict prev,
                           uint8_t* __restrict out, int scale) {
    for (int x = 0; x <= N; ++x) out[x] = Clamp255((cur[x] - prev[x]) * scale + 128);
}

// out[x] = clamp((in[x] - in[x - 1]) * scale + 128) for x in 1..N.
TESSA_CLONES void DiffAlongRow(const uint8_t* __restrict in, uint8_t* __restrict out, int scale) {
    for (int x = 1; x <= N; ++x) out[x] = Clamp255((in[x] - in[x - 1]) * scale + 128);
}

#if TESSA_X86_KERNELS
// Sixteen bytes as sixteen 16-bit lanes.
TESSA_AVX2 inline __m256i Widen(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// Sixteen 16-bit lanes, clamped to 0..255, stored as sixteen bytes.
TESSA_AVX2 inline void StoreClamped(uint8_t* p, __m256i v) {
    const __m256i packed = _mm256_packus_epi16(v, v); // per 128-bit half
    const __m256i ordered = _mm256_permute4x64_epi64(packed, 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(ordered));
}

TESSA_AVX2 inline __m256i AbsDiff16(__m256i a, __m256i b) {
    return _mm256_abs_epi16(_mm256_sub_epi16(a, b));
}

// cur and above: the row and the one above split into blue, green and red.
TESSA_AVX2 void RawBorderRowAvx2(const uint8_t (&cur)[3][256], const uint8_t (&above)[3][256],
                                 uint8_t* __restrict out) {
    // Columns x0 .. x0 + 15, for x0 = 1, 17, .., 225 and then 240.
    for (int x0 = 1;; x0 = x0 == 225 ? 240 : x0 + 16) {
        __m256i s = _mm256_setzero_si256();
        for (int c = 0; c < 3; ++c) {
            const __m256i p = Widen(cur[c] + x0);
            s = _mm256_add_epi16(s, AbsDiff16(p, Widen(cur[c] + x0 - 1)));
            s = _mm256_add_epi16(s, AbsDiff16(p, Widen(above[c] + x0)));
        }
        StoreClamped(out + x0, _mm256_mulhi_epu16(s, _mm256_set1_epi16(10923)));
        if (x0 == 240) break;
    }
}

TESSA_AVX2 void SmoothRowAvx2(const uint8_t* __restrict a, const uint8_t* __restrict c,
                              const uint8_t* __restrict b, uint8_t* __restrict out) {
    // Columns x0 .. x0 + 15, for x0 = 1, 17, .., 225 and then 239.
    for (int x0 = 1;; x0 = x0 == 225 ? 239 : x0 + 16) {
        const __m256i outer = _mm256_add_epi16(
            _mm256_add_epi16(_mm256_add_epi16(Widen(a + x0 - 1), Widen(a + x0 + 1)),
                             _mm256_add_epi16(Widen(b + x0 - 1), Widen(b + x0 + 1))),
            _mm256_slli_epi16(
                _mm256_add_epi16(_mm256_add_epi16(Widen(a + x0), Widen(b + x0)),
                                 _mm256_add_epi16(Widen(c + x0 - 1), Widen(c + x0 + 1))),
                1));
        const __m256i t = _mm256_add_epi16(outer, _mm256_slli_epi16(Widen(c + x0), 3));
        StoreClamped(out + x0, _mm256_srli_epi16(
                                   _mm256_mulhi_epu16(t, _mm256_set1_epi16(int16_t(52429))), 4));
        if (x0 == 239) break;
    }
}

// out[x] = clamp((cur[x] - prev[x]) * 2^shift + 128) for x in 0..N.
TESSA_AVX2 void DiffRowsAvx2(const uint8_t* __restrict cur, const uint8_t* __restrict prev,
                             uint8_t* __restrict out, int shift) {
    const __m128i sh = _mm_cvtsi32_si128(shift);
    for (int x = 0; x < 256; x += 16) {
        const __m256i d = _mm256_sll_epi16(_mm256_sub_epi16(Widen(cur + x), Widen(prev + x)), sh);
        StoreClamped(out + x, _mm256_add_epi16(d, _mm256_set1_epi16(128)));
    }
}

// out[x] = clamp((in[x] - in[x - 1]) * 2^shift + 128) for x in 1..N.
TESSA_AVX2 void DiffAlongRowAvx2(const uint8_t* __restrict in, uint8_t* __restrict out, int shift) {
    const __m128i sh = _mm_cvtsi32_si128(shift);
    for (int x0 = 1;; x0 = x0 == 225 ? 240 : x0 + 16) {
        const __m256i d =
            _mm256_sll_epi16(_mm256_sub_epi16(Widen(in + x0), Widen(in + x0 - 1)), sh);
        StoreClamped(out + x0, _mm256_add_epi16(d, _mm256_set1_epi16(128)));
        if (x0 == 240) break;
    }
}
#endif

} // namespace

void ComputeRawBorderPlane(TPlanes& pl) {
    TPlane& p2 = pl[aNo3];
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx2(pl.KernelLevel)) {
        alignas(64) uint8_t split[2][3][256];
        planes_simd::SplitRowAvx2(pl.Row(0), split[0][0], split[0][1], split[0][2]);
        for (int y = 1; y <= N; ++y) {
            uint8_t(&cur)[3][256] = split[y & 1];
            planes_simd::SplitRowAvx2(pl.Row(y), cur[0], cur[1], cur[2]);
            RawBorderRowAvx2(cur, split[(y - 1) & 1], p2[y]);
        }
        return;
    }
#endif
    for (int y = 1; y <= N; ++y) RawBorderRow(pl.Row(y), pl.Row(y - 1), p2[y]);
}

void SmoothBorderPlane(TPlanes& pl) {
    TPlane& p2 = pl[aNo3];
    uint8_t(&c)[256][256] = pl.Scratch.PlaneCopy;
    std::memcpy(c, p2, sizeof c);
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx2(pl.KernelLevel)) {
        for (int y = 1; y <= N - 1; ++y) SmoothRowAvx2(c[y - 1], c[y], c[y + 1], p2[y]);
        return;
    }
#endif
    for (int y = 1; y <= N - 1; ++y) SmoothRow(c[y - 1], c[y], c[y + 1], p2[y]);
}

void ComputeGradientPlanes(TPlanes& pl) {
    const TPlane& V = pl[aV];
    TPlane& GV = pl[aGV];
    TPlane& GVV = pl[aGVV];
    TPlane& GH = pl[aGH];
    TPlane& GHH = pl[aGHH];
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx2(pl.KernelLevel)) {
        for (int y = 1; y <= N; ++y) DiffRowsAvx2(V[y], V[y - 1], GV[y], 2);
        for (int y = 1; y <= N; ++y) DiffRowsAvx2(GV[y], GV[y - 1], GVV[y], 1);
        for (int y = 0; y <= N; ++y) DiffAlongRowAvx2(V[y], GH[y], 2);
        for (int y = 0; y <= N; ++y) DiffAlongRowAvx2(GH[y], GHH[y], 1);
        return;
    }
#endif
    for (int y = 1; y <= N; ++y) DiffRows(V[y], V[y - 1], GV[y], 4);
    for (int y = 1; y <= N; ++y) DiffRows(GV[y], GV[y - 1], GVV[y], 2);
    for (int y = 0; y <= N; ++y) DiffAlongRow(V[y], GH[y], 4);
    for (int y = 0; y <= N; ++y) DiffAlongRow(GH[y], GHH[y], 2);
}

void ComputeBorderPlanes(TPlanes& planes) {
    ComputeRawBorderPlane(planes);
    SmoothBorderPlane(planes);
    ComputeGradientPlanes(planes);
}
