// Deterministic random numbers and value noise for the art generator.
//
// Everything here is integer based or uses plain float arithmetic so that the
// same seed gives the same pixels with every standard library.
#pragma once

#include <cstdint>

namespace artgen {

// PCG32 (XSH RR variant) with a fixed stream.
class Rng {
 public:
  explicit Rng(uint64_t seed) {
    state_ = 0;
    next();
    state_ += seed;
    next();
  }

  uint32_t next() {
    uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
    uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
  }

  // Uniform in [0, 1).
  float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
  float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
  // Uniform integer in [lo, hi].
  int irange(int lo, int hi) {
    uint32_t span = static_cast<uint32_t>(hi - lo + 1);
    return lo + static_cast<int>(next() % span);
  }
  bool chance(float p) { return uniform() < p; }
  // Symmetric jitter in [-a, a].
  float jitter(float a) { return range(-a, a); }

 private:
  uint64_t state_;
};

// 32-bit integer hash (lowbias32).
inline uint32_t hash32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

inline uint32_t hash2(int32_t x, int32_t y, uint32_t seed) {
  return hash32(static_cast<uint32_t>(x) * 0x9E3779B1U ^
                hash32(static_cast<uint32_t>(y) + seed * 0x85EBCA77U));
}

// Smooth value noise in [0, 1] on an integer lattice.
float valueNoise(float x, float y, uint32_t seed);
// Fractal sum of value noise, normalised to [0, 1].
float fbm(float x, float y, uint32_t seed, int octaves = 4, float gain = 0.5f);

// Cellular noise: distances to the nearest and second nearest feature point
// (one jittered point per unit cell).
struct CellDist {
  float d1;
  float d2;
  uint32_t id;  // hash of the nearest cell, for per-cell variation
};
CellDist cellNoise(float x, float y, uint32_t seed);

}  // namespace artgen
