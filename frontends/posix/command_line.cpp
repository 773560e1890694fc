// Command-line parsing.
#include "frontends/posix/command_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/base/number_text.h"

namespace sarvel {
namespace {

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
  if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

// --idle's minutes in milliseconds: more than none, at most a day; 0 when
// the text is not such a number.
uint64_t IdleMilliseconds(std::string_view text) {
  const auto minutes = Decimal(text);
  if (!minutes || *minutes <= 0 || *minutes > 24 * 60) return 0;
  return uint64_t(std::llround(double(*minutes) * 60000));
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

std::string RangeText(double v) { return SingleText(float(v), "."); }

// "black, blue, brown, desktop, picture or random".
std::string BackgroundKindNames() {
  std::string names;
  for (size_t i = 0; i < kBackgroundKinds.size(); ++i) {
    if (i > 0) names += i + 1 < kBackgroundKinds.size() ? ", " : " or ";
    names += kBackgroundKinds[i].name;
  }
  return names;
}

// What -name takes, for its complaint: "a whole number from 1 to 25".
std::string Takes(const SettingOption& o) {
  const RunOption& r = o.run;
  switch (r.form) {
    case RunOptionForm::kNumber:
      return std::string(o.field.type() == StoredType::kSingle ? "a number" : "a whole number") +
             " from " + RangeText(r.low) + " to " + RangeText(r.high);
    case RunOptionForm::kMinutesOrOff:
      return "minutes from 0 (off) to " + RangeText(r.high);
    case RunOptionForm::kChoice:
      return BackgroundKindNames();
    default:
      return "a value";
  }
}

// The value of a setting's option, or nothing when it does not fit.
std::optional<SettingOverrides::Given> RunValue(const SettingOption& o, const std::string& text) {
  const RunOption& r = o.run;
  switch (r.form) {
    case RunOptionForm::kNumber:
      if (o.field.type() == StoredType::kSingle) {
        const auto v = Decimal(text);
        if (!v || *v < float(r.low) - 1e-6f || *v > float(r.high) + 1e-6f) return std::nullopt;
        return SettingOverrides::Given{*v, {}};
      }
      [[fallthrough]];
    case RunOptionForm::kMinutesOrOff: {
      const auto n = WholeNumber(text);
      if (!n || *n < r.low || *n > r.high) return std::nullopt;
      return SettingOverrides::Given{double(*n), {}};
    }
    case RunOptionForm::kChoice:
      for (const BackgroundKind& b : kBackgroundKinds) {
        if (text == b.name) return SettingOverrides::Given{double(b.kind), {}};
      }
      return std::nullopt;
    case RunOptionForm::kText:
      return SettingOverrides::Given{0, text};
    default:
      return std::nullopt;
  }
}

// The setting an option name stands for: -name, or -no-name of an on/off
// option (`off` is then set).
const SettingOption* SettingNamed(std::string_view name, bool& off) {
  off = false;
  if (const SettingOption* o = OptionNamed(name)) return o;
  if (name.substr(0, 3) != "no-") return nullptr;
  const SettingOption* o = OptionNamed(name.substr(3));
  off = o && o->run.form == RunOptionForm::kOnOff;
  return off ? o : nullptr;
}

std::string SettingOptionList() {
  std::string list;
  for (const SettingOption& o : kSettingOptions) {
    if (o.run.form == RunOptionForm::kNone) continue;
    list += (list.empty() ? "-" : ", -") + std::string(o.run.name);
  }
  return list;
}

}  // namespace

WindowId ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  WindowId v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return 0;
  return v;
}

bool ChoosesWayland(const Invocation& invocation, const char* wayland_display) {
  if (invocation.hosted || invocation.request.mode == RunRequest::Mode::kPreview) return false;
  switch (invocation.backend) {
    case Invocation::Backend::kX11:
      return false;
    case Invocation::Backend::kWayland:
      return true;
    case Invocation::Backend::kAny:
      break;
  }
  return wayland_display && wayland_display[0];
}

bool SettingOverrides::any() const {
  for (const auto& g : given)
    if (g) return true;
  return false;
}

std::optional<double> SettingOverrides::Number(std::string_view key) const {
  for (size_t i = 0; i < given.size(); ++i)
    if (kSettingOptions[i].key == key && given[i]) return given[i]->number;
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> SettingOverrides::StoreTexts(
    std::string_view decimal_separator) const {
  std::vector<std::pair<std::string, std::string>> texts;
  for (size_t i = 0; i < given.size(); ++i) {
    if (!given[i]) continue;
    const SettingOption& o = kSettingOptions[i];
    const Given& g = *given[i];
    const std::string key(o.key);
    switch (o.run.form) {
      case RunOptionForm::kNumber:
        texts.emplace_back(key, o.field.type() == StoredType::kSingle
                                    ? SingleText(float(g.number), decimal_separator)
                                    : IntegerText(int64_t(g.number)));
        break;
      case RunOptionForm::kOnOff:
      case RunOptionForm::kChoice:
        texts.emplace_back(key, IntegerText(int64_t(g.number)));
        break;
      case RunOptionForm::kMinutesOrOff:
        texts.emplace_back(key, g.number > 0 ? "1" : "0");
        if (g.number > 0)
          texts.emplace_back(std::string(o.run.seconds_key), IntegerText(int64_t(g.number) * 60));
        break;
      case RunOptionForm::kText:
        texts.emplace_back(key, g.text);
        break;
      case RunOptionForm::kNone:
        break;
    }
  }
  return texts;
}

std::optional<Invocation> ParseCommandLine(std::span<const std::string> args,
                                           const char* xscreensaver_window, std::string& error) {
  Invocation inv;
  std::vector<std::string> words;
  bool windowed = false, hosted = false, idle = false;
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
      if (!size && i + 1 < args.size() &&
          ParseSize(args[i + 1], inv.window_width, inv.window_height))
        ++i;
      if (size && !ParseSize(*size, inv.window_width, inv.window_height)) {
        error = "--window takes a size like 800x600";
        return std::nullopt;
      }
    } else if (name == "x11" || name == "wayland") {
      const auto backend =
          name == "x11" ? Invocation::Backend::kX11 : Invocation::Backend::kWayland;
      if (inv.backend != Invocation::Backend::kAny && inv.backend != backend) {
        error = "--x11 and --wayland cannot be combined";
        return std::nullopt;
      }
      inv.backend = backend;
    } else if (name == "root") {
      hosted = true;
    } else if (name == "window-id") {
      const auto v = value();
      if (!v) return std::nullopt;
      inv.window_id = ParseWindowId(*v);
      if (inv.window_id == 0) {
        error = "-window-id takes a window id (decimal or 0x hexadecimal), not '" + *v + "'";
        return std::nullopt;
      }
      hosted = true;
    } else if (name == "idle") {
      const auto v = value();
      if (!v) return std::nullopt;
      inv.idle_ms = IdleMilliseconds(*v);
      if (inv.idle_ms == 0) {
        error = "--idle takes minutes, more than 0 and at most 1440 (a day), like 10 or 0.5";
        return std::nullopt;
      }
      idle = true;
    } else if (bool off = false; const SettingOption* o = SettingNamed(name, off)) {
      auto& given = inv.overrides.given[size_t(o - kSettingOptions.data())];
      if (o->run.form == RunOptionForm::kOnOff) {
        given = SettingOverrides::Given{off ? 0.0 : 1.0, {}};
        continue;
      }
      const auto v = value();
      if (!v) return std::nullopt;
      given = RunValue(*o, *v);
      if (!given) {
        error = "-" + name + " takes " + Takes(*o);
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
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  if (idle) {
    if (windowed || hosted || !words.empty() || inv.overrides.any() || inv.scale > 0) {
      error = "--idle stands alone: the saver it starts runs with the stored settings";
      return std::nullopt;
    }
    inv.mode = Invocation::Mode::kIdle;
    return inv;
  }
  if (windowed && hosted) {
    error = "--window cannot be combined with -root or -window-id";
    return std::nullopt;
  }
  if ((windowed || hosted) && !words.empty()) {
    error = "'" + words.front() + "' cannot be combined with --window, -root or -window-id";
    return std::nullopt;
  }
  std::string switch_text;
  for (const std::string& w : words) {
    if (!switch_text.empty()) switch_text += ' ';
    switch_text += w;
  }
  inv.request = ParseSaverSwitch(switch_text);
  // The dialog loads and stores the file itself: a value given here would be
  // shown as stored, and stored by the dialog's first write.
  if (inv.overrides.any() && inv.request.mode == RunRequest::Mode::kSettings) {
    error =
        "settings options (" + SettingOptionList() +
        ") are for a run of the scene;\n/C edits the settings file itself and takes none of them";
    return std::nullopt;
  }
  // A screen-saver daemon names its window this way; for a hack started with
  // -root, or with no mode at all, that window is the root to draw on.
  const bool daemon_window = xscreensaver_window && xscreensaver_window[0];
  if (daemon_window &&
      ((hosted && inv.window_id == 0) || (!hosted && !windowed && words.empty()))) {
    inv.window_id = ParseWindowId(xscreensaver_window);
    if (inv.window_id == 0) {
      error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + xscreensaver_window + "'";
      return std::nullopt;
    }
    hosted = true;
  }
  if (windowed) inv.request.mode = RunRequest::Mode::kWindow;
  inv.hosted = hosted;
  // Another program's window, or a preview inside one, is an X11 window.
  if (inv.backend == Invocation::Backend::kWayland &&
      (hosted || inv.request.mode == RunRequest::Mode::kPreview)) {
    error =
        "--wayland cannot draw into another program's window (-root, -window-id, /P): those "
        "are X11 windows";
    return std::nullopt;
  }
  return inv;
}

// One line of --help per setting's option, as the options table has them.
std::string SettingOptionHelp() {
  std::string help;
  for (const SettingOption& o : kSettingOptions) {
    const RunOption& r = o.run;
    if (r.form == RunOptionForm::kNone) continue;
    std::string synopsis = "-";
    synopsis += r.name;
    synopsis += r.form == RunOptionForm::kOnOff ? ", -no-" : " ";
    synopsis += r.form == RunOptionForm::kOnOff ? r.name : r.value_name;
    synopsis.resize(std::max<size_t>(synopsis.size() + 1, 22), ' ');
    help += "  ";
    help += synopsis;
    help += r.form == RunOptionForm::kChoice ? BackgroundKindNames() : std::string(r.help);
    help += '\n';
  }
  return help;
}

std::string StoredKeyList() {
  std::string keys;
  for (const SettingOption& o : kSettingOptions)
    keys += (keys.empty() ? "" : ", ") + std::string(o.key);
  return keys;
}

std::string UsageText() {
  return R"(usage: sarvel [OPTIONS] [/S | /P <xid> | /C | /A]
An autumn screen saver: leaves fall and settle, mushrooms grow.

Modes:
  /S (or nothing)       full screen, a scene on every monitor; a key, a click,
                        the wheel or moving the mouse ends it
  /P <xid>              the still preview inside X11 window <xid> (decimal)
  /C                    the settings dialog
  --window [WxH]        the scene in an ordinary window (default 1024x640);
                        it ends when the window is closed
  -root                 draw on the root window, as a screen-saver hack: under
                        a daemon its window ($XSCREENSAVER_WINDOW, __SWM_VROOT)
  -window-id <id>       draw into window <id> (decimal or 0x hexadecimal)
  --idle MINUTES        in a GNOME session: start the saver full screen after
                        MINUTES without input (10, 0.5, ...), and again after
                        each time the user comes back; ends on SIGTERM
Settings for one run of the scene (the settings file stays as it is; /C,
which edits that file, refuses them):
)" + SettingOptionHelp() +
         R"(Display:
  --wayland             show on the Wayland compositor: one scene per output
                        (the default where $WAYLAND_DISPLAY is set)
  --x11                 show on the X display ($DISPLAY), also in a Wayland
                        session; -root, -window-id, $XSCREENSAVER_WINDOW and
                        /P always mean X11
  -scale S              device pixels per pixel of a 96 DPI screen (0.5 to 8;
                        1.5 or 2 on a dense screen); default: Xft.dpi / 96;
                        X11 only: on Wayland each output's own scale counts
Other:
  -h, --help            this text
  --version             the version

Settings are kept in $XDG_CONFIG_HOME/sarvel/settings.ini (~/.config/...).
Error reports go to sarvel.EPT beside the program, or to
$XDG_STATE_HOME/sarvel/ (~/.local/state/sarvel/) where they cannot be
written there.
)";
}

}  // namespace sarvel
