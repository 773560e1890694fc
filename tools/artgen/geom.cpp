#include "geom.h"

#include <algorithm>

namespace artgen {

PathBuilder& PathBuilder::moveTo(Vec2 p) {
  if (current_.size() > 2) shape_.push_back(current_);
  current_.clear();
  current_.push_back(p);
  return *this;
}

PathBuilder& PathBuilder::lineTo(Vec2 p) {
  current_.push_back(p);
  return *this;
}

PathBuilder& PathBuilder::quadTo(Vec2 c, Vec2 p) {
  Vec2 p0 = current_.empty() ? c : current_.back();
  constexpr int kSteps = 24;
  for (int i = 1; i <= kSteps; ++i) {
    float t = static_cast<float>(i) / kSteps;
    float u = 1.0f - t;
    current_.push_back(p0 * (u * u) + c * (2 * u * t) + p * (t * t));
  }
  return *this;
}

PathBuilder& PathBuilder::cubicTo(Vec2 c1, Vec2 c2, Vec2 p) {
  Vec2 p0 = current_.empty() ? c1 : current_.back();
  constexpr int kSteps = 32;
  for (int i = 1; i <= kSteps; ++i) {
    current_.push_back(cubicPoint(p0, c1, c2, p, static_cast<float>(i) / kSteps));
  }
  return *this;
}

PathBuilder& PathBuilder::close() {
  if (current_.size() > 2) shape_.push_back(current_);
  current_.clear();
  return *this;
}

Shape PathBuilder::take() {
  close();
  Shape out;
  out.swap(shape_);
  return out;
}

Vec2 cubicPoint(Vec2 p0, Vec2 p1, Vec2 p2, Vec2 p3, float t) {
  float u = 1.0f - t;
  return p0 * (u * u * u) + p1 * (3 * u * u * t) + p2 * (3 * u * t * t) + p3 * (t * t * t);
}

std::vector<Vec2> sampleCubicChain(const std::vector<Vec2>& pts, int perSegment) {
  std::vector<Vec2> out;
  if (pts.empty()) return out;
  out.push_back(pts[0]);
  for (size_t i = 0; i + 3 < pts.size(); i += 3) {
    for (int s = 1; s <= perSegment; ++s) {
      out.push_back(cubicPoint(pts[i], pts[i + 1], pts[i + 2], pts[i + 3],
                               static_cast<float>(s) / static_cast<float>(perSegment)));
    }
  }
  return out;
}

std::vector<Vec2> catmullRom(const std::vector<Vec2>& pts, bool closed, int perSegment) {
  std::vector<Vec2> out;
  const int n = static_cast<int>(pts.size());
  if (n < 2) return pts;
  auto at = [&](int i) {
    if (closed) return pts[static_cast<size_t>(((i % n) + n) % n)];
    return pts[static_cast<size_t>(std::clamp(i, 0, n - 1))];
  };
  const int segs = closed ? n : n - 1;
  for (int i = 0; i < segs; ++i) {
    Vec2 p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    for (int s = 0; s < perSegment; ++s) {
      float t = static_cast<float>(s) / static_cast<float>(perSegment);
      float t2 = t * t, t3 = t2 * t;
      Vec2 q = (p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
                (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
               0.5f;
      out.push_back(q);
    }
  }
  if (!closed) out.push_back(pts.back());
  return out;
}

float polylineLength(const std::vector<Vec2>& pts) {
  float len = 0.0f;
  for (size_t i = 1; i < pts.size(); ++i) len += length(pts[i] - pts[i - 1]);
  return len;
}

std::vector<Vec2> resampleByLength(const std::vector<Vec2>& pts, int count) {
  std::vector<Vec2> out;
  if (pts.size() < 2 || count < 2) return pts;
  float total = polylineLength(pts);
  size_t seg = 1;
  float segStart = 0.0f;
  for (int i = 0; i < count; ++i) {
    float target = total * static_cast<float>(i) / static_cast<float>(count - 1);
    while (seg + 1 < pts.size() && segStart + length(pts[seg] - pts[seg - 1]) < target) {
      segStart += length(pts[seg] - pts[seg - 1]);
      ++seg;
    }
    float segLen = length(pts[seg] - pts[seg - 1]);
    float t = segLen > 0.0f ? std::clamp((target - segStart) / segLen, 0.0f, 1.0f) : 0.0f;
    out.push_back(lerp(pts[seg - 1], pts[seg], t));
  }
  return out;
}

Contour ellipseContour(Vec2 c, float rx, float ry, int segments, float rotation) {
  Contour out;
  out.reserve(static_cast<size_t>(segments));
  float cr = std::cos(rotation), sr = std::sin(rotation);
  for (int i = 0; i < segments; ++i) {
    float a = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(segments);
    float x = std::cos(a) * rx, y = std::sin(a) * ry;
    out.push_back({c.x + x * cr - y * sr, c.y + x * sr + y * cr});
  }
  return out;
}

Contour rectContour(float x0, float y0, float x1, float y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

Contour roundRectContour(float x0, float y0, float x1, float y1, float r) {
  Contour out;
  const int steps = 12;
  auto corner = [&](float cx, float cy, float a0) {
    for (int i = 0; i <= steps; ++i) {
      float a = a0 + 0.5f * kPi * static_cast<float>(i) / steps;
      out.push_back({cx + std::cos(a) * r, cy + std::sin(a) * r});
    }
  };
  corner(x1 - r, y0 + r, -0.5f * kPi);
  corner(x1 - r, y1 - r, 0.0f);
  corner(x0 + r, y1 - r, 0.5f * kPi);
  corner(x0 + r, y0 + r, kPi);
  return out;
}

float signedArea(const Contour& c) {
  float a = 0.0f;
  for (size_t i = 0, n = c.size(); i < n; ++i) {
    const Vec2& p = c[i];
    const Vec2& q = c[(i + 1) % n];
    a += p.x * q.y - q.x * p.y;
  }
  return 0.5f * a;
}

void orientPositive(Contour& c) {
  if (signedArea(c) < 0.0f) std::reverse(c.begin(), c.end());
}

Contour transformed(const Contour& c, const Affine& m) {
  Contour out;
  out.reserve(c.size());
  for (const Vec2& p : c) out.push_back(m.apply(p));
  return out;
}

Shape transformed(const Shape& s, const Affine& m) {
  Shape out;
  out.reserve(s.size());
  for (const Contour& c : s) out.push_back(transformed(c, m));
  return out;
}

Bounds boundsOf(const Shape& s) {
  Bounds b;
  for (const Contour& c : s)
    for (const Vec2& p : c) b.add(p);
  return b;
}

}  // namespace artgen
