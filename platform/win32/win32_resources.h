// Win32: the resource library over the executable's own resources (icon
// groups and bitmaps by id), decoded with the same decoders as everywhere.
#pragma once

#include <map>

#include "platform/resource_library.h"

namespace sarvel::win32 {

class ExecutableResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int id) override;
  gfx::ImageRef Bitmap(int id) override;

 private:
  std::map<int, gfx::ImageRef> icons_;
  std::map<int, gfx::ImageRef> bitmaps_;
};

}  // namespace sarvel::win32
