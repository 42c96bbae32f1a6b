// Deterministic maths for the generator: the same bits on every compiler and
// optimisation level. Only +, -, *, / and sqrt (all exactly rounded by IEEE
// 754) are used; the build turns off fused multiply-add contraction.
#pragma once

#include <cmath>
#include <cstdint>

namespace art {

constexpr double kPi = 3.14159265358979323846;

inline double Rad(double degrees) { return degrees * (kPi / 180.0); }

// sin and cos from a fixed Taylor series after reduction to [-pi/2, pi/2];
// accurate to about 1e-12, far below anything the outputs can show.
inline double SinPoly(double x) {
    double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 10; ++n) {
        term = -term * x2 / double((2 * n) * (2 * n + 1));
        sum = sum + term;
    }
    return sum;
}

inline double Sin(double x) {
    double turns = std::floor((x + kPi) / (2.0 * kPi));
    double r = x - turns * (2.0 * kPi);  // now in [-pi, pi)
    if (r > kPi / 2.0) r = kPi - r;
    if (r < -kPi / 2.0) r = -kPi - r;
    return SinPoly(r);
}

inline double Cos(double x) { return Sin(x + kPi / 2.0); }
inline double SinD(double degrees) { return Sin(Rad(degrees)); }
inline double CosD(double degrees) { return Cos(Rad(degrees)); }

inline double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
inline double Smooth(double t) {
    t = Clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}
// 0 below e0, 1 above e1, smooth between.
inline double Step(double e0, double e1, double x) { return Smooth((x - e0) / (e1 - e0)); }

// Integer hash noise: a fixed value in [0, 1) per lattice point and seed.
inline double Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h & 0xFFFFFFu) / double(0x1000000);
}

// Smooth value noise on a unit lattice.
inline double Noise(double x, double y, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    int32_t ix = int32_t(fx), iy = int32_t(fy);
    double tx = Smooth(x - fx), ty = Smooth(y - fy);
    double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

// Sum of octaves of value noise, in [0, 1).
inline double Fractal(double x, double y, int octaves, uint32_t seed) {
    double sum = 0.0, amp = 0.5, norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum = sum + amp * Noise(x, y, seed + uint32_t(i) * 101u);
        norm = norm + amp;
        x = x * 2.0;
        y = y * 2.0;
        amp = amp * 0.5;
    }
    return sum / norm;
}

}  // namespace art
