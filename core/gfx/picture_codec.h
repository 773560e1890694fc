// Decoding pictures: the user's picture files (BMP, JPEG, GIF, PNG) and our
// own icon resources (.ico with 32-bit or PNG entries, or paletted with an
// AND mask).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/gfx/image.h"

namespace sarvel::gfx {

// Largest picture we decode; bigger headers are refused before any pixel
// memory is taken.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = int64_t(8192) * 8192;

// Decodes a picture file's bytes. Raises Err::kInvalidPicture (481) when the
// bytes are not a picture we can read or the picture is too large.
ImageRef DecodePicture(std::span<const uint8_t> bytes);

// Decodes an .ico file and returns the entry whose size is closest to
// `preferred_side` (largest first on ties). Raises 481 on bad data.
ImageRef DecodeIcon(std::span<const uint8_t> bytes, int preferred_side = 32);

// Decodes the .ico entry to draw a picture `side` pixels large from: the
// smallest at least that large, else the largest (the deeper colour on
// ties). Raises 481 on bad data.
ImageRef DecodeIconForSize(std::span<const uint8_t> bytes, int side);

// The sides of an .ico file's entries (the larger of width and height), in
// the file's order. Raises 481 when the bytes are not an icon file.
std::vector<int> IconSides(std::span<const uint8_t> bytes);

}  // namespace sarvel::gfx
