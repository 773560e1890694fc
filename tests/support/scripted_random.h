// A random source that plays back given values, then repeats the last one.
#pragma once

#include <deque>

#include "core/base/random.h"

namespace sarvel::testing {

class ScriptedRandom : public RandomSource {
 public:
  ScriptedRandom() = default;
  ScriptedRandom(std::initializer_list<float> values) : values_(values) {}
  void Seed(uint32_t seed) override { seeds.push_back(seed); }
  float Next() override {
    ++draws;
    if (values_.empty()) return last_;
    last_ = values_.front();
    values_.pop_front();
    return last_;
  }
  void Push(float v) { values_.push_back(v); }

  int draws = 0;
  std::deque<uint32_t> seeds;

 private:
  std::deque<float> values_;
  float last_ = 0.0f;
};

}  // namespace sarvel::testing
