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
#define TESSA_AVX2 __attribute__((target("avx2")))
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

// Kernel levels: 0 the portable loops; 1 the AVX2 kernels; 2 also the
// AVX-512 ones (F, BW, DQ, VL and VBMI).
inline int DetectKernelLevel() {
#if TESSA_X86_KERNELS
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2")) return 0;
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
