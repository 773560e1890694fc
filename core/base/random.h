// The process-wide random generator behind RandomInt: single-precision values
// 0 <= r < 1. Injectable so that a seed reproduces a scene frame for frame.
#pragma once

#include <cstdint>

namespace sarvel {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Seed(uint32_t seed) = 0;
  // Next value, strictly below 1.
  virtual float Next() = 0;
};

// A small, fast generator (xorshift with a multiply) giving 24-bit values,
// each exactly representable as a float below 1.
class DefaultRandom final : public RandomSource {
 public:
  explicit DefaultRandom(uint32_t seed = 1) { Seed(seed); }
  void Seed(uint32_t seed) override;
  float Next() override;

 private:
  uint64_t state_ = 0;
};

}  // namespace sarvel
