// Win32: our decoded pictures (premultiplied ARGB, see core/gfx) on GDI:
// a 32-bit DIB section to paint a gfx::Surface from or to alpha-blend an
// icon with, and window icons made from a picture.
#pragma once

#include <windows.h>

#include "core/gfx/image.h"
#include "core/gfx/surface.h"

namespace sarvel::win32 {

class Dib {
 public:
  Dib() = default;
  Dib(int width, int height);
  explicit Dib(const gfx::Image& image);  // premultiplied, for AlphaBlend
  explicit Dib(const gfx::Surface& surface);
  ~Dib();
  Dib(Dib&& other) noexcept;
  Dib& operator=(Dib&& other) noexcept;
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  bool valid() const { return dc_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t* row(int y) { return bits_ + size_t(y) * size_t(width_); }

  // Blends the whole DIB, scaled, onto `dst` using its alpha.
  void AlphaDraw(HDC dst, int x, int y, int w, int h) const;

 private:
  void Release();

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// An icon of the picture's own size; the caller destroys it.
HICON IconFromImage(const gfx::Image& image);

}  // namespace sarvel::win32
