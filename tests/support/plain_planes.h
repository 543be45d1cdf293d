// The plain twins of the plane computation, written rule by rule: every loop
// in its scan order, every byte through the lookup tables, the noise fields
// scanned in place with every update computed in double and rounded to float
// where it is stored.
//
// src/image ships fast versions that reorder independent work and compute
// what a table holds instead of reading it; the tests prove each fast step
// identical to its twin and the plane benchmark measures both. Keep these
// plain.
#pragma once

#include "image/lookup_tables.h"
#include "image/plane_store.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace plain_twin {

// Planes 12, 10, 7, 8, 9, 11 from the level-0 picture.
inline void ComputeColourPlanes(TPlanes& pl) {
    for (int y = 0; y <= LevelMaxRow[0]; ++y) {
        const uint8_t* row = pl.Row(y);
        for (int x = 0; x <= LevelMaxCol[0]; ++x) {
            const uint8_t* p = row + 3 * x;
            const int B = p[0], G = p[1], R = p[2];
            const uint8_t V = uint8_t(unsigned(3 * R + 5 * G + 4 * B) / 12u);
            pl[aV][y][x] = V;
            int h;
            if (R > B)
                h = 80 + (128 * (G - R)) / (R + G + 1);
            else
                h = 165 - (128 * (G - B)) / (G + B + 1);
            pl[aH][y][x] = ClampTab[h];
            pl[aR][y][x] = ClampTab[2 * R - G - B];
            pl[aG][y][x] = ClampTab[2 * G - R - B];
            pl[aB][y][x] = ClampTab[2 * B - R - G];
            const int v = V;
            const int s = SqrTab[R - v] + SqrTab[G - v] + SqrTab[B - v];
            pl[aT][y][x] = ClampTab[SqrtTab[int(unsigned(s) / 32u)]];
        }
    }
}

namespace detail {
constexpr int N = 255; // LevelMaxRow[0] and LevelMaxCol[0]

inline void Step0(float& a, float& acc, int v) {
    a = float(0.3 * double(a) + 0.7 * double(v));
    acc = float(0.08 * std::fabs(double(a) - double(v)) + 0.92 * double(acc));
}
inline void Step1(float& a, float& b, int v) {
    a = float(0.97 * double(a) + 0.03 * double(v));
    b = float(0.92 * double(b) + 0.08 * double(v));
}
inline double Diff(float a, float b) {
    return std::fabs(double(a) - double(b));
}
} // namespace detail

// F of plane 0 (aNo1) from the brightness plane V.
inline void NoiseField0(const TPlane& Vp, float (&F)[256][256]) {
    using namespace detail;
    auto V = [&](int y, int x) { return int(Vp[y][x]); };
    for (int y = 0; y <= N; ++y)
        for (int x = 0; x <= N; ++x) F[y][x] = 0.0f;
    for (int y = 0; y <= N; ++y) {
        float a = float(V(y, 0)), acc = 0.0f;
        for (int x = 0; x <= N - 2; ++x) {
            Step0(a, acc, V(y, x));
            F[y][x] = acc;
        }
        a = float(V(y, N));
        acc = 0.0f;
        for (int x = N; x >= 0; --x) {
            Step0(a, acc, V(y, x));
            F[y][x] = float(double(F[y][x]) + double(acc));
        }
    }
    for (int x = 0; x <= N; ++x) {
        float a = float(V(0, x)), acc = 0.0f;
        for (int y = 0; y <= N - 2; ++y) {
            Step0(a, acc, V(y, x));
            F[y][x] = float(double(F[y][x]) + double(acc));
        }
        a = float(V(N, x));
        acc = 0.0f;
        for (int y = N; y >= 0; --y) {
            Step0(a, acc, V(y, x));
            F[y][x] = float((double(F[y][x]) + double(acc)) * 6.0);
        }
    }
    for (int round = 0; round < 6; ++round) {
        for (int y = 0; y <= N - 1; ++y)
            for (int x = 0; x <= N - 1; ++x)
                F[y][x] =
                    float((double(F[y + 1][x]) + double(F[y][x + 1]) + double(F[y][x])) / 3.0);
        for (int y = N; y >= 1; --y)
            for (int x = N; x >= 1; --x)
                F[y][x] =
                    float((double(F[y - 1][x]) + double(F[y][x - 1]) + double(F[y][x])) / 3.0);
    }
}

// F of plane 1 (aNo2) from the brightness plane V.
inline void NoiseField1(const TPlane& Vp, float (&F)[256][256]) {
    using namespace detail;
    auto V = [&](int y, int x) { return int(Vp[y][x]); };
    for (int y = 0; y <= N; ++y)
        for (int x = 0; x <= N; ++x) F[y][x] = 0.0f;
    for (int y = 0; y <= N; ++y) {
        float a = float(V(y, 0)), b = a;
        for (int x = 0; x <= N; ++x) {
            Step1(a, b, V(y, x));
            F[y][x] = float(double(F[y][x]) + Diff(a, b));
        }
        a = b = float(V(y, N));
        for (int x = N; x >= 0; --x) {
            Step1(a, b, V(y, x));
            F[y][x] = float(double(F[y][x]) + Diff(a, b));
        }
    }
    for (int x = 0; x <= N; ++x) {
        float a = float(V(0, x)), b = a;
        for (int y = 0; y <= N; ++y) {
            Step1(a, b, V(y, x));
            F[y][x] = float(double(F[y][x]) + Diff(a, b));
        }
        a = b = float(V(N, x));
        for (int y = N; y >= 0; --y) {
            Step1(a, b, V(y, x));
            F[y][x] = float((double(F[y][x]) + Diff(a, b)) * 2.0);
        }
    }
    for (int d = 4; d >= 1; --d) {
        for (int y = N; y >= d; --y)
            for (int x = N; x >= d; --x)
                F[y][x] =
                    float((double(F[y - d][x]) + double(F[y][x - d]) + double(F[y][x])) / 3.0);
        for (int y = 0; y <= N - d; ++y)
            for (int x = 0; x <= N - d; ++x)
                F[y][x] =
                    float((double(F[y + d][x]) + double(F[y][x + d]) + double(F[y][x])) / 3.0);
    }
}

inline void FieldToPlane(const float (&F)[256][256], TPlane& plane) {
    for (int y = 0; y <= detail::N; ++y)
        for (int x = 0; x <= detail::N; ++x) plane[y][x] = ClampTab[int(F[y][x])];
}

// The whole step in the plain order: plane 0, then plane 1, in NoiseField.
inline void ComputeNoisePlanes(TPlanes& pl) {
    NoiseField0(pl[aV], pl.Scratch.NoiseField);
    FieldToPlane(pl.Scratch.NoiseField, pl[aNo1]);
    NoiseField1(pl[aV], pl.Scratch.NoiseField);
    FieldToPlane(pl.Scratch.NoiseField, pl[aNo2]);
}

// Plane 2 before its smoothing.
inline void ComputeRawBorderPlane(TPlanes& pl) {
    constexpr int N = 255;
    for (int y = 1; y <= N; ++y)
        for (int x = 1; x <= N; ++x) {
            const uint8_t* P = pl.Row(y) + 3 * x;
            const uint8_t* L = pl.Row(y) + 3 * (x - 1);
            const uint8_t* U = pl.Row(y - 1) + 3 * x;
            // Bytes 2, 1, 0 are red, green, blue.
            const unsigned s = unsigned(AbsTab[P[2] - L[2]]) + AbsTab[P[1] - L[1]] +
                               AbsTab[P[0] - L[0]] + AbsTab[P[2] - U[2]] + AbsTab[P[1] - U[1]] +
                               AbsTab[P[0] - U[0]];
            pl[aNo3][y][x] = ClampTab[int(s / 6u)];
        }
}

// Plane 2's smoothing from PlaneCopy, then planes 15, 16, 17, 18.
inline void SmoothBorderPlane(TPlanes& pl) {
    constexpr int N = 255;
    std::memcpy(pl.Scratch.PlaneCopy, pl[aNo3], sizeof(TPlane));
    const auto& c = pl.Scratch.PlaneCopy;
    for (int x = 1; x <= N - 1; ++x)
        for (int y = 1; y <= N - 1; ++y) {
            const unsigned t = 1u * c[y - 1][x - 1] + 2u * c[y - 1][x] + 1u * c[y - 1][x + 1] +
                               2u * c[y][x - 1] + 8u * c[y][x] + 2u * c[y][x + 1] +
                               1u * c[y + 1][x - 1] + 2u * c[y + 1][x] + 1u * c[y + 1][x + 1];
            pl[aNo3][y][x] = ClampTab[int(t / 20u)];
        }
}

inline void ComputeGradientPlanes(TPlanes& pl) {
    constexpr int N = 255;
    const TPlane& V = pl[aV];
    for (int x = 0; x <= N; ++x)
        for (int y = 1; y <= N; ++y) pl[aGV][y][x] = ClampTab[(V[y][x] - V[y - 1][x]) * 4 + 128];
    for (int x = 0; x <= N; ++x)
        for (int y = 1; y <= N; ++y)
            pl[aGVV][y][x] = ClampTab[(pl[aGV][y][x] - pl[aGV][y - 1][x]) * 2 + 128];
    for (int y = 0; y <= N; ++y)
        for (int x = 1; x <= N; ++x) pl[aGH][y][x] = ClampTab[(V[y][x] - V[y][x - 1]) * 4 + 128];
    for (int y = 0; y <= N; ++y)
        for (int x = 1; x <= N; ++x)
            pl[aGHH][y][x] = ClampTab[(pl[aGH][y][x] - pl[aGH][y][x - 1]) * 2 + 128];
}

inline void ComputeBorderPlanes(TPlanes& pl) {
    plain_twin::ComputeRawBorderPlane(pl);
    plain_twin::SmoothBorderPlane(pl);
    plain_twin::ComputeGradientPlanes(pl);
}

// The contrast normalisation of one plane, and of planes 0 to 19.
inline void NormalisePlane(TPlanes& pl, int p) {
    float mn = 255.0f, mx = 0.0f;
    for (int y = 2; y <= 253; ++y)
        for (int x = 2; x <= 253; ++x) {
            const uint8_t v = pl[p][y][x];
            if (v < mn) mn = v;
            if (v > mx) mx = v;
        }
    if (!(mx > mn)) return;
    const float k = float(250.0 * (1.0 / (double(mx) - double(mn))));
    for (int l = -2048; l <= 2048; ++l) {
        const int w = int((double(l) - double(mn)) * double(k));
        pl.Scratch.StretchTab[l] = uint8_t(w < 0 ? 0 : w > 255 ? 255 : w);
    }
    for (int y = 2; y <= 253; ++y)
        for (int x = 2; x <= 253; ++x) pl[p][y][x] = pl.Scratch.StretchTab[pl[p][y][x]];
}

inline void NormalisePlanes(TPlanes& pl) {
    for (int p = 0; p < PlaneCount; ++p) NormalisePlane(pl, p);
}

// The four steps as ComputePlanes runs them, after its own clearing.
inline void ComputeAllPlanes(TPlanes& pl) {
    plain_twin::ComputeColourPlanes(pl);
    plain_twin::ComputeNoisePlanes(pl);
    plain_twin::ComputeBorderPlanes(pl);
    plain_twin::NormalisePlanes(pl);
}

} // namespace plain_twin
