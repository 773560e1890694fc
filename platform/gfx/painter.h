// Painter: every drawing operation of the scene, clipped in one place.
//
// Positions may be negative or beyond the edges; whatever falls outside the
// target is simply not drawn.
#pragma once

#include "platform/gfx/color.h"
#include "platform/gfx/image.h"
#include "platform/gfx/surface.h"

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

// Fills a rectangle with an opaque colour.
void FillRect(Surface& dst, Rect r, Argb color);

}  // namespace sarvel::gfx
