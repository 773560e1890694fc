// GNOME: `sarvel --idle`, the idle watcher on the session bus. It asks the
// compositor's idle monitor (org.gnome.Mutter.IdleMonitor, through GDBus) for
// its watches and starts the saver as a child process: this same program in
// its full-screen mode, so that a saver that fails never ends the watcher.
// It ends, and ends the saver with it, on SIGTERM, SIGINT or SIGHUP, and
// when the bus or the idle monitor goes away.
#pragma once

#include <cstdint>

namespace sarvel::gnome {

// Watches until told to end; the exit status: 0 after a signal, 1 when
// there is no idle monitor to watch or it went away (said on stderr).
int RunIdleWatcher(uint64_t idle_ms);

}  // namespace sarvel::gnome
