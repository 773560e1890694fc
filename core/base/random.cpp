#include "core/base/random.h"

namespace sarvel {

void DefaultRandom::Seed(uint32_t seed) {
  // Spread the seed so that neighbouring seconds give unrelated sequences;
  // the state must never be zero.
  uint64_t z = uint64_t(seed) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  state_ = z ? z : 0x2545F4914F6CDD1Dull;
}

float DefaultRandom::Next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  const uint64_t bits = (state_ * 0x2545F4914F6CDD1Dull) >> 40;  // 24 bits
  return float(bits) * (1.0f / 16777216.0f);
}

}  // namespace sarvel
