// Painter: every drawing operation of the scene, clipped in one place.
//
// Positions may be negative or beyond the edges; whatever falls outside the
// target is simply not drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "core/gfx/color.h"
#include "core/gfx/image.h"
#include "core/gfx/surface.h"

namespace sarvel::gfx {

// Block copy of src_rect of `src` to (dx, dy) of `dst`.
void Blit(Surface& dst, int dx, int dy, const Surface& src, Rect src_rect);

// Draws `picture` stretched to `dst_rect` (any aspect ratio), blending where
// the picture is not opaque.
void DrawStretched(Surface& dst, const Image& picture, Rect dst_rect);

// Draws `icon` scaled to w x h with its top-left corner at (x, y); transparent
// parts leave the surface unchanged, edges are blended. Float positions are
// rounded to the nearest pixel, halves to even.
void DrawIcon(Surface& dst, const Image& icon, float x, float y, int w, int h);
// The same, changing nothing outside `clip`.
void DrawIcon(Surface& dst, const Image& icon, float x, float y, int w, int h, const Rect& clip);

// The same with its top-left corner at a whole pixel, changing nothing
// outside `clip`.
void DrawIconAt(Surface& dst, const Image& icon, int64_t px, int64_t py, int w, int h,
                const Rect& clip);

// Fills a rectangle with an opaque colour.
void FillRect(Surface& dst, Rect r, Argb color);

// The part of `dst` that DrawIcon(dst, icon, x, y, w, h) may change.
Rect IconRect(const Surface& dst, float x, float y, int w, int h);

// Working memory of the scaler. Once it has grown to the largest scaling a
// caller makes (or was reserved for it), scaling allocates nothing.
struct ScaleScratch {
  struct Taps {
    std::vector<int32_t> first;
    std::vector<int32_t> weights;
    int32_t stride = 1;
  };
  Taps xs;
  Taps ys;
  std::vector<uint16_t> rows;
  std::vector<int32_t> row_of_slot;
  std::vector<uint32_t> sums;

  // Room for pictures of up to `src` pixels a side scaled to up to `dst`.
  void Reserve(int src, int dst);
};

// Writes `picture` scaled to w x h into out (w * h pixels, row after row):
// the premultiplied pixels DrawIcon blends for it, with every fully
// transparent pixel 0 and, for an opaque picture, every pixel opaque.
void ScaleInto(const Image& picture, int w, int h, Argb* out, ScaleScratch& scratch);

}  // namespace sarvel::gfx
