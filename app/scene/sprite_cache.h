// The scene's icons, each scaled once to each size the scene draws it at.
//
// The families of icons and the sizes they are drawn at are known up front,
// so the cache reserves the memory for all of them at its first use (the
// first layout) and fills an entry the first time it is drawn: after that
// drawing allocates nothing, and no frame ever scales an icon twice.
//
// The families' sizes are logical (pixels of a 96-DPI screen); the cache
// keeps them at the device scale it is given, and draws in device pixels.
// Each device size is scaled from the icon's entry closest above it (32, 64
// or 128 pixels; ResourceLibrary::IconForSize), with the premultiplied area
// filter of the painter. At scale 1 every size is scaled from the 32-pixel
// entry, as the scene has always drawn them, so frames at scale 1 are the
// very pixels they were before there were larger entries.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/scene/device_scale.h"
#include "core/gfx/painter.h"
#include "core/gfx/sprite.h"
#include "core/ports/resource_library.h"

namespace sarvel {

class SpriteCache {
 public:
  // Icons first_id..last_id, drawn at these logical widths x heights.
  struct Family {
    int first_id = 0;
    int last_id = -1;
    std::vector<std::pair<int, int>> sizes;
  };

  SpriteCache(ResourceLibrary& resources, std::vector<Family> families);
  ~SpriteCache();

  // Device pixels per logical pixel (1 until set). A new scale drops what
  // was kept; the next use reserves again.
  void SetScale(double scale);
  double scale() const { return scale_; }
  // A logical length in device pixels at this scale: DeviceLength.
  int DeviceSize(int logical) const;

  // Draws icon `id` scaled to w x h device pixels with its top-left corner
  // at (px, py): the pixels of gfx::DrawIconAt with the picture Picture()
  // gives. Icons and sizes outside the families are drawn by DrawIconAt
  // itself. Returns the part of `dst` that may have changed. Raises what
  // the resource library raises for an id that names no icon.
  gfx::Rect Draw(gfx::Surface& dst, int id, int64_t px, int64_t py, int w, int h);
  // The same at a float position, rounded as gfx::DrawIcon rounds.
  gfx::Rect Draw(gfx::Surface& dst, int id, float x, float y, int w, int h);

  // For drawing later: the kept sprite of icon `id` at w x h device pixels,
  // scaled now if it was not yet, or null when the cache does not keep that
  // one (then Picture gives the icon to draw directly). Raise as Draw does.
  const gfx::Sprite* Sprite(int id, int w, int h);
  // The picture a w x h device-pixel draw of icon `id` is scaled from.
  gfx::ImageRef Picture(int id, int w, int h);

  // Off, every draw looks the icon up and scales it afresh, as DrawIcon does.
  void set_enabled(bool enabled) { enabled_ = enabled; }
  bool enabled() const { return enabled_; }
  // Entries scaled so far (since the scale was last changed).
  int built() const { return built_; }

 private:
  struct Slot;
  struct Store;
  void Reserve();

  ResourceLibrary& resources_;
  std::vector<Family> families_;
  std::vector<Store> stores_;
  gfx::ScaleScratch scratch_;
  double scale_ = 1.0;
  int max_side_ = 0;  // the largest device side kept
  bool reserved_ = false;
  bool enabled_ = true;
  int built_ = 0;
};

}  // namespace sarvel
