// File encoders for the generated art (ICO, BMP, PNG) and the matching
// readers used to check them and to assemble the contact sheet.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "raster.h"

namespace artgen {

using Bytes = std::vector<uint8_t>;

// One icon file holding all images. Entries of 64 pixels and more are stored
// as PNG, the smaller ones as 32-bit BGRA DIBs with an AND mask (bit set
// where alpha is 0).
Bytes encodeIco(const std::vector<Image>& images);
// 24-bit bottom-up BMP; alpha is ignored.
Bytes encodeBmp24(const Image& img);
// 4-bit palettised bottom-up BMP. `indices` holds one palette index per
// pixel, top row first.
struct Palette16 {
  std::array<std::array<uint8_t, 3>, 16> rgb{};
};
Bytes encodeBmp4(int w, int h, const Palette16& palette, const std::vector<uint8_t>& indices);
Bytes encodePng(const Image& img);

// Readers for our own output (and ordinary files of the same kinds).
struct IcoEntry {
  Image image;
  bool png = false;
  // The AND mask as stored (1 = transparent); empty for PNG entries.
  std::vector<uint8_t> andMask;
  uint16_t bitCount = 0;
};
std::optional<std::vector<IcoEntry>> decodeIco(const Bytes& data);

struct BmpInfo {
  Image image;
  int bitCount = 0;
  int colorsUsed = 0;
  std::vector<std::array<uint8_t, 3>> palette;
  std::vector<uint8_t> indices;  // for palettised files, top row first
};
std::optional<BmpInfo> decodeBmp(const Bytes& data);

bool writeFile(const std::string& path, const Bytes& data);

}  // namespace artgen
