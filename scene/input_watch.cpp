#include "scene/input_watch.h"

#include <cmath>

namespace sarvel {

bool MovementFilter::Accept(float x, float y) {
  const bool unset = LastMouseX == 0.0f && LastMouseY == 0.0f;
  if (unset || (std::fabs(x - LastMouseX) < 3.0f && std::fabs(y - LastMouseY) < 3.0f)) {
    LastMouseX = x;
    LastMouseY = y;
    return true;
  }
  return false;
}

}  // namespace sarvel
