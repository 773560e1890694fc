// fontconfig finds the face, FreeType renders its glyphs.
#include "frontends/posix/ft_font.h"

#include FT_SYNTHESIS_H
#include <fontconfig/fontconfig.h>

#include <strings.h>
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/gfx/atlas_font.h"
#include "core/gfx/pixel_ops.h"

namespace sarvel {
namespace {

// The family that fontconfig matched, when it is one of the names asked for
// (fontconfig always answers with something, often a mere substitute).
bool HasFamily(FcPattern* match, const std::string& family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<FtFont> FtFont::SceneFont(double dpi) {
  return Match({"Comic Sans MS", "Comic Neue"}, 9.75, dpi);
}

std::unique_ptr<FtFont> FtFont::Match(const std::vector<std::string>& families, double points,
                                      double dpi) {
  // A configuration of our own, let go once the face is found, so that the
  // process-wide one stays untouched for whoever else uses fontconfig.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return nullptr;
  std::unique_ptr<FtFont> font;
  for (const std::string& family : families) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_SIZE, points);
    FcPatternAddDouble(pattern, FC_DPI, dpi);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) continue;
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_BOLD;
    if (HasFamily(match, family) && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      // A family without a bold face is emboldened, as the system would.
      font = FromFile(reinterpret_cast<const char*>(file), index, points, dpi,
                      weight < FC_WEIGHT_DEMIBOLD);
      if (font) font->family_ = family;
    }
    FcPatternDestroy(match);
    if (font) break;
  }
  FcConfigDestroy(config);
  return font;
}

std::unique_ptr<FtFont> FtFont::FromFile(const std::string& path, int index, double points,
                                         double dpi, bool embolden) {
  std::unique_ptr<FtFont> font(new FtFont());
  if (FT_Init_FreeType(&font->library_) != 0) {
    font->library_ = nullptr;
    return nullptr;
  }
  if (FT_New_Face(font->library_, path.c_str(), index, &font->face_) != 0) {
    font->face_ = nullptr;
    return nullptr;
  }
  FT_Face face = font->face_;
  const FT_UInt resolution = FT_UInt(std::lround(dpi));
  if (FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(points * 64)), resolution, resolution) !=
      0) {
    return nullptr;
  }
  font->embolden_ = embolden;
  const FT_Size_Metrics& m = face->size->metrics;
  // The line is the design ascender-to-descender span at this size, the
  // ascent FreeType's own (rounded up), as the pre-rendered atlas has them.
  if (FT_IS_SCALABLE(face)) {
    const FT_Pos span = FT_MulFix(face->ascender - face->descender, m.y_scale);
    font->line_height_ = int((span + 32) >> 6);
  } else {
    font->line_height_ = int((m.height + 32) >> 6);
  }
  font->ascent_ = int(m.ascender >> 6);
  if (font->line_height_ <= 0) return nullptr;
  return font;
}

FtFont::~FtFont() {
  if (face_) FT_Done_Face(face_);
  if (library_) FT_Done_FreeType(library_);
}

bool FtFont::Render(char32_t code_point, Glyph& out) const {
  if (FT_Load_Char(face_, FT_ULong(code_point), FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0)
    return false;
  FT_GlyphSlot slot = face_->glyph;
  if (embolden_) FT_GlyphSlot_Embolden(slot);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_Bitmap& bm = slot->bitmap;
  out.advance = int((slot->advance.x + 32) >> 6);
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return true;
  out.width = int(bm.width);
  out.height = int(bm.rows);
  out.coverage.resize(size_t(out.width) * size_t(out.height));
  const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
  for (int y = 0; y < out.height; ++y) {
    const unsigned char* src = bm.buffer + ptrdiff_t(y) * bm.pitch;
    for (int x = 0; x < out.width; ++x) {
      out.coverage[size_t(y) * size_t(out.width) + size_t(x)] = uint8_t(src[x] * 255 / levels);
    }
  }
  return true;
}

const FtFont::Glyph& FtFont::GlyphFor(char32_t code_point) const {
  const auto found = glyphs_.find(code_point);
  if (found != glyphs_.end()) return found->second;
  // A character the face lacks is drawn as '?', as the atlas font does.
  if (code_point != U'?' && FT_Get_Char_Index(face_, FT_ULong(code_point)) == 0)
    return GlyphFor(U'?');
  Glyph g;
  if (!Render(code_point, g)) g = Glyph{};
  return glyphs_.emplace(code_point, std::move(g)).first->second;
}

int FtFont::TextWidth(std::string_view utf8) const {
  int64_t width = 0;
  for (size_t pos = 0; pos < utf8.size();) width += GlyphFor(gfx::NextUtf8(utf8, pos)).advance;
  return int(std::clamp<int64_t>(width, INT_MIN, INT_MAX));
}

int FtFont::TextHeight(std::string_view) const { return line_height_; }

void FtFont::DrawGlyphs(gfx::Surface& dst, int x, int y, std::string_view utf8,
                        gfx::Argb color) const {
  const gfx::Rect bounds = dst.bounds();
  int64_t pen = x;
  const int64_t baseline = int64_t(y) + ascent_;
  for (size_t pos = 0; pos < utf8.size();) {
    const Glyph& g = GlyphFor(gfx::NextUtf8(utf8, pos));
    const int64_t gx = pen + g.left;
    const int64_t gy = baseline - g.top;
    pen += g.advance;
    const gfx::Rect area = gfx::ClipRect(gx, gy, g.width, g.height, bounds);
    for (int row = area.y; row < area.bottom(); ++row) {
      gfx::Argb* out = dst.row(row);
      const uint8_t* cov =
          g.coverage.data() + size_t(row - gy) * size_t(g.width) + size_t(area.x - gx);
      for (int col = area.x; col < area.right(); ++col, ++cov) {
        if (*cov) out[col] = gfx::BlendCoverage(out[col], color, *cov);
      }
    }
  }
}

}  // namespace sarvel
