// Logical and device pixels. The scene keeps its rules in logical pixels of
// a 96-DPI screen; the host's window, its image, the desktop capture and the
// scene font are in device pixels, `scale` device pixels to a logical one
// (1, 1.25, 1.5, 2...). These are the scene's roundings between the two.
// All of them are exact at scale 1, and computed in double precision, where
// a float position times a scale with few bits (1.25, 1.5, 1.75, 2) is
// exact: every build rounds the same way.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/gfx/pixel_ops.h"

namespace sarvel {

// The scales the scene accepts. What a host reports outside them (or not a
// number) is taken as 1.
inline constexpr double kMinDeviceScale = 0.5;
inline constexpr double kMaxDeviceScale = 8.0;

inline double SaneScale(double scale) {
  return scale >= kMinDeviceScale && scale <= kMaxDeviceScale ? scale : 1.0;
}

// The logical size of `device` pixels: the smallest whole number of logical
// pixels that covers them all (device / scale rounded up), so that the
// scene's ground, carpet and wrap reach the last device row and column; it
// overhangs the window by less than one logical pixel. A quotient within a
// millionth of a whole number counts as that number, against the rounding
// of scales like 1.1 that double precision cannot hold exactly.
inline int LogicalLength(int device, double scale) {
  if (device <= 0) return 0;
  return int(std::ceil(double(device) / scale - 1e-6));
}

// A logical length in device pixels: the nearest whole number, halves up,
// at least 1 for a length of at least 1.
inline int DeviceLength(int logical, double scale) {
  if (logical <= 0) return logical;
  const double d = std::floor(double(logical) * scale + 0.5);
  return d < 1.0 ? 1 : d > 1e9 ? 1000000000 : int(d);
}

// A logical offset (a margin, the text's distance from an edge) in device
// pixels, rounded as DeviceLength rounds.
inline int DeviceOffset(int logical, double scale) {
  const double d = std::floor(double(logical) * scale + 0.5);
  return d < -1e9 ? -1000000000 : d > 1e9 ? 1000000000 : int(d);
}

// Where a position that is not a number draws: off every surface, so that
// nothing is drawn while the picture is still looked up (a draw at such a
// position raises for a bad icon id as any other does).
inline constexpr int64_t kNowhere = -(int64_t(1) << 42);

// A logical position in device pixels: the nearest pixel to position x
// scale, halves to even, as gfx::DrawIcon rounds a position.
inline int64_t DevicePosition(float logical, double scale) {
  int64_t p = 0;
  return gfx::RoundHalfEven(double(logical) * scale, p) ? p : kNowhere;
}

}  // namespace sarvel
