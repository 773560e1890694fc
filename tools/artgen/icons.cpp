#include "icons.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "leaves.h"
#include "rng.h"

namespace artgen {

namespace {

LeafLook appLeafLook() {
  LeafLook l;
  l.base = rgb8(255, 150, 30);
  l.mid = rgb8(240, 70, 22);
  l.tip = rgb8(206, 28, 20);
  l.blotch = l.mid;
  l.stalk = rgb8(150, 40, 20);
  l.veinLight = 0.55f;
  l.mottle = 0.04f;
  l.relief = 0.8f;
  l.gloss = 0.22f;
  return l;
}

}  // namespace

std::vector<Image> makeAppIcon() {
  const LeafGeom g = mapleGeomForIcon();
  const LeafLook look = appLeafLook();
  std::vector<Image> out;
  for (int size : {16, 24, 32, 48, 256}) {
    LeafPose pose;
    pose.angle = 0.1f;
    pose.fill = 1.0f;
    // Small sizes get a proportionally stronger outline to stay crisp.
    float outline = size <= 16 ? 0.55f : (size <= 32 ? 0.7f : (size <= 48 ? 0.9f : 3.0f));
    int factor = size >= 256 ? 4 : 8;
    out.push_back(renderLeaf(g, look, pose, size, factor, 777u, outline));
  }
  return out;
}

Image makeLogoLeaf(int size) {
  LeafPose pose;
  pose.angle = 0.18f;
  pose.fill = 1.0f;
  return renderLeaf(mapleGeomForIcon(), appLeafLook(), pose, size, 8, 777u, 0.6f);
}

const std::vector<Rgba>& classicPalette() {
  static const std::vector<Rgba> p = {
      rgb8(0, 0, 0),       rgb8(128, 0, 0),   rgb8(0, 128, 0),   rgb8(128, 128, 0),
      rgb8(0, 0, 128),     rgb8(128, 0, 128), rgb8(0, 128, 128), rgb8(192, 192, 192),
      rgb8(128, 128, 128), rgb8(255, 0, 0),   rgb8(0, 255, 0),   rgb8(255, 255, 0),
      rgb8(0, 0, 255),     rgb8(255, 0, 255), rgb8(0, 255, 255), rgb8(255, 255, 255)};
  return p;
}

namespace {

void quantizeToPalette(Image& img) {
  const auto& pal = classicPalette();
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) {
      uint8_t* p = img.at(x, y);
      if (p[3] < 128) {
        p[0] = p[1] = p[2] = p[3] = 0;
        continue;
      }
      int best = 0;
      float bestD = 1e9f;
      for (size_t i = 0; i < pal.size(); ++i) {
        float dr = p[0] / 255.0f - pal[i].r, dg = p[1] / 255.0f - pal[i].g,
              db = p[2] / 255.0f - pal[i].b;
        float d = 0.3f * dr * dr + 0.59f * dg * dg + 0.11f * db * db;
        if (d < bestD) {
          bestD = d;
          best = static_cast<int>(i);
        }
      }
      p[0] = toByte(pal[static_cast<size_t>(best)].r);
      p[1] = toByte(pal[static_cast<size_t>(best)].g);
      p[2] = toByte(pal[static_cast<size_t>(best)].b);
      p[3] = 255;
    }
  }
}

// A crisp dark rim around a shape, as the old 16-colour icons had.
Mask hardOutline(const Mask& m, int radius) {
  Mask out = blurred(m, radius);
  for (float& v : out.v) v = v > 0.08f ? 1.0f : 0.0f;
  return out;
}

Mask disc(int S, float u, Vec2 c, float r) {
  Mask m(S, S);
  fillContour(m, ellipseContour(c, r, r, 96), Affine::scale(u));
  return m;
}

// A closed lobe of two cubic curves from pts[0] to pts[6] and back, filled
// and ringed with a hard outline; returns its fill.
Mask paintOutlinedLobe(Canvas& cv, const Affine& U, const std::array<Vec2, 7>& pts, Rgba fill,
                       Rgba outline) {
  PathBuilder path;
  path.moveTo(pts[0]).cubicTo(pts[1], pts[2], pts[3]).cubicTo(pts[4], pts[5], pts[6]).close();
  Mask m(cv.width(), cv.height());
  fillShape(m, path.take(), U);
  cv.paintSolid(hardOutline(m, 4), outline);
  cv.paintSolid(m, fill);
  return m;
}

}  // namespace

Image makeEmblem() {
  const int F = 4, S = 32 * F;
  const float u = static_cast<float>(F);
  const Affine U = Affine::scale(u);
  const auto& pal = classicPalette();
  Canvas cv(S, S);
  const Vec2 c{16.0f, 16.0f};
  // Seal: black rim, green band with yellow studs, white field.
  cv.paintSolid(disc(S, u, c, 15.7f), pal[0]);
  cv.paintSolid(disc(S, u, c, 14.7f), pal[2]);
  for (int i = 0; i < 12; ++i) {
    float a = 2.0f * kPi * (static_cast<float>(i) + 0.5f) / 12.0f;
    cv.paintSolid(disc(S, u, c + polar(a, 13.2f), 0.85f), pal[11]);
  }
  cv.paintSolid(disc(S, u, c, 11.9f), pal[0]);
  cv.paintSolid(disc(S, u, c, 11.1f), pal[15]);

  // Acorn: olive nut with a highlight, dark red cup with cross-hatching.
  paintOutlinedLobe(cv, U,
                    {{{11.4f, 15.0f},
                      {11.2f, 20.8f},
                      {13.8f, 25.0f},
                      {16.0f, 26.4f},
                      {18.2f, 25.0f},
                      {20.8f, 20.8f},
                      {20.6f, 15.0f}}},
                    pal[3], pal[0]);
  Mask hl(S, S);
  strokePolyline(hl, {{13.4f, 16.6f}, {13.6f, 20.0f}, {14.8f, 23.0f}}, 1.2f, U);
  cv.paintSolid(hl, pal[11]);
  const Mask cm = paintOutlinedLobe(cv, U,
                                    {{{10.2f, 16.2f},
                                      {9.8f, 11.6f},
                                      {12.6f, 10.0f},
                                      {16.0f, 10.0f},
                                      {19.4f, 10.0f},
                                      {22.2f, 11.6f},
                                      {21.8f, 16.2f}}},
                                    pal[1], pal[0]);
  Mask hatch(S, S);
  for (int i = -3; i <= 3; ++i) {
    float x = 16.0f + static_cast<float>(i) * 2.8f;
    strokePolyline(hatch, {{x - 3.0f, 16.4f}, {x + 3.0f, 9.6f}}, 0.55f, U);
    strokePolyline(hatch, {{x + 3.0f, 16.4f}, {x - 3.0f, 9.6f}}, 0.55f, U);
  }
  cv.paintSolid(intersect(hatch, cm), pal[0]);
  Mask stalk(S, S);
  strokePolyline(stalk, {{16.0f, 10.4f}, {16.2f, 8.2f}, {17.0f, 6.8f}}, 1.3f, U);
  cv.paintSolid(stalk, pal[0]);
  Image img = cv.downsample(F);
  quantizeToPalette(img);
  return img;
}

Image makeGlobe() {
  const int F = 8, S = 32 * F;
  const float u = static_cast<float>(F);
  Canvas cv(S, S);
  const Vec2 c{16.0f, 16.0f};
  const float R = 14.2f;
  Mask body = disc(S, u, c, R);
  Mask outline = disc(S, u, c, R + 0.9f);
  cv.paintSolid(outline, rgb8(16, 44, 110));
  const float tiltA = 0.4f;
  const uint32_t seed = 9091u;
  cv.paint(body, [&](float px, float py) {
    float x = (px / u - c.x) / R, y = (c.y - py / u) / R;
    float z = std::sqrt(std::max(0.0f, 1.0f - x * x - y * y));
    // Tilt the globe towards the viewer a little.
    float y2 = y * std::cos(tiltA) + z * std::sin(tiltA);
    float z2 = -y * std::sin(tiltA) + z * std::cos(tiltA);
    float lat = std::asin(std::clamp(y2, -1.0f, 1.0f));
    float lon = std::atan2(x, z2) + 0.6f;
    float land = fbm(lon * 1.15f + 5.0f, lat * 1.4f + 3.0f, seed, 4, 0.45f);
    bool isLand = land > 0.5f;
    Rgba col = isLand ? mix(rgb8(70, 168, 60), rgb8(176, 176, 92), smoothstep(0.56f, 0.72f, land))
                      : mix(rgb8(56, 136, 230), rgb8(30, 86, 190), smoothstep(0.25f, 0.5f, land));
    // Meridians and parallels.
    float mer = std::fabs(std::sin((lon)*3.0f));
    float par = std::fabs(std::sin(lat * 3.0f));
    float grid = std::max(smoothstep(0.12f, 0.0f, mer) * z, smoothstep(0.1f, 0.0f, par));
    col = mix(col, rgb8(210, 236, 255), 0.35f * grid);
    float d = -0.5f * x + 0.6f * y + 0.62f * z;
    float lum = 0.55f + 0.55f * std::clamp(d, 0.0f, 1.0f);
    float rim = smoothstep(0.75f, 1.0f, std::sqrt(x * x + y * y));
    col = mix(scaled(col, lum), rgb8(120, 190, 255), 0.35f * rim);
    return col;
  });
  Mask shine(S, S);
  fillContour(shine, ellipseContour({11.0f, 9.5f}, 5.0f, 3.2f, 48, -0.6f), Affine::scale(u));
  cv.paintSolid(blurred(intersect(shine, body), 10), Rgba{1, 1, 1, 0.55f});
  return cv.downsample(F);
}

Image makeSmile() {
  const int F = 8, S = 32 * F;
  const float u = static_cast<float>(F);
  Canvas cv(S, S);
  const Vec2 c{16.0f, 16.0f};
  const float R = 14.2f;
  cv.paintSolid(disc(S, u, c, R + 1.0f), rgb8(150, 84, 0));
  Mask face = disc(S, u, c, R);
  cv.paint(face, [&](float px, float py) {
    float x = (px / u - c.x) / R, y = (c.y - py / u) / R;
    float z = std::sqrt(std::max(0.0f, 1.0f - x * x - y * y));
    float d = -0.45f * x + 0.6f * y + 0.66f * z;
    Rgba col = mix(rgb8(244, 168, 20), rgb8(255, 226, 70), std::clamp(d, 0.0f, 1.0f));
    return col;
  });
  // Cheeks.
  for (float sx : {-1.0f, 1.0f}) {
    Mask ch(S, S);
    fillContour(ch, ellipseContour({16.0f + sx * 8.6f, 19.2f}, 2.4f, 1.6f, 32), Affine::scale(u));
    cv.paintSolid(blurred(ch, 8), rgb8(255, 120, 90), 0.45f);
  }
  // Eyes with a glint.
  for (float sx : {-1.0f, 1.0f}) {
    Mask eye(S, S);
    fillContour(eye, ellipseContour({16.0f + sx * 4.6f, 12.6f}, 1.7f, 2.6f, 40), Affine::scale(u));
    cv.paintSolid(eye, rgb8(70, 40, 10));
    Mask glint(S, S);
    fillContour(glint, ellipseContour({16.0f + sx * 4.6f - 0.5f, 11.5f}, 0.6f, 0.75f, 24),
                Affine::scale(u));
    cv.paintSolid(glint, rgb8(255, 255, 255), 0.9f);
  }
  Mask mouth(S, S);
  std::vector<Vec2> arc;
  for (int i = 0; i <= 24; ++i) {
    float a = kPi * (0.15f + 0.7f * static_cast<float>(i) / 24.0f);
    arc.push_back({16.0f - std::cos(a) * 8.0f, 16.6f + std::sin(a) * 6.0f});
  }
  std::vector<float> w;
  for (int i = 0; i <= 24; ++i)
    w.push_back(1.2f + 0.9f * std::sin(kPi * static_cast<float>(i) / 24.0f));
  strokePolyline(mouth, arc, w, Affine::scale(u));
  cv.paintSolid(mouth, rgb8(90, 44, 8));
  Mask shine(S, S);
  fillContour(shine, ellipseContour({11.0f, 7.6f}, 5.2f, 2.6f, 48, -0.45f), Affine::scale(u));
  cv.paintSolid(blurred(shine, 10), Rgba{1, 1, 1, 0.6f});
  return cv.downsample(F);
}

}  // namespace artgen
