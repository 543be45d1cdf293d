// Part 2.4: the noise planes 0 (aNo1) and 1 (aNo2) from plane 12 (aV).
//
// Reads: plane 12. Writes: NoiseField, planes 0 and 1.
// PLAIN VERSION, straight from the design.
#include "compute_planes.h"
#include "planes_internal.h"

#include <cmath>

namespace {
constexpr int N = 255;

inline void Step0(float& a, float& acc, int v) {
    a = float(0.3 * double(a) + 0.7 * double(v));
    acc = float(0.08 * std::fabs(double(a) - double(v)) + 0.92 * double(acc));
}
inline void Step1(float& a, float& b, int v) {
    a = float(0.97 * double(a) + 0.03 * double(v));
    b = float(0.92 * double(b) + 0.08 * double(v));
}
inline double Diff(float a, float b) { return std::fabs(double(a) - double(b)); }
} // namespace

void NoiseField0(const TPlane& Vp, float (&F)[256][256]) {
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
                F[y][x] = float((double(F[y + 1][x]) + double(F[y][x + 1]) + double(F[y][x])) / 3.0);
        for (int y = N; y >= 1; --y)
            for (int x = N; x >= 1; --x)
                F[y][x] = float((double(F[y - 1][x]) + double(F[y][x - 1]) + double(F[y][x])) / 3.0);
    }
}

void NoiseField1(const TPlane& Vp, float (&F)[256][256]) {
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
                F[y][x] = float((double(F[y - d][x]) + double(F[y][x - d]) + double(F[y][x])) / 3.0);
        for (int y = 0; y <= N - d; ++y)
            for (int x = 0; x <= N - d; ++x)
                F[y][x] = float((double(F[y + d][x]) + double(F[y][x + d]) + double(F[y][x])) / 3.0);
    }
}

void NoiseFieldToPlane(const float (&F)[256][256], TPlane& plane) {
    for (int y = 0; y <= N; ++y)
        for (int x = 0; x <= N; ++x) plane[y][x] = ClampTab[int(F[y][x])];
}

void ComputeNoisePlanes() {
    NoiseField0(Plane(aV), NoiseField);
    NoiseFieldToPlane(NoiseField, Plane(aNo1));
    NoiseField1(Plane(aV), NoiseField);
    NoiseFieldToPlane(NoiseField, Plane(aNo2));
}
