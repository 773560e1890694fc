// A list of rectangles that keeps each one once, with a fixed capacity, so
// that collecting a frame's damage never allocates. Repeats are common: a
// settling leaf is drawn twice at one place, a mushroom stays where it was.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "core/gfx/color.h"

namespace sarvel::gfx {

class RectList {
 public:
  // At most 65535.
  explicit RectList(size_t capacity) : slots_(TableSize(capacity), 0) {
    rects_.reserve(std::min<size_t>(capacity, kIndexMask));
  }

  // False when the list is full and `r` was not in it. Empty rectangles are
  // not kept.
  bool Add(const Rect& r) { return Insert(r, nullptr) != kFull; }

  static constexpr int kEmpty = -1;  // an empty rectangle: not kept
  static constexpr int kFull = -2;
  // Adds `r` unless it is in already; its index, kEmpty or kFull. `fresh`
  // tells whether it was added now (new ones go at the end).
  int Insert(const Rect& r, bool* fresh) {
    if (fresh) *fresh = false;
    if (r.empty()) return kEmpty;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(r) & mask;; i = (i + 1) & mask) {
      const uint32_t slot = slots_[i];
      if ((slot >> kIndexBits) != generation_) {  // free in this generation
        if (rects_.size() == rects_.capacity()) return kFull;
        slots_[i] = generation_ << kIndexBits | uint32_t(rects_.size());
        rects_.push_back(r);
        if (fresh) *fresh = true;
        return int(rects_.size() - 1);
      }
      if (rects_[slot & kIndexMask] == r) return int(slot & kIndexMask);
    }
  }

  // The index of `r`, or -1.
  int Find(const Rect& r) const {
    if (r.empty()) return -1;
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(r) & mask;; i = (i + 1) & mask) {
      const uint32_t slot = slots_[i];
      if ((slot >> kIndexBits) != generation_) return -1;
      if (rects_[slot & kIndexMask] == r) return int(slot & kIndexMask);
    }
  }

  void Clear() {
    rects_.clear();
    if (++generation_ ==
        (1u << (32 - kIndexBits))) {  // slots of old generations could look current
      generation_ = 1;
      std::fill(slots_.begin(), slots_.end(), 0u);
    }
  }

  std::span<const Rect> rects() const { return rects_; }
  size_t size() const { return rects_.size(); }
  bool empty() const { return rects_.empty(); }
  auto begin() const { return rects_.begin(); }
  auto end() const { return rects_.end(); }

  // Exchanges the contents, keeping each list's capacity.
  void swap(RectList& o) {
    rects_.swap(o.rects_);
    slots_.swap(o.slots_);
    std::swap(generation_, o.generation_);
  }

 private:
  static constexpr int kIndexBits = 16;
  static constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;

  // A power of two at least twice the capacity keeps the probes short.
  static size_t TableSize(size_t capacity) {
    size_t n = 16;
    while (n < 2 * capacity) n *= 2;
    return n;
  }
  static size_t Hash(const Rect& r) {
    uint64_t h = uint64_t(uint32_t(r.x)) * 0x9E3779B97F4A7C15ull;
    h ^= uint64_t(uint32_t(r.y)) * 0xC2B2AE3D27D4EB4Full;
    h ^= uint64_t(uint32_t(r.w) | uint64_t(uint32_t(r.h)) << 32) * 0x165667B19E3779F9ull;
    return size_t(h ^ (h >> 29));
  }

  std::vector<Rect> rects_;
  std::vector<uint32_t> slots_;  // generation << kIndexBits | index into rects_
  uint32_t generation_ = 1;
};

}  // namespace sarvel::gfx
