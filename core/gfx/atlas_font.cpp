#include "core/gfx/atlas_font.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "core/base/failure.h"
#include "core/gfx/pixel_ops.h"

namespace sarvel::gfx {

namespace {

constexpr std::array<uint8_t, 4> kMagic = {'S', 'V', 'F', 'A'};
// Generous bounds that no real atlas comes near; they keep a damaged file
// from describing absurd sizes.
constexpr int kMaxMetric = 4096;
constexpr uint32_t kMaxGlyphSide = 4096;

uint16_t U16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
int16_t I16(std::span<const uint8_t> b, size_t at) { return int16_t(U16(b, at)); }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
         (uint32_t(b[at + 3]) << 24);
}

[[noreturn]] void Malformed() { Raise(Err::kInvalidPicture); }

}  // namespace

char32_t NextUtf8(std::string_view text, size_t& pos) {
  const uint8_t lead = uint8_t(text[pos++]);
  if (lead < 0x80) return lead;
  int follow = 0;
  char32_t cp = 0;
  // The allowed range of the second byte rules out overlong forms, surrogates
  // and code points past U+10FFFF.
  uint8_t lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    follow = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    follow = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    follow = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return kReplacementChar;
  }
  for (int i = 0; i < follow; ++i) {
    if (pos >= text.size()) return kReplacementChar;
    const uint8_t b = uint8_t(text[pos]);
    if (b < lo || b > hi) return kReplacementChar;  // b starts the next character
    lo = 0x80;
    hi = 0xBF;
    cp = (cp << 6) | (b & 0x3F);
    ++pos;
  }
  return cp;
}

std::unique_ptr<AtlasFont> AtlasFont::Parse(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) Malformed();
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) Malformed();
  if (U16(bytes, 4) != kVersion) Malformed();
  const int line_height = I16(bytes, 12);
  const int ascent = I16(bytes, 14);
  const uint64_t count = U32(bytes, 16);
  const uint64_t blob_size = U32(bytes, 20);
  if (line_height <= 0 || line_height > kMaxMetric || std::abs(ascent) > kMaxMetric) Malformed();
  if (count > 0x110000) Malformed();
  const uint64_t blob_at = kHeaderSize + count * kGlyphRecordSize;
  if (uint64_t(bytes.size()) != blob_at + blob_size) Malformed();

  std::unique_ptr<AtlasFont> font(new AtlasFont());
  font->line_height_ = line_height;
  font->ascent_ = ascent;
  font->size_centipoints_ = U16(bytes, 8);
  font->dpi_ = U16(bytes, 10);
  font->glyphs_.reserve(size_t(count));
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kHeaderSize + i * kGlyphRecordSize;
    Glyph g;
    g.code_point = U32(bytes, at);
    g.advance = I16(bytes, at + 4);
    g.bearing_x = I16(bytes, at + 6);
    g.bearing_y = I16(bytes, at + 8);
    g.width = U16(bytes, at + 10);
    g.height = U16(bytes, at + 12);
    g.offset = U32(bytes, at + 16);
    if (g.code_point > 0x10FFFF) Malformed();
    if (i > 0 && g.code_point <= font->glyphs_.back().code_point) Malformed();
    if (g.width > kMaxGlyphSide || g.height > kMaxGlyphSide) Malformed();
    if (uint64_t(g.offset) + uint64_t(g.width) * g.height > blob_size) Malformed();
    font->glyphs_.push_back(g);
  }
  font->coverage_.assign(bytes.begin() + ptrdiff_t(blob_at), bytes.end());

  font->latin1_.fill(-1);
  for (size_t i = 0; i < font->glyphs_.size() && font->glyphs_[i].code_point < 256; ++i) {
    font->latin1_[font->glyphs_[i].code_point] = int32_t(i);
  }
  font->fallback_ = font->Find(U'?');
  if (font->fallback_ < 0) Malformed();
  return font;
}

int32_t AtlasFont::Find(char32_t code_point) const {
  if (code_point < 256) return latin1_[code_point];
  const auto it =
      std::lower_bound(glyphs_.begin(), glyphs_.end(), code_point,
                       [](const Glyph& g, char32_t cp) { return g.code_point < uint32_t(cp); });
  if (it == glyphs_.end() || it->code_point != uint32_t(code_point)) return -1;
  return int32_t(it - glyphs_.begin());
}

const AtlasFont::Glyph& AtlasFont::GlyphFor(char32_t code_point) const {
  const int32_t i = Find(code_point);
  return glyphs_[size_t(i >= 0 ? i : fallback_)];
}

int AtlasFont::TextWidth(std::string_view utf8) const {
  int64_t width = 0;
  for (size_t pos = 0; pos < utf8.size();) width += GlyphFor(NextUtf8(utf8, pos)).advance;
  return int(std::clamp<int64_t>(width, INT_MIN, INT_MAX));
}

int AtlasFont::TextHeight(std::string_view) const { return line_height_; }

Rect AtlasFont::InkBounds(int x, int y, std::string_view utf8) const {
  int64_t pen = x;
  const int64_t top = int64_t(y) + ascent_;
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  for (size_t pos = 0; pos < utf8.size();) {
    const Glyph& g = GlyphFor(NextUtf8(utf8, pos));
    const int64_t gx = pen + g.bearing_x;
    const int64_t gy = top - g.bearing_y;
    pen += g.advance;
    if (g.width == 0 || g.height == 0) continue;
    l = std::min(l, gx);
    t = std::min(t, gy);
    r = std::max(r, gx + g.width);
    b = std::max(b, gy + g.height);
  }
  if (r <= l || b <= t) return {};
  // Beyond the int range nothing can be drawn anyway.
  constexpr int64_t lo = INT_MIN / 2, hi = INT_MAX / 2;
  l = std::clamp(l, lo, hi);
  t = std::clamp(t, lo, hi);
  r = std::clamp(r, lo, hi);
  b = std::clamp(b, lo, hi);
  return Rect{int(l), int(t), int(r - l), int(b - t)};
}

void AtlasFont::DrawGlyphs(Surface& dst, int x, int y, std::string_view utf8, Argb color) const {
  const Rect bounds = dst.bounds();
  int64_t pen = x;
  const int64_t top = int64_t(y) + ascent_;
  for (size_t pos = 0; pos < utf8.size();) {
    const Glyph& g = GlyphFor(NextUtf8(utf8, pos));
    const int64_t gx = pen + g.bearing_x;
    const int64_t gy = top - g.bearing_y;
    pen += g.advance;
    const Rect area = ClipRect(gx, gy, g.width, g.height, bounds);
    if (area.empty()) continue;
    const uint8_t* cov = coverage_.data() + g.offset;
    for (int row = 0; row < area.h; ++row) {
      const uint8_t* c = cov + size_t(area.y + row - gy) * g.width + size_t(area.x - gx);
      Argb* d = dst.row(area.y + row) + area.x;
      for (int col = 0; col < area.w; ++col) d[col] = BlendCoverage(d[col], color, c[col]);
    }
  }
}

}  // namespace sarvel::gfx
