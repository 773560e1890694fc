#include "core/gfx/sprite.h"

#include <algorithm>

#include "core/gfx/pixel_ops.h"
#include "core/gfx/row_ops.h"

namespace sarvel::gfx {

Sprite MakeSprite(const Image& picture, int w, int h, uint32_t* storage, ScaleScratch& scratch) {
  Sprite s;
  if (w <= 0 || h <= 0) return s;
  Argb* pixels = storage;
  uint32_t* spans = storage + size_t(w) * size_t(h);
  ScaleInto(picture, w, h, pixels, scratch);
  int left = w, right = 0, top = h, bottom = 0;
  for (int y = 0; y < h; ++y) {
    const Argb* row = pixels + size_t(y) * size_t(w);
    int first = 0, end = w;
    while (first < w && row[first] == 0) ++first;
    while (end > first && row[end - 1] == 0) --end;
    if (first == end) first = end = 0;
    spans[y] = uint32_t(first) | uint32_t(end) << 16;
    if (first == end) continue;
    left = std::min(left, first);
    right = std::max(right, end);
    top = std::min(top, y);
    bottom = y + 1;
  }
  s.pixels = pixels;
  s.spans = spans;
  s.width = w;
  s.height = h;
  if (right > left) s.ink = Rect{left, top, right - left, bottom - top};
  return s;
}

bool SpriteOrigin(float x, float y, int64_t& px, int64_t& py) {
  return RoundHalfEven(x, px) && RoundHalfEven(y, py);
}

Rect SpriteArea(const Sprite& sprite, int64_t px, int64_t py, const Rect& bounds) {
  if (sprite.ink.empty()) return {};
  return ClipRect(px + sprite.ink.x, py + sprite.ink.y, sprite.ink.w, sprite.ink.h, bounds);
}

namespace {

// Walks the rows of `sprite`'s visible part at (px, py) inside `clip` and
// `dst`: row(area, y, sy, lo, hi) with the row's visible columns lo..hi in
// sprite coordinates, cut to the area (hi == lo when none is left).
template <class Row>
void ForEachVisibleRow(const Surface& dst, const Sprite& sprite, int64_t px, int64_t py,
                       const Rect& clip, Row&& row) {
  const Rect area = SpriteArea(sprite, px, py, clip.Intersected(dst.bounds()));
  if (area.empty()) return;
  const int clip_lo = int(area.x - px);
  const int clip_hi = int(area.right() - px);
  for (int y = 0; y < area.h; ++y) {
    const int sy = int(area.y + y - py);
    const uint32_t span = sprite.spans[sy];
    const int lo = std::clamp(int(span & 0xFFFF), clip_lo, clip_hi);
    const int hi = std::clamp(int(span >> 16), lo, clip_hi);
    row(area, area.y + y, sy, lo - clip_lo, hi - clip_lo);
  }
}

const Argb* SpriteRow(const Sprite& sprite, int sy, int column) {
  return sprite.pixels + size_t(sy) * size_t(sprite.width) + size_t(column);
}

}  // namespace

size_t DrawSpriteAt(Surface& dst, const Sprite& sprite, int64_t px, int64_t py, const Rect& clip) {
  size_t blended = 0;
  ForEachVisibleRow(dst, sprite, px, py, clip, [&](const Rect& area, int y, int sy, int a, int b) {
    // a and b: the visible run, as offsets from the area's left edge.
    if (b <= a) return;
    BlendRow(dst.row(y) + area.x + a, SpriteRow(sprite, sy, int(area.x - px) + a), b - a);
    blended += size_t(b - a);
  });
  return blended;
}

size_t DrawSpriteOnto(Surface& dst, const Surface& base, const Sprite& sprite, int64_t px,
                      int64_t py, const Rect& clip) {
  if (base.width() != dst.width() || base.height() != dst.height()) return 0;
  size_t written = 0;
  ForEachVisibleRow(dst, sprite, px, py, clip, [&](const Rect& area, int y, int sy, int a, int b) {
    if (b <= a) return;
    BlendRowOnto(dst.row(y) + area.x + a, base.row(y) + area.x + a,
                 SpriteRow(sprite, sy, int(area.x - px) + a), b - a);
    written += size_t(b - a);
  });
  return written;
}

Rect DrawSprite(Surface& dst, const Sprite& sprite, float x, float y) {
  int64_t px = 0, py = 0;
  if (!SpriteOrigin(x, y, px, py)) return {};
  DrawSpriteAt(dst, sprite, px, py, dst.bounds());
  return SpriteArea(sprite, px, py, dst.bounds());
}

}  // namespace sarvel::gfx
