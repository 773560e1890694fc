// Helpers shared by the renderer tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>

#include "core/gfx/image.h"
#include "core/gfx/surface.h"

namespace sarvel::gfx::testing {

// Seeded noise, so that any pixel written by mistake shows.
inline Surface NoiseSurface(int w, int h, uint32_t seed) {
  Surface s(w, h, kBlack);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s.row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
  }
  return s;
}

// Random premultiplied pixels; `alpha` < 0 gives each pixel a random alpha.
inline std::shared_ptr<Image> NoiseImage(int w, int h, uint32_t seed, int alpha) {
  auto img = std::make_shared<Image>(w, h);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t v = rng();
      const uint8_t a = alpha < 0 ? uint8_t(v >> 24) : uint8_t(alpha);
      img->set(x, y, Premultiply(a, uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)));
    }
  }
  img->UpdateOpaque();
  return img;
}

// FNV-1a over the pixels.
inline uint64_t Fingerprint(const Surface& s) {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      h = (h ^ s.at(x, y)) * 1099511628211ull;
    }
  }
  return h;
}

// Drawing at (x, y) on a w x h surface must give exactly the window of the
// same drawing made with `margin` pixels of room all round. `draw` gets the
// target and the position.
inline void ExpectClippedMatchesUnclipped(const std::function<void(Surface&, int, int)>& draw,
                                          int x, int y, int w, int h, int margin) {
  Surface small = NoiseSurface(w, h, 7);
  Surface big(w + 2 * margin, h + 2 * margin, kBlack);
  for (int yy = 0; yy < h; ++yy) {
    for (int xx = 0; xx < w; ++xx) big.row(yy + margin)[xx + margin] = small.at(xx, yy);
  }
  draw(small, x, y);
  draw(big, x + margin, y + margin);
  for (int yy = 0; yy < h; ++yy) {
    for (int xx = 0; xx < w; ++xx) {
      ASSERT_EQ(small.at(xx, yy), big.at(xx + margin, yy + margin))
          << "pixel " << xx << "," << yy << " drawn at " << x << "," << y;
    }
  }
}

}  // namespace sarvel::gfx::testing
