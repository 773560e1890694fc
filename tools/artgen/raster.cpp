#include "raster.h"

#include <algorithm>
#include <cmath>

namespace artgen {

uint8_t toByte(float v) {
  float s = clamp01(v) * 255.0f + 0.5f;
  return static_cast<uint8_t>(s);
}

float Mask::sample(float x, float y) const {
  x -= 0.5f;
  y -= 0.5f;
  int x0 = static_cast<int>(std::floor(x));
  int y0 = static_cast<int>(std::floor(y));
  float tx = x - static_cast<float>(x0), ty = y - static_cast<float>(y0);
  auto get = [&](int xx, int yy) {
    if (xx < 0 || yy < 0 || xx >= w || yy >= h) return 0.0f;
    return at(xx, yy);
  };
  float a = get(x0, y0), b = get(x0 + 1, y0), c = get(x0, y0 + 1), d = get(x0 + 1, y0 + 1);
  return lerpf(lerpf(a, b, tx), lerpf(c, d, tx), ty);
}

float Mask::sum() const {
  double s = 0.0;
  for (float f : v) s += f;
  return static_cast<float>(s);
}

namespace {

struct Edge {
  float x0, y0, x1, y1;
  int dir;
};

struct Crossing {
  float x;
  int dir;
};

void fillEdges(Mask& m, std::vector<Edge>& edges, float opacity) {
  if (edges.empty()) return;
  float ymin = 1e30f, ymax = -1e30f;
  float xmin = 1e30f, xmax = -1e30f;
  for (const Edge& e : edges) {
    ymin = std::fmin(ymin, std::fmin(e.y0, e.y1));
    ymax = std::fmax(ymax, std::fmax(e.y0, e.y1));
    xmin = std::fmin(xmin, std::fmin(e.x0, e.x1));
    xmax = std::fmax(xmax, std::fmax(e.x0, e.x1));
  }
  int row0 = std::max(0, static_cast<int>(std::floor(ymin)));
  int row1 = std::min(m.h - 1, static_cast<int>(std::floor(ymax)));
  int col0 = std::max(0, static_cast<int>(std::floor(xmin)));
  int col1 = std::min(m.w - 1, static_cast<int>(std::floor(xmax)));
  if (row0 > row1 || col0 > col1) return;

  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
    return std::fmin(a.y0, a.y1) < std::fmin(b.y0, b.y1);
  });
  std::vector<float> acc(static_cast<size_t>(m.w) + 1, 0.0f);
  std::vector<Crossing> xs;
  constexpr int kSub = 4;
  for (int row = row0; row <= row1; ++row) {
    std::fill(acc.begin() + col0, acc.begin() + col1 + 2, 0.0f);
    bool any = false;
    for (int s = 0; s < kSub; ++s) {
      float sy = static_cast<float>(row) + (static_cast<float>(s) + 0.5f) / kSub;
      xs.clear();
      for (const Edge& e : edges) {
        float lo = std::fmin(e.y0, e.y1);
        if (lo > sy) break;
        float hi = std::fmax(e.y0, e.y1);
        if (sy >= hi) continue;
        float t = (sy - e.y0) / (e.y1 - e.y0);
        xs.push_back({e.x0 + (e.x1 - e.x0) * t, e.dir});
      }
      if (xs.size() < 2) continue;
      std::sort(xs.begin(), xs.end(),
                [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
      int winding = 0;
      float spanStart = 0.0f;
      for (const Crossing& c : xs) {
        int before = winding;
        winding += c.dir;
        if (before == 0 && winding != 0) {
          spanStart = c.x;
        } else if (before != 0 && winding == 0) {
          float a = std::fmax(spanStart, static_cast<float>(col0));
          float b = std::fmin(c.x, static_cast<float>(col1 + 1));
          if (b <= a) continue;
          any = true;
          int pa = static_cast<int>(std::floor(a));
          int pb = static_cast<int>(std::floor(b));
          const float w = 1.0f / kSub;
          if (pa == pb) {
            acc[static_cast<size_t>(pa)] += (b - a) * w;
          } else {
            acc[static_cast<size_t>(pa)] += (static_cast<float>(pa + 1) - a) * w;
            for (int p = pa + 1; p < pb; ++p) acc[static_cast<size_t>(p)] += w;
            if (pb <= col1) acc[static_cast<size_t>(pb)] += (b - static_cast<float>(pb)) * w;
          }
        }
      }
    }
    if (!any) continue;
    for (int x = col0; x <= col1; ++x) {
      float cov = std::fmin(1.0f, acc[static_cast<size_t>(x)]) * opacity;
      float& dst = m.at(x, row);
      if (cov > dst) dst = cov;
    }
  }
}

void addContourEdges(std::vector<Edge>& edges, const Contour& c, const Affine& xf) {
  const size_t n = c.size();
  if (n < 3) return;
  auto finite = [](Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); };
  Vec2 prev = xf.apply(c[n - 1]);
  for (size_t i = 0; i < n; ++i) {
    Vec2 p = xf.apply(c[i]);
    if (!finite(p)) continue;
    if (!finite(prev)) {
      prev = p;
      continue;
    }
    if (p.y != prev.y) edges.push_back({prev.x, prev.y, p.x, p.y, p.y > prev.y ? 1 : -1});
    prev = p;
  }
}

}  // namespace

void fillShape(Mask& m, const Shape& s, const Affine& xf, float opacity) {
  std::vector<Edge> edges;
  for (const Contour& c : s) addContourEdges(edges, c, xf);
  fillEdges(m, edges, opacity);
}

void fillContour(Mask& m, const Contour& c, const Affine& xf, float opacity) {
  std::vector<Edge> edges;
  addContourEdges(edges, c, xf);
  fillEdges(m, edges, opacity);
}

void strokeSegment(Mask& m, Vec2 p0, Vec2 p1, float r0, float r1, float opacity) {
  float rmax = std::fmax(r0, r1) + 1.0f;
  int x0 = std::max(0, static_cast<int>(std::floor(std::fmin(p0.x, p1.x) - rmax)));
  int x1 = std::min(m.w - 1, static_cast<int>(std::ceil(std::fmax(p0.x, p1.x) + rmax)));
  int y0 = std::max(0, static_cast<int>(std::floor(std::fmin(p0.y, p1.y) - rmax)));
  int y1 = std::min(m.h - 1, static_cast<int>(std::ceil(std::fmax(p0.y, p1.y) + rmax)));
  Vec2 d = p1 - p0;
  float len2 = dot(d, d);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      Vec2 q{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
      float t = len2 > 0.0f ? clamp01(dot(q - p0, d) / len2) : 0.0f;
      float dist = length(q - (p0 + d * t));
      float r = r0 + (r1 - r0) * t;
      // Very thin lines keep their ink by fading instead of vanishing.
      float cov;
      if (r < 0.5f) {
        cov = clamp01(1.0f - dist) * (2.0f * r);
      } else {
        cov = clamp01(r - dist + 0.5f);
      }
      cov *= opacity;
      float& dst = m.at(x, y);
      if (cov > dst) dst = cov;
    }
  }
}

void strokePolyline(Mask& m, const std::vector<Vec2>& pts, const std::vector<float>& widths,
                    const Affine& xf, float opacity) {
  float s = xf.meanScale() * 0.5f;
  for (size_t i = 1; i < pts.size(); ++i) {
    strokeSegment(m, xf.apply(pts[i - 1]), xf.apply(pts[i]), widths[i - 1] * s, widths[i] * s,
                  opacity);
  }
}

void strokePolyline(Mask& m, const std::vector<Vec2>& pts, float width, const Affine& xf,
                    float opacity) {
  strokePolyline(m, pts, std::vector<float>(pts.size(), width), xf, opacity);
}

namespace {

void boxPass(const std::vector<float>& src, std::vector<float>& dst, int n, int stride, int count,
             int countStride, int r) {
  const float inv = 1.0f / static_cast<float>(2 * r + 1);
  for (int line = 0; line < count; ++line) {
    size_t base = static_cast<size_t>(line) * static_cast<size_t>(countStride);
    auto get = [&](int i) {
      return (i < 0 || i >= n) ? 0.0f
                               : src[base + static_cast<size_t>(i) * static_cast<size_t>(stride)];
    };
    float acc = 0.0f;
    for (int i = -r; i <= r; ++i) acc += get(i);
    for (int i = 0; i < n; ++i) {
      dst[base + static_cast<size_t>(i) * static_cast<size_t>(stride)] = acc * inv;
      acc += get(i + r + 1) - get(i - r);
    }
  }
}

}  // namespace

Mask blurred(const Mask& m, int radius) {
  Mask out = m;
  if (radius <= 0) return out;
  // Three box passes of about radius/sqrt(3) approximate a Gaussian.
  int r = std::max(1, static_cast<int>(std::lround(static_cast<double>(radius) * 0.58)));
  std::vector<float> tmp(out.v.size());
  for (int pass = 0; pass < 3; ++pass) {
    boxPass(out.v, tmp, m.w, 1, m.h, m.w, r);
    boxPass(tmp, out.v, m.h, m.w, m.w, 1, r);
  }
  return out;
}

Mask intersect(const Mask& a, const Mask& b) {
  Mask out = a;
  for (size_t i = 0; i < out.v.size(); ++i) out.v[i] *= b.v[i];
  return out;
}

Mask subtract(const Mask& a, const Mask& b) {
  Mask out = a;
  for (size_t i = 0; i < out.v.size(); ++i) out.v[i] *= 1.0f - b.v[i];
  return out;
}

void unite(Mask& a, const Mask& b) {
  for (size_t i = 0; i < a.v.size(); ++i) a.v[i] = std::fmax(a.v[i], b.v[i]);
}

Canvas::Canvas(int width, int height)
    : w_(width), h_(height), px_(static_cast<size_t>(width) * height, Rgba{0, 0, 0, 0}) {}

void Canvas::blend(int x, int y, Rgba c, float coverage) {
  float a = clamp01(c.a * coverage);
  if (a <= 0.0f) return;
  Rgba& d = px_[static_cast<size_t>(y) * w_ + x];
  float k = 1.0f - a;
  d.r = clamp01(c.r) * a + d.r * k;
  d.g = clamp01(c.g) * a + d.g * k;
  d.b = clamp01(c.b) * a + d.b * k;
  d.a = a + d.a * k;
}

void Canvas::paintSolid(const Mask& m, Rgba c, float opacity) {
  paint(
      m, [&](float, float) { return c; }, opacity);
}

void Canvas::fillAll(Rgba c) {
  for (Rgba& p : px_) p = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

Rgba Canvas::get(int x, int y) const {
  const Rgba& p = px_[static_cast<size_t>(y) * w_ + x];
  if (p.a <= 0.0f) return {0, 0, 0, 0};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

Image Canvas::downsample(int factor) const {
  Image out(w_ / factor, h_ / factor);
  const float n = static_cast<float>(factor * factor);
  for (int y = 0; y < out.h; ++y) {
    for (int x = 0; x < out.w; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < factor; ++sy) {
        const Rgba* row =
            &px_[static_cast<size_t>(y * factor + sy) * w_ + static_cast<size_t>(x * factor)];
        for (int sx = 0; sx < factor; ++sx) {
          r += row[sx].r;
          g += row[sx].g;
          b += row[sx].b;
          a += row[sx].a;
        }
      }
      uint8_t* o = out.at(x, y);
      uint8_t alpha = toByte(a / n);
      o[3] = alpha;
      if (alpha == 0) {
        o[0] = o[1] = o[2] = 0;
      } else {
        o[0] = toByte(r / a);
        o[1] = toByte(g / a);
        o[2] = toByte(b / a);
      }
    }
  }
  return out;
}

Image scaleNearest(const Image& src, int factor) {
  Image out(src.w * factor, src.h * factor);
  for (int y = 0; y < out.h; ++y)
    for (int x = 0; x < out.w; ++x) {
      const uint8_t* s = src.at(x / factor, y / factor);
      uint8_t* d = out.at(x, y);
      for (int i = 0; i < 4; ++i) d[i] = s[i];
    }
  return out;
}

Image shrink(const Image& src, int factor) {
  Image out(src.w / factor, src.h / factor);
  for (int y = 0; y < out.h; ++y) {
    for (int x = 0; x < out.w; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < factor; ++sy)
        for (int sx = 0; sx < factor; ++sx) {
          const uint8_t* s = src.at(x * factor + sx, y * factor + sy);
          float al = s[3] / 255.0f;
          r += s[0] * al;
          g += s[1] * al;
          b += s[2] * al;
          a += al;
        }
      uint8_t* d = out.at(x, y);
      d[3] = toByte(a / static_cast<float>(factor * factor));
      if (a > 0.0f) {
        d[0] = toByte(r / a / 255.0f);
        d[1] = toByte(g / a / 255.0f);
        d[2] = toByte(b / a / 255.0f);
      }
    }
  }
  return out;
}

void blit(Image& dst, const Image& src, int ox, int oy) {
  for (int y = 0; y < src.h; ++y) {
    int dy = oy + y;
    if (dy < 0 || dy >= dst.h) continue;
    for (int x = 0; x < src.w; ++x) {
      int dx = ox + x;
      if (dx < 0 || dx >= dst.w) continue;
      const uint8_t* s = src.at(x, y);
      uint8_t* d = dst.at(dx, dy);
      float a = s[3] / 255.0f;
      float da = d[3] / 255.0f;
      float oa = a + da * (1.0f - a);
      for (int i = 0; i < 3; ++i) {
        float v = oa > 0.0f ? (s[i] * a + d[i] * da * (1.0f - a)) / oa : 0.0f;
        d[i] = static_cast<uint8_t>(std::fmin(255.0f, v + 0.5f));
      }
      d[3] = toByte(oa);
    }
  }
}

void fillRect(Image& dst, int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b) {
  for (int y = std::max(0, y0); y < std::min(dst.h, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(dst.w, x1); ++x) {
      uint8_t* d = dst.at(x, y);
      d[0] = r;
      d[1] = g;
      d[2] = b;
      d[3] = 255;
    }
}

}  // namespace artgen
