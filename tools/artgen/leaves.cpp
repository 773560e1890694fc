// The leaf species and the fifty leaf sprites.
#include "leaves.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "leaf_shapes.h"
#include "rng.h"

namespace artgen {

using namespace leafshape;

namespace {

float deg(float d) { return d * kPi / 180.0f; }

// Lobes spread like fingers from the top of the stalk (maples, sweet gum).
struct PalmateForm {
  BladeOutline lobe;
  std::vector<float> angles;  // degrees, ascending
  std::vector<float> lens;
  std::vector<float> sinus;  // one fewer than lobes
  VeinLayout veins;
  float stalk = 0.42f;
};

// How the left half of a simple blade departs from the right one.
enum class LeftHalf {
  Jittered,  // both halves vary a little at random
  Widened,   // the left half is wider by a random factor
  Raised,    // the left half meets the midrib higher up
};

// One blade on a stalk (birch, beech, linden, elm, ...).
struct SimpleForm {
  BladeOutline right;
  float widthJitter = 0.0f;  // random change of the width before anything else
  LeftHalf leftHalf = LeftHalf::Jittered;
  BladeOutline left{};    // for Widened and Raised
  float drawFrom = 0.0f;  // range of the Widened factor or the Raised height
  float drawTo = 0.0f;
  VeinLayout veins;
  float stalk = 0.3f;
  float stalkW = 0.04f;
};

// Leaflets in pairs along a rachis, one at the end (rowan, ash).
struct PinnateForm {
  BladeOutline leaflet;
  int pairs;
  float len;
  float widthScale;
  float top;
};

// Leaflets spread from one point (horse chestnut).
struct Leaflets {
  int count;
  float spread;  // degrees from the middle leaflet to the outermost
};

// Shapes drawn by a routine of their own.
enum class Distinct { EnglishOak, RedOak, Ginkgo, Hawthorn, TulipTree, Sassafras };

using LeafForm = std::variant<PalmateForm, SimpleForm, PinnateForm, Leaflets, Distinct>;

// clang-format off
constexpr VeinLayout kMapleVeins{
    .pairs = 3, .start = 0.25f, .end = 0.8f, .forward = 0.2f, .reach = 0.8f, .midW = 0.04f, .sideW = 0.014f};

const PalmateForm kNorwayMaple{.lobe = {.wx = 0.34f, .wy = 0.5f, .baseRound = 0.5f, .tipX = 0.08f, .tipY = 0.8f,
                                        .margin = {Teeth::Bristle, 3, 0.13f, 0.3f, 0.92f}},
                               .angles = {-18, 40, 90, 140, 198}, .lens = {0.58f, 0.92f, 1.0f, 0.92f, 0.58f},
                               .sinus = {0.42f, 0.47f, 0.47f, 0.42f}, .veins = kMapleVeins};
const PalmateForm kSugarMaple{.lobe = {.wx = 0.29f, .wy = 0.52f, .baseRound = 0.45f, .tipX = 0.06f, .tipY = 0.8f,
                                       .margin = {Teeth::Bristle, 2, 0.16f, 0.38f, 0.9f}},
                              .angles = {-12, 42, 90, 138, 192}, .lens = {0.52f, 0.9f, 1.0f, 0.9f, 0.52f},
                              .sinus = {0.34f, 0.36f, 0.36f, 0.34f}, .veins = kMapleVeins};
const PalmateForm kRedMaple{.lobe = {.wx = 0.33f, .wy = 0.4f, .baseRound = 0.6f, .tipX = 0.1f, .tipY = 0.82f,
                                     .margin = {Teeth::Double, 7, 0.045f, 0.15f, 0.95f}},
                            .angles = {-10, 45, 90, 135, 190}, .lens = {0.32f, 0.85f, 1.0f, 0.85f, 0.32f},
                            .sinus = {0.3f, 0.5f, 0.5f, 0.3f}, .veins = kMapleVeins, .stalk = 0.45f};
const PalmateForm kJapaneseMaple{
    .lobe = {.wx = 0.2f, .wy = 0.45f, .baseRound = 0.5f, .tipX = 0.05f, .tipY = 0.75f,
             .margin = {Teeth::Double, 9, 0.03f, 0.2f, 0.95f}},
    .angles = {-24, 14, 52, 90, 128, 166, 204},
    .lens = {0.55f, 0.8f, 0.95f, 1.0f, 0.95f, 0.8f, 0.55f},
    .sinus = {0.2f, 0.22f, 0.24f, 0.24f, 0.22f, 0.2f},
    .veins = {.pairs = 4, .start = 0.25f, .end = 0.8f, .forward = 0.2f, .reach = 0.8f, .midW = 0.032f,
              .sideW = 0.014f},
    .stalk = 0.5f};
const PalmateForm kFieldMaple{.lobe = {.wx = 0.3f, .wy = 0.55f, .baseRound = 0.45f, .tipX = 0.75f, .tipY = 1.0f,
                                       .margin = {Teeth::Crenate, 2, 0.11f, 0.4f, 0.95f}},
                              .angles = {-25, 36, 90, 144, 205}, .lens = {0.55f, 0.85f, 1.0f, 0.85f, 0.55f},
                              .sinus = {0.22f, 0.25f, 0.25f, 0.22f}, .veins = kMapleVeins, .stalk = 0.4f};
const PalmateForm kSycamore{.lobe = {.wx = 0.34f, .wy = 0.45f, .baseRound = 0.6f, .tipX = 0.15f, .tipY = 0.86f,
                                     .margin = {Teeth::Crenate, 8, 0.045f, 0.12f, 0.95f}},
                            .angles = {-25, 35, 90, 145, 205}, .lens = {0.5f, 0.9f, 1.0f, 0.9f, 0.5f},
                            .sinus = {0.31f, 0.4f, 0.4f, 0.31f}, .veins = kMapleVeins, .stalk = 0.45f};
const PalmateForm kSilverMaple{.lobe = {.wx = 0.25f, .wy = 0.5f, .baseRound = 0.5f, .tipX = 0.06f, .tipY = 0.8f,
                                        .margin = {Teeth::Double, 5, 0.075f, 0.25f, 0.93f}},
                               .angles = {-15, 42, 90, 138, 195}, .lens = {0.5f, 0.85f, 1.0f, 0.85f, 0.5f},
                               .sinus = {0.2f, 0.18f, 0.18f, 0.2f}, .veins = kMapleVeins};
const PalmateForm kSweetGum{.lobe = {.wx = 0.3f, .wy = 0.3f, .baseRound = 0.7f, .k1 = 0.6f, .k2 = 0.4f, .tipX = 0.04f,
                                     .tipY = 0.55f, .margin = {Teeth::Serrate, 9, 0.016f, 0.1f, 0.9f}},
                            .angles = {-38, 28, 90, 152, 218},
                            .lens = {0.72f, 0.95f, 1.0f, 0.95f, 0.72f},
                            .sinus = {0.36f, 0.4f, 0.4f, 0.36f},
                            .veins = {.pairs = 2, .start = 0.3f, .end = 0.7f, .midW = 0.035f},
                            .stalk = 0.3f};

const SimpleForm kBirch{.right = {.wx = 0.42f, .wy = 0.3f, .baseRound = 1.05f, .k1 = 0.6f, .k2 = 0.45f, .tipX = 0.12f,
                                  .tipY = 0.78f, .margin = {Teeth::Double, 9, 0.045f, 0.12f, 0.95f}},
                        .widthJitter = 0.04f,
                        .veins = {.pairs = 6, .start = 0.08f, .end = 0.72f, .forward = 0.18f, .reach = 0.9f,
                                  .curve = 0.35f}};
const SimpleForm kBeech{.right = {.wx = 0.33f, .wy = 0.47f, .baseRound = 0.75f, .tipX = 0.35f, .tipY = 0.93f,
                                  .margin = {Teeth::Wavy, 8, 0.022f, 0.1f, 0.93f}},
                        .widthJitter = 0.03f,
                        .veins = {.pairs = 8, .start = 0.06f, .end = 0.86f, .forward = 0.13f, .reach = 0.93f,
                                  .curve = 0.25f},
                        .stalk = 0.12f,
                        .stalkW = 0.035f};
const SimpleForm kSweetChestnut{.right = {.wx = 0.17f, .wy = 0.42f, .baseRound = 0.5f, .tipX = 0.08f, .tipY = 0.8f,
                                          .margin = {Teeth::Bristle, 15, 0.032f, 0.06f, 0.93f}},
                                .widthJitter = 0.015f,
                                .veins = {.pairs = 15, .start = 0.05f, .end = 0.9f, .forward = 0.06f, .reach = 0.97f,
                                          .curve = 0.15f, .midW = 0.03f, .sideW = 0.009f},
                                .stalk = 0.12f};
const BladeOutline kLindenHalf{.wx = 0.5f, .wy = 0.36f, .baseRound = 1.0f, .baseDrop = -0.22f, .k1 = 0.55f,
                               .k2 = 0.55f, .tipX = 0.1f, .tipY = 0.75f,
                               .margin = {Teeth::Serrate, 15, 0.024f, 0.08f, 0.95f}};
const SimpleForm kLinden{.right = kLindenHalf,
                         .leftHalf = LeftHalf::Widened,
                         .left = {.wx = 0.5f, .wy = 0.36f + 0.03f, .baseRound = 1.0f, .baseDrop = -0.3f, .k1 = 0.55f,
                                  .k2 = 0.55f, .tipX = 0.1f, .tipY = 0.75f, .margin = kLindenHalf.margin},
                         .drawFrom = 1.04f,
                         .drawTo = 1.14f,
                         .veins = {.pairs = 5, .start = 0.02f, .end = 0.7f, .forward = 0.25f, .reach = 0.85f,
                                   .curve = 0.55f}};
constexpr VeinLayout kPoplarVeins{
    .pairs = 5, .start = 0.03f, .end = 0.6f, .forward = 0.22f, .reach = 0.8f, .curve = 0.5f};
const SimpleForm kBlackPoplar{.right = {.wx = 0.55f, .wy = 0.2f, .baseRound = 1.1f, .baseDrop = 0.03f, .k1 = 0.5f,
                                        .k2 = 0.35f, .tipX = 0.1f, .tipY = 0.62f,
                                        .margin = {Teeth::Crenate, 12, 0.026f, 0.1f, 0.9f}},
                              .veins = kPoplarVeins,
                              .stalk = 0.32f};
const SimpleForm kAspen{.right = {.wx = 0.5f, .wy = 0.45f, .baseRound = 1.0f, .baseDrop = -0.02f, .tipX = 0.55f,
                                  .tipY = 1.0f, .margin = {Teeth::Crenate, 8, 0.04f, 0.1f, 0.9f}},
                        .veins = kPoplarVeins,
                        .stalk = 0.32f};
constexpr Margin kElmMargin{Teeth::Double, 13, 0.036f, 0.08f, 0.95f};
const SimpleForm kElm{.right = {.wx = 0.37f, .wy = 0.4f, .baseRound = 1.1f, .baseDrop = -0.06f, .tipX = 0.12f,
                                .tipY = 0.83f, .margin = kElmMargin},
                      .leftHalf = LeftHalf::Raised,
                      .left = {.wx = 0.33f, .wy = 0.46f, .baseRound = 0.4f, .tipX = 0.12f, .tipY = 0.83f,
                               .margin = kElmMargin},
                      .drawFrom = 0.05f,
                      .drawTo = 0.09f,
                      .veins = {.pairs = 12, .start = 0.06f, .end = 0.86f, .forward = 0.1f, .reach = 0.95f,
                                .curve = 0.15f, .sideW = 0.013f},
                      .stalk = 0.07f,
                      .stalkW = 0.035f};
const SimpleForm kCherry{.right = {.wx = 0.32f, .wy = 0.6f, .baseRound = 0.45f, .k1 = 0.6f, .tipX = 0.1f,
                                   .tipY = 0.84f, .margin = {Teeth::Double, 16, 0.017f, 0.1f, 0.95f}},
                         .widthJitter = 0.03f,
                         .veins = {.pairs = 8, .start = 0.06f, .end = 0.85f, .forward = 0.2f, .reach = 0.82f,
                                   .curve = 0.55f},
                         .stalk = 0.32f,
                         .stalkW = 0.042f};
const SimpleForm kHornbeam{.right = {.wx = 0.3f, .wy = 0.45f, .baseRound = 0.8f, .tipX = 0.12f, .tipY = 0.84f,
                                     .margin = {Teeth::Double, 15, 0.026f, 0.08f, 0.95f}},
                           .veins = {.pairs = 13, .start = 0.05f, .end = 0.88f, .forward = 0.09f, .reach = 0.96f,
                                     .curve = 0.12f, .sideW = 0.016f},
                           .stalk = 0.15f};
const SimpleForm kHazel{.right = {.wx = 0.46f, .wy = 0.55f, .baseRound = 0.95f, .baseDrop = -0.07f, .k2 = 0.6f,
                                  .tipX = 0.25f, .tipY = 0.93f, .margin = {Teeth::Double, 10, 0.042f, 0.1f, 0.95f}},
                        .veins = {.pairs = 6, .start = 0.06f, .end = 0.78f, .forward = 0.2f, .reach = 0.88f,
                                  .curve = 0.45f},
                        .stalk = 0.18f,
                        .stalkW = 0.035f};
const SimpleForm kWillow{.right = {.wx = 0.105f, .wy = 0.4f, .baseRound = 0.5f, .tipX = 0.1f, .tipY = 0.75f,
                                   .margin = {Teeth::Serrate, 24, 0.008f, 0.08f, 0.95f}},
                         .veins = {.pairs = 10, .start = 0.05f, .end = 0.85f, .forward = 0.1f, .reach = 0.8f,
                                   .curve = 0.3f, .midW = 0.032f, .sideW = 0.006f},
                         .stalk = 0.09f};

const PinnateForm kRowan{.leaflet = {.wx = 0.3f, .wy = 0.45f, .baseRound = 0.7f, .tipX = 0.3f, .tipY = 0.92f,
                                     .margin = {Teeth::Serrate, 7, 0.05f, 0.3f, 0.95f}},
                         .pairs = 5,
                         .len = 0.3f,
                         .widthScale = 0.85f,
                         .top = 0.93f};
const PinnateForm kAsh{.leaflet = {.wx = 0.25f, .wy = 0.42f, .baseRound = 0.5f, .tipX = 0.08f, .tipY = 0.8f,
                                   .margin = {Teeth::Serrate, 6, 0.022f, 0.35f, 0.93f}},
                       .pairs = 3,
                       .len = 0.5f,
                       .widthScale = 0.9f,
                       .top = 0.9f};

// clang-format on

LeafGeom leafGeom(const PalmateForm& p, Rng& rng) {
  LeafGeom g;
  std::vector<float> rad;
  for (size_t i = 0; i < p.angles.size(); ++i) {
    float a = deg(p.angles[i] + rng.jitter(4.0f));
    rad.push_back(a);
    VeinLayout v = p.veins;
    bool centre = std::fabs(p.angles[i] - 90.0f) < 1.0f;
    v.midLevel = centre ? 0 : 1;
    if (!centre) v.midW *= 0.85f;
    BladeOutline s = p.lobe;
    s.margin.count = std::max(0, p.lobe.margin.count + (p.lens[i] < 0.7f ? -1 : 0));
    addLobe(g, s, v, {0, 0}, a, p.lens[i] * rng.range(0.94f, 1.05f), 1.0f, rng);
  }
  if (!p.sinus.empty()) addPalm(g, rad, p.sinus);
  addStalk(g, p.stalk * 0.8f, rng.jitter(0.25f), 0.05f, 0.04f);
  return g;
}

LeafGeom simpleLeaf(const BladeOutline& right, const BladeOutline& left, const VeinLayout& v,
                    float stalk, float stalkW, Rng& rng) {
  LeafGeom g;
  addBlade(g, right, left, v, Affine{}, 1.0f, rng);
  addStalk(g, stalk, rng.jitter(0.3f), stalkW, stalkW * 0.8f);
  return g;
}

LeafGeom simpleLeaf(const BladeOutline& outline, const VeinLayout& v, float stalk, float stalkW,
                    Rng& rng, float asym = 0.05f) {
  BladeOutline l = outline, r = outline;
  l.wx *= 1.0f + rng.jitter(asym);
  r.wx *= 1.0f + rng.jitter(asym);
  l.wy += rng.jitter(asym * 0.5f);
  return simpleLeaf(r, l, v, stalk, stalkW, rng);
}

LeafGeom leafGeom(const SimpleForm& f, Rng& rng) {
  BladeOutline left = f.left;
  switch (f.leftHalf) {
    case LeftHalf::Jittered: {
      BladeOutline s = f.right;
      if (f.widthJitter > 0.0f) s.wx += rng.jitter(f.widthJitter);
      return simpleLeaf(s, f.veins, f.stalk, f.stalkW, rng);
    }
    case LeftHalf::Widened:
      left.wx *= rng.range(f.drawFrom, f.drawTo);
      break;
    case LeftHalf::Raised:
      left.baseY = rng.range(f.drawFrom, f.drawTo);
      break;
  }
  return simpleLeaf(f.right, left, f.veins, f.stalk, f.stalkW, rng);
}

LeafGeom leafGeom(const PinnateForm& f, Rng& rng) {
  LeafGeom g;
  const BladeOutline& s = f.leaflet;
  VeinLayout v{.pairs = 3,
               .start = 0.15f,
               .end = 0.8f,
               .forward = 0.15f,
               .reach = 0.8f,
               .curve = 0.4f,
               .midW = 0.02f,
               .sideW = 0.008f,
               .midLevel = 1};
  const int pairs = f.pairs;
  const float len = f.len, ws = f.widthScale, top = f.top;
  const float bend = rng.jitter(0.08f);
  auto rachis = [&](float y) { return Vec2{bend * y * y, y}; };
  for (int i = 0; i < pairs; ++i) {
    float y = 0.1f + (top - 0.14f) * static_cast<float>(i) / static_cast<float>(pairs);
    float l = len * (1.0f - 0.12f * static_cast<float>(i) / pairs) * rng.range(0.92f, 1.06f);
    addLobe(g, s, v, rachis(y), deg(28.0f + rng.jitter(6)), l, ws, rng);
    addLobe(g, s, v, rachis(y + 0.01f), deg(152.0f + rng.jitter(6)), l, ws, rng);
  }
  addLobe(g, s, v, rachis(top - 0.02f), deg(90.0f + rng.jitter(5)), len * 1.05f, ws, rng);
  VeinLine r;
  for (int k = 0; k <= 14; ++k)
    r.pts.push_back(rachis(-0.16f + (top + 0.1f) * static_cast<float>(k) / 14.0f));
  r.w0 = 0.034f;
  r.w1 = 0.018f;
  g.stalks.push_back(r);
  g.stalkOnTop = true;
  return g;
}

LeafGeom leafGeom(Leaflets f, Rng& rng) {
  const int leaflets = f.count;
  LeafGeom g;
  BladeOutline s{.wx = 0.2f,
                 .wy = 0.68f,
                 .baseRound = 0.15f,
                 .k1 = 0.55f,
                 .k2 = 0.5f,
                 .tipX = 0.25f,
                 .tipY = 0.97f,
                 .margin = {Teeth::Double, 12, 0.018f, 0.25f, 0.95f}};
  VeinLayout v{.pairs = 9,
               .start = 0.12f,
               .end = 0.88f,
               .forward = 0.1f,
               .reach = 0.85f,
               .curve = 0.3f,
               .midW = 0.03f,
               .sideW = 0.011f};
  const float spread = f.spread;
  for (int i = 0; i < leaflets; ++i) {
    float q = static_cast<float>(i) / static_cast<float>(leaflets - 1) * 2.0f - 1.0f;
    float a = deg(90.0f - spread * q + rng.jitter(4.0f));
    float len = (1.0f - 0.58f * q * q) * rng.range(0.95f, 1.04f);
    VeinLayout lv = v;
    lv.midLevel = i == leaflets / 2 ? 0 : 1;
    addLobe(g, s, lv, polar(a, 0.07f), a, len * 0.95f, 1.0f, rng);
  }
  addStalk(g, 0.32f, rng.jitter(0.25f), 0.055f, 0.05f);
  return g;
}

LeafGeom oak(bool red, Rng& rng) {
  LeafGeom g;
  BladeOutline body;
  VeinLayout bv;
  bv.pairs = 0;
  bv.midW = 0.04f;
  if (red) {
    body = {.wx = 0.1f,
            .wy = 0.55f,
            .baseRound = 0.6f,
            .tipX = 0.08f,
            .tipY = 0.82f,
            .margin = {Teeth::Bristle, 2, 0.12f, 0.55f, 0.92f}};
  } else {
    body = {.wx = 0.085f, .wy = 0.62f, .baseRound = 0.6f, .tipX = 0.8f, .tipY = 1.0f, .margin = {}};
  }
  addLobe(g, body, bv, {0, 0}, deg(90), 1.0f, 1.0f, rng);
  const int pairs = red ? rng.irange(3, 4) : rng.irange(4, 5);
  for (int i = 0; i < pairs; ++i) {
    float q = static_cast<float>(i) / static_cast<float>(pairs - 1);
    for (int side = 0; side < 2; ++side) {
      float y = lerpf(red ? 0.2f : 0.13f, red ? 0.68f : 0.78f, q) + (side ? 0.05f : 0.0f) +
                rng.jitter(0.025f);
      float len, spread;
      BladeOutline s;
      VeinLayout v;
      v.midLevel = 1;
      v.midW = 0.03f;
      v.sideW = 0.011f;
      if (red) {
        len = 0.3f + 0.16f * std::sin(kPi * (0.25f + 0.6f * q)) + rng.jitter(0.03f);
        spread = 40.0f + 12.0f * q;
        s = {.wx = 0.3f,
             .wy = 0.42f,
             .baseRound = 0.6f,
             .tipX = 0.05f,
             .tipY = 0.82f,
             .margin = {Teeth::Bristle, 2, 0.17f, 0.35f, 0.9f}};
        v.pairs = 1;
      } else {
        len =
            0.17f + 0.24f * std::pow(std::sin(kPi * std::pow(y, 1.3f)), 1.2f) + rng.jitter(0.025f);
        spread = 22.0f + 30.0f * y;
        s = {.wx = 0.4f, .wy = 0.6f, .baseRound = 0.7f, .tipX = 0.95f, .tipY = 1.02f, .margin = {}};
        v.pairs = 1;
        v.start = 0.3f;
      }
      float a = side == 0 ? deg(spread + rng.jitter(6)) : deg(180.0f - spread + rng.jitter(6));
      addLobe(g, s, v, {0.0f, y}, a, len, 1.0f, rng, 0.1f);
    }
  }
  if (!red) {
    BladeOutline aur = {
        .wx = 0.45f, .wy = 0.5f, .baseRound = 0.9f, .tipX = 0.9f, .tipY = 1.0f, .margin = {}};
    VeinLayout none;
    none.pairs = 0;
    none.midW = 0.0f;
    addLobe(g, aur, none, {0.0f, 0.035f}, deg(-40), 0.075f, 1.0f, rng);
    addLobe(g, aur, none, {0.0f, 0.035f}, deg(220), 0.075f, 1.0f, rng);
  }
  addStalk(g, red ? 0.14f : 0.07f, rng.jitter(0.2f), 0.045f, 0.04f);
  return g;
}

LeafGeom ginkgo(Rng& rng) {
  LeafGeom g;
  const float half = deg(rng.range(58.0f, 76.0f));
  const float notch = rng.range(0.08f, 0.35f);
  const float phase = rng.range(0.0f, 6.0f);
  const uint32_t nseed = rng.next();
  auto outer = [&](float th) {  // th measured from the +y axis
    float r = 1.0f + 0.025f * std::sin(9.0f * th + phase) +
              0.05f * (valueNoise(th * 6.0f + 3.0f, 0.5f, nseed) - 0.5f);
    r -= notch * std::exp(-(th / 0.06f) * (th / 0.06f));
    return r;
  };
  Contour c;
  const Vec2 baseR{0.025f, 0.03f}, baseL{-0.025f, 0.03f};
  Vec2 cornerR = Vec2{std::sin(half), std::cos(half)} * outer(half);
  Vec2 cornerL = Vec2{-std::sin(half), std::cos(half)} * outer(-half);
  auto edge = [&](Vec2 a, Vec2 b, bool forward) {
    Vec2 mid = lerp(a, b, 0.55f);
    Vec2 n = normalize(perp(b - a)) * (forward ? 0.06f : -0.06f);
    Vec2 ctrl = mid + n;
    for (int k = 0; k <= 20; ++k) {
      float t = static_cast<float>(k) / 20.0f, u = 1.0f - t;
      c.push_back(a * (u * u) + ctrl * (2 * u * t) + b * (t * t));
    }
  };
  edge(baseR, cornerR, true);
  for (int k = 1; k < 120; ++k) {
    float th = half - 2.0f * half * static_cast<float>(k) / 120.0f;
    c.push_back(Vec2{std::sin(th), std::cos(th)} * outer(th));
  }
  edge(cornerL, baseL, true);
  orientPositive(c);
  g.blade.push_back(c);
  const int lines = 15;
  for (int i = 0; i < lines; ++i) {
    float th = -half * 0.92f + 1.84f * half * (static_cast<float>(i) + 0.5f) / lines;
    VeinLine v;
    for (int k = 0; k <= 8; ++k) {
      float t = static_cast<float>(k) / 8.0f;
      float a = th * std::pow(t, 0.6f);
      v.pts.push_back(Vec2{std::sin(a), std::cos(a)} * (0.04f + 0.9f * t * outer(th)));
    }
    v.w0 = 0.014f;
    v.w1 = 0.007f;
    v.level = 2;
    g.veins.push_back(v);
  }
  addStalk(g, 0.38f, rng.jitter(0.3f), 0.045f, 0.04f);
  return g;
}

LeafGeom hawthorn(Rng& rng) {
  LeafGeom g;
  BladeOutline body{.wx = 0.16f,
                    .wy = 0.7f,
                    .baseRound = 0.4f,
                    .tipX = 0.6f,
                    .tipY = 1.0f,
                    .margin = {Teeth::Serrate, 4, 0.06f, 0.55f, 0.95f}};
  VeinLayout bv;
  bv.pairs = 0;
  addLobe(g, body, bv, {0, 0}, deg(90), 1.0f, 1.0f, rng);
  BladeOutline lobe{.wx = 0.32f,
                    .wy = 0.55f,
                    .baseRound = 0.5f,
                    .tipX = 0.4f,
                    .tipY = 1.0f,
                    .margin = {Teeth::Serrate, 3, 0.07f, 0.45f, 0.95f}};
  VeinLayout lv;
  lv.pairs = 0;
  lv.midLevel = 1;
  lv.midW = 0.028f;
  for (int side = 0; side < 2; ++side) {
    float sg = side == 0 ? 1.0f : -1.0f;
    addLobe(g, lobe, lv, {0.0f, 0.16f}, deg(90.0f - sg * (62.0f + rng.jitter(6))), 0.5f, 0.9f, rng);
    addLobe(g, lobe, lv, {0.0f, 0.45f}, deg(90.0f - sg * (40.0f + rng.jitter(6))), 0.4f, 0.9f, rng);
  }
  addStalk(g, 0.26f, rng.jitter(0.3f), 0.04f, 0.035f);
  return g;
}

LeafGeom tulipTree(Rng& rng) {
  LeafGeom g;
  std::vector<Vec2> right = {{0.0f, 0.0f},   {0.2f, -0.02f}, {0.42f, 0.07f}, {0.56f, 0.24f},
                             {0.44f, 0.42f}, {0.48f, 0.62f}, {0.56f, 0.84f}, {0.38f, 0.9f},
                             {0.2f, 0.9f},   {0.08f, 0.86f}, {0.0f, 0.82f}};
  std::vector<Vec2> pts;
  for (const Vec2& p : right)
    pts.push_back({p.x * (1.0f + rng.jitter(0.04f)), p.y + rng.jitter(0.015f)});
  pts.front() = {0, 0};
  pts.back() = {0, 0.82f};
  std::vector<Vec2> ring = pts;
  for (size_t i = pts.size() - 1; i-- > 1;)
    ring.push_back({-pts[i].x * (1.0f + rng.jitter(0.04f)), pts[i].y});
  Contour c = catmullRom(ring, true, 10);
  orientPositive(c);
  g.blade.push_back(c);
  auto vein = [&](std::vector<Vec2> p, float w0, float w1, int level) {
    g.veins.push_back({catmullRom(p, false, 6), w0, w1, level});
  };
  vein({{0, 0}, {0, 0.4f}, {0, 0.8f}}, 0.04f, 0.015f, 0);
  for (float sg : {1.0f, -1.0f}) {
    vein({{0, 0.04f}, {sg * 0.3f, 0.12f}, {sg * 0.5f, 0.24f}}, 0.025f, 0.01f, 1);
    vein({{0, 0.3f}, {sg * 0.25f, 0.5f}, {sg * 0.5f, 0.8f}}, 0.025f, 0.01f, 1);
    vein({{0, 0.6f}, {sg * 0.15f, 0.72f}, {sg * 0.25f, 0.86f}}, 0.015f, 0.006f, 2);
    vein({{sg * 0.2f, 0.12f}, {sg * 0.3f, 0.3f}}, 0.012f, 0.006f, 2);
  }
  addStalk(g, 0.32f, rng.jitter(0.3f), 0.045f, 0.04f);
  return g;
}

LeafGeom sassafras(Rng& rng) {
  LeafGeom g;
  BladeOutline body{
      .wx = 0.3f, .wy = 0.55f, .baseRound = 0.4f, .tipX = 0.5f, .tipY = 0.98f, .margin = {}};
  VeinLayout v{
      .pairs = 4, .start = 0.35f, .end = 0.85f, .forward = 0.15f, .reach = 0.8f, .curve = 0.45f};
  addLobe(g, body, v, {0, 0}, deg(90), 1.0f, 1.0f, rng);
  BladeOutline thumb{
      .wx = 0.32f, .wy = 0.5f, .baseRound = 0.6f, .tipX = 0.45f, .tipY = 1.0f, .margin = {}};
  VeinLayout tv{.pairs = 2,
                .start = 0.3f,
                .end = 0.8f,
                .forward = 0.15f,
                .reach = 0.8f,
                .curve = 0.45f,
                .midW = 0.03f,
                .midLevel = 1};
  addLobe(g, thumb, tv, {0.0f, 0.12f}, deg(28.0f + rng.jitter(5)), 0.58f, 0.85f, rng);
  addStalk(g, 0.26f, rng.jitter(0.3f), 0.045f, 0.04f);
  return g;
}

LeafGeom leafGeom(Distinct form, Rng& rng) {
  switch (form) {
    case Distinct::EnglishOak:
      return oak(false, rng);
    case Distinct::RedOak:
      return oak(true, rng);
    case Distinct::Ginkgo:
      return ginkgo(rng);
    case Distinct::Hawthorn:
      return hawthorn(rng);
    case Distinct::TulipTree:
      return tulipTree(rng);
    case Distinct::Sassafras:
      return sassafras(rng);
  }
  return {};
}

LeafGeom leafGeom(const LeafForm& form, Rng& rng) {
  return std::visit([&](const auto& f) { return leafGeom(f, rng); }, form);
}

struct LeafSpecies {
  const char* name;
  LeafForm form;
  LeafLook look;
};

// Every sprite in id order: its shape and its colouring.
std::vector<LeafSpecies> leafSpecies() {
  // clang-format off
  return {
      // Maples.
      {"Norway maple, yellow", kNorwayMaple,
       {.base = rgb8(224, 176, 38), .mid = rgb8(240, 196, 52), .tip = rgb8(232, 158, 36), .blotch = rgb8(226, 118, 30),
        .blotchAmt = 0.35f, .green = rgb8(128, 150, 40), .greenAmt = 0.45f, .edgeAmt = 0.25f,
        .stalk = rgb8(170, 130, 50)}},
      {"sugar maple, orange", kSugarMaple,
       {.base = rgb8(236, 140, 30), .mid = rgb8(232, 96, 28), .tip = rgb8(205, 52, 30), .blotch = rgb8(245, 190, 50),
        .blotchAmt = 0.4f, .stalk = rgb8(170, 50, 30)}},
      {"red maple, scarlet", kRedMaple,
       {.base = rgb8(205, 30, 25), .mid = rgb8(222, 42, 30), .tip = rgb8(172, 18, 24), .blotch = rgb8(236, 110, 30),
        .blotchAmt = 0.25f, .stalk = rgb8(150, 20, 20), .gloss = 0.2f}},
      {"Japanese maple, crimson", kJapaneseMaple,
       {.base = rgb8(150, 12, 30), .mid = rgb8(188, 22, 38), .tip = rgb8(132, 8, 30), .blotch = rgb8(214, 60, 40),
        .blotchAmt = 0.25f, .veinLight = 0.15f, .stalk = rgb8(120, 15, 25), .gloss = 0.18f}},
      {"field maple, yellow", kFieldMaple,
       {.base = rgb8(236, 202, 62), .mid = rgb8(224, 182, 46), .tip = rgb8(204, 150, 40), .green = rgb8(150, 160, 50),
        .greenAmt = 0.55f, .edgeAmt = 0.3f, .stalk = rgb8(160, 140, 60)}},
      {"sycamore with tar spots", kSycamore,
       {.base = rgb8(206, 168, 62), .mid = rgb8(196, 146, 56), .tip = rgb8(172, 118, 50), .edge = rgb8(110, 70, 35),
        .edgeAmt = 0.45f, .spot = rgb8(28, 22, 16), .spotAmt = 0.28f, .spotScale = 5.0f, .spotSize = 0.14f,
        .tarSpots = true, .stalk = rgb8(180, 90, 60)}},
      {"silver maple, underside", kSilverMaple,
       {.base = rgb8(238, 160, 50), .mid = rgb8(235, 130, 40), .tip = rgb8(215, 90, 35), .stalk = rgb8(190, 110, 60),
        .underside = true}},
      {"sugar maple, red with green", kSugarMaple,
       {.base = rgb8(220, 70, 25), .mid = rgb8(236, 112, 30), .tip = rgb8(200, 40, 25), .green = rgb8(110, 140, 40),
        .greenAmt = 0.6f, .stalk = rgb8(160, 50, 25)}},
      // Oaks.
      {"English oak, brown", Distinct::EnglishOak,
       {.base = rgb8(172, 122, 46), .mid = rgb8(186, 132, 52), .tip = rgb8(142, 92, 40), .edge = rgb8(95, 60, 30),
        .edgeAmt = 0.5f, .spotAmt = 0.15f, .veinLight = 0.2f, .stalk = rgb8(130, 95, 45)}},
      {"English oak, ochre with green", Distinct::EnglishOak,
       {.base = rgb8(200, 160, 60), .mid = rgb8(196, 150, 56), .tip = rgb8(170, 120, 48), .green = rgb8(120, 130, 50),
        .greenAmt = 0.6f, .edgeAmt = 0.35f, .stalk = rgb8(150, 120, 60)}},
      {"red oak, red", Distinct::RedOak,
       {.base = rgb8(178, 32, 22), .mid = rgb8(164, 36, 26), .tip = rgb8(124, 30, 22), .blotch = rgb8(110, 25, 20),
        .blotchAmt = 0.35f, .stalk = rgb8(120, 40, 25), .gloss = 0.22f}},
      {"red oak, russet", Distinct::RedOak,
       {.base = rgb8(150, 62, 30), .mid = rgb8(172, 74, 36), .tip = rgb8(112, 46, 26), .edge = rgb8(80, 40, 20),
        .edgeAmt = 0.4f, .stalk = rgb8(110, 60, 35)}},
      // Birches.
      {"birch, yellow", kBirch,
       {.base = rgb8(245, 206, 52), .mid = rgb8(250, 216, 62), .tip = rgb8(236, 182, 40), .spotAmt = 0.2f,
        .spotSize = 0.12f, .stalk = rgb8(150, 110, 50)}},
      {"birch, yellow with green", kBirch,
       {.base = rgb8(232, 206, 60), .mid = rgb8(245, 212, 60), .tip = rgb8(236, 186, 44), .green = rgb8(150, 170, 50),
        .greenAmt = 0.55f, .stalk = rgb8(150, 110, 50)}},
      {"birch, golden", kBirch,
       {.base = rgb8(246, 190, 46), .mid = rgb8(240, 170, 40), .tip = rgb8(222, 140, 36), .edgeAmt = 0.35f,
        .stalk = rgb8(150, 100, 50)}},
      // Beeches.
      {"beech, copper", kBeech,
       {.base = rgb8(192, 102, 40), .mid = rgb8(204, 114, 46), .tip = rgb8(162, 80, 36), .stalk = rgb8(120, 70, 35),
        .gloss = 0.22f}},
      {"beech, brown underside", kBeech,
       {.base = rgb8(160, 102, 56), .mid = rgb8(172, 112, 60), .tip = rgb8(140, 86, 46), .edgeAmt = 0.35f,
        .stalk = rgb8(110, 70, 40), .underside = true}},
      {"beech, orange", kBeech,
       {.base = rgb8(216, 128, 46), .mid = rgb8(226, 150, 54), .tip = rgb8(190, 96, 40), .green = rgb8(150, 140, 50),
        .greenAmt = 0.35f, .stalk = rgb8(130, 80, 40)}},
      // Ginkgos.
      {"ginkgo", Distinct::Ginkgo,
       {.base = rgb8(246, 200, 48), .mid = rgb8(252, 214, 70), .tip = rgb8(242, 190, 40), .edge = rgb8(170, 110, 40),
        .edgeAmt = 0.4f, .veinLight = -0.12f, .mottle = 0.06f, .stalk = rgb8(190, 160, 70)}},
      {"ginkgo", Distinct::Ginkgo,
       {.base = rgb8(200, 200, 62), .mid = rgb8(252, 214, 70), .tip = rgb8(242, 190, 40), .green = rgb8(170, 180, 60),
        .greenAmt = 0.3f, .veinLight = -0.12f, .mottle = 0.06f, .stalk = rgb8(190, 160, 70)}},
      {"ginkgo", Distinct::Ginkgo,
       {.base = rgb8(246, 200, 48), .mid = rgb8(255, 222, 96), .tip = rgb8(242, 190, 40), .veinLight = -0.12f,
        .mottle = 0.06f, .stalk = rgb8(190, 160, 70)}},
      // Horse chestnuts.
      {"horse chestnut, seven leaflets", Leaflets{7, 118.0f},
       {.base = rgb8(224, 172, 52), .mid = rgb8(216, 142, 46), .tip = rgb8(192, 112, 40), .edgeAmt = 0.55f,
        .edgeWidth = 1.3f, .spot = rgb8(140, 84, 40), .spotAmt = 0.3f, .spotScale = 4.0f, .spotSize = 0.25f,
        .stalk = rgb8(140, 100, 50)}},
      {"horse chestnut, five leaflets", Leaflets{5, 96.0f},
       {.base = rgb8(232, 190, 60), .mid = rgb8(226, 170, 50), .tip = rgb8(200, 130, 44), .edgeAmt = 0.45f,
        .edgeWidth = 1.2f, .stalk = rgb8(150, 120, 60)}},
      {"horse chestnut, rust", Leaflets{7, 118.0f},
       {.base = rgb8(200, 120, 44), .mid = rgb8(190, 100, 40), .tip = rgb8(160, 80, 36), .green = rgb8(150, 150, 50),
        .greenAmt = 0.4f, .edgeAmt = 0.5f, .stalk = rgb8(130, 80, 40)}},
      // Sweet chestnuts.
      {"sweet chestnut, yellow", kSweetChestnut,
       {.base = rgb8(212, 172, 60), .mid = rgb8(202, 152, 52), .tip = rgb8(172, 122, 46), .edgeAmt = 0.3f,
        .stalk = rgb8(140, 110, 50)}},
      {"sweet chestnut, brown", kSweetChestnut,
       {.base = rgb8(172, 112, 52), .mid = rgb8(182, 122, 56), .tip = rgb8(150, 92, 44), .green = rgb8(140, 140, 50),
        .greenAmt = 0.3f, .stalk = rgb8(120, 80, 40)}},
      // Lindens.
      {"linden, yellow", kLinden,
       {.base = rgb8(236, 200, 70), .mid = rgb8(242, 208, 80), .tip = rgb8(222, 180, 60), .green = rgb8(150, 170, 60),
        .greenAmt = 0.5f, .stalk = rgb8(160, 140, 60)}},
      {"linden, spotted", kLinden,
       {.base = rgb8(226, 184, 60), .mid = rgb8(232, 190, 66), .tip = rgb8(206, 160, 50), .edgeAmt = 0.3f,
        .spotAmt = 0.3f, .spotScale = 6.0f, .spotSize = 0.16f, .stalk = rgb8(150, 120, 50)}},
      {"linden, pale underside", kLinden,
       {.base = rgb8(240, 214, 96), .mid = rgb8(246, 222, 110), .tip = rgb8(230, 200, 90), .stalk = rgb8(170, 150, 70),
        .underside = true}},
      // Poplars.
      {"black poplar", kBlackPoplar,
       {.base = rgb8(240, 194, 40), .mid = rgb8(246, 204, 52), .tip = rgb8(230, 170, 36), .stalk = rgb8(180, 160, 70)}},
      {"aspen", kAspen,
       {.base = rgb8(244, 170, 40), .mid = rgb8(240, 150, 36), .tip = rgb8(226, 120, 32), .spot = rgb8(50, 30, 20),
        .spotAmt = 0.25f, .spotSize = 0.12f, .stalk = rgb8(170, 130, 60)}},
      // Elms.
      {"elm, yellow-brown", kElm,
       {.base = rgb8(212, 172, 62), .mid = rgb8(206, 162, 58), .tip = rgb8(180, 130, 50), .edgeAmt = 0.5f,
        .stalk = rgb8(120, 90, 40)}},
      {"elm, ochre", kElm,
       {.base = rgb8(190, 150, 52), .mid = rgb8(200, 164, 60), .tip = rgb8(160, 120, 46), .green = rgb8(130, 140, 50),
        .greenAmt = 0.45f, .stalk = rgb8(110, 80, 40)}},
      // Sweet gums.
      {"sweet gum, purple", kSweetGum,
       {.base = rgb8(122, 20, 52), .mid = rgb8(152, 26, 46), .tip = rgb8(100, 16, 46), .blotch = rgb8(196, 40, 40),
        .blotchAmt = 0.35f, .veinLight = 0.12f, .stalk = rgb8(110, 30, 40), .gloss = 0.25f}},
      {"sweet gum, orange", kSweetGum,
       {.base = rgb8(236, 112, 30), .mid = rgb8(226, 82, 30), .tip = rgb8(190, 40, 30), .blotch = rgb8(246, 180, 40),
        .blotchAmt = 0.3f, .stalk = rgb8(170, 60, 30), .gloss = 0.2f}},
      {"sweet gum, mixed", kSweetGum,
       {.base = rgb8(190, 176, 52), .mid = rgb8(224, 124, 40), .tip = rgb8(182, 40, 40), .blotch = rgb8(240, 200, 50),
        .blotchAmt = 0.3f, .stalk = rgb8(150, 90, 40), .gloss = 0.2f}},
      // Compound leaves.
      {"rowan, orange-red", kRowan,
       {.base = rgb8(222, 82, 30), .mid = rgb8(206, 62, 30), .tip = rgb8(182, 42, 30), .blotch = rgb8(236, 140, 40),
        .blotchAmt = 0.3f, .stalk = rgb8(150, 50, 30)}},
      {"rowan, red", kRowan,
       {.base = rgb8(192, 40, 32), .mid = rgb8(176, 32, 30), .tip = rgb8(150, 28, 30), .blotch = rgb8(120, 20, 40),
        .blotchAmt = 0.3f, .stalk = rgb8(130, 40, 30)}},
      {"ash", kAsh,
       {.base = rgb8(226, 206, 82), .mid = rgb8(216, 196, 72), .tip = rgb8(200, 170, 62), .blotch = rgb8(150, 90, 110),
        .blotchAmt = 0.2f, .green = rgb8(160, 170, 60), .greenAmt = 0.4f, .stalk = rgb8(150, 140, 70)}},
      // Cherries.
      {"cherry, crimson", kCherry,
       {.base = rgb8(192, 30, 36), .mid = rgb8(216, 62, 36), .tip = rgb8(170, 26, 36), .blotch = rgb8(240, 130, 40),
        .blotchAmt = 0.35f, .stalk = rgb8(170, 40, 40), .gloss = 0.25f}},
      {"cherry, scarlet", kCherry,
       {.base = rgb8(232, 92, 30), .mid = rgb8(222, 62, 30), .tip = rgb8(192, 40, 30), .blotch = rgb8(246, 200, 50),
        .blotchAmt = 0.35f, .stalk = rgb8(180, 50, 40), .gloss = 0.22f}},
      {"cherry, yellow and red", kCherry,
       {.base = rgb8(236, 172, 50), .mid = rgb8(240, 186, 56), .tip = rgb8(220, 140, 40), .blotch = rgb8(200, 40, 30),
        .blotchAmt = 0.5f, .stalk = rgb8(180, 60, 40), .gloss = 0.2f}},
      // Hawthorns.
      {"hawthorn, red", Distinct::Hawthorn,
       {.base = rgb8(202, 52, 30), .mid = rgb8(214, 70, 32), .tip = rgb8(170, 36, 30), .blotch = rgb8(120, 20, 40),
        .blotchAmt = 0.25f, .stalk = rgb8(140, 50, 30)}},
      {"hawthorn, orange", Distinct::Hawthorn,
       {.base = rgb8(230, 152, 40), .mid = rgb8(236, 170, 50), .tip = rgb8(214, 120, 36), .blotch = rgb8(200, 50, 30),
        .blotchAmt = 0.45f, .stalk = rgb8(150, 90, 40)}},
      {"tulip tree", Distinct::TulipTree,
       {.base = rgb8(240, 200, 60), .mid = rgb8(246, 210, 70), .tip = rgb8(226, 180, 50), .green = rgb8(150, 170, 50),
        .greenAmt = 0.5f, .stalk = rgb8(170, 150, 60), .gloss = 0.2f}},
      {"sassafras", Distinct::Sassafras,
       {.base = rgb8(232, 102, 40), .mid = rgb8(212, 62, 40), .tip = rgb8(160, 40, 62), .blotch = rgb8(244, 180, 50),
        .blotchAmt = 0.3f, .stalk = rgb8(170, 80, 40)}},
      {"hornbeam", kHornbeam,
       {.base = rgb8(230, 180, 60), .mid = rgb8(236, 166, 50), .tip = rgb8(214, 140, 44), .veinLight = -0.15f,
        .stalk = rgb8(150, 120, 50), .relief = 1.4f}},
      {"hazel", kHazel,
       {.base = rgb8(222, 200, 80), .mid = rgb8(230, 196, 70), .tip = rgb8(206, 170, 60), .green = rgb8(150, 160, 60),
        .greenAmt = 0.5f, .spotAmt = 0.2f, .spotSize = 0.15f, .stalk = rgb8(150, 130, 60)}},
      {"willow", kWillow,
       {.base = rgb8(232, 212, 82), .mid = rgb8(240, 216, 90), .tip = rgb8(220, 190, 70), .veinLight = 0.3f,
        .stalk = rgb8(170, 150, 60)}},
      {"Norway maple, flame", kNorwayMaple,
       {.base = rgb8(230, 92, 30), .mid = rgb8(240, 142, 36), .tip = rgb8(210, 62, 30), .blotch = rgb8(200, 30, 30),
        .blotchAmt = 0.3f, .stalk = rgb8(170, 70, 30)}},
  };
  // clang-format on
}

// Side of the square the solid part of the leaf (alpha above one half) spans.
int solidExtent(const Image& image) {
  int x0 = image.w, y0 = image.h, x1 = -1, y1 = -1;
  for (int y = 0; y < image.h; ++y)
    for (int x = 0; x < image.w; ++x)
      if (image.at(x, y)[3] > 128) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
  return std::max(x1 - x0, y1 - y0) + 1;
}

LeafPose poseFor(int id, const LeafGeom& geom) {
  Rng pr(0x1EAF5EEDu + static_cast<uint64_t>(id) * 131u);
  LeafPose pose;
  pose.angle = pr.range(0.0f, 2.0f * kPi);
  // Long narrow leaves lie along a diagonal so that they still fill the square.
  Bounds bb = boundsOf(geom.blade);
  if (bb.height() > 1.8f * bb.width()) {
    pose.angle = 0.25f * kPi + 0.5f * kPi * static_cast<float>(pr.irange(0, 3)) + pr.jitter(0.25f);
  }
  pose.mirror = pr.chance(0.5f);
  pose.bend = pr.jitter(0.12f);
  if (pr.chance(0.3f)) pose.squashX = pr.range(0.6f, 0.88f);
  if (pr.chance(0.15f)) pose.squashY = pr.range(0.7f, 0.9f);
  pose.fill = 0.97f;
  return pose;
}

LeafSprite drawLeafSprite(int id, const LeafSpecies& species, const LeafGeom& geom, int size,
                          const std::vector<int>& larger) {
  LeafPose pose = poseFor(id, geom);
  LeafSprite s;
  s.id = id;
  s.species = species.name;
  const uint32_t seed = static_cast<uint32_t>(id) * 7919u + 17u;
  const int factor = size >= 64 ? 4 : 8;
  s.image = renderLeaf(geom, species.look, pose, size, factor, seed);
  // Thin tips and stalks hardly show; zoom in a little if the solid part
  // of the leaf ends short of the edges.
  const int extent = solidExtent(s.image);
  const float want = static_cast<float>(size) * 0.94f;
  if (extent > 0 && static_cast<float>(extent) < want) {
    pose.fill = std::min(pose.fill * want / static_cast<float>(extent), 1.04f);
    s.image = renderLeaf(geom, species.look, pose, size, factor, seed);
  }
  for (int side : larger) {
    s.larger.push_back(
        renderLeaf(geom, species.look, pose, side, side >= 64 ? 4 : 8, seed, 0.0f, size));
  }
  return s;
}

}  // namespace

LeafGeom mapleGeomForIcon() {
  Rng rng(4242);
  BladeOutline s{.wx = 0.33f,
                 .wy = 0.5f,
                 .baseRound = 0.5f,
                 .tipX = 0.08f,
                 .tipY = 0.8f,
                 .margin = {Teeth::Bristle, 2, 0.16f, 0.36f, 0.9f}};
  VeinLayout v;
  v.pairs = 0;
  v.midW = 0.05f;
  LeafGeom g;
  const float angles[5] = {-16, 40, 90, 140, 196};
  const float lens[5] = {0.55f, 0.92f, 1.0f, 0.92f, 0.55f};
  std::vector<float> rad;
  for (int i = 0; i < 5; ++i) {
    rad.push_back(deg(angles[i]));
    VeinLayout lv = v;
    lv.midLevel = i == 2 ? 0 : 1;
    BladeOutline ls = s;
    if (lens[i] < 0.7f) ls.margin.count = 1;
    addLobe(g, ls, lv, {0, 0}, deg(angles[i]), lens[i], 1.0f, rng, 0.0f);
  }
  addPalm(g, rad, {0.4f, 0.42f, 0.42f, 0.4f});
  addStalk(g, 0.42f, 0.0f, 0.07f, 0.06f);
  return g;
}

std::vector<LeafSprite> makeLeaves(int size, const std::vector<int>& larger) {
  std::vector<LeafSprite> out;
  const std::vector<LeafSpecies> species = leafSpecies();
  for (size_t i = 0; i < species.size(); ++i) {
    Rng geomRng(0xA17E0000u + 97u * static_cast<uint32_t>(i + 1));
    const LeafGeom geom = leafGeom(species[i].form, geomRng);
    out.push_back(drawLeafSprite(141 + static_cast<int>(i), species[i], geom, size, larger));
  }
  return out;
}

}  // namespace artgen
