#include "app/scene/sprite_cache.h"

#include <algorithm>

#include "core/base/failure.h"

namespace sarvel {

struct SpriteCache::Slot {
  gfx::Sprite sprite;
  gfx::ImageRef picture;  // what it is scaled from; null until loaded
  bool built = false;
};

// One family's memory: for every icon a block holding all its sizes.
struct SpriteCache::Store {
  std::vector<int16_t> size_index;                // (w, h) -> index into offsets, -1 when not kept
  std::vector<size_t> offsets;                    // of each size within a block, in words
  std::vector<std::pair<int, int>> device_sizes;  // by index
  size_t block_words = 0;
  std::unique_ptr<uint32_t[]> words;  // left uninitialised: untouched sizes cost no memory
  std::vector<Slot> slots;            // icon-major
};

SpriteCache::SpriteCache(ResourceLibrary& resources, std::vector<Family> families)
    : resources_(resources), families_(std::move(families)) {}

SpriteCache::~SpriteCache() = default;

void SpriteCache::SetScale(double scale) {
  scale = SaneScale(scale);
  if (scale == scale_) return;
  scale_ = scale;
  stores_.clear();
  reserved_ = false;
  built_ = 0;
}

int SpriteCache::DeviceSize(int logical) const { return DeviceLength(logical, scale_); }

gfx::ImageRef SpriteCache::Picture(int id, int w, int h) {
  if (scale_ == 1.0) return resources_.Icon(id);
  return resources_.IconForSize(id, std::max(w, h));
}

void SpriteCache::Reserve() {
  reserved_ = true;
  stores_.clear();
  stores_.resize(families_.size());
  max_side_ = 0;
  for (const Family& family : families_) {
    for (const auto& [w, h] : family.sizes) {
      if (w >= 1 && h >= 1) max_side_ = std::max({max_side_, DeviceSize(w), DeviceSize(h)});
    }
  }
  const size_t row = size_t(max_side_) + 1;
  int largest_icon = 0;
  for (size_t f = 0; f < families_.size(); ++f) {
    const Family& family = families_[f];
    Store& store = stores_[f];
    const int icons = std::max(0, family.last_id - family.first_id + 1);
    store.size_index.assign(row * row, -1);
    for (const auto& [lw, lh] : family.sizes) {
      if (lw < 1 || lh < 1) continue;
      const int w = DeviceSize(lw), h = DeviceSize(lh);
      int16_t& index = store.size_index[size_t(w) * row + size_t(h)];
      if (index >= 0) continue;
      index = int16_t(store.offsets.size());
      store.offsets.push_back(store.block_words);
      store.device_sizes.emplace_back(w, h);
      store.block_words += gfx::SpriteWords(w, h);
    }
    store.words.reset(new uint32_t[store.block_words * size_t(icons)]);
    store.slots.assign(store.offsets.size() * size_t(icons), Slot{});
    // The pictures are loaded now, outside the frames. One that fails to load
    // fails again, and is reported, where it is first drawn.
    for (int i = 0; i < icons; ++i) {
      for (size_t k = 0; k < store.offsets.size(); ++k) {
        const auto [w, h] = store.device_sizes[k];
        try {
          gfx::ImageRef picture = Picture(family.first_id + i, w, h);
          largest_icon = std::max({largest_icon, picture->width(), picture->height()});
          store.slots[size_t(i) * store.offsets.size() + k].picture = std::move(picture);
        } catch (const RuntimeFailure&) {
        }
      }
    }
  }
  scratch_.Reserve(largest_icon, max_side_);
}

const gfx::Sprite* SpriteCache::Sprite(int id, int w, int h) {
  if (!enabled_ || w < 1 || h < 1) return nullptr;
  if (!reserved_) Reserve();
  if (w > max_side_ || h > max_side_) return nullptr;
  const size_t row = size_t(max_side_) + 1;
  for (size_t f = 0; f < families_.size(); ++f) {
    const Family& family = families_[f];
    if (id < family.first_id || id > family.last_id) continue;
    Store& store = stores_[f];
    const int16_t index = store.size_index[size_t(w) * row + size_t(h)];
    if (index < 0) return nullptr;
    const size_t icon = size_t(id - family.first_id);
    Slot& slot = store.slots[icon * store.offsets.size() + size_t(index)];
    if (!slot.built) {
      if (!slot.picture) slot.picture = Picture(id, w, h);
      uint32_t* storage =
          store.words.get() + icon * store.block_words + store.offsets[size_t(index)];
      slot.sprite = gfx::MakeSprite(*slot.picture, w, h, storage, scratch_);
      slot.built = true;
      ++built_;
    }
    return &slot.sprite;
  }
  return nullptr;
}

gfx::Rect SpriteCache::Draw(gfx::Surface& dst, int id, int64_t px, int64_t py, int w, int h) {
  if (const gfx::Sprite* sprite = Sprite(id, w, h)) {
    gfx::DrawSpriteAt(dst, *sprite, px, py, dst.bounds());
    return gfx::SpriteArea(*sprite, px, py, dst.bounds());
  }
  const gfx::ImageRef icon = Picture(id, w, h);
  gfx::DrawIconAt(dst, *icon, px, py, w, h, dst.bounds());
  if (icon->width() <= 0 || icon->height() <= 0) return {};
  return gfx::ClipRect(px, py, w, h, dst.bounds());
}

gfx::Rect SpriteCache::Draw(gfx::Surface& dst, int id, float x, float y, int w, int h) {
  int64_t px = kNowhere, py = kNowhere;
  if (!gfx::SpriteOrigin(x, y, px, py)) px = py = kNowhere;
  return Draw(dst, id, px, py, w, h);
}

}  // namespace sarvel
