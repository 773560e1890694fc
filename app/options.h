// Every stored setting, declared once: its key and stored form, the default
// for a missing key, the values the dialog gives it, the lines LoadConfig and
// SaveConfig number it with, the dialog control that shows it, the one-run
// option of the native program and the element of the hack description that
// passes that option. The loader, the dialog, the command line, --help and
// the tests all read this table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/background_kinds.h"
#include "app/settings.h"

namespace sarvel {

enum class StoredType : uint8_t { kInt16, kInt32, kSingle, kText };

// The field of the settings record a key fills.
struct SettingField {
  constexpr SettingField(int16_t SaverSettings::*f) : int16(f) {}
  constexpr SettingField(int32_t SaverSettings::*f) : int32(f) {}
  constexpr SettingField(float SaverSettings::*f) : single(f) {}
  constexpr SettingField(std::string SaverSettings::*f) : text(f) {}

  constexpr bool operator==(const SettingField&) const = default;
  constexpr StoredType type() const {
    return int16    ? StoredType::kInt16
           : int32  ? StoredType::kInt32
           : single ? StoredType::kSingle
                    : StoredType::kText;
  }

  int16_t SaverSettings::*int16 = nullptr;
  int32_t SaverSettings::*int32 = nullptr;
  float SaverSettings::*single = nullptr;
  std::string SaverSettings::*text = nullptr;
};

// How the settings dialog shows a field and takes it back at OK.
enum class DialogMapping : uint8_t {
  kLeafCountSlider,  // position (max_leaf - 2) * 12.5; back position * 0.08 + 2
  kSpeedSlider,      // position leaf_speed * 10; back position * 0.1
  kCheckBox,         // ticked when nonzero; back 1 or 0
  kRestartMinutes,   // whole minutes in the label, 100 - minutes on the spinner; back minutes * 60
  kBackgroundGroup,  // the option group and the Random box, written to the store at once
  kPicturePath,      // the path box; only the picture chooser sets the field
};

// How the native program takes a setting for one run.
enum class RunOptionForm : uint8_t {
  kNone,
  kNumber,        // -name VALUE within [low, high]; whole for an integer field
  kOnOff,         // -name stores 1, -no-name 0
  kMinutesOrOff,  // -name MINUTES: 0 stores 0; more stores 1 and MINUTES * 60 under `seconds_key`
  kChoice,        // -name WORD, the name of a background kind: its number
  kText,          // -name TEXT, stored as given
};

struct RunOption {
  RunOptionForm form = RunOptionForm::kNone;
  std::string_view name;        // without the dash
  std::string_view value_name;  // the value's placeholder in --help
  double low = 0, high = 0;
  std::string_view help;
  std::string_view seconds_key{};  // kMinutesOrOff: the key of the interval
};

// The element of the hack description (sarvel.xml) that passes the option.
enum class HackElement : uint8_t { kNone, kSlider, kSpinButton, kBoolean, kSelect, kFile };

struct HackXml {
  HackElement element = HackElement::kNone;
  std::string_view id;
  double low = 0, high = 0, default_value = 0;  // kSlider, kSpinButton
};

struct SettingOption {
  std::string_view key;
  SettingField field;
  std::string_view default_text;  // what a missing key reads as
  double low, high;               // the values the dialog produces
  std::optional<double> reset;    // what the dialog's Default shows; none: left as it is
  int32_t load_line;              // LoadConfig's step
  int32_t save_line;              // SaveConfig's step; 0: SaveConfig does not write it
  std::string_view control;       // the dialog control, by its design name
  DialogMapping mapping;
  RunOption run;
  HackXml xml;
};

// In LoadConfig's order. min_leaf (line 40) and random_background (line 110)
// are derived from these, not stored.
// clang-format off
inline constexpr std::array<SettingOption, 8> kSettingOptions = {{
  {"maxL", &SaverSettings::max_leaf, "10", 2, 10, 6, 20, 30, "HScroll(0)", DialogMapping::kLeafCountSlider,
   {RunOptionForm::kNumber, "count", "N", 1, 25, "quantity of leaves, 1 to 25 (the dialog offers 2 to 10)"},
   {HackElement::kSlider, "count", 2, 10, 10}},
  {"SpeedL", &SaverSettings::leaf_speed, "10", 0.1, 10, 5, 30, 20, "HScroll(1)", DialogMapping::kSpeedSlider,
   {RunOptionForm::kNumber, "speed", "S", 0.1, 10, "speed, 0.1 to 10"},
   {HackElement::kSlider, "speed", 0.1, 10, 10}},
  {"Date", &SaverSettings::show_date, "1", 0, 1, 1, 50, 40, "chkOpt(0)", DialogMapping::kCheckBox,
   {RunOptionForm::kOnOff, "date", "", 0, 1, "show the date or not"},
   {HackElement::kBoolean, "date"}},
  {"Time", &SaverSettings::show_time, "1", 0, 1, 1, 60, 50, "chkOpt(1)", DialogMapping::kCheckBox,
   {RunOptionForm::kOnOff, "time", "", 0, 1, "show the time or not"},
   {HackElement::kBoolean, "time"}},
  {"Restart", &SaverSettings::auto_restart, "1", 0, 1, 1, 70, 60, "chkOpt(2)", DialogMapping::kCheckBox,
   {RunOptionForm::kMinutesOrOff, "restart", "MINUTES", 0, 1440, "rebuild the scene every MINUTES; 0 turns it off",
    "rTime"},
   {HackElement::kSpinButton, "restart", 0, 1440, 10}},
  {"rTime", &SaverSettings::restart_seconds, "600", 60, 5940, 600, 80, 70, "lblTime", DialogMapping::kRestartMinutes,
   {}, {}},
  {"Background", &SaverSettings::background_kind, "4", kFirstBackgroundKind, kLastBackgroundKind, kBackgroundRandom,
   90, 0, "Frame1", DialogMapping::kBackgroundGroup,
   // --help lists the kinds' names from kBackgroundKinds
   {RunOptionForm::kChoice, "background", "KIND", kFirstBackgroundKind, kLastBackgroundKind, ""},
   {HackElement::kSelect, "background"}},
  {"PicFile", &SaverSettings::picture_file, "", 0, 0, std::nullopt, 100, 90, "txtFile", DialogMapping::kPicturePath,
   {RunOptionForm::kText, "picture", "FILE", 0, 0, "the picture for -background picture"},
   {HackElement::kFile, "picture"}},
}};
// clang-format on

inline constexpr int32_t kMinLeafLine = 40;
inline constexpr int32_t kRandomBackgroundLine = 110;

// The row of a field of the record.
template <class T>
consteval const SettingOption& OptionOf(T SaverSettings::*field) {
  for (const SettingOption& o : kSettingOptions)
    if (o.field == SettingField(field)) return o;
  throw "no option stores this field";
}

// The row whose one-run option is -name; null when there is none.
const SettingOption* OptionNamed(std::string_view run_option_name);

// A numeric field as a number, and a number into it (rounded, halves to the
// even neighbour; raises Err::kOverflow when it does not fit the field).
double NumberOf(const SettingOption& o, const SaverSettings& s);
void SetNumber(const SettingOption& o, SaverSettings& s, double value);

// The stored text of a field, and a stored text into it (raises as the
// settings texts do on a text that is not a number or does not fit).
std::string StoredText(const SettingOption& o, const SaverSettings& s,
                       std::string_view decimal_separator);
void SetFromText(const SettingOption& o, SaverSettings& s, std::string_view text,
                 std::string_view decimal_separator);

// The record as the dialog's Default shows it; fields Default leaves alone
// keep the values of `s`.
SaverSettings DefaultButtonSettings(const SaverSettings& s);

}  // namespace sarvel
