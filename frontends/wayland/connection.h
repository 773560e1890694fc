// Wayland: the connection to the compositor that the whole front end shares,
// and the globals it uses: wl_compositor (version 4 or later, for
// damage_buffer) and wl_shm, which it cannot do without, and those it uses
// where offered: the layer shell, xdg_wm_base, the viewporter with the
// fractional-scale manager, screencopy and the first seat. The outputs go to
// an OutputList. Objects made on the connection (surfaces, clients of the
// outputs) must go before it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frontends/wayland/output_list.h"

struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_shm;
struct zwlr_layer_shell_v1;
struct xdg_wm_base;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;
struct zwlr_screencopy_manager_v1;

namespace sarvel::wayland {

class Seat;

class Connection {
 public:
  // Connects (WAYLAND_DISPLAY) and learns the globals and the outputs; null,
  // with `error` saying why, without a compositor or without the globals it
  // cannot do without.
  static std::unique_ptr<Connection> Open(std::string& error);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  wl_display* display() const { return display_; }
  wl_compositor* compositor() const { return compositor_; }
  wl_shm* shm() const { return shm_; }
  zwlr_layer_shell_v1* layer_shell() const { return layer_shell_; }
  xdg_wm_base* wm_base() const { return wm_base_; }
  wp_viewporter* viewporter() const { return viewporter_; }
  wp_fractional_scale_manager_v1* fractional_scale() const { return fractional_scale_; }
  zwlr_screencopy_manager_v1* screencopy() const { return screencopy_; }
  OutputList& outputs() { return outputs_; }
  // Null while the compositor offers no seat.
  Seat* seat() const { return seat_.get(); }

  // False once the connection is lost or the compositor ended it; failure()
  // then says so in a sentence for the user.
  bool ok() { return CheckError(); }
  const std::string& failure() const { return failure_; }
  // Runs the handlers of the events read so far, then lets the clients of
  // closed outputs go. False when the connection is lost.
  bool DispatchPending();
  // Sends what is queued; false when the connection is lost. `would_block`
  // tells that the socket is full and the rest waits until it can take more.
  bool Flush(bool& would_block);
  // Waits until the compositor has handled every request so far.
  bool Roundtrip();
  // Looks at the display's error state; records the first failure.
  bool CheckError();

 private:
  Connection() = default;
  static void OnGlobal(void* data, wl_registry* registry, uint32_t id, const char* interface,
                       uint32_t version);
  static void OnGlobalRemove(void* data, wl_registry* registry, uint32_t id);
  void BindOutput(uint32_t id, uint32_t version);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  uint32_t compositor_version_ = 0;
  wl_shm* shm_ = nullptr;
  zwlr_layer_shell_v1* layer_shell_ = nullptr;
  xdg_wm_base* wm_base_ = nullptr;
  wp_viewporter* viewporter_ = nullptr;
  wp_fractional_scale_manager_v1* fractional_scale_ = nullptr;
  zwlr_screencopy_manager_v1* screencopy_ = nullptr;
  std::unique_ptr<Seat> seat_;
  OutputList outputs_;
  std::string failure_;
};

}  // namespace sarvel::wayland
