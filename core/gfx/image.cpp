#include "core/gfx/image.h"

#include <algorithm>

#include "core/gfx/pixel_ops.h"

namespace sarvel::gfx {

Image::Image(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(size_t(width_) * size_t(height_), Argb{0}) {}

void Image::UpdateOpaque() {
  opaque_ = std::all_of(pixels_.begin(), pixels_.end(), [](Argb p) { return AlphaOf(p) == 0xFF; });
}

int32_t Image::WidthHimetric() const {
  // 2540 hundredths of a millimetre per inch, 96 pixels per inch; halves round up.
  return int32_t((int64_t(width_) * 2540 + 48) / 96);
}

Argb Premultiply(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  if (a == 0xFF) return Rgb(r, g, b);
  return (Argb(a) << 24) | (Argb(MulDiv255(r, a)) << 16) | (Argb(MulDiv255(g, a)) << 8) |
         Argb(MulDiv255(b, a));
}

}  // namespace sarvel::gfx
