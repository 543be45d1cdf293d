// The pseudo-random generator of one session: seed 0 when the session is
// made, never reseeded from the clock, so every session draws the same
// sequence.
#pragma once

#include <cstdint>

struct TRandom {
    uint32_t Seed = 0;

    // A number from 0 to n - 1: the upper 32 bits of n times the advanced seed.
    int32_t Next(int32_t n) {
        Seed = Seed * 134775813u + 1u;
        return int32_t((uint64_t(uint32_t(n)) * Seed) >> 32);
    }
};
