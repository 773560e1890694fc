// Autumn leaf sprites: species outlines built from lobes and leaflets, veins,
// colouring and a light relief, rendered supersampled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geom.h"
#include "raster.h"

namespace artgen {

// A vein or stalk centre line with a width tapering from w0 to w1, in leaf
// units (the blade is about one unit long).
struct VeinLine {
  std::vector<Vec2> pts;
  float w0 = 0.02f;
  float w1 = 0.01f;
  int level = 2;  // 0 midrib, 1 main lobe veins, 2 side veins
};

// Leaf geometry in leaf units, y up, the stalk attached at the origin.
struct LeafGeom {
  Shape blade;
  std::vector<VeinLine> veins;
  std::vector<VeinLine> stalks;  // petiole and rachis, drawn unclipped
  bool stalkOnTop = false;       // compound leaves show the rachis over the leaflets
};

struct LeafLook {
  Rgba base{}, mid{}, tip{};  // colour by distance from the stalk
  Rgba blotch{};
  float blotchAmt = 0.0f;
  float blotchScale = 2.2f;
  Rgba green = rgb8(120, 140, 40);
  float greenAmt = 0.0f;  // chlorophyll left along the veins
  Rgba edge = rgb8(120, 70, 35);
  float edgeAmt = 0.0f;  // dried margin
  float edgeWidth = 1.0f;
  Rgba spot = rgb8(90, 50, 25);
  float spotAmt = 0.0f;  // share of cells carrying a spot
  float spotScale = 7.0f;
  float spotSize = 0.22f;
  bool tarSpots = false;    // black spots with a yellow halo
  float veinLight = 0.25f;  // veins lighter (>0) or darker (<0) than the blade
  float mottle = 0.10f;
  Rgba stalk{};
  float gloss = 0.12f;
  float relief = 1.0f;
  bool underside = false;
};

struct LeafPose {
  float angle = 0.0f;    // radians, rotation of the tip direction
  float squashX = 1.0f;  // tilt about the midrib
  float squashY = 1.0f;  // tilt across the midrib
  bool mirror = false;
  float bend = 0.0f;  // curvature of the midrib
  float fill = 1.0f;  // share of the square the leaf spans
};

struct LeafSprite {
  int id = 0;
  std::string species;
  Image image;
  // The same leaf drawn finer, at the sizes asked for (for high-DPI screens).
  std::vector<Image> larger;
};

// The fifty leaf sprites, ids 141..190, `size` pixels square, and each one
// again at every size of `larger`: the same leaf in the same pose, with the
// relief and shading measured in pixels of the `size` sprite, so that a
// larger one shrunk to `size` looks like the small one.
std::vector<LeafSprite> makeLeaves(int size = 32, const std::vector<int>& larger = {});

// Building blocks shared with the application icon.
LeafGeom mapleGeomForIcon();
// Renders geometry into a size x size image at `factor`x supersampling.
// Blurs, relief and margins are measured in pixels of a `nominal`-sized
// sprite (0: of this one), so one leaf drawn at several sizes looks alike.
Image renderLeaf(const LeafGeom& g, const LeafLook& look, const LeafPose& pose, int size,
                 int factor, uint32_t seed, float outline = 0.0f, int nominal = 0);

}  // namespace artgen
