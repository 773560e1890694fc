// Wayland: one output's picture through zwlr_screencopy_manager_v1.
#include "frontends/wayland/screencopy.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <functional>

#include "frontends/wayland/shm_buffer.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace sarvel::wayland {
namespace {

using Clock = std::chrono::steady_clock;

struct Capture {
  uint32_t format = 0;
  int width = 0, height = 0, stride = 0;
  uint32_t flags = 0;
  bool described = false, ready = false, failed = false;
};

Capture& Of(void* data) { return *static_cast<Capture*>(data); }
void OnBuffer(void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width,
              uint32_t height, uint32_t stride) {
  Capture& c = Of(data);
  c.format = format;
  c.width = int(width);
  c.height = int(height);
  c.stride = int(stride);
  c.described = true;
}
void OnFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags) { Of(data).flags = flags; }
void OnReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
  Of(data).ready = true;
}
void OnFailed(void* data, zwlr_screencopy_frame_v1*) { Of(data).failed = true; }
const zwlr_screencopy_frame_v1_listener kFrameListener = {
    .buffer = OnBuffer, .flags = OnFlags, .ready = OnReady, .failed = OnFailed};

// Runs `queue` alone until `done` or the deadline; false at the deadline or
// when the connection fails.
bool RunQueueUntil(wl_display* display, wl_event_queue* queue, Clock::time_point deadline,
                   const std::function<bool()>& done) {
  for (;;) {
    if (wl_display_dispatch_queue_pending(display, queue) < 0) return false;
    if (done()) return true;
    if (wl_display_prepare_read_queue(display, queue) != 0) continue;
    wl_display_flush(display);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd fd = {wl_display_get_fd(display), POLLIN, 0};
    if (left > 0 && poll(&fd, 1, int(left)) > 0) {
      if (wl_display_read_events(display) < 0) return false;
    } else {
      wl_display_cancel_read(display);
      if (left <= 0) return false;
    }
  }
}

// The compositor's pixel in 0xAARRGGBB; false for a format we do not read.
bool ToArgb(uint32_t format, uint32_t pixel, gfx::Argb& argb) {
  switch (format) {
    case WL_SHM_FORMAT_XRGB8888:
    case WL_SHM_FORMAT_ARGB8888:
      argb = pixel | 0xFF000000u;
      return true;
    case WL_SHM_FORMAT_XBGR8888:
    case WL_SHM_FORMAT_ABGR8888:
      argb = 0xFF000000u | ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
      return true;
    default:
      return false;
  }
}

bool CopyPixels(const Capture& c, const ShmBuffer& buffer, gfx::Surface& into) {
  gfx::Argb probe = 0;
  if (!ToArgb(c.format, 0, probe)) return false;
  const int w = std::min(c.width, into.width()), h = std::min(c.height, into.height());
  const bool inverted = c.flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
  for (int y = 0; y < h; ++y) {
    const uint32_t* src = buffer.row(inverted ? c.height - 1 - y : y);
    gfx::Argb* dst = into.row(y);
    for (int x = 0; x < w; ++x) ToArgb(c.format, src[x], dst[x]);
  }
  return true;
}

}  // namespace

bool CopyOutput(Connection& connection, wl_output* output, gfx::Surface& into,
                std::chrono::milliseconds timeout) {
  if (!connection.screencopy() || !output || !connection.ok()) return false;
  wl_display* display = connection.display();
  const Clock::time_point deadline = Clock::now() + timeout;
  wl_event_queue* queue = wl_display_create_queue(display);
  auto* manager =
      static_cast<zwlr_screencopy_manager_v1*>(wl_proxy_create_wrapper(connection.screencopy()));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(manager), queue);
  zwlr_screencopy_frame_v1* frame = zwlr_screencopy_manager_v1_capture_output(manager, 0, output);
  wl_proxy_wrapper_destroy(manager);
  Capture c;
  zwlr_screencopy_frame_v1_add_listener(frame, &kFrameListener, &c);

  bool copied = false;
  std::unique_ptr<ShmBuffer> buffer;
  if (RunQueueUntil(display, queue, deadline, [&] { return c.described || c.failed; }) &&
      !c.failed) {
    buffer = ShmBuffer::Create(connection.shm(), c.width, c.height, c.format, c.stride);
  }
  if (buffer) {
    zwlr_screencopy_frame_v1_copy(frame, buffer->buffer());
    copied = RunQueueUntil(display, queue, deadline, [&] { return c.ready || c.failed; }) &&
             c.ready && CopyPixels(c, *buffer, into);
  }
  zwlr_screencopy_frame_v1_destroy(frame);
  buffer.reset();
  wl_display_flush(display);
  wl_event_queue_destroy(queue);
  return copied;
}

}  // namespace sarvel::wayland
