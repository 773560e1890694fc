// Font: what text printing needs from a platform's font. The scene font is
// "Comic Sans MS" 9.75 pt bold; each platform fills this with the closest
// face it has.
#pragma once

#include <algorithm>
#include <string_view>

#include "core/gfx/color.h"
#include "core/gfx/surface.h"

namespace sarvel::gfx {

class Font {
 public:
  virtual ~Font() = default;
  // Width of a line of UTF-8 text in pixels (the print position's advance).
  virtual int TextWidth(std::string_view utf8) const = 0;
  // Height of a line of text in pixels (the font's line height).
  virtual int TextHeight(std::string_view utf8) const = 0;
  // Draws one line with its top-left corner at (x, y), anti-aliased.
  virtual void DrawGlyphs(Surface& dst, int x, int y, std::string_view utf8, Argb color) const = 0;
  // The rectangle DrawGlyphs at (x, y) may change, before clipping. By default
  // the line box widened by a line height on every side, room for any
  // overhang of the strokes; a font that knows its glyphs can say exactly.
  virtual Rect InkBounds(int x, int y, std::string_view utf8) const {
    const int w = TextWidth(utf8);
    const int h = TextHeight(utf8);
    return Rect{x - h, y - h, std::max(w, 0) + 2 * h, 3 * h};
  }
};

// A print position on a surface: printing an item on the same line continues
// after its last character.
class TextCursor {
 public:
  TextCursor(Surface& dst, const Font& font, Argb color) : dst_(dst), font_(font), color_(color) {}
  void MoveTo(int x, int y) {
    x_ = x;
    y_ = y;
  }
  // Returns the part of the surface the text may have changed.
  Rect Print(std::string_view utf8) {
    const Rect ink = font_.InkBounds(x_, y_, utf8).Intersected(dst_.bounds());
    font_.DrawGlyphs(dst_, x_, y_, utf8, color_);
    x_ += font_.TextWidth(utf8);
    return ink;
  }
  int x() const { return x_; }
  int y() const { return y_; }

 private:
  Surface& dst_;
  const Font& font_;
  Argb color_;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace sarvel::gfx
