// The settings dialog as designed: its caption and size, and each control's kind,
// container, caption, place in twips and state when the window is created.
// The model starts from this table and every view builds its window from it,
// so the two cannot disagree about the design.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/background_kinds.h"
#include "app/resource_ids.h"
#include "core/gfx/color.h"

namespace sarvel {

// In tab order. Frame(1) and Frame1 are two different frames.
enum class ConfigControl : uint8_t {
  kMushroomsFrame,  // "Mushrooms / Pilze"
  kLeafCountCaption,
  kLeafCountSlider,
  kLeafCountMinus,
  kLeafCountPlus,
  kSpeedCaption,
  kSpeedSlider,
  kSpeedMinus,
  kSpeedPlus,
  kOptionsFrame,  // "Options / Optionen"
  kShowDateBox,
  kShowTimeBox,
  kHomepageButton,
  kInfoButton,
  kDefaultsButton,
  kOkButton,
  kRestartBox,
  kRestartAfterCaption,
  kMinutesLabel,
  kMinutesSpinner,
  kMinutesUnitCaption,
  kBackgroundFrame,  // "Background / Hintergrund "
  kBlackOption,
  kBlueOption,
  kBrownOption,
  kDesktopOption,
  kRandomBox,
  kPictureOption,
  kPicturePathBox,
  kChoosePictureButton,
  kCount
};
inline constexpr size_t kConfigControlCount = size_t(ConfigControl::kCount);
inline constexpr size_t Index(ConfigControl c) { return size_t(c); }

enum class ControlKind : uint8_t {
  kFrame,
  kLabel,
  kHScrollBar,
  kVScrollBar,
  kCheckBox,
  kOptionButton,
  kButton,
  kTextBox,
};

enum class TextAlign : uint8_t { kLeft, kRight, kCenter };

struct ConfigControlDesign {
  ConfigControl id;
  std::string_view name;  // as the handlers know it, e.g. "HScroll(0)"
  ControlKind kind;
  ConfigControl container;  // kOnWindow: the window itself
  std::string_view caption;
  int left, top, width, height;  // twips, relative to the container
  int picture;                   // resource id shown above a button's caption; 0: none
  bool bold;                     // bold "MS Sans Serif" 8.25 pt instead of the window font
  TextAlign align;
  bool white_back;  // label on white instead of the window colour
  // Design state.
  bool enabled;
  bool checked;  // check box ticked, option button selected
  int16_t position;
};

struct ScrollRange {
  int16_t min, max, small_change, large_change;
};

inline constexpr std::string_view kConfigCaption =
    "Sarvel Screensaver  ---  Settings / Einstellungen...";
inline constexpr int kConfigClientWidth = 7455;  // twips
inline constexpr int kConfigClientHeight = 4650;

inline constexpr gfx::Argb kMinutesBlack = gfx::Rgb(0, 0, 0);
inline constexpr gfx::Argb kMinutesGrey = gfx::Rgb(192, 192, 192);

// The picture chooser and its complaint.
inline constexpr std::string_view kPictureFilter = "All Picture Files|*.bmp;*.jpg;*.gif";
inline constexpr std::string_view kNoValidFileTitle = "No valid File / keine gültige Bilddatei";
inline constexpr std::string_view kNoValidFileText =
    "You have to select a valid picture file to display as background\r\n"
    "Sie müssen eine gültige Bilddatei für den Hintergrund auswählen!";

// The container of controls that stand on the window itself.
inline constexpr ConfigControl kOnWindow = ConfigControl::kCount;

// "after / nach" and "Custom / Benutzerdefiniert" are a little wider, and the
// minutes a little narrower, than first drawn: the captions must show whole
// in fonts wider than the one the dialog was laid out for (a system without
// the dialog face draws in its default sans), and the minutes must not run
// under the spinner.
// clang-format off
inline constexpr std::array<ConfigControlDesign, kConfigControlCount> kConfigControls = {{
  // id, name, kind, container, caption, left, top, width, height, picture, bold, align, white back,
  // then the design state: enabled, checked, position
  {ConfigControl::kMushroomsFrame,      "Frame(1)",    ControlKind::kFrame,        kOnWindow, "Mushrooms / Pilze",            120,  120, 2715, 1935, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kLeafCountCaption,    "Label3(0)",   ControlKind::kLabel,        ConfigControl::kMushroomsFrame, "Number / Anzahl",             240,  360, 1815,  255, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kLeafCountSlider,     "HScroll(0)",  ControlKind::kHScrollBar,   ConfigControl::kMushroomsFrame, "",                            240,  600, 2200,  200, 0, false, TextAlign::kLeft,  false, true,  false, 50},
  {ConfigControl::kLeafCountMinus,      "Label1(1)",   ControlKind::kLabel,        ConfigControl::kMushroomsFrame, "-",                           300,  840,  300,  225, 0, true,  TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kLeafCountPlus,       "Label2(1)",   ControlKind::kLabel,        ConfigControl::kMushroomsFrame, "+",                          2100,  840,  300,  225, 0, true,  TextAlign::kRight, false, true,  false, 0},
  {ConfigControl::kSpeedCaption,        "Label3(1)",   ControlKind::kLabel,        ConfigControl::kMushroomsFrame, "Speed / Tempo",               240, 1080, 1815,  255, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kSpeedSlider,         "HScroll(1)",  ControlKind::kHScrollBar,   ConfigControl::kMushroomsFrame, "",                            240, 1320, 2200,  200, 0, false, TextAlign::kLeft,  false, true,  false, 50},
  {ConfigControl::kSpeedMinus,          "Label1(0)",   ControlKind::kLabel,        ConfigControl::kMushroomsFrame, "-",                           300, 1560,  300,  225, 0, true,  TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kSpeedPlus,           "Label2(0)",   ControlKind::kLabel,        ConfigControl::kMushroomsFrame, "+",                          2100, 1560,  300,  225, 0, true,  TextAlign::kRight, false, true,  false, 0},
  {ConfigControl::kOptionsFrame,        "Frame(8)",    ControlKind::kFrame,        kOnWindow, "Options / Optionen",           120, 2160, 2715, 2295, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kShowDateBox,         "chkOpt(0)",   ControlKind::kCheckBox,     ConfigControl::kOptionsFrame, "Date / Datum",                240,  360, 2000,  255, 0, false, TextAlign::kLeft,  false, true,  true,  0},
  {ConfigControl::kShowTimeBox,         "chkOpt(1)",   ControlKind::kCheckBox,     ConfigControl::kOptionsFrame, "Time/ Uhrzeit",               240,  840, 2000,  255, 0, false, TextAlign::kLeft,  false, true,  true,  0},
  {ConfigControl::kHomepageButton,      "cmdHomepage", ControlKind::kButton,       kOnWindow, "&WWW...",                     6120, 1320, 1200,  975, IDI_GLOBE, false, TextAlign::kCenter, false, true, false, 0},
  {ConfigControl::kInfoButton,          "cmdInfo",     ControlKind::kButton,       kOnWindow, "&Info...",                    6120, 2400, 1200,  975, IDI_SMILE, false, TextAlign::kCenter, false, true, false, 0},
  {ConfigControl::kDefaultsButton,      "cmdReset",    ControlKind::kButton,       kOnWindow, "&Default Standard",           6120,  240, 1200,  975, 0, false, TextAlign::kCenter, false, true,  false, 0},
  {ConfigControl::kOkButton,            "cmdOK",       ControlKind::kButton,       kOnWindow, "&OK",                         6120, 3480, 1200,  975, IDI_APP, false, TextAlign::kCenter, false, true,  false, 0},
  {ConfigControl::kRestartBox,          "chkOpt(2)",   ControlKind::kCheckBox,     ConfigControl::kOptionsFrame, "Restart / Neustart",          240, 1440, 2175,  255, 0, false, TextAlign::kLeft,  false, true,  true,  0},
  {ConfigControl::kRestartAfterCaption, "Label4",      ControlKind::kLabel,        ConfigControl::kOptionsFrame, "after / nach",                240, 1800, 1080,  255, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kMinutesLabel,        "lblTime",     ControlKind::kLabel,        ConfigControl::kOptionsFrame, "5",                          1320, 1800,  360,  255, 0, false, TextAlign::kRight, true,  true,  false, 0},
  {ConfigControl::kMinutesSpinner,      "vscTime",     ControlKind::kVScrollBar,   ConfigControl::kOptionsFrame, "",                           1680, 1800,  255,  255, 0, false, TextAlign::kLeft,  false, true,  false, 1},
  {ConfigControl::kMinutesUnitCaption,  "Label5",      ControlKind::kLabel,        ConfigControl::kOptionsFrame, "Min.",                       2040, 1800,  375,  255, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kBackgroundFrame,     "Frame1",      ControlKind::kFrame,        kOnWindow, "Background / Hintergrund ",   3000,  120, 2895, 4335, 0, false, TextAlign::kLeft,  false, true,  false, 0},
  {ConfigControl::kBlackOption,         "optBack(0)",  ControlKind::kOptionButton, ConfigControl::kBackgroundFrame,  "Black / Schwarz",             240,  360, 2055,  255, 0, false, TextAlign::kLeft,  false, false, true,  0},
  {ConfigControl::kBlueOption,          "optBack(1)",  ControlKind::kOptionButton, ConfigControl::kBackgroundFrame,  "Blue / Blau",                 240,  840, 2055,  255, 0, false, TextAlign::kLeft,  false, false, false, 0},
  {ConfigControl::kBrownOption,         "optBack(2)",  ControlKind::kOptionButton, ConfigControl::kBackgroundFrame,  "Brown / Braun",               240, 1320, 2055,  255, 0, false, TextAlign::kLeft,  false, false, false, 0},
  {ConfigControl::kDesktopOption,       "optBack(3)",  ControlKind::kOptionButton, ConfigControl::kBackgroundFrame,  "Desktop",                     240, 1800, 2055,  255, 0, false, TextAlign::kLeft,  false, false, false, 0},
  {ConfigControl::kRandomBox,           "chkRandom",   ControlKind::kCheckBox,     ConfigControl::kBackgroundFrame,  "Random / Zufall",             240, 3720, 2415,  195, 0, false, TextAlign::kLeft,  false, true,  true,  0},
  {ConfigControl::kPictureOption,       "optBack(4)",  ControlKind::kOptionButton, ConfigControl::kBackgroundFrame,  "Custom / Benutzerdefiniert",  240, 2280, 2610,  255, 0, false, TextAlign::kLeft,  false, false, false, 0},
  {ConfigControl::kPicturePathBox,      "txtFile",     ControlKind::kTextBox,      ConfigControl::kBackgroundFrame,  "txtDatei",                    480, 2640, 2055,  285, 0, false, TextAlign::kLeft,  false, false, false, 0},
  {ConfigControl::kChoosePictureButton, "cmdFile",     ControlKind::kButton,       ConfigControl::kBackgroundFrame,  "Select / Auswählen...",       480, 3000, 2055,  375, 0, false, TextAlign::kCenter, false, false, false, 0},
}};
// clang-format on

constexpr bool ConfigTableInOrder() {
  for (size_t i = 0; i < kConfigControls.size(); ++i)
    if (Index(kConfigControls[i].id) != i) return false;
  return true;
}
static_assert(ConfigTableInOrder(), "kConfigControls must list the controls in enum order");

constexpr const ConfigControlDesign& DesignOf(ConfigControl c) { return kConfigControls[Index(c)]; }

// Place of a control relative to the window's client area, in twips.
struct TwipRect {
  int left, top, width, height;
};
constexpr TwipRect WindowPlace(ConfigControl c) {
  const ConfigControlDesign& s = DesignOf(c);
  int left = s.left, top = s.top;
  if (s.container != kOnWindow) {
    left += DesignOf(s.container).left;
    top += DesignOf(s.container).top;
  }
  return {left, top, s.width, s.height};
}

constexpr ScrollRange ScrollRangeOf(ConfigControl c) {
  return c == ConfigControl::kMinutesSpinner ? ScrollRange{1, 99, 1, 1}
                                             : ScrollRange{1, 100, 5, 20};
}

constexpr bool IsOption(ConfigControl c) { return DesignOf(c).kind == ControlKind::kOptionButton; }
constexpr bool IsCheckBox(ConfigControl c) { return DesignOf(c).kind == ControlKind::kCheckBox; }
constexpr bool IsScrollBar(ConfigControl c) {
  return DesignOf(c).kind == ControlKind::kHScrollBar ||
         DesignOf(c).kind == ControlKind::kVScrollBar;
}

// The control of a design name; kOnWindow when the design has none of it.
constexpr ConfigControl ControlNamed(std::string_view name) {
  for (const ConfigControlDesign& design : kConfigControls)
    if (design.name == name) return design.id;
  return kOnWindow;
}

// The background group's option buttons, in the order of the kinds they
// choose: optBack(i) chooses kPaintedKinds[i].
constexpr std::array<ConfigControl, kPaintedKindCount> BackgroundOptions() {
  std::array<ConfigControl, kPaintedKindCount> options{};
  for (size_t i = 0; i < options.size(); ++i)
    options[i] = ControlNamed(BackgroundKindOf(kPaintedKinds[i])->control);
  return options;
}
inline constexpr std::array<ConfigControl, kPaintedKindCount> kBackgroundOptions =
    BackgroundOptions();
static_assert(ControlNamed(BackgroundKindOf(kBackgroundRandom)->control) ==
              ConfigControl::kRandomBox);

// chkOpt(i) by index.
inline constexpr std::array<ConfigControl, 3> kOptionBoxes = {
    ConfigControl::kShowDateBox, ConfigControl::kShowTimeBox, ConfigControl::kRestartBox};

}  // namespace sarvel
