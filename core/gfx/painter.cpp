#include "core/gfx/painter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/gfx/pixel_ops.h"
#include "core/gfx/row_ops.h"

namespace sarvel::gfx {

namespace {

// Filter weights are fixed point with this many fraction bits; the weights of
// one output pixel always add up to exactly kOne.
constexpr int kWeightBits = 14;
constexpr int32_t kOne = 1 << kWeightBits;
// The horizontal pass keeps 8 bits below each 8-bit channel (0..255 << 8) so
// that the vertical pass rounds only once.
constexpr int kMidShift = kWeightBits - 8;
constexpr int kOutShift = kWeightBits + 8;

// For each output pixel along one axis: the source pixels it takes and their
// weights. Every output has `stride` taps starting at first[i] (unused ones
// weigh zero), which keeps the inner loops uniform.
using AxisTaps = ScaleScratch::Taps;

void BuildTaps(int32_t src_len, int64_t dst_len, int64_t begin, int32_t n, AxisTaps& t) {
  const int64_t src = src_len;
  if (dst_len == src) {
    t.stride = 1;
  } else if (dst_len > src) {
    t.stride = std::min(src_len, 2);
  } else {
    // An output spans src/dst source pixels and may touch one more.
    t.stride = int32_t(std::min<int64_t>(src, (src + dst_len - 1) / dst_len + 1));
  }
  const size_t stride = size_t(t.stride);
  t.first.assign(size_t(n), 0);
  t.weights.assign(size_t(n) * stride, 0);
  for (int32_t k = 0; k < n; ++k) {
    const int64_t i = begin + k;
    int32_t* w = t.weights.data() + size_t(k) * stride;
    // Taps are laid out from `first`, moved left at the right edge so that
    // all `stride` of them stay inside the source.
    auto place = [&](int64_t j0) {
      const int64_t f = std::min(j0, src - t.stride);
      t.first[size_t(k)] = int32_t(f);
      return w + (j0 - f);
    };
    if (dst_len == src) {
      *place(i) = kOne;
    } else if (dst_len > src) {
      // Source position of the output pixel's centre, in units of 1/(2*dst).
      const int64_t denom = 2 * dst_len;
      const int64_t num = (2 * i + 1) * src - dst_len;
      const int64_t x0 = num <= 0 ? 0 : num / denom;
      const int32_t frac = num <= 0 ? 0 : int32_t(((num % denom) * kOne + denom / 2) / denom);
      if (x0 >= src - 1) {
        *place(src - 1) = kOne;
      } else {
        int32_t* at = place(x0);
        at[0] = kOne - frac;
        at[1] = frac;
      }
    } else {
      // Output i covers [i*src, (i+1)*src) where source pixel j covers
      // [j*dst, (j+1)*dst). Weights come from the rounded running sum so that
      // they add up to exactly kOne.
      const int64_t start = i * src;
      const int64_t end = start + src;
      const int64_t j0 = start / dst_len;
      const int64_t j1 = (end - 1) / dst_len;
      int32_t* at = place(j0);
      int64_t covered = 0;
      int32_t given = 0;
      for (int64_t j = j0; j <= j1; ++j) {
        covered += std::min(end, (j + 1) * dst_len) - std::max(start, j * dst_len);
        const int32_t upto = int32_t((covered * kOne + src / 2) / src);
        at[j - j0] = upto - given;
        given = upto;
      }
    }
  }
}

// Working memory for drawing straight onto a surface: icons may be drawn
// hundreds of times a frame.
ScaleScratch& ThreadScratch() {
  thread_local ScaleScratch scratch;
  return scratch;
}

// Horizontal pass of one source row: 4 channels (a, r, g, b) per output pixel,
// each 0..255 << 8.
void FilterRow(const Argb* src, const AxisTaps& xs, int n, uint16_t* out) {
  const int32_t stride = xs.stride;
  const int32_t* w = xs.weights.data();
  constexpr uint32_t half = 1u << (kMidShift - 1);
  for (int x = 0; x < n; ++x, w += stride, out += 4) {
    const Argb* s = src + xs.first[size_t(x)];
    uint32_t a = half, r = half, g = half, b = half;
    for (int32_t k = 0; k < stride; ++k) {
      const Argb p = s[k];
      const uint32_t wk = uint32_t(w[k]);
      a += (p >> 24) * wk;
      r += ((p >> 16) & 0xFF) * wk;
      g += ((p >> 8) & 0xFF) * wk;
      b += (p & 0xFF) * wk;
    }
    out[0] = uint16_t(a >> kMidShift);
    out[1] = uint16_t(r >> kMidShift);
    out[2] = uint16_t(g >> kMidShift);
    out[3] = uint16_t(b >> kMidShift);
  }
}

// Computes the part (ix, iy, aw, ah) of `pic` scaled to w x h and hands each
// pixel to emit(x, y, premultiplied) with x, y relative to that part. The
// result for a pixel does not depend on which part is asked for.
template <class Emit>
void ForEachScaled(const Image& pic, int64_t w, int64_t h, int64_t ix, int64_t iy, int aw, int ah,
                   ScaleScratch& sc, Emit&& emit) {
  if (pic.width() == w && pic.height() == h) {
    for (int y = 0; y < ah; ++y) {
      const Argb* s = pic.row(int(iy) + y) + ix;
      for (int x = 0; x < aw; ++x) emit(x, y, s[x]);
    }
    return;
  }
  BuildTaps(pic.width(), w, ix, aw, sc.xs);
  BuildTaps(pic.height(), h, iy, ah, sc.ys);
  // Output row y needs source rows first..first+stride-1; consecutive rows
  // fall in distinct slots of a ring that size.
  const size_t ring = size_t(sc.ys.stride);
  const size_t row_len = size_t(aw) * 4;
  sc.rows.resize(ring * row_len);
  sc.row_of_slot.assign(ring, -1);
  sc.sums.resize(row_len);
  uint32_t* sums = sc.sums.data();

  constexpr uint32_t half = 1u << (kOutShift - 1);
  for (int y = 0; y < ah; ++y) {
    const int32_t first = sc.ys.first[size_t(y)];
    const int32_t* wy = sc.ys.weights.data() + size_t(y) * ring;
    std::fill(sums, sums + row_len, half);
    for (size_t k = 0; k < ring; ++k) {
      const uint32_t wk = uint32_t(wy[k]);
      if (wk == 0) continue;
      const int32_t sy = first + int32_t(k);
      const size_t slot = size_t(sy) % ring;
      uint16_t* buf = sc.rows.data() + slot * row_len;
      if (sc.row_of_slot[slot] != sy) {
        FilterRow(pic.row(sy), sc.xs, aw, buf);
        sc.row_of_slot[slot] = sy;
      }
      for (size_t i = 0; i < row_len; ++i) sums[i] += buf[i] * wk;
    }
    for (int x = 0; x < aw; ++x) {
      const uint32_t* c = sums + size_t(x) * 4;
      emit(x, y,
           ((c[0] >> kOutShift) << 24) | ((c[1] >> kOutShift) << 16) | ((c[2] >> kOutShift) << 8) |
               (c[3] >> kOutShift));
    }
  }
}

// Draws `pic` scaled to the w x h rectangle at (ox, oy), clipped to `dst`.
void DrawScaled(Surface& dst, const Image& pic, int64_t ox, int64_t oy, int w, int h,
                const Rect& clip) {
  if (pic.width() <= 0 || pic.height() <= 0) return;
  const Rect area = ClipRect(ox, oy, w, h, clip.Intersected(dst.bounds()));
  if (area.empty()) return;
  // Offsets of the visible part inside the full w x h result.
  const int64_t ix = area.x - ox;
  const int64_t iy = area.y - oy;
  if (pic.width() == w && pic.height() == h && pic.opaque()) {
    for (int y = 0; y < area.h; ++y) {
      CopyRow(dst.row(area.y + y) + area.x, pic.row(int(iy) + y) + ix, area.w);
    }
    return;
  }
  const bool opaque = pic.opaque();
  ForEachScaled(pic, w, h, ix, iy, area.w, area.h, ThreadScratch(), [&](int x, int y, Argb px) {
    Argb& d = dst.row(area.y + y)[area.x + x];
    d = opaque ? (px | 0xFF000000u) : BlendOver(d, px);
  });
}

}  // namespace

void Blit(Surface& dst, int dx, int dy, const Surface& src, Rect src_rect) {
  // Trim the source rectangle to the source, moving the target with it.
  const Rect s = ClipRect(src_rect.x, src_rect.y, src_rect.w, src_rect.h, src.bounds());
  if (s.empty()) return;
  const int64_t tx = int64_t(dx) + (s.x - int64_t(src_rect.x));
  const int64_t ty = int64_t(dy) + (s.y - int64_t(src_rect.y));
  const Rect d = ClipRect(tx, ty, s.w, s.h, dst.bounds());
  if (d.empty()) return;
  const int sx = int(s.x + (d.x - tx));
  const int sy = int(s.y + (d.y - ty));
  if (&dst != &src) {
    for (int y = 0; y < d.h; ++y) CopyRow(dst.row(d.y + y) + d.x, src.row(sy + y) + sx, d.w);
    return;
  }
  if (d.x == sx && d.y == sy) return;  // onto itself, in place: nothing to do
  const size_t bytes = size_t(d.w) * sizeof(Argb);
  // Copying a surface onto itself downwards must go bottom-up.
  const bool bottom_up = d.y > sy;
  for (int i = 0; i < d.h; ++i) {
    const int y = bottom_up ? d.h - 1 - i : i;
    std::memmove(dst.row(d.y + y) + d.x, src.row(sy + y) + sx, bytes);
  }
}

void DrawStretched(Surface& dst, const Image& picture, Rect dst_rect) {
  DrawScaled(dst, picture, dst_rect.x, dst_rect.y, dst_rect.w, dst_rect.h, dst.bounds());
}

void DrawIcon(Surface& dst, const Image& icon, float x, float y, int w, int h) {
  int64_t px = 0, py = 0;
  if (!RoundHalfEven(x, px) || !RoundHalfEven(y, py)) return;
  DrawScaled(dst, icon, px, py, w, h, dst.bounds());
}

void DrawIcon(Surface& dst, const Image& icon, float x, float y, int w, int h, const Rect& clip) {
  int64_t px = 0, py = 0;
  if (!RoundHalfEven(x, px) || !RoundHalfEven(y, py)) return;
  DrawScaled(dst, icon, px, py, w, h, clip);
}

void DrawIconAt(Surface& dst, const Image& icon, int64_t px, int64_t py, int w, int h,
                const Rect& clip) {
  DrawScaled(dst, icon, px, py, w, h, clip);
}

Rect IconRect(const Surface& dst, float x, float y, int w, int h) {
  int64_t px = 0, py = 0;
  if (!RoundHalfEven(x, px) || !RoundHalfEven(y, py)) return {};
  return ClipRect(px, py, w, h, dst.bounds());
}

void ScaleScratch::Reserve(int src, int dst) {
  src = std::max(src, 2);
  dst = std::max(dst, 1);
  for (Taps* t : {&xs, &ys}) {
    t->first.reserve(size_t(dst));
    t->weights.reserve(size_t(dst) * size_t(src));
  }
  rows.reserve(size_t(src) * size_t(dst) * 4);
  row_of_slot.reserve(size_t(src));
  sums.reserve(size_t(dst) * 4);
}

void ScaleInto(const Image& picture, int w, int h, Argb* out, ScaleScratch& scratch) {
  if (w <= 0 || h <= 0) return;
  if (picture.width() <= 0 || picture.height() <= 0) {
    std::fill(out, out + size_t(w) * size_t(h), Argb{0});
    return;
  }
  const bool opaque = picture.opaque();
  ForEachScaled(picture, w, h, 0, 0, w, h, scratch, [&](int x, int y, Argb px) {
    // What DrawIcon does with px: an opaque picture is copied, anything
    // else blended, where alpha 0 leaves the target alone.
    out[size_t(y) * size_t(w) + size_t(x)] = opaque ? (px | 0xFF000000u) : (px >> 24) == 0 ? 0 : px;
  });
}

void FillRect(Surface& dst, Rect r, Argb color) {
  const Rect area = ClipRect(r.x, r.y, r.w, r.h, dst.bounds());
  const Argb c = color | 0xFF000000u;
  for (int y = 0; y < area.h; ++y) {
    Argb* d = dst.row(area.y + y) + area.x;
    std::fill(d, d + area.w, c);
  }
}

}  // namespace sarvel::gfx
