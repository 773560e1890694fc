#include <cmath>

#include "rng.h"

namespace artgen {

namespace {

float lattice(int32_t x, int32_t y, uint32_t seed) {
  return static_cast<float>(hash2(x, y, seed) >> 8) * (1.0f / 16777215.0f);
}

float fade(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

float valueNoise(float x, float y, uint32_t seed) {
  float fx = std::floor(x);
  float fy = std::floor(y);
  auto ix = static_cast<int32_t>(fx);
  auto iy = static_cast<int32_t>(fy);
  float tx = fade(x - fx);
  float ty = fade(y - fy);
  float a = lattice(ix, iy, seed);
  float b = lattice(ix + 1, iy, seed);
  float c = lattice(ix, iy + 1, seed);
  float d = lattice(ix + 1, iy + 1, seed);
  float top = a + (b - a) * tx;
  float bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves, float gain) {
  float sum = 0.0f;
  float amp = 1.0f;
  float norm = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * valueNoise(x, y, seed + static_cast<uint32_t>(i) * 1013u);
    norm += amp;
    amp *= gain;
    // Rotate a little between octaves to hide the lattice.
    float nx = x * 1.6f - y * 1.2f + 17.3f;
    float ny = x * 1.2f + y * 1.6f - 7.1f;
    x = nx;
    y = ny;
  }
  return sum / norm;
}

CellDist cellNoise(float x, float y, uint32_t seed) {
  float fx = std::floor(x);
  float fy = std::floor(y);
  auto ix = static_cast<int32_t>(fx);
  auto iy = static_cast<int32_t>(fy);
  CellDist r{1e9f, 1e9f, 0};
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      uint32_t h = hash2(ix + dx, iy + dy, seed);
      float px =
          static_cast<float>(ix + dx) + 0.15f + 0.7f * static_cast<float>(h & 0xffff) / 65535.0f;
      float py =
          static_cast<float>(iy + dy) + 0.15f + 0.7f * static_cast<float>(h >> 16) / 65535.0f;
      float ddx = px - x;
      float ddy = py - y;
      float d = std::sqrt(ddx * ddx + ddy * ddy);
      if (d < r.d1) {
        r.d2 = r.d1;
        r.d1 = d;
        r.id = h;
      } else if (d < r.d2) {
        r.d2 = d;
      }
    }
  }
  return r;
}

}  // namespace artgen
