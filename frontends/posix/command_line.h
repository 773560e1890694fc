// The command line of the native program, read into a run request.
// Besides the display settings' switches (/S, /P <xid>, /C, /A), it knows the
// windowed mode, the window system to use (--x11, --wayland), the
// conventions of X11 screen-saver hacks (-root, -window-id,
// $XSCREENSAVER_WINDOW) and options that override the stored settings for
// one run.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/options.h"
#include "app/run_request.h"

namespace sarvel {

// Settings given on the command line, by row of the options table; each one
// that is set replaces the stored value of its key (or keys) for this run.
struct SettingOverrides {
  struct Given {
    double number = 0;
    std::string text;  // a path
  };
  std::array<std::optional<Given>, kSettingOptions.size()> given;

  // The number given for the option stored under `key`, if any.
  std::optional<double> Number(std::string_view key) const;
  // The store texts (key, text) these stand for, in the table's order; the
  // speed is written with the given decimal separator, as the settings
  // record reads it.
  std::vector<std::pair<std::string, std::string>> StoreTexts(
      std::string_view decimal_separator) const;
  bool any() const;
};

// An X11 window id; 0 is none.
using WindowId = uint64_t;

struct Invocation {
  enum class Mode {
    kRun,
    kIdle,  // the idle watcher of a GNOME session (--idle MINUTES)
    kHelp,
    kVersion,
  };
  // The window system: the session's (kAny), or the one an option forces.
  enum class Backend { kAny, kX11, kWayland };
  Mode mode = Mode::kRun;
  Backend backend = Backend::kAny;
  RunRequest request;       // kRun: what the program is asked to do
  int window_width = 1024;  // a window's size (--window)
  int window_height = 640;
  // A full-screen run in another program's window (-root, -window-id, a
  // daemon's): the (virtual) root window, or the one window_id names.
  bool hosted = false;
  WindowId window_id = 0;
  double scale = 0;      // -scale S: device pixels per 96-DPI pixel; 0: Xft.dpi / 96
  uint64_t idle_ms = 0;  // kIdle: the idle time that starts the saver
  SettingOverrides overrides;
};

// Parses the arguments after the program's name. `xscreensaver_window` is
// the environment's $XSCREENSAVER_WINDOW (null when unset): the daemon's
// window, which -root means when it is set, and which selects the hosted
// mode when nothing else chose a mode. On a mistake returns nothing and says
// why in `error`.
std::optional<Invocation> ParseCommandLine(std::span<const std::string> args,
                                           const char* xscreensaver_window, std::string& error);

// Whether the invocation runs on the Wayland compositor: where an option
// says so, or where the session has one (`wayland_display`, the
// environment's $WAYLAND_DISPLAY, null when unset) and no option says X11.
// Another program's window and a preview's host are X11 windows: those runs
// are always X11's.
bool ChoosesWayland(const Invocation& invocation, const char* wayland_display);

// A window id in decimal or in hexadecimal after "0x"; 0 when the text is
// not one.
WindowId ParseWindowId(std::string_view text);

// The keys of the settings file, "maxL, Date, ...", for the messages that
// send the user there.
std::string StoredKeyList();

// The option summary that --help prints.
std::string UsageText();

}  // namespace sarvel
