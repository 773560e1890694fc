// Wayland: shared-memory buffers on a memfd.
#include "frontends/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace sarvel::wayland {

std::unique_ptr<ShmBuffer> ShmBuffer::Create(wl_shm* shm, int width, int height, uint32_t format,
                                             int stride) {
  if (!shm || width <= 0 || height <= 0) return nullptr;
  if (stride <= 0) stride = width * 4;
  const size_t bytes = size_t(stride) * size_t(height);
  if (stride < width * 4 || bytes > size_t(INT32_MAX)) return nullptr;
  const int fd = memfd_create("sarvel-shm", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  std::unique_ptr<ShmBuffer> b(new ShmBuffer);
  b->data_ = ftruncate(fd, off_t(bytes)) == 0
                 ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                 : MAP_FAILED;
  if (b->data_ == MAP_FAILED) {
    b->data_ = nullptr;
    close(fd);
    return nullptr;
  }
  b->bytes_ = bytes;
  b->width_ = width;
  b->height_ = height;
  b->stride_ = stride;
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(bytes));
  b->buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
  // The buffer keeps the pool's memory; the pool and our descriptor can go.
  wl_shm_pool_destroy(pool);
  close(fd);
  static const wl_buffer_listener listener = {.release = &ShmBuffer::OnRelease};
  wl_buffer_add_listener(b->buffer_, &listener, b.get());
  return b;
}

ShmBuffer::~ShmBuffer() {
  if (buffer_) wl_buffer_destroy(buffer_);
  if (data_) munmap(data_, bytes_);
}

void ShmBuffer::OnRelease(void* data, wl_buffer*) {
  auto* self = static_cast<ShmBuffer*>(data);
  if (self->on_release_) self->on_release_();
}

}  // namespace sarvel::wayland
