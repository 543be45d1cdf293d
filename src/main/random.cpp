#include "random.h"

uint32_t RandSeed = 0;

int32_t Random(int32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    return int32_t((uint64_t(uint32_t(n)) * RandSeed) >> 32);
}
