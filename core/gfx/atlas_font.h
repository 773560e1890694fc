// AtlasFont: the scene font from a pre-rendered glyph atlas, so that text is
// the same pixels on every build and machine. The atlas is made once by
// tools/fontgen and shipped as resources/font/*.atlas.
//
// Atlas file, version 1. Integers are little-endian; i16 signed, u16/u32 not.
//   offset      size  field
//   0           4     magic "SVFA"
//   4           2     version (1)
//   6           2     reserved, 0
//   8           2     rendered size in hundredths of a point (975 for 9.75 pt)
//   10          2     dots per inch it was rendered at (96)
//   12          2     i16 line height in pixels (> 0)
//   14          2     i16 ascent: pixels from the top of a line to the baseline
//   16          4     glyph count N
//   20          4     coverage blob size B
//   24          20*N  glyph records, code points strictly ascending:
//                       u32 code point
//                       i16 advance (pen movement in pixels)
//                       i16 bearing x (pen position to the bitmap's left column)
//                       i16 bearing y (baseline up to the bitmap's top row)
//                       u16 width, u16 height of the bitmap
//                       u16 reserved, 0
//                       u32 offset of its width*height bytes in the blob
//   24 + 20*N   B     coverage blob: 8-bit coverage (0 blank .. 255 full),
//                     each bitmap row by row, top row first
// The file is exactly 24 + 20*N + B bytes and must have a glyph for '?',
// which stands in for every character the atlas lacks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/gfx/font.h"

namespace sarvel::gfx {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the code point starting at text[pos] and moves pos past it. An
// invalid or cut-off sequence gives U+FFFD and consumes only its valid
// prefix (at least one byte), so decoding always makes progress.
char32_t NextUtf8(std::string_view text, size_t& pos);

class AtlasFont : public Font {
 public:
  struct Glyph {
    uint32_t code_point = 0;
    int16_t advance = 0;
    int16_t bearing_x = 0;
    int16_t bearing_y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t offset = 0;
  };

  static constexpr uint32_t kVersion = 1;
  static constexpr size_t kHeaderSize = 24;
  static constexpr size_t kGlyphRecordSize = 20;

  // Raises Err::kInvalidPicture (481) when the bytes are not a valid atlas.
  static std::unique_ptr<AtlasFont> Parse(std::span<const uint8_t> bytes);

  int TextWidth(std::string_view utf8) const override;
  int TextHeight(std::string_view utf8) const override;
  void DrawGlyphs(Surface& dst, int x, int y, std::string_view utf8, Argb color) const override;
  // Exactly the union of the glyph bitmaps.
  Rect InkBounds(int x, int y, std::string_view utf8) const override;

  int line_height() const { return line_height_; }
  // What it was rendered at: hundredths of a point, and dots per inch.
  int size_centipoints() const { return size_centipoints_; }
  int dpi() const { return dpi_; }
  int ascent() const { return ascent_; }
  bool HasGlyph(char32_t code_point) const { return Find(code_point) >= 0; }
  // The glyph drawn for a code point: its own, or '?' when the atlas has none.
  const Glyph& GlyphFor(char32_t code_point) const;
  // Coverage of a glyph's bitmap, width * height bytes.
  std::span<const uint8_t> Coverage(const Glyph& g) const {
    return {coverage_.data() + g.offset, size_t(g.width) * g.height};
  }

 private:
  AtlasFont() = default;
  int32_t Find(char32_t code_point) const;

  int line_height_ = 0;
  int ascent_ = 0;
  int size_centipoints_ = 0;
  int dpi_ = 0;
  std::vector<Glyph> glyphs_;
  std::vector<uint8_t> coverage_;
  std::array<int32_t, 256> latin1_{};  // glyph index by code point, -1 when absent
  int32_t fallback_ = -1;
};

}  // namespace sarvel::gfx
