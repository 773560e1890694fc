// Wayland: a surface of the scene, its roles, scale and presentation.
#include "frontends/wayland/output_surface.h"

#include <wayland-client.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "frontends/wayland/layer_shell_protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace sarvel::wayland {

struct SurfaceEvents {
  static OutputSurface* Of(void* data) { return static_cast<OutputSurface*>(data); }

  // A window takes the scale of the outputs it is on.
  static void Enter(void* data, wl_surface*, wl_output* output) {
    Of(data)->entered_.push_back(output);
    Of(data)->Apply();
  }
  static void Leave(void* data, wl_surface*, wl_output* output) {
    std::erase(Of(data)->entered_, output);
    Of(data)->Apply();
  }

  static void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                             uint32_t width, uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    Configured(Of(data), int(width), int(height));
  }
  static void LayerClosed(void* data, zwlr_layer_surface_v1*) { Of(data)->Close(); }

  static void XdgConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    Configured(Of(data), Of(data)->pending_width_, Of(data)->pending_height_);
  }
  static void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                                wl_array*) {
    Of(data)->pending_width_ = width;
    Of(data)->pending_height_ = height;
  }
  static void ToplevelClose(void* data, xdg_toplevel*) { Of(data)->Close(); }
  static void ConfigureBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
  static void WmCapabilities(void*, xdg_toplevel*, wl_array*) {}

  static void PreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale120) {
    Of(data)->preferred120_ = int(scale120);
    Of(data)->Apply();
  }

  static void FrameDone(void* data, wl_callback* callback, uint32_t) {
    wl_callback_destroy(callback);
    Of(data)->frame_ = nullptr;
  }

  // A size of 0 leaves the choice to us: the one we have.
  static void Configured(OutputSurface* s, int width, int height) {
    if (width > 0) s->logical_width_ = width;
    if (height > 0) s->logical_height_ = height;
    s->configured_ = true;
    s->Apply();
  }
};

namespace {

const wl_surface_listener kSurfaceListener = {.enter = SurfaceEvents::Enter,
                                              .leave = SurfaceEvents::Leave};
const zwlr_layer_surface_v1_listener kLayerListener = {.configure = SurfaceEvents::LayerConfigure,
                                                       .closed = SurfaceEvents::LayerClosed};
const xdg_surface_listener kXdgSurfaceListener = {.configure = SurfaceEvents::XdgConfigure};
const xdg_toplevel_listener kToplevelListener = {.configure = SurfaceEvents::ToplevelConfigure,
                                                 .close = SurfaceEvents::ToplevelClose,
                                                 .configure_bounds = SurfaceEvents::ConfigureBounds,
                                                 .wm_capabilities = SurfaceEvents::WmCapabilities};
const wp_fractional_scale_v1_listener kFractionalListener = {.preferred_scale =
                                                                 SurfaceEvents::PreferredScale};
const wl_callback_listener kFrameListener = {.done = SurfaceEvents::FrameDone};

// A logical length at a scale in 120ths, rounded half away from zero as the
// fractional-scale protocol asks.
int DeviceLength(int logical, int scale120) { return (logical * scale120 + 60) / 120; }

}  // namespace

SurfaceKind FullScreenKind(const Connection& connection) {
  return connection.layer_shell() ? SurfaceKind::kLayer : SurfaceKind::kFullScreen;
}

OutputSurface::OutputSurface(Connection& connection, SurfaceKind kind, wl_output* output,
                             SurfaceListener& listener, int window_width, int window_height)
    : connection_(connection),
      kind_(kind),
      output_(kind == SurfaceKind::kWindow ? nullptr : output),
      listener_(listener),
      logical_width_(window_width),
      logical_height_(window_height) {
  surface_ = wl_compositor_create_surface(connection_.compositor());
  wl_surface_add_listener(surface_, &kSurfaceListener, this);
  if (connection_.viewporter() && connection_.fractional_scale()) {
    viewport_ = wp_viewporter_get_viewport(connection_.viewporter(), surface_);
    fractional_ = wp_fractional_scale_manager_v1_get_fractional_scale(
        connection_.fractional_scale(), surface_);
    wp_fractional_scale_v1_add_listener(fractional_, &kFractionalListener, this);
  }
  if (kind_ == SurfaceKind::kLayer ? !connection_.layer_shell() : !connection_.wm_base()) {
    closed_ = true;  // no such role here
    return;
  }
  if (kind_ == SurfaceKind::kLayer) {
    MakeLayer();
  } else {
    MakeToplevel();
  }
  // The first commit carries no buffer: the compositor answers with the size.
  wl_surface_commit(surface_);
}

void OutputSurface::MakeLayer() {
  layer_ = zwlr_layer_shell_v1_get_layer_surface(connection_.layer_shell(), surface_, output_,
                                                 ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "sarvel");
  zwlr_layer_surface_v1_add_listener(layer_, &kLayerListener, this);
  zwlr_layer_surface_v1_set_size(layer_, 0, 0);
  zwlr_layer_surface_v1_set_anchor(
      layer_, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                  ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      layer_, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

void OutputSurface::MakeToplevel() {
  xdg_surface_ = xdg_wm_base_get_xdg_surface(connection_.wm_base(), surface_);
  xdg_surface_add_listener(xdg_surface_, &kXdgSurfaceListener, this);
  toplevel_ = xdg_surface_get_toplevel(xdg_surface_);
  xdg_toplevel_add_listener(toplevel_, &kToplevelListener, this);
  xdg_toplevel_set_title(toplevel_, "Sarvel");
  xdg_toplevel_set_app_id(toplevel_, "sarvel");
  if (kind_ == SurfaceKind::kFullScreen) xdg_toplevel_set_fullscreen(toplevel_, output_);
}

OutputSurface::~OutputSurface() {
  if (Seat* seat = connection_.seat()) seat->Forget(this);
  if (frame_) wl_callback_destroy(frame_);
  for (auto& b : buffers_) b.reset();
  if (fractional_) wp_fractional_scale_v1_destroy(fractional_);
  if (viewport_) wp_viewport_destroy(viewport_);
  if (layer_) zwlr_layer_surface_v1_destroy(layer_);
  if (toplevel_) xdg_toplevel_destroy(toplevel_);
  if (xdg_surface_) xdg_surface_destroy(xdg_surface_);
  wl_surface_destroy(surface_);
}

OutputSurface* OutputSurface::FromSurface(wl_surface* surface) {
  if (!surface || wl_proxy_get_listener(reinterpret_cast<wl_proxy*>(surface)) != &kSurfaceListener)
    return nullptr;
  return static_cast<OutputSurface*>(wl_surface_get_user_data(surface));
}

int OutputSurface::Scale120() const {
  if (viewport_ && preferred120_ > 0) return preferred120_;
  int scale = 1;
  const OutputList& outputs = connection_.outputs();
  if (output_) {
    if (const OutputInfo* info = outputs.Find(output_)) scale = info->scale;
  } else {
    for (wl_output* o : entered_) {
      if (const OutputInfo* info = outputs.Find(o)) scale = std::max(scale, info->scale);
    }
  }
  return scale * 120;
}

void OutputSurface::Apply() {
  if (!configured_ || closed_) return;
  const int scale120 = Scale120();
  const SurfaceSize next{logical_width_, logical_height_, DeviceLength(logical_width_, scale120),
                         DeviceLength(logical_height_, scale120), scale120 / 120.0};
  if (next == size_ && buffers_[0]) return;
  if (!MakeBuffers(next.device_width, next.device_height)) return;
  size_ = next;
  chain_.Reset({0, 0, size_.device_width, size_.device_height});
  if (viewport_) {
    wp_viewport_set_destination(viewport_, logical_width_, logical_height_);
  } else {
    wl_surface_set_buffer_scale(surface_, scale120 / 120);
  }
  listener_.OnConfigured(size_);
}

bool OutputSurface::MakeBuffers(int width, int height) {
  for (int i = 0; i < BufferChain::kBuffers; ++i) {
    buffers_[size_t(i)] =
        ShmBuffer::Create(connection_.shm(), width, height, WL_SHM_FORMAT_XRGB8888);
    if (!buffers_[size_t(i)]) {
      for (auto& b : buffers_) b.reset();
      return false;
    }
    buffers_[size_t(i)]->set_on_release([this, i] { chain_.Released(i); });
  }
  return true;
}

void OutputSurface::CopyInto(int buffer, const gfx::Surface& image,
                             std::span<const gfx::Rect> rects) {
  const ShmBuffer& b = *buffers_[size_t(buffer)];
  for (const gfx::Rect& r : copy_merger_.Merge(rects, image.bounds())) {
    for (int y = r.y; y < r.bottom(); ++y) {
      std::memcpy(b.row(y) + r.x, image.row(y) + r.x, size_t(r.w) * 4);
    }
  }
}

bool OutputSurface::Present(const gfx::Surface& image, std::span<const gfx::Rect> rects) {
  if (!configured_ || closed_ || !buffers_[0]) return false;
  chain_.Damage(rects);
  if (image.width() != size_.device_width || image.height() != size_.device_height) return false;
  if (!chain_.HasDamage()) return true;
  // The compositor has not yet asked for the next frame.
  if (frame_) return false;
  const int chosen = chain_.Acquire();
  if (chosen < 0) return false;
  CopyInto(chosen, image, chain_.Missing(chosen));
  // New buffers: the other one gets the whole image now, so that from here
  // on every frame copies only what changed.
  for (int i = 0; i < BufferChain::kBuffers; ++i) {
    if (i == chosen || chain_.held(i) || !chain_.MissesAll(i)) continue;
    CopyInto(i, image, chain_.Missing(i));
    chain_.Copied(i);
  }
  wl_surface_attach(surface_, buffers_[size_t(chosen)]->buffer(), 0, 0);
  for (const gfx::Rect& r : damage_merger_.Merge(chain_.SurfaceDamage(), image.bounds())) {
    wl_surface_damage_buffer(surface_, r.x, r.y, r.w, r.h);
  }
  frame_ = wl_surface_frame(surface_);
  wl_callback_add_listener(frame_, &kFrameListener, this);
  chain_.Committed(chosen);
  wl_surface_commit(surface_);
  return true;
}

DevicePoint OutputSurface::ToDevice(double x, double y) const {
  const auto place = [&](double v, int limit) {
    return std::clamp(int(std::floor(v * size_.scale)), 0, std::max(0, limit - 1));
  };
  return {place(x, size_.device_width), place(y, size_.device_height)};
}

void OutputSurface::Close() {
  if (closed_) return;
  closed_ = true;
  listener_.OnClosed();
}

}  // namespace sarvel::wayland
