// X11: the command line of the native program. Besides the Windows-style
// switches that go to Main unchanged (/S, /P <xid>, /C, /A), it knows the
// windowed mode, the conventions of XScreenSaver hacks (-root, -window-id,
// $XSCREENSAVER_WINDOW) and options that override the stored settings for
// one run.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sarvel::x11 {

// Settings given on the command line; each one that is set replaces the
// stored value of its key for this run.
struct SettingOverrides {
  std::optional<int> count;            // -count N: "maxL", 1..25
  std::optional<float> speed;          // -speed S: "SpeedL", 0.1..10
  std::optional<bool> date;            // -date / -no-date: "Date"
  std::optional<bool> time;            // -time / -no-time: "Time"
  std::optional<int> restart_minutes;  // -restart M: "Restart" and "rTime"; 0 is off
  std::optional<int> background;       // -background NAME: "Background", 1..6
  std::optional<std::string> picture;  // -picture FILE: "PicFile"

  // The store texts (key, text) these stand for; the speed is written with
  // the given decimal separator, as the settings record reads it.
  std::vector<std::pair<std::string, std::string>> StoreTexts(std::string_view decimal_separator) const;
  bool any() const;
};

// Whether Main takes this switch text for configuration mode (/C, any case).
bool OpensSettingsDialog(std::string_view switch_text);

struct Invocation {
  enum class Mode {
    kSwitch,    // Main with the Windows-style switch text (empty: full screen)
    kWindowed,  // the scene in an ordinary window
    kHosted,    // the scene in another program's window (-root, -window-id)
    kHelp,
    kVersion,
  };
  Mode mode = Mode::kSwitch;
  std::string switch_text;  // kSwitch: the words after the options, joined by blanks
  int window_width = 1024;  // kWindowed
  int window_height = 640;
  bool root = false;        // kHosted: the (virtual) root window ...
  Window window_id = None;  // ... or this one, named by -window-id or the daemon
  double scale = 0;         // -scale S: device pixels per 96-DPI pixel; 0: Xft.dpi / 96
  SettingOverrides overrides;
};

// Parses the arguments after the program's name. `xscreensaver_window` is
// the environment's $XSCREENSAVER_WINDOW (null when unset): the daemon's
// window, which -root means when it is set, and which selects the hosted
// mode when nothing else chose a mode. On a mistake returns nothing and says
// why in `error`.
std::optional<Invocation> ParseCommandLine(std::span<const std::string> args, const char* xscreensaver_window,
                                           std::string& error);

// A window id in decimal or in hexadecimal after "0x"; None when the text is
// not one.
Window ParseWindowId(std::string_view text);

// The option summary that --help prints.
std::string UsageText();

}  // namespace sarvel::x11
