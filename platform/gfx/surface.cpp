#include "platform/gfx/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "platform/gfx/pixel_ops.h"

namespace sarvel::gfx {

#if defined(__linux__)
namespace {
constexpr size_t kHugePage = size_t(2) << 20;
}  // namespace

template <>
void* PixelAllocator<Argb>::AllocatePixels(size_t bytes) {
  if (bytes < 2 * kHugePage) return ::operator new(bytes);
  const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (!p) throw std::bad_alloc();
  madvise(p, rounded, MADV_HUGEPAGE);  // only advice: without it, small pages
  return p;
}

template <>
void PixelAllocator<Argb>::FreePixels(void* p, size_t bytes) {
  if (bytes < 2 * kHugePage) {
    ::operator delete(p);
  } else {
    std::free(p);
  }
}
#else
template <>
void* PixelAllocator<Argb>::AllocatePixels(size_t bytes) {
  return ::operator new(bytes);
}

template <>
void PixelAllocator<Argb>::FreePixels(void* p, size_t) {
  ::operator delete(p);
}
#endif

namespace {

// Surfaces hold opaque pixels whatever alpha the back colour was given with.
constexpr Argb Opaque(Argb c) {
  return c | 0xFF000000u;
}

}  // namespace

Surface::Surface(int width, int height, Argb back_color)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      back_color_(back_color),
      pixels_(size_t(width_) * size_t(height_), Opaque(back_color)) {}

void Surface::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<Argb, PixelAllocator<Argb>> next(size_t(width) * size_t(height), Opaque(back_color_));
  const int keep_w = std::min(width, width_);
  const int keep_h = keep_w > 0 ? std::min(height, height_) : 0;
  for (int y = 0; y < keep_h; ++y) {
    std::memcpy(next.data() + size_t(y) * size_t(width), row(y), size_t(keep_w) * sizeof(Argb));
  }
  pixels_ = std::move(next);
  width_ = width;
  height_ = height;
}

void Surface::Clear() {
  std::fill(pixels_.begin(), pixels_.end(), Opaque(back_color_));
  if (!stored_) return;
  const Image& pic = *stored_;
  const Rect area = ClipRect(0, 0, pic.width(), pic.height(), bounds());
  for (int y = 0; y < area.h; ++y) {
    const Argb* src = pic.row(y);
    Argb* dst = row(y);
    if (pic.opaque()) {
      std::memcpy(dst, src, size_t(area.w) * sizeof(Argb));
    } else {
      for (int x = 0; x < area.w; ++x) dst[x] = BlendOver(dst[x], src[x]);
    }
  }
}

ImageRef Surface::Snapshot() const {
  auto image = std::make_shared<Image>(width_, height_);
  for (int y = 0; y < height_; ++y) {
    const Argb* src = row(y);
    Argb* dst = image->row(y);
    for (int x = 0; x < width_; ++x) dst[x] = Opaque(src[x]);
  }
  image->UpdateOpaque();
  return image;
}

}  // namespace sarvel::gfx
