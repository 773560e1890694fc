#include "backdrops.h"

#include <cmath>
#include <string>

#include "font.h"
#include "icons.h"
#include "rng.h"

namespace artgen {

namespace {

// 4x4 ordered dither thresholds.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

Image DitheredGradient::image() const {
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto& c = palette.rgb[indices[static_cast<size_t>(y) * w + x]];
      uint8_t* p = img.at(x, y);
      p[0] = c[0];
      p[1] = c[1];
      p[2] = c[2];
      p[3] = 255;
    }
  return img;
}

DitheredGradient makeGradient(std::array<uint8_t, 3> top, std::array<uint8_t, 3> bottom, int w,
                              int h) {
  DitheredGradient g;
  g.w = w;
  g.h = h;
  for (int i = 0; i < 16; ++i) {
    for (int ch = 0; ch < 3; ++ch) {
      int a = top[static_cast<size_t>(ch)], b = bottom[static_cast<size_t>(ch)];
      // Integer rounding keeps the end shades exact.
      g.palette.rgb[static_cast<size_t>(i)][static_cast<size_t>(ch)] =
          static_cast<uint8_t>((a * (15 - i) + b * i + 7) / 15);
    }
  }
  g.indices.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    // Position in sixteenths of a palette step, exact in integers.
    int pos = h > 1 ? (y * 15 * 16 + (h - 1) / 2) / (h - 1) : 0;
    int base = pos / 16, frac = pos % 16;
    if (base >= 15) {
      base = 15;
      frac = 0;
    }
    for (int x = 0; x < w; ++x) {
      int idx = base + (frac > kBayer[y & 3][x & 3] ? 1 : 0);
      g.indices[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(idx);
    }
  }
  return g;
}

namespace {

constexpr int kDiskW = 356, kDiskH = 330, kF = 4;

Affine px() { return Affine::scale(static_cast<float>(kF)); }

Mask shapeMask(const Contour& c) {
  Mask m(kDiskW * kF, kDiskH * kF);
  fillContour(m, c, px());
  return m;
}

// Rounded rectangle with the lower left corner cut off at 45 degrees.
Contour diskOutline() {
  const float x0 = 0, y0 = 0, x1 = 356, y1 = 330, r = 9, cut = 16;
  Contour c;
  auto arc = [&](float cx, float cy, float a0) {
    for (int i = 0; i <= 10; ++i) {
      float a = a0 + 0.5f * kPi * static_cast<float>(i) / 10.0f;
      c.push_back({cx + std::cos(a) * r, cy + std::sin(a) * r});
    }
  };
  arc(x1 - r, y0 + r, -0.5f * kPi);
  arc(x1 - r, y1 - r, 0.0f);
  c.push_back({x0 + cut + 2, y1});
  c.push_back({x0, y1 - cut - 2});
  arc(x0 + r, y0 + r, kPi);
  return c;
}

}  // namespace

Image makeAboutDisk() {
  const int S_W = kDiskW * kF, S_H = kDiskH * kF;
  Canvas cv(S_W, S_H);
  cv.fillAll(rgb8(0, 0, 128));
  const uint32_t seed = 35u;

  // Plastic body with a gentle sheen and a moulded bevel.
  Mask body = shapeMask(diskOutline());
  Mask inner = blurred(body, 10);
  cv.paint(body, [&](float x, float y) {
    float fx = x / kF, fy = y / kF;
    float t = fy / kDiskH;
    Rgba c = mix(rgb8(46, 54, 72), rgb8(28, 32, 44), t);
    c = mix(c, rgb8(58, 66, 86),
            0.35f * smoothstep(0.5f, 0.0f, std::fabs(fx / kDiskW - 0.3f - 0.2f * t)));
    float grain = valueNoise(fx * 0.9f, fy * 0.9f, seed) - 0.5f;
    c = scaled(c, 1.0f + 0.05f * grain);
    size_t i = static_cast<size_t>(y) * S_W + static_cast<size_t>(x);
    float e = smoothstep(0.9f, 0.45f, inner.v[i]);
    // Lit along the top and left edge, shaded along the bottom and right.
    float lit = (fx < 20.0f || fy < 20.0f) && fx + fy < kDiskW ? 1.0f : 0.0f;
    float dark = (fx > kDiskW - 20.0f || fy > kDiskH - 20.0f) ? 1.0f : 0.0f;
    c = mix(c, rgb8(96, 106, 128), 0.7f * e * lit);
    c = mix(c, rgb8(12, 14, 20), 0.7f * e * dark);
    return c;
  });

  // Write-protect and density windows at the top corners.
  for (int side = 0; side < 2; ++side) {
    float x0 = side == 0 ? 12.0f : 326.0f;
    Mask hole = shapeMask(roundRectContour(x0, 11.0f, x0 + 18.0f, 27.0f, 1.5f));
    cv.paintSolid(hole, rgb8(6, 6, 10));
    Mask lip = shapeMask(roundRectContour(x0 + 1.0f, 12.0f, x0 + 17.0f, 14.0f, 0.5f));
    cv.paintSolid(lip, rgb8(20, 22, 30));
    if (side == 0) {
      Mask tab = shapeMask(roundRectContour(x0 + 2.0f, 19.0f, x0 + 16.0f, 26.0f, 1.0f));
      cv.paintSolid(tab, rgb8(70, 76, 92));
      Mask notch = shapeMask(rectContour(x0 + 6.0f, 21.5f, x0 + 12.0f, 23.5f));
      cv.paintSolid(notch, rgb8(40, 44, 56));
    }
  }

  // Label recess, then the label with a coloured band along its top.
  Mask recess = shapeMask(roundRectContour(29.0f, 33.0f, 329.0f, 227.0f, 8.0f));
  cv.paintSolid(recess, rgb8(20, 23, 32));
  Mask recessLit = shapeMask(roundRectContour(30.0f, 34.0f, 329.0f, 227.0f, 8.0f));
  cv.paintSolid(recessLit, rgb8(66, 74, 92));
  Mask label = shapeMask(roundRectContour(32.0f, 36.0f, 326.0f, 224.0f, 6.0f));
  cv.paint(label, [&](float x, float y) {
    float fy = y / kF;
    Rgba c = rgb8(255, 255, 255);
    if (fy < 46.0f)
      c = mix(rgb8(236, 98, 30), rgb8(246, 150, 40), smoothstep(0.0f, 356.0f, x / kF));
    if (fy >= 46.0f && fy < 47.5f) c = rgb8(200, 64, 24);
    // Faint ruled lines only in the margins the dialog never writes over.
    return c;
  });

  // Shutter recess in the plastic and the sliding metal plate.
  Mask slide = shapeMask(roundRectContour(132.0f, 231.0f, 338.0f, 340.0f, 4.0f));
  cv.paintSolid(slide, rgb8(24, 28, 38));
  Mask plate = shapeMask(rectContour(150.0f, 235.0f, 320.0f, 331.0f));
  Mask plateEdge = blurred(plate, 6);
  cv.paint(plate, [&](float x, float y) {
    float fx = x / kF, fy = y / kF;
    float brushed = fbm(fx * 0.05f, fy * 3.0f, seed + 2, 3);
    Rgba c = mix(rgb8(214, 218, 224), rgb8(158, 164, 172), (fy - 235.0f) / 95.0f);
    c = mix(c, rgb8(236, 238, 242),
            0.35f * smoothstep(0.2f, 0.0f, std::fabs((fx - 150.0f) / 170.0f - 0.25f)));
    c = scaled(c, 0.95f + 0.1f * brushed);
    size_t i = static_cast<size_t>(y) * S_W + static_cast<size_t>(x);
    float e = smoothstep(0.9f, 0.45f, plateEdge.v[i]);
    c = mix(c, fx < 235.0f && fy < 300.0f ? rgb8(246, 248, 250) : rgb8(110, 114, 122), 0.5f * e);
    return c;
  });
  // The window in the shutter, with the brown disk surface behind it.
  Mask window = shapeMask(roundRectContour(214.0f, 247.0f, 243.0f, 319.0f, 2.0f));
  cv.paintSolid(window, rgb8(40, 40, 46));
  Mask media = shapeMask(roundRectContour(216.0f, 250.0f, 241.0f, 317.0f, 1.5f));
  cv.paint(media, [&](float x, float y) {
    float fy = y / kF;
    Rgba c = mix(rgb8(92, 66, 44), rgb8(62, 44, 30), (fy - 250.0f) / 67.0f);
    float ring = std::sin(
        std::sqrt((x / kF - 228.0f) * (x / kF - 228.0f) + (fy - 380.0f) * (fy - 380.0f)) * 1.7f);
    return scaled(c, 0.92f + 0.08f * ring);
  });
  Mask slotShade = shapeMask(rectContour(216.0f, 250.0f, 241.0f, 253.0f));
  cv.paintSolid(slotShade, rgb8(20, 16, 14), 0.6f);
  // Rivet-like dimples near the plate's ends.
  for (float rx : {160.0f, 310.0f}) {
    Mask dimple = shapeMask(ellipseContour({rx, 243.0f}, 2.2f, 2.2f, 24));
    cv.paintSolid(dimple, rgb8(120, 124, 132));
  }
  // Moulded arrow showing which way the disk goes in.
  {
    Contour arrow = {{70.0f, 262.0f}, {86.0f, 262.0f}, {86.0f, 282.0f}, {94.0f, 282.0f},
                     {78.0f, 300.0f}, {62.0f, 282.0f}, {70.0f, 282.0f}};
    Mask a = shapeMask(arrow);
    Mask shade = shapeMask(transformed(arrow, Affine::translate(1.0f, 1.0f)));
    cv.paintSolid(shade, rgb8(16, 18, 26));
    cv.paintSolid(a, rgb8(64, 72, 92));
  }

  Image img = cv.downsample(kF);

  // Word mark: a small maple leaf and "Sarvel" in our own letters.
  const WordMark wm = sarvelWordMark();
  const int leafSize = 24;
  const float capPx = 17.0f;  // cap height in pixels
  const float unit = capPx / 10.0f;
  const float textW = wm.advance * unit;
  const float groupW = static_cast<float>(leafSize) + 6.0f + textW;
  const float gx = 179.0f - groupW * 0.5f;
  Image leaf = makeLogoLeaf(leafSize);
  blit(img, leaf, static_cast<int>(std::lround(gx)), 52);
  {
    const int F = 8;
    const int tw = static_cast<int>(std::ceil(textW)) + 6, th = 24;
    Canvas tc(tw * F, th * F);
    Mask ink(tw * F, th * F);
    Affine T = Affine::scale(unit)
                   .then(Affine::translate(2.0f, 3.5f))
                   .then(Affine::scale(static_cast<float>(F)));
    for (const auto& s : wm.strokes) strokePolyline(ink, s, wm.pen, T);
    tc.paint(ink, [&](float, float y) {
      float t = y / static_cast<float>(th * F);
      return mix(rgb8(150, 40, 16), rgb8(96, 26, 12), t);
    });
    Image text = tc.downsample(F);
    blit(img, text, static_cast<int>(std::lround(gx + leafSize + 6.0f)) - 2, 52);
  }

  const std::string motto = "Autumn scenes for your screen";
  const int mx = 179 - pixelTextWidth(motto) / 2;
  drawPixelText(img, motto, mx, 201, 1, 112, 112, 118);
  return img;
}

}  // namespace artgen
