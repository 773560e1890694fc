// Pre-scaled sprites and the row kernels behind them. That a cached sprite
// draws what DrawIcon draws, whole, in bands and onto the background, is
// checked by the rendering tests over the shipped icons and whole frames.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "core/gfx/painter.h"
#include "core/gfx/pixel_ops.h"
#include "core/gfx/row_ops.h"
#include "core/gfx/sprite.h"
#include "tests/core/gfx/gfx_test_util.h"

namespace sarvel::gfx {
namespace {

using testing::NoiseSurface;

// Premultiplied pixels with the alphas that take special paths (0, 255) well
// represented, in runs so that the vector code meets whole blocks of them.
std::vector<Argb> KernelSource(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<Argb> v(n);
  for (size_t i = 0; i < n;) {
    const uint32_t kind = rng() % 4;
    for (size_t run = 1 + rng() % 9; run > 0 && i < n; --run, ++i) {
      const uint32_t bits = rng();
      const uint8_t a = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(bits >> 24);
      v[i] = a == 0 ? 0 : Premultiply(a, uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits));
    }
  }
  return v;
}

TEST(RowKernels, VectorAndScalarCodeGiveTheSameBits) {
  for (int n = 0; n <= 70; ++n) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
      const std::vector<Argb> src = KernelSource(size_t(n), seed);
      std::vector<Argb> target(static_cast<size_t>(n));
      std::mt19937 rng(seed * 7);
      for (Argb& p : target) p = 0xFF000000u | (rng() & 0xFFFFFFu);
      std::vector<Argb> scalar = target, dispatched = target;
      detail::BlendRowScalar(scalar.data(), src.data(), n);
      BlendRow(dispatched.data(), src.data(), n);
      ASSERT_EQ(scalar, dispatched) << "blend of " << n;
#if defined(__SSE2__)
      std::vector<Argb> vector = target;
      detail::BlendRowSse2(vector.data(), src.data(), n);
      ASSERT_EQ(scalar, vector) << "blend of " << n;
#endif
      std::vector<Argb> copied(size_t(n) + 2, 0x12345678u);
      CopyRow(copied.data() + 1, src.data(), n);
      ASSERT_EQ(std::vector<Argb>(copied.begin() + 1, copied.end() - 1), src);
      ASSERT_EQ(copied.front(), 0x12345678u);  // nothing beside the run
      ASSERT_EQ(copied.back(), 0x12345678u);
    }
  }
  // A colour above its alpha (a damaged picture) is clamped as BlendOver does.
  EXPECT_EQ(BlendPremultiplied(Rgb(200, 10, 10), 0x80FF0000u),
            BlendOver(Rgb(200, 10, 10), 0x80FF0000u));
}

// A sprite of `picture` at w x h, with its storage.
struct OwnedSprite {
  std::vector<uint32_t> storage;
  Sprite sprite;
  OwnedSprite(const Image& picture, int w, int h) : storage(SpriteWords(w, h)) {
    ScaleScratch scratch;
    sprite = MakeSprite(picture, w, h, storage.data(), scratch);
  }
};

// Leaf-like: transparent corners, a soft rim, an opaque middle.
std::shared_ptr<Image> Leaf() {
  auto img = std::make_shared<Image>(32, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int d2 = (x - 15) * (x - 15) + (y - 17) * (y - 17);
      const uint8_t a = d2 < 100 ? 255 : d2 < 196 ? uint8_t(255 - (d2 - 100) * 2) : 0;
      img->set(x, y, Premultiply(a, uint8_t(150 + x * 3), uint8_t(70 + y), 30));
    }
  }
  img->UpdateOpaque();
  return img;
}

TEST(Sprites, TransparentPartsAreTrimmed) {
  auto ring = std::make_shared<Image>(32, 32);  // ink only in rows 8..19, columns 4..27
  for (int y = 8; y < 20; ++y) {
    for (int x = 4; x < 28; ++x) ring->set(x, y, Premultiply(200, 10, 20, 30));
  }
  ring->UpdateOpaque();
  const OwnedSprite s(*ring, 32, 32);
  EXPECT_EQ(s.sprite.ink, (Rect{4, 8, 24, 12}));
  Surface target(100, 100, kBlack);
  EXPECT_EQ(DrawSprite(target, s.sprite, 10.0f, 20.0f), (Rect{14, 28, 24, 12}));
  EXPECT_EQ(DrawSprite(target, s.sprite, 90.0f, -10.0f), (Rect{94, 0, 6, 10}));
  // Onto the background, the pixels written are counted: the ink's, clipped.
  Surface onto(100, 100, kBlack);
  EXPECT_EQ(DrawSpriteOnto(onto, NoiseSurface(100, 100, 1), s.sprite, 90, -10, onto.bounds()), 60u);
  const OwnedSprite blank(Image(32, 32), 20, 20);
  EXPECT_TRUE(blank.sprite.ink.empty());
  EXPECT_TRUE(DrawSprite(target, blank.sprite, 0.0f, 0.0f).empty());
  const OwnedSprite nothing(Image(0, 0), 20, 20);  // a picture of no size draws nothing
  EXPECT_TRUE(DrawSprite(target, nothing.sprite, 0.0f, 0.0f).empty());
  EXPECT_TRUE(DrawSprite(target, s.sprite, std::numeric_limits<float>::quiet_NaN(), 0.0f).empty());
}

TEST(Sprites, AReservedScratchScalesWithoutGrowing) {
  ScaleScratch scratch;
  scratch.Reserve(32, 49);
  const size_t weights = scratch.xs.weights.capacity(), rows = scratch.rows.capacity();
  const auto leaf = Leaf();
  std::vector<uint32_t> storage(SpriteWords(49, 49));
  for (int s = 1; s <= 49; ++s) MakeSprite(*leaf, s, s, storage.data(), scratch);
  EXPECT_EQ(scratch.xs.weights.capacity(), weights);
  EXPECT_EQ(scratch.rows.capacity(), rows);
}

}  // namespace
}  // namespace sarvel::gfx
