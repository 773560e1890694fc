// The mushroom species and the forty mushroom sprites.
#include "mushrooms.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <variant>

#include "fungus.h"

namespace artgen {

using namespace fungus;

namespace {

const Rgba kWhite = rgb8(246, 242, 232);

enum class StemDeco { None, Fibrils, Net, Scabers, Snakeskin, Volva, Zones };
enum class CapDeco { None, Warts, Patches, Scales, Striate, Cracks, Fibres };

// Colours and markings of a species.
struct Skin {
  Rgba stemTop = kWhite;
  Rgba stemBase = rgb8(232, 222, 196);
  StemDeco stemDeco = StemDeco::Fibrils;
  Rgba stemDecoCol = rgb8(200, 190, 170);
  Rgba ringCol = kWhite;
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
  Rgba gillCol = rgb8(240, 232, 210);
  bool pores = false;
};

// A gilled or pored mushroom: stem, optional ring, underside and cap.
struct Agaric {
  float footX = 16.0f;
  float stemH = 13.0f;
  float stemWb = 4.0f;
  float stemWt = 3.2f;
  float bulb = 0.0f;
  float bulbH = 3.0f;

  float ringY = 0.0f;  // 0: no ring
  float ringDrop = 1.8f;
  float ringFlare = 1.0f;

  float capW = 20.0f;
  float capH = 9.0f;
  std::function<float(float)> profile{};  // height share at radius share r
  float roll = 0.0f;                      // rounded margin below the rim line
  float rollIn = 0.12f;
  float underH = 2.0f;
  bool showUnder = true;
  bool spines = false;  // spines hang under the cap instead of gills
  Skin skin{};

  // How one sprite of the species differs from the next.
  float stemExtra = 0.0f;  // up to this much longer stem
  float leanJitter = 0.0f;
  float tiltJitter = 0.0f;
  bool slanted = false;  // cap clearly tilted to a random side

  float lean = 0.0f;
  float capTilt = 0.0f;
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
  Rgba c = mix(a.skin.stemBase, a.skin.stemTop, smoothstep(0.0f, 0.8f, t));
  float around = s.theta * std::max(1.0f, s.R);
  switch (a.skin.stemDeco) {
    case StemDeco::Fibrils: {
      float f = fbm(around * 1.6f, s.y * 0.25f, a.seed + 5, 3);
      c = scaled(c, 0.93f + 0.14f * f);
      break;
    }
    case StemDeco::Net: {
      CellDist cd = cellNoise(around * 1.3f, s.y * 1.0f, a.seed + 6);
      float line = smoothstep(0.16f, 0.05f, cd.d2 - cd.d1) * smoothstep(0.0f, 0.5f, t);
      c = mix(c, a.skin.stemDecoCol, 0.65f * line);
      break;
    }
    case StemDeco::Scabers: {
      CellDist cd = cellNoise(around * 1.9f, s.y * 1.1f, a.seed + 7);
      float r = 0.18f + 0.12f * static_cast<float>(cd.id & 255u) / 255.0f;
      c = mix(c, a.skin.stemDecoCol, smoothstep(r, r * 0.6f, cd.d1) * (0.6f + 0.4f * (1.0f - t)));
      break;
    }
    case StemDeco::Snakeskin: {
      float wob = 0.35f * std::sin(around * 2.2f + s.y) + 0.4f * fbm(around, s.y, a.seed + 8, 2);
      float band = s.y * 0.55f + wob;
      float f = band - std::floor(band);
      float below = a.ringY > 0.0f ? smoothstep(a.ringY, a.ringY - 1.0f, s.y) : 1.0f;
      c = mix(c, a.skin.stemDecoCol,
              below * 0.85f * smoothstep(0.55f, 0.7f, f) * smoothstep(0.95f, 0.85f, f));
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
      c = mix(c, a.skin.stemDecoCol, 0.35f * smoothstep(0.3f, 0.9f, band));
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
  Rgba c = mix(a.skin.capTop, a.skin.capRim, smoothstep(0.05f, 1.0f, rn));
  float n = fbm(s.tx * 0.5f + 5.0f, s.ty * 0.5f, a.seed + 11, 3);
  c = scaled(c, 0.92f + 0.16f * n);
  if (a.skin.centreDark > 0.0f)
    c = mix(c, a.skin.centreCol, a.skin.centreDark * smoothstep(0.45f, 0.15f, rn));
  if (a.skin.paleMargin > 0.0f) {
    c = mix(c, a.skin.marginCol,
            smoothstep(half - a.skin.paleMargin, half, s.R) * smoothstep(0.2f, -0.2f, s.y));
  }
  const float k = a.skin.decoDensity;
  switch (a.skin.capDeco) {
    case CapDeco::Warts:
    case CapDeco::Patches: {
      CellDist cd = cellNoise(s.tx * 0.45f * k + 0.3f, s.ty * 0.45f * k, a.seed + 12);
      float r = a.skin.decoSize * (0.22f + 0.14f * static_cast<float>(cd.id & 255u) / 255.0f);
      if (a.skin.capDeco == CapDeco::Patches) r *= 1.4f;
      float keep = static_cast<float>((cd.id >> 8) & 255u) / 255.0f < 0.8f ? 1.0f : 0.0f;
      float wart = keep * smoothstep(r, r * 0.7f, cd.d1);
      float rim = keep * smoothstep(r * 1.3f, r * 1.05f, cd.d1) * (1.0f - wart);
      c = mix(c, scaled(c, 0.7f), 0.6f * rim);
      c = mix(c, a.skin.capDecoCol, wart);
      break;
    }
    case CapDeco::Scales: {
      // Concentric rows of brown scales, denser towards the centre.
      float rows = s.arc * 0.6f * k;
      float row = std::floor(rows);
      float f = rows - row;
      float around = s.theta * s.arc * 0.55f * k + row * 0.5f;
      float g = around - std::floor(around);
      float scale =
          smoothstep(0.55f, 0.35f, std::fabs(g - 0.5f) + 0.5f * f) * smoothstep(0.0f, 0.2f, f);
      float dense = smoothstep(4.0f, 0.0f, s.arc);
      c = mix(c, a.skin.capDecoCol, std::max(dense, 0.85f * scale));
      break;
    }
    case CapDeco::Striate: {
      float lines = std::sin(s.theta * 40.0f * k);
      c = mix(c, scaled(c, 0.72f),
              0.5f * smoothstep(0.5f, 1.0f, lines) * smoothstep(0.4f, 0.9f, rn));
      break;
    }
    case CapDeco::Cracks: {
      CellDist cd = cellNoise(s.tx * 0.7f * k, s.ty * 0.7f * k, a.seed + 13);
      c = mix(c, a.skin.capDecoCol,
              0.8f * smoothstep(0.12f, 0.03f, cd.d2 - cd.d1) * smoothstep(0.3f, 0.7f, rn));
      break;
    }
    case CapDeco::Fibres: {
      float f = fbm(s.theta * 14.0f * k, s.arc * 0.4f, a.seed + 14, 3);
      c = mix(c, a.skin.capDecoCol,
              0.5f * smoothstep(0.45f, 0.75f, f) * smoothstep(0.1f, 0.6f, rn));
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
    Rgba col = a.skin.gillCol;
    if (a.skin.pores) {
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
  paintLathe(
      st, ring,
      [&](const Surface& s) {
        float q = clamp01((y1 - s.y) / a.ringDrop);
        Rgba c = mix(a.skin.ringCol, scaled(a.skin.ringCol, 0.8f), q * q);
        float f = std::sin(s.theta * 24.0f) * 0.5f + 0.5f;
        return scaled(c, 0.94f + 0.08f * f);
      },
      sh);
}

Lathe paintStem(Studio& st, const Agaric& a) {
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
  paintLathe(
      st, stem, [&](const Surface& s) { return stemColor(a, s); }, ss);
  return stem;
}

void drawSpines(Studio& st, const Agaric& a, const Lathe& cap, Rng& rng) {
  Mask spines = st.mask();
  const float half = a.capW * 0.5f * 0.92f;
  for (int i = 0; i < 26; ++i) {
    float x = -half + 2.0f * half * (static_cast<float>(i) + 0.5f) / 26.0f;
    float depth = std::sqrt(std::max(0.0f, 1.0f - (x / half) * (x / half)));
    float len = 1.0f + 1.6f * depth * rng.range(0.7f, 1.1f);
    if (std::fabs(x) < a.stemWt * 0.5f) continue;
    Vec2 p0 = cap.toSprite({x, -a.roll * 0.5f}),
         p1 = cap.toSprite({x * 0.97f, -a.roll * 0.5f - len});
    unite(spines, st.stroke({p0, p1}, 0.75f, 0.2f));
  }
  st.canvas().paintSolid(spines, rgb8(236, 206, 160));
}

// The one drawing of every gilled, pored and spined mushroom; `rng` serves
// only the spines.
void drawAgaric(Studio& st, const Agaric& a, Rng& rng) {
  const Lathe stem = paintStem(st, a);
  if (a.ringY > 0.0f) drawRing(st, a, stem);

  Vec2 capBase = stem.toSprite({0.0f, a.stemH});
  Lathe cap = capLathe(capBase, a.lean + a.capTilt, a.capW, a.capH, a.profile ? a.profile : convex,
                       a.roll, a.rollIn);
  if (a.showUnder) drawUnderside(st, a, cap);
  if (a.spines) drawSpines(st, a, cap, rng);
  Shading cs;
  cs.gloss = a.skin.capGloss;
  cs.shininess = a.skin.capShine;
  paintLathe(
      st, cap, [&](const Surface& s) { return capColor(a, s); }, cs);
}

// ----- Species -----------------------------------------------------------

Skin marked(Skin s, float density, float size) {
  s.decoDensity = density;
  s.decoSize = size;
  return s;
}

Skin recoloured(Skin s, Rgba top, Rgba rim) {
  s.capTop = top;
  s.capRim = rim;
  return s;
}

Skin withGills(Skin s, Rgba gills) {
  s.gillCol = gills;
  return s;
}

// clang-format off
const Skin kFlyAgaricSkin{
    .stemTop = rgb8(248, 246, 236), .stemBase = rgb8(238, 232, 212), .stemDeco = StemDeco::Volva,
    .capTop = rgb8(196, 22, 18), .capRim = rgb8(232, 74, 28), .capGloss = 0.28f, .capShine = 22.0f,
    .capDeco = CapDeco::Warts, .decoDensity = 0.46f, .decoSize = 1.5f};
const Skin kPantherCapSkin{
    .stemDeco = StemDeco::Volva, .capTop = rgb8(92, 62, 40), .capRim = rgb8(170, 132, 92), .capGloss = 0.18f,
    .capDeco = CapDeco::Warts, .capDecoCol = rgb8(250, 248, 240), .decoDensity = 0.6f, .decoSize = 1.2f};
const Skin kPennyBunSkin{
    .stemTop = rgb8(236, 226, 200), .stemBase = rgb8(208, 186, 146), .stemDeco = StemDeco::Net,
    .stemDecoCol = rgb8(250, 246, 236), .capTop = rgb8(112, 64, 34), .capRim = rgb8(168, 112, 62), .capGloss = 0.16f,
    .capShine = 14.0f, .paleMargin = 0.9f, .marginCol = rgb8(226, 206, 170), .gillCol = rgb8(236, 226, 172),
    .pores = true};
const Skin kBayBoleteSkin{
    .stemTop = rgb8(214, 186, 120), .stemBase = rgb8(170, 126, 80), .capTop = rgb8(96, 46, 26),
    .capRim = rgb8(140, 72, 36), .capGloss = 0.35f, .capShine = 26.0f, .gillCol = rgb8(224, 206, 92), .pores = true};
const Skin kBirchBoleteSkin{
    .stemTop = rgb8(236, 232, 222), .stemBase = rgb8(214, 206, 190), .stemDeco = StemDeco::Scabers,
    .stemDecoCol = rgb8(44, 34, 28), .capTop = rgb8(200, 84, 28), .capRim = rgb8(222, 112, 40), .capGloss = 0.16f,
    .gillCol = rgb8(222, 216, 202), .pores = true};
const Skin kParasolSkin{
    .stemTop = rgb8(236, 226, 206), .stemBase = rgb8(214, 198, 170), .stemDeco = StemDeco::Snakeskin,
    .stemDecoCol = rgb8(150, 112, 80), .capTop = rgb8(112, 78, 50), .capRim = rgb8(228, 214, 190), .capGloss = 0.05f,
    .capDeco = CapDeco::Scales, .capDecoCol = rgb8(140, 100, 66)};
const Skin kRussulaSkin{
    .stemTop = rgb8(250, 248, 242), .stemBase = rgb8(236, 232, 222), .capGloss = 0.3f, .capShine = 24.0f,
    .gillCol = rgb8(246, 240, 222)};
const Skin kBlewitSkin{
    .stemTop = rgb8(190, 166, 212), .stemBase = rgb8(160, 130, 180), .capTop = rgb8(150, 120, 140),
    .capRim = rgb8(166, 136, 186), .capGloss = 0.2f, .gillCol = rgb8(186, 160, 208)};
const Skin kFieldMushroomSkin{
    .capTop = rgb8(226, 216, 200), .capRim = rgb8(246, 242, 234), .capGloss = 0.2f, .capDeco = CapDeco::Fibres,
    .capDecoCol = rgb8(200, 186, 166), .gillCol = rgb8(170, 96, 90)};
const Skin kHedgehogSkin{
    .stemTop = rgb8(246, 236, 218), .stemBase = rgb8(226, 206, 176), .capTop = rgb8(218, 168, 110),
    .capRim = rgb8(236, 196, 146), .capGloss = 0.1f, .capShine = 24.0f, .gillCol = rgb8(244, 218, 176), .pores = true};

const Agaric kFlyAgaricButton{
    .stemH = 10.0f, .stemWb = 8.0f, .stemWt = 6.0f, .bulb = 2.2f, .bulbH = 3.5f, .capW = 18.0f, .capH = 10.5f,
    .profile = dome(2.0f, 0.6f), .roll = 3.0f, .rollIn = 0.2f, .showUnder = false,
    .skin = marked(kFlyAgaricSkin, 0.8f, 1.1f), .leanJitter = 0.06f};
const Agaric kFlyAgaricYoung{
    .stemH = 12.0f, .stemWb = 6.0f, .stemWt = 4.4f, .bulb = 1.6f, .bulbH = 3.0f, .ringY = 10.0f, .ringDrop = 2.2f,
    .capW = 22.0f, .capH = 11.0f, .profile = dome(2.0f, 0.6f), .roll = 1.5f, .rollIn = 0.15f, .underH = 2.0f,
    .skin = kFlyAgaricSkin, .leanJitter = 0.06f};
const Agaric kFlyAgaricSmall{
    .stemH = 6.0f, .stemWb = 4.0f, .stemWt = 3.0f, .bulb = 0.9f, .bulbH = 2.0f, .capW = 12.0f, .capH = 6.0f,
    .profile = dome(2.0f, 0.6f), .roll = 1.5f, .rollIn = 0.15f, .underH = 1.0f,
    .skin = marked(kFlyAgaricSkin, 1.0f, 1.0f), .leanJitter = 0.06f};
const Agaric kFlyAgaric{
    .stemH = 17.0f, .stemWb = 5.2f, .stemWt = 3.8f, .bulb = 1.4f, .ringY = 14.0f, .ringDrop = 2.6f, .ringFlare = 1.3f,
    .capW = 28.0f, .capH = 9.0f, .profile = dome(2.2f, 0.55f), .underH = 2.6f, .skin = kFlyAgaricSkin,
    .leanJitter = 0.06f};
const Agaric kFlyAgaricTall{
    .stemH = 16.0f, .stemWb = 5.2f, .stemWt = 3.8f, .bulb = 1.4f, .ringY = 13.0f, .ringDrop = 2.6f, .ringFlare = 1.3f,
    .capW = 22.0f, .capH = 9.0f, .profile = dome(2.2f, 0.55f), .underH = 2.6f, .skin = kFlyAgaricSkin,
    .leanJitter = 0.06f};
const Agaric kFlyAgaricOld{
    .stemH = 19.0f, .stemWb = 5.0f, .stemWt = 3.6f, .bulb = 1.3f, .ringY = 15.5f, .ringDrop = 2.4f, .ringFlare = 1.2f,
    .capW = 30.0f, .capH = 5.5f, .profile = dome(3.0f, 0.45f), .underH = 3.0f,
    .skin = marked(recoloured(kFlyAgaricSkin, rgb8(214, 40, 22), rgb8(240, 110, 36)), 0.5f, 1.5f), .leanJitter = 0.06f,
    .tiltJitter = 0.08f};
const Agaric kPantherCapYoung{
    .stemH = 11.0f, .stemWb = 5.5f, .stemWt = 4.0f, .bulb = 2.0f, .capW = 20.0f, .capH = 10.0f,
    .profile = dome(2.0f, 0.6f), .roll = 1.2f, .underH = 1.6f, .skin = kPantherCapSkin, .leanJitter = 0.08f};
const Agaric kPantherCap{
    .stemH = 17.0f, .stemWb = 4.6f, .stemWt = 3.4f, .bulb = 1.8f, .ringY = 10.5f, .ringDrop = 2.0f, .capW = 27.0f,
    .capH = 6.5f, .profile = dome(2.6f, 0.5f), .underH = 2.6f, .skin = kPantherCapSkin, .leanJitter = 0.08f};
const Agaric kPennyBun{
    .stemH = 12.0f, .stemWb = 11.0f, .stemWt = 6.5f, .bulb = 1.2f, .bulbH = 5.0f, .capW = 28.0f, .capH = 10.0f,
    .profile = dome(2.0f, 0.5f), .roll = 2.0f, .rollIn = 0.12f, .underH = 2.2f, .skin = kPennyBunSkin,
    .leanJitter = 0.06f};
const Agaric kPennyBunLow{
    .stemH = 13.0f, .stemWb = 9.0f, .stemWt = 5.5f, .bulb = 1.2f, .bulbH = 5.0f, .capW = 22.0f, .capH = 8.5f,
    .profile = dome(2.0f, 0.5f), .roll = 2.0f, .rollIn = 0.12f, .underH = 2.2f, .skin = kPennyBunSkin,
    .leanJitter = 0.06f};
const Agaric kPennyBunButton{
    .stemH = 10.0f, .stemWb = 14.0f, .stemWt = 10.0f, .bulb = 1.0f, .bulbH = 5.0f, .capW = 19.0f, .capH = 10.0f,
    .profile = dome(2.0f, 0.5f), .roll = 2.5f, .rollIn = 0.16f, .underH = 1.0f,
    .skin = withGills(recoloured(kPennyBunSkin, rgb8(130, 80, 42), rgb8(186, 140, 90)), rgb8(246, 242, 228)),
    .leanJitter = 0.06f};
const Agaric kPennyBunSmall{
    .stemH = 7.0f, .stemWb = 7.5f, .stemWt = 5.0f, .bulbH = 3.0f, .capW = 15.0f, .capH = 7.0f,
    .profile = dome(2.0f, 0.5f), .roll = 1.4f, .rollIn = 0.12f, .underH = 1.2f, .skin = kPennyBunSkin,
    .leanJitter = 0.06f};
const Agaric kBayBolete{
    .stemH = 14.0f, .stemWb = 6.5f, .stemWt = 4.6f, .bulb = 0.6f, .capW = 26.0f, .capH = 9.0f,
    .profile = dome(2.2f, 0.5f), .roll = 1.6f, .rollIn = 0.1f, .underH = 2.4f, .skin = kBayBoleteSkin,
    .leanJitter = 0.1f, .tiltJitter = 0.06f};
const Agaric kBirchBoleteYoung{
    .stemH = 11.0f, .stemWb = 8.0f, .stemWt = 5.5f, .capW = 18.0f, .capH = 10.0f, .profile = dome(2.0f, 0.55f),
    .roll = 2.2f, .rollIn = 0.12f, .underH = 1.2f, .skin = kBirchBoleteSkin, .leanJitter = 0.08f};
const Agaric kBirchBolete{
    .stemH = 19.0f, .stemWb = 5.6f, .stemWt = 3.8f, .capW = 24.0f, .capH = 9.0f, .profile = dome(2.0f, 0.55f),
    .roll = 1.6f, .rollIn = 0.12f, .underH = 2.2f, .skin = kBirchBoleteSkin, .leanJitter = 0.08f};
const Agaric kParasolDrumstick{
    .stemH = 16.0f, .stemWb = 3.2f, .stemWt = 2.6f, .bulb = 1.3f, .bulbH = 2.0f, .capW = 13.0f, .capH = 12.0f,
    .profile = dome(1.8f, 0.85f), .roll = 2.0f, .rollIn = 0.25f, .showUnder = false,
    .skin = marked(kParasolSkin, 1.3f, 1.0f), .leanJitter = 0.07f};
const Agaric kParasol{
    .stemH = 21.0f, .stemWb = 3.4f, .stemWt = 2.4f, .bulb = 1.3f, .bulbH = 2.0f, .ringY = 17.0f, .ringDrop = 1.6f,
    .ringFlare = 1.2f, .capW = 30.0f, .capH = 6.0f, .profile = flatUmbo(0.4f), .underH = 2.2f, .skin = kParasolSkin,
    .leanJitter = 0.07f, .tiltJitter = 0.06f};
const Agaric kRussula{
    .stemH = 11.0f, .stemWb = 6.0f, .stemWt = 5.4f, .capW = 26.0f, .capH = 5.5f, .profile = dome(3.0f, 0.4f),
    .underH = 2.2f, .skin = recoloured(kRussulaSkin, rgb8(190, 20, 36), rgb8(226, 50, 52)), .stemExtra = 2.0f,
    .leanJitter = 0.08f, .tiltJitter = 0.1f};
const Skin kGreenRussulaSkin{
    .stemTop = rgb8(250, 248, 242), .stemBase = rgb8(236, 232, 222), .capTop = rgb8(104, 134, 80),
    .capRim = rgb8(150, 172, 110), .capGloss = 0.12f, .capShine = 24.0f, .capDeco = CapDeco::Cracks,
    .capDecoCol = rgb8(200, 210, 170), .gillCol = rgb8(246, 240, 222)};
const Skin kPurpleRussulaSkin{
    .stemTop = rgb8(250, 248, 242), .stemBase = rgb8(236, 232, 222), .capTop = rgb8(92, 30, 80),
    .capRim = rgb8(150, 70, 120), .capGloss = 0.3f, .capShine = 24.0f, .centreDark = 0.5f,
    .centreCol = rgb8(60, 20, 50), .gillCol = rgb8(246, 240, 222)};
const Agaric kBlewit{
    .stemH = 10.0f, .stemWb = 7.0f, .stemWt = 4.6f, .bulb = 1.5f, .bulbH = 3.0f, .capW = 26.0f, .capH = 7.5f,
    .profile = dome(2.4f, 0.45f), .roll = 1.2f, .rollIn = 0.15f, .underH = 2.2f, .skin = kBlewitSkin,
    .leanJitter = 0.1f, .tiltJitter = 0.08f};
const Agaric kFieldMushroom{
    .stemH = 11.0f, .stemWb = 5.0f, .stemWt = 4.4f, .ringY = 9.0f, .ringDrop = 1.2f, .ringFlare = 0.7f, .capW = 26.0f,
    .capH = 9.5f, .profile = dome(2.2f, 0.6f), .roll = 1.0f, .underH = 2.6f, .skin = kFieldMushroomSkin,
    .leanJitter = 0.06f};
const Agaric kHedgehog{
    .stemH = 11.0f, .stemWb = 6.4f, .stemWt = 5.0f, .capW = 27.0f, .capH = 7.0f, .profile = dome(2.6f, 0.45f),
    .roll = 1.5f, .rollIn = 0.1f, .underH = 1.6f, .showUnder = false, .spines = true, .skin = kHedgehogSkin,
    .leanJitter = 0.1f, .slanted = true};
// clang-format on

Agaric withSkin(Agaric a, const Skin& skin) {
  a.skin = skin;
  return a;
}

// One mushroom of a species where it stands in the sprite.
struct Grown {
  Agaric species;
  float scale = 1.0f;
  float footX = 16.0f;
  std::optional<float> lean{};  // replaces the random lean
  bool afterGround = false;     // made once the ground is drawn
};

Agaric grow(const Grown& g, Rng& rng) {
  Agaric a = g.species;
  a.seed = rng.next();
  if (a.stemExtra > 0.0f) a.stemH += rng.range(0.0f, a.stemExtra);
  a.lean = rng.jitter(a.leanJitter);
  if (a.tiltJitter > 0.0f) a.capTilt = rng.jitter(a.tiltJitter);
  if (a.slanted) a.capTilt = rng.range(0.05f, 0.14f) * (rng.chance(0.5f) ? 1.0f : -1.0f);
  for (float* size :
       {&a.stemH, &a.stemWb, &a.stemWt, &a.bulb, &a.bulbH, &a.capW, &a.capH, &a.underH}) {
    *size *= g.scale;
  }
  a.footX = g.footX;
  if (g.lean) a.lean = *g.lean;
  return a;
}

// Small caps on long stems for clusters: a size is `base + w * share`
// for a cap `w` wide.
struct ClusterKind {
  Agaric look;
  float capHShare;
  float stemBottomShare;
  float stemTopShare;
  float underShare;
  float ringBelowTop = 0.0f;  // 0: no ring
};

// clang-format off
const ClusterKind kHoneyFungus{
    .look = {.stemWb = 0.0f, .stemWt = 0.0f, .ringDrop = 1.2f, .ringFlare = 0.6f, .profile = flatUmbo(0.25f),
             .underH = 0.0f,
             .skin = {.stemTop = rgb8(232, 210, 150), .stemBase = rgb8(120, 86, 50), .ringCol = rgb8(240, 224, 160),
                      .capTop = rgb8(120, 80, 40), .capRim = rgb8(206, 160, 76), .capGloss = 0.12f,
                      .capDeco = CapDeco::Fibres, .capDecoCol = rgb8(92, 62, 34), .centreDark = 0.6f,
                      .centreCol = rgb8(96, 64, 34), .gillCol = rgb8(236, 220, 180)}},
    .capHShare = 0.3f, .stemBottomShare = 0.18f, .stemTopShare = 0.2f, .underShare = 0.09f, .ringBelowTop = 2.0f};
const ClusterKind kSulphurTuft{
    .look = {.stemWb = 0.0f, .stemWt = 0.0f, .profile = dome(2.2f, 0.5f), .underH = 0.0f,
             .skin = {.stemTop = rgb8(236, 220, 110), .stemBase = rgb8(190, 140, 60), .capTop = rgb8(214, 128, 46),
                      .capRim = rgb8(236, 214, 80), .capGloss = 0.16f, .gillCol = rgb8(180, 180, 80)}},
    .capHShare = 0.36f, .stemBottomShare = 0.17f, .stemTopShare = 0.17f, .underShare = 0.09f};
const ClusterKind kAmethystDeceiver{
    .look = {.stemWb = 0.0f, .stemWt = 0.0f, .profile = dome(3.0f, 0.35f), .underH = 0.0f,
             .skin = {.stemTop = rgb8(150, 110, 180), .stemBase = rgb8(120, 80, 150), .capTop = rgb8(92, 40, 130),
                      .capRim = rgb8(132, 76, 170), .capGloss = 0.1f, .capDeco = CapDeco::Striate,
                      .decoDensity = 0.7f, .gillCol = rgb8(150, 96, 180)}},
    .capHShare = 0.25f, .stemBottomShare = 0.16f, .stemTopShare = 0.14f, .underShare = 0.1f};
const ClusterKind kBonnet{
    .look = {.stemWb = 1.7f, .stemWt = 1.4f, .profile = bell(1.4f), .underH = 0.9f,
             .skin = {.stemTop = rgb8(200, 190, 176), .stemBase = rgb8(140, 120, 100), .stemDeco = StemDeco::None,
                      .capTop = rgb8(120, 100, 86), .capRim = rgb8(186, 170, 150), .capGloss = 0.12f,
                      .capDeco = CapDeco::Striate, .decoDensity = 0.45f, .gillCol = rgb8(230, 222, 210)}},
    .capHShare = 0.7f, .stemBottomShare = 0.0f, .stemTopShare = 0.0f, .underShare = 0.0f};
// clang-format on

Agaric clusterCap(const ClusterKind& kind, float foot, float lean, float height, float w,
                  Rng& rng) {
  Agaric a = kind.look;
  a.seed = rng.next();
  a.footX = foot;
  a.lean = lean;
  a.stemH = height;
  a.capW = w;
  a.capTilt = lean * 0.25f + rng.jitter(0.06f);
  a.capH = w * kind.capHShare;
  a.stemWb = kind.look.stemWb + w * kind.stemBottomShare;
  a.stemWt = kind.look.stemWt + w * kind.stemTopShare;
  a.underH = kind.look.underH + w * kind.underShare;
  if (kind.ringBelowTop > 0.0f) a.ringY = height - kind.ringBelowTop;
  return a;
}

void drawCluster(Studio& st, Rng& rng, const ClusterKind& kind, int count, float spread, float maxH,
                 float maxW) {
  struct Item {
    Agaric a;
    float z;
  };
  std::vector<Item> items;
  for (int i = 0; i < count; ++i) {
    float q =
        count > 1 ? static_cast<float>(i) / static_cast<float>(count - 1) * 2.0f - 1.0f : 0.0f;
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
  std::sort(items.begin(), items.end(),
            [](const Item& a, const Item& b) { return a.a.stemH > b.a.stemH; });
  for (const Item& it : items) drawAgaric(st, it.a, rng);
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
  paintLathe(
      st, body,
      [&](const Surface& s) {
        float t = clamp01(s.y / H);
        Rgba c = mix(mix(yolk, rgb8(250, 206, 110), 0.4f), yolk, t);
        float around = s.theta * 9.0f + 0.35f * std::sin(s.theta * 23.0f + 1.0f);
        float ridge = std::fabs(std::sin(around * (1.0f + t)));
        c = mix(c, deep, 0.55f * smoothstep(0.75f, 1.0f, ridge) * smoothstep(0.25f, 0.6f, t));
        return c;
      },
      sh);
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
  Agaric stemOnly{.footX = foot,
                  .stemH = 12.0f,
                  .stemWb = 3.4f,
                  .stemWt = 2.6f,
                  .bulb = 0.8f,
                  .bulbH = 2.0f,
                  .lean = lean};
  const Lathe stem = paintStem(st, stemOnly);
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
  paintLathe(
      st, cap,
      [&](const Surface& s) {
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
      },
      cs);
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
  paintLathe(
      st, body,
      [&](const Surface& s) {
        Rgba c = old ? rgb8(214, 190, 146) : rgb8(244, 238, 222);
        float head = smoothstep(yc - 2.0f, yc + 1.0f, s.y);
        CellDist cd = cellNoise(s.tx * 0.8f, s.ty * 0.8f, seed);
        float wart = head * smoothstep(0.36f, 0.18f, cd.d1);
        c = mix(c, old ? rgb8(214, 196, 160) : rgb8(230, 222, 200),
                smoothstep(0.55f, 0.3f, cd.d1) * head);
        c = mix(c, old ? rgb8(130, 100, 66) : rgb8(176, 160, 128), 0.9f * wart);
        c = mix(c, rgb8(200, 176, 130), 0.5f * smoothstep(4.0f, 0.0f, s.arc));
        c = mix(c, scaled(c, 0.86f),
                (1.0f - head) * 0.5f * (0.5f + 0.5f * std::sin(s.theta * 14.0f)));
        if (old) c = mix(c, rgb8(120, 92, 60), smoothstep(1.6f, 0.8f, s.arc));
        return c;
      },
      sh);
}

void drawMorel(Studio& st, Rng& rng, bool dark) {
  const uint32_t seed = rng.next();
  const float foot = 16.0f + rng.jitter(0.8f);
  const float lean = rng.jitter(0.06f);
  Agaric stemA;
  stemA.stemH = 10.0f;
  stemA.skin.stemTop = rgb8(242, 234, 214);
  stemA.skin.stemBase = rgb8(224, 210, 180);
  stemA.seed = seed;
  Lathe stem({foot, 32.8f}, lean, 0.0f, 11.0f,
             [&](float y) { return 3.4f + 0.9f * std::exp(-(y / 3.0f) * (y / 3.0f)) - 0.1f * y; });
  Shading ss;
  ss.ambient = 0.5f;
  ss.diffuse = 0.62f;
  paintLathe(
      st, stem,
      [&](const Surface& s) {
        Rgba c = stemColor(stemA, s);
        float fold = fbm(s.theta * 5.0f, s.y * 0.6f, seed + 2, 3);
        return scaled(c, 0.88f + 0.2f * fold);
      },
      ss);
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
  paintLathe(
      st, cap,
      [&](const Surface& s) {
        float around = s.theta * W * 0.5f;
        CellDist cd = cellNoise(around * 0.75f, s.y * 0.42f, seed + 5);
        float edge = cd.d2 - cd.d1;
        float ridge = smoothstep(0.2f, 0.08f, edge);
        // Pits are darker at their upper side, where the ridge shades them.
        float pitShade = 0.75f + 0.25f * std::sin(cd.d1 * 3.0f);
        Rgba c = mix(scaled(pitCol, pitShade), ridgeCol, ridge);
        return c;
      },
      cs);
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
    paintPillow(
        st, m,
        [&](Vec2 p) {
          float n = fbm(p.x * 1.4f, p.y * 1.4f, seed + 3, 3);
          Rgba c = mix(inner, outer, 0.25f + 0.35f * n);
          CellDist cd = cellNoise(p.x * 1.1f, p.y * 1.8f, seed + 4);
          c = mix(c, outer, 0.5f * smoothstep(0.1f, 0.03f, cd.d2 - cd.d1));
          return scaled(c, s > 0.0f ? 0.8f : 1.0f);
        },
        0.5f, sh);
  };
  std::vector<std::pair<float, float>> list;
  for (int i = 0; i < rays; ++i) {
    float a =
        2.0f * kPi * (static_cast<float>(i) + phase) / static_cast<float>(rays) + rng.jitter(0.15f);
    list.push_back({a, rng.range(9.0f, 11.0f)});
  }
  for (auto& r : list)
    if (std::sin(r.first) >= 0.0f) drawRay(r.first, r.second);
  // The saucer the rays spring from.
  {
    Mask saucer = st.fill(ellipseContour({cx, gy - lift + 0.4f}, 6.6f, 2.6f, 48));
    Shading sh;
    sh.edgeDark = 0.4f;
    paintPillow(
        st, saucer,
        [&](Vec2 p) {
          return mix(inner, rgb8(240, 222, 190), 0.4f * fbm(p.x * 2.0f, p.y * 2.0f, seed + 5, 2));
        },
        0.6f, sh);
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
  paintLathe(
      st, ball,
      [&](const Surface& s) {
        Rgba c = mix(rgb8(176, 156, 134), rgb8(140, 120, 100), fbm(s.tx, s.ty, seed + 9, 3));
        c = mix(c, rgb8(210, 196, 176), smoothstep(2.0f, 0.5f, s.arc));
        return c;
      },
      bs);
  for (auto& r : list)
    if (std::sin(r.first) < 0.0f) drawRay(r.first, r.second);
}

void drawCoral(Studio& st, Rng& rng) {
  Mask all = st.mask();
  std::vector<std::pair<Vec2, float>> tips;
  std::function<void(Vec2, float, float, float, int)> branch = [&](Vec2 p, float a, float len,
                                                                   float w, int depth) {
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
      float spread =
          (static_cast<float>(i) - 0.5f * static_cast<float>(n - 1)) * rng.range(0.35f, 0.55f);
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
  paintPillow(
      st, all,
      [&](Vec2 p) {
        float t = clamp01((32.0f - p.y) / 30.0f);
        Rgba c = mix(rgb8(246, 232, 170), rgb8(246, 196, 60), smoothstep(0.05f, 0.5f, t));
        c = mix(c, rgb8(236, 150, 50), smoothstep(0.55f, 1.0f, t));
        return scaled(c, 0.94f + 0.12f * fbm(p.x, p.y, seed, 2));
      },
      0.7f, sh);
  for (auto& tp : tips) {
    Mask m = st.fill(ellipseContour(tp.first, tp.second * 0.5f, tp.second * 0.5f, 16));
    st.canvas().paintSolid(m, rgb8(250, 214, 120), 0.7f);
  }
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

// ----- Sprites -----------------------------------------------------------

struct Chanterelle {
  float foot, height, width;
  float lean = 0.0f;
  float leanJitter = 0.0f;  // above 0: a random lean instead
};
struct InkCap {
  bool old;
};
struct Puffball {
  float foot, height, radius;
  bool old;
};
struct Cluster {
  const ClusterKind* kind;
  int count;
  float spread, maxH, maxW;
};
struct Morel {
  bool dark;
};
struct Earthstar {};
struct Coral {};

using Figure = std::variant<Grown, Chanterelle, InkCap, Puffball, Cluster, Morel, Earthstar, Coral>;

// The strip of forest floor: grass, moss or litter behind and in front.
struct Ground {
  int style;
  float cx = 0.0f;
  float width = 0.0f;  // 0: under the single mushroom, 0.8 of its cap wide
  float frontWidth = 0.0f;
  bool front = true;
};

struct MushroomScene {
  const char* name;
  Ground ground;
  std::vector<Figure> figures;
};

struct FigurePainter {
  Studio& st;
  Rng& rng;
  std::vector<Agaric>::const_iterator grown;  // the ones made before the ground

  void operator()(const Grown& g) {
    if (g.afterGround) {
      drawAgaric(st, grow(g, rng), rng);
    } else {
      drawAgaric(st, *grown++, rng);
    }
  }
  void operator()(const Chanterelle& c) {
    const float lean = c.leanJitter > 0.0f ? rng.jitter(c.leanJitter) : c.lean;
    drawChanterelle(st, rng, c.foot, c.height, c.width, lean);
  }
  void operator()(const InkCap& c) { drawInkCap(st, rng, c.old); }
  void operator()(const Puffball& p) { drawPuffball(st, rng, p.foot, p.height, p.radius, p.old); }
  void operator()(const Cluster& c) {
    drawCluster(st, rng, *c.kind, c.count, c.spread, c.maxH, c.maxW);
  }
  void operator()(const Morel& m) { drawMorel(st, rng, m.dark); }
  void operator()(const Earthstar&) { drawEarthstar(st, rng); }
  void operator()(const Coral&) { drawCoral(st, rng); }
};

void drawScene(const MushroomScene& scene, Studio& st, Rng& rng) {
  std::vector<Agaric> grown;
  for (const Figure& f : scene.figures) {
    const Grown* g = std::get_if<Grown>(&f);
    if (g && !g->afterGround) grown.push_back(grow(*g, rng));
  }
  Ground ground = scene.ground;
  if (ground.width == 0.0f) {
    ground.cx = grown.front().footX;
    ground.width = ground.frontWidth = grown.front().capW * 0.8f;
  }
  floor(st, rng, ground.cx, ground.width, ground.style);
  FigurePainter painter{st, rng, grown.cbegin()};
  for (const Figure& f : scene.figures) std::visit(painter, f);
  if (ground.front) floorFront(st, rng, ground.cx, ground.frontWidth, ground.style);
}

MushroomScene single(const char* name, const Agaric& species, int groundStyle) {
  return {name, {groundStyle}, {Grown{species}}};
}

// Every sprite in id order.
std::vector<MushroomScene> mushroomScenes() {
  // clang-format off
  return {
      single("fly agaric", kFlyAgaricButton, 0),
      single("fly agaric", kFlyAgaricYoung, 1),
      single("fly agaric", kFlyAgaric, 2),
      single("fly agaric", kFlyAgaricOld, 0),
      {"fly agaric pair", {0, 14.0f, 24.0f, 24.0f},
       {Grown{kFlyAgaricTall, 1.0f, 19.0f, 0.1f}, Grown{kFlyAgaricSmall, 1.0f, 7.5f, -0.15f}}},
      single("panther cap", kPantherCap, 2),
      single("panther cap, young", kPantherCapYoung, 1),
      single("penny bun", kPennyBun, 1),
      single("penny bun, button", kPennyBunButton, 2),
      single("bay bolete", kBayBolete, 1),
      {"penny bun pair", {1, 16.0f, 26.0f, 26.0f},
       {Grown{kPennyBunLow, 1.0f, 12.5f}, Grown{kPennyBunSmall, 1.0f, 24.5f, 0.12f}}},
      single("orange birch bolete", kBirchBolete, 0),
      single("orange birch bolete, young", kBirchBoleteYoung, 2),
      {"chanterelle", {1, 16.0f, 14.0f, 14.0f}, {Chanterelle{16.0f, 22.0f, 26.0f, 0.0f, 0.08f}}},
      {"chanterelle cluster", {1, 16.0f, 26.0f, 22.0f},
       {Chanterelle{11.0f, 17.0f, 15.0f, -0.22f}, Chanterelle{21.5f, 20.0f, 17.0f, 0.2f},
        Chanterelle{15.5f, 12.0f, 12.0f, 0.02f}}},
      {"chanterelle pair", {2, 16.0f, 24.0f, 22.0f},
       {Chanterelle{11.0f, 19.0f, 18.0f, -0.12f}, Chanterelle{22.0f, 13.0f, 13.0f, 0.16f}}},
      single("parasol", kParasol, 0),
      single("parasol, drumstick", kParasolDrumstick, 0),
      {"shaggy ink cap", {0, 16.0f, 12.0f, 12.0f}, {InkCap{false}}},
      {"shaggy ink cap, inking", {2, 16.0f, 14.0f, 14.0f}, {InkCap{true}}},
      {"puffball", {1, 16.0f, 18.0f, 18.0f}, {Puffball{16.0f, 24.0f, 10.0f, false}}},
      {"puffball group", {0, 16.0f, 28.0f, 26.0f},
       {Puffball{20.0f, 20.0f, 8.5f, true}, Puffball{9.0f, 14.0f, 6.0f, false}, Puffball{26.0f, 8.5f, 3.8f, false}}},
      {"honey fungus", {2, 16.0f, 22.0f, 18.0f}, {Cluster{&kHoneyFungus, 5, 5.0f, 19.0f, 12.0f}}},
      {"honey fungus, small clump", {1, 16.0f, 20.0f, 16.0f}, {Cluster{&kHoneyFungus, 3, 5.0f, 15.0f, 13.0f}}},
      {"sulphur tuft", {2, 16.0f, 22.0f, 18.0f}, {Cluster{&kSulphurTuft, 6, 5.0f, 17.0f, 11.0f}}},
      {"sulphur tuft, small clump", {1, 16.0f, 20.0f, 16.0f}, {Cluster{&kSulphurTuft, 4, 4.5f, 15.0f, 12.0f}}},
      single("blewit", kBlewit, 2),
      {"blewit pair", {2, 16.0f, 26.0f, 24.0f},
       {Grown{kBlewit, 0.82f, 11.0f, -0.12f}, Grown{kBlewit, 0.6f, 24.0f, 0.16f}}},
      single("russula, red", kRussula, 1),
      single("russula, green", withSkin(kRussula, kGreenRussulaSkin), 0),
      single("russula, purple", withSkin(kRussula, kPurpleRussulaSkin), 2),
      {"amethyst deceiver", {1, 16.0f, 22.0f, 18.0f}, {Cluster{&kAmethystDeceiver, 4, 6.0f, 16.0f, 13.0f}}},
      {"amethyst deceiver pair", {0, 16.0f, 20.0f, 18.0f}, {Cluster{&kAmethystDeceiver, 2, 4.5f, 16.0f, 17.0f}}},
      {"morel", {2, 16.0f, 14.0f, 14.0f}, {Morel{false}}},
      {"black morel", {1, 16.0f, 14.0f, 14.0f}, {Morel{true}}},
      single("field mushroom", kFieldMushroom, 0),
      {"earthstar", {2, 16.0f, 26.0f, 0.0f, false}, {Earthstar{}}},
      {"yellow coral", {1, 16.0f, 18.0f, 14.0f}, {Coral{}}},
      {"bonnets", {1, 16.0f, 20.0f, 16.0f}, {Cluster{&kBonnet, 3, 5.0f, 22.0f, 11.0f}}},
      {"hedgehog fungus", {2, 16.0f, 20.0f, 18.0f}, {Grown{kHedgehog, 1.0f, 16.0f, std::nullopt, true}}},
  };
  // clang-format on
}

MushroomSprite drawMushroomSprite(int id, const MushroomScene& scene, int size,
                                  const std::vector<int>& larger) {
  const uint64_t seed = 0x5C00F000u + static_cast<uint64_t>(id) * 7717u;
  // A quick coarse pass measures the drawing; the final pass zooms it
  // about the foot so that it fills the square.
  Studio probe(32, 2);
  Rng probeRng(seed);
  drawScene(scene, probe, probeRng);
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
    drawScene(scene, st, rng);
    return st.finish();
  };
  MushroomSprite sprite{id, scene.name, render(size), {}};
  for (int side : larger) sprite.larger.push_back(render(side));
  return sprite;
}

}  // namespace

std::vector<MushroomSprite> makeMushrooms(int size, const std::vector<int>& larger) {
  std::vector<MushroomSprite> out;
  const std::vector<MushroomScene> scenes = mushroomScenes();
  for (size_t i = 0; i < scenes.size(); ++i) {
    out.push_back(drawMushroomSprite(101 + static_cast<int>(i), scenes[i], size, larger));
  }
  return out;
}

}  // namespace artgen
