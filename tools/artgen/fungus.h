// Drawing kit for fungi: solids of revolution ("lathes") shaded with light
// from the upper left, plus ground details. Units are sprite pixels of a
// 32x32 sprite, y down; a Studio scales them onto its supersampled canvas.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "geom.h"
#include "raster.h"
#include "rng.h"

namespace artgen::fungus {

// Light direction in screen space, x right, y up, z towards the viewer.
struct Light {
  float x, y, z;
};
Light mainLight();

struct Surface {
  float u = 0;                   // -1 (left silhouette) .. 1 (right silhouette)
  float y = 0;                   // height along the axis, y up, from the lathe base
  float R = 0;                   // radius at this height
  float X = 0;                   // plan view position (across)
  float Z = 0;                   // plan view position (towards the viewer)
  float nx = 0, ny = 0, nz = 1;  // screen-space normal, y up
  float theta = 0;               // angle around the axis, 0 right, pi/2 facing the viewer
  float arc = 0;                 // distance over the surface from the top down to here
  float tx = 0, ty = 0;          // texture map: arc and angle as an equidistant map
  Vec2 screen;                   // sprite pixel position
};

struct Shading {
  float ambient = 0.42f;
  float diffuse = 0.8f;
  float gloss = 0.0f;
  float shininess = 24.0f;
  float edgeDark = 0.3f;
};

class Studio {
 public:
  Studio(int size, int factor);
  int S() const { return S_; }
  float unit() const { return unit_; }  // canvas pixels per sprite pixel
  Canvas& canvas() { return canvas_; }
  // Sprite pixels to canvas pixels: the view zooms about the bottom centre
  // so that a drawing can be fitted to the square with its foot in place.
  Affine toCanvas() const { return view_.then(Affine::scale(unit_)); }
  Vec2 toSprite(float canvasX, float canvasY) const {
    return fromCanvas_.apply({canvasX, canvasY});
  }
  void setZoom(float zoom);
  Mask mask() const { return Mask(S_, S_); }
  Mask fill(const Contour& c) const;
  Mask fill(const Shape& s) const;
  // Stroke in sprite pixels.
  Mask stroke(const std::vector<Vec2>& pts, float w0, float w1) const;
  Image finish() const { return canvas_.downsample(factor_); }

 private:
  int S_;
  int factor_;
  float unit_;
  Canvas canvas_;
  Affine view_;
  Affine fromCanvas_;
};

// A solid of revolution standing at `base` and tilted by `tilt` radians
// (positive leans right), with radius R(y) for y in [y0, y1] (y up).
class Lathe {
 public:
  Lathe(Vec2 base, float tilt, float y0, float y1, const std::function<float(float)>& radius,
        int samples = 200);
  float radius(float y) const;
  float slope(float y) const;
  Contour contour() const;  // sprite pixels
  // Sprite pixel position of a point (x across, y up) in lathe space.
  Vec2 toSprite(Vec2 local) const;
  Vec2 toLocal(Vec2 sprite) const;
  Vec2 base() const { return base_; }
  float tilt() const { return tilt_; }
  float y0() const { return y0_; }
  float y1() const { return y1_; }
  float arcFromTop(float y) const;
  Surface surfaceAt(Vec2 sprite) const;

 private:
  Vec2 base_;
  float tilt_;
  float y0_, y1_;
  std::vector<float> table_;
  std::vector<float> arc_;
};

using SurfaceColor = std::function<Rgba(const Surface&)>;

// Lighting factor for a normal.
float lightAt(float nx, float ny, float nz, const Shading& sh, float* glossOut);

// Paints a lathe; returns its coverage mask. `clip`, if given, limits it.
Mask paintLathe(Studio& st, const Lathe& l, const SurfaceColor& color, const Shading& sh,
                const Mask* clip = nullptr);

// Paints an arbitrary region with a colour function of the sprite position,
// using a soft pillow relief from the blurred mask for light.
void paintPillow(Studio& st, const Mask& m, const std::function<Rgba(Vec2)>& color, float roundness,
                 const Shading& sh);

// Ground contact: a soft shadow under the foot.
void groundShadow(Studio& st, float cx, float halfWidth, float strength = 0.45f);
// Grass blades rising from the bottom edge; `front` picks the nearer half.
void grassTuft(Studio& st, Rng& rng, float cx, float spread, int blades, float maxH, bool autumnal);
// A low moss cushion along the bottom edge.
void mossCushion(Studio& st, Rng& rng, float cx, float halfWidth, float height);
// Fallen needles and crumbs of leaf litter along the bottom rows.
void litter(Studio& st, Rng& rng, float cx, float halfWidth, int pieces);

inline float wrapDiffuse(float d) { return std::clamp((d + 0.35f) / 1.35f, 0.0f, 1.0f); }

}  // namespace artgen::fungus
