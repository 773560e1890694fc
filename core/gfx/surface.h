// Surface: a drawing target of opaque 32-bit pixels with a back colour and an
// optional stored picture that clearing restores.
#pragma once

#include <cstddef>
#include <vector>

#include "core/gfx/color.h"
#include "core/gfx/image.h"

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
  bool operator==(const PixelAllocator<U>&) const {
    return true;
  }

  static void* AllocatePixels(size_t bytes);
  static void FreePixels(void* p, size_t bytes);
};

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, Argb back_color);
  // Copies own their pixels; a move takes the memory along, lent or owned.
  Surface(const Surface& other);
  Surface(Surface&& other) noexcept;
  Surface& operator=(const Surface& other);
  Surface& operator=(Surface&& other) noexcept;
  ~Surface() = default;

  int width() const { return width_; }
  int height() const { return height_; }
  Rect bounds() const { return {0, 0, width_, height_}; }
  Argb* row(int y) { return data_ + size_t(y) * size_t(width_); }
  const Argb* row(int y) const { return data_ + size_t(y) * size_t(width_); }
  Argb at(int x, int y) const { return row(y)[x]; }

  // A new size keeps the pixels that still fit; new area gets the back colour.
  // After a change of size the surface owns its memory.
  void Resize(int width, int height);

  // Draws from now on into memory the caller lends (width * height pixels,
  // rows one after another): a segment the display server reads, say. The
  // picture moves along as Resize would keep it. The memory must stay until
  // the surface is resized, given its own memory back, or destroyed.
  void UseMemory(Argb* pixels, int width, int height);
  // Back to memory of its own, keeping the picture.
  void OwnMemory();
  bool uses_lent_memory() const { return width_ > 0 && height_ > 0 && data_ != pixels_.data(); }

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
  // Into memory of its own at this size.
  void MoveTo(int width, int height);

  int width_ = 0;
  int height_ = 0;
  Argb back_color_ = kBlack;
  ImageRef stored_;
  std::vector<Argb, PixelAllocator<Argb>> pixels_;
  Argb* data_ = nullptr;  // pixels_.data() or lent memory
};

}  // namespace sarvel::gfx
