#include "app/scene/input_watch.h"

#include <cmath>

#include "app/scene/device_scale.h"

namespace sarvel {
namespace {

constexpr double kJitterLogicalPixels = 3.0;

bool IsJitter(float from, float to, double scale) {
  return std::fabs(double(to) - double(from)) / scale < kJitterLogicalPixels;
}

}  // namespace

bool MovementFilter::Accept(float x, float y, double scale) {
  const bool unset = last_x == 0.0f && last_y == 0.0f;
  const double s = SaneScale(scale);
  if (unset || (IsJitter(last_x, x, s) && IsJitter(last_y, y, s))) {
    last_x = x;
    last_y = y;
    return true;
  }
  return false;
}

}  // namespace sarvel
