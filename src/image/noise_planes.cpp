// Part 2.4: the noise planes 0 (aNo1) and 1 (aNo2) from plane 12 (aV).
//
// Reads: plane 12. Writes: NoiseField (it ends holding F of plane 1),
// planes 0 and 1; scratch of this file only.
//
// Fast, bit-identical to the design (the plain twin in
// tests/image/plain_planes.h, which the tests compare it with):
// - Every value goes through the same operations in double, rounded to float
//   at the same points, with the additions in the same order; only the order
//   in which independent rows and columns are worked on changes.
// - A recursive pass runs along one row (or column) only, and rows do not
//   depend on each other: the column passes step down the rows with all 256
//   columns side by side (a vector loop), and the row passes do the same on
//   the transposed brightness plane, their sums transposed back afterwards.
//   A running value (a, b, acc) is kept between steps as the double of its
//   32-bit float, which is the value every later step reads.
// - Each blur sweep reads only neighbours that the same sweep has not yet
//   changed, so it is a pure map from the field before it to the field after
//   it: it is computed from one buffer into another (the values it leaves
//   alone copied), an even number of sweeps ending back in NoiseField.
// Two sets of kernels do this: AVX2 kernels, used when the processor has
// AVX2, and portable loops for any other; both give the same bits (the tests
// run both). Neither contracts nor reorders a floating operation (the build
// sets -ffp-contract=off and no fast-math).
#include "compute_planes.h"
#include "planes_internal.h"
#include "planes_simd.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int N = 255; // LevelMaxRow[0] and LevelMaxCol[0]
using TField = float[256][256];

alignas(64) uint8_t VT[256][256]; // plane 12 transposed: VT[x][y] = V(y, x)
alignas(64) TField Swap;          // row sums transposed, then the second blur buffer
alignas(64) double StateA[256], StateB[256];

// What a pass step does with its result r (acc for plane 0, |a - b| for
// plane 1) in the field row f:
//   Assign: f = r; AddToZero: f = 0 + r (a field set to zero, then added to);
//   Add: f = f + r; AddTimes6, AddTimes2: f = (f + r) * 6 or * 2.
enum class TMode { Assign, AddToZero, Add, AddTimes6, AddTimes2 };

// ---------------------------------------------------------------------------
// Portable kernels.

void TransposeBytes(const uint8_t (&in)[256][256], uint8_t (&out)[256][256]) {
    constexpr int B = 32;
    for (int y0 = 0; y0 < 256; y0 += B)
        for (int x0 = 0; x0 < 256; x0 += B)
            for (int y = y0; y < y0 + B; ++y)
                for (int x = x0; x < x0 + B; ++x) out[x][y] = in[y][x];
}

void TransposeField(const TField& in, TField& out) {
    constexpr int B = 16;
    for (int y0 = 0; y0 < 256; y0 += B)
        for (int x0 = 0; x0 < 256; x0 += B)
            for (int y = y0; y < y0 + B; ++y)
                for (int x = x0; x < x0 + B; ++x) out[x][y] = in[y][x];
}

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

// One step of plane 0's passes on 256 lines side by side: the lines' values
// in v[], a = 0.3 a + 0.7 v; acc = 0.08 |a - v| + 0.92 acc.
template <TMode Mode>
void Step0Generic(const uint8_t* __restrict v, double* __restrict a, double* __restrict acc,
                  float* __restrict f) {
    for (int i = 0; i < 256; ++i) {
        const double vv = double(v[i]);
        const float an = float(0.3 * a[i] + 0.7 * vv);
        const float cn = float(0.08 * std::fabs(double(an) - vv) + 0.92 * acc[i]);
        a[i] = an;
        acc[i] = cn;
        f[i] = Apply<Mode>(f[i], double(cn));
    }
}

// One step of plane 1's passes: a = 0.97 a + 0.03 v; b = 0.92 b + 0.08 v;
// the result is |a - b|.
template <TMode Mode>
void Step1Generic(const uint8_t* __restrict v, double* __restrict a, double* __restrict b,
                  float* __restrict f) {
    for (int i = 0; i < 256; ++i) {
        const double vv = double(v[i]);
        const float an = float(0.97 * a[i] + 0.03 * vv);
        const float bn = float(0.92 * b[i] + 0.08 * vv);
        a[i] = an;
        b[i] = bn;
        f[i] = Apply<Mode>(f[i], std::fabs(double(an) - double(bn)));
    }
}

// out(y, x) = (in(y + d, x) + in(y, x + d) + in(y, x)) / 3 for y, x <= N - d;
// every other value copied.
void SweepDownRightGeneric(const TField& __restrict in, TField& __restrict out, int d) {
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
void SweepUpLeftGeneric(const TField& __restrict in, TField& __restrict out, int d) {
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

// ---------------------------------------------------------------------------
// AVX2 kernels: the same operations, four doubles at a time.

#if TESSA_X86_KERNELS

// Bytes v[0..15] as four vectors of four doubles.
TESSA_AVX2 inline void LoadBytes16(const uint8_t* v, __m256d (&out)[4]) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v));
    out[0] = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(b));
    out[1] = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(b, 4)));
    out[2] = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(b, 8)));
    out[3] = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(b, 12)));
}

TESSA_AVX2 inline __m256d Abs(__m256d x) {
    return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
}

// Rounds to float; returns the float and sets d to its double.
TESSA_AVX2 inline __m128 RoundToFloat(__m256d x, __m256d& d) {
    const __m128 f = _mm256_cvtpd_ps(x);
    d = _mm256_cvtps_pd(f);
    return f;
}

template <TMode Mode> TESSA_AVX2 inline void ApplyAvx2(float* f, __m256d r) {
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

template <TMode Mode>
TESSA_AVX2 void Step0Avx2(const uint8_t* __restrict v, double* __restrict a,
                          double* __restrict acc, float* __restrict f) {
    const __m256d c03 = _mm256_set1_pd(0.3), c07 = _mm256_set1_pd(0.7);
    const __m256d c008 = _mm256_set1_pd(0.08), c092 = _mm256_set1_pd(0.92);
    for (int i = 0; i < 256; i += 16) {
        __m256d vv[4];
        LoadBytes16(v + i, vv);
        for (int j = 0; j < 4; ++j) {
            const int k = i + 4 * j;
            __m256d an, cn;
            RoundToFloat(_mm256_add_pd(_mm256_mul_pd(c03, _mm256_load_pd(a + k)),
                                       _mm256_mul_pd(c07, vv[j])),
                         an);
            _mm256_store_pd(a + k, an);
            const __m256d t = Abs(_mm256_sub_pd(an, vv[j]));
            RoundToFloat(_mm256_add_pd(_mm256_mul_pd(c008, t),
                                       _mm256_mul_pd(c092, _mm256_load_pd(acc + k))),
                         cn);
            _mm256_store_pd(acc + k, cn);
            ApplyAvx2<Mode>(f + k, cn);
        }
    }
}

template <TMode Mode>
TESSA_AVX2 void Step1Avx2(const uint8_t* __restrict v, double* __restrict a,
                          double* __restrict b, float* __restrict f) {
    const __m256d c097 = _mm256_set1_pd(0.97), c003 = _mm256_set1_pd(0.03);
    const __m256d c092 = _mm256_set1_pd(0.92), c008 = _mm256_set1_pd(0.08);
    for (int i = 0; i < 256; i += 16) {
        __m256d vv[4];
        LoadBytes16(v + i, vv);
        for (int j = 0; j < 4; ++j) {
            const int k = i + 4 * j;
            __m256d an, bn;
            RoundToFloat(_mm256_add_pd(_mm256_mul_pd(c097, _mm256_load_pd(a + k)),
                                       _mm256_mul_pd(c003, vv[j])),
                         an);
            RoundToFloat(_mm256_add_pd(_mm256_mul_pd(c092, _mm256_load_pd(b + k)),
                                       _mm256_mul_pd(c008, vv[j])),
                         bn);
            _mm256_store_pd(a + k, an);
            _mm256_store_pd(b + k, bn);
            ApplyAvx2<Mode>(f + k, Abs(_mm256_sub_pd(an, bn)));
        }
    }
}

// (vertical + horizontal + value) / 3 of four floats each, rounded to float.
TESSA_AVX2 inline __m128 Blur4(const float* vert, const float* hori, const float* self) {
    const __m256d s = _mm256_add_pd(_mm256_add_pd(_mm256_cvtps_pd(_mm_loadu_ps(vert)),
                                                  _mm256_cvtps_pd(_mm_loadu_ps(hori))),
                                    _mm256_cvtps_pd(_mm_loadu_ps(self)));
    return _mm256_cvtpd_ps(_mm256_div_pd(s, _mm256_set1_pd(3.0)));
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
#endif

// ---------------------------------------------------------------------------
// The kernel set in use.

struct TKernels {
    void (*TransposeField)(const TField&, TField&);
    void (*Step0Assign)(const uint8_t*, double*, double*, float*);
    void (*Step0AddToZero)(const uint8_t*, double*, double*, float*);
    void (*Step0Add)(const uint8_t*, double*, double*, float*);
    void (*Step0AddTimes6)(const uint8_t*, double*, double*, float*);
    void (*Step1AddToZero)(const uint8_t*, double*, double*, float*);
    void (*Step1Add)(const uint8_t*, double*, double*, float*);
    void (*Step1AddTimes2)(const uint8_t*, double*, double*, float*);
    void (*SweepDownRight)(const TField&, TField&, int);
    void (*SweepUpLeft)(const TField&, TField&, int);
};

const TKernels GenericKernels = {
    TransposeField,
    Step0Generic<TMode::Assign>,
    Step0Generic<TMode::AddToZero>,
    Step0Generic<TMode::Add>,
    Step0Generic<TMode::AddTimes6>,
    Step1Generic<TMode::AddToZero>,
    Step1Generic<TMode::Add>,
    Step1Generic<TMode::AddTimes2>,
    SweepDownRightGeneric,
    SweepUpLeftGeneric,
};

#if TESSA_X86_KERNELS
const TKernels Avx2Kernels = {
    TransposeFieldAvx2,
    Step0Avx2<TMode::Assign>,
    Step0Avx2<TMode::AddToZero>,
    Step0Avx2<TMode::Add>,
    Step0Avx2<TMode::AddTimes6>,
    Step1Avx2<TMode::AddToZero>,
    Step1Avx2<TMode::Add>,
    Step1Avx2<TMode::AddTimes2>,
    SweepDownRightAvx2,
    SweepUpLeftAvx2,
};
#endif

const TKernels& Kernels() {
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx2) return Avx2Kernels;
#endif
    return GenericKernels;
}

// Starts the running values of 256 lines at the values of step k.
void StartLines(const uint8_t* v, double* a, double* b, bool zeroB) {
    for (int i = 0; i < 256; ++i) {
        a[i] = double(v[i]);
        b[i] = zeroB ? 0.0 : double(v[i]);
    }
}

} // namespace

bool SelectPlaneKernels(bool handWritten) {
    planes_simd::UseAvx2 = handWritten && planes_simd::CpuHasAvx2();
    planes_simd::UseAvx512Vbmi = handWritten && planes_simd::CpuHasAvx512Vbmi();
    return planes_simd::UseAvx2;
}

void NoiseField0(const TPlane& V, TField& F) {
    const TKernels& k = Kernels();
    // Rows, in the transposed field Swap (line i = row i, step x = column x):
    // forward over columns 0..N-2 assigns acc; backward over N..0 adds it,
    // to a zero in columns N-1 and N, which the forward pass does not reach.
    TransposeBytes(V, VT);
    StartLines(VT[0], StateA, StateB, true);
    for (int x = 0; x <= N - 2; ++x) k.Step0Assign(VT[x], StateA, StateB, Swap[x]);
    StartLines(VT[N], StateA, StateB, true);
    for (int x = N; x >= N - 1; --x) k.Step0AddToZero(VT[x], StateA, StateB, Swap[x]);
    for (int x = N - 2; x >= 0; --x) k.Step0Add(VT[x], StateA, StateB, Swap[x]);
    k.TransposeField(Swap, F);
    // Columns, in F (line i = column i, step y = row y).
    StartLines(V[0], StateA, StateB, true);
    for (int y = 0; y <= N - 2; ++y) k.Step0Add(V[y], StateA, StateB, F[y]);
    StartLines(V[N], StateA, StateB, true);
    for (int y = N; y >= 0; --y) k.Step0AddTimes6(V[y], StateA, StateB, F[y]);
    // Blur: six rounds of two sweeps, F -> Swap -> F.
    for (int round = 0; round < 6; ++round) {
        k.SweepDownRight(F, Swap, 1);
        k.SweepUpLeft(Swap, F, 1);
    }
}

void NoiseField1(const TPlane& V, TField& F) {
    const TKernels& k = Kernels();
    TransposeBytes(V, VT);
    StartLines(VT[0], StateA, StateB, false);
    for (int x = 0; x <= N; ++x) k.Step1AddToZero(VT[x], StateA, StateB, Swap[x]);
    StartLines(VT[N], StateA, StateB, false);
    for (int x = N; x >= 0; --x) k.Step1Add(VT[x], StateA, StateB, Swap[x]);
    k.TransposeField(Swap, F);
    StartLines(V[0], StateA, StateB, false);
    for (int y = 0; y <= N; ++y) k.Step1Add(V[y], StateA, StateB, F[y]);
    StartLines(V[N], StateA, StateB, false);
    for (int y = N; y >= 0; --y) k.Step1AddTimes2(V[y], StateA, StateB, F[y]);
    // Blur at distances 4, 3, 2, 1: F -> Swap -> F for each.
    for (int d = 4; d >= 1; --d) {
        k.SweepUpLeft(F, Swap, d);
        k.SweepDownRight(Swap, F, d);
    }
}

#if TESSA_X86_KERNELS
namespace {
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
            const __m256i w = _mm256_packus_epi16(_mm256_packs_epi32(i0, i1), _mm256_packs_epi32(i2, i3));
            const __m256i ordered =
                _mm256_permutevar8x32_epi32(w, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(&plane[y][x]), ordered);
        }
}
} // namespace
#endif

// Plane = ClampTab at the whole part of F. The values of F lie within
// 0..2040 (Part 2.4), inside ClampTab's index range.
void NoiseFieldToPlane(const TField& F, TPlane& plane) {
#if TESSA_X86_KERNELS
    if (planes_simd::UseAvx2) {
        FieldToPlaneAvx2(F, plane);
        return;
    }
#endif
    for (int y = 0; y <= N; ++y)
        for (int x = 0; x <= N; ++x) plane[y][x] = ClampTab[int(F[y][x])];
}

void ComputeNoisePlanes() {
    NoiseField0(Plane(aV), NoiseField);
    NoiseFieldToPlane(NoiseField, Plane(aNo1));
    NoiseField1(Plane(aV), NoiseField);
    NoiseFieldToPlane(NoiseField, Plane(aNo2));
}
