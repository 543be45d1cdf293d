// Part 2.3: the colour planes 12, 10, 7, 8, 9 and 11 of level 0.
//
// Reads: LevelBitmap[0] through LevelRows[0] (bytes blue, green, red).
// Writes: planes aV, aH, aR, aG, aB, aT, every pixel, in that order per pixel.
#include "compute_planes.h"
#include "plane_store.h"

void ComputeColourPlanes() {
    TPlane& pV = Plane(aV);
    TPlane& pH = Plane(aH);
    TPlane& pR = Plane(aR);
    TPlane& pG = Plane(aG);
    TPlane& pB = Plane(aB);
    TPlane& pT = Plane(aT);
    for (int y = 0; y <= LevelMaxRow[0]; ++y) {
        const uint8_t* row = LevelRows[0][y];
        for (int x = 0; x <= LevelMaxCol[0]; ++x) {
            const uint8_t* p = row + 3 * x;
            const int B = p[0], G = p[1], R = p[2];
            // Brightness: unsigned division, written without a table.
            const uint8_t V = uint8_t(unsigned(3 * R + 5 * G + 4 * B) / 12u);
            pV[y][x] = V;
            // Hue: signed division truncating toward zero (C++ '/').
            int h;
            if (R > B)
                h = 80 + (128 * (G - R)) / (R + G + 1);
            else
                h = 165 - (128 * (G - B)) / (G + B + 1);
            pH[y][x] = ClampTab[h];
            pR[y][x] = ClampTab[2 * R - G - B];
            pG[y][x] = ClampTab[2 * G - R - B];
            pB[y][x] = ClampTab[2 * B - R - G];
            // Saturation: squares capped by SqrTab, unsigned div 32, SqrtTab.
            const int v = V;
            const int s = SqrTab[R - v] + SqrTab[G - v] + SqrTab[B - v];
            pT[y][x] = ClampTab[SqrtTab[int(unsigned(s) / 32u)]];
        }
    }
}
