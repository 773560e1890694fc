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
  // The same mushroom drawn finer, at the sizes asked for (high-DPI screens).
  std::vector<Image> larger;
};

// The forty mushroom sprites, ids 101..140; `size` is the sprite size in
// pixels (32 for the game art), and each one again at every size of
// `larger`: the same drawing, measured in pixels of a 32-pixel sprite.
std::vector<MushroomSprite> makeMushrooms(int size = 32, const std::vector<int>& larger = {});

}  // namespace artgen
