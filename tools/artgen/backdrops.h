// The dithered background gradients and the picture of the about box.
#pragma once

#include <array>
#include <cstdint>

#include "codecs.h"
#include "raster.h"

namespace artgen {

struct DitheredGradient {
  Palette16 palette;
  int w = 0;
  int h = 0;
  std::vector<uint8_t> indices;  // top row first
  Image image() const;
  Bytes bmp() const { return encodeBmp4(w, h, palette, indices); }
};

// Vertical gradient with 16 palette shades from `top` to `bottom`; each row
// is one shade or an ordered dither of two neighbouring shades.
DitheredGradient makeGradient(std::array<uint8_t, 3> top, std::array<uint8_t, 3> bottom, int w = 50,
                              int h = 480);

// 356x330 about box picture: a floppy disk with a blank label and a shutter.
Image makeAboutDisk();

}  // namespace artgen
