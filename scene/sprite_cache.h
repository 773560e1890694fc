// The scene's icons, each scaled once to each size the scene draws it at.
//
// The families of icons and the sizes they are drawn at are known up front,
// so the cache reserves the memory for all of them at its first use (the
// first layout) and fills an entry the first time it is drawn: after that
// drawing allocates nothing, and no frame ever scales an icon twice.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/gfx/painter.h"
#include "platform/gfx/sprite.h"
#include "platform/resource_library.h"

namespace sarvel {

class SpriteCache {
 public:
  // Icons first_id..last_id, drawn at these widths x heights.
  struct Family {
    int first_id = 0;
    int last_id = -1;
    std::vector<std::pair<int, int>> sizes;
  };

  SpriteCache(ResourceLibrary& resources, std::vector<Family> families);
  ~SpriteCache();

  // Draws icon `id` scaled to w x h with its top-left corner at (x, y): the
  // pixels of gfx::DrawIcon. Icons and sizes outside the families are drawn
  // by DrawIcon itself. Returns the part of `dst` that may have changed.
  // Raises what the resource library raises for an id that names no icon.
  gfx::Rect Draw(gfx::Surface& dst, int id, float x, float y, int w, int h);

  // For drawing later: the kept sprite of icon `id` at w x h, scaled now if
  // it was not yet, or null when the cache does not keep that one (then
  // Picture gives the icon to draw directly). Raise as Draw does.
  const gfx::Sprite* Sprite(int id, int w, int h);
  gfx::ImageRef Picture(int id) { return resources_.Icon(id); }

  // Off, every draw looks the icon up and scales it afresh, as DrawIcon does.
  void set_enabled(bool enabled) { enabled_ = enabled; }
  bool enabled() const { return enabled_; }
  // Entries scaled so far.
  int built() const { return built_; }

 private:
  struct Slot;
  struct Store;
  void Reserve();

  ResourceLibrary& resources_;
  std::vector<Family> families_;
  std::vector<Store> stores_;
  gfx::ScaleScratch scratch_;
  bool reserved_ = false;
  bool enabled_ = true;
  int built_ = 0;
};

}  // namespace sarvel
