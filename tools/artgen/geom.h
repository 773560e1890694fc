// 2-D geometry for the vector drawings: points, affine transforms and paths
// flattened to polygons.
#pragma once

#include <cmath>
#include <vector>

namespace artgen {

constexpr float kPi = 3.14159265358979f;

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline Vec2 operator*(float s, Vec2 a) { return {a.x * s, a.y * s}; }
inline float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float cross(Vec2 a, Vec2 b) { return a.x * b.y - a.y * b.x; }
inline float length(Vec2 a) { return std::sqrt(dot(a, a)); }
inline Vec2 normalize(Vec2 a) {
  float l = length(a);
  return l > 0.0f ? a * (1.0f / l) : Vec2{0.0f, 0.0f};
}
inline Vec2 lerp(Vec2 a, Vec2 b, float t) { return a + (b - a) * t; }
inline Vec2 perp(Vec2 a) { return {-a.y, a.x}; }
inline Vec2 polar(float angle, float r) { return {std::cos(angle) * r, std::sin(angle) * r}; }

// x' = a*x + c*y + e, y' = b*x + d*y + f
struct Affine {
  float a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  static Affine translate(float tx, float ty) { return {1, 0, 0, 1, tx, ty}; }
  static Affine translate(Vec2 t) { return translate(t.x, t.y); }
  static Affine scale(float sx, float sy) { return {sx, 0, 0, sy, 0, 0}; }
  static Affine scale(float s) { return scale(s, s); }
  static Affine rotate(float radians) {
    float cs = std::cos(radians);
    float sn = std::sin(radians);
    return {cs, sn, -sn, cs, 0, 0};
  }

  Vec2 apply(Vec2 p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  Vec2 applyVector(Vec2 p) const { return {a * p.x + c * p.y, b * p.x + d * p.y}; }
  // This transform followed by `next`.
  Affine then(const Affine& n) const {
    return {n.a * a + n.c * b, n.b * a + n.d * b,       n.a * c + n.c * d,
            n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
  }
  float det() const { return a * d - b * c; }
  // Average linear scale, used for stroke widths.
  float meanScale() const { return std::sqrt(std::fabs(det())); }
  Affine inverse() const {
    float id = 1.0f / det();
    Affine r{d * id, -b * id, -c * id, a * id, 0, 0};
    r.e = -(r.a * e + r.c * f);
    r.f = -(r.b * e + r.d * f);
    return r;
  }
};

using Contour = std::vector<Vec2>;
using Shape = std::vector<Contour>;

struct Bounds {
  float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
  void add(Vec2 p) {
    x0 = std::fmin(x0, p.x);
    y0 = std::fmin(y0, p.y);
    x1 = std::fmax(x1, p.x);
    y1 = std::fmax(y1, p.y);
  }
  bool empty() const { return x1 < x0; }
  float width() const { return x1 - x0; }
  float height() const { return y1 - y0; }
};

// Collects contours; curves are flattened to short line segments.
class PathBuilder {
 public:
  PathBuilder& moveTo(Vec2 p);
  PathBuilder& lineTo(Vec2 p);
  PathBuilder& quadTo(Vec2 c, Vec2 p);
  PathBuilder& cubicTo(Vec2 c1, Vec2 c2, Vec2 p);
  PathBuilder& close();
  Shape take();

 private:
  Contour current_;
  Shape shape_;
};

Vec2 cubicPoint(Vec2 p0, Vec2 p1, Vec2 p2, Vec2 p3, float t);
// A chain of cubic segments given as 3n+1 points, sampled densely.
std::vector<Vec2> sampleCubicChain(const std::vector<Vec2>& pts, int perSegment = 40);
// Catmull-Rom spline through the points; closed or open.
std::vector<Vec2> catmullRom(const std::vector<Vec2>& pts, bool closed, int perSegment = 12);
// Resample a polyline to `count` points evenly spaced by arc length.
std::vector<Vec2> resampleByLength(const std::vector<Vec2>& pts, int count);
float polylineLength(const std::vector<Vec2>& pts);

Contour ellipseContour(Vec2 c, float rx, float ry, int segments = 96, float rotation = 0.0f);
Contour rectContour(float x0, float y0, float x1, float y1);
Contour roundRectContour(float x0, float y0, float x1, float y1, float r);
float signedArea(const Contour& c);
// Makes the contour counter-clockwise (positive area in y-up terms).
void orientPositive(Contour& c);
Shape transformed(const Shape& s, const Affine& m);
Contour transformed(const Contour& c, const Affine& m);
Bounds boundsOf(const Shape& s);

}  // namespace artgen
