#include "app/dialogs/config_mappings.h"

#include <algorithm>
#include <cmath>

#include "core/base/checked.h"

namespace sarvel {
namespace {

int16_t Clamped(double position, int16_t lo, int16_t hi) {
  return int16_t(std::clamp(position, double(lo), double(hi)));
}

}  // namespace

int16_t MaxLeafToPosition(int16_t max_leaf) {
  return Clamped(RoundHalfEven((double(max_leaf) - 2.0) * 12.5), 1, 100);
}

int16_t PositionToMaxLeaf(int16_t position) { return ToInt16(double(position) * 0.08 + 2.0); }

int16_t LeafSpeedToPosition(float leaf_speed) {
  if (std::isnan(leaf_speed)) return 100;
  return Clamped(RoundHalfEven(double(leaf_speed) * 10.0), 1, 100);
}

float PositionToLeafSpeed(int16_t position) { return ToSingle(double(position) * 0.1); }

int16_t RestartMinutes(int32_t restart_seconds) {
  return int16_t(std::clamp<int32_t>(restart_seconds / 60, 1, 99));
}

int16_t ShowableBackgroundKind(int16_t kind) {
  return std::clamp<int16_t>(kind, kFirstBackgroundKind, kLastBackgroundKind);
}

}  // namespace sarvel
