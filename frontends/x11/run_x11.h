// X11: a run of the native program on the X display, for the launcher.
#pragma once

#include "frontends/posix/command_line.h"

namespace sarvel::x11 {

// Carries out the invocation (a run request) on $DISPLAY; the process's exit
// status. Ends the process itself where the run ends it.
int Run(const Invocation& invocation);

}  // namespace sarvel::x11
