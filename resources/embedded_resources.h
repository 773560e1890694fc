// The resource library of the platforms without executable resources: the
// same art files, linked into the program as data and decoded on first use.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "core/gfx/font.h"
#include "core/ports/resource_library.h"

namespace sarvel {

// One linked-in art file.
struct EmbeddedFile {
  const char* name;  // file name within resources/art, e.g. "leaf_141.ico"
  const uint8_t* data;
  size_t size;
};

// The generated table of every linked-in file (resources/CMakeLists.txt).
std::span<const EmbeddedFile> EmbeddedFiles();

// A linked-in file by name; empty when there is none.
std::span<const uint8_t> FindEmbeddedFile(const char* name);

// The scene font from the linked-in glyph atlases (the same pixels on every
// build): the 13-pixel one of a 96-DPI screen, or the one made for the dots
// per inch closest to 96 x `scale` (the larger on ties). Raises
// Err::kInvalidPicture when the atlases are missing.
const gfx::Font& EmbeddedSceneFont();
const gfx::Font& EmbeddedSceneFont(double scale);

class EmbeddedResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int id) override;
  gfx::ImageRef IconForSize(int id, int side) override;
  gfx::ImageRef Bitmap(int id) override;

 private:
  std::map<int, gfx::ImageRef> icons_;
  std::map<int, std::vector<int>> icon_sides_;
  std::map<std::pair<int, int>, gfx::ImageRef> sized_icons_;  // by id and entry side
  std::map<int, gfx::ImageRef> bitmaps_;
};

// The art file that holds a resource id, e.g. icon 141 -> "leaf_141.ico".
const char* IconFileName(int id);
const char* BitmapFileName(int id);

}  // namespace sarvel
