// Wayland: the seat's pointer and keyboard. Their events go to the
// InputListener of the surface they concern, with positions in that
// surface's device pixels; the cursor is hidden over our full-screen
// surfaces. Key codes are the kernel's (evdev), buttons too (BTN_LEFT 0x110).
#pragma once

#include <cstdint>

struct wl_seat;
struct wl_pointer;
struct wl_keyboard;
struct wl_surface;

namespace sarvel::wayland {

class OutputSurface;

class InputListener {
 public:
  virtual ~InputListener() = default;
  // Positions in device pixels of the surface.
  virtual void OnPointerEnter(int x, int y) = 0;
  virtual void OnPointerMotion(int x, int y) = 0;
  virtual void OnButton(uint32_t button, bool pressed) = 0;
  // `axis` 0 vertical, 1 horizontal; `value` as the compositor sends it.
  virtual void OnWheel(uint32_t axis, double value) = 0;
  virtual void OnKey(uint32_t key, bool pressed) = 0;
};

class Seat {
 public:
  // Takes `seat`, the global `id`.
  Seat(wl_seat* seat, uint32_t id);
  ~Seat();
  Seat(const Seat&) = delete;
  Seat& operator=(const Seat&) = delete;

  uint32_t id() const { return id_; }
  // Whether the cursor is hidden over our full-screen surfaces from the
  // pointer's next entry on (a window keeps the compositor's).
  void set_cursor_hidden(bool hidden) { cursor_hidden_ = hidden; }
  // `surface` goes: no event is delivered to it any more.
  void Forget(const OutputSurface* surface);

 private:
  friend struct SeatEvents;
  void SetCapabilities(uint32_t capabilities);
  void PointerAt(OutputSurface* surface, double x, double y, bool enter);

  wl_seat* seat_;
  uint32_t id_;
  wl_pointer* pointer_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  OutputSurface* pointer_focus_ = nullptr;
  OutputSurface* keyboard_focus_ = nullptr;
  bool cursor_hidden_ = true;
};

}  // namespace sarvel::wayland
