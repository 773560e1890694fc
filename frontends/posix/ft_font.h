// The scene font through fontconfig and FreeType. "Comic Sans MS"
// 9.75 pt bold at the screen's dots per inch, else the look-alike "Comic
// Neue"; glyphs are rendered anti-aliased once and their coverage blended
// onto our surfaces.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/gfx/font.h"

namespace sarvel {

class FtFont : public gfx::Font {
 public:
  // The first installed family of `families`, bold, at `points` and `dpi`;
  // null when fontconfig finds none of them.
  static std::unique_ptr<FtFont> Match(const std::vector<std::string>& families, double points,
                                       double dpi);
  // The scene font; null when neither face is installed.
  static std::unique_ptr<FtFont> SceneFont(double dpi);
  // A font file at a size in pixels (the em square).
  static std::unique_ptr<FtFont> FromFile(const std::string& path, int index, double points,
                                          double dpi, bool embolden);
  ~FtFont() override;
  FtFont(const FtFont&) = delete;
  FtFont& operator=(const FtFont&) = delete;

  int TextWidth(std::string_view utf8) const override;
  int TextHeight(std::string_view utf8) const override;
  void DrawGlyphs(gfx::Surface& dst, int x, int y, std::string_view utf8,
                  gfx::Argb color) const override;

  const std::string& family() const { return family_; }
  int ascent() const { return ascent_; }

 private:
  struct Glyph {
    int advance = 0;
    int left = 0;  // pen position to the bitmap's left column
    int top = 0;   // baseline up to the bitmap's top row
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
  };

  FtFont() = default;
  const Glyph& GlyphFor(char32_t code_point) const;
  bool Render(char32_t code_point, Glyph& out) const;

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  bool embolden_ = false;
  int ascent_ = 0;
  int line_height_ = 0;
  std::string family_;
  mutable std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace sarvel
