// Wayland: which of a surface's shared-memory buffers the next frame goes
// into, and what each must be given first. The compositor reads a buffer
// until it releases it, so a buffer it holds is never drawn into. A buffer
// that was on screen a frame ago has missed that frame's changes as well:
// each buffer keeps the rectangles it has not seen yet, and the surface keeps
// those changed since its last commit (what the compositor is told). A frame
// that cannot be shown leaves its rectangles to the next one.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "core/gfx/color.h"

namespace sarvel::wayland {

class BufferChain {
 public:
  static constexpr int kBuffers = 2;

  // New buffers of the image's size: each has yet to get the whole image.
  void Reset(const gfx::Rect& bounds);
  // Parts of the image that changed since the last call.
  void Damage(std::span<const gfx::Rect> rects);
  // Something changed that the compositor has not been given.
  bool HasDamage() const { return !surface_damage_.empty(); }

  // A buffer the compositor does not hold, the one missing the least; -1
  // when it holds them all.
  int Acquire() const;
  // What buffer `i` has not seen: to be copied into it before it is shown.
  std::span<const gfx::Rect> Missing(int i) const { return slots_[size_t(i)].missing; }
  // What changed since the last commit: the damage to report with it.
  std::span<const gfx::Rect> SurfaceDamage() const { return surface_damage_; }
  bool MissesAll(int i) const;

  // Buffer `i` got what it missed but was not shown.
  void Copied(int i) { slots_[size_t(i)].missing.clear(); }
  // Buffer `i` got what it missed and was committed: the compositor holds
  // it until it releases it.
  void Committed(int i);
  void Released(int i) { slots_[size_t(i)].held = false; }
  bool held(int i) const { return slots_[size_t(i)].held; }

 private:
  struct Slot {
    std::vector<gfx::Rect> missing;
    bool held = false;
  };
  static void Add(std::vector<gfx::Rect>& list, const gfx::Rect& r, const gfx::Rect& bounds);
  static long long Area(const std::vector<gfx::Rect>& list);

  gfx::Rect bounds_;
  std::array<Slot, kBuffers> slots_;
  std::vector<gfx::Rect> surface_damage_;
};

}  // namespace sarvel::wayland
