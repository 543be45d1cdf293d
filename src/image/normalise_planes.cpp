// Part 2.6: contrast normalisation of planes 0 to 19 of level 0.
//
// Reads and writes: the inner region (rows and columns 2..253) of each plane;
// rebuilds StretchTab for every plane that is stretched.
//
// Fast and identical to the design (the plain twin in tests/image/
// plain_planes.h): mn and mx are the float values of the smallest and largest
// inner byte, found as bytes (the design's running comparisons, started at
// 255 and 0, end at those same values); k and StretchTab are computed exactly
// as the design says; the inner bytes are then looked up in StretchTab,
// 64 at a time with AVX-512 VBMI byte permutes (kernel level 2)
// (the table's 256 entries 0..255 held in four registers), one by one
// otherwise.
#include "compute_planes.h"
#include "planes_internal.h"
#include "planes_simd.h"

namespace {

constexpr int First = 2, Last = 253; // the inner region, rows and columns

TESSA_CLONES void InnerMinMax(const TPlane& plane, uint8_t& lo, uint8_t& hi) {
    uint8_t mn = 255, mx = 0;
    for (int y = First; y <= Last; ++y)
        for (int x = First; x <= Last; ++x) {
            const uint8_t v = plane[y][x];
            mn = v < mn ? v : mn;
            mx = v > mx ? v : mx;
        }
    lo = mn;
    hi = mx;
}

TESSA_CLONES void BuildStretchTab(float mn, float k) {
    for (int l = -2048; l <= 2048; ++l) {
        const int w = int((double(l) - double(mn)) * double(k)); // truncated toward zero
        StretchTab[l] = uint8_t(w < 0 ? 0 : w > 255 ? 255 : w);
    }
}

void StretchInner(TPlane& plane) {
    for (int y = First; y <= Last; ++y)
        for (int x = First; x <= Last; ++x) plane[y][x] = StretchTab[plane[y][x]];
}

#if TESSA_X86_KERNELS
// The inner columns 2..253 of a row as eight pieces of 32 bytes: 2, 34, ..,
// 194, and 222 (which overlaps the one before; harmless for a minimum).
TESSA_AVX2 void InnerMinMaxAvx2(const TPlane& plane, uint8_t& lo, uint8_t& hi) {
    __m256i mn = _mm256_set1_epi8(char(255)), mx = _mm256_setzero_si256();
    for (int y = First; y <= Last; ++y)
        for (int x0 = First;; x0 = x0 == 194 ? 222 : x0 + 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&plane[y][x0]));
            mn = _mm256_min_epu8(mn, v);
            mx = _mm256_max_epu8(mx, v);
            if (x0 == 222) break;
        }
    alignas(32) uint8_t a[32], b[32];
    _mm256_store_si256(reinterpret_cast<__m256i*>(a), mn);
    _mm256_store_si256(reinterpret_cast<__m256i*>(b), mx);
    lo = 255;
    hi = 0;
    for (int i = 0; i < 32; ++i) {
        lo = a[i] < lo ? a[i] : lo;
        hi = b[i] > hi ? b[i] : hi;
    }
}

TESSA_AVX512 void StretchInnerVbmi(TPlane& plane) {
    const __m512i t0 = _mm512_loadu_si512(&StretchTab[0]);
    const __m512i t1 = _mm512_loadu_si512(&StretchTab[64]);
    const __m512i t2 = _mm512_loadu_si512(&StretchTab[128]);
    const __m512i t3 = _mm512_loadu_si512(&StretchTab[192]);
    for (int y = First; y <= Last; ++y)
        for (int x0 = First; x0 <= Last; x0 += 64) {
            // The last piece of a row holds columns 194..253: 60 bytes.
            const __mmask64 m = x0 + 63 <= Last ? ~__mmask64(0) : (__mmask64(1) << (Last - x0 + 1)) - 1;
            const __m512i v = _mm512_maskz_loadu_epi8(m, &plane[y][x0]);
            const __m512i low = _mm512_permutex2var_epi8(t0, v, t1);  // entries 0..127
            const __m512i high = _mm512_permutex2var_epi8(t2, v, t3); // entries 128..255
            const __m512i w = _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
            _mm512_mask_storeu_epi8(&plane[y][x0], m, w);
        }
}
#endif

} // namespace

void NormalisePlanes() {
    for (int p = 0; p < PlaneCount; ++p) {
        TPlane& plane = Plane(p);
        uint8_t lo, hi;
#if TESSA_X86_KERNELS
        if (planes_simd::UseAvx2())
            InnerMinMaxAvx2(plane, lo, hi);
        else
#endif
            InnerMinMax(plane, lo, hi);
        const float mn = float(lo), mx = float(hi);
        if (!(mx > mn)) continue; // uniform inner region: unchanged
        const float k = float(250.0 * (1.0 / (double(mx) - double(mn))));
        BuildStretchTab(mn, k);
#if TESSA_X86_KERNELS
        if (planes_simd::UseAvx512()) {
            StretchInnerVbmi(plane);
            continue;
        }
#endif
        StretchInner(plane);
    }
}
