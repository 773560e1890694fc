// Wayland: the runtime services.
#include "frontends/wayland/wayland_services.h"

#include <cstdio>
#include <cstdlib>

#include "frontends/wayland/seat.h"

namespace sarvel::wayland {

void WaylandSystem::SetCursorHidden(bool hidden) {
  if (!connection_) return;
  if (Seat* seat = connection_->seat()) seat->set_cursor_hidden(hidden);
}

void WaylandProcess::EndProgram() {
  // The compositor takes our surfaces away with the connection.
  std::fflush(nullptr);
  std::exit(0);
}

void WaylandProcess::FatalError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

}  // namespace sarvel::wayland
