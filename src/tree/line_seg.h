// One horizontal run of area pixels: the unit of every area's run list.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct TLineSeg {
    uint8_t x;   // column of the run's first pixel
    uint8_t y;   // row of the run
    uint8_t len; // pixels in the run; 0 for a run whose pixels were already taken
};
#pragma pack(pop)
static_assert(sizeof(TLineSeg) == 3);
