// Colours and rectangles of the software renderer.
#pragma once

#include <algorithm>
#include <cstdint>

namespace sarvel::gfx {

// A pixel as 0xAARRGGBB. Surfaces hold opaque pixels (alpha 0xFF); images
// hold premultiplied alpha so that blending is one multiply-add per channel.
using Argb = uint32_t;

constexpr Argb Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}
constexpr uint8_t AlphaOf(Argb c) { return uint8_t(c >> 24); }
constexpr uint8_t RedOf(Argb c) { return uint8_t(c >> 16); }
constexpr uint8_t GreenOf(Argb c) { return uint8_t(c >> 8); }
constexpr uint8_t BlueOf(Argb c) { return uint8_t(c); }

inline constexpr Argb kBlack = Rgb(0, 0, 0);
inline constexpr Argb kWhite = Rgb(255, 255, 255);

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;

  bool empty() const { return w <= 0 || h <= 0; }
  int right() const { return x + w; }
  int bottom() const { return y + h; }
  Rect Intersected(const Rect& o) const {
    const int l = std::max(x, o.x), t = std::max(y, o.y);
    const int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    return (r > l && b > t) ? Rect{l, t, r - l, b - t} : Rect{};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace sarvel::gfx
