// The mushroom species and the forty mushroom sprites.
#include "mushrooms.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "fungus.h"

namespace artgen {

using namespace fungus;

namespace {

const Rgba kWhite = rgb8(246, 242, 232);

enum class StemDeco { None, Fibrils, Net, Scabers, Snakeskin, Volva, Zones };
enum class CapDeco { None, Warts, Patches, Scales, Striate, Cracks, Fibres };

// A gilled or pored mushroom: stem, optional ring, underside and cap.
struct Agaric {
  float footX = 16.0f;
  float stemH = 13.0f;
  float stemWb = 4.0f;
  float stemWt = 3.2f;
  float bulb = 0.0f;
  float bulbH = 3.0f;
  float lean = 0.0f;
  Rgba stemTop = kWhite;
  Rgba stemBase = rgb8(232, 222, 196);
  StemDeco stemDeco = StemDeco::Fibrils;
  Rgba stemDecoCol = rgb8(200, 190, 170);

  float ringY = 0.0f;  // 0: no ring
  float ringDrop = 1.8f;
  float ringFlare = 1.0f;
  Rgba ringCol = kWhite;

  float capW = 20.0f;
  float capH = 9.0f;
  std::function<float(float)> profile;  // height share at radius share r
  float roll = 0.0f;     // rounded margin below the rim line
  float rollIn = 0.12f;
  float capTilt = 0.0f;
  Rgba capTop = rgb8(200, 30, 20);
  Rgba capRim = rgb8(226, 70, 30);
  float capGloss = 0.15f;
  float capShine = 18.0f;
  CapDeco capDeco = CapDeco::None;
  Rgba capDecoCol = kWhite;
  float decoDensity = 1.0f;
  float decoSize = 1.0f;
  float paleMargin = 0.0f;  // pale band at the very rim
  Rgba marginCol = rgb8(236, 226, 200);
  float centreDark = 0.0f;  // darker disc at the top
  Rgba centreCol = rgb8(120, 70, 40);

  float underH = 2.0f;
  Rgba gillCol = rgb8(240, 232, 210);
  bool pores = false;
  bool showUnder = true;
  uint32_t seed = 1;
};

float convex(float r) { return std::sqrt(std::max(0.0f, 1.0f - r * r)); }
std::function<float(float)> dome(float p, float q) {
  return [p, q](float r) { return std::pow(std::max(0.0f, 1.0f - std::pow(r, p)), q); };
}
std::function<float(float)> flatUmbo(float umbo) {
  return [umbo](float r) {
    float body = std::pow(std::max(0.0f, 1.0f - std::pow(r, 3.0f)), 0.35f);
    return (body * (1.0f - umbo) + umbo * std::exp(-(r / 0.22f) * (r / 0.22f)));
  };
}
std::function<float(float)> bell(float p) {
  return [p](float r) { return std::pow(std::max(0.0f, 1.0f - std::pow(r, p)), 0.8f); };
}

Lathe capLathe(Vec2 base, float tilt, float W, float H, const std::function<float(float)>& P,
               float roll, float rollIn) {
  const float half = W * 0.5f;
  auto R = [&](float y) {
    if (y < 0.0f) {
      float q = roll > 0.0f ? std::clamp(-y / roll, 0.0f, 1.0f) : 1.0f;
      return half * (1.0f - rollIn * (1.0f - std::sqrt(std::max(0.0f, 1.0f - q * q))));
    }
    // Largest radius whose profile still reaches this height.
    for (int i = 400; i >= 0; --i) {
      float r = static_cast<float>(i) / 400.0f;
      if (P(r) * H >= y) return r * half;
    }
    return 0.0f;
  };
  return Lathe(base, tilt, roll > 0.0f ? -roll : -0.01f, H, R, 240);
}

Rgba stemColor(const Agaric& a, const Surface& s) {
  float t = clamp01(s.y / a.stemH);
  Rgba c = mix(a.stemBase, a.stemTop, smoothstep(0.0f, 0.8f, t));
  float around = s.theta * std::max(1.0f, s.R);
  switch (a.stemDeco) {
    case StemDeco::Fibrils: {
      float f = fbm(around * 1.6f, s.y * 0.25f, a.seed + 5, 3);
      c = scaled(c, 0.93f + 0.14f * f);
      break;
    }
    case StemDeco::Net: {
      CellDist cd = cellNoise(around * 1.3f, s.y * 1.0f, a.seed + 6);
      float line = smoothstep(0.16f, 0.05f, cd.d2 - cd.d1) * smoothstep(0.0f, 0.5f, t);
      c = mix(c, a.stemDecoCol, 0.65f * line);
      break;
    }
    case StemDeco::Scabers: {
      CellDist cd = cellNoise(around * 1.9f, s.y * 1.1f, a.seed + 7);
      float r = 0.18f + 0.12f * static_cast<float>(cd.id & 255u) / 255.0f;
      c = mix(c, a.stemDecoCol, smoothstep(r, r * 0.6f, cd.d1) * (0.6f + 0.4f * (1.0f - t)));
      break;
    }
    case StemDeco::Snakeskin: {
      float wob = 0.35f * std::sin(around * 2.2f + s.y) + 0.4f * fbm(around, s.y, a.seed + 8, 2);
      float band = s.y * 0.55f + wob;
      float f = band - std::floor(band);
      float below = a.ringY > 0.0f ? smoothstep(a.ringY, a.ringY - 1.0f, s.y) : 1.0f;
      c = mix(c, a.stemDecoCol, below * 0.85f * smoothstep(0.55f, 0.7f, f) * smoothstep(0.95f, 0.85f, f));
      break;
    }
    case StemDeco::Volva: {
      float f = fbm(around * 1.6f, s.y * 0.25f, a.seed + 5, 3);
      c = scaled(c, 0.95f + 0.1f * f);
      if (s.y < a.bulbH * 1.2f) {
        CellDist cd = cellNoise(around * 1.4f, s.y * 1.6f, a.seed + 9);
        float wart = smoothstep(0.38f, 0.25f, cd.d1);
        c = mix(c, scaled(c, 0.78f), smoothstep(0.48f, 0.38f, cd.d1) * (1.0f - wart));
        c = mix(c, kWhite, wart);
      }
      break;
    }
    case StemDeco::Zones: {
      float band = std::sin(s.y * 1.4f + fbm(around, s.y, a.seed + 8, 2) * 3.0f);
      c = mix(c, a.stemDecoCol, 0.35f * smoothstep(0.3f, 0.9f, band));
      break;
    }
    case StemDeco::None:
      break;
  }
  return c;
}

Rgba capColor(const Agaric& a, const Surface& s) {
  const float half = a.capW * 0.5f;
  float rn = clamp01(s.R / half);
  if (s.y < 0.0f) rn = 1.0f;
  Rgba c = mix(a.capTop, a.capRim, smoothstep(0.05f, 1.0f, rn));
  float n = fbm(s.tx * 0.5f + 5.0f, s.ty * 0.5f, a.seed + 11, 3);
  c = scaled(c, 0.92f + 0.16f * n);
  if (a.centreDark > 0.0f) c = mix(c, a.centreCol, a.centreDark * smoothstep(0.45f, 0.15f, rn));
  if (a.paleMargin > 0.0f) {
    c = mix(c, a.marginCol, smoothstep(half - a.paleMargin, half, s.R) * smoothstep(0.2f, -0.2f, s.y));
  }
  const float k = a.decoDensity;
  switch (a.capDeco) {
    case CapDeco::Warts:
    case CapDeco::Patches: {
      CellDist cd = cellNoise(s.tx * 0.45f * k + 0.3f, s.ty * 0.45f * k, a.seed + 12);
      float r = a.decoSize * (0.22f + 0.14f * static_cast<float>(cd.id & 255u) / 255.0f);
      if (a.capDeco == CapDeco::Patches) r *= 1.4f;
      float keep = static_cast<float>((cd.id >> 8) & 255u) / 255.0f < 0.8f ? 1.0f : 0.0f;
      float wart = keep * smoothstep(r, r * 0.7f, cd.d1);
      float rim = keep * smoothstep(r * 1.3f, r * 1.05f, cd.d1) * (1.0f - wart);
      c = mix(c, scaled(c, 0.7f), 0.6f * rim);
      c = mix(c, a.capDecoCol, wart);
      break;
    }
    case CapDeco::Scales: {
      // Concentric rows of brown scales, denser towards the centre.
      float rows = s.arc * 0.6f * k;
      float row = std::floor(rows);
      float f = rows - row;
      float around = s.theta * s.arc * 0.55f * k + row * 0.5f;
      float g = around - std::floor(around);
      float scale = smoothstep(0.55f, 0.35f, std::fabs(g - 0.5f) + 0.5f * f) * smoothstep(0.0f, 0.2f, f);
      float dense = smoothstep(4.0f, 0.0f, s.arc);
      c = mix(c, a.capDecoCol, std::max(dense, 0.85f * scale));
      break;
    }
    case CapDeco::Striate: {
      float lines = std::sin(s.theta * 40.0f * k);
      c = mix(c, scaled(c, 0.72f), 0.5f * smoothstep(0.5f, 1.0f, lines) * smoothstep(0.4f, 0.9f, rn));
      break;
    }
    case CapDeco::Cracks: {
      CellDist cd = cellNoise(s.tx * 0.7f * k, s.ty * 0.7f * k, a.seed + 13);
      c = mix(c, a.capDecoCol, 0.8f * smoothstep(0.12f, 0.03f, cd.d2 - cd.d1) * smoothstep(0.3f, 0.7f, rn));
      break;
    }
    case CapDeco::Fibres: {
      float f = fbm(s.theta * 14.0f * k, s.arc * 0.4f, a.seed + 14, 3);
      c = mix(c, a.capDecoCol, 0.5f * smoothstep(0.45f, 0.75f, f) * smoothstep(0.1f, 0.6f, rn));
      break;
    }
    case CapDeco::None:
      break;
  }
  return c;
}

void drawUnderside(Studio& st, const Agaric& a, const Lathe& cap) {
  const float rx = a.capW * 0.5f * (1.0f - a.rollIn * (a.roll > 0.0f ? 1.0f : 0.3f)) * 0.97f;
  const float top = a.roll > 0.0f ? -a.roll * 0.6f : 0.0f;
  const float ry = a.underH;
  Contour c;
  for (int i = 0; i <= 48; ++i) {
    float ang = kPi + kPi * static_cast<float>(i) / 48.0f;
    c.push_back(cap.toSprite({rx * std::cos(ang), top + ry * std::sin(ang)}));
  }
  c.push_back(cap.toSprite({rx, top + 0.4f}));
  c.push_back(cap.toSprite({-rx, top + 0.4f}));
  Mask m = st.fill(c);
  st.canvas().paint(m, [&](float x, float y) {
    Vec2 l = cap.toLocal(st.toSprite(x, y));
    float t = clamp01((top - l.y) / ry);
    Rgba col = a.gillCol;
    if (a.pores) {
      float n = valueNoise(l.x * 2.6f, l.y * 2.6f, a.seed + 21);
      col = scaled(col, 0.85f + 0.2f * n);
    } else {
      float ang = std::atan2(l.x, (l.y - (top - ry * 1.15f)));
      float g = std::sin(ang * 46.0f);
      col = mix(col, scaled(col, 0.62f), 0.6f * smoothstep(0.2f, 0.9f, g) * (0.4f + 0.6f * t));
    }
    float lum = 0.5f + 0.42f * t - 0.12f * std::fabs(l.x) / rx;
    return scaled(col, lum);
  });
}

void drawRing(Studio& st, const Agaric& a, const Lathe& stem) {
  const float y1 = a.ringY, y0 = a.ringY - a.ringDrop;
  Lathe ring(stem.base(), stem.tilt(), y0, y1, [&](float y) {
    float q = clamp01((y1 - y) / a.ringDrop);
    float r = stem.radius(std::clamp(y, stem.y0(), stem.y1()));
    return r + 0.2f + a.ringFlare * std::pow(q, 0.7f) - 0.25f * a.ringFlare * q * q * q;
  });
  Shading sh;
  sh.edgeDark = 0.2f;
  paintLathe(st, ring, [&](const Surface& s) {
    float q = clamp01((y1 - s.y) / a.ringDrop);
    Rgba c = mix(a.ringCol, scaled(a.ringCol, 0.8f), q * q);
    float f = std::sin(s.theta * 24.0f) * 0.5f + 0.5f;
    return scaled(c, 0.94f + 0.08f * f);
  }, sh);
}

void drawAgaric(Studio& st, const Agaric& a) {
  Lathe stem({a.footX, 32.8f}, a.lean, 0.0f, a.stemH + 1.0f, [&](float y) {
    float t = clamp01(y / a.stemH);
    float r = 0.5f * lerpf(a.stemWb, a.stemWt, t);
    r += a.bulb * std::exp(-(y / a.bulbH) * (y / a.bulbH));
    return r;
  });
  Shading ss;
  ss.ambient = 0.5f;
  ss.diffuse = 0.62f;
  ss.edgeDark = 0.3f;
  paintLathe(st, stem, [&](const Surface& s) { return stemColor(a, s); }, ss);
  if (a.ringY > 0.0f) drawRing(st, a, stem);

  Vec2 capBase = stem.toSprite({0.0f, a.stemH});
  Lathe cap = capLathe(capBase, a.lean + a.capTilt, a.capW, a.capH, a.profile ? a.profile : convex,
                       a.roll, a.rollIn);
  if (a.showUnder) drawUnderside(st, a, cap);
  Shading cs;
  cs.gloss = a.capGloss;
  cs.shininess = a.capShine;
  paintLathe(st, cap, [&](const Surface& s) { return capColor(a, s); }, cs);
}

// ----- Species -----------------------------------------------------------

Agaric flyAgaric(int stage, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(196, 22, 18);
  a.capRim = rgb8(232, 74, 28);
  a.capGloss = 0.28f;
  a.capShine = 22.0f;
  a.capDeco = CapDeco::Warts;
  a.decoDensity = 0.46f;
  a.decoSize = 1.5f;
  a.stemDeco = StemDeco::Volva;
  a.stemTop = rgb8(248, 246, 236);
  a.stemBase = rgb8(238, 232, 212);
  a.lean = rng.jitter(0.06f);
  switch (stage) {
    case 0:  // button, still almost round
      a.stemH = 10.0f;
      a.stemWb = 8.0f;
      a.stemWt = 6.0f;
      a.bulb = 2.2f;
      a.bulbH = 3.5f;
      a.capW = 18.0f;
      a.capH = 10.5f;
      a.roll = 3.0f;
      a.rollIn = 0.2f;
      a.profile = dome(2.0f, 0.6f);
      a.showUnder = false;
      a.decoDensity = 0.8f;
      a.decoSize = 1.1f;
      break;
    case 1:  // young, hemispherical
      a.stemH = 12.0f;
      a.stemWb = 6.0f;
      a.stemWt = 4.4f;
      a.bulb = 1.6f;
      a.bulbH = 3.0f;
      a.capW = 22.0f;
      a.capH = 11.0f;
      a.roll = 1.5f;
      a.rollIn = 0.15f;
      a.profile = dome(2.0f, 0.6f);
      a.underH = 2.0f;
      a.ringY = 10.0f;
      a.ringDrop = 2.2f;
      break;
    case 2:  // mature, convex
      a.stemH = 17.0f;
      a.stemWb = 5.2f;
      a.stemWt = 3.8f;
      a.bulb = 1.4f;
      a.capW = 28.0f;
      a.capH = 9.0f;
      a.profile = dome(2.2f, 0.55f);
      a.underH = 2.6f;
      a.ringY = 14.0f;
      a.ringDrop = 2.6f;
      a.ringFlare = 1.3f;
      break;
    default:  // old, flat
      a.stemH = 19.0f;
      a.stemWb = 5.0f;
      a.stemWt = 3.6f;
      a.bulb = 1.3f;
      a.capW = 30.0f;
      a.capH = 5.5f;
      a.profile = dome(3.0f, 0.45f);
      a.capTilt = rng.jitter(0.08f);
      a.underH = 3.0f;
      a.ringY = 15.5f;
      a.ringDrop = 2.4f;
      a.ringFlare = 1.2f;
      a.capTop = rgb8(214, 40, 22);
      a.capRim = rgb8(240, 110, 36);
      a.decoDensity = 0.5f;
      break;
  }
  return a;
}


Agaric pantherCap(bool young, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(92, 62, 40);
  a.capRim = rgb8(170, 132, 92);
  a.capGloss = 0.18f;
  a.capDeco = CapDeco::Warts;
  a.capDecoCol = rgb8(250, 248, 240);
  a.decoDensity = 0.6f;
  a.decoSize = 1.2f;
  a.stemDeco = StemDeco::Volva;
  a.lean = rng.jitter(0.08f);
  if (young) {
    a.stemH = 11.0f;
    a.stemWb = 5.5f;
    a.stemWt = 4.0f;
    a.bulb = 2.0f;
    a.capW = 20.0f;
    a.capH = 10.0f;
    a.roll = 1.2f;
    a.profile = dome(2.0f, 0.6f);
    a.underH = 1.6f;
  } else {
    a.stemH = 17.0f;
    a.stemWb = 4.6f;
    a.stemWt = 3.4f;
    a.bulb = 1.8f;
    a.capW = 27.0f;
    a.capH = 6.5f;
    a.profile = dome(2.6f, 0.5f);
    a.underH = 2.6f;
    a.ringY = 10.5f;
    a.ringDrop = 2.0f;
  }
  return a;
}

Agaric pennyBun(int kind, Rng& rng) {
  // 0 mature, 1 young button, 2 small
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(112, 64, 34);
  a.capRim = rgb8(168, 112, 62);
  a.paleMargin = 0.9f;
  a.marginCol = rgb8(226, 206, 170);
  a.capGloss = 0.16f;
  a.capShine = 14.0f;
  a.pores = true;
  a.gillCol = rgb8(236, 226, 172);
  a.stemDeco = StemDeco::Net;
  a.stemTop = rgb8(236, 226, 200);
  a.stemBase = rgb8(208, 186, 146);
  a.stemDecoCol = rgb8(250, 246, 236);
  a.profile = dome(2.0f, 0.5f);
  a.roll = 2.0f;
  a.rollIn = 0.12f;
  a.lean = rng.jitter(0.06f);
  if (kind == 0) {
    a.stemH = 12.0f;
    a.stemWb = 11.0f;
    a.stemWt = 6.5f;
    a.bulb = 1.2f;
    a.bulbH = 5.0f;
    a.capW = 28.0f;
    a.capH = 10.0f;
    a.underH = 2.2f;
  } else if (kind == 1) {
    a.stemH = 10.0f;
    a.stemWb = 14.0f;
    a.stemWt = 10.0f;
    a.bulb = 1.0f;
    a.bulbH = 5.0f;
    a.capW = 19.0f;
    a.capH = 10.0f;
    a.roll = 2.5f;
    a.rollIn = 0.16f;
    a.underH = 1.0f;
    a.capTop = rgb8(130, 80, 42);
    a.capRim = rgb8(186, 140, 90);
    a.gillCol = rgb8(246, 242, 228);
  } else {
    a.stemH = 7.0f;
    a.stemWb = 7.5f;
    a.stemWt = 5.0f;
    a.bulbH = 3.0f;
    a.capW = 15.0f;
    a.capH = 7.0f;
    a.roll = 1.4f;
    a.underH = 1.2f;
  }
  return a;
}

Agaric bayBolete(Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(96, 46, 26);
  a.capRim = rgb8(140, 72, 36);
  a.capGloss = 0.35f;
  a.capShine = 26.0f;
  a.pores = true;
  a.gillCol = rgb8(224, 206, 92);
  a.stemDeco = StemDeco::Fibrils;
  a.stemTop = rgb8(214, 186, 120);
  a.stemBase = rgb8(170, 126, 80);
  a.profile = dome(2.2f, 0.5f);
  a.roll = 1.6f;
  a.rollIn = 0.1f;
  a.stemH = 14.0f;
  a.stemWb = 6.5f;
  a.stemWt = 4.6f;
  a.bulb = 0.6f;
  a.capW = 26.0f;
  a.capH = 9.0f;
  a.underH = 2.4f;
  a.lean = rng.jitter(0.1f);
  a.capTilt = rng.jitter(0.06f);
  return a;
}

Agaric birchBolete(bool young, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(200, 84, 28);
  a.capRim = rgb8(222, 112, 40);
  a.capGloss = 0.16f;
  a.pores = true;
  a.gillCol = rgb8(222, 216, 202);
  a.stemDeco = StemDeco::Scabers;
  a.stemDecoCol = rgb8(44, 34, 28);
  a.stemTop = rgb8(236, 232, 222);
  a.stemBase = rgb8(214, 206, 190);
  a.profile = dome(2.0f, 0.55f);
  a.roll = 1.6f;
  a.rollIn = 0.12f;
  a.lean = rng.jitter(0.08f);
  if (young) {
    a.stemH = 11.0f;
    a.stemWb = 8.0f;
    a.stemWt = 5.5f;
    a.capW = 18.0f;
    a.capH = 10.0f;
    a.roll = 2.2f;
    a.underH = 1.2f;
  } else {
    a.stemH = 19.0f;
    a.stemWb = 5.6f;
    a.stemWt = 3.8f;
    a.capW = 24.0f;
    a.capH = 9.0f;
    a.underH = 2.2f;
  }
  return a;
}

Agaric parasol(bool young, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(112, 78, 50);
  a.capRim = rgb8(228, 214, 190);
  a.capDeco = CapDeco::Scales;
  a.capDecoCol = rgb8(140, 100, 66);
  a.capGloss = 0.05f;
  a.stemDeco = StemDeco::Snakeskin;
  a.stemDecoCol = rgb8(150, 112, 80);
  a.stemTop = rgb8(236, 226, 206);
  a.stemBase = rgb8(214, 198, 170);
  a.lean = rng.jitter(0.07f);
  a.bulb = 1.3f;
  a.bulbH = 2.0f;
  if (young) {
    a.stemH = 16.0f;
    a.stemWb = 3.2f;
    a.stemWt = 2.6f;
    a.capW = 13.0f;
    a.capH = 12.0f;
    a.profile = dome(1.8f, 0.85f);
    a.roll = 2.0f;
    a.rollIn = 0.25f;
    a.showUnder = false;
    a.decoDensity = 1.3f;
  } else {
    a.stemH = 21.0f;
    a.stemWb = 3.4f;
    a.stemWt = 2.4f;
    a.capW = 30.0f;
    a.capH = 6.0f;
    a.profile = flatUmbo(0.4f);
    a.underH = 2.2f;
    a.ringY = 17.0f;
    a.ringDrop = 1.6f;
    a.ringFlare = 1.2f;
    a.capTilt = rng.jitter(0.06f);
  }
  return a;
}

Agaric russula(int colour, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.stemDeco = StemDeco::Fibrils;
  a.stemTop = rgb8(250, 248, 242);
  a.stemBase = rgb8(236, 232, 222);
  a.gillCol = rgb8(246, 240, 222);
  a.capGloss = 0.3f;
  a.capShine = 24.0f;
  a.profile = dome(3.0f, 0.4f);
  a.stemH = 11.0f + rng.range(0.0f, 2.0f);
  a.stemWb = 6.0f;
  a.stemWt = 5.4f;
  a.capW = 26.0f;
  a.capH = 5.5f;
  a.underH = 2.2f;
  a.lean = rng.jitter(0.08f);
  a.capTilt = rng.jitter(0.1f);
  if (colour == 0) {
    a.capTop = rgb8(190, 20, 36);
    a.capRim = rgb8(226, 50, 52);
  } else if (colour == 1) {
    a.capTop = rgb8(104, 134, 80);
    a.capRim = rgb8(150, 172, 110);
    a.capDeco = CapDeco::Cracks;
    a.capDecoCol = rgb8(200, 210, 170);
    a.capGloss = 0.12f;
  } else {
    a.capTop = rgb8(92, 30, 80);
    a.capRim = rgb8(150, 70, 120);
    a.centreDark = 0.5f;
    a.centreCol = rgb8(60, 20, 50);
  }
  return a;
}

Agaric blewit(float scale, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(150, 120, 140);
  a.capRim = rgb8(166, 136, 186);
  a.capGloss = 0.2f;
  a.gillCol = rgb8(186, 160, 208);
  a.stemDeco = StemDeco::Fibrils;
  a.stemTop = rgb8(190, 166, 212);
  a.stemBase = rgb8(160, 130, 180);
  a.profile = dome(2.4f, 0.45f);
  a.roll = 1.2f;
  a.rollIn = 0.15f;
  a.stemH = 10.0f * scale;
  a.stemWb = 7.0f * scale;
  a.stemWt = 4.6f * scale;
  a.bulb = 1.5f * scale;
  a.bulbH = 3.0f * scale;
  a.capW = 26.0f * scale;
  a.capH = 7.5f * scale;
  a.underH = 2.2f * scale;
  a.lean = rng.jitter(0.1f);
  a.capTilt = rng.jitter(0.08f);
  return a;
}

Agaric fieldMushroom(Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(226, 216, 200);
  a.capRim = rgb8(246, 242, 234);
  a.capDeco = CapDeco::Fibres;
  a.capDecoCol = rgb8(200, 186, 166);
  a.capGloss = 0.2f;
  a.gillCol = rgb8(170, 96, 90);
  a.stemDeco = StemDeco::Fibrils;
  a.profile = dome(2.2f, 0.6f);
  a.roll = 1.0f;
  a.stemH = 11.0f;
  a.stemWb = 5.0f;
  a.stemWt = 4.4f;
  a.capW = 26.0f;
  a.capH = 9.5f;
  a.underH = 2.6f;
  a.ringY = 9.0f;
  a.ringDrop = 1.2f;
  a.ringFlare = 0.7f;
  a.lean = rng.jitter(0.06f);
  return a;
}

Agaric hedgehogBase(Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.capTop = rgb8(218, 168, 110);
  a.capRim = rgb8(236, 196, 146);
  a.capGloss = 0.1f;
  a.gillCol = rgb8(244, 218, 176);
  a.pores = true;
  a.stemTop = rgb8(246, 236, 218);
  a.stemBase = rgb8(226, 206, 176);
  a.profile = dome(2.6f, 0.45f);
  a.roll = 1.5f;
  a.rollIn = 0.1f;
  a.stemH = 11.0f;
  a.stemWb = 6.4f;
  a.stemWt = 5.0f;
  a.capW = 27.0f;
  a.capH = 7.0f;
  a.underH = 1.6f;
  a.lean = rng.jitter(0.1f);
  a.capTilt = rng.range(0.05f, 0.14f) * (rng.chance(0.5f) ? 1.0f : -1.0f);
  return a;
}

// Small caps on long stems for clusters.
Agaric clusterCap(int kind, float foot, float lean, float height, float w, Rng& rng) {
  Agaric a;
  a.seed = rng.next();
  a.footX = foot;
  a.lean = lean;
  a.stemH = height;
  a.capW = w;
  a.capTilt = lean * 0.25f + rng.jitter(0.06f);
  switch (kind) {
    case 0:  // honey fungus
      a.capTop = rgb8(120, 80, 40);
      a.capRim = rgb8(206, 160, 76);
      a.capDeco = CapDeco::Fibres;
      a.capDecoCol = rgb8(92, 62, 34);
      a.centreDark = 0.6f;
      a.centreCol = rgb8(96, 64, 34);
      a.capGloss = 0.12f;
      a.profile = flatUmbo(0.25f);
      a.capH = w * 0.3f;
      a.gillCol = rgb8(236, 220, 180);
      a.stemTop = rgb8(232, 210, 150);
      a.stemBase = rgb8(120, 86, 50);
      a.stemWb = w * 0.18f;
      a.stemWt = w * 0.2f;
      a.ringY = height - 2.0f;
      a.ringDrop = 1.2f;
      a.ringFlare = 0.6f;
      a.ringCol = rgb8(240, 224, 160);
      a.underH = w * 0.09f;
      break;
    case 1:  // sulphur tuft
      a.capTop = rgb8(214, 128, 46);
      a.capRim = rgb8(236, 214, 80);
      a.capGloss = 0.16f;
      a.profile = dome(2.2f, 0.5f);
      a.capH = w * 0.36f;
      a.gillCol = rgb8(180, 180, 80);
      a.stemTop = rgb8(236, 220, 110);
      a.stemBase = rgb8(190, 140, 60);
      a.stemWb = w * 0.17f;
      a.stemWt = w * 0.17f;
      a.underH = w * 0.09f;
      break;
    case 2:  // amethyst deceiver
      a.capTop = rgb8(92, 40, 130);
      a.capRim = rgb8(132, 76, 170);
      a.capDeco = CapDeco::Striate;
      a.decoDensity = 0.7f;
      a.capGloss = 0.1f;
      a.profile = dome(3.0f, 0.35f);
      a.capH = w * 0.25f;
      a.gillCol = rgb8(150, 96, 180);
      a.stemTop = rgb8(150, 110, 180);
      a.stemBase = rgb8(120, 80, 150);
      a.stemWb = w * 0.16f;
      a.stemWt = w * 0.14f;
      a.underH = w * 0.1f;
      break;
    default:  // bonnet
      a.capTop = rgb8(120, 100, 86);
      a.capRim = rgb8(186, 170, 150);
      a.capDeco = CapDeco::Striate;
      a.decoDensity = 0.45f;
      a.capGloss = 0.12f;
      a.profile = bell(1.4f);
      a.capH = w * 0.7f;
      a.gillCol = rgb8(230, 222, 210);
      a.stemTop = rgb8(200, 190, 176);
      a.stemBase = rgb8(140, 120, 100);
      a.stemWb = 1.7f;
      a.stemWt = 1.4f;
      a.underH = 0.9f;
      a.stemDeco = StemDeco::None;
      break;
  }
  return a;
}

void drawCluster(Studio& st, Rng& rng, int kind, int count, float spread, float maxH, float maxW) {
  struct Item {
    Agaric a;
    float z;
  };
  std::vector<Item> items;
  for (int i = 0; i < count; ++i) {
    float q = count > 1 ? static_cast<float>(i) / static_cast<float>(count - 1) * 2.0f - 1.0f : 0.0f;
    if (count == 2) q *= 0.5f;
    float foot = 16.0f + q * spread + rng.jitter(0.8f);
    float lean = q * 0.3f + rng.jitter(0.06f);
    float z = rng.uniform();
    float h = maxH * (0.55f + 0.45f * (1.0f - std::fabs(q))) * rng.range(0.85f, 1.05f);
    float w = maxW * (0.6f + 0.4f * (1.0f - std::fabs(q) * 0.7f)) * rng.range(0.85f, 1.05f);
    // Nearer ones are a little lower and bigger.
    h *= 0.9f + 0.15f * z;
    items.push_back({clusterCap(kind, foot, lean, h, w, rng), z});
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.z > b.z; });
  // Draw the tallest (furthest) first so nearer caps overlap them.
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.a.stemH > b.a.stemH; });
  for (const Item& it : items) drawAgaric(st, it.a);
}

// ----- Fungi of other forms ---------------------------------------------

void drawChanterelle(Studio& st, Rng& rng, float foot, float H, float W, float lean) {
  const uint32_t seed = rng.next();
  const float r0 = W * 0.09f + 0.6f;
  Lathe body({foot, 32.8f}, lean, 0.0f, H, [&](float y) {
    float t = clamp01(y / H);
    return r0 + (W * 0.5f - r0) * std::pow(t, 2.3f);
  });
  const Rgba yolk = rgb8(246, 178, 40), deep = rgb8(226, 138, 30);
  Shading sh;
  sh.ambient = 0.5f;
  sh.diffuse = 0.7f;
  paintLathe(st, body, [&](const Surface& s) {
    float t = clamp01(s.y / H);
    Rgba c = mix(mix(yolk, rgb8(250, 206, 110), 0.4f), yolk, t);
    float around = s.theta * 9.0f + 0.35f * std::sin(s.theta * 23.0f + 1.0f);
    float ridge = std::fabs(std::sin(around * (1.0f + t)));
    c = mix(c, deep, 0.55f * smoothstep(0.75f, 1.0f, ridge) * smoothstep(0.25f, 0.6f, t));
    return c;
  }, sh);
  // The open funnel seen a little from above, with a wavy margin.
  const float rx = W * 0.5f, ry = W * 0.17f;
  const float phase = rng.range(0.0f, 6.0f);
  Contour rim;
  for (int i = 0; i < 96; ++i) {
    float a = 2.0f * kPi * static_cast<float>(i) / 96.0f;
    float wave = 1.0f + 0.07f * std::sin(5.0f * a + phase) + 0.04f * std::sin(11.0f * a);
    rim.push_back(body.toSprite({rx * wave * std::cos(a), H + ry * wave * std::sin(a) * 0.95f}));
  }
  Mask top = st.fill(rim);
  st.canvas().paint(top, [&](float x, float y) {
    Vec2 l = body.toLocal(st.toSprite(x, y));
    float ex = l.x / rx, ey = (l.y - H) / ry;
    float d = std::sqrt(ex * ex + ey * ey);
    // Deeper towards the middle, the far inner wall catches the light.
    float lum = 0.7f + 0.3f * smoothstep(0.2f, 0.9f, d) + 0.15f * clamp01(ey) - 0.1f * clamp01(-ey);
    float n = fbm(l.x * 1.2f, l.y * 1.2f, seed, 3);
    Rgba c = mix(yolk, rgb8(252, 200, 70), 0.3f + 0.3f * n);
    c = mix(c, deep, 0.35f * smoothstep(0.5f, 0.0f, d));
    // Light edge along the near margin.
    c = mix(c, rgb8(255, 226, 140), 0.6f * smoothstep(0.8f, 1.0f, d) * clamp01(-ey * 2.0f));
    return scaled(c, lum);
  });
}

void drawInkCap(Studio& st, Rng& rng, bool old) {
  const uint32_t seed = rng.next();
  const float foot = 16.0f + rng.jitter(1.0f);
  const float lean = rng.jitter(0.06f);
  Agaric stemOnly;
  stemOnly.footX = foot;
  stemOnly.lean = lean;
  stemOnly.stemH = 12.0f;
  stemOnly.stemWb = 3.4f;
  stemOnly.stemWt = 2.6f;
  stemOnly.bulb = 0.8f;
  Lathe stem({foot, 32.8f}, lean, 0.0f, 13.0f, [&](float y) {
    return 0.5f * lerpf(stemOnly.stemWb, stemOnly.stemWt, clamp01(y / 12.0f)) +
           stemOnly.bulb * std::exp(-(y / 2.0f) * (y / 2.0f));
  });
  Shading ss;
  ss.ambient = 0.5f;
  ss.diffuse = 0.62f;
  paintLathe(st, stem, [&](const Surface& s) { return stemColor(stemOnly, s); }, ss);
  const float base = old ? 8.5f : 6.5f;
  const float H = old ? 19.0f : 23.0f;
  const float W = old ? 13.0f : 11.5f;
  Lathe cap(stem.toSprite({0.0f, base}), lean, 0.0f, H, [&](float y) {
    float t = clamp01(y / H);
    float r = W * 0.5f * std::pow(std::max(0.0f, 1.0f - std::pow(t, 2.6f)), 0.45f);
    if (old) r += 1.4f * smoothstep(0.25f, 0.0f, t);
    return r;
  });
  Shading cs;
  cs.ambient = 0.45f;
  cs.diffuse = 0.72f;
  paintLathe(st, cap, [&](const Surface& s) {
    float t = clamp01(s.y / H);
    Rgba c = kWhite;
    c = mix(c, rgb8(196, 164, 120), smoothstep(0.8f, 0.95f, t));
    // Shaggy scales in staggered rows, brown at their upturned tips.
    float rowsF = s.y * 0.62f;
    float row = std::floor(rowsF);
    float f = rowsF - row;
    float around = s.theta * s.R * 0.75f + row * 0.5f + 0.3f * valueNoise(row, 0.5f, seed);
    float g = around - std::floor(around);
    float scale = smoothstep(0.5f, 0.3f, std::fabs(g - 0.5f) + 0.45f * (1.0f - f));
    c = mix(c, rgb8(214, 186, 150), 0.7f * scale * smoothstep(0.1f, 0.5f, t + 0.2f));
    c = mix(c, scaled(c, 0.8f), 0.5f * smoothstep(0.12f, 0.0f, f));
    if (old) {
      float ink = smoothstep(0.34f, 0.12f, t + 0.06f * std::sin(s.theta * 7.0f));
      c = mix(c, rgb8(34, 30, 34), ink);
    }
    return c;
  }, cs);
  if (old) {
    // A few drops of ink falling from the rim.
    for (int i = 0; i < 3; ++i) {
      float x = rng.range(-W * 0.45f, W * 0.45f);
      Vec2 p = cap.toSprite({x, -rng.range(0.8f, 2.2f)});
      Mask d = st.fill(ellipseContour(p, 0.55f, 0.8f, 24));
      st.canvas().paintSolid(d, rgb8(30, 26, 30));
    }
  }
}

void drawPuffball(Studio& st, Rng& rng, float foot, float H, float Rh, bool old) {
  const uint32_t seed = rng.next();
  // Inverted pear: a narrow wrinkled base swelling into a round head.
  const float tw = 0.6f;
  const float yc = H * tw;
  Lathe body({foot, 32.8f}, rng.jitter(0.06f), 0.0f, H, [&](float y) {
    float t = clamp01(y / H);
    if (t >= tw) {
      float q = (t - tw) / (1.0f - tw);
      return Rh * std::sqrt(std::max(0.0f, 1.0f - q * q));
    }
    return Rh * (0.52f + 0.48f * std::pow(std::sin(0.5f * kPi * t / tw), 1.3f));
  });
  Shading sh;
  sh.ambient = 0.46f;
  sh.diffuse = 0.72f;
  sh.gloss = 0.08f;
  paintLathe(st, body, [&](const Surface& s) {
    Rgba c = old ? rgb8(214, 190, 146) : rgb8(244, 238, 222);
    float head = smoothstep(yc - 2.0f, yc + 1.0f, s.y);
    CellDist cd = cellNoise(s.tx * 0.8f, s.ty * 0.8f, seed);
    float wart = head * smoothstep(0.36f, 0.18f, cd.d1);
    c = mix(c, old ? rgb8(214, 196, 160) : rgb8(230, 222, 200), smoothstep(0.55f, 0.3f, cd.d1) * head);
    c = mix(c, old ? rgb8(130, 100, 66) : rgb8(176, 160, 128), 0.9f * wart);
    c = mix(c, rgb8(200, 176, 130), 0.5f * smoothstep(4.0f, 0.0f, s.arc));
    c = mix(c, scaled(c, 0.86f), (1.0f - head) * 0.5f * (0.5f + 0.5f * std::sin(s.theta * 14.0f)));
    if (old) c = mix(c, rgb8(120, 92, 60), smoothstep(1.6f, 0.8f, s.arc));
    return c;
  }, sh);
}

void drawMorel(Studio& st, Rng& rng, bool dark) {
  const uint32_t seed = rng.next();
  const float foot = 16.0f + rng.jitter(0.8f);
  const float lean = rng.jitter(0.06f);
  Agaric stemA;
  stemA.stemH = 10.0f;
  stemA.stemTop = rgb8(242, 234, 214);
  stemA.stemBase = rgb8(224, 210, 180);
  stemA.seed = seed;
  Lathe stem({foot, 32.8f}, lean, 0.0f, 11.0f, [&](float y) {
    return 3.4f + 0.9f * std::exp(-(y / 3.0f) * (y / 3.0f)) - 0.1f * y;
  });
  Shading ss;
  ss.ambient = 0.5f;
  ss.diffuse = 0.62f;
  paintLathe(st, stem, [&](const Surface& s) {
    Rgba c = stemColor(stemA, s);
    float fold = fbm(s.theta * 5.0f, s.y * 0.6f, seed + 2, 3);
    return scaled(c, 0.88f + 0.2f * fold);
  }, ss);
  const float H = 21.0f, W = 15.0f;
  Lathe cap(stem.toSprite({0.0f, 9.0f}), lean, 0.0f, H, [&](float y) {
    float t = clamp01(y / H);
    return W * 0.5f * std::pow(std::max(0.0f, 1.0f - std::pow(t, 1.7f)), 0.62f) *
           (0.86f + 0.14f * smoothstep(0.0f, 0.15f, t));
  });
  const Rgba ridgeCol = dark ? rgb8(130, 110, 90) : rgb8(226, 196, 136);
  const Rgba pitCol = dark ? rgb8(52, 40, 32) : rgb8(134, 94, 54);
  Shading cs;
  cs.ambient = 0.5f;
  cs.diffuse = 0.7f;
  paintLathe(st, cap, [&](const Surface& s) {
    float around = s.theta * W * 0.5f;
    CellDist cd = cellNoise(around * 0.75f, s.y * 0.42f, seed + 5);
    float edge = cd.d2 - cd.d1;
    float ridge = smoothstep(0.2f, 0.08f, edge);
    // Pits are darker at their upper side, where the ridge shades them.
    float pitShade = 0.75f + 0.25f * std::sin(cd.d1 * 3.0f);
    Rgba c = mix(scaled(pitCol, pitShade), ridgeCol, ridge);
    return c;
  }, cs);
}

void drawEarthstar(Studio& st, Rng& rng) {
  const uint32_t seed = rng.next();
  const float cx = 16.0f, gy = 26.5f;
  const int rays = rng.irange(7, 9);
  const float phase = rng.range(0.0f, 1.0f);
  const float lift = 3.2f;
  auto rayContour = [&](float a, float len) {
    std::vector<Vec2> left, right;
    for (int k = 0; k <= 16; ++k) {
      float t = static_cast<float>(k) / 16.0f;
      float w = 3.2f * std::pow(std::max(0.0f, std::sin(kPi * (0.5f + 0.5f * t))), 0.8f) + 0.05f;
      float r = t * len + 2.5f;
      float h = lift * (1.0f - t) * (1.0f - t) - 0.4f * t;
      Vec2 dir = polar(a, 1.0f), side = perp(dir);
      Vec2 pl = dir * r + side * w, pr = dir * r - side * w;
      left.push_back({cx + pl.x, gy - pl.y * 0.55f - h});
      right.push_back({cx + pr.x, gy - pr.y * 0.55f - h});
    }
    Contour c = left;
    for (size_t i = right.size(); i-- > 0;) c.push_back(right[i]);
    return c;
  };
  const Rgba inner = rgb8(222, 196, 160), outer = rgb8(150, 108, 72);
  auto drawRay = [&](float a, float len) {
    Mask m = st.fill(rayContour(a, len));
    Shading sh;
    sh.edgeDark = 0.45f;
    const float s = std::sin(a);
    paintPillow(st, m, [&](Vec2 p) {
      float n = fbm(p.x * 1.4f, p.y * 1.4f, seed + 3, 3);
      Rgba c = mix(inner, outer, 0.25f + 0.35f * n);
      CellDist cd = cellNoise(p.x * 1.1f, p.y * 1.8f, seed + 4);
      c = mix(c, outer, 0.5f * smoothstep(0.1f, 0.03f, cd.d2 - cd.d1));
      return scaled(c, s > 0.0f ? 0.8f : 1.0f);
    }, 0.5f, sh);
  };
  std::vector<std::pair<float, float>> list;
  for (int i = 0; i < rays; ++i) {
    float a = 2.0f * kPi * (static_cast<float>(i) + phase) / static_cast<float>(rays) + rng.jitter(0.15f);
    list.push_back({a, rng.range(9.0f, 11.0f)});
  }
  for (auto& r : list)
    if (std::sin(r.first) >= 0.0f) drawRay(r.first, r.second);
  // The saucer the rays spring from.
  {
    Mask saucer = st.fill(ellipseContour({cx, gy - lift + 0.4f}, 6.6f, 2.6f, 48));
    Shading sh;
    sh.edgeDark = 0.4f;
    paintPillow(st, saucer, [&](Vec2 p) {
      return mix(inner, rgb8(240, 222, 190), 0.4f * fbm(p.x * 2.0f, p.y * 2.0f, seed + 5, 2));
    }, 0.6f, sh);
  }
  // The spore sac with its pointed mouth.
  const float R = 5.2f;
  Lathe ball({cx, gy - lift + 0.8f}, rng.jitter(0.05f), 0.0f, 2.0f * R + 1.6f, [&](float y) {
    if (y <= 2.0f * R) return std::sqrt(std::max(0.0f, R * R - (y - R) * (y - R)));
    return 0.9f * (1.0f - (y - 2.0f * R) / 1.6f);
  });
  Shading bs;
  bs.ambient = 0.44f;
  bs.diffuse = 0.75f;
  paintLathe(st, ball, [&](const Surface& s) {
    Rgba c = mix(rgb8(176, 156, 134), rgb8(140, 120, 100), fbm(s.tx, s.ty, seed + 9, 3));
    c = mix(c, rgb8(210, 196, 176), smoothstep(2.0f, 0.5f, s.arc));
    return c;
  }, bs);
  for (auto& r : list)
    if (std::sin(r.first) < 0.0f) drawRay(r.first, r.second);
}

void drawCoral(Studio& st, Rng& rng) {
  Mask all = st.mask();
  std::vector<std::pair<Vec2, float>> tips;
  std::function<void(Vec2, float, float, float, int)> branch = [&](Vec2 p, float a, float len, float w,
                                                                   int depth) {
    Vec2 q = p + polar(a, len);
    Vec2 mid = lerp(p, q, 0.5f) + polar(a + kPi * 0.5f, rng.jitter(len * 0.12f));
    std::vector<Vec2> pts = {p, mid, q};
    unite(all, st.stroke(catmullRom(pts, false, 6), w, w * 0.78f));
    if (depth == 0 || q.y < 2.5f) {
      tips.push_back({q, w * 0.78f});
      return;
    }
    int n = rng.chance(0.25f) ? 3 : 2;
    for (int i = 0; i < n; ++i) {
      float spread = (static_cast<float>(i) - 0.5f * static_cast<float>(n - 1)) * rng.range(0.35f, 0.55f);
      float na = a + spread + rng.jitter(0.1f);
      na = std::clamp(na, -kPi * 0.92f, -kPi * 0.08f);
      branch(q, na, len * rng.range(0.62f, 0.78f), w * 0.72f, depth - 1);
    }
  };
  const int trunks = 3;
  for (int i = 0; i < trunks; ++i) {
    float x = 16.0f + (static_cast<float>(i) - 1.0f) * 2.2f + rng.jitter(0.5f);
    float a = -kPi * 0.5f + (static_cast<float>(i) - 1.0f) * 0.35f + rng.jitter(0.08f);
    branch({x, 33.0f}, a, rng.range(7.0f, 8.5f), 3.2f, 4);
  }
  const uint32_t seed = rng.next();
  Shading sh;
  sh.edgeDark = 0.35f;
  paintPillow(st, all, [&](Vec2 p) {
    float t = clamp01((32.0f - p.y) / 30.0f);
    Rgba c = mix(rgb8(246, 232, 170), rgb8(246, 196, 60), smoothstep(0.05f, 0.5f, t));
    c = mix(c, rgb8(236, 150, 50), smoothstep(0.55f, 1.0f, t));
    return scaled(c, 0.94f + 0.12f * fbm(p.x, p.y, seed, 2));
  }, 0.7f, sh);
  for (auto& tp : tips) {
    Mask m = st.fill(ellipseContour(tp.first, tp.second * 0.5f, tp.second * 0.5f, 16));
    st.canvas().paintSolid(m, rgb8(250, 214, 120), 0.7f);
  }
}

void drawHedgehog(Studio& st, Rng& rng) {
  Agaric a = hedgehogBase(rng);
  a.showUnder = false;
  Lathe stem({a.footX, 32.8f}, a.lean, 0.0f, a.stemH + 1.0f, [&](float y) {
    return 0.5f * lerpf(a.stemWb, a.stemWt, clamp01(y / a.stemH));
  });
  Shading ss;
  ss.ambient = 0.5f;
  ss.diffuse = 0.62f;
  paintLathe(st, stem, [&](const Surface& s) { return stemColor(a, s); }, ss);
  Vec2 capBase = stem.toSprite({0.0f, a.stemH});
  Lathe cap = capLathe(capBase, a.lean + a.capTilt, a.capW, a.capH, a.profile, a.roll, a.rollIn);
  // Spines hanging under the cap instead of gills.
  Mask spines = st.mask();
  const float half = a.capW * 0.5f * 0.92f;
  for (int i = 0; i < 26; ++i) {
    float x = -half + 2.0f * half * (static_cast<float>(i) + 0.5f) / 26.0f;
    float depth = std::sqrt(std::max(0.0f, 1.0f - (x / half) * (x / half)));
    float len = 1.0f + 1.6f * depth * rng.range(0.7f, 1.1f);
    if (std::fabs(x) < a.stemWt * 0.5f) continue;
    Vec2 p0 = cap.toSprite({x, -a.roll * 0.5f}), p1 = cap.toSprite({x * 0.97f, -a.roll * 0.5f - len});
    unite(spines, st.stroke({p0, p1}, 0.75f, 0.2f));
  }
  st.canvas().paintSolid(spines, rgb8(236, 206, 160));
  Shading cs;
  cs.gloss = a.capGloss;
  paintLathe(st, cap, [&](const Surface& s) { return capColor(a, s); }, cs);
}

void floor(Studio& st, Rng& rng, float cx, float width, int style) {
  groundShadow(st, cx, width * 0.5f);
  if (style == 0) {
    grassTuft(st, rng, cx, width * 0.55f, 6, 8.0f, true);
  } else if (style == 1) {
    mossCushion(st, rng, cx, width * 0.55f, 1.8f);
  } else {
    litter(st, rng, cx, width * 0.5f, 5);
  }
}

void floorFront(Studio& st, Rng& rng, float cx, float width, int style) {
  if (style == 0) {
    grassTuft(st, rng, cx, width * 0.5f, 3, 5.0f, true);
  } else if (style == 1) {
    mossCushion(st, rng, cx + rng.jitter(3.0f), width * 0.25f, 1.2f);
  } else {
    litter(st, rng, cx, width * 0.45f, 3);
  }
}

}  // namespace

std::vector<MushroomSprite> makeMushrooms(int size, const std::vector<int>& larger) {
  std::vector<MushroomSprite> out;
  int id = 101;
  auto emit = [&](const char* species, const std::function<void(Studio&, Rng&)>& draw) {
    const uint64_t seed = 0x5C00F000u + static_cast<uint64_t>(id) * 7717u;
    // A quick coarse pass measures the drawing; the final pass zooms it
    // about the foot so that it fills the square.
    Studio probe(32, 2);
    Rng probeRng(seed);
    draw(probe, probeRng);
    Image rough = probe.finish();
    int top = 32, maxHalf = 1;
    for (int y = 0; y < rough.h; ++y)
      for (int x = 0; x < rough.w; ++x) {
        if (rough.at(x, y)[3] < 48) continue;
        top = std::min(top, y);
        maxHalf = std::max(maxHalf, x < 16 ? 16 - x : x - 15);
      }
    float zoom = std::min(31.0f / static_cast<float>(32 - top), 15.8f / static_cast<float>(maxHalf));
    zoom = std::clamp(zoom, 0.8f, 1.6f);
    auto render = [&](int side) {
      Studio st(side, side >= 64 ? 4 : 8);
      st.setZoom(zoom);
      Rng rng(seed);
      draw(st, rng);
      return st.finish();
    };
    MushroomSprite sprite{id, species, render(size), {}};
    for (int side : larger) sprite.larger.push_back(render(side));
    out.push_back(std::move(sprite));
    ++id;
  };
  auto single = [&](const char* species, std::function<Agaric(Rng&)> make, int style) {
    emit(species, [make, style](Studio& st, Rng& rng) {
      Agaric a = make(rng);
      floor(st, rng, a.footX, a.capW * 0.8f, style);
      drawAgaric(st, a);
      floorFront(st, rng, a.footX, a.capW * 0.8f, style);
    });
  };
  for (int stage = 0; stage < 4; ++stage) {
    single("fly agaric", [stage](Rng& r) { return flyAgaric(stage, r); }, stage % 3);
  }
  emit("fly agaric pair", [](Studio& st, Rng& rng) {
    Agaric big = flyAgaric(2, rng);
    big.footX = 19.0f;
    big.capW = 22.0f;
    big.stemH = 16.0f;
    big.ringY = 13.0f;
    big.lean = 0.1f;
    Agaric small = flyAgaric(1, rng);
    small.footX = 7.5f;
    small.capW = 12.0f;
    small.capH = 6.0f;
    small.stemH = 6.0f;
    small.stemWb = 4.0f;
    small.stemWt = 3.0f;
    small.bulb = 0.9f;
    small.bulbH = 2.0f;
    small.ringY = 0.0f;
    small.underH = 1.0f;
    small.lean = -0.15f;
    small.decoSize = 1.0f;
    small.decoDensity = 1.0f;
    floor(st, rng, 14.0f, 24.0f, 0);
    drawAgaric(st, big);
    drawAgaric(st, small);
    floorFront(st, rng, 14.0f, 24.0f, 0);
  });
  single("panther cap", [](Rng& r) { return pantherCap(false, r); }, 2);
  single("panther cap, young", [](Rng& r) { return pantherCap(true, r); }, 1);
  single("penny bun", [](Rng& r) { return pennyBun(0, r); }, 1);
  single("penny bun, button", [](Rng& r) { return pennyBun(1, r); }, 2);
  single("bay bolete", [](Rng& r) { return bayBolete(r); }, 1);
  emit("penny bun pair", [](Studio& st, Rng& rng) {
    Agaric big = pennyBun(0, rng);
    big.footX = 12.5f;
    big.capW = 22.0f;
    big.capH = 8.5f;
    big.stemWb = 9.0f;
    big.stemWt = 5.5f;
    big.stemH = 13.0f;
    Agaric small = pennyBun(2, rng);
    small.footX = 24.5f;
    small.lean = 0.12f;
    floor(st, rng, 16.0f, 26.0f, 1);
    drawAgaric(st, big);
    drawAgaric(st, small);
    floorFront(st, rng, 16.0f, 26.0f, 1);
  });
  single("orange birch bolete", [](Rng& r) { return birchBolete(false, r); }, 0);
  single("orange birch bolete, young", [](Rng& r) { return birchBolete(true, r); }, 2);
  emit("chanterelle", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 14.0f, 1);
    drawChanterelle(st, rng, 16.0f, 22.0f, 26.0f, rng.jitter(0.08f));
    floorFront(st, rng, 16.0f, 14.0f, 1);
  });
  emit("chanterelle cluster", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 26.0f, 1);
    drawChanterelle(st, rng, 11.0f, 17.0f, 15.0f, -0.22f);
    drawChanterelle(st, rng, 21.5f, 20.0f, 17.0f, 0.2f);
    drawChanterelle(st, rng, 15.5f, 12.0f, 12.0f, 0.02f);
    floorFront(st, rng, 16.0f, 22.0f, 1);
  });
  emit("chanterelle pair", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 24.0f, 2);
    drawChanterelle(st, rng, 11.0f, 19.0f, 18.0f, -0.12f);
    drawChanterelle(st, rng, 22.0f, 13.0f, 13.0f, 0.16f);
    floorFront(st, rng, 16.0f, 22.0f, 2);
  });
  single("parasol", [](Rng& r) { return parasol(false, r); }, 0);
  single("parasol, drumstick", [](Rng& r) { return parasol(true, r); }, 0);
  emit("shaggy ink cap", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 12.0f, 0);
    drawInkCap(st, rng, false);
    floorFront(st, rng, 16.0f, 12.0f, 0);
  });
  emit("shaggy ink cap, inking", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 14.0f, 2);
    drawInkCap(st, rng, true);
    floorFront(st, rng, 16.0f, 14.0f, 2);
  });
  emit("puffball", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 18.0f, 1);
    drawPuffball(st, rng, 16.0f, 24.0f, 10.0f, false);
    floorFront(st, rng, 16.0f, 18.0f, 1);
  });
  emit("puffball group", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 28.0f, 0);
    drawPuffball(st, rng, 20.0f, 20.0f, 8.5f, true);
    drawPuffball(st, rng, 9.0f, 14.0f, 6.0f, false);
    drawPuffball(st, rng, 26.0f, 8.5f, 3.8f, false);
    floorFront(st, rng, 16.0f, 26.0f, 0);
  });
  emit("honey fungus", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 22.0f, 2);
    drawCluster(st, rng, 0, 5, 5.0f, 19.0f, 12.0f);
    floorFront(st, rng, 16.0f, 18.0f, 2);
  });
  emit("honey fungus, small clump", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 20.0f, 1);
    drawCluster(st, rng, 0, 3, 5.0f, 15.0f, 13.0f);
    floorFront(st, rng, 16.0f, 16.0f, 1);
  });
  emit("sulphur tuft", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 22.0f, 2);
    drawCluster(st, rng, 1, 6, 5.0f, 17.0f, 11.0f);
    floorFront(st, rng, 16.0f, 18.0f, 2);
  });
  emit("sulphur tuft, small clump", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 20.0f, 1);
    drawCluster(st, rng, 1, 4, 4.5f, 15.0f, 12.0f);
    floorFront(st, rng, 16.0f, 16.0f, 1);
  });
  single("blewit", [](Rng& r) { return blewit(1.0f, r); }, 2);
  emit("blewit pair", [](Studio& st, Rng& rng) {
    Agaric a = blewit(0.82f, rng);
    a.footX = 11.0f;
    a.lean = -0.12f;
    Agaric b = blewit(0.6f, rng);
    b.footX = 24.0f;
    b.lean = 0.16f;
    floor(st, rng, 16.0f, 26.0f, 2);
    drawAgaric(st, a);
    drawAgaric(st, b);
    floorFront(st, rng, 16.0f, 24.0f, 2);
  });
  single("russula, red", [](Rng& r) { return russula(0, r); }, 1);
  single("russula, green", [](Rng& r) { return russula(1, r); }, 0);
  single("russula, purple", [](Rng& r) { return russula(2, r); }, 2);
  emit("amethyst deceiver", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 22.0f, 1);
    drawCluster(st, rng, 2, 4, 6.0f, 16.0f, 13.0f);
    floorFront(st, rng, 16.0f, 18.0f, 1);
  });
  emit("amethyst deceiver pair", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 20.0f, 0);
    drawCluster(st, rng, 2, 2, 4.5f, 16.0f, 17.0f);
    floorFront(st, rng, 16.0f, 18.0f, 0);
  });
  emit("morel", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 14.0f, 2);
    drawMorel(st, rng, false);
    floorFront(st, rng, 16.0f, 14.0f, 2);
  });
  emit("black morel", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 14.0f, 1);
    drawMorel(st, rng, true);
    floorFront(st, rng, 16.0f, 14.0f, 1);
  });
  single("field mushroom", [](Rng& r) { return fieldMushroom(r); }, 0);
  emit("earthstar", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 26.0f, 2);
    drawEarthstar(st, rng);
  });
  emit("yellow coral", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 18.0f, 1);
    drawCoral(st, rng);
    floorFront(st, rng, 16.0f, 14.0f, 1);
  });
  emit("bonnets", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 20.0f, 1);
    drawCluster(st, rng, 3, 3, 5.0f, 22.0f, 11.0f);
    floorFront(st, rng, 16.0f, 16.0f, 1);
  });
  emit("hedgehog fungus", [](Studio& st, Rng& rng) {
    floor(st, rng, 16.0f, 20.0f, 2);
    drawHedgehog(st, rng);
    floorFront(st, rng, 16.0f, 18.0f, 2);
  });
  return out;
}

}  // namespace artgen
