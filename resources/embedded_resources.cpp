#include "resources/embedded_resources.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/failure.h"
#include "platform/gfx/atlas_font.h"
#include "platform/gfx/picture_codec.h"
#include "resources/resource_ids.h"

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
    case IDI_APP: return "app.ico";
    case IDI_EMBLEM: return "emblem.ico";
    case IDI_GLOBE: return "globe.ico";
    case IDI_SMILE: return "smile.ico";
    default: return nullptr;
  }
}

const char* BitmapFileName(int id) {
  switch (id) {
    case IDB_GRADIENT_BLUE: return "gradient_102.bmp";
    case IDB_GRADIENT_BROWN: return "gradient_103.bmp";
    case IDB_PREVIEW: return "preview.bmp";
    case IDB_ABOUT_DISK: return "about_disk.bmp";
    default: return nullptr;
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
