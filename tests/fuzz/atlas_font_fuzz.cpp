// The glyph atlas: any bytes parse to a font or are refused with 481; a font
// that parses measures and draws any UTF-8 text anywhere on a surface without
// touching memory outside its glyphs or the surface.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/failure.h"
#include "core/gfx/atlas_font.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sarvel;
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRandomLengthString(64);
  const int x = in.ConsumeIntegralInRange<int>(-100000, 100000);
  const int y = in.ConsumeIntegralInRange<int>(-100000, 100000);
  const std::vector<uint8_t> atlas = in.ConsumeRemainingBytes<uint8_t>();

  // Decoding UTF-8 always makes progress and never reads past the text.
  for (size_t pos = 0; pos < text.size();) {
    const size_t was = pos;
    const char32_t c = gfx::NextUtf8(text, pos);
    FUZZ_CHECK(pos > was && pos <= text.size() && c <= 0x10FFFF);
  }

  std::unique_ptr<gfx::AtlasFont> font;
  try {
    font = gfx::AtlasFont::Parse(atlas);
  } catch (const RuntimeFailure& f) {
    FUZZ_CHECK(f.number() == int32_t(Err::kInvalidPicture));
    return 0;
  }
  FUZZ_CHECK(font->line_height() > 0 && font->TextHeight(text) == font->line_height());
  FUZZ_CHECK(font->HasGlyph(U'?'));
  (void)font->TextWidth(text);
  gfx::Surface target(40, 20, gfx::kBlack);
  font->DrawGlyphs(target, x % 60 - 10, y % 40 - 10, text, gfx::kWhite);
  font->DrawGlyphs(target, x, y, text, gfx::kWhite);
  return 0;
}
