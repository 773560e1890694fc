// Integer pixel arithmetic and clipping shared by the software renderer.
// Everything here is exact integer maths so that every build (any compiler,
// 32 or 64 bits) draws the same bits.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/gfx/color.h"

namespace sarvel::gfx {

// round(v / 255), exact for 0 <= v <= 255 * 255.
constexpr uint32_t Div255(uint32_t v) {
  v += 128;
  return (v + (v >> 8)) >> 8;
}

constexpr uint8_t MulDiv255(uint32_t a, uint32_t b) { return uint8_t(Div255(a * b)); }

// Source-over of a premultiplied pixel onto an opaque one. Alpha 0 returns the
// destination untouched, alpha 255 the source.
constexpr Argb BlendOver(Argb dst, Argb src) {
  const uint32_t a = src >> 24;
  if (a == 0xFF) return src;
  if (a == 0) return dst;
  const uint32_t inv = 255 - a;
  // Clamped in case a caller stored a colour channel above its alpha.
  const uint32_t r = std::min<uint32_t>(RedOf(src) + Div255(RedOf(dst) * inv), 255);
  const uint32_t g = std::min<uint32_t>(GreenOf(src) + Div255(GreenOf(dst) * inv), 255);
  const uint32_t b = std::min<uint32_t>(BlueOf(src) + Div255(BlueOf(dst) * inv), 255);
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Mixes an opaque colour into an opaque pixel by `coverage` (0..255).
constexpr Argb BlendCoverage(Argb dst, Argb color, uint32_t coverage) {
  if (coverage == 0) return dst;
  if (coverage >= 255) return color | 0xFF000000u;
  const uint32_t inv = 255 - coverage;
  const uint32_t r = Div255(RedOf(color) * coverage + RedOf(dst) * inv);
  const uint32_t g = Div255(GreenOf(color) * coverage + GreenOf(dst) * inv);
  const uint32_t b = Div255(BlueOf(color) * coverage + BlueOf(dst) * inv);
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// The one clipping rule: the part of (x, y, w, h) inside `bounds`, empty when
// nothing is left. Wide arithmetic so that far-off positions and huge sizes
// cannot overflow.
constexpr Rect ClipRect(int64_t x, int64_t y, int64_t w, int64_t h, const Rect& bounds) {
  if (w <= 0 || h <= 0 || bounds.empty()) return {};
  const int64_t l = std::max<int64_t>(x, bounds.x);
  const int64_t t = std::max<int64_t>(y, bounds.y);
  const int64_t r = std::min<int64_t>(x + w, int64_t(bounds.x) + bounds.w);
  const int64_t b = std::min<int64_t>(y + h, int64_t(bounds.y) + bounds.h);
  if (r <= l || b <= t) return {};
  return Rect{int(l), int(t), int(r - l), int(b - t)};
}

// Nearest whole number, halves to even, independent of the FPU rounding mode:
// how sprite positions become pixels. False for NaN and infinities. (A float
// is rounded as the double it equals.)
inline bool RoundHalfEven(double v, int64_t& out) {
  if (!std::isfinite(v)) return false;
  // Far beyond any surface either way; clamping keeps the maths in range.
  constexpr double kFar = double(int64_t(1) << 40);
  const double d = std::clamp(v, -kFar, kFar);
  const double f = std::floor(d);
  const double diff = d - f;  // exact: f is d without its fraction
  int64_t n = int64_t(f);
  if (diff > 0.5 || (diff == 0.5 && (n & 1) != 0)) ++n;
  out = n;
  return true;
}
inline bool RoundHalfEven(float v, int64_t& out) { return RoundHalfEven(double(v), out); }

}  // namespace sarvel::gfx
