// Wayland: one surface of the scene, in one of three roles:
//   kLayer       a layer-shell surface on the overlay layer over one output,
//                anchored to its four edges, over the panels (exclusive zone
//                -1), with the keyboard to itself; the compositor gives it
//                the output's size;
//   kFullScreen  an xdg toplevel made full screen on one output, where the
//                compositor has no layer shell;
//   kWindow      an ordinary resizable xdg toplevel.
// Its owner is told the size in device pixels and the scale whenever they
// change (after the compositor's configure, which is acknowledged first), and
// keeps an image of that size. Present copies the image's changed parts into
// one of two shared-memory buffers, one the compositor does not hold, and
// commits it with just those parts as damage; while the compositor has not
// yet asked for the next frame, or holds both buffers, the frame is not shown
// and its parts wait for the next one. Scale: with the fractional-scale
// manager and the viewporter, the buffer is the logical size times the
// preferred scale and the viewport shows it at the logical size; otherwise
// the output's integer scale is the buffer scale.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/gfx/rect_merge.h"
#include "core/gfx/surface.h"
#include "frontends/wayland/buffer_chain.h"
#include "frontends/wayland/connection.h"
#include "frontends/wayland/seat.h"
#include "frontends/wayland/shm_buffer.h"

struct wl_callback;
struct wl_output;
struct wl_surface;
struct wp_viewport;
struct wp_fractional_scale_v1;
struct xdg_surface;
struct xdg_toplevel;
struct zwlr_layer_surface_v1;

namespace sarvel::wayland {

enum class SurfaceKind { kLayer, kFullScreen, kWindow };

// The full-screen role this compositor offers: kLayer where it has the layer
// shell, else kFullScreen.
SurfaceKind FullScreenKind(const Connection& connection);

struct SurfaceSize {
  int logical_width = 0, logical_height = 0;
  int device_width = 0, device_height = 0;
  double scale = 1.0;  // device pixels per logical pixel
  friend bool operator==(const SurfaceSize&, const SurfaceSize&) = default;
};

struct DevicePoint {
  int x = 0, y = 0;
};

class SurfaceListener {
 public:
  virtual ~SurfaceListener() = default;
  // A new size or scale: the image is to be this size from now on, and the
  // next Present shows all of it.
  virtual void OnConfigured(const SurfaceSize& size) = 0;
  // The compositor will not show the surface again (its output went, or the
  // window was closed). Do not destroy the surface inside this call.
  virtual void OnClosed() = 0;
};

class OutputSurface {
 public:
  // `output` the output to cover (kLayer, kFullScreen); null for kWindow,
  // which starts `window_width` x `window_height` logical pixels large.
  OutputSurface(Connection& connection, SurfaceKind kind, wl_output* output,
                SurfaceListener& listener, int window_width = 1024, int window_height = 640);
  ~OutputSurface();
  OutputSurface(const OutputSurface&) = delete;
  OutputSurface& operator=(const OutputSurface&) = delete;

  SurfaceKind kind() const { return kind_; }
  wl_output* output() const { return output_; }
  bool configured() const { return configured_; }
  bool closed() const { return closed_; }
  const SurfaceSize& size() const { return size_; }

  // Shows `image` (of size().device_*) with `rects` changed since the last
  // call, and the parts of frames that were not shown. False when this frame
  // is not shown: not configured, the image of another size, or the
  // compositor not ready for it.
  bool Present(const gfx::Surface& image, std::span<const gfx::Rect> rects);
  // The output's integer scale may have changed: for OutputClient::OnOutputChanged.
  void Rescale() { Apply(); }

  void set_input_listener(InputListener* listener) { input_ = listener; }
  InputListener* input_listener() const { return input_; }
  // A surface-local position in device pixels, inside the surface.
  DevicePoint ToDevice(double x, double y) const;
  // Ours, or null for a surface we did not make.
  static OutputSurface* FromSurface(wl_surface* surface);

 private:
  friend struct SurfaceEvents;
  void MakeLayer();
  void MakeToplevel();
  int Scale120() const;
  // Takes the configured logical size and the scale: new buffers and the
  // owner told when the size in device pixels or the scale changed.
  void Apply();
  bool MakeBuffers(int width, int height);
  void CopyInto(int buffer, const gfx::Surface& image, std::span<const gfx::Rect> rects);
  void Close();

  Connection& connection_;
  SurfaceKind kind_;
  wl_output* output_;
  SurfaceListener& listener_;
  InputListener* input_ = nullptr;
  wl_surface* surface_ = nullptr;
  zwlr_layer_surface_v1* layer_ = nullptr;
  xdg_surface* xdg_surface_ = nullptr;
  xdg_toplevel* toplevel_ = nullptr;
  wp_viewport* viewport_ = nullptr;
  wp_fractional_scale_v1* fractional_ = nullptr;
  wl_callback* frame_ = nullptr;
  std::vector<wl_output*> entered_;
  int preferred120_ = 0;  // the fractional scale's word, 0 until it comes
  int logical_width_, logical_height_;
  int pending_width_ = 0, pending_height_ = 0;  // an xdg configure's size
  bool configured_ = false;
  bool closed_ = false;
  SurfaceSize size_;
  std::array<std::unique_ptr<ShmBuffer>, BufferChain::kBuffers> buffers_;
  BufferChain chain_;
  gfx::RectMerger copy_merger_, damage_merger_;
};

}  // namespace sarvel::wayland
