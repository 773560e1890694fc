// The program's pictures by resource id: sprite icons, gradient bitmaps, the
// preview picture and the dialog pictures. Each platform reads them from where
// it keeps them (the executable's resources on Windows, data linked into the
// program elsewhere); both decode the same files, so the pixels agree.
#pragma once

#include "platform/gfx/image.h"

namespace sarvel {

class ResourceLibrary {
 public:
  virtual ~ResourceLibrary() = default;
  // The 32 x 32 entry of an icon resource. Raises Err::kInvalidPicture
  // (481) for an id that names no icon.
  virtual gfx::ImageRef Icon(int id) = 0;
  // A bitmap resource. Raises 481 for an id that names no bitmap.
  virtual gfx::ImageRef Bitmap(int id) = 0;
};

}  // namespace sarvel
