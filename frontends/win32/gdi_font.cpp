// Win32: GDI text rendered into a grey-scale DIB and blended onto a surface.
#include "frontends/win32/gdi_font.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "frontends/win32/dib_info.h"
#include "frontends/win32/text.h"

namespace sarvel::win32 {
namespace {

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

bool FontFamilyInstalled(const wchar_t* face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

std::unique_ptr<GdiFont> GdiFont::Create(UINT dpi) {
  const wchar_t* face = nullptr;
  for (const wchar_t* candidate : {L"Comic Sans MS", L"Comic Neue"}) {
    if (FontFamilyInstalled(candidate)) {
      face = candidate;
      break;
    }
  }
  if (!face) return nullptr;
  std::unique_ptr<GdiFont> f(new GdiFont);
  f->face_ = face;
  // 9.75 points at the window's DPI, as a character height.
  const int height = -int(std::lround(9.75 * double(dpi) / 72.0));
  f->font_ =
      CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SCRIPT, face);
  f->dc_ = CreateCompatibleDC(nullptr);
  if (!f->font_ || !f->dc_) return nullptr;
  f->old_font_ = SelectObject(f->dc_, f->font_);
  TEXTMETRICW tm{};
  GetTextMetricsW(f->dc_, &tm);
  f->height_ = tm.tmHeight + tm.tmExternalLeading;
  return f;
}

GdiFont::~GdiFont() {
  if (dc_) {
    SelectObject(dc_, old_font_);
    DeleteDC(dc_);
  }
  if (font_) DeleteObject(font_);
}

int GdiFont::TextWidth(std::string_view utf8) const {
  const std::wstring w = Widen(utf8);
  SIZE size{};
  if (!w.empty()) GetTextExtentPoint32W(dc_, w.c_str(), int(w.size()), &size);
  return size.cx;
}

int GdiFont::TextHeight(std::string_view) const { return height_; }

void GdiFont::DrawGlyphs(gfx::Surface& dst, int x, int y, std::string_view utf8,
                         gfx::Argb color) const {
  const std::wstring w = Widen(utf8);
  const int width = TextWidth(utf8) + height_;  // room for overhanging strokes
  const int height = height_;
  if (w.empty() || width <= 0 || height <= 0) return;
  // White text on black in a 32-bit DIB: the green channel is the coverage.
  BITMAPINFO bi = TopDownDibInfo(width, height);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) return;
  HGDIOBJ old = SelectObject(dc_, bmp);
  std::fill_n(static_cast<uint32_t*>(bits), size_t(width) * size_t(height), 0u);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(255, 255, 255));
  TextOutW(dc_, 0, 0, w.c_str(), int(w.size()));
  GdiFlush();
  const auto* src = static_cast<const uint32_t*>(bits);
  for (int row = 0; row < height; ++row) {
    const int dy = y + row;
    if (dy < 0 || dy >= dst.height()) continue;
    gfx::Argb* out = dst.row(dy);
    for (int col = 0; col < width; ++col) {
      const int dx = x + col;
      if (dx < 0 || dx >= dst.width()) continue;
      const uint32_t a = (src[size_t(row) * size_t(width) + size_t(col)] >> 8) & 0xFF;
      if (a == 0) continue;
      const gfx::Argb d = out[dx];
      auto mix = [a](uint32_t s, uint32_t t) { return (s * a + t * (255 - a) + 127) / 255; };
      out[dx] = 0xFF000000u | (mix(gfx::RedOf(color), gfx::RedOf(d)) << 16) |
                (mix(gfx::GreenOf(color), gfx::GreenOf(d)) << 8) |
                mix(gfx::BlueOf(color), gfx::BlueOf(d));
    }
  }
  SelectObject(dc_, old);
  DeleteObject(bmp);
}

}  // namespace sarvel::win32
