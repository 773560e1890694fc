// Sprites: pictures scaled once to a size they are drawn at and kept as
// premultiplied pixels, so that drawing one is a blend of rows. A sprite
// draws the same pixels as DrawIcon with its picture at that size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/gfx/color.h"
#include "core/gfx/image.h"
#include "core/gfx/painter.h"
#include "core/gfx/surface.h"

namespace sarvel::gfx {

// A scaled picture; its memory belongs to whoever made it.
struct Sprite {
  const Argb* pixels = nullptr;     // width * height, premultiplied, transparent = 0
  const uint32_t* spans = nullptr;  // per row: first visible column | end column << 16
  int width = 0;
  int height = 0;
  Rect ink;  // the visible part, relative to the top-left corner; empty when none
};

// 32-bit words of storage a w x h sprite takes.
constexpr size_t SpriteWords(int w, int h) {
  return w <= 0 || h <= 0 ? 0 : size_t(w) * size_t(h) + size_t(h);
}

// Scales `picture` to w x h into `storage` (SpriteWords(w, h) words).
Sprite MakeSprite(const Image& picture, int w, int h, uint32_t* storage, ScaleScratch& scratch);

// Draws `sprite` with its top-left corner at (x, y), rounded as DrawIcon
// rounds, onto an opaque surface. Returns the part of `dst` it may have
// changed: its visible part, clipped.
Rect DrawSprite(Surface& dst, const Sprite& sprite, float x, float y);

// The same in two halves, for drawing later or in parts: where the sprite
// lands (false for a position that is not a number) and what it covers of a
// surface with these bounds...
bool SpriteOrigin(float x, float y, int64_t& px, int64_t& py);
Rect SpriteArea(const Sprite& sprite, int64_t px, int64_t py, const Rect& bounds);
// Columns [first, end) of a surface row.
struct ColumnSpan {
  int first = 0;
  int end = 0;
  bool empty() const { return end <= first; }
  int size() const { return empty() ? 0 : end - first; }
};

// The columns of row `y` that `sprite` at (px, py) may change inside `clip`
// (which must lie within the surface): from its first to its last pixel
// that is not transparent. Empty where the row has none or lies outside.
inline ColumnSpan SpriteRowSpan(const Sprite& sprite, int64_t px, int64_t py, int y,
                                const Rect& clip) {
  const int64_t sy = int64_t(y) - py;
  if (y < clip.y || y >= clip.bottom() || sy < 0 || sy >= sprite.height) return {};
  const uint32_t span = sprite.spans[sy];
  const int64_t first = std::max<int64_t>(px + int64_t(span & 0xFFFF), clip.x);
  const int64_t end = std::min<int64_t>(px + int64_t(span >> 16), clip.right());
  if (end <= first) return {};
  return {int(first), int(end)};
}

// ...and drawing it there, only inside `clip`. Returns the pixels it blended.
size_t DrawSpriteAt(Surface& dst, const Sprite& sprite, int64_t px, int64_t py, const Rect& clip);
// Draws `sprite` there as it would look over `base` (a surface of dst's
// size): in each row, the columns SpriteRowSpan gives for `clip` are
// written, with `base` where the sprite is transparent; nothing else. The
// same as copying those columns of `base` and drawing the sprite over them,
// in one pass. Returns the pixels it wrote.
size_t DrawSpriteOnto(Surface& dst, const Surface& base, const Sprite& sprite, int64_t px,
                      int64_t py, const Rect& clip);

}  // namespace sarvel::gfx
