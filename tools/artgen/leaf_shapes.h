// Outline and vein construction for leaves, shared by the leaf sprites and
// the application icon.
#pragma once

#include "leaves.h"
#include "rng.h"

namespace artgen::leafshape {

enum class Teeth { None, Serrate, Double, Crenate, Bristle, Wavy };

struct Margin {
  Teeth kind = Teeth::None;
  int count = 0;
  float amp = 0.0f;
  float from = 0.06f;
  float to = 0.96f;
};

// Right half of a blade from the base (0,0) to the tip (0,1) as two cubic
// segments meeting at the widest point (wx, wy).
struct BladeOutline {
  float wx = 0.35f;
  float wy = 0.45f;
  float baseRound = 0.6f;  // >1 gives a square or truncate base
  float baseDrop = 0.0f;   // negative for a heart-shaped base
  float k1 = 0.55f;
  float k2 = 0.5f;
  float tipX = 0.3f;  // small values give a pointed or drawn-out tip
  float tipY = 0.85f;
  float baseY = 0.0f;  // where this half meets the midrib (uneven bases)
  Margin margin;
};

struct VeinLayout {
  int pairs = 6;
  float start = 0.1f;
  float end = 0.82f;
  float forward = 0.16f;
  float reach = 0.85f;
  float curve = 0.5f;
  float midW = 0.035f;
  float sideW = 0.014f;
  int midLevel = 0;
  float midEnd = 0.96f;
};

std::vector<Vec2> halfOutline(const BladeOutline& s);
float halfWidthAt(const std::vector<Vec2>& half, float y);
std::vector<Vec2> applyTeeth(const std::vector<Vec2>& half, float side, const Margin& m, Rng& rng);

// Adds a blade (outline + veins) mapped by T from blade units into leaf units.
void addBlade(LeafGeom& g, const BladeOutline& right, const BladeOutline& left,
              const VeinLayout& vs, const Affine& T, float veinScale, Rng& rng);
// A lobe or leaflet starting at `base`, pointing at `angle` (radians, 0 = +x).
void addLobe(LeafGeom& g, const BladeOutline& outline, const VeinLayout& vs, Vec2 base, float angle,
             float len, float widthScale, Rng& rng, float asym = 0.06f);
// Rounded web between palmate lobes, through one sinus point between each
// pair of neighbouring lobes (angles ascending).
void addPalm(LeafGeom& g, const std::vector<float>& angles, const std::vector<float>& sinusR);
void addStalk(LeafGeom& g, float len, float curve, float w0, float w1);

}  // namespace artgen::leafshape
