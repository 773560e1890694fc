// Wayland: a run of the native program on the Wayland compositor, for the
// launcher.
#pragma once

#include "frontends/posix/command_line.h"

namespace sarvel::wayland {

// Carries out the invocation (a run request) on $WAYLAND_DISPLAY; the
// process's exit status. Ends the process itself where the run ends it. A
// preview or another program's window is X11's: the launcher never brings
// those here.
int Run(const Invocation& invocation);

}  // namespace sarvel::wayland
