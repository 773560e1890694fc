// A leaf-like 32 x 32 sprite for the renderer benchmarks: opaque middle,
// soft edge, transparent corners, as the scene's icons are.
#pragma once

#include <memory>

#include "core/gfx/image.h"

namespace sarvel::gfx {

inline std::shared_ptr<Image> BenchLeaf() {
  auto img = std::make_shared<Image>(32, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int d2 = (x - 16) * (x - 16) + (y - 16) * (y - 16);
      const uint8_t a = d2 < 144 ? 255 : d2 < 225 ? uint8_t(255 - (d2 - 144) * 3) : 0;
      img->set(x, y, Premultiply(a, uint8_t(180 + x), uint8_t(60 + y * 3), 20));
    }
  }
  img->UpdateOpaque();
  return img;
}

}  // namespace sarvel::gfx
