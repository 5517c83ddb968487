// Deterministic value noise for the pictures the program draws itself (the splash stone,
// the default background). Integer hashing rather than <random> distributions, whose
// results differ between standard libraries: the pictures come out the same everywhere.
#pragma once

#include <cmath>
#include <cstdint>

namespace zorvane::noise {

inline std::uint32_t hash3(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// 0 <= value < 1 for a lattice point.
inline double unit_hash(int x, int y, std::uint32_t seed) { return hash3(x, y, seed) / 4294967296.0; }

inline double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Smoothly interpolated lattice noise in 0..1.
inline double value_noise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const double tx = smooth(x - fx);
  const double ty = smooth(y - fy);
  const double a = unit_hash(ix, iy, seed);
  const double b = unit_hash(ix + 1, iy, seed);
  const double c = unit_hash(ix, iy + 1, seed);
  const double d = unit_hash(ix + 1, iy + 1, seed);
  const double top = a + (b - a) * tx;
  const double bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

// Octaves of value noise, each `lacunarity` times finer with its own seed, in 0..1.
inline double fractal_noise(double x, double y, std::uint32_t seed, int octaves, double lacunarity,
                            std::uint32_t seed_step) {
  double sum = 0.0;
  double amplitude = 0.5;
  double total = 0.0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * value_noise(x, y, seed + static_cast<std::uint32_t>(o) * seed_step);
    total += amplitude;
    x *= lacunarity;
    y *= lacunarity;
    amplitude *= 0.5;
  }
  return sum / total;
}

}  // namespace zorvane::noise
