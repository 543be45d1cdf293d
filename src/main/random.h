// The program's single pseudo-random generator: seed 0 at start-up, never
// reseeded from the clock, so every run draws the same sequence.
#pragma once

#include <cstdint>

extern uint32_t RandSeed;

// A number from 0 to n - 1: the upper 32 bits of n times the advanced seed.
int32_t Random(int32_t n);
