// A small anti-aliased rasteriser: coverage masks filled from polygons and
// strokes, and a floating-point RGBA canvas that composites colour through
// masks. Sprites are drawn on a supersampled canvas and box-filtered down.
#pragma once

#include <cstdint>
#include <vector>

#include "geom.h"

namespace artgen {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB to colour.
inline Rgba hex(uint32_t v, float a = 1.0f) {
  return {static_cast<float>((v >> 16) & 255) / 255.0f, static_cast<float>((v >> 8) & 255) / 255.0f,
          static_cast<float>(v & 255) / 255.0f, a};
}
inline Rgba rgb8(int r, int g, int b) {
  return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
          static_cast<float>(b) / 255.0f, 1.0f};
}
inline Rgba mix(Rgba x, Rgba y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}
inline Rgba scaled(Rgba c, float s) { return {c.r * s, c.g * s, c.b * s, c.a}; }
inline Rgba withAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }
inline float luminance(Rgba c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }
// Scales saturation around the luminance.
inline Rgba saturate(Rgba c, float s) {
  float l = luminance(c);
  return {l + (c.r - l) * s, l + (c.g - l) * s, l + (c.b - l) * s, c.a};
}

// 8-bit RGBA image, straight alpha, rows top to bottom.
struct Image {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> px;

  Image() = default;
  Image(int width, int height)
      : w(width), h(height), px(static_cast<size_t>(width) * height * 4, 0) {}
  uint8_t* at(int x, int y) { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
  const uint8_t* at(int x, int y) const { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
};

// Per-pixel coverage in [0, 1].
struct Mask {
  int w = 0;
  int h = 0;
  std::vector<float> v;

  Mask() = default;
  Mask(int width, int height) : w(width), h(height), v(static_cast<size_t>(width) * height, 0.0f) {}
  float at(int x, int y) const { return v[static_cast<size_t>(y) * w + x]; }
  float& at(int x, int y) { return v[static_cast<size_t>(y) * w + x]; }
  // Bilinear lookup with zero outside.
  float sample(float x, float y) const;
  float sum() const;
};

// Union of the shape (non-zero winding) into the mask. Coverage is exact
// horizontally and uses four sub-rows vertically.
void fillShape(Mask& m, const Shape& s, const Affine& xf = Affine{}, float opacity = 1.0f);
void fillContour(Mask& m, const Contour& c, const Affine& xf = Affine{}, float opacity = 1.0f);
// A round-capped segment whose radius varies linearly from r0 to r1 (pixels).
void strokeSegment(Mask& m, Vec2 p0, Vec2 p1, float r0, float r1, float opacity = 1.0f);
// A polyline with per-point widths given in the polyline's own units.
void strokePolyline(Mask& m, const std::vector<Vec2>& pts, const std::vector<float>& widths,
                    const Affine& xf = Affine{}, float opacity = 1.0f);
void strokePolyline(Mask& m, const std::vector<Vec2>& pts, float width, const Affine& xf = Affine{},
                    float opacity = 1.0f);

// Gaussian-like blur (three box passes) with the given radius in pixels.
Mask blurred(const Mask& m, int radius);
// a * b, a * (1 - b), max(a, b).
Mask intersect(const Mask& a, const Mask& b);
Mask subtract(const Mask& a, const Mask& b);
void unite(Mask& a, const Mask& b);

// Premultiplied floating-point RGBA.
class Canvas {
 public:
  Canvas(int width, int height);
  int width() const { return w_; }
  int height() const { return h_; }

  // Composites colour(x, y) (straight alpha, pixel-centre coordinates) over
  // the canvas wherever the mask covers.
  template <typename ColorFn>
  void paint(const Mask& m, ColorFn&& color, float opacity = 1.0f) {
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) {
        float cov = m.at(x, y) * opacity;
        if (cov <= 0.0f) continue;
        Rgba c = color(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        blend(x, y, c, cov);
      }
    }
  }
  void paintSolid(const Mask& m, Rgba c, float opacity = 1.0f);
  void fillAll(Rgba c);
  // Straight-alpha colour of a pixel.
  Rgba get(int x, int y) const;
  void blend(int x, int y, Rgba c, float coverage);
  // Box filter by an integer factor to 8-bit straight alpha.
  Image downsample(int factor) const;

 private:
  int w_;
  int h_;
  std::vector<Rgba> px_;
};

// Nearest-neighbour enlargement.
Image scaleNearest(const Image& src, int factor);
// Box-filter reduction by an integer factor (premultiplied average).
Image shrink(const Image& src, int factor);
// Alpha-composites src over dst at (x, y).
void blit(Image& dst, const Image& src, int x, int y);
void fillRect(Image& dst, int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b);

inline float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}
inline float lerpf(float a, float b, float t) { return a + (b - a) * t; }
uint8_t toByte(float v);

}  // namespace artgen
