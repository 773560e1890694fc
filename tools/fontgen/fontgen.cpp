// sarvel-fontgen: renders the scene font into a glyph atlas (format described
// in core/gfx/atlas_font.h), so that the program itself needs no font
// engine and draws the same text on every build.
//
//   sarvel-fontgen --out resources/font/scene_font_13px.atlas
//   sarvel-fontgen --size-pt 9.75 --dpi 144 --out scene_font_20px.atlas
//
// Defaults: Comic Neue Bold, 9.75 pt at 96 dpi (a 13 px em), grey-scale
// anti-aliasing with the font's own hinting.
//
// The shipped atlases, one per device scale (the name gives the em in whole
// pixels, halves up); the headless platform picks the one whose dots per
// inch are closest to 96 x its scale:
//   scale 1     --dpi 96    scene_font_13px.atlas
//   scale 1.25  --dpi 120   scene_font_16px.atlas
//   scale 1.5   --dpi 144   scene_font_20px.atlas
//   scale 1.75  --dpi 168   scene_font_23px.atlas
//   scale 2     --dpi 192   scene_font_26px.atlas
// for d in 96:13 120:16 144:20 168:23 192:26; do
//   sarvel-fontgen --dpi ${d%%:*} --out resources/font/scene_font_${d##*:}px.atlas; done
// With fonts-comic-neue and FreeType as Debian ships them, this remakes the
// committed files byte for byte.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <string>
#include <vector>
#include "core/base/little_endian.h"

namespace {

using sarvel::AppendLe16;
using sarvel::AppendLe32;

constexpr const char* kDefaultFont = "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf";

struct Options {
  std::string font = kDefaultFont;
  double size_pt = 9.75;
  int dpi = 96;
  std::string out;
};

struct Glyph {
  uint32_t code_point;
  int advance, bearing_x, bearing_y, width, height;
  uint32_t offset;
};

// Printable ASCII, Latin-1 and the typographic marks that dates and user text
// commonly carry.
std::vector<uint32_t> CodePoints() {
  std::vector<uint32_t> cps;
  for (uint32_t c = 32; c <= 126; ++c) cps.push_back(c);
  for (uint32_t c = 160; c <= 255; ++c) cps.push_back(c);
  for (uint32_t c : {0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Cu, 0x201Du, 0x2026u, 0x20ACu}) {
    cps.push_back(c);
  }
  return cps;
}

[[noreturn]] void Fail(const std::string& message) {
  std::cerr << "sarvel-fontgen: " << message << "\n";
  std::exit(1);
}

void Usage() {
  std::cerr << "usage: sarvel-fontgen [--font FILE] [--size-pt P] [--dpi D] --out FILE\n";
  std::exit(2);
}

Options ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) Usage();
    const std::string value = argv[++i];
    if (arg == "--font") {
      o.font = value;
    } else if (arg == "--size-pt") {
      o.size_pt = std::strtod(value.c_str(), nullptr);
    } else if (arg == "--dpi") {
      o.dpi = std::atoi(value.c_str());
    } else if (arg == "--out" || arg == "-o") {
      o.out = value;
    } else {
      Usage();
    }
  }
  if (o.out.empty() || !(o.size_pt > 0 && o.size_pt < 500) || o.dpi <= 0 || o.dpi > 2000) Usage();
  return o;
}

int16_t CheckI16(long v, const char* what) {
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
    Fail(std::string(what) + " out of range");
  }
  return int16_t(v);
}

}  // namespace

int main(int argc, char** argv) {
  const Options opt = ParseArgs(argc, argv);

  FT_Library lib;
  if (FT_Init_FreeType(&lib)) Fail("cannot start FreeType");
  FT_Face face;
  if (FT_New_Face(lib, opt.font.c_str(), 0, &face)) Fail("cannot open " + opt.font);
  const FT_F26Dot6 size_26_6 = FT_F26Dot6(std::lround(opt.size_pt * 64));
  if (FT_Set_Char_Size(face, 0, size_26_6, FT_UInt(opt.dpi), FT_UInt(opt.dpi))) {
    Fail("cannot set the size");
  }

  // Line height: the design ascender-to-descender distance at this size,
  // rounded to whole pixels as FreeType rounds its own line height. The
  // ascent is FreeType's (rounded up) so that no glyph pokes above the line.
  const FT_Size_Metrics& m = face->size->metrics;
  const FT_Pos span_26_6 = FT_MulFix(face->ascender - face->descender, m.y_scale);
  const int line_height = int((span_26_6 + 32) >> 6);
  const int ascent = int(m.ascender >> 6);

  std::vector<Glyph> glyphs;
  std::vector<uint8_t> blob;
  for (uint32_t cp : CodePoints()) {
    if (FT_Get_Char_Index(face, cp) == 0) {
      std::cerr << "sarvel-fontgen: no glyph for U+" << std::hex << cp << std::dec << ", skipped\n";
      continue;
    }
    if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL))
      Fail("cannot load a glyph");
    FT_GlyphSlot slot = face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) Fail("cannot render a glyph");
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.width > 0 && bm.rows > 0 && bm.pixel_mode != FT_PIXEL_MODE_GRAY) {
      Fail("unexpected bitmap format");
    }
    Glyph g{cp,
            CheckI16((slot->advance.x + 32) >> 6, "advance"),
            CheckI16(slot->bitmap_left, "bearing"),
            CheckI16(slot->bitmap_top, "bearing"),
            int(bm.width),
            int(bm.rows),
            uint32_t(blob.size())};
    const int grays = bm.num_grays > 1 ? bm.num_grays : 256;
    for (unsigned y = 0; y < bm.rows; ++y) {
      const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
      for (unsigned x = 0; x < bm.width; ++x) {
        blob.push_back(uint8_t((unsigned(row[x]) * 255 + (grays - 1) / 2) / unsigned(grays - 1)));
      }
    }
    glyphs.push_back(g);
  }

  std::vector<uint8_t> out = {'S', 'V', 'F', 'A'};
  AppendLe16(out, 1);  // version
  AppendLe16(out, 0);
  AppendLe16(out, uint32_t(std::lround(opt.size_pt * 100)));
  AppendLe16(out, uint32_t(opt.dpi));
  AppendLe16(out, uint16_t(CheckI16(line_height, "line height")));
  AppendLe16(out, uint16_t(CheckI16(ascent, "ascent")));
  AppendLe32(out, uint32_t(glyphs.size()));
  AppendLe32(out, uint32_t(blob.size()));
  for (const Glyph& g : glyphs) {
    AppendLe32(out, g.code_point);
    AppendLe16(out, uint16_t(g.advance));
    AppendLe16(out, uint16_t(g.bearing_x));
    AppendLe16(out, uint16_t(g.bearing_y));
    AppendLe16(out, uint32_t(g.width));
    AppendLe16(out, uint32_t(g.height));
    AppendLe16(out, 0);
    AppendLe32(out, g.offset);
  }
  out.insert(out.end(), blob.begin(), blob.end());

  std::ofstream file(opt.out, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  if (!file) Fail("cannot write " + opt.out);
  std::cout << opt.out << ": " << glyphs.size() << " glyphs, line height " << line_height
            << ", ascent " << ascent << ", " << out.size() << " bytes\n";

  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  return 0;
}
