// Everything the generator makes, held in memory: the images for the
// contact sheet and the encoded files by name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "backdrops.h"
#include "codecs.h"
#include "leaves.h"
#include "mushrooms.h"

namespace artgen {

struct ArtSet {
  std::vector<LeafSprite> leaves;
  std::vector<MushroomSprite> mushrooms;
  std::vector<Image> appIcon;
  Image emblem, globe, smile, disk;
  DitheredGradient blue, brown;
  std::map<std::string, Bytes> files;
};

ArtSet buildArt();
Image contactSheet(const ArtSet& art);

}  // namespace artgen
