// Contrast normalisation of planes 0 to 19 of level 0.
//
// Reads and writes: the inner region (rows and columns 2..253) of each plane;
// rebuilds the scratch StretchTab for every plane that is stretched.
//
// Fast and identical to the plain computation (the plain twin in
// tests/support/plain_planes.h, compared at every kernel level):
// - mn and mx are the float values of the smallest and largest inner byte,
//   found as bytes (the plain running comparisons, started at 255 and 0,
//   end at those same values), 32 or 64 at a time at levels 1 and 2;
// - k and the StretchTab entries are computed exactly as the plain
//   computation does. Only entries 0..255 are ever looked up: each plane
//   builds those in a table of its own, so that planes are stretched side by
//   side; afterwards the scratch StretchTab is built whole for the last
//   stretched plane, as the plain computation leaves it;
// - the inner bytes are looked up in StretchTab, 64 at a time with AVX-512
//   VBMI byte permutes (kernel level 2, the table's entries 0..255 held in
//   four registers). At the other levels the entry for an inner byte v is
//   computed instead: every inner v lies within mn..mx, where the entry is
//   the whole part of (v - mn) * k with no limiting, and k, a float, is
//   m / 2^s for whole numbers m < 2^24 and s, so the entry is
//   ((v - mn) * m) >> s (the double product of the plain computation is
//   exact too). That this gives the table's entries mn..mx is checked for
//   each plane before it is used; where it did not, the bytes would be
//   looked up one by one. The AVX2 kernel (level 1) forms the product in
//   16-bit pieces, sixteen bytes to a register.
#include "compute_planes.h"
#include "planes_internal.h"
#include "planes_simd.h"
#include "workers.h"

#include <cmath>

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

using TStretchTab = TSignedTable<uint8_t>;

TESSA_CLONES void BuildStretchTab(TStretchTab& StretchTab, float mn, float k, int from, int to) {
    for (int l = from; l <= to; ++l) {
        const int w = int((double(l) - double(mn)) * double(k)); // truncated toward zero
        StretchTab[l] = uint8_t(w < 0 ? 0 : w > 255 ? 255 : w);
    }
}

void StretchInner(const TStretchTab& StretchTab, TPlane& plane) {
    for (int y = First; y <= Last; ++y)
        for (int x = First; x <= Last; ++x) plane[y][x] = StretchTab[plane[y][x]];
}

// k = m / 2^s with m a whole number below 2^24 and 16 <= s < 32; false when
// k is no positive normal float below 256.
bool SplitFloat(float k, uint32_t& m, int& s) {
    if (!(k > 0.0f) || !std::isnormal(k)) return false;
    int e;
    const float frac = std::frexp(k, &e); // k = frac * 2^e, 0.5 <= frac < 1
    m = uint32_t(std::ldexp(frac, 24));   // exact: frac has 24 bits
    s = 24 - e;
    return s >= 16 && s < 32;
}

// The entries lo..hi of StretchTab by ((v - lo) * m) >> s, checked.
bool FormulaMatchesTable(const TStretchTab& StretchTab, uint8_t lo, uint8_t hi, uint32_t m, int s) {
    for (int v = lo; v <= hi; ++v)
        if (((uint32_t(v - lo) * m) >> s) != StretchTab[v]) return false;
    return true;
}

TESSA_CLONES void StretchInnerByFormula(TPlane& plane, uint8_t lo, uint32_t m, int s) {
    for (int y = First; y <= Last; ++y) {
        uint8_t* row = &plane[y][0];
        for (int x = First; x <= Last; ++x) row[x] = uint8_t((uint32_t(row[x] - lo) * m) >> s);
    }
}

#if TESSA_X86_KERNELS
// The inner columns 2..253 of a row as eight loads of 32 bytes, the last one
// overlapping the one before (which changes no minimum or maximum).
TESSA_AVX2 void InnerMinMaxAvx2(const TPlane& plane, uint8_t& lo, uint8_t& hi) {
    constexpr int Starts[8] = {2, 34, 66, 98, 130, 162, 194, 222};
    __m256i mn = _mm256_set1_epi8(char(255)), mx = _mm256_setzero_si256();
    for (int y = First; y <= Last; ++y)
        for (const int x : Starts) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&plane[y][x]));
            mn = _mm256_min_epu8(mn, v);
            mx = _mm256_max_epu8(mx, v);
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

// The formula in 16-bit lanes, sixteen bytes at a time: with d = v - lo
// (0..255), m = mh * 2^16 + ml (mh below 256, as m < 2^24) and s >= 16 (k is
// at most 250 and m at least 2^23, so 2^s > 2^15),
//   (d * m) >> s = (d * mh + ((d * ml) >> 16)) >> (s - 16),
// since the whole part of x / 2^j is that of (whole part of x) / 2^j; the
// sum is at most 255 * 255 + 254 < 2^16. Whole rows are computed from the
// bytes as loaded; the border columns are then written back unchanged.
TESSA_AVX2 inline __m256i StretchSixteen(__m128i bytes, __m256i low, __m256i mh, __m256i ml,
                                         __m128i shift) {
    const __m256i d = _mm256_sub_epi16(_mm256_cvtepu8_epi16(bytes), low);
    return _mm256_srl_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d, mh), _mm256_mulhi_epu16(d, ml)),
                            shift);
}

TESSA_AVX2 void StretchInnerByFormulaAvx2(TPlane& plane, uint8_t lo, uint32_t m, int s) {
    const __m256i low = _mm256_set1_epi16(lo), mh = _mm256_set1_epi16(int16_t(m >> 16)),
                  ml = _mm256_set1_epi16(int16_t(m & 0xFFFF));
    const __m128i shift = _mm_cvtsi32_si128(s - 16);
    // Keeps columns 0 and 1 of the first piece and 254 and 255 of the last.
    const __m256i keepFirst = _mm256_setr_epi8(-1, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i keepLast = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1);
    for (int y = First; y <= Last; ++y)
        for (int x = 0; x < 256; x += 32) {
            __m256i* p = reinterpret_cast<__m256i*>(&plane[y][x]);
            const __m256i v = _mm256_loadu_si256(p);
            __m256i w = _mm256_permute4x64_epi64(
                _mm256_packus_epi16(
                    StretchSixteen(_mm256_castsi256_si128(v), low, mh, ml, shift),
                    StretchSixteen(_mm256_extracti128_si256(v, 1), low, mh, ml, shift)),
                0xD8);
            if (x == 0) w = _mm256_blendv_epi8(w, v, keepFirst);
            if (x == 224) w = _mm256_blendv_epi8(w, v, keepLast);
            _mm256_storeu_si256(p, w);
        }
}

// Each row as four pieces of 64 bytes (aligned when the store is); the border columns 0, 1, 254
// and 255 are masked out.
TESSA_AVX512 inline __mmask64 InnerMask(int piece) {
    if (piece == 0) return ~__mmask64(3);
    if (piece == 3) return ~(__mmask64(3) << 62);
    return ~__mmask64(0);
}

TESSA_AVX512 void InnerMinMaxAvx512(const TPlane& plane, uint8_t& lo, uint8_t& hi) {
    __m512i mn = _mm512_set1_epi8(char(255)), mx = _mm512_setzero_si512();
    for (int y = First; y <= Last; ++y)
        for (int piece = 0; piece < 4; ++piece) {
            const __m512i v = _mm512_loadu_si512(&plane[y][64 * piece]);
            mn = _mm512_mask_min_epu8(mn, InnerMask(piece), mn, v);
            mx = _mm512_mask_max_epu8(mx, InnerMask(piece), mx, v);
        }
    alignas(64) uint8_t a[64], b[64];
    _mm512_store_si512(a, mn);
    _mm512_store_si512(b, mx);
    lo = 255;
    hi = 0;
    for (int i = 0; i < 64; ++i) {
        lo = a[i] < lo ? a[i] : lo;
        hi = b[i] > hi ? b[i] : hi;
    }
}

// The looked-up value replaces the byte inside the inner region; the border
// columns are written back with the values they had.
TESSA_AVX512 void StretchInnerAvx512(const TStretchTab& StretchTab, TPlane& plane) {
    const __m512i t0 = _mm512_loadu_si512(&StretchTab[0]);
    const __m512i t1 = _mm512_loadu_si512(&StretchTab[64]);
    const __m512i t2 = _mm512_loadu_si512(&StretchTab[128]);
    const __m512i t3 = _mm512_loadu_si512(&StretchTab[192]);
    for (int y = First; y <= Last; ++y)
        for (int piece = 0; piece < 4; ++piece) {
            uint8_t* p = &plane[y][64 * piece];
            const __m512i v = _mm512_loadu_si512(p);
            const __m512i low = _mm512_permutex2var_epi8(t0, v, t1);  // entries 0..127
            const __m512i high = _mm512_permutex2var_epi8(t2, v, t3); // entries 128..255
            const __m512i w = _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
            _mm512_storeu_si512(p, _mm512_mask_blend_epi8(InnerMask(piece), v, w));
        }
}
#endif

} // namespace

void NormalisePlanes(TPlanes& planes, TWorkers* workers) {
    const int level = planes.KernelLevel;
    uint8_t lo[PlaneCount], hi[PlaneCount];
    // Stretching a plane reads and changes that plane only, so the planes
    // are stretched side by side, each with a table of its own (entries
    // 0..255, the only ones looked up).
    const auto normalise = [&](int p, int) {
#if TESSA_X86_KERNELS
        if (planes_simd::UseAvx512(level))
            InnerMinMaxAvx512(planes[p], lo[p], hi[p]);
        else if (planes_simd::UseAvx2(level))
            InnerMinMaxAvx2(planes[p], lo[p], hi[p]);
        else
#endif
            InnerMinMax(planes[p], lo[p], hi[p]);
        const float mn = float(lo[p]), mx = float(hi[p]);
        if (!(mx > mn)) return; // uniform inner region: unchanged
        const float k = float(250.0 * (1.0 / (double(mx) - double(mn))));
        TStretchTab table;
        BuildStretchTab(table, mn, k, 0, 255);
#if TESSA_X86_KERNELS
        if (planes_simd::UseAvx512(level)) {
            StretchInnerAvx512(table, planes[p]);
            return;
        }
#endif
        uint32_t m;
        int s;
        if (SplitFloat(k, m, s) && FormulaMatchesTable(table, lo[p], hi[p], m, s)) {
#if TESSA_X86_KERNELS
            if (planes_simd::UseAvx2(level))
                StretchInnerByFormulaAvx2(planes[p], lo[p], m, s);
            else
#endif
                StretchInnerByFormula(planes[p], lo[p], m, s);
        } else {
            StretchInner(table, planes[p]);
        }
    };
    if (workers)
        workers->ForEach(PlaneCount, normalise);
    else
        for (int p = 0; p < PlaneCount; ++p) normalise(p, 0);
    // The table ends as the plain computation leaves it: built whole for the
    // last plane stretched.
    for (int p = PlaneCount - 1; p >= 0; --p)
        if (hi[p] > lo[p]) {
            const float mn = float(lo[p]), mx = float(hi[p]);
            const float k = float(250.0 * (1.0 / (double(mx) - double(mn))));
            BuildStretchTab(planes.Scratch.StretchTab, mn, k, -2048, 2048);
            break;
        }
}
