// Merges a frame's damaged rectangles into fewer, larger ones before they go
// to the window system. The rectangles of a moving sprite's old and new
// place overlap, and neighbours lie close: each rectangle costs the window
// system some work of its own, which outweighs a few extra pixels. The extra
// pixels come from the same window image, so what is shown stays the same.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "core/gfx/color.h"

namespace sarvel::gfx {

class RectMerger {
 public:
  // Two rectangles become their bounding box when that adds at most
  // `allowance` pixels to those the two cover (overlaps count as saved).
  // The default is what pays for a frame's damage both on X11 and under GDI:
  // little more than a moving sprite's overlapping old and new place. Both
  // copy pixels at a cost that soon outweighs a call saved
  // (the presentation benchmarks in bench/frontends/ measure it).
  static constexpr int64_t kDefaultAllowance = 256;
  explicit RectMerger(int64_t allowance = kDefaultAllowance) : allowance_(allowance) {}
  // One that merges nothing: each rectangle stays one (for comparison).
  static RectMerger Unmerged() { return RectMerger(std::numeric_limits<int64_t>::min()); }

  // Rectangles inside `bounds` that together cover every pixel of `rects`
  // there, ordered by their top, then left edge, as the window system
  // copies rows. Valid until the next call.
  std::span<const Rect> Merge(std::span<const Rect> rects, const Rect& bounds);

 private:
  static bool ByRows(const Rect& a, const Rect& b);
  void Absorb(Rect r);
  void Retire(int sweep_y);

  int64_t allowance_;
  std::vector<Rect> sorted_;
  std::vector<Rect> active_;  // may still grow
  std::vector<Rect> done_;    // too far above the sweep to grow; the result at the end
};

}  // namespace sarvel::gfx
