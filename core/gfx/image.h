// Image: an immutable picture (sprite icon, gradient bitmap, photo, desktop
// capture) in premultiplied ARGB, shared by reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/gfx/color.h"

namespace sarvel::gfx {

class Image {
 public:
  Image(int width, int height);  // all pixels transparent

  int width() const { return width_; }
  int height() const { return height_; }
  Argb* row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }
  const Argb* row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
  Argb at(int x, int y) const { return row(y)[x]; }
  void set(int x, int y, Argb premultiplied) { row(y)[x] = premultiplied; }

  // True when every pixel is opaque; drawing then takes the copy path.
  bool opaque() const { return opaque_; }
  // Call after filling the pixels.
  void UpdateOpaque();

  // Width in hundredths of a millimetre at 96 pixels per inch, as picture
  // objects report it (50 pixels give 1323).
  int32_t WidthHimetric() const;

 private:
  int width_;
  int height_;
  bool opaque_ = false;
  std::vector<Argb> pixels_;
};

using ImageRef = std::shared_ptr<const Image>;

// Converts a straight-alpha colour to premultiplied form.
Argb Premultiply(uint8_t a, uint8_t r, uint8_t g, uint8_t b);

}  // namespace sarvel::gfx
