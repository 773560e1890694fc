#include "scene/sprite_cache.h"

#include <algorithm>

#include "platform/failure.h"

namespace sarvel {
namespace {

// Sizes above this are drawn uncached; the scene's largest is 49.
constexpr int kMaxSide = 64;

}  // namespace

struct SpriteCache::Slot {
  gfx::Sprite sprite;
  bool built = false;
};

// One family's memory: for every icon a block holding all its sizes.
struct SpriteCache::Store {
  std::vector<int16_t> size_index;  // (w, h) -> index into offsets, -1 when not kept
  std::vector<size_t> offsets;      // of each size within a block, in words
  size_t block_words = 0;
  std::unique_ptr<uint32_t[]> words;  // left uninitialised: untouched sizes cost no memory
  std::vector<Slot> slots;            // icon-major
  std::vector<gfx::ImageRef> icons;
};

SpriteCache::SpriteCache(ResourceLibrary& resources, std::vector<Family> families)
    : resources_(resources), families_(std::move(families)) {}

SpriteCache::~SpriteCache() = default;

void SpriteCache::Reserve() {
  reserved_ = true;
  stores_.resize(families_.size());
  int largest_icon = 0;
  int largest_size = 0;
  for (size_t f = 0; f < families_.size(); ++f) {
    const Family& family = families_[f];
    Store& store = stores_[f];
    const int icons = std::max(0, family.last_id - family.first_id + 1);
    store.size_index.assign(size_t(kMaxSide + 1) * size_t(kMaxSide + 1), -1);
    for (const auto& [w, h] : family.sizes) {
      if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) continue;
      int16_t& index = store.size_index[size_t(w) * size_t(kMaxSide + 1) + size_t(h)];
      if (index >= 0) continue;
      index = int16_t(store.offsets.size());
      store.offsets.push_back(store.block_words);
      store.block_words += gfx::SpriteWords(w, h);
      largest_size = std::max({largest_size, w, h});
    }
    store.words.reset(new uint32_t[store.block_words * size_t(icons)]);
    store.slots.assign(store.offsets.size() * size_t(icons), Slot{});
    store.icons.assign(size_t(icons), nullptr);
    // The pictures are loaded now, outside the frames. One that fails to load
    // fails again, and is reported, where it is first drawn.
    for (int i = 0; i < icons; ++i) {
      try {
        store.icons[size_t(i)] = resources_.Icon(family.first_id + i);
        largest_icon = std::max({largest_icon, store.icons[size_t(i)]->width(),
                                 store.icons[size_t(i)]->height()});
      } catch (const RuntimeFailure&) {
      }
    }
  }
  scratch_.Reserve(largest_icon, largest_size);
}

const gfx::Sprite* SpriteCache::Sprite(int id, int w, int h) {
  if (!enabled_ || w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return nullptr;
  if (!reserved_) Reserve();
  for (size_t f = 0; f < families_.size(); ++f) {
    const Family& family = families_[f];
    if (id < family.first_id || id > family.last_id) continue;
    Store& store = stores_[f];
    const int16_t index = store.size_index[size_t(w) * size_t(kMaxSide + 1) + size_t(h)];
    if (index < 0) return nullptr;
    const size_t icon = size_t(id - family.first_id);
    Slot& slot = store.slots[icon * store.offsets.size() + size_t(index)];
    if (!slot.built) {
      gfx::ImageRef& picture = store.icons[icon];
      if (!picture) picture = resources_.Icon(id);
      uint32_t* storage = store.words.get() + icon * store.block_words + store.offsets[size_t(index)];
      slot.sprite = gfx::MakeSprite(*picture, w, h, storage, scratch_);
      slot.built = true;
      ++built_;
    }
    return &slot.sprite;
  }
  return nullptr;
}

gfx::Rect SpriteCache::Draw(gfx::Surface& dst, int id, float x, float y, int w, int h) {
  if (const gfx::Sprite* sprite = Sprite(id, w, h)) return gfx::DrawSprite(dst, *sprite, x, y);
  const gfx::ImageRef icon = resources_.Icon(id);
  gfx::DrawIcon(dst, *icon, x, y, w, h);
  if (icon->width() <= 0 || icon->height() <= 0) return {};
  return gfx::IconRect(dst, x, y, w, h);
}

}  // namespace sarvel
