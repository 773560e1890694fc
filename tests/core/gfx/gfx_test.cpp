// Surfaces, images and the painter: clipping, filtering, blending.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <vector>

#include "core/gfx/painter.h"
#include "core/gfx/pixel_ops.h"
#include "tests/core/gfx/gfx_test_util.h"

namespace sarvel::gfx {
namespace {

using testing::ExpectClippedMatchesUnclipped;
using testing::Fingerprint;
using testing::NoiseImage;
using testing::NoiseSurface;

std::shared_ptr<Image> Solid(int w, int h, Argb premultiplied) {
  auto img = std::make_shared<Image>(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img->set(x, y, premultiplied);
  }
  img->UpdateOpaque();
  return img;
}

TEST(PixelMaths, RoundsExactly) {
  for (uint32_t v = 0; v <= 255 * 255; ++v) ASSERT_EQ(Div255(v), (2 * v + 255) / 510) << v;
  EXPECT_EQ(Premultiply(128, 255, 0, 100), 0x80800032u);
  EXPECT_EQ(Image(50, 1).WidthHimetric(), 1323);
  EXPECT_EQ(Image(96, 1).WidthHimetric(), 2540);
}

TEST(Surface, ClearAndResize) {
  // A stored picture is clipped to the surface; its transparent parts show
  // the back colour, half-transparent ones blend over it.
  Surface s(4, 3, Rgb(200, 200, 200));
  auto pic = Solid(6, 2, kWhite);
  pic->set(1, 0, 0);
  pic->set(2, 0, 0x80000000u);
  pic->UpdateOpaque();
  s.SetStoredPicture(pic);
  s.Clear();
  EXPECT_EQ(s.at(0, 0), kWhite);
  EXPECT_EQ(s.at(1, 0), Rgb(200, 200, 200));
  EXPECT_EQ(s.at(2, 0), Rgb(100, 100, 100));
  EXPECT_EQ(s.at(3, 1), kWhite);
  EXPECT_EQ(s.at(0, 2), Rgb(200, 200, 200));
  s.DropStoredPicture();
  s.set_back_color(0x00112233u);  // surfaces stay opaque whatever the alpha
  s.Clear();
  EXPECT_EQ(s.at(0, 0), 0xFF112233u);

  Surface r = NoiseSurface(5, 4, 3);
  const Surface before = r;
  r.set_back_color(Rgb(1, 2, 3));
  r.Resize(7, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(r.at(x, y), x < 5 ? before.at(x, y) : Rgb(1, 2, 3));
  }
  r.Resize(3, 5);
  EXPECT_EQ(r.at(2, 1), before.at(2, 1));
  EXPECT_EQ(r.at(0, 4), Rgb(1, 2, 3));
  EXPECT_EQ(r.Snapshot()->at(2, 1), before.at(2, 1));
  EXPECT_TRUE(r.Snapshot()->opaque());
}

// A surface drawing into lent memory (a display server's segment) keeps its
// picture across lending, copying, moving, resizing and taking memory of its
// own back, and never writes outside the lent block.
TEST(Surface, LentMemoryKeepsThePictureAndItsBounds) {
  Surface s = NoiseSurface(5, 4, 9);
  const Surface before = s;
  s.set_back_color(Rgb(7, 8, 9));
  constexpr Argb kGuard = 0x5A5A5A5Au;
  std::vector<Argb> block(6 * 3 + 2, kGuard);  // a guard word at each end
  s.UseMemory(block.data() + 1, 6, 3);
  EXPECT_TRUE(s.uses_lent_memory());
  EXPECT_EQ(s.row(0), block.data() + 1);
  EXPECT_EQ(s.at(4, 2), before.at(4, 2));
  EXPECT_EQ(s.at(5, 0), Rgb(7, 8, 9));  // new area: the back colour
  s.set_back_color(Rgb(1, 1, 1));
  s.Clear();
  EXPECT_EQ(block.front(), kGuard);
  EXPECT_EQ(block.back(), kGuard);
  EXPECT_EQ(block[1], Rgb(1, 1, 1));

  s.row(1)[2] = Rgb(40, 50, 60);
  const Surface copy = s;  // a copy owns its pixels
  EXPECT_FALSE(copy.uses_lent_memory());
  block[1 + 6 + 2] = kWhite;
  EXPECT_EQ(copy.at(2, 1), Rgb(40, 50, 60));

  Surface moved = std::move(s);  // a move takes the lent memory along
  EXPECT_EQ(moved.row(0), block.data() + 1);
  EXPECT_EQ(s.width(), 0);
  moved.Resize(6, 3);  // the same size: still lent
  EXPECT_TRUE(moved.uses_lent_memory());
  moved.OwnMemory();
  EXPECT_FALSE(moved.uses_lent_memory());
  EXPECT_EQ(moved.at(2, 1), kWhite);
  block.assign(block.size(), 0);
  EXPECT_EQ(moved.at(2, 1), kWhite);  // no longer reads the block
  moved.UseMemory(block.data() + 1, 6, 3);
  moved.Resize(2, 2);  // a new size: its own memory again
  EXPECT_FALSE(moved.uses_lent_memory());
  EXPECT_EQ(moved.at(0, 0), Rgb(1, 1, 1));
  moved.UseMemory(nullptr, 4, 4);  // nothing lent: plain resize
  EXPECT_FALSE(moved.uses_lent_memory());
  EXPECT_EQ(moved.width(), 4);
}

TEST(Painter, EveryOperationClipsAtEveryEdge) {
  const auto opaque = NoiseImage(32, 32, 1, 255);
  const auto translucent = NoiseImage(32, 32, 2, -1);
  const auto strip = NoiseImage(5, 48, 3, 255);
  const Surface src = NoiseSurface(30, 20, 11);
  for (int x : {-60, -31, -16, -1, 0, 3, 14, 19, 25}) {
    for (int y : {-60, -31, -9, -1, 0, 6, 14, 25}) {
      auto check = [&](const std::function<void(Surface&, int, int)>& draw) {
        ExpectClippedMatchesUnclipped(draw, x, y, 20, 15, 80);
      };
      check([&](Surface& d, int px, int py) { FillRect(d, {px, py, 17, 9}, Rgb(1, 2, 3)); });
      check([&](Surface& d, int px, int py) { Blit(d, px, py, src, {-5, 4, 40, 12}); });
      check([&](Surface& d, int px, int py) { DrawStretched(d, *strip, {px, py, 9, 37}); });
      for (int side : {5, 28, 32, 49}) {
        check([&](Surface& d, int px, int py) {
          DrawIcon(d, *translucent, float(px), float(py), side, side - 2);
        });
        check([&](Surface& d, int px, int py) { DrawStretched(d, *opaque, {px, py, side, side}); });
      }
    }
  }
  // Nothing at all for empty sizes, NaN or far-off positions, huge sizes
  // off the surface.
  Surface s = NoiseSurface(20, 15, 8);
  const uint64_t before = Fingerprint(s);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  DrawIcon(s, *opaque, 2, 2, 0, 10);
  DrawIcon(s, *opaque, 2, 2, 10, -4);
  DrawIcon(s, *opaque, nan, 2, 10, 10);
  DrawIcon(s, *opaque, 2, std::numeric_limits<float>::infinity(), 10, 10);
  DrawIcon(s, *opaque, -1e30f, 2, INT_MAX, 10);
  DrawIcon(s, Image(0, 0), 0, 0, 10, 10);
  DrawStretched(s, *opaque, {INT_MAX, INT_MAX, INT_MAX, INT_MAX});
  DrawStretched(s, *opaque, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  FillRect(s, {INT_MIN, 0, INT_MAX, 15}, kWhite);
  Blit(s, 0, 0, src, {INT_MAX - 2, 0, 10, 10});
  EXPECT_EQ(Fingerprint(s), before);
  DrawStretched(s, *Solid(2, 2, kWhite), {-1000000, -1000000, INT_MAX, INT_MAX});
  EXPECT_EQ(s.at(19, 14), kWhite);
}

TEST(Painter, BlitOntoItselfActsAsThroughACopy) {
  for (int shift : {-3, 3}) {
    Surface s = NoiseSurface(16, 16, 5);
    Surface expected = s;
    const Surface copy = s;
    Blit(expected, shift, shift, copy, copy.bounds());
    Blit(s, shift, shift, s, s.bounds());
    EXPECT_EQ(Fingerprint(s), Fingerprint(expected)) << shift;
  }
}

TEST(Painter, StretchKeepsFlatColoursAndAveragesWhenShrinking) {
  // A flat colour stays flat and opaque at any scale.
  for (const Rect r : {Rect{0, 0, 88, 200}, Rect{0, 0, 7, 3}, Rect{0, 0, 152, 112},
                       Rect{0, 0, 1, 1}, Rect{0, 0, 300, 2}}) {
    Surface s(r.w, r.h, kBlack);
    DrawStretched(s, *Solid(50, 48, Rgb(37, 201, 99)), r);
    for (int y = 0; y < r.h; ++y) {
      for (int x = 0; x < r.w; ++x) ASSERT_EQ(s.at(x, y), Rgb(37, 201, 99));
    }
  }
  // Shrinking averages by coverage (what the scenes do not show).
  auto row = std::make_shared<Image>(4, 1);
  for (int x = 0; x < 4; ++x) row->set(x, 0, Rgb(uint8_t(std::min(255, x * 100)), 0, 0));
  row->UpdateOpaque();
  Surface half(2, 1, kWhite), three(3, 1, kWhite);
  DrawStretched(half, *row, {0, 0, 2, 1});
  DrawStretched(three, *row, {0, 0, 3, 1});
  EXPECT_EQ(half.at(1, 0), Rgb(228, 0, 0));   // 227.5
  EXPECT_EQ(three.at(0, 0), Rgb(25, 0, 0));   // (0 + 100/3) * 3/4
  EXPECT_EQ(three.at(2, 0), Rgb(241, 0, 0));  // (200/3 + 255) * 3/4
}

}  // namespace
}  // namespace sarvel::gfx
