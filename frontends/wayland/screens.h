// Wayland: the outputs as the scene form sees its monitors, and the changes
// it is told about. Each ready output has a presence in the output list; the
// monitors are the outputs' logical rectangles in the list's order (the
// first is the primary), laid side by side from the left, since the core
// protocol gives no positions. Changes (an output came, went, or its mode or
// scale changed) and closed windows are delivered between events, outside
// every handler of the connection, where views may come and go.
#pragma once

#include <cstdint>
#include <vector>

#include "core/gfx/color.h"
#include "frontends/wayland/output_list.h"

struct wl_output;

namespace sarvel::wayland {

// A window of the scene, as the screens reach it.
class ScreenClient {
 public:
  virtual ~ScreenClient() = default;
  // `output` changed its scale or mode.
  virtual void OnOutputChanged(wl_output* output) = 0;
  // `output` went: a surface on it goes now.
  virtual void OnOutputGone(wl_output* output) = 0;
  // Between events: what happened to this window is delivered.
  virtual void DeliverPending() = 0;
  // Between events, to the watcher: outputs came, went or changed.
  virtual void OnMonitorsChanged() {}
};

class Screens {
 public:
  // Becomes the factory of the list's clients while it lives.
  explicit Screens(OutputList& outputs);
  ~Screens();
  Screens(const Screens&) = delete;
  Screens& operator=(const Screens&) = delete;

  std::vector<gfx::Rect> Monitors() const;
  // The output whose monitor `rect` is; null when none is.
  wl_output* OutputAt(const gfx::Rect& rect) const;
  wl_output* Primary() const;
  // Which output a surface is on, by its proxy; 0 when none.
  uint32_t IdOf(const wl_output* output) const;

  void Add(ScreenClient* client) { clients_.push_back(client); }
  void Remove(ScreenClient* client);
  // The window told about changes of the monitors (the scene form's own).
  void set_watcher(ScreenClient* watcher) { watcher_ = watcher; }
  bool TakeChange();

  // Between events: each window's pending events, then a change of the
  // monitors to the watcher.
  void DeliverPending();

 private:
  class Presence;
  friend class Presence;
  void OutputChanged(wl_output* output);
  void OutputGone(wl_output* output);

  OutputList& outputs_;
  std::vector<ScreenClient*> clients_;
  ScreenClient* watcher_ = nullptr;
  bool changed_ = false;
};

}  // namespace sarvel::wayland
