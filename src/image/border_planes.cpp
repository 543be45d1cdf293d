// Part 2.5: the border plane 2 (aNo3) and the gradient planes 15 to 18.
//
// Reads: LevelBitmap[0] through LevelRows[0], plane 12 (before the contrast
// normalisation). Writes: PlaneCopy[0], planes 2, 15, 16, 17, 18.
#include "compute_planes.h"
#include "planes_internal.h"

#include <cstring>

namespace {
constexpr int N = 255;
} // namespace

void ComputeRawBorderPlane() {
    TPlane& p2 = Plane(aNo3);
    for (int y = 1; y <= N; ++y) {
        const uint8_t* row = LevelRows[0][y];
        const uint8_t* up = LevelRows[0][y - 1];
        for (int x = 1; x <= N; ++x) {
            const uint8_t* P = row + 3 * x;
            const uint8_t* L = row + 3 * (x - 1);
            const uint8_t* U = up + 3 * x;
            // Bytes are blue, green, red; the sum is the same in any order.
            const unsigned s = unsigned(AbsTab[P[2] - L[2]]) + AbsTab[P[1] - L[1]] + AbsTab[P[0] - L[0]] +
                               AbsTab[P[2] - U[2]] + AbsTab[P[1] - U[1]] + AbsTab[P[0] - U[0]];
            p2[y][x] = ClampTab[int(s / 6u)];
        }
    }
}

void SmoothBorderPlane() {
    TPlane& p2 = Plane(aNo3);
    uint8_t(&c)[256][256] = PlaneCopy[0];
    std::memcpy(c, p2, sizeof c);
    for (int x = 1; x <= N - 1; ++x)
        for (int y = 1; y <= N - 1; ++y) {
            const unsigned t = unsigned(c[y - 1][x - 1]) + 2u * c[y - 1][x] + c[y - 1][x + 1] +
                               2u * c[y][x - 1] + 8u * c[y][x] + 2u * c[y][x + 1] + c[y + 1][x - 1] +
                               2u * c[y + 1][x] + c[y + 1][x + 1];
            p2[y][x] = ClampTab[int(t / 20u)];
        }
}

void ComputeGradientPlanes() {
    const TPlane& V = Plane(aV);
    TPlane& GV = Plane(aGV);
    TPlane& GVV = Plane(aGVV);
    TPlane& GH = Plane(aGH);
    TPlane& GHH = Plane(aGHH);
    for (int x = 0; x <= N; ++x)
        for (int y = 1; y <= N; ++y) GV[y][x] = ClampTab[(int(V[y][x]) - int(V[y - 1][x])) * 4 + 128];
    for (int x = 0; x <= N; ++x)
        for (int y = 1; y <= N; ++y) GVV[y][x] = ClampTab[(int(GV[y][x]) - int(GV[y - 1][x])) * 2 + 128];
    for (int y = 0; y <= N; ++y)
        for (int x = 1; x <= N; ++x) GH[y][x] = ClampTab[(int(V[y][x]) - int(V[y][x - 1])) * 4 + 128];
    for (int y = 0; y <= N; ++y)
        for (int x = 1; x <= N; ++x) GHH[y][x] = ClampTab[(int(GH[y][x]) - int(GH[y][x - 1])) * 2 + 128];
}

void ComputeBorderPlanes() {
    ComputeRawBorderPlane();
    SmoothBorderPlane();
    ComputeGradientPlanes();
}
