// A picture of 21 x 21 dark blots of varied shapes on a light ground: at
// threshold 128 the area pass keeps 442 areas, many for the probe, the
// table and the magnifier to show.
#pragma once

#include "image/bitmap.h"

#include <cstdint>

inline void DrawBlots(TBitmap& grid) {
    uint32_t seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    FillBitmap(grid, {230, 225, 210});
    for (int by = 0; by < 21; ++by)
        for (int bx = 0; bx < 21; ++bx) {
            const int w = 6 + int(next() % 4), h = 6 + int(next() % 4), cut = int(next() % 4);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (x + y >= cut && !(cut == 3 && x > w / 2 && y > h / 2))
                        SetPixel(grid, 3 + 12 * bx + x, 3 + 12 * by + y, {30, 40, 60});
        }
    // One black pixel keeps the blots above the darkest value, which the
    // contrast stretch maps to 0 and the analysis never seeds from.
    SetPixel(grid, 253, 253, {0, 0, 0});
}
