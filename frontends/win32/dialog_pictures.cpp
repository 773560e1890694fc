// Win32: gfx pictures as DIB sections and icons.
#include "frontends/win32/dialog_pictures.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "frontends/win32/dib_info.h"

namespace sarvel::win32 {

Dib::Dib(int width, int height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO bi = TopDownDibInfo(width, height);  // top-down, like gfx rows
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  dc_ = CreateCompatibleDC(nullptr);
  old_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
}

// gfx pixels are 0xAARRGGBB words: the byte order of a 32-bit DIB.
Dib::Dib(const gfx::Image& image) : Dib(image.width(), image.height()) {
  if (!valid()) return;
  GdiFlush();
  for (int y = 0; y < height_; ++y) std::memcpy(row(y), image.row(y), size_t(width_) * 4);
}

Dib::Dib(const gfx::Surface& surface) : Dib(surface.width(), surface.height()) {
  if (!valid()) return;
  GdiFlush();
  for (int y = 0; y < height_; ++y) std::memcpy(row(y), surface.row(y), size_t(width_) * 4);
}

Dib::~Dib() { Release(); }

Dib::Dib(Dib&& o) noexcept
    : dc_(std::exchange(o.dc_, nullptr)),
      bitmap_(std::exchange(o.bitmap_, nullptr)),
      old_(std::exchange(o.old_, nullptr)),
      bits_(std::exchange(o.bits_, nullptr)),
      width_(std::exchange(o.width_, 0)),
      height_(std::exchange(o.height_, 0)) {}

Dib& Dib::operator=(Dib&& o) noexcept {
  if (this != &o) {
    Release();
    dc_ = std::exchange(o.dc_, nullptr);
    bitmap_ = std::exchange(o.bitmap_, nullptr);
    old_ = std::exchange(o.old_, nullptr);
    bits_ = std::exchange(o.bits_, nullptr);
    width_ = std::exchange(o.width_, 0);
    height_ = std::exchange(o.height_, 0);
  }
  return *this;
}

void Dib::Release() {
  if (dc_) {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  bits_ = nullptr;
}

void Dib::AlphaDraw(HDC dst, int x, int y, int w, int h) const {
  if (!valid()) return;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  SetStretchBltMode(dst, HALFTONE);
  AlphaBlend(dst, x, y, w, h, dc_, 0, 0, width_, height_, blend);
}

HICON IconFromImage(const gfx::Image& image) {
  const int w = image.width(), h = image.height();
  Dib color(w, h);
  if (!color.valid()) return nullptr;
  GdiFlush();
  // Icons take straight alpha.
  for (int y = 0; y < h; ++y) {
    const gfx::Argb* src = image.row(y);
    uint32_t* dst = color.row(y);
    for (int x = 0; x < w; ++x) {
      const gfx::Argb p = src[x];
      const uint32_t a = gfx::AlphaOf(p);
      if (a == 0 || a == 255) {
        dst[x] = a == 0 ? 0 : p;
        continue;
      }
      auto unmul = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
      dst[x] = (a << 24) | (unmul(gfx::RedOf(p)) << 16) | (unmul(gfx::GreenOf(p)) << 8) |
               unmul(gfx::BlueOf(p));
    }
  }
  std::vector<uint8_t> mask_bits(size_t((w + 15) / 16 * 2) * size_t(h), 0);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, mask_bits.data());
  // The DIB stays selected in its DC: CreateIconIndirect copies the bits.
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = static_cast<HBITMAP>(GetCurrentObject(color.dc(), OBJ_BITMAP));
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  return icon;
}

}  // namespace sarvel::win32
