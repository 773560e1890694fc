// Rendering of leaf geometry: masks, relief lighting and colouring.
#include <algorithm>
#include <cmath>

#include "leaves.h"
#include "rng.h"

namespace artgen {

namespace {

LeafGeom warped(const LeafGeom& g, float bend) {
  LeafGeom out = g;
  auto warp = [bend](Vec2& p) { p.x += bend * p.y * p.y; };
  for (Contour& c : out.blade)
    for (Vec2& p : c) warp(p);
  for (VeinLine& v : out.veins)
    for (Vec2& p : v.pts) warp(p);
  for (VeinLine& v : out.stalks)
    for (Vec2& p : v.pts) warp(p);
  return out;
}

void strokeVein(Mask& m, const VeinLine& v, const Affine& M, float widthScale) {
  std::vector<float> w;
  const size_t n = v.pts.size();
  for (size_t i = 0; i < n; ++i) {
    float t = n > 1 ? static_cast<float>(i) / static_cast<float>(n - 1) : 0.0f;
    w.push_back((v.w0 + (v.w1 - v.w0) * t) * widthScale);
  }
  strokePolyline(m, v.pts, w, M);
}

struct Relief {
  std::vector<float> lum;
  std::vector<float> gloss;
};

// Lighting from the upper left on a height field built from the shape and
// its veins: the blade domes a little and the veins lie in grooves.
Relief lightHeightField(const std::vector<float>& h, int w, int hgt, float gain, float gloss) {
  Relief r;
  r.lum.assign(h.size(), 1.0f);
  r.gloss.assign(h.size(), 0.0f);
  const float lx = -0.5f, ly = -0.6f, lz = 0.8f;
  const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
  const float Lx = lx / ll, Ly = ly / ll, Lz = lz / ll;
  float hx = Lx, hy = Ly, hz = Lz + 1.0f;
  float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  hx /= hl;
  hy /= hl;
  hz /= hl;
  auto at = [&](int x, int y) {
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, hgt - 1);
    return h[static_cast<size_t>(y) * w + x];
  };
  for (int y = 0; y < hgt; ++y) {
    for (int x = 0; x < w; ++x) {
      float dx = (at(x + 1, y) - at(x - 1, y)) * 0.5f * gain;
      float dy = (at(x, y + 1) - at(x, y - 1)) * 0.5f * gain;
      float nl = std::sqrt(dx * dx + dy * dy + 1.0f);
      float nx = -dx / nl, ny = -dy / nl, nz = 1.0f / nl;
      float d = nx * Lx + ny * Ly + nz * Lz;
      size_t i = static_cast<size_t>(y) * w + x;
      r.lum[i] = std::clamp(1.0f + 0.85f * (d - Lz), 0.55f, 1.3f);
      float s = (nx * hx + ny * hy + nz * hz - hz) / (1.0f - hz);
      r.gloss[i] = s > 0.0f ? gloss * s * s : 0.0f;
    }
  }
  return r;
}

}  // namespace

Image renderLeaf(const LeafGeom& geom, const LeafLook& look, const LeafPose& pose, int size,
                 int factor, uint32_t seed, float outline, int nominal) {
  const int S = size * factor;
  // Canvas pixels per pixel of the nominal sprite: `factor` when drawn at
  // its nominal size.
  const float fs = static_cast<float>(S) / static_cast<float>(nominal > 0 ? nominal : size);
  LeafGeom g = warped(geom, pose.bend);

  Affine M0 = Affine::scale(pose.mirror ? -pose.squashX : pose.squashX, pose.squashY)
                  .then(Affine::rotate(pose.angle))
                  .then(Affine::scale(1.0f, -1.0f));
  Bounds b;
  for (const Contour& c : g.blade)
    for (const Vec2& p : c) b.add(M0.apply(p));
  for (const VeinLine& v : g.stalks)
    for (const Vec2& p : v.pts) b.add(M0.apply(p));
  const float margin = fs * (0.6f + outline);
  const float avail = static_cast<float>(S) * pose.fill - 2.0f * margin;
  const float k = std::fmin(avail / b.width(), avail / b.height());
  const float cx = 0.5f * (b.x0 + b.x1) * k, cy = 0.5f * (b.y0 + b.y1) * k;
  const Affine M = M0.then(Affine::scale(k))
                       .then(Affine::translate(0.5f * static_cast<float>(S) - cx,
                                               0.5f * static_cast<float>(S) - cy));
  const Affine Minv = M.inverse();

  Mask blade(S, S), stalk(S, S), vMain(S, S), vSide(S, S);
  fillShape(blade, g.blade, M);
  for (const VeinLine& v : g.veins) strokeVein(v.level <= 1 ? vMain : vSide, v, M, 1.0f);
  for (const VeinLine& v : g.stalks) strokeVein(stalk, v, M, 1.0f);
  Mask vMainIn = intersect(vMain, blade);
  Mask vSideIn = intersect(vSide, blade);

  float extent = 0.0f;
  for (const Contour& c : g.blade)
    for (const Vec2& p : c) extent = std::fmax(extent, length(p));

  Mask edgeBlur = blurred(blade, std::max(1, static_cast<int>(fs * 0.55f)));
  Mask domeBlur = blurred(blade, static_cast<int>(fs * 2.2f));
  Mask foldBlur = blurred(vMain, static_cast<int>(fs * 2.6f));
  Mask grooveBlur = blurred(vSide, std::max(1, static_cast<int>(fs * 0.35f)));
  Mask greenBlur = blurred(vMain, static_cast<int>(fs * 1.6f));
  unite(greenBlur, blurred(vSide, static_cast<int>(fs * 0.9f)));
  Mask marginBlur = blurred(blade, std::max(1, static_cast<int>(fs * 1.4f * look.edgeWidth)));

  std::vector<float> height(static_cast<size_t>(S) * S);
  for (size_t i = 0; i < height.size(); ++i) {
    height[i] =
        look.relief * (0.45f * domeBlur.v[i] - 1.1f * foldBlur.v[i] - 0.12f * grooveBlur.v[i]);
  }
  Relief light = lightHeightField(height, S, S, fs * 2.6f, look.gloss);

  Rgba pale{0.93f, 0.89f, 0.72f, 1.0f};
  std::vector<Rgba> color(static_cast<size_t>(S) * S);
  for (int y = 0; y < S; ++y) {
    for (int x = 0; x < S; ++x) {
      size_t i = static_cast<size_t>(y) * S + x;
      if (blade.v[i] <= 0.0f && vMain.v[i] <= 0.0f) continue;
      Vec2 p = Minv.apply({static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f});
      float rho = clamp01(length(p) / extent);
      float n1 = fbm(p.x * 3.0f + 11.0f, p.y * 3.0f, seed, 3) - 0.5f;
      float t = clamp01(rho + 0.3f * n1);
      Rgba c = t < 0.5f ? mix(look.base, look.mid, t * 2.0f)
                        : mix(look.mid, look.tip, (t - 0.5f) * 2.0f);
      if (look.blotchAmt > 0.0f) {
        float nb = fbm(p.x * look.blotchScale + 3.0f, p.y * look.blotchScale - 5.0f, seed + 7, 4);
        c = mix(c, look.blotch, look.blotchAmt * smoothstep(0.44f, 0.62f, nb));
      }
      if (look.greenAmt > 0.0f) {
        float ng = fbm(p.x * 4.0f, p.y * 4.0f + 9.0f, seed + 13, 3);
        float amount = smoothstep(0.1f, 0.55f, greenBlur.v[i]) *
                       smoothstep(0.35f, 0.62f, ng + 0.25f * (1.0f - rho));
        c = mix(c, look.green, look.greenAmt * amount);
      }
      float m = 1.0f + look.mottle * 2.0f * (fbm(p.x * 10.0f, p.y * 10.0f, seed + 21, 3) - 0.5f);
      c = scaled(c, m);
      if (look.edgeAmt > 0.0f) {
        float e = smoothstep(0.95f, 0.5f, marginBlur.v[i]);
        float en = fbm(p.x * 6.0f, p.y * 6.0f, seed + 31, 3);
        e = smoothstep(0.25f, 0.55f, e * (0.6f + 0.8f * en));
        c = mix(c, look.edge, look.edgeAmt * e);
      }
      if (look.spotAmt > 0.0f) {
        CellDist cd =
            cellNoise(p.x * look.spotScale + 0.37f, p.y * look.spotScale + 0.71f, seed + 41);
        if (static_cast<float>(cd.id & 1023u) / 1023.0f < look.spotAmt) {
          float r =
              look.spotSize * (0.6f + 0.8f * static_cast<float>((cd.id >> 10) & 255u) / 255.0f);
          float d = cd.d1;
          if (look.tarSpots) {
            c = mix(c, Rgba{0.96f, 0.8f, 0.2f, 1}, 0.65f * smoothstep(r * 2.3f, r * 1.1f, d));
            c = mix(c, look.spot, smoothstep(r, r * 0.75f, d));
          } else {
            c = mix(c, scaled(look.spot, 0.7f), 0.8f * smoothstep(r * 1.25f, r * 0.95f, d));
            c = mix(c, look.spot, smoothstep(r, r * 0.6f, d));
          }
        }
      }
      if (look.underside) c = mix(saturate(c, 0.85f), pale, 0.12f);
      float ed = smoothstep(0.85f, 0.4f, edgeBlur.v[i]);
      c = scaled(c, 1.0f - 0.3f * ed);
      c = scaled(c, light.lum[i]);
      float sp = light.gloss[i];
      c = {c.r + sp, c.g + sp, c.b + sp, 1.0f};
      color[i] = c;
    }
  }

  Canvas canvas(S, S);
  if (outline > 0.0f) {
    Mask all = blade;
    unite(all, stalk);
    Mask halo = blurred(all, static_cast<int>(fs * outline));
    for (float& v : halo.v) v = smoothstep(0.04f, 0.3f, v);
    canvas.paintSolid(halo, Rgba{0.32f, 0.06f, 0.02f, 1.0f});
  }
  // Stalks: a little rounded, darker towards the cut end.
  Mask stalkEdge = blurred(stalk, std::max(1, static_cast<int>(fs * 0.3f)));
  auto stalkColor = [&](float x, float y) {
    size_t i = static_cast<size_t>(y) * S + static_cast<size_t>(x);
    Vec2 p = Minv.apply({x, y});
    float along = clamp01(-p.y * 2.0f);
    Rgba c = scaled(look.stalk, 1.0f - 0.25f * along);
    c = scaled(c, 0.75f + 0.35f * stalkEdge.v[i]);
    return c;
  };
  if (!g.stalkOnTop) canvas.paint(stalk, stalkColor);
  canvas.paint(blade, [&](float x, float y) {
    return color[static_cast<size_t>(y) * S + static_cast<size_t>(x)];
  });
  auto veinColor = [&](float x, float y) {
    Rgba c = color[static_cast<size_t>(y) * S + static_cast<size_t>(x)];
    if (look.veinLight >= 0.0f) return mix(c, Rgba{1.0f, 0.95f, 0.72f, 1.0f}, look.veinLight);
    return mix(c, scaled(c, 0.45f), -look.veinLight);
  };
  float veinBoost = look.underside ? 1.25f : 1.0f;
  canvas.paint(vSideIn, veinColor, 0.35f * veinBoost);
  canvas.paint(vMainIn, veinColor, std::fmin(1.0f, 0.85f * veinBoost));
  if (g.stalkOnTop) canvas.paint(stalk, stalkColor);
  return canvas.downsample(factor);
}

}  // namespace artgen
