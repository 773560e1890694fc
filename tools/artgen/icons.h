// Small application and dialog icons.
#pragma once

#include <vector>

#include "raster.h"

namespace artgen {

// The application icon, a red-orange maple leaf, at 16, 24, 32, 48 and 256.
std::vector<Image> makeAppIcon();
// Maple leaf of the word mark at any size (transparent background).
Image makeLogoLeaf(int size);
// 32x32 seal with an acorn in a ring, limited to the 16 classic colours.
Image makeEmblem();
// 32x32 globe for the web button.
Image makeGlobe();
// 32x32 smiling face for the information button.
Image makeSmile();

// The classic 16-colour palette the emblem is limited to.
const std::vector<Rgba>& classicPalette();

}  // namespace artgen
