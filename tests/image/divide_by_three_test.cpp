// The blur's division by 3 through the corrected reciprocal (planes_simd.h)
// gives the bits of the division itself: on every positive float, on sums of
// three floats as the blur forms them, on doubles of every size, and on the
// values next to the boundaries the written argument turns on.
#include "image/planes_simd.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#if TESSA_X86_KERNELS

namespace {

// The values whose quotients differ from the division, at most 8 of them.
TESSA_AVX2 std::vector<double> MismatchesAvx2(const double* s, size_t n) {
    std::vector<double> bad;
    for (size_t i = 0; i + 4 <= n && bad.size() < 8; i += 4) {
        const __m256d v = _mm256_loadu_pd(s + i);
        const __m256d fast = planes_simd::DivideBy3(v);
        const __m256d exact = _mm256_div_pd(v, _mm256_set1_pd(3.0));
        const int differ = _mm256_movemask_pd(_mm256_castsi256_pd(_mm256_xor_si256(
            _mm256_cmpeq_epi64(_mm256_castpd_si256(fast), _mm256_castpd_si256(exact)),
            _mm256_set1_epi64x(-1))));
        for (int k = 0; k < 4; ++k)
            if (differ & (1 << k)) bad.push_back(s[i + size_t(k)]);
    }
    return bad;
}

TESSA_AVX512 std::vector<double> MismatchesAvx512(const double* s, size_t n) {
    std::vector<double> bad;
    for (size_t i = 0; i + 8 <= n && bad.size() < 8; i += 8) {
        const __m512d v = _mm512_loadu_pd(s + i);
        const __mmask8 differ =
            _mm512_cmpneq_epi64_mask(_mm512_castpd_si512(planes_simd::DivideBy3(v)),
                                     _mm512_castpd_si512(_mm512_div_pd(v, _mm512_set1_pd(3.0))));
        for (int k = 0; k < 8; ++k)
            if (differ & (1 << k)) bad.push_back(s[i + size_t(k)]);
    }
    return bad;
}

struct DivideByThree : ::testing::TestWithParam<int> {
    void SetUp() override {
        if (planes_simd::CpuKernelLevel() < GetParam())
            GTEST_SKIP() << "this processor has no kernel level " << GetParam();
    }
    void ExpectExact(const std::vector<double>& s, const char* what) {
        const std::vector<double> bad = GetParam() == 1 ? MismatchesAvx2(s.data(), s.size())
                                                        : MismatchesAvx512(s.data(), s.size());
        EXPECT_TRUE(bad.empty()) << what << ": first mismatch at " << (bad.empty() ? 0 : bad[0]);
    }
};

double FromBits(uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

TEST_P(DivideByThree, EveryPositiveFloat) {
    // All 2^31 - 2^23 positive finite floats, in pieces of 2^22.
    std::vector<double> s(size_t(1) << 22);
    for (uint64_t first = 1; first < 0x7F800000u; first += s.size()) {
        for (size_t i = 0; i < s.size(); ++i) {
            const uint32_t bits = uint32_t(std::min<uint64_t>(first + i, 0x7F7FFFFFu));
            float f;
            std::memcpy(&f, &bits, sizeof f);
            s[i] = double(f);
        }
        ExpectExact(s, "floats");
        if (HasFailure()) return;
    }
}

TEST_P(DivideByThree, SumsOfThreeFloatsAndDoublesOfEverySize) {
    std::mt19937_64 rng(3);
    std::vector<double> s(size_t(1) << 22);
    // Sums as the blur forms them, of field values up to 2040 and tiny ones.
    std::uniform_real_distribution<float> field(0.0f, 2040.0f), small(0.0f, 1e-6f);
    for (int round = 0; round < 4; ++round) {
        for (double& v : s) {
            const auto pick = [&] { return rng() % 4 == 0 ? small(rng) : field(rng); };
            v = double(pick()) + double(pick()) + double(pick());
        }
        ExpectExact(s, "sums of three floats");
    }
    // Doubles of random 52-bit fractions with exponents from 2^-1000 to 2^1000.
    for (int round = 0; round < 4; ++round) {
        for (double& v : s) {
            const uint64_t exponent = 1023 - 1000 + rng() % 2001;
            v = FromBits(exponent << 52 | (rng() & ((uint64_t(1) << 52) - 1)));
        }
        ExpectExact(s, "doubles");
    }
}

TEST_P(DivideByThree, ValuesAtTheBoundariesOfTheArgument) {
    // Around M = 3 * 2^51 (where the quotient's spacing changes), around
    // powers of 2 and multiples of 3, and zero.
    std::vector<double> s = {0.0};
    for (int e = -60; e <= 60; ++e)
        for (int64_t d = -64; d <= 64; ++d) {
            s.push_back(std::ldexp(double((int64_t(3) << 51) + d), e));
            s.push_back(std::ldexp(double((int64_t(1) << 52) + d + 64), e));
            s.push_back(std::ldexp(double((int64_t(1) << 53) - 65 + d), e));
            s.push_back(std::ldexp(3.0 * double(d + 100), e));
        }
    while (s.size() % 8) s.push_back(1.0);
    ExpectExact(s, "boundaries");
}

INSTANTIATE_TEST_SUITE_P(Kernels, DivideByThree, ::testing::Values(1, 2),
                         [](const auto& info) { return "Level" + std::to_string(info.param); });

} // namespace

#endif
