// The program's pictures by resource id: sprite icons, gradient bitmaps, the
// preview picture and the dialog pictures. Each platform reads them from where
// it keeps them (the executable's resources on Windows, data linked into the
// program elsewhere); both decode the same files, so the pixels agree.
#pragma once

#include <cstdlib>
#include <span>

#include "core/gfx/image.h"

namespace sarvel {

class ResourceLibrary {
 public:
  virtual ~ResourceLibrary() = default;
  // The 32 x 32 entry of an icon resource. Raises Err::kInvalidPicture
  // (481) for an id that names no icon.
  virtual gfx::ImageRef Icon(int id) = 0;
  // The entry of an icon resource to draw it `side` device pixels large
  // from: the smallest entry at least that large, or the largest there is
  // (see BestIconSide). The sprite icons have entries of 32, 64 and 128
  // pixels. Raises as Icon does.
  virtual gfx::ImageRef IconForSize(int id, int side) = 0;
  // A bitmap resource. Raises 481 for an id that names no bitmap.
  virtual gfx::ImageRef Bitmap(int id) = 0;
};

// Of the entries' sides (the larger of width and height), the one to draw
// `wanted` pixels from: the smallest at least `wanted`, else the largest;
// -1 when there are none. Every resource library chooses by this rule.
inline int BestIconSide(std::span<const int> sides, int wanted) {
  int above = -1, largest = -1;
  for (int s : sides) {
    if (s <= 0) continue;
    if (s >= wanted && (above < 0 || s < above)) above = s;
    if (s > largest) largest = s;
  }
  return above >= 0 ? above : largest;
}

}  // namespace sarvel
