// The glyph-atlas font: the shipped atlas, UTF-8 handling, drawing, and
// refusing damaged atlas files.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "core/base/failure.h"
#include "core/gfx/atlas_font.h"
#include "core/gfx/painter.h"
#include "tests/core/gfx/gfx_test_util.h"

namespace sarvel::gfx {
namespace {

using testing::ExpectClippedMatchesUnclipped;
using testing::Fingerprint;
using testing::NoiseSurface;

// One of the shipped atlases of the scene font, by its pixel size.
std::vector<uint8_t> AtlasBytes(int px) {
  const char* root = std::getenv("SARVEL_SOURCE_DIR");
  if (!root) return {};
  std::ifstream in(
      std::string(root) + "/resources/font/scene_font_" + std::to_string(px) + "px.atlas",
      std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AtlasFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = AtlasBytes(13);
    ASSERT_FALSE(bytes_.empty()) << "no atlas under SARVEL_SOURCE_DIR";
    font_ = AtlasFont::Parse(bytes_);
  }
  std::vector<uint8_t> bytes_;
  std::unique_ptr<AtlasFont> font_;
};

void ExpectInvalid(const std::vector<uint8_t>& b, const char* what) {
  try {
    AtlasFont::Parse(b);
    ADD_FAILURE() << what << " was accepted";
  } catch (const RuntimeFailure& e) {
    EXPECT_EQ(e.number(), 481) << what;
  }
}

TEST(Utf8, InvalidSequencesBecomeReplacementCharacters) {
  auto decode = [](std::string_view s) {
    std::u32string out;
    for (size_t pos = 0; pos < s.size();) out += NextUtf8(s, pos);
    return out;
  };
  EXPECT_EQ(decode("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8D\x81"), U"A\u00E9\u20AC\U0001F341");
  EXPECT_EQ(decode("\xFF\x80"), U"\uFFFD\uFFFD");
  EXPECT_EQ(decode("\xE2\x82"), U"\uFFFD");                            // cut short
  EXPECT_EQ(decode("\xE2\x82x"), U"\uFFFDx");                          // cut short
  EXPECT_EQ(decode("\xC0\xAF"), U"\uFFFD\uFFFD");                      // overlong
  EXPECT_EQ(decode("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");            // surrogate
  EXPECT_EQ(decode("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
}

TEST_F(AtlasFontTest, HasTheSceneCharactersAndMeasuresBySumOfAdvances) {
  for (char32_t c = 32; c <= 255; c = c == 126 ? 160 : c + 1)
    EXPECT_TRUE(font_->HasGlyph(c)) << uint32_t(c);
  for (char32_t c : std::u32string_view(U"\u20AC\u2013\u2014\u2026\u2018\u2019\u201C\u201D")) {
    EXPECT_TRUE(font_->HasGlyph(c)) << uint32_t(c);
  }
  EXPECT_EQ(font_->TextWidth(""), 0);
  // Characters the atlas lacks, and broken bytes, are '?'.
  EXPECT_EQ(font_->TextWidth("\xE4\xB8\xAD"), font_->TextWidth("?"));
  EXPECT_EQ(font_->TextWidth("a\xFF"
                             "b"),
            font_->TextWidth("a?b"));
  Surface q(40, 20, kBlack), r(40, 20, kBlack);
  font_->DrawGlyphs(q, 2, 2, "?", Rgb(250, 200, 0));
  font_->DrawGlyphs(r, 2, 2, "\xF0\x9F", Rgb(250, 200, 0));
  EXPECT_EQ(Fingerprint(q), Fingerprint(r));
}

TEST_F(AtlasFontTest, ClipsAtEveryEdge) {
  for (int x : {-200, -30, -4, 0, 7, 15, 18, 40}) {
    for (int y : {-20, -9, -1, 0, 3, 8, 14, 30}) {
      ExpectClippedMatchesUnclipped(
          [&](Surface& d, int px, int py) {
            font_->DrawGlyphs(d, px, py, "W\xC3\xA4ld 12:30 \xE2\x82\xAC", Rgb(255, 230, 0));
          },
          x, y, 20, 15, 150);
    }
  }
  Surface s = NoiseSurface(10, 10, 2);
  const uint64_t before = Fingerprint(s);
  font_->DrawGlyphs(s, INT_MAX - 5, 0, "WWWW", kWhite);
  font_->DrawGlyphs(s, INT_MIN, INT_MIN, "WWWW", kWhite);
  font_->DrawGlyphs(s, 0, INT_MAX, "WWWW", kWhite);
  EXPECT_EQ(Fingerprint(s), before);
}

TEST_F(AtlasFontTest, InkBoundsHoldEverythingTheTextChanged) {
  // The default of the interface, for fonts that do not know their glyphs.
  struct Wide : Font {
    int TextWidth(std::string_view t) const override { return int(t.size()) * 5; }
    int TextHeight(std::string_view) const override { return 10; }
    void DrawGlyphs(Surface& dst, int x, int y, std::string_view t, Argb color) const override {
      // Strokes reaching half a line beyond the box on every side.
      FillRect(dst, {x - 5, y - 5, TextWidth(t) + 10, 20}, color);
    }
  } wide;
  for (const Font* font :
       {static_cast<const Font*>(font_.get()), static_cast<const Font*>(&wide)}) {
    for (const char* text : {"18.10.2026   ", "16:20:07", "www.sarvel.example", "jÿ|Q@", ""}) {
      for (const auto& [x, y] : {std::pair{5, 40}, std::pair{-20, -3}, std::pair{150, 55}}) {
        Surface s(160, 60, Rgb(10, 20, 30));
        TextCursor cursor(s, *font, kWhite);
        cursor.MoveTo(x, y);
        const Rect ink = cursor.Print(text);
        EXPECT_EQ(ink, ink.Intersected(s.bounds()));
        for (int yy = 0; yy < 60; ++yy) {
          for (int xx = 0; xx < 160; ++xx) {
            if (s.at(xx, yy) == Rgb(10, 20, 30)) continue;
            ASSERT_TRUE(xx >= ink.x && xx < ink.right() && yy >= ink.y && yy < ink.bottom())
                << text << " changed " << xx << "," << yy << " outside its ink";
          }
        }
      }
    }
  }
}

TEST(AtlasFont, ReadsTheDocumentedFormat) {
  // One 2x1 glyph for '?' with bearings (1, 9), advance 5; ascent 12.
  auto atlas = [](uint32_t cp) {
    std::vector<uint8_t> b = {'S', 'V', 'F', 'A', 1, 0, 0, 0, 0xCF, 3, 96, 0,
                              15,  0,   12,  0,   1, 0, 0, 0, 2,    0, 0,  0};
    for (int k = 0; k < 4; ++k) b.push_back(uint8_t(cp >> (8 * k)));
    b.insert(b.end(), {5, 0, 1, 0, 9, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 255, 128});
    return b;
  };
  const auto font = AtlasFont::Parse(atlas('?'));
  EXPECT_EQ(font->TextWidth("\xE2\x82\xACx"), 10);
  EXPECT_EQ(font->TextHeight("?"), 15);
  EXPECT_EQ(font->size_centipoints(), 975);
  EXPECT_EQ(font->dpi(), 96);
  Surface s(4, 15, kBlack);
  font->DrawGlyphs(s, 0, 0, "?", kWhite);
  EXPECT_EQ(s.at(1, 3), kWhite);
  EXPECT_EQ(s.at(2, 3), Rgb(128, 128, 128));
  ExpectInvalid(atlas('A'), "an atlas without '?'");
}

TEST_F(AtlasFontTest, RefusesDamagedAtlases) {
  auto patched = [&](size_t at, uint32_t v, int n) {
    std::vector<uint8_t> b = bytes_;
    for (int k = 0; k < n; ++k) b[at + size_t(k)] = uint8_t(v >> (8 * k));
    return b;
  };
  const size_t glyph = AtlasFont::kHeaderSize, record = AtlasFont::kGlyphRecordSize;
  ExpectInvalid({}, "no bytes");
  ExpectInvalid({bytes_.begin(), bytes_.end() - 1}, "a cut blob");
  ExpectInvalid(patched(0, 'X', 1), "a wrong magic");
  ExpectInvalid(patched(4, 2, 2), "an unknown version");
  ExpectInvalid(patched(12, 0, 2), "a zero line height");
  ExpectInvalid(patched(16, 0xFFFFFFFFu, 4), "an absurd glyph count");
  ExpectInvalid(patched(20, 0xFFFFFFF0u, 4), "a blob size past the end");
  ExpectInvalid(patched(glyph + 16, 0xFFFFFFF0u, 4), "a glyph offset past the blob");
  ExpectInvalid(patched(glyph + 10, 0xFFFF, 2), "a glyph wider than the blob");
  ExpectInvalid(patched(glyph + record, 32, 4), "code points out of order");

  const size_t records_end = glyph + record * size_t(bytes_[16] | bytes_[17] << 8);
  std::mt19937 rng(3);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> b = bytes_;
    for (int i = 0; i < 3; ++i) b[rng() % records_end] = uint8_t(rng());
    try {
      Surface s(30, 20, kBlack);
      AtlasFont::Parse(b)->DrawGlyphs(s, -3, -2, "Ag?\xC3\xBF\xE2\x82\xAC", kWhite);
    } catch (const RuntimeFailure& e) {
      ASSERT_EQ(e.number(), 481);
    }
  }
}

}  // namespace
}  // namespace sarvel::gfx
