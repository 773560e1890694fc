// Wayland: what an output shows, read through the screencopy protocol
// before the scene covers it (the desktop background). The copy waits for
// the compositor on an event queue of its own, so that no other handler runs
// meanwhile.
#pragma once

#include <chrono>

#include "core/gfx/surface.h"
#include "frontends/wayland/connection.h"

struct wl_output;

namespace sarvel::wayland {

// Copies the output's picture into `into` at (0, 0), as far as both reach;
// the rest of `into` stays as it is. False, with `into` untouched, where the
// compositor offers no screencopy, refuses, or has not answered within
// `timeout`.
bool CopyOutput(Connection& connection, wl_output* output, gfx::Surface& into,
                std::chrono::milliseconds timeout = std::chrono::seconds(2));

}  // namespace sarvel::wayland
