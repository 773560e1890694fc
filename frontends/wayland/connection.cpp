// Wayland: the connection, the registry's globals and the outputs' events.
#include "frontends/wayland/connection.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "frontends/wayland/layer_shell_protocol.h"
#include "frontends/wayland/seat.h"
#include "viewporter-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace sarvel::wayland {
namespace {

template <class T>
T* Bind(wl_registry* registry, uint32_t id, const wl_interface* iface, uint32_t offered,
        uint32_t highest) {
  return static_cast<T*>(wl_registry_bind(registry, id, iface, std::min(offered, highest)));
}

void OnPing(void*, xdg_wm_base* wm_base, uint32_t serial) { xdg_wm_base_pong(wm_base, serial); }
const xdg_wm_base_listener kWmBaseListener = {.ping = OnPing};

// The outputs' events go to the list under the global's id.
OutputList& ListOf(void* data) { return static_cast<Connection*>(data)->outputs(); }
uint32_t IdOf(void* data, wl_output* output) {
  const OutputInfo* info = ListOf(data).Find(output);
  return info ? info->id : 0;
}
void OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                const char*, int32_t) {}
void OnMode(void* data, wl_output* output, uint32_t flags, int32_t width, int32_t height, int32_t) {
  if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
  const uint32_t id = IdOf(data, output);
  ListOf(data).SetMode(id, width, height);
  // Before version 2 no done event follows.
  if (wl_output_get_version(output) < WL_OUTPUT_DONE_SINCE_VERSION) ListOf(data).Done(id);
}
void OnDone(void* data, wl_output* output) { ListOf(data).Done(IdOf(data, output)); }
void OnScale(void* data, wl_output* output, int32_t factor) {
  ListOf(data).SetScale(IdOf(data, output), factor);
}
void OnName(void* data, wl_output* output, const char* name) {
  ListOf(data).SetName(IdOf(data, output), name);
}
void OnDescription(void*, wl_output*, const char*) {}
const wl_output_listener kOutputListener = {.geometry = OnGeometry,
                                            .mode = OnMode,
                                            .done = OnDone,
                                            .scale = OnScale,
                                            .name = OnName,
                                            .description = OnDescription};

void ReleaseOutput(wl_output* output) {
  if (!output) return;
  if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
    wl_output_release(output);
  } else {
    wl_output_destroy(output);
  }
}

}  // namespace

std::unique_ptr<Connection> Connection::Open(std::string& error) {
  std::unique_ptr<Connection> c(new Connection);
  c->display_ = wl_display_connect(nullptr);
  if (!c->display_) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    error = std::string("cannot connect to a Wayland compositor (WAYLAND_DISPLAY ") +
            (name ? std::string("is ") + name : std::string("is not set")) +
            "): " + std::strerror(errno);
    return nullptr;
  }
  c->registry_ = wl_display_get_registry(c->display_);
  static const wl_registry_listener listener = {.global = &Connection::OnGlobal,
                                                .global_remove = &Connection::OnGlobalRemove};
  wl_registry_add_listener(c->registry_, &listener, c.get());
  // The first round trip brings the globals, the second what they tell at
  // once: the outputs' modes, scales and names, the seat's devices.
  if (!c->Roundtrip() || !c->Roundtrip()) {
    error = c->failure();
    return nullptr;
  }
  if (!c->compositor_ || c->compositor_version_ < WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION ||
      !c->shm_) {
    error = "the Wayland compositor offers no wl_compositor of version 4 or no wl_shm";
    return nullptr;
  }
  return c;
}

Connection::~Connection() {
  if (!display_) return;
  for (wl_output* output : outputs_.Clear()) ReleaseOutput(output);
  seat_.reset();
  if (screencopy_) zwlr_screencopy_manager_v1_destroy(screencopy_);
  if (fractional_scale_) wp_fractional_scale_manager_v1_destroy(fractional_scale_);
  if (viewporter_) wp_viewporter_destroy(viewporter_);
  if (wm_base_) xdg_wm_base_destroy(wm_base_);
  if (layer_shell_) {
    if (zwlr_layer_shell_v1_get_version(layer_shell_) >=
        ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION) {
      zwlr_layer_shell_v1_destroy(layer_shell_);
    } else {
      wl_proxy_destroy(reinterpret_cast<wl_proxy*>(layer_shell_));
    }
  }
  if (shm_) wl_shm_destroy(shm_);
  if (compositor_) wl_compositor_destroy(compositor_);
  if (registry_) wl_registry_destroy(registry_);
  wl_display_flush(display_);
  wl_display_disconnect(display_);
}

void Connection::OnGlobal(void* data, wl_registry* registry, uint32_t id, const char* interface,
                          uint32_t version) {
  auto* c = static_cast<Connection*>(data);
  const std::string name = interface;
  if (name == wl_compositor_interface.name && !c->compositor_) {
    c->compositor_ = Bind<wl_compositor>(registry, id, &wl_compositor_interface, version, 4);
    c->compositor_version_ = std::min(version, 4u);
  } else if (name == wl_shm_interface.name && !c->shm_) {
    c->shm_ = Bind<wl_shm>(registry, id, &wl_shm_interface, version, 1);
  } else if (name == zwlr_layer_shell_v1_interface.name && !c->layer_shell_) {
    c->layer_shell_ =
        Bind<zwlr_layer_shell_v1>(registry, id, &zwlr_layer_shell_v1_interface, version, 3);
  } else if (name == xdg_wm_base_interface.name && !c->wm_base_) {
    c->wm_base_ = Bind<xdg_wm_base>(registry, id, &xdg_wm_base_interface, version, 2);
    xdg_wm_base_add_listener(c->wm_base_, &kWmBaseListener, nullptr);
  } else if (name == wp_viewporter_interface.name && !c->viewporter_) {
    c->viewporter_ = Bind<wp_viewporter>(registry, id, &wp_viewporter_interface, version, 1);
  } else if (name == wp_fractional_scale_manager_v1_interface.name && !c->fractional_scale_) {
    c->fractional_scale_ = Bind<wp_fractional_scale_manager_v1>(
        registry, id, &wp_fractional_scale_manager_v1_interface, version, 1);
  } else if (name == zwlr_screencopy_manager_v1_interface.name && !c->screencopy_) {
    c->screencopy_ = Bind<zwlr_screencopy_manager_v1>(
        registry, id, &zwlr_screencopy_manager_v1_interface, version, 1);
  } else if (name == wl_seat_interface.name && !c->seat_) {
    c->seat_ =
        std::make_unique<Seat>(Bind<wl_seat>(registry, id, &wl_seat_interface, version, 5), id);
  } else if (name == wl_output_interface.name) {
    c->BindOutput(id, version);
  }
}

void Connection::BindOutput(uint32_t id, uint32_t version) {
  auto* output = Bind<wl_output>(registry_, id, &wl_output_interface, version, 4);
  outputs_.Add(id, output);
  wl_output_add_listener(output, &kOutputListener, this);
}

void Connection::OnGlobalRemove(void* data, wl_registry*, uint32_t id) {
  auto* c = static_cast<Connection*>(data);
  if (wl_output* output = c->outputs_.Remove(id)) {
    ReleaseOutput(output);
  } else if (c->seat_ && c->seat_->id() == id) {
    c->seat_.reset();
  }
}

bool Connection::CheckError() {
  if (!failure_.empty()) return false;
  const int error = wl_display_get_error(display_);
  if (error == 0) return true;
  if (error == EPROTO) {
    const wl_interface* iface = nullptr;
    uint32_t object = 0;
    const uint32_t code = wl_display_get_protocol_error(display_, &iface, &object);
    failure_ = "the Wayland compositor ended the connection: protocol error " +
               std::to_string(code) + " on " + (iface ? iface->name : "an unknown object");
  } else {
    failure_ =
        std::string("lost the connection to the Wayland compositor (") + std::strerror(error) + ")";
  }
  return false;
}

bool Connection::DispatchPending() {
  if (wl_display_dispatch_pending(display_) < 0) return CheckError();
  outputs_.Sweep();
  return CheckError();
}

bool Connection::Flush(bool& would_block) {
  would_block = false;
  if (wl_display_flush(display_) >= 0) return true;
  would_block = errno == EAGAIN;
  // A closed socket is reported by the next read, with the compositor's
  // last words if it sent any.
  if (errno == EAGAIN || errno == EPIPE) return true;
  return CheckError();
}

bool Connection::Roundtrip() {
  if (wl_display_roundtrip(display_) < 0) return CheckError();
  outputs_.Sweep();
  return CheckError();
}

}  // namespace sarvel::wayland
