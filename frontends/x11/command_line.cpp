// X11: command-line parsing.
#include "frontends/x11/command_line.h"

#include <charconv>
#include <cmath>

#include "core/base/number_text.h"
#include "app/saver.h"

namespace sarvel::x11 {
namespace {

struct BackgroundName {
  const char* name;
  int kind;
};
constexpr BackgroundName kBackgrounds[] = {{"black", 1},   {"blue", 2},    {"brown", 3},
                                           {"desktop", 4}, {"picture", 5}, {"random", 6}};

std::optional<long> WholeNumber(std::string_view text) {
  long v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return v;
}

std::optional<float> Decimal(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c == ',') c = '.';  // either separator, whatever the locale
  }
  float v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(v)) return std::nullopt;
  return v;
}

bool ParseSize(std::string_view text, int& w, int& h) {
  const size_t x = text.find('x');
  if (x == std::string_view::npos) return false;
  const auto a = WholeNumber(text.substr(0, x)), b = WholeNumber(text.substr(x + 1));
  if (!a || !b || *a < 16 || *b < 16 || *a > 16384 || *b > 16384) return false;
  w = int(*a);
  h = int(*b);
  return true;
}

}  // namespace

Window ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  unsigned long v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return None;
  return Window(v);
}

bool SettingOverrides::any() const {
  return count || speed || date || time || restart_minutes || background || picture;
}

bool OpensSettingsDialog(std::string_view switch_text) {
  return CommandText(switch_text).substr(0, 2) == "/C";
}

std::vector<std::pair<std::string, std::string>> SettingOverrides::StoreTexts(
    std::string_view decimal_separator) const {
  std::vector<std::pair<std::string, std::string>> texts;
  if (count) texts.emplace_back("maxL", std::to_string(*count));
  if (speed) texts.emplace_back("SpeedL", SingleText(*speed, decimal_separator));
  if (date) texts.emplace_back("Date", *date ? "1" : "0");
  if (time) texts.emplace_back("Time", *time ? "1" : "0");
  if (restart_minutes) {
    texts.emplace_back("Restart", *restart_minutes > 0 ? "1" : "0");
    if (*restart_minutes > 0) texts.emplace_back("rTime", std::to_string(*restart_minutes * 60));
  }
  if (background) texts.emplace_back("Background", std::to_string(*background));
  if (picture) texts.emplace_back("PicFile", *picture);
  return texts;
}

std::optional<Invocation> ParseCommandLine(std::span<const std::string> args, const char* xscreensaver_window,
                                           std::string& error) {
  Invocation inv;
  std::vector<std::string> words;
  bool windowed = false, hosted = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      words.push_back(arg);
      continue;
    }
    // -name and --name alike; --name=value too.
    std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
    std::optional<std::string> inline_value;
    if (const size_t eq = name.find('='); eq != std::string::npos) {
      inline_value = name.substr(eq + 1);
      name.resize(eq);
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inline_value) return inline_value;
      if (i + 1 < args.size()) return args[++i];
      error = "-" + name + " needs a value";
      return std::nullopt;
    };
    if (name == "h" || name == "help") {
      inv.mode = Invocation::Mode::kHelp;
      return inv;
    } else if (name == "version") {
      inv.mode = Invocation::Mode::kVersion;
      return inv;
    } else if (name == "window") {
      windowed = true;
      std::optional<std::string> size = inline_value;
      if (!size && i + 1 < args.size() && ParseSize(args[i + 1], inv.window_width, inv.window_height)) ++i;
      if (size && !ParseSize(*size, inv.window_width, inv.window_height)) {
        error = "--window takes a size like 800x600";
        return std::nullopt;
      }
    } else if (name == "root") {
      hosted = true;
      inv.root = true;
    } else if (name == "window-id") {
      const auto v = value();
      if (!v) return std::nullopt;
      inv.window_id = ParseWindowId(*v);
      if (inv.window_id == None) {
        error = "-window-id takes a window id (decimal or 0x hexadecimal), not '" + *v + "'";
        return std::nullopt;
      }
      hosted = true;
    } else if (name == "count") {
      const auto v = value();
      if (!v) return std::nullopt;
      const auto n = WholeNumber(*v);
      if (!n || *n < 1 || *n > 25) {
        error = "-count takes a whole number from 1 to 25";
        return std::nullopt;
      }
      inv.overrides.count = int(*n);
    } else if (name == "speed") {
      const auto v = value();
      if (!v) return std::nullopt;
      const auto s = Decimal(*v);
      if (!s || *s < 0.1f - 1e-6f || *s > 10.0f + 1e-6f) {
        error = "-speed takes a number from 0.1 to 10";
        return std::nullopt;
      }
      inv.overrides.speed = *s;
    } else if (name == "date" || name == "no-date") {
      inv.overrides.date = name == "date";
    } else if (name == "time" || name == "no-time") {
      inv.overrides.time = name == "time";
    } else if (name == "restart") {
      const auto v = value();
      if (!v) return std::nullopt;
      const auto n = WholeNumber(*v);
      if (!n || *n < 0 || *n > 1440) {
        error = "-restart takes minutes from 0 (off) to 1440";
        return std::nullopt;
      }
      inv.overrides.restart_minutes = int(*n);
    } else if (name == "background") {
      const auto v = value();
      if (!v) return std::nullopt;
      for (const BackgroundName& b : kBackgrounds) {
        if (*v == b.name) inv.overrides.background = b.kind;
      }
      if (!inv.overrides.background) {
        error = "-background takes black, blue, brown, desktop, picture or random";
        return std::nullopt;
      }
    } else if (name == "scale") {
      const auto v = value();
      if (!v) return std::nullopt;
      const auto f = Decimal(*v);
      if (!f || *f < 0.5f - 1e-6f || *f > 8.0f + 1e-6f) {
        error = "-scale takes a number from 0.5 to 8";
        return std::nullopt;
      }
      inv.scale = double(*f);
    } else if (name == "picture") {
      const auto v = value();
      if (!v) return std::nullopt;
      inv.overrides.picture = *v;
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  if (windowed && hosted) {
    error = "--window cannot be combined with -root or -window-id";
    return std::nullopt;
  }
  if ((windowed || hosted) && !words.empty()) {
    error = "'" + words.front() + "' cannot be combined with --window, -root or -window-id";
    return std::nullopt;
  }
  for (const std::string& w : words) {
    if (!inv.switch_text.empty()) inv.switch_text += ' ';
    inv.switch_text += w;
  }
  // The dialog loads and stores the file itself: a value given here would be
  // shown as stored, and stored by the dialog's first write.
  if (inv.overrides.any() && OpensSettingsDialog(inv.switch_text)) {
    error =
        "settings options (-count, -speed, -date, -time, -restart, -background, -picture) are "
        "for a run of the scene;\n/C edits the settings file itself and takes none of them";
    return std::nullopt;
  }
  // A screen-saver daemon names its window this way; for a hack started with
  // -root, or with no mode at all, that window is the root to draw on.
  const bool daemon_window = xscreensaver_window && xscreensaver_window[0];
  if (daemon_window && ((hosted && inv.window_id == None) || (!hosted && !windowed && words.empty()))) {
    inv.window_id = ParseWindowId(xscreensaver_window);
    if (inv.window_id == None) {
      error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + xscreensaver_window + "'";
      return std::nullopt;
    }
    hosted = true;
  }
  if (windowed) inv.mode = Invocation::Mode::kWindowed;
  else if (hosted) inv.mode = Invocation::Mode::kHosted;
  return inv;
}

std::string UsageText() {
  return R"(usage: sarvel [OPTIONS] [/S | /P <xid> | /C | /A]
An autumn screen saver: leaves fall and settle, mushrooms grow.

Modes:
  /S (or nothing)       full screen, a scene on every monitor; a key, a click,
                        the wheel or moving the mouse ends it
  /P <xid>              the still preview inside window <xid> (decimal)
  /C                    the settings dialog
  --window [WxH]        the scene in an ordinary window (default 1024x640);
                        it ends when the window is closed
  -root                 draw on the root window, as a screen-saver hack: under
                        a daemon its window ($XSCREENSAVER_WINDOW, __SWM_VROOT)
  -window-id <id>       draw into window <id> (decimal or 0x hexadecimal)
Settings for one run of the scene (the settings file stays as it is; /C,
which edits that file, refuses them):
  -count N              quantity of leaves, 1 to 25 (the dialog offers 2 to 10)
  -speed S              speed, 0.1 to 10
  -date, -no-date       show the date or not
  -time, -no-time       show the time or not
  -restart MINUTES      rebuild the scene every MINUTES; 0 turns it off
  -background KIND      black, blue, brown, desktop, picture or random
  -picture FILE         the picture for -background picture
Display:
  -scale S              device pixels per pixel of a 96 DPI screen (0.5 to 8;
                        1.5 or 2 on a dense screen); default: Xft.dpi / 96
Other:
  -h, --help            this text
  --version             the version

Settings are kept in $XDG_CONFIG_HOME/sarvel/settings.ini (~/.config/...).
Error reports go to sarvel.EPT beside the program, or to
$XDG_STATE_HOME/sarvel/ (~/.local/state/sarvel/) where they cannot be
written there.
)";
}

}  // namespace sarvel::x11
