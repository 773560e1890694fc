// How the scene's frames are put together and shown, at a cost that follows
// what moves rather than the size of the screen.
//
// Between frames frame_buffer differs from background only inside the damage: what
// the last frame drew into frame_buffer, and what has been drawn into background
// since frame_buffer was last restored. A tracked frame therefore restores just
// those parts from background, draws its sprites and its text, copies the parts
// restored or drawn to the window image and presents them. The sprite draws
// of a frame are queued while the rules run and composed afterwards one
// horizontal band at a time, in their order within each band: every pixel
// sees the same draws in the same order as before, while the rows a band
// touches stay in the caches. Only the columns a sprite covers in each row
// are restored where it was and drawn where it is, not its whole square. A
// draw that meets no earlier one in its band blends onto background directly and
// writes all the columns it covers, which then need no restoring: one pass
// over those pixels instead of two. Draws into background wait as well, until
// frame_buffer has been restored from it: what settles shows from the next frame on. Sprites drawn
// exactly as in the last frame, in the same order, where nothing else was or is drawn, are already
// right in frame_buffer and in the window: they are neither restored nor drawn nor shown again
// (mushrooms mostly stand still). A whole frame (after a layout, when damage was not recorded, or
// with tracking off) copies everything as the simple design does.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "app/scene/sprite_cache.h"
#include "core/gfx/painter.h"
#include "core/gfx/rect_list.h"
#include "core/gfx/sprite.h"
#include "core/gfx/surface.h"
#include "core/ports/scene_host.h"

namespace sarvel {

class FrameComposer {
 public:
  // `max_draws`: the most rectangles one frame draws.
  explicit FrameComposer(size_t max_draws);

  // The next frame is whole: everything changed (a layout, say).
  void Invalidate() { whole_next_ = true; }
  // Room for rectangles up to `rows` tall (the tallest sprite or text at the
  // device scale), so that frames allocate nothing. Outside frames.
  void ReserveForHeight(int rows);

  // Starts a frame that is shown: restores frame_buffer from background, all of it
  // at once or (when `track` and nothing forbids it) only where damaged,
  // with the queued draws. The three surfaces serve the whole frame.
  void Begin(gfx::Surface& background, gfx::Surface& frame_buffer, gfx::Surface& window,
             bool track);
  // Starts a frame nobody sees: frame_buffer is left as it is, so the next frame
  // shown is whole.
  void BeginUnseen();

  // True while draws are queued rather than made.
  bool queuing() const { return queuing_; }
  // Queues a sprite draw into frame_buffer, or into background (only while queuing):
  // icon `id` at w x h device pixels with its top-left corner at (px, py).
  // Raises what the cache raises for an icon that cannot be loaded.
  void Queue(SpriteCache& sprites, bool into_background, int id, int64_t px, int64_t py, int w,
             int h);
  // Restores, draws the queued sprites and brings the window image up to
  // date where that changed frame_buffer; then makes the draws into background.
  // Text comes after it.
  void Compose();

  // A draw made at once: into background, or into frame_buffer outside a frame.
  void Drawn(const gfx::Rect& r);
  // Text just drawn into frame_buffer: copied to the window image.
  void Printed(const gfx::Rect& r);

  // Shows the frame: the whole window or the parts that changed.
  void Present(SceneHost& host);
  // Ends the frame; one cut short (a failure) makes the next one whole.
  void End();

  // What the frame wrote, in pixels: restored from background, drawn (sprites and
  // text) and copied to the window image. A measure of its memory traffic.
  struct PixelTally {
    uint64_t restored = 0, drawn = 0, copied = 0;
    uint64_t total() const { return restored + drawn + copied; }
  };
  const PixelTally& pixels() const { return pixels_; }

 private:
  // The one sprite draw that put a damaged rectangle into frame_buffer, if the
  // rectangle has exactly one such source.
  struct Owner {
    const gfx::Sprite* sprite = nullptr;
    int64_t px = 0, py = 0;
    size_t order = 0;  // its place among the frame's draws
  };
  struct Draw {
    const gfx::Sprite* sprite = nullptr;
    gfx::ImageRef icon;  // when the cache keeps no sprite for it
    int w = 0, h = 0;
    int64_t px = 0, py = 0;
    gfx::Rect area;
  };
  // Rectangles by the bands they meet, in their order within each band.
  struct Bands {
    std::vector<uint32_t> first;  // per band, into items; one more at the end
    std::vector<uint32_t> items;
    std::vector<uint32_t> fill;
    template <class AreaOf>
    void Sort(size_t n, int bands, AreaOf&& area_of);
  };

  void AddDamage(const gfx::Rect& r, const Owner& owner);
  void ComposeBands(int bands);
  void FindUnchanged();
  void MarkDrawsOntoBackground(uint32_t from, uint32_t to, const gfx::Rect& band);
  void RestoreOutsideDrawsOnto(const gfx::Rect& r, const Owner& was, uint32_t from, uint32_t to,
                               const gfx::Rect& band);
  template <class Allowed>
  bool Blocked(const Bands& bands, std::span<const gfx::Rect> rects, const gfx::Rect& area,
               size_t except, Allowed&& allowed) const;

  gfx::RectList damage_;
  gfx::RectList restored_;            // this frame's: the last frame's damage
  std::vector<Owner> damage_owners_;  // by index into damage_
  std::vector<Owner> restored_owners_;
  // This frame's draws, restorings and copies left out as unchanged, and
  // for each draw the restored rectangle it repeats.
  std::vector<uint8_t> same_draw_, same_restore_, same_copy_;
  std::vector<int> repeats_;
  std::vector<uint8_t> onto_bg_;  // per draw of the band being composed
  gfx::RectList present_;
  std::vector<Draw> draws_;       // into frame_buffer
  std::vector<Draw> bg_draws_;    // into background
  std::vector<gfx::Rect> shown_;  // present_ by rows, for the host
  Bands restore_bands_, draw_bands_, copy_bands_;
  bool whole_next_ = true;
  bool whole_now_ = true;
  bool damage_lost_ = false;  // more drawing than the lists hold: the next frame is whole
  bool queuing_ = false;
  bool shown_frame_ = false;  // Begin ran and Present is due
  PixelTally pixels_;
  gfx::Surface* bg_ = nullptr;
  gfx::Surface* buffer_ = nullptr;
  gfx::Surface* window_ = nullptr;
  size_t max_draws_ = 0;
};

}  // namespace sarvel
