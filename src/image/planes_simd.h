// Shared by the fast plane steps: which kernels run.
//
// The hot loops of the plane steps exist as hand-written kernels (AVX2, and
// AVX-512 for the noise passes and the normalisation's table look-up) and as
// portable loops for any processor. All give the same bits; the tests run
// every level the processor has. Neither
// contracts nor reorders a floating operation (the build sets
// -ffp-contract=off and no fast-math).
#pragma once

#include <cstdint>

#if defined(__GNUC__) && defined(__x86_64__)
#define TESSA_X86_KERNELS 1
// GCC 12 warns wrongly about its own AVX-512 headers (__Y "used
// uninitialized" in the float conversions, GCC bug 105593); the warning is
// placed in the header, so it is silenced there only.
#if defined(__clang__) // clang has no such warning to silence
#include <immintrin.h>
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif
#define TESSA_AVX2 __attribute__((target("avx2,fma")))
#define TESSA_AVX512 __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi")))
#else
#define TESSA_X86_KERNELS 0
#endif

// The portable loops, compiled for the baseline and for AVX2 by the compiler.
// Not with clang: clang 14 emits no resolver for a cloned function that other
// files call by its plain name, so the link fails. Not under ThreadSanitizer:
// the resolvers run before its runtime is up and crash. The baseline build
// gives the same bits.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) &&                           \
    !defined(__SANITIZE_THREAD__)
#define TESSA_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TESSA_CLONES
#endif

namespace planes_simd {

// Kernel levels: 0 the portable loops; 1 the AVX2 kernels (with FMA, which
// every AVX2 processor but a few early VIA ones has); 2 also the AVX-512
// ones (F, BW, DQ, VL and VBMI).
inline int DetectKernelLevel() {
#if TESSA_X86_KERNELS
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) return 0;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512vbmi"))
        return 2;
    return 1;
#else
    return 0;
#endif
}

// The processor's level, found once.
inline int CpuKernelLevel() {
    static const int level = DetectKernelLevel();
    return level;
}

// Whether a plane store's kernel level (TPlanes::KernelLevel) runs them.
inline bool UseAvx2(int level) {
    return level >= 1;
}
inline bool UseAvx512(int level) {
    return level >= 2;
}

#if TESSA_X86_KERNELS
// s / 3 rounded to the nearest double, as the division gives it, without the
// divider (which holds the blur back): q = s * t with t = RN(1/3), the
// remainder r = s - 3q in one fused step, then q + r * t in one fused step.
//
// Why it is exact, for any double s whose quotient is normal (0 gives 0; the
// blur's other sums lie between 2^-80 and 2^13: the passes leave 0 or at
// least 2^-50, and twelve sweeps divide by at most 3^12): write s = M * 2^e with
// M a whole number, 2^52 <= M < 2^53, and let u be the spacing of the doubles
// around s / 3 (u = 2^(e-2) when M < 3 * 2^51, else 2^(e-1)).
// 1. s / 3 is never close to a rounding boundary: (s / 3) / u is 4M / 3 or
//    2M / 3, whose fraction is 0, 1/3 or 2/3, so s / 3 lies at least u / 6
//    from every midpoint between neighbouring doubles.
// 2. t = (1 - 2^-54) / 3 exactly (2^54 - 1 is divisible by 3), so s * t lies
//    (s / 3) * 2^-54 < u / 2 below s / 3, and q = RN(s * t) lies within u / 2
//    of s * t: |q - s / 3| < u, so q is s / 3 rounded down or up.
// 3. r = s - 3q is exact: s and q are multiples of 2^(e-2) (the doubles
//    within u of s / 3 are all at least 2^(50+e), spaced 2^(e-2) or more), and |r| < 3u <= 6 *
//    2^(e-2), a whole number of 3 bits times 2^(e-2); the fused step rounds nothing away.
// 4. q + r * t = q + (s / 3 - q)(1 - 2^-54) = s / 3 - (s / 3 - q) * 2^-54,
//    within 2u * 2^-54 of s / 3: on the same side of every boundary of
//    point 1, so its one rounding gives RN(s / 3).
// The test tests/image/divide_by_three_test.cpp compares it with the
// division on every float and on many sums and doubles.
TESSA_AVX2 inline __m256d DivideBy3(__m256d s) {
    const __m256d third = _mm256_set1_pd(1.0 / 3.0);
    const __m256d q = _mm256_mul_pd(s, third);
    const __m256d r = _mm256_fnmadd_pd(_mm256_set1_pd(3.0), q, s);
    return _mm256_fmadd_pd(r, third, q);
}

// The same, eight at a time.
TESSA_AVX512 inline __m512d DivideBy3(__m512d s) {
    const __m512d third = _mm512_set1_pd(1.0 / 3.0);
    const __m512d q = _mm512_mul_pd(s, third);
    const __m512d r = _mm512_fnmadd_pd(_mm512_set1_pd(3.0), q, s);
    return _mm512_fmadd_pd(r, third, q);
}

// Splits a row of 256 pixels (bytes blue, green, red) into its blue, green
// and red bytes, sixteen pixels at a time.
TESSA_AVX2 inline void SplitRowAvx2(const uint8_t* bgr, uint8_t* b, uint8_t* g, uint8_t* r) {
    const __m128i bA = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i bB = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14, -1, -1, -1, -1, -1);
    const __m128i bC = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 4, 7, 10, 13);
    const __m128i gA = _mm_setr_epi8(1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i gB = _mm_setr_epi8(-1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1);
    const __m128i gC = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14);
    const __m128i rA = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i rB = _mm_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1);
    const __m128i rC = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15);
    for (int x = 0; x < 256; x += 16) {
        const __m128i* p = reinterpret_cast<const __m128i*>(bgr + 3 * x);
        const __m128i A = _mm_loadu_si128(p), B = _mm_loadu_si128(p + 1),
                      C = _mm_loadu_si128(p + 2);
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(b + x),
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(A, bA), _mm_shuffle_epi8(B, bB)),
                         _mm_shuffle_epi8(C, bC)));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(g + x),
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(A, gA), _mm_shuffle_epi8(B, gB)),
                         _mm_shuffle_epi8(C, gC)));
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(r + x),
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(A, rA), _mm_shuffle_epi8(B, rB)),
                         _mm_shuffle_epi8(C, rC)));
    }
}
#endif

} // namespace planes_simd
