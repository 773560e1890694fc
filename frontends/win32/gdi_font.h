// Win32: the scene font through GDI ("Comic Sans MS" 9.75 pt bold at the
// window's DPI, else the look-alike "Comic Neue"), its glyphs drawn
// anti-aliased onto our surfaces.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/gfx/font.h"

namespace sarvel::win32 {

class GdiFont : public gfx::Font {
 public:
  // Null when neither face is installed.
  static std::unique_ptr<GdiFont> Create(UINT dpi);
  ~GdiFont() override;

  int TextWidth(std::string_view utf8) const override;
  int TextHeight(std::string_view utf8) const override;
  void DrawGlyphs(gfx::Surface& dst, int x, int y, std::string_view utf8,
                  gfx::Argb color) const override;

  const std::wstring& face() const { return face_; }

 private:
  GdiFont() = default;

  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ old_font_ = nullptr;
  int height_ = 0;
  std::wstring face_;
};

// True when a font family of that name is installed.
bool FontFamilyInstalled(const wchar_t* face);

}  // namespace sarvel::win32
