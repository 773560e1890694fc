// Wayland: the seat's pointer and keyboard events, routed to our surfaces.
#include "frontends/wayland/seat.h"

#include <unistd.h>
#include <wayland-client.h>

#include "frontends/wayland/output_surface.h"

namespace sarvel::wayland {

struct SeatEvents {
  static Seat* Of(void* data) { return static_cast<Seat*>(data); }
  static InputListener* Input(OutputSurface* s) { return s ? s->input_listener() : nullptr; }

  static void Capabilities(void* data, wl_seat*, uint32_t caps) { Of(data)->SetCapabilities(caps); }
  static void Name(void*, wl_seat*, const char*) {}

  static void Enter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                    wl_fixed_t x, wl_fixed_t y) {
    OutputSurface* ours = OutputSurface::FromSurface(surface);
    // No cursor over the scene.
    if (Of(data)->cursor_hidden_ && ours && ours->kind() != SurfaceKind::kWindow) {
      wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    }
    Of(data)->PointerAt(ours, wl_fixed_to_double(x), wl_fixed_to_double(y), true);
  }
  static void Leave(void* data, wl_pointer*, uint32_t, wl_surface*) {
    Of(data)->pointer_focus_ = nullptr;
  }
  static void Motion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    Of(data)->PointerAt(Of(data)->pointer_focus_, wl_fixed_to_double(x), wl_fixed_to_double(y),
                        false);
  }
  static void Button(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    if (InputListener* l = Input(Of(data)->pointer_focus_)) {
      l->OnButton(button, state == WL_POINTER_BUTTON_STATE_PRESSED);
    }
  }
  static void Axis(void* data, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value) {
    if (InputListener* l = Input(Of(data)->pointer_focus_)) {
      l->OnWheel(axis, wl_fixed_to_double(value));
    }
  }
  static void Frame(void*, wl_pointer*) {}
  static void AxisSource(void*, wl_pointer*, uint32_t) {}
  static void AxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
  static void AxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
  static void AxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

  static void Keymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
  static void KeyboardEnter(void* data, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
    Of(data)->keyboard_focus_ = OutputSurface::FromSurface(surface);
  }
  static void KeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface*) {
    Of(data)->keyboard_focus_ = nullptr;
  }
  static void Key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    if (InputListener* l = Input(Of(data)->keyboard_focus_)) {
      l->OnKey(key, state == WL_KEYBOARD_KEY_STATE_PRESSED);
    }
  }
  static void Modifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
  static void RepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
};

namespace {

const wl_seat_listener kSeatListener = {.capabilities = SeatEvents::Capabilities,
                                        .name = SeatEvents::Name};
const wl_pointer_listener kPointerListener = {.enter = SeatEvents::Enter,
                                              .leave = SeatEvents::Leave,
                                              .motion = SeatEvents::Motion,
                                              .button = SeatEvents::Button,
                                              .axis = SeatEvents::Axis,
                                              .frame = SeatEvents::Frame,
                                              .axis_source = SeatEvents::AxisSource,
                                              .axis_stop = SeatEvents::AxisStop,
                                              .axis_discrete = SeatEvents::AxisDiscrete,
                                              .axis_value120 = SeatEvents::AxisValue120};
const wl_keyboard_listener kKeyboardListener = {.keymap = SeatEvents::Keymap,
                                                .enter = SeatEvents::KeyboardEnter,
                                                .leave = SeatEvents::KeyboardLeave,
                                                .key = SeatEvents::Key,
                                                .modifiers = SeatEvents::Modifiers,
                                                .repeat_info = SeatEvents::RepeatInfo};

void ReleasePointer(wl_pointer*& p) {
  if (!p) return;
  if (wl_pointer_get_version(p) >= WL_POINTER_RELEASE_SINCE_VERSION) {
    wl_pointer_release(p);
  } else {
    wl_pointer_destroy(p);
  }
  p = nullptr;
}

void ReleaseKeyboard(wl_keyboard*& k) {
  if (!k) return;
  if (wl_keyboard_get_version(k) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
    wl_keyboard_release(k);
  } else {
    wl_keyboard_destroy(k);
  }
  k = nullptr;
}

}  // namespace

Seat::Seat(wl_seat* seat, uint32_t id) : seat_(seat), id_(id) {
  wl_seat_add_listener(seat_, &kSeatListener, this);
}

Seat::~Seat() {
  ReleasePointer(pointer_);
  ReleaseKeyboard(keyboard_);
  if (wl_seat_get_version(seat_) >= WL_SEAT_RELEASE_SINCE_VERSION) {
    wl_seat_release(seat_);
  } else {
    wl_seat_destroy(seat_);
  }
}

void Seat::SetCapabilities(uint32_t caps) {
  if ((caps & WL_SEAT_CAPABILITY_POINTER) && !pointer_) {
    pointer_ = wl_seat_get_pointer(seat_);
    wl_pointer_add_listener(pointer_, &kPointerListener, this);
  } else if (!(caps & WL_SEAT_CAPABILITY_POINTER)) {
    ReleasePointer(pointer_);
    pointer_focus_ = nullptr;
  }
  if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !keyboard_) {
    keyboard_ = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
  } else if (!(caps & WL_SEAT_CAPABILITY_KEYBOARD)) {
    ReleaseKeyboard(keyboard_);
    keyboard_focus_ = nullptr;
  }
}

void Seat::PointerAt(OutputSurface* surface, double x, double y, bool enter) {
  pointer_focus_ = surface;
  InputListener* l = SeatEvents::Input(surface);
  if (!l) return;
  const DevicePoint p = surface->ToDevice(x, y);
  if (enter) {
    l->OnPointerEnter(p.x, p.y);
  } else {
    l->OnPointerMotion(p.x, p.y);
  }
}

void Seat::Forget(const OutputSurface* surface) {
  if (pointer_focus_ == surface) pointer_focus_ = nullptr;
  if (keyboard_focus_ == surface) keyboard_focus_ = nullptr;
}

}  // namespace sarvel::wayland
