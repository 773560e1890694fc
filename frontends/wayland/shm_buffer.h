// Wayland: one wl_shm buffer in memory of its own (a memfd the compositor
// maps too), 32 bits a pixel, and the compositor's word that it let go of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

struct wl_shm;
struct wl_buffer;

namespace sarvel::wayland {

class ShmBuffer {
 public:
  // `format` a wl_shm format of 32 bits a pixel; `stride` 0 for width * 4.
  // Null when the memory or the buffer cannot be had.
  static std::unique_ptr<ShmBuffer> Create(wl_shm* shm, int width, int height, uint32_t format,
                                           int stride = 0);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  wl_buffer* buffer() const { return buffer_; }
  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return stride_; }
  uint32_t* row(int y) const {
    return reinterpret_cast<uint32_t*>(static_cast<char*>(data_) + size_t(y) * size_t(stride_));
  }
  // Runs when the compositor releases the buffer (after a commit).
  void set_on_release(std::function<void()> f) { on_release_ = std::move(f); }

 private:
  ShmBuffer() = default;
  static void OnRelease(void* data, wl_buffer* buffer);

  wl_buffer* buffer_ = nullptr;
  void* data_ = nullptr;
  size_t bytes_ = 0;
  int width_ = 0, height_ = 0, stride_ = 0;
  std::function<void()> on_release_;
};

}  // namespace sarvel::wayland
