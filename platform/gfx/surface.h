// Surface: a drawing target of opaque 32-bit pixels with a back colour and an
// optional stored picture that clearing restores.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/gfx/color.h"
#include "platform/gfx/image.h"

namespace sarvel::gfx {

// Window-sized pixel memory. Large blocks go on huge pages where the system
// offers them: a frame touches a few rows of hundreds of small rectangles,
// each row on another 4 KiB page, and the page walks cost more than the copying.
template <class T>
struct PixelAllocator {
  using value_type = T;
  PixelAllocator() = default;
  template <class U>
  PixelAllocator(const PixelAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(AllocatePixels(n * sizeof(T))); }
  void deallocate(T* p, size_t n) { FreePixels(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const PixelAllocator<U>&) const { return true; }

  static void* AllocatePixels(size_t bytes);
  static void FreePixels(void* p, size_t bytes);
};

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, Argb back_color);

  int width() const { return width_; }
  int height() const { return height_; }
  Rect bounds() const { return {0, 0, width_, height_}; }
  Argb* row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }
  const Argb* row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
  Argb at(int x, int y) const { return row(y)[x]; }

  // A new size keeps the pixels that still fit; new area gets the back colour.
  void Resize(int width, int height);

  Argb back_color() const { return back_color_; }
  void set_back_color(Argb c) { back_color_ = c; }

  // Clearing paints the stored picture at (0, 0) at its own size over the
  // back colour, or just the back colour when there is none.
  const ImageRef& stored_picture() const { return stored_; }
  void SetStoredPicture(ImageRef picture) { stored_ = std::move(picture); }
  void DropStoredPicture() { stored_.reset(); }
  void Clear();

  // The surface's current image as a picture.
  ImageRef Snapshot() const;

 private:
  int width_ = 0;
  int height_ = 0;
  Argb back_color_ = kBlack;
  ImageRef stored_;
  std::vector<Argb, PixelAllocator<Argb>> pixels_;
};

}  // namespace sarvel::gfx
