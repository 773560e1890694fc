// The native program `sarvel`: reads the command line into a request and
// hands it to a window system. Wayland where the session has a compositor
// ($WAYLAND_DISPLAY), X11 otherwise; --x11 and --wayland choose. Another
// program's window (-root, -window-id, $XSCREENSAVER_WINDOW) and a preview's
// host are X11 windows, so those runs are X11's even in a Wayland session.
// --idle runs the idle watcher of a GNOME session, which starts the saver.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontends/gnome/gnome_idle.h"
#include "frontends/posix/command_line.h"
#include "frontends/wayland/run_wayland.h"
#include "frontends/x11/run_x11.h"
#include "sarvel_version.h"

namespace sarvel {
namespace {

int Launch(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto inv = ParseCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"), error);
  if (!inv) {
    std::fprintf(stderr, "sarvel: %s\nTry 'sarvel --help'.\n", error.c_str());
    return 2;
  }
  if (inv->mode == Invocation::Mode::kHelp) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (inv->mode == Invocation::Mode::kVersion) {
    std::printf("Sarvel %s\n", SARVEL_VERSION_TEXT);
    return 0;
  }
  if (inv->mode == Invocation::Mode::kIdle) return gnome::RunIdleWatcher(inv->idle_ms);
  return ChoosesWayland(*inv, std::getenv("WAYLAND_DISPLAY")) ? wayland::Run(*inv) : x11::Run(*inv);
}

}  // namespace
}  // namespace sarvel

int main(int argc, char** argv) { return sarvel::Launch(argc, argv); }
