#include "fungus.h"

namespace artgen::fungus {

Light mainLight() {
  const float x = -0.55f, y = 0.62f, z = 0.58f;
  const float l = std::sqrt(x * x + y * y + z * z);
  return {x / l, y / l, z / l};
}

Studio::Studio(int size, int factor)
    : S_(size * factor),
      factor_(factor),
      unit_(static_cast<float>(size * factor) / 32.0f),
      canvas_(size * factor, size * factor) {
  setZoom(1.0f);
}

void Studio::setZoom(float zoom) {
  view_ = Affine::translate(-16.0f, -32.0f)
              .then(Affine::scale(zoom))
              .then(Affine::translate(16.0f, 32.0f));
  fromCanvas_ = toCanvas().inverse();
}

Mask Studio::fill(const Contour& c) const {
  Mask m = mask();
  fillContour(m, c, toCanvas());
  return m;
}

Mask Studio::fill(const Shape& s) const {
  Mask m = mask();
  fillShape(m, s, toCanvas());
  return m;
}

Mask Studio::stroke(const std::vector<Vec2>& pts, float w0, float w1) const {
  Mask m = mask();
  std::vector<float> w;
  for (size_t i = 0; i < pts.size(); ++i) {
    float t = pts.size() > 1 ? static_cast<float>(i) / static_cast<float>(pts.size() - 1) : 0.0f;
    w.push_back(w0 + (w1 - w0) * t);
  }
  strokePolyline(m, pts, w, toCanvas());
  return m;
}

Lathe::Lathe(Vec2 base, float tilt, float y0, float y1, const std::function<float(float)>& radius,
             int samples)
    : base_(base), tilt_(tilt), y0_(y0), y1_(y1) {
  table_.resize(static_cast<size_t>(samples) + 1);
  for (int i = 0; i <= samples; ++i) {
    float y = y0 + (y1 - y0) * static_cast<float>(i) / static_cast<float>(samples);
    table_[static_cast<size_t>(i)] = std::max(0.0f, radius(y));
  }
  arc_.assign(table_.size(), 0.0f);
  const float dy = (y1 - y0) / static_cast<float>(samples);
  for (int i = samples - 1; i >= 0; --i) {
    float dr = table_[static_cast<size_t>(i + 1)] - table_[static_cast<size_t>(i)];
    arc_[static_cast<size_t>(i)] = arc_[static_cast<size_t>(i + 1)] + std::sqrt(dy * dy + dr * dr);
  }
}

float Lathe::arcFromTop(float y) const {
  y = std::clamp(y, y0_, y1_);
  float f = (y - y0_) / (y1_ - y0_) * static_cast<float>(arc_.size() - 1);
  size_t i = std::min(static_cast<size_t>(f), arc_.size() - 2);
  float t = f - static_cast<float>(i);
  return arc_[i] + (arc_[i + 1] - arc_[i]) * t;
}

float Lathe::radius(float y) const {
  if (y < y0_ || y > y1_) return 0.0f;
  float f = (y - y0_) / (y1_ - y0_) * static_cast<float>(table_.size() - 1);
  size_t i = std::min(static_cast<size_t>(f), table_.size() - 2);
  float t = f - static_cast<float>(i);
  return table_[i] + (table_[i + 1] - table_[i]) * t;
}

float Lathe::slope(float y) const {
  const float h = (y1_ - y0_) / static_cast<float>(table_.size() - 1) * 1.5f;
  float a = std::clamp(y - h, y0_, y1_), b = std::clamp(y + h, y0_, y1_);
  if (b <= a) return 0.0f;
  return std::clamp((radius(b) - radius(a)) / (b - a), -12.0f, 12.0f);
}

Vec2 Lathe::toSprite(Vec2 p) const {
  float c = std::cos(tilt_), s = std::sin(tilt_);
  // local x -> (c, s), local up -> (s, -c) in sprite space (y down)
  return {base_.x + p.x * c + p.y * s, base_.y + p.x * s - p.y * c};
}

Vec2 Lathe::toLocal(Vec2 q) const {
  float c = std::cos(tilt_), s = std::sin(tilt_);
  Vec2 d = q - base_;
  return {d.x * c + d.y * s, d.x * s - d.y * c};
}

Contour Lathe::contour() const {
  Contour c;
  const int n = static_cast<int>(table_.size());
  for (int i = 0; i < n; ++i) {
    float y = y0_ + (y1_ - y0_) * static_cast<float>(i) / static_cast<float>(n - 1);
    c.push_back(toSprite({table_[static_cast<size_t>(i)], y}));
  }
  for (int i = n - 1; i >= 0; --i) {
    float y = y0_ + (y1_ - y0_) * static_cast<float>(i) / static_cast<float>(n - 1);
    c.push_back(toSprite({-table_[static_cast<size_t>(i)], y}));
  }
  return c;
}

Surface Lathe::surfaceAt(Vec2 sprite) const {
  Surface s;
  s.screen = sprite;
  Vec2 l = toLocal(sprite);
  s.y = l.y;
  s.R = radius(std::clamp(l.y, y0_, y1_));
  s.u = s.R > 1e-4f ? std::clamp(l.x / s.R, -1.0f, 1.0f) : 0.0f;
  float w = std::sqrt(std::max(0.0f, 1.0f - s.u * s.u));
  s.X = s.u * s.R;
  s.Z = w * s.R;
  s.theta = std::acos(s.u);
  s.arc = arcFromTop(l.y);
  s.tx = s.arc * std::cos(s.theta);
  s.ty = s.arc * std::sin(s.theta);
  float dR = slope(std::clamp(l.y, y0_, y1_));
  float nx = s.u, ny = -dR, nz = w;
  float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
  nx /= nl;
  ny /= nl;
  nz /= nl;
  // Local frame to screen (y up): local x -> (c, -s), local up -> (s, c).
  float c = std::cos(tilt_), sn = std::sin(tilt_);
  s.nx = nx * c + ny * sn;
  s.ny = -nx * sn + ny * c;
  s.nz = nz;
  return s;
}

float lightAt(float nx, float ny, float nz, const Shading& sh, float* glossOut) {
  static const Light L = mainLight();
  float d = nx * L.x + ny * L.y + nz * L.z;
  float lum = sh.ambient + sh.diffuse * wrapDiffuse(d);
  if (glossOut) {
    *glossOut = 0.0f;
    if (sh.gloss > 0.0f) {
      float hx = L.x, hy = L.y, hz = L.z + 1.0f;
      float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
      float dh = (nx * hx + ny * hy + nz * hz) / hl;
      if (dh > 0.0f) *glossOut = sh.gloss * std::pow(dh, sh.shininess);
    }
  }
  return lum;
}

namespace {

Rgba lit(Rgba c, float lum, float shine) {
  return {c.r * lum + shine, c.g * lum + shine, c.b * lum + shine, c.a};
}

}  // namespace

Mask paintLathe(Studio& st, const Lathe& l, const SurfaceColor& color, const Shading& sh,
                const Mask* clip) {
  Mask m = st.fill(l.contour());
  if (clip) m = intersect(m, *clip);
  Mask edge = blurred(m, std::max(1, static_cast<int>(st.unit() * 0.6f)));
  st.canvas().paint(m, [&](float x, float y) {
    Surface s = l.surfaceAt(st.toSprite(x, y));
    Rgba c = color(s);
    float shine = 0.0f;
    float lum = lightAt(s.nx, s.ny, s.nz, sh, &shine);
    size_t i = static_cast<size_t>(y) * static_cast<size_t>(st.S()) + static_cast<size_t>(x);
    lum *= 1.0f - sh.edgeDark * smoothstep(0.85f, 0.4f, edge.v[i]);
    return lit(c, lum, shine);
  });
  return m;
}

void paintPillow(Studio& st, const Mask& m, const std::function<Rgba(Vec2)>& color, float roundness,
                 const Shading& sh) {
  const int S = st.S();
  Mask dome = blurred(m, std::max(1, static_cast<int>(st.unit() * roundness)));
  Mask edge = blurred(m, std::max(1, static_cast<int>(st.unit() * 0.5f)));
  const float gain = st.unit() * roundness * 1.6f;
  st.canvas().paint(m, [&](float x, float y) {
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    auto h = [&](int xx, int yy) {
      xx = std::clamp(xx, 0, S - 1);
      yy = std::clamp(yy, 0, S - 1);
      return dome.at(xx, yy);
    };
    float dx = (h(ix + 1, iy) - h(ix - 1, iy)) * 0.5f * gain;
    float dy = (h(ix, iy + 1) - h(ix, iy - 1)) * 0.5f * gain;
    float nl = std::sqrt(dx * dx + dy * dy + 1.0f);
    // Screen y grows downwards; the normal's y is up.
    float nx = -dx / nl, ny = dy / nl, nz = 1.0f / nl;
    float shine = 0.0f;
    float lum = lightAt(nx, ny, nz, sh, &shine);
    lum *= 1.0f - sh.edgeDark * smoothstep(0.85f, 0.4f, edge.at(ix, iy));
    Rgba c = color(st.toSprite(x, y));
    return lit(c, lum, shine);
  });
}

void groundShadow(Studio& st, float cx, float halfWidth, float strength) {
  Mask m = st.fill(ellipseContour({cx, 31.8f}, halfWidth, 1.7f, 64));
  m = blurred(m, static_cast<int>(st.unit() * 0.9f));
  st.canvas().paintSolid(m, Rgba{0.12f, 0.08f, 0.04f, strength});
}

void grassTuft(Studio& st, Rng& rng, float cx, float spread, int blades, float maxH,
               bool autumnal) {
  const Rgba greens[] = {rgb8(96, 132, 48), rgb8(122, 146, 58), rgb8(84, 112, 44)};
  const Rgba straws[] = {rgb8(196, 172, 96), rgb8(170, 150, 80), rgb8(150, 120, 70)};
  for (int i = 0; i < blades; ++i) {
    float x0 = cx + rng.jitter(spread);
    float h = rng.range(0.45f, 1.0f) * maxH;
    float lean = rng.jitter(h * 0.45f) + (x0 - cx) * 0.3f;
    Vec2 p0{x0, 32.6f}, p2{x0 + lean, 32.0f - h}, p1{x0 + lean * 0.2f, 32.0f - h * 0.55f};
    std::vector<Vec2> pts;
    for (int k = 0; k <= 10; ++k) {
      float t = static_cast<float>(k) / 10.0f, u = 1.0f - t;
      pts.push_back(p0 * (u * u) + p1 * (2 * u * t) + p2 * (t * t));
    }
    Mask m = st.stroke(pts, rng.range(0.7f, 1.0f), 0.08f);
    Rgba c = (autumnal && rng.chance(0.45f)) ? straws[rng.irange(0, 2)] : greens[rng.irange(0, 2)];
    st.canvas().paint(m, [&](float, float y) {
      float t = clamp01((32.0f - st.toSprite(0.0f, y).y) / h);
      return scaled(c, 0.7f + 0.45f * t);
    });
  }
}

void mossCushion(Studio& st, Rng& rng, float cx, float halfWidth, float height) {
  Shape blobs;
  int n = static_cast<int>(halfWidth * 1.2f) + 3;
  for (int i = 0; i < n; ++i) {
    float x =
        cx - halfWidth + 2.0f * halfWidth * (static_cast<float>(i) + 0.5f) / static_cast<float>(n);
    float r = rng.range(0.7f, 1.0f) * height;
    blobs.push_back(ellipseContour({x + rng.jitter(0.4f), 32.4f - r * 0.3f}, r * 1.1f, r, 32));
  }
  Mask m = st.fill(blobs);
  uint32_t seed = rng.next();
  Shading sh;
  sh.edgeDark = 0.35f;
  paintPillow(
      st, m,
      [&](Vec2 p) {
        float n1 = fbm(p.x * 1.7f, p.y * 1.7f, seed, 3);
        Rgba c = mix(rgb8(64, 96, 36), rgb8(118, 150, 52), n1);
        float speck = valueNoise(p.x * 5.0f, p.y * 5.0f, seed + 3);
        if (speck > 0.72f) c = mix(c, rgb8(170, 190, 80), 0.6f);
        return c;
      },
      0.9f, sh);
}

void litter(Studio& st, Rng& rng, float cx, float halfWidth, int pieces) {
  const Rgba browns[] = {rgb8(150, 96, 48), rgb8(120, 80, 44), rgb8(176, 120, 60),
                         rgb8(98, 66, 40)};
  for (int i = 0; i < pieces; ++i) {
    float x = cx + rng.jitter(halfWidth);
    float y = rng.range(30.6f, 31.8f);
    float a = rng.jitter(0.5f);
    float len = rng.range(1.5f, 3.5f);
    Vec2 d = polar(a, len * 0.5f);
    Mask m = st.stroke({{x - d.x, y - d.y}, {x + d.x, y + d.y}}, rng.range(0.45f, 0.7f), 0.35f);
    st.canvas().paintSolid(m, browns[rng.irange(0, 3)]);
  }
}

}  // namespace artgen::fungus
