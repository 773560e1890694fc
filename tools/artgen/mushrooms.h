// Mushroom sprites: storybook fungi standing on a strip of forest floor.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

namespace artgen {

struct MushroomSprite {
  int id = 0;
  std::string species;
  Image image;
};

// The forty mushroom sprites, ids 101..140; `size` is the sprite size in
// pixels (32 for the game art, larger only for inspection).
std::vector<MushroomSprite> makeMushrooms(int size = 32);

}  // namespace artgen
