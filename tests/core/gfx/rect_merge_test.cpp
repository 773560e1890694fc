// Collecting a frame's damage (each rectangle once, within a fixed capacity)
// and merging it into few rectangles: nothing damaged is left out, the count
// stays within its limit, and far-apart damage is not inflated to the screen.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/gfx/rect_list.h"
#include "core/gfx/rect_merge.h"

namespace sarvel::gfx {
namespace {

constexpr Rect kScreen{0, 0, 1920, 1080};

std::vector<Rect> Vec(std::span<const Rect> rects) { return {rects.begin(), rects.end()}; }

// Every pixel of `rects` inside `bounds` lies in one of `merged`, and
// `merged` stays inside `bounds`.
void ExpectCovers(std::span<const Rect> merged, std::span<const Rect> rects, const Rect& bounds) {
  std::vector<char> shown(size_t(bounds.w) * size_t(bounds.h), 0);
  for (const Rect& m : merged) {
    ASSERT_EQ(m.Intersected(bounds), m) << m.x << "," << m.y << " " << m.w << "x" << m.h;
    for (int y = m.y; y < m.bottom(); ++y)
      for (int x = m.x; x < m.right(); ++x)
        shown[size_t(y - bounds.y) * bounds.w + (x - bounds.x)] = 1;
  }
  for (const Rect& wanted : rects) {
    const Rect r = wanted.Intersected(bounds);
    for (int y = r.y; y < r.bottom(); ++y)
      for (int x = r.x; x < r.right(); ++x)
        ASSERT_TRUE(shown[size_t(y - bounds.y) * bounds.w + (x - bounds.x)]) << x << "," << y;
  }
}

// A frame's damage: sprites' squares scattered over the screen, some
// reaching past its edges, each with the square it moved from.
std::vector<Rect> ScatteredDamage(uint32_t seed, int count) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> x(-40, kScreen.w), y(-40, kScreen.h), side(8, 128),
      step(-6, 6);
  std::vector<Rect> rects;
  for (int i = 0; i < count; ++i) {
    const int s = side(random);
    const Rect now{x(random), y(random), s, s};
    rects.push_back(now);
    rects.push_back(Rect{now.x + step(random), now.y + step(random), s, s});
  }
  return rects;
}

int64_t AreaInside(std::span<const Rect> rects, const Rect& bounds) {
  int64_t sum = 0;
  for (const Rect& r : rects) {
    const Rect c = r.Intersected(bounds);
    sum += int64_t(c.w) * c.h;
  }
  return sum;
}

// Each merge may add at most the allowance to the pixels presented, and it
// saves one rectangle: so many rectangles fewer, so many allowances more at
// most.
TEST(RectMerge, CoversEveryDamagedPixelAndAddsNoMoreThanAllowed) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    for (int sprites : {5, 175, 400}) {
      const std::vector<Rect> damage = ScatteredDamage(seed, sprites);
      const int64_t damaged = AreaInside(damage, kScreen);
      for (int64_t allowance : {int64_t(0), int64_t(256), int64_t(4096), int64_t(1) << 22}) {
        SCOPED_TRACE(testing::Message()
                     << "seed " << seed << ", " << sprites << " sprites, allowance " << allowance);
        RectMerger merger(allowance);
        const auto merged = merger.Merge(damage, kScreen);
        ExpectCovers(merged, damage, kScreen);
        EXPECT_LE(AreaInside(merged, kScreen),
                  damaged + allowance * int64_t(damage.size() - merged.size()));
        for (size_t i = 1; i < merged.size(); ++i)
          EXPECT_LE(merged[i - 1].y, merged[i].y) << "ordered by rows";
        if (allowance == int64_t(1) << 22) {
          EXPECT_EQ(merged.size(), 1u);
        }
      }
    }
  }
}

TEST(RectMerge, OddInputs) {
  RectMerger merger(4096);
  EXPECT_TRUE(merger.Merge({}, kScreen).empty());

  const std::vector<Rect> nothing_inside{{-50, 10, 50, 20}, {1920, 0, 10, 10}, {5, 5, 0, 9}};
  EXPECT_TRUE(merger.Merge(nothing_inside, kScreen).empty());

  const std::vector<Rect> one{{100, 200, 30, 40}};
  EXPECT_EQ(Vec(merger.Merge(one, kScreen)), one);

  const std::vector<Rect> nested{{150, 150, 20, 20}, {100, 100, 200, 200}, {120, 250, 100, 50}};
  EXPECT_EQ(Vec(merger.Merge(nested, kScreen)), (std::vector<Rect>{{100, 100, 200, 200}}));

  const std::vector<Rect> beyond_every_edge{{5, 5, 10, 10}, {-10, -10, 1940, 1100}};
  EXPECT_EQ(Vec(merger.Merge(beyond_every_edge, kScreen)), (std::vector<Rect>{kScreen}));

  const std::vector<Rect> corners{{1910, 1070, 20, 20}, {-5, -5, 20, 20}};
  EXPECT_EQ(Vec(merger.Merge(corners, kScreen)),
            (std::vector<Rect>{{0, 0, 15, 15}, {1910, 1070, 10, 10}}))
      << "far apart: not one rectangle the size of the screen";

  RectMerger unmerged = RectMerger::Unmerged();
  const std::vector<Rect> overlapping{{10, 10, 40, 40}, {0, 0, 40, 40}};
  EXPECT_EQ(Vec(unmerged.Merge(overlapping, kScreen)),
            (std::vector<Rect>{{0, 0, 40, 40}, {10, 10, 40, 40}}));
}

TEST(RectMerge, JoinsNeighboursOnlyWhileTheAddedPixelsAreAllowed) {
  RectMerger merger(1000);
  // Side by side with a gap of 25 columns: exactly the 1000 pixels allowed;
  // one column more is too many.
  const std::vector<Rect> near{{0, 0, 40, 40}, {65, 0, 40, 40}};
  EXPECT_EQ(Vec(merger.Merge(near, kScreen)), (std::vector<Rect>{{0, 0, 105, 40}}));
  const std::vector<Rect> nearly{{0, 0, 40, 40}, {66, 0, 40, 40}};
  EXPECT_EQ(merger.Merge(nearly, kScreen).size(), 2u);
  // Diagonal neighbours: 3200 pixels more.
  const std::vector<Rect> diagonal{{0, 0, 40, 40}, {40, 40, 40, 40}};
  EXPECT_EQ(merger.Merge(diagonal, kScreen).size(), 2u);
  // One below the other, far apart: the sweep has left the first behind.
  const std::vector<Rect> column{{0, 0, 4, 4}, {0, 600, 4, 4}};
  EXPECT_EQ(merger.Merge(column, kScreen).size(), 2u);
  // The square filled: each grown rectangle takes in its neighbours.
  const std::vector<Rect> filled{
      {0, 0, 40, 40}, {40, 40, 40, 40}, {0, 40, 40, 40}, {40, 0, 40, 40}};
  EXPECT_EQ(Vec(merger.Merge(filled, kScreen)), (std::vector<Rect>{{0, 0, 80, 80}}));
}

TEST(RectList, KeepsEachRectangleOnceUpToItsCapacity) {
  RectList list(3);
  EXPECT_TRUE(list.Add({1, 2, 3, 4}));
  EXPECT_TRUE(list.Add({1, 2, 3, 4}));
  EXPECT_TRUE(list.Add({0, 0, 0, 9}));  // empty: not kept
  EXPECT_TRUE(list.Add({1, 2, 4, 3}));
  EXPECT_TRUE(list.Add({-5, 2, 3, 4}));
  EXPECT_FALSE(list.Add({7, 7, 7, 7}));
  EXPECT_TRUE(list.Add({1, 2, 4, 3}));  // already in: fine when full
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.rects()[0], (Rect{1, 2, 3, 4}));
  EXPECT_EQ(list.rects()[2], (Rect{-5, 2, 3, 4}));
  RectList other(3);
  other.swap(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(other.size(), 3u);
  // Many clears later nothing stale is taken for a member.
  for (int i = 0; i < 70000; ++i) {
    other.Clear();
    ASSERT_TRUE(other.Add({i, 0, 1, 1}));
    ASSERT_TRUE(other.Add({i, 0, 1, 1}));
    ASSERT_EQ(other.size(), 1u);
  }
}

}  // namespace
}  // namespace sarvel::gfx
