// Wayland: the buffers' bookkeeping of what each has not seen.
#include "frontends/wayland/buffer_chain.h"

#include <algorithm>

namespace sarvel::wayland {
namespace {

// A buffer that misses frames for long (the compositor holds it, or frames
// are skipped) would collect rectangles without end: past this many they
// become their bounding box.
constexpr size_t kMaxRects = 256;

gfx::Rect Bounding(std::span<const gfx::Rect> rects) {
  int l = rects[0].x, t = rects[0].y, r = rects[0].right(), b = rects[0].bottom();
  for (const gfx::Rect& x : rects) {
    l = std::min(l, x.x);
    t = std::min(t, x.y);
    r = std::max(r, x.right());
    b = std::max(b, x.bottom());
  }
  return {l, t, r - l, b - t};
}

}  // namespace

void BufferChain::Reset(const gfx::Rect& bounds) {
  bounds_ = bounds;
  for (Slot& s : slots_) s = Slot{{bounds}, false};
  surface_damage_.assign(1, bounds);
}

void BufferChain::Add(std::vector<gfx::Rect>& list, const gfx::Rect& r, const gfx::Rect& bounds) {
  const gfx::Rect inside = r.Intersected(bounds);
  if (inside.empty()) return;
  list.push_back(inside);
  if (list.size() > kMaxRects) list.assign(1, Bounding(list));
}

void BufferChain::Damage(std::span<const gfx::Rect> rects) {
  for (const gfx::Rect& r : rects) {
    for (Slot& s : slots_) Add(s.missing, r, bounds_);
    Add(surface_damage_, r, bounds_);
  }
}

long long BufferChain::Area(const std::vector<gfx::Rect>& list) {
  long long sum = 0;
  for (const gfx::Rect& r : list) sum += (long long)r.w * r.h;
  return sum;
}

int BufferChain::Acquire() const {
  int best = -1;
  for (int i = 0; i < kBuffers; ++i) {
    if (slots_[size_t(i)].held) continue;
    if (best < 0 || Area(slots_[size_t(i)].missing) < Area(slots_[size_t(best)].missing)) best = i;
  }
  return best;
}

bool BufferChain::MissesAll(int i) const {
  const auto& m = slots_[size_t(i)].missing;
  return m.size() == 1 && m[0] == bounds_;
}

void BufferChain::Committed(int i) {
  slots_[size_t(i)].missing.clear();
  slots_[size_t(i)].held = true;
  surface_damage_.clear();
}

}  // namespace sarvel::wayland
