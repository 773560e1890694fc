#include "resources/embedded_resources.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/resource_ids.h"
#include "core/base/failure.h"
#include "core/gfx/atlas_font.h"
#include "core/gfx/picture_codec.h"

namespace sarvel {
namespace {

const EmbeddedFile* FindFile(const char* name) {
  if (!name) return nullptr;
  for (const EmbeddedFile& f : EmbeddedFiles()) {
    if (std::strcmp(f.name, name) == 0) return &f;
  }
  return nullptr;
}

}  // namespace

std::span<const uint8_t> FindEmbeddedFile(const char* name) {
  const EmbeddedFile* f = FindFile(name);
  return f ? std::span<const uint8_t>(f->data, f->size) : std::span<const uint8_t>();
}

const gfx::Font& EmbeddedSceneFont() {
  static const std::unique_ptr<gfx::AtlasFont> font =
      gfx::AtlasFont::Parse(FindEmbeddedFile("scene_font_13px.atlas"));
  return *font;
}

// Every linked-in scene font atlas ("scene_font_<n>px.atlas"), one per dots
// per inch it was rendered at.
const gfx::Font& EmbeddedSceneFont(double scale) {
  static const std::vector<std::unique_ptr<gfx::AtlasFont>> fonts = [] {
    std::vector<std::unique_ptr<gfx::AtlasFont>> all;
    for (const EmbeddedFile& f : EmbeddedFiles()) {
      const std::string_view name = f.name;
      if (name.starts_with("scene_font_") && name.ends_with(".atlas")) {
        all.push_back(gfx::AtlasFont::Parse(std::span<const uint8_t>(f.data, f.size)));
      }
    }
    return all;
  }();
  if (!(scale > 0.0) || !(scale < 1e6)) scale = 1.0;  // NaN too
  const double wanted = 96.0 * scale;
  const gfx::AtlasFont* best = nullptr;
  for (const auto& font : fonts) {
    if (!best) {
      best = font.get();
      continue;
    }
    const double d = std::abs(font->dpi() - wanted), best_d = std::abs(best->dpi() - wanted);
    if (d < best_d || (d == best_d && font->dpi() > best->dpi())) best = font.get();
  }
  if (!best) Raise(Err::kInvalidPicture);
  return *best;
}

const char* IconFileName(int id) {
  static thread_local char buf[32];
  if (id >= IDI_LEAF_FIRST && id <= IDI_LEAF_LAST) {
    std::snprintf(buf, sizeof buf, "leaf_%d.ico", id);
    return buf;
  }
  if (id >= IDI_MUSHROOM_FIRST && id <= IDI_MUSHROOM_LAST) {
    std::snprintf(buf, sizeof buf, "mushroom_%d.ico", id);
    return buf;
  }
  switch (id) {
    case IDI_APP:
      return "app.ico";
    case IDI_EMBLEM:
      return "emblem.ico";
    case IDI_GLOBE:
      return "globe.ico";
    case IDI_SMILE:
      return "smile.ico";
    default:
      return nullptr;
  }
}

const char* BitmapFileName(int id) {
  switch (id) {
    case IDB_GRADIENT_BLUE:
      return "gradient_102.bmp";
    case IDB_GRADIENT_BROWN:
      return "gradient_103.bmp";
    case IDB_PREVIEW:
      return "preview.bmp";
    case IDB_ABOUT_DISK:
      return "about_disk.bmp";
    default:
      return nullptr;
  }
}

gfx::ImageRef EmbeddedResources::Icon(int id) {
  auto& slot = icons_[id];
  if (!slot) {
    const EmbeddedFile* f = FindFile(IconFileName(id));
    if (!f) Raise(Err::kInvalidPicture);
    slot = gfx::DecodeIcon(std::span<const uint8_t>(f->data, f->size), 32);
  }
  return slot;
}

gfx::ImageRef EmbeddedResources::IconForSize(int id, int side) {
  auto bytes = [&] {
    const EmbeddedFile* f = FindFile(IconFileName(id));
    if (!f) Raise(Err::kInvalidPicture);
    return std::span<const uint8_t>(f->data, f->size);
  };
  auto known = icon_sides_.find(id);
  if (known == icon_sides_.end()) known = icon_sides_.emplace(id, gfx::IconSides(bytes())).first;
  const int entry = BestIconSide(known->second, side);
  auto& slot = sized_icons_[{id, entry}];
  if (!slot) slot = gfx::DecodeIconForSize(bytes(), entry);
  return slot;
}

gfx::ImageRef EmbeddedResources::Bitmap(int id) {
  auto& slot = bitmaps_[id];
  if (!slot) {
    const EmbeddedFile* f = FindFile(BitmapFileName(id));
    if (!f) Raise(Err::kInvalidPicture);
    slot = gfx::DecodePicture(std::span<const uint8_t>(f->data, f->size));
  }
  return slot;
}

}  // namespace sarvel
