// Lettering drawn by our own code: a 5x7 pixel font (with descenders) for
// small print and labels, and a rounded stroke script for the word mark.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

namespace artgen {

// Width in pixels of `text` in the pixel font at integer `scale`.
int pixelTextWidth(const std::string& text, int scale = 1);
// Draws text with its cap top at (x, y). Unknown characters draw as blanks.
void drawPixelText(Image& img, const std::string& text, int x, int y, int scale, uint8_t r,
                   uint8_t g, uint8_t b);

// The word mark "Sarvel" as stroked centre lines in units where the cap
// height is 10 and the baseline is y = 10. `advance` receives the width.
struct WordMark {
  std::vector<std::vector<Vec2>> strokes;
  float advance = 0.0f;
  float pen = 1.45f;  // stroke width in the same units
};
WordMark sarvelWordMark();

}  // namespace artgen
