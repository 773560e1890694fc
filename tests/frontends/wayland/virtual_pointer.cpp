// virtual_pointer: a pointer device for the tests under a compositor whose
// seat has none (headless sway), on zwlr_virtual_pointer_manager_v1. Reads
// commands line by line from stdin and answers each with "ok" once the
// compositor has handled it ("error ..." for a command it does not know):
//   move DX DY     moves by DX, DY logical pixels
//   to X Y         moves to X, Y of the layout (logical pixels): first to its
//                  top-left corner, then by X, Y from there
//   click          presses and releases the left button
//   scroll STEPS   turns the wheel by STEPS notches (positive: down)
//   quit           ends (so does the end of stdin)
// One device for the whole run: the seat keeps its pointer between commands.
// usage: virtual_pointer
#include <linux/input-event-codes.h>
#include <time.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

wl_seat* g_seat = nullptr;
zwlr_virtual_pointer_manager_v1* g_manager = nullptr;

void OnGlobal(void*, wl_registry* registry, uint32_t id, const char* interface, uint32_t) {
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g_seat) {
    g_seat = static_cast<wl_seat*>(wl_registry_bind(registry, id, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    g_manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, id, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

uint32_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint32_t(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

void Move(zwlr_virtual_pointer_v1* p, double dx, double dy) {
  zwlr_virtual_pointer_v1_motion(p, NowMs(), wl_fixed_from_double(dx), wl_fixed_from_double(dy));
  zwlr_virtual_pointer_v1_frame(p);
}

void Button(zwlr_virtual_pointer_v1* p, uint32_t button, uint32_t state) {
  zwlr_virtual_pointer_v1_button(p, NowMs(), button, state);
  zwlr_virtual_pointer_v1_frame(p);
}

void Scroll(zwlr_virtual_pointer_v1* p, int steps) {
  const uint32_t axis = WL_POINTER_AXIS_VERTICAL_SCROLL;
  zwlr_virtual_pointer_v1_axis_source(p, WL_POINTER_AXIS_SOURCE_WHEEL);
  zwlr_virtual_pointer_v1_axis_discrete(p, NowMs(), axis, wl_fixed_from_int(15 * steps), steps);
  zwlr_virtual_pointer_v1_frame(p);
}

bool Run(zwlr_virtual_pointer_v1* p, const std::string& line) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  double a = 0, b = 0;
  if (verb == "move" && in >> a >> b) {
    Move(p, a, b);
  } else if (verb == "to" && in >> a >> b) {
    // The cursor stops at the layout's edge: far up and left is its corner.
    Move(p, -1e6, -1e6);
    Move(p, a, b);
  } else if (verb == "click") {
    Button(p, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
    Button(p, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
  } else if (verb == "scroll" && in >> a) {
    Scroll(p, int(a));
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "virtual_pointer: no Wayland compositor\n");
    return 1;
  }
  wl_registry* registry = wl_display_get_registry(display);
  static const wl_registry_listener listener = {.global = OnGlobal,
                                                .global_remove = OnGlobalRemove};
  wl_registry_add_listener(registry, &listener, nullptr);
  wl_display_roundtrip(display);
  if (!g_manager) {
    std::fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointers\n");
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g_manager, g_seat);
  wl_display_roundtrip(display);
  std::string line;
  while (std::getline(std::cin, line) && line != "quit") {
    const bool known = Run(pointer, line);
    if (wl_display_roundtrip(display) < 0) {
      std::fprintf(stderr, "virtual_pointer: lost the compositor\n");
      return 1;
    }
    std::cout << (known ? "ok" : "error: " + line) << std::endl;
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(g_manager);
  if (g_seat) wl_seat_destroy(g_seat);
  wl_registry_destroy(registry);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
