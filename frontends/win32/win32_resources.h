// Win32: the resource library over the executable's own resources (icon
// groups and bitmaps by id), decoded with the same decoders as everywhere.
#pragma once

#include <map>
#include <utility>

#include "core/ports/resource_library.h"

namespace sarvel::win32 {

class ExecutableResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int id) override;
  gfx::ImageRef IconForSize(int id, int side) override;
  gfx::ImageRef Bitmap(int id) override;

 private:
  // The entry of a group icon `side` pixels large (0: the 32-pixel one,
  // else the first), decoded.
  gfx::ImageRef Entry(int id, int side);
  std::map<int, gfx::ImageRef> icons_;
  std::map<std::pair<int, int>, gfx::ImageRef> sized_icons_;  // by id and entry side
  std::map<int, gfx::ImageRef> bitmaps_;
};

}  // namespace sarvel::win32
