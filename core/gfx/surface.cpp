#include "core/gfx/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "core/gfx/pixel_ops.h"

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
constexpr Argb Opaque(Argb c) { return c | 0xFF000000u; }

}  // namespace

Surface::Surface(int width, int height, Argb back_color)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      back_color_(back_color),
      pixels_(size_t(width_) * size_t(height_), Opaque(back_color)),
      data_(pixels_.data()) {}

Surface::Surface(const Surface& other)
    : width_(other.width_),
      height_(other.height_),
      back_color_(other.back_color_),
      stored_(other.stored_),
      pixels_(other.data_, other.data_ + size_t(other.width_) * size_t(other.height_)),
      data_(pixels_.data()) {}

Surface::Surface(Surface&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      back_color_(other.back_color_),
      stored_(std::move(other.stored_)),
      data_(other.data_) {
  // A vector's move keeps its block, so owned pixels stay where data_ points.
  pixels_ = std::move(other.pixels_);
  other.pixels_.clear();
  other.data_ = other.pixels_.data();
  other.width_ = other.height_ = 0;
}

Surface& Surface::operator=(const Surface& other) {
  if (this != &other) *this = Surface(other);
  return *this;
}

Surface& Surface::operator=(Surface&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  back_color_ = other.back_color_;
  stored_ = std::move(other.stored_);
  pixels_ = std::move(other.pixels_);
  data_ = other.data_;
  other.pixels_.clear();
  other.data_ = other.pixels_.data();
  other.width_ = other.height_ = 0;
  return *this;
}

namespace {

// Copies what fits of a width x height picture at `from` into a new_w x new_h
// one at `to`; the rest of `to` gets `fill`.
void CarryOver(const Argb* from, int width, int height, Argb* to, int new_w, int new_h, Argb fill) {
  const int keep_w = std::min(width, new_w);
  const int keep_h = keep_w > 0 ? std::min(height, new_h) : 0;
  for (int y = 0; y < new_h; ++y) {
    Argb* out = to + size_t(y) * size_t(new_w);
    int x = 0;
    if (y < keep_h) {
      std::memmove(out, from + size_t(y) * size_t(width), size_t(keep_w) * sizeof(Argb));
      x = keep_w;
    }
    std::fill(out + x, out + new_w, fill);
  }
}

}  // namespace

void Surface::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  MoveTo(width, height);
}

void Surface::MoveTo(int width, int height) {
  std::vector<Argb, PixelAllocator<Argb>> next(size_t(width) * size_t(height));
  CarryOver(data_, width_, height_, next.data(), width, height, Opaque(back_color_));
  pixels_ = std::move(next);
  data_ = pixels_.data();
  width_ = width;
  height_ = height;
}

void Surface::UseMemory(Argb* pixels, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!pixels || width == 0 || height == 0) {
    Resize(width, height);
    return;
  }
  if (pixels != data_)
    CarryOver(data_, width_, height_, pixels, width, height, Opaque(back_color_));
  pixels_ = {};  // gives the owned block back
  data_ = pixels;
  width_ = width;
  height_ = height;
}

void Surface::OwnMemory() {
  if (uses_lent_memory()) MoveTo(width_, height_);
}

void Surface::Clear() {
  std::fill(data_, data_ + size_t(width_) * size_t(height_), Opaque(back_color_));
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
