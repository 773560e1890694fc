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
  const bool unset = LastMouseX == 0.0f && LastMouseY == 0.0f;
  const double s = SaneScale(scale);
  if (unset || (IsJitter(LastMouseX, x, s) && IsJitter(LastMouseY, y, s))) {
    LastMouseX = x;
    LastMouseY = y;
    return true;
  }
  return false;
}

}  // namespace sarvel
