// PNG output of a surface or image: the command-line renderer's frames and
// the golden tests' out and diff pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/gfx/image.h"
#include "core/gfx/surface.h"

namespace sarvel::gfx {

std::vector<uint8_t> EncodePng(const Surface& surface);
std::vector<uint8_t> EncodePng(const Image& image);  // un-premultiplied RGBA
// Raises Err::kPathFileAccess when the file cannot be written.
void WritePng(const std::string& path, const Surface& surface);
void WritePng(const std::string& path, const Image& image);

}  // namespace sarvel::gfx
