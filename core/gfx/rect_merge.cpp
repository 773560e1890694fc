// Greedy merging in a sweep from the top: each rectangle joins the nearby
// one it is cheapest to join, and the grown rectangle may then take in its
// neighbours in turn.
#include "core/gfx/rect_merge.h"

#include <algorithm>

namespace sarvel::gfx {
namespace {

int64_t Area(const Rect& r) { return int64_t(r.w) * int64_t(r.h); }

Rect Bounding(const Rect& a, const Rect& b) {
  const int l = std::min(a.x, b.x), t = std::min(a.y, b.y);
  return Rect{l, t, std::max(a.right(), b.right()) - l, std::max(a.bottom(), b.bottom()) - t};
}

// The pixels a merge adds; negative when the two overlap.
int64_t MergeCost(const Rect& a, const Rect& b) { return Area(Bounding(a, b)) - Area(a) - Area(b); }

}  // namespace

bool RectMerger::ByRows(const Rect& a, const Rect& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; }

void RectMerger::Absorb(Rect r) {
  for (;;) {
    size_t best = active_.size();
    int64_t best_cost = allowance_;
    for (size_t i = 0; i < active_.size(); ++i) {
      const int64_t cost = MergeCost(active_[i], r);
      if (cost <= best_cost) {
        best = i;
        best_cost = cost;
      }
    }
    if (best == active_.size()) {
      active_.push_back(r);
      return;
    }
    r = Bounding(active_[best], r);
    active_[best] = active_.back();
    active_.pop_back();
  }
}

// Joining a rectangle with one that starts `gap` rows below it adds at least
// its width times the gap: once that is more than allowed, nothing that
// comes later in the sweep can join it cheaply.
void RectMerger::Retire(int sweep_y) {
  for (size_t i = 0; i < active_.size();) {
    const Rect& m = active_[i];
    if (m.bottom() < sweep_y && int64_t(m.w) * (sweep_y - m.bottom()) > allowance_) {
      done_.push_back(m);
      active_[i] = active_.back();
      active_.pop_back();
    } else {
      ++i;
    }
  }
}

std::span<const Rect> RectMerger::Merge(std::span<const Rect> rects, const Rect& bounds) {
  sorted_.clear();
  for (const Rect& wanted : rects) {
    const Rect r = wanted.Intersected(bounds);
    if (!r.empty()) sorted_.push_back(r);
  }
  // A sweep from the top; the composer's damage comes in this order already.
  std::sort(sorted_.begin(), sorted_.end(), ByRows);
  done_.clear();
  active_.clear();
  for (const Rect& r : sorted_) {
    Retire(r.y);
    Absorb(r);
  }
  done_.insert(done_.end(), active_.begin(), active_.end());
  std::sort(done_.begin(), done_.end(), ByRows);
  return done_;
}

}  // namespace sarvel::gfx
