#include "leaf_shapes.h"

#include <algorithm>
#include <cmath>

namespace artgen::leafshape {

std::vector<Vec2> halfOutline(const BladeOutline& s) {
  std::vector<Vec2> pts = {
      {0, s.baseY}, {s.wx * s.baseRound, s.baseY + s.baseDrop}, {s.wx, s.wy - s.wy * s.k1},
      {s.wx, s.wy}, {s.wx, s.wy + (1 - s.wy) * s.k2},           {s.wx * s.tipX, s.tipY},
      {0, 1}};
  return sampleCubicChain(pts, 60);
}

float halfWidthAt(const std::vector<Vec2>& half, float y) {
  float best = 0.0f;
  for (size_t i = 1; i < half.size(); ++i) {
    Vec2 a = half[i - 1], b = half[i];
    if ((a.y <= y && b.y >= y) || (b.y <= y && a.y >= y)) {
      float t = (b.y != a.y) ? (y - a.y) / (b.y - a.y) : 0.0f;
      best = std::fmax(best, std::fabs(a.x + (b.x - a.x) * t));
    }
  }
  return best;
}

namespace {

float toothProfile(Teeth kind, float f) {
  switch (kind) {
    case Teeth::Serrate:
    case Teeth::Double:
      return f < 0.7f ? std::pow(f / 0.7f, 1.3f) : 1.0f - (f - 0.7f) / 0.3f;
    case Teeth::Bristle:
      return f < 0.86f ? std::pow(f / 0.86f, 2.4f) : 1.0f - (f - 0.86f) / 0.14f;
    case Teeth::Crenate:
      return std::pow(std::sin(kPi * f), 0.55f);
    case Teeth::Wavy:
      return 0.5f - 0.5f * std::cos(2.0f * kPi * f);
    case Teeth::None:
      break;
  }
  return 0.0f;
}

}  // namespace

std::vector<Vec2> applyTeeth(const std::vector<Vec2>& half, float side, const Margin& m, Rng& rng) {
  if (m.kind == Teeth::None || m.count <= 0 || m.amp <= 0.0f) return half;
  std::vector<Vec2> pts = resampleByLength(half, 420);
  std::vector<float> amps(static_cast<size_t>(m.count) + 1);
  for (float& a : amps) a = m.amp * rng.range(0.75f, 1.2f);
  std::vector<Vec2> out = pts;
  const int n = static_cast<int>(pts.size());
  for (int i = 1; i < n - 1; ++i) {
    float u = static_cast<float>(i) / static_cast<float>(n - 1);
    if (u < m.from || u > m.to) continue;
    float q = (u - m.from) / (m.to - m.from);
    float phase = q * static_cast<float>(m.count);
    int k = std::min(static_cast<int>(phase), m.count);
    float f = phase - static_cast<float>(k);
    float env = std::fmin(1.0f, q / 0.12f) * std::fmin(1.0f, (1.0f - q) / 0.05f);
    float d = toothProfile(m.kind, f);
    if (m.kind == Teeth::Double) {
      float f2 = f * 3.0f - std::floor(f * 3.0f);
      d = 0.75f * d + 0.35f * toothProfile(Teeth::Serrate, f2);
    }
    Vec2 t = normalize(pts[static_cast<size_t>(i + 1)] - pts[static_cast<size_t>(i - 1)]);
    Vec2 nrm = side > 0 ? Vec2{t.y, -t.x} : Vec2{-t.y, t.x};
    out[static_cast<size_t>(i)] =
        pts[static_cast<size_t>(i)] + nrm * (amps[static_cast<size_t>(k)] * env * (d - 0.35f));
  }
  return out;
}

void addBlade(LeafGeom& g, const BladeOutline& right, const BladeOutline& left,
              const VeinLayout& vs, const Affine& T, float veinScale, Rng& rng) {
  std::vector<Vec2> rh = halfOutline(right);
  std::vector<Vec2> lh = halfOutline(left);
  for (Vec2& p : lh) p.x = -p.x;
  std::vector<Vec2> rt = applyTeeth(rh, 1.0f, right.margin, rng);
  std::vector<Vec2> lt = applyTeeth(lh, -1.0f, left.margin, rng);
  Contour c;
  c.insert(c.end(), rt.begin(), rt.end());
  for (size_t i = lt.size() - 1; i-- > 1;) c.push_back(lt[i]);
  c = transformed(c, T);
  orientPositive(c);
  g.blade.push_back(std::move(c));

  auto addVein = [&](std::vector<Vec2> pts, float w0, float w1, int level) {
    VeinLine v;
    v.pts = transformed(pts, T);
    v.w0 = w0 * veinScale;
    v.w1 = w1 * veinScale;
    v.level = level;
    g.veins.push_back(std::move(v));
  };
  std::vector<Vec2> mid;
  for (int i = 0; i <= 12; ++i) mid.push_back({0.0f, vs.midEnd * static_cast<float>(i) / 12.0f});
  addVein(mid, vs.midW, vs.midW * 0.3f, vs.midLevel);

  for (int i = 0; i < vs.pairs; ++i) {
    float base =
        lerpf(vs.start, vs.end, (static_cast<float>(i) + 0.5f) / static_cast<float>(vs.pairs));
    for (int s = 0; s < 2; ++s) {
      float y0 = base + rng.jitter(0.02f) + (s == 1 ? 0.015f : 0.0f);
      float y1 = std::fmin(y0 + vs.forward * (1.0f - 0.4f * y0), 0.97f);
      const std::vector<Vec2>& half = s == 0 ? rh : lh;
      float x1 = vs.reach * halfWidthAt(half, y1);
      if (x1 < 0.02f) continue;
      float sign = s == 0 ? 1.0f : -1.0f;
      Vec2 p0{0.0f, y0}, p2{sign * x1, y1};
      Vec2 p1{sign * x1 * vs.curve, y0 + (y1 - y0) * 0.2f};
      std::vector<Vec2> pts;
      for (int k = 0; k <= 8; ++k) {
        float t = static_cast<float>(k) / 8.0f, u = 1.0f - t;
        pts.push_back(p0 * (u * u) + p1 * (2 * u * t) + p2 * (t * t));
      }
      addVein(pts, vs.sideW, vs.sideW * 0.35f, 2);
    }
  }
}

void addLobe(LeafGeom& g, const BladeOutline& outline, const VeinLayout& vs, Vec2 base, float angle,
             float len, float widthScale, Rng& rng, float asym) {
  BladeOutline left = outline;
  left.wx *= 1.0f + rng.jitter(asym);
  left.wy += rng.jitter(asym * 0.5f);
  BladeOutline right = outline;
  right.wx *= 1.0f + rng.jitter(asym);
  Affine T = Affine::scale(len * widthScale, len)
                 .then(Affine::rotate(angle - 0.5f * kPi))
                 .then(Affine::translate(base));
  addBlade(g, right, left, vs, T, std::sqrt(len), rng);
}

void addPalm(LeafGeom& g, const std::vector<float>& angles, const std::vector<float>& sinusR) {
  std::vector<Vec2> pts;
  pts.push_back({0.0f, -0.01f});
  for (size_t i = 0; i + 1 < angles.size(); ++i) {
    float a = 0.5f * (angles[i] + angles[i + 1]);
    pts.push_back(polar(a, sinusR[i]));
  }
  Contour c = catmullRom(pts, true, 16);
  orientPositive(c);
  g.blade.push_back(std::move(c));
}

void addStalk(LeafGeom& g, float len, float curve, float w0, float w1) {
  VeinLine v;
  Vec2 p0{0.0f, 0.02f}, p1{0.0f, -len * 0.5f}, p2{len * curve, -len};
  for (int k = 0; k <= 10; ++k) {
    float t = static_cast<float>(k) / 10.0f, u = 1.0f - t;
    v.pts.push_back(p0 * (u * u) + p1 * (2 * u * t) + p2 * (t * t));
  }
  v.w0 = w0;
  v.w1 = w1;
  v.level = 0;
  g.stalks.push_back(std::move(v));
}

}  // namespace artgen::leafshape
