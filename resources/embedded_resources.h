// The resource library of the platforms without executable resources: the
// same art files, linked into the program as data and decoded on first use.
#pragma once

#include <cstdint>
#include <map>
#include <span>

#include "platform/gfx/font.h"
#include "platform/resource_library.h"

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

// The scene font from the linked-in glyph atlas (the same pixels on every
// build); raises Err::kInvalidPicture when the atlas is missing.
const gfx::Font& EmbeddedSceneFont();

class EmbeddedResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int id) override;
  gfx::ImageRef Bitmap(int id) override;

 private:
  std::map<int, gfx::ImageRef> icons_;
  std::map<int, gfx::ImageRef> bitmaps_;
};

// The art file that holds a resource id, e.g. icon 141 -> "leaf_141.ico".
const char* IconFileName(int id);
const char* BitmapFileName(int id);

}  // namespace sarvel
