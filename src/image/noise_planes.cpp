// The noise planes 0 (aNo1) and 1 (aNo2) from plane 12 (aV).
//
// Reads: plane 12. Writes: planes 0 and 1, and the plane store's scratch (its
// NoiseField ends holding F of plane 1).
//
// Fast, bit-identical to the plain computation (the plain twin in
// tests/support/plain_planes.h, which the tests compare it with at every
// kernel level):
// - Every value goes through the same operations in double, rounded to float
//   at the same points, with the additions in the same order; only the order
//   in which independent rows, columns and planes are worked on changes.
// - A recursive pass runs along one row (or column) only, and rows do not
//   depend on each other: the column passes step down the rows with all 256
//   columns side by side (a vector loop), and the row passes do the same on
//   the transposed brightness plane, their sums transposed back afterwards.
//   A running value (a, b, acc) is kept between steps as the double of its
//   32-bit float, which is the value every later step reads.
// - Plane 0's chain (its passes, then its blur) and plane 1's share only the
//   brightness plane and its transpose, which they read: they run side by
//   side on two workers, or one after the other.
// - Each blur sweep reads only neighbours that the same sweep has not yet
//   changed, so it is a pure map from the field before it to the field after
//   it: it is computed from one buffer into another, the values it leaves
//   alone copied. The kernels divide by 3 with the corrected reciprocal of
//   planes_simd.h, which gives the quotient's bits exactly.
// Kernel levels (planes_simd.h): 0 portable loops, 1 AVX2 kernels, 2 AVX-512
// kernels for the passes and the blur. Level 0 is 256 x 256 (TPlane), so the
// loops take N as a constant. None contracts or reorders a floating
// operation (the build sets -ffp-contract=off and no fast-math).
#include "compute_planes.h"
#include "planes_internal.h"
#include "planes_simd.h"
#include "workers.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int N = 255; // LevelMaxRow[0] and LevelMaxCol[0]
using TLines = TNoiseLines;

// What a pass step does with its result r (acc for plane 0, |a - b| for
// plane 1) in its field row f:
//   Skip: nothing, the plane has no step here (and its running values are
//   left as they are); Assign: f = r; AddToZero: f = 0 + r (a field set
//   to zero before it is added to); Add: f = f + r;
//   AddTimes6, AddTimes2: f = (f + r) * 6 or * 2.
enum class TMode { Skip, Assign, AddToZero, Add, AddTimes6, AddTimes2 };

// One step of one plane's passes for 256 lines side by side: the lines'
// brightness values in v[]; plane 0: a = 0.3 a + 0.7 v, acc = 0.08 |a - v| +
// 0.92 acc, its result acc into f0[]; plane 1: a = 0.97 a + 0.03 v,
// b = 0.92 b + 0.08 v, its result |a - b| into f1[].
using TStep = void (*)(const uint8_t* v, TLines& s, float* f0, float* f1);

// ---------------------------------------------------------------------------
// Portable kernels.

template <TMode Mode> inline float Apply(float f, double r) {
    if constexpr (Mode == TMode::Assign)
        return float(r);
    else if constexpr (Mode == TMode::AddToZero)
        return float(0.0 + r);
    else if constexpr (Mode == TMode::Add)
        return float(double(f) + r);
    else if constexpr (Mode == TMode::AddTimes6)
        return float((double(f) + r) * 6.0);
    else
        return float((double(f) + r) * 2.0);
}

template <TMode M0, TMode M1>
TESSA_CLONES void StepPortable(const uint8_t* __restrict v, TLines& s, float* __restrict f0,
                               float* __restrict f1) {
    if constexpr (M0 != TMode::Skip)
        for (int i = 0; i < 256; ++i) {
            const double vv = double(v[i]);
            const float an = float(0.3 * s.A0[i] + 0.7 * vv);
            const float cn = float(0.08 * std::fabs(double(an) - vv) + 0.92 * s.Acc[i]);
            s.A0[i] = an;
            s.Acc[i] = cn;
            f0[i] = Apply<M0>(f0[i], double(cn));
        }
    if constexpr (M1 != TMode::Skip)
        for (int i = 0; i < 256; ++i) {
            const double vv = double(v[i]);
            const float an = float(0.97 * s.A1[i] + 0.03 * vv);
            const float bn = float(0.92 * s.B1[i] + 0.08 * vv);
            s.A1[i] = an;
            s.B1[i] = bn;
            f1[i] = Apply<M1>(f1[i], std::fabs(double(an) - double(bn)));
        }
}

void TransposeBytesPortable(const uint8_t (&in)[256][256], uint8_t (&out)[256][256]) {
    constexpr int B = 32;
    for (int y0 = 0; y0 < 256; y0 += B)
        for (int x0 = 0; x0 < 256; x0 += B)
            for (int y = y0; y < y0 + B; ++y)
                for (int x = x0; x < x0 + B; ++x) out[x][y] = in[y][x];
}

void TransposeFieldPortable(const TField& in, TField& out) {
    constexpr int B = 16;
    for (int y0 = 0; y0 < 256; y0 += B)
        for (int x0 = 0; x0 < 256; x0 += B)
            for (int y = y0; y < y0 + B; ++y)
                for (int x = x0; x < x0 + B; ++x) out[x][y] = in[y][x];
}

// out(y, x) = (in(y + d, x) + in(y, x + d) + in(y, x)) / 3 for y, x <= N - d;
// every other value copied.
TESSA_CLONES void SweepDownRightPortable(const TField& __restrict in, TField& __restrict out,
                                         int d) {
    for (int y = 0; y <= N - d; ++y) {
        const float* c = in[y];
        const float* dn = in[y + d];
        float* o = out[y];
        for (int x = 0; x <= N - d; ++x)
            o[x] = float((double(dn[x]) + double(c[x + d]) + double(c[x])) / 3.0);
        for (int x = N - d + 1; x <= N; ++x) o[x] = c[x];
    }
    for (int y = N - d + 1; y <= N; ++y) std::memcpy(out[y], in[y], sizeof out[y]);
}

// out(y, x) = (in(y - d, x) + in(y, x - d) + in(y, x)) / 3 for y, x >= d;
// every other value copied.
TESSA_CLONES void SweepUpLeftPortable(const TField& __restrict in, TField& __restrict out, int d) {
    for (int y = 0; y < d; ++y) std::memcpy(out[y], in[y], sizeof out[y]);
    for (int y = d; y <= N; ++y) {
        const float* c = in[y];
        const float* up = in[y - d];
        float* o = out[y];
        for (int x = 0; x < d; ++x) o[x] = c[x];
        for (int x = d; x <= N; ++x)
            o[x] = float((double(up[x]) + double(c[x - d]) + double(c[x])) / 3.0);
    }
}

void FieldToPlanePortable(const TField& F, TPlane& plane) {
    for (int y = 0; y <= N; ++y)
        for (int x = 0; x <= N; ++x) plane[y][x] = ClampTab[int(F[y][x])];
}

// ---------------------------------------------------------------------------
// AVX2 kernels: the same operations, four doubles at a time.

#if TESSA_X86_KERNELS

TESSA_AVX2 inline __m256d AbsPd(__m256d x) {
    return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
}

// x rounded to float and back: the value a float variable holding x has.
TESSA_AVX2 inline __m256d RoundTrip(__m256d x) {
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(x));
}

template <TMode Mode> TESSA_AVX2 inline void Apply4(float* f, __m256d r) {
    __m256d t;
    if constexpr (Mode == TMode::Assign) {
        t = r;
    } else if constexpr (Mode == TMode::AddToZero) {
        t = _mm256_add_pd(_mm256_setzero_pd(), r);
    } else {
        t = _mm256_add_pd(_mm256_cvtps_pd(_mm_loadu_ps(f)), r);
        if constexpr (Mode == TMode::AddTimes6) t = _mm256_mul_pd(t, _mm256_set1_pd(6.0));
        if constexpr (Mode == TMode::AddTimes2) t = _mm256_mul_pd(t, _mm256_set1_pd(2.0));
    }
    _mm_storeu_ps(f, _mm256_cvtpd_ps(t));
}

template <TMode M0, TMode M1>
TESSA_AVX2 void StepAvx2(const uint8_t* __restrict v, TLines& s, float* __restrict f0,
                         float* __restrict f1) {
    for (int i = 0; i < 256; i += 4) {
        int32_t four;
        std::memcpy(&four, v + i, 4);
        const __m256d vv = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)));
        if constexpr (M0 != TMode::Skip) {
            const __m256d an = RoundTrip(
                _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(0.3), _mm256_load_pd(s.A0 + i)),
                              _mm256_mul_pd(_mm256_set1_pd(0.7), vv)));
            const __m256d cn = RoundTrip(
                _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(0.08), AbsPd(_mm256_sub_pd(an, vv))),
                              _mm256_mul_pd(_mm256_set1_pd(0.92), _mm256_load_pd(s.Acc + i))));
            _mm256_store_pd(s.A0 + i, an);
            _mm256_store_pd(s.Acc + i, cn);
            Apply4<M0>(f0 + i, cn);
        }
        if constexpr (M1 != TMode::Skip) {
            const __m256d an = RoundTrip(
                _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(0.97), _mm256_load_pd(s.A1 + i)),
                              _mm256_mul_pd(_mm256_set1_pd(0.03), vv)));
            const __m256d bn = RoundTrip(
                _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(0.92), _mm256_load_pd(s.B1 + i)),
                              _mm256_mul_pd(_mm256_set1_pd(0.08), vv)));
            _mm256_store_pd(s.A1 + i, an);
            _mm256_store_pd(s.B1 + i, bn);
            Apply4<M1>(f1 + i, AbsPd(_mm256_sub_pd(an, bn)));
        }
    }
}

// (vertical + horizontal + value) / 3 of four floats each, rounded to float.
TESSA_AVX2 inline __m128 Blur4(const float* vert, const float* hori, const float* self) {
    const __m256d s = _mm256_add_pd(
        _mm256_add_pd(_mm256_cvtps_pd(_mm_loadu_ps(vert)), _mm256_cvtps_pd(_mm_loadu_ps(hori))),
        _mm256_cvtps_pd(_mm_loadu_ps(self)));
    return _mm256_cvtpd_ps(planes_simd::DivideBy3(s));
}

// The loads of the last columns reach into the next row, and those of the
// first columns into the row before: both within the field, and the lanes
// they feed are then overwritten with the copied values.
TESSA_AVX2 void SweepDownRightAvx2(const TField& __restrict in, TField& __restrict out, int d) {
    for (int y = 0; y <= N - d; ++y) {
        const float* c = in[y];
        const float* dn = in[y + d];
        float* o = out[y];
        for (int x = 0; x < 256; x += 4) _mm_storeu_ps(o + x, Blur4(dn + x, c + x + d, c + x));
        for (int x = N - d + 1; x <= N; ++x) o[x] = c[x];
    }
    for (int y = N - d + 1; y <= N; ++y) std::memcpy(out[y], in[y], sizeof out[y]);
}

TESSA_AVX2 void SweepUpLeftAvx2(const TField& __restrict in, TField& __restrict out, int d) {
    for (int y = 0; y < d; ++y) std::memcpy(out[y], in[y], sizeof out[y]);
    for (int y = d; y <= N; ++y) {
        const float* c = in[y];
        const float* up = in[y - d];
        float* o = out[y];
        for (int x = 0; x < 256; x += 4) _mm_storeu_ps(o + x, Blur4(up + x, c + x - d, c + x));
        for (int x = 0; x < d; ++x) o[x] = c[x];
    }
}

// 8 x 8 blocks of floats through registers.
TESSA_AVX2 void TransposeFieldAvx2(const TField& in, TField& out) {
    for (int y0 = 0; y0 < 256; y0 += 8)
        for (int x0 = 0; x0 < 256; x0 += 8) {
            __m256 r[8], t[8];
            for (int i = 0; i < 8; ++i) r[i] = _mm256_loadu_ps(&in[y0 + i][x0]);
            for (int i = 0; i < 8; i += 2) {
                t[i] = _mm256_unpacklo_ps(r[i], r[i + 1]);
                t[i + 1] = _mm256_unpackhi_ps(r[i], r[i + 1]);
            }
            r[0] = _mm256_shuffle_ps(t[0], t[2], 0x44);
            r[1] = _mm256_shuffle_ps(t[0], t[2], 0xEE);
            r[2] = _mm256_shuffle_ps(t[1], t[3], 0x44);
            r[3] = _mm256_shuffle_ps(t[1], t[3], 0xEE);
            r[4] = _mm256_shuffle_ps(t[4], t[6], 0x44);
            r[5] = _mm256_shuffle_ps(t[4], t[6], 0xEE);
            r[6] = _mm256_shuffle_ps(t[5], t[7], 0x44);
            r[7] = _mm256_shuffle_ps(t[5], t[7], 0xEE);
            for (int i = 0; i < 4; ++i) {
                _mm256_storeu_ps(&out[x0 + i][y0], _mm256_permute2f128_ps(r[i], r[i + 4], 0x20));
                _mm256_storeu_ps(&out[x0 + i + 4][y0],
                                 _mm256_permute2f128_ps(r[i], r[i + 4], 0x31));
            }
        }
}

// 16 x 16 blocks of bytes through registers: four rounds of interleaving.
TESSA_AVX2 void TransposeBytesAvx2(const uint8_t (&in)[256][256], uint8_t (&out)[256][256]) {
    for (int y0 = 0; y0 < 256; y0 += 16)
        for (int x0 = 0; x0 < 256; x0 += 16) {
            __m128i r[16], t[16];
            for (int i = 0; i < 16; ++i)
                r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&in[y0 + i][x0]));
            for (int i = 0; i < 8; ++i) {
                t[i] = _mm_unpacklo_epi8(r[2 * i], r[2 * i + 1]);
                t[i + 8] = _mm_unpackhi_epi8(r[2 * i], r[2 * i + 1]);
            }
            for (int i = 0; i < 8; ++i) {
                r[i] = _mm_unpacklo_epi16(t[2 * i], t[2 * i + 1]);
                r[i + 8] = _mm_unpackhi_epi16(t[2 * i], t[2 * i + 1]);
            }
            for (int i = 0; i < 8; ++i) {
                t[i] = _mm_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
                t[i + 8] = _mm_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
            }
            for (int i = 0; i < 8; ++i) {
                r[i] = _mm_unpacklo_epi64(t[2 * i], t[2 * i + 1]);
                r[i + 8] = _mm_unpackhi_epi64(t[2 * i], t[2 * i + 1]);
            }
            // After the four rounds, r[k] holds column c(k) of the block,
            // where c reverses the order of the four bits of k's position.
            for (int k = 0; k < 16; ++k) {
                const int c = ((k & 1) << 3) | ((k & 2) << 1) | ((k & 4) >> 1) | ((k & 8) >> 3);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(&out[x0 + c][y0]), r[k]);
            }
        }
}

// Eight floats at a time: truncated toward zero (as int() does), then packed
// to bytes with saturation, which is ClampTab's min(255, max(0, i)).
TESSA_AVX2 void FieldToPlaneAvx2(const TField& F, TPlane& plane) {
    for (int y = 0; y <= N; ++y)
        for (int x = 0; x < 256; x += 32) {
            const __m256i i0 = _mm256_cvttps_epi32(_mm256_loadu_ps(&F[y][x]));
            const __m256i i1 = _mm256_cvttps_epi32(_mm256_loadu_ps(&F[y][x + 8]));
            const __m256i i2 = _mm256_cvttps_epi32(_mm256_loadu_ps(&F[y][x + 16]));
            const __m256i i3 = _mm256_cvttps_epi32(_mm256_loadu_ps(&F[y][x + 24]));
            // packs/packus work within 128-bit halves; the permute restores order.
            const __m256i w =
                _mm256_packus_epi16(_mm256_packs_epi32(i0, i1), _mm256_packs_epi32(i2, i3));
            const __m256i ordered =
                _mm256_permutevar8x32_epi32(w, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(&plane[y][x]), ordered);
        }
}

// ---------------------------------------------------------------------------
// AVX-512 kernels: eight doubles at a time.

TESSA_AVX512 inline __m512d RoundTrip8(__m512d x) {
    return _mm512_cvtps_pd(_mm512_cvtpd_ps(x));
}

template <TMode Mode> TESSA_AVX512 inline void Apply8(float* f, __m512d r) {
    __m512d t;
    if constexpr (Mode == TMode::Assign) {
        t = r;
    } else if constexpr (Mode == TMode::AddToZero) {
        t = _mm512_add_pd(_mm512_setzero_pd(), r);
    } else {
        t = _mm512_add_pd(_mm512_cvtps_pd(_mm256_loadu_ps(f)), r);
        if constexpr (Mode == TMode::AddTimes6) t = _mm512_mul_pd(t, _mm512_set1_pd(6.0));
        if constexpr (Mode == TMode::AddTimes2) t = _mm512_mul_pd(t, _mm512_set1_pd(2.0));
    }
    _mm256_storeu_ps(f, _mm512_cvtpd_ps(t));
}

template <TMode M0, TMode M1>
TESSA_AVX512 void StepAvx512(const uint8_t* __restrict v, TLines& s, float* __restrict f0,
                             float* __restrict f1) {
    for (int i = 0; i < 256; i += 8) {
        const __m512d vv = _mm512_cvtepi32_pd(
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + i))));
        if constexpr (M0 != TMode::Skip) {
            const __m512d an = RoundTrip8(
                _mm512_add_pd(_mm512_mul_pd(_mm512_set1_pd(0.3), _mm512_load_pd(s.A0 + i)),
                              _mm512_mul_pd(_mm512_set1_pd(0.7), vv)));
            const __m512d cn = RoundTrip8(_mm512_add_pd(
                _mm512_mul_pd(_mm512_set1_pd(0.08), _mm512_abs_pd(_mm512_sub_pd(an, vv))),
                _mm512_mul_pd(_mm512_set1_pd(0.92), _mm512_load_pd(s.Acc + i))));
            _mm512_store_pd(s.A0 + i, an);
            _mm512_store_pd(s.Acc + i, cn);
            Apply8<M0>(f0 + i, cn);
        }
        if constexpr (M1 != TMode::Skip) {
            const __m512d an = RoundTrip8(
                _mm512_add_pd(_mm512_mul_pd(_mm512_set1_pd(0.97), _mm512_load_pd(s.A1 + i)),
                              _mm512_mul_pd(_mm512_set1_pd(0.03), vv)));
            const __m512d bn = RoundTrip8(
                _mm512_add_pd(_mm512_mul_pd(_mm512_set1_pd(0.92), _mm512_load_pd(s.B1 + i)),
                              _mm512_mul_pd(_mm512_set1_pd(0.08), vv)));
            _mm512_store_pd(s.A1 + i, an);
            _mm512_store_pd(s.B1 + i, bn);
            Apply8<M1>(f1 + i, _mm512_abs_pd(_mm512_sub_pd(an, bn)));
        }
    }
}

TESSA_AVX512 inline __m256 Blur8(const float* vert, const float* hori, const float* self) {
    const __m512d s = _mm512_add_pd(_mm512_add_pd(_mm512_cvtps_pd(_mm256_loadu_ps(vert)),
                                                  _mm512_cvtps_pd(_mm256_loadu_ps(hori))),
                                    _mm512_cvtps_pd(_mm256_loadu_ps(self)));
    return _mm512_cvtpd_ps(planes_simd::DivideBy3(s));
}

// As the AVX2 sweeps, eight values at a time.
TESSA_AVX512 void SweepDownRightAvx512(const TField& __restrict in, TField& __restrict out, int d) {
    for (int y = 0; y <= N - d; ++y) {
        const float* c = in[y];
        const float* dn = in[y + d];
        float* o = out[y];
        for (int x = 0; x < 256; x += 8) _mm256_storeu_ps(o + x, Blur8(dn + x, c + x + d, c + x));
        for (int x = N - d + 1; x <= N; ++x) o[x] = c[x];
    }
    for (int y = N - d + 1; y <= N; ++y) std::memcpy(out[y], in[y], sizeof out[y]);
}

TESSA_AVX512 void SweepUpLeftAvx512(const TField& __restrict in, TField& __restrict out, int d) {
    for (int y = 0; y < d; ++y) std::memcpy(out[y], in[y], sizeof out[y]);
    for (int y = d; y <= N; ++y) {
        const float* c = in[y];
        const float* up = in[y - d];
        float* o = out[y];
        for (int x = 0; x < 256; x += 8) _mm256_storeu_ps(o + x, Blur8(up + x, c + x - d, c + x));
        for (int x = 0; x < d; ++x) o[x] = c[x];
    }
}

#endif

// ---------------------------------------------------------------------------
// The kernel set of a level.

struct TKernels {
    // Plane 0's pass steps, and plane 1's.
    TStep AssignSkip, AddToZeroSkip, AddSkip, Times6Skip;
    TStep SkipAddToZero, SkipAdd, SkipAddTimes2;
    void (*TransposeBytes)(const uint8_t (&)[256][256], uint8_t (&)[256][256]);
    void (*TransposeField)(const TField&, TField&);
    void (*SweepDownRight)(const TField&, TField&, int);
    void (*SweepUpLeft)(const TField&, TField&, int);
    void (*FieldToPlane)(const TField&, TPlane&);
};

#define TESSA_STEPS(Step)                                                                          \
    Step<TMode::Assign, TMode::Skip>, Step<TMode::AddToZero, TMode::Skip>,                         \
        Step<TMode::Add, TMode::Skip>, Step<TMode::AddTimes6, TMode::Skip>,                        \
        Step<TMode::Skip, TMode::AddToZero>, Step<TMode::Skip, TMode::Add>,                        \
        Step<TMode::Skip, TMode::AddTimes2>

const TKernels PortableKernels = {TESSA_STEPS(StepPortable), TransposeBytesPortable,
                                  TransposeFieldPortable,    SweepDownRightPortable,
                                  SweepUpLeftPortable,       FieldToPlanePortable};
#if TESSA_X86_KERNELS
const TKernels Avx2Kernels = {TESSA_STEPS(StepAvx2), TransposeBytesAvx2, TransposeFieldAvx2,
                              SweepDownRightAvx2,    SweepUpLeftAvx2,    FieldToPlaneAvx2};
const TKernels Avx512Kernels = {TESSA_STEPS(StepAvx512), TransposeBytesAvx2, TransposeFieldAvx2,
                                SweepDownRightAvx512,    SweepUpLeftAvx512,  FieldToPlaneAvx2};
#endif

const TKernels& Kernels(int level) {
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx512(level)) return Avx512Kernels;
    if (planes_simd::UseAvx2(level)) return Avx2Kernels;
#endif
    (void)level;
    return PortableKernels;
}

// Starts the running values of 256 lines at their values v[] of one step:
// a = v and acc = 0 for plane 0, a = b = v for plane 1.
void StartLines0(const uint8_t* v, TLines& s) {
    for (int i = 0; i < 256; ++i) {
        s.A0[i] = double(v[i]);
        s.Acc[i] = 0.0;
    }
}
void StartLines1(const uint8_t* v, TLines& s) {
    for (int i = 0; i < 256; ++i) s.A1[i] = s.B1[i] = double(v[i]);
}

// Plane 0's field into F, from V and its transpose VT, with `partner` as
// scratch: the row passes (on VT: line i is row i, step x is column x) into
// `partner`, transposed into F, the column passes, then six rounds of the
// blur F -> partner -> F. The forward passes stop at N - 2, so the backward
// row pass adds to the zero of columns N - 1 and N.
void NoiseChain0(const TKernels& k, const TPlane& V, const TPlane& VT, TField& F, TField& partner,
                 TLines& lines) {
    StartLines0(VT[0], lines);
    for (int x = 0; x <= N - 2; ++x) k.AssignSkip(VT[x], lines, partner[x], nullptr);
    StartLines0(VT[N], lines);
    for (int x = N; x >= N - 1; --x) k.AddToZeroSkip(VT[x], lines, partner[x], nullptr);
    for (int x = N - 2; x >= 0; --x) k.AddSkip(VT[x], lines, partner[x], nullptr);
    k.TransposeField(partner, F);
    StartLines0(V[0], lines);
    for (int y = 0; y <= N - 2; ++y) k.AddSkip(V[y], lines, F[y], nullptr);
    StartLines0(V[N], lines);
    for (int y = N; y >= 0; --y) k.Times6Skip(V[y], lines, F[y], nullptr);
    for (int round = 0; round < 6; ++round) {
        k.SweepDownRight(F, partner, 1);
        k.SweepUpLeft(partner, F, 1);
    }
}

// Plane 1's field the same way; its passes run the full range, and its blur
// works at distances 4, 3, 2, 1, each F -> partner -> F.
void NoiseChain1(const TKernels& k, const TPlane& V, const TPlane& VT, TField& F, TField& partner,
                 TLines& lines) {
    StartLines1(VT[0], lines);
    for (int x = 0; x <= N; ++x) k.SkipAddToZero(VT[x], lines, nullptr, partner[x]);
    StartLines1(VT[N], lines);
    for (int x = N; x >= 0; --x) k.SkipAdd(VT[x], lines, nullptr, partner[x]);
    k.TransposeField(partner, F);
    StartLines1(V[0], lines);
    for (int y = 0; y <= N; ++y) k.SkipAdd(V[y], lines, nullptr, F[y]);
    StartLines1(V[N], lines);
    for (int y = N; y >= 0; --y) k.SkipAddTimes2(V[y], lines, nullptr, F[y]);
    for (int d = 4; d >= 1; --d) {
        k.SweepUpLeft(F, partner, d);
        k.SweepDownRight(partner, F, d);
    }
}

} // namespace

int SelectPlaneKernels(TPlanes& planes, int level) {
    const int cpu = planes_simd::CpuKernelLevel();
    planes.KernelLevel = level < cpu ? level : cpu;
    return planes.KernelLevel;
}

void ComputeNoiseFields(TPlanes& planes, const TPlane& V, TField& F0, TField& F1,
                        TWorkers* workers) {
    TPlaneScratch& scratch = planes.Scratch;
    const TKernels& k = Kernels(planes.KernelLevel);
    k.TransposeBytes(V, scratch.VT);
    const auto chain = [&](int plane, int) {
        if (plane == 0)
            NoiseChain0(k, V, scratch.VT, F0, scratch.SwapA, scratch.Lines0);
        else
            NoiseChain1(k, V, scratch.VT, F1, scratch.SwapB, scratch.Lines1);
    };
    if (workers)
        workers->ForEach(2, chain);
    else
        for (int plane = 0; plane < 2; ++plane) chain(plane, 0);
}

void PrepareNoisePlanes(TPlanes& planes) {
    Kernels(planes.KernelLevel).TransposeBytes(planes[aV], planes.Scratch.VT);
}

void ComputeNoisePlane(TPlanes& planes, int plane) {
    TPlaneScratch& scratch = planes.Scratch;
    const TKernels& k = Kernels(planes.KernelLevel);
    if (plane == 0) {
        NoiseChain0(k, planes[aV], scratch.VT, scratch.Field0, scratch.SwapA, scratch.Lines0);
        k.FieldToPlane(scratch.Field0, planes[aNo1]);
    } else {
        NoiseChain1(k, planes[aV], scratch.VT, scratch.NoiseField, scratch.SwapB, scratch.Lines1);
        k.FieldToPlane(scratch.NoiseField, planes[aNo2]);
    }
}

// Plane = ClampTab at the whole part of F. The values of F lie within
// 0..2040, inside ClampTab's index range.
void NoiseFieldToPlane(const TPlanes& planes, const TField& F, TPlane& plane) {
    Kernels(planes.KernelLevel).FieldToPlane(F, plane);
}
