// Part 2.6: contrast normalisation of planes 0 to 19 of level 0.
//
// Reads and writes: the inner region (rows and columns 2..253) of each plane;
// rebuilds StretchTab for every plane that is stretched.
#include "compute_planes.h"
#include "plane_store.h"

void NormalisePlanes() {
    for (int p = 0; p < PlaneCount; ++p) {
        TPlane& plane = Plane(p);
        float mn = 255.0f, mx = 0.0f;
        for (int y = 2; y <= 253; ++y)
            for (int x = 2; x <= 253; ++x) {
                const float v = float(plane[y][x]);
                if (v < mn) mn = v;
                if (v > mx) mx = v;
            }
        if (!(mx > mn)) continue; // uniform inner region: unchanged
        const float k = float(250.0 * (1.0 / (double(mx) - double(mn))));
        for (int l = -2048; l <= 2048; ++l) {
            const int w = int((double(l) - double(mn)) * double(k)); // truncated toward zero
            StretchTab[l] = uint8_t(w < 0 ? 0 : w > 255 ? 255 : w);
        }
        for (int y = 2; y <= 253; ++y)
            for (int x = 2; x <= 253; ++x) plane[y][x] = StretchTab[plane[y][x]];
    }
}
