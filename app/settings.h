// The settings record and its stored form: one text value per key under
// application "Sarvel", section "Settings" of the per-user store.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ports/regional.h"
#include "core/ports/settings_store.h"
#include "core/report/error_reporter.h"

namespace sarvel {

struct SaverSettings {
  int16_t max_leaf = 0;
  int16_t min_leaf = 0;
  float leaf_speed = 0.0f;
  int16_t show_date = 0;
  int16_t show_time = 0;
  int16_t auto_restart = 0;
  int32_t restart_seconds = 0;
  int16_t background_kind = 0;
  bool random_background = false;
  std::string picture_file;
};

inline constexpr char kStoreApp[] = "Sarvel";
inline constexpr char kStoreSection[] = "Settings";

// Background kinds, numbered as the settings dialog offers them.
enum BackgroundKinds : int16_t {
  kBackgroundBlack = 1,
  kBackgroundBlue = 2,
  kBackgroundBrown = 3,
  kBackgroundDesktop = 4,
  kBackgroundPicture = 5,
  kBackgroundRandom = 6,
};

// Reads and writes the record. Failures are reported as module "Saver".
class SettingsIo {
 public:
  SettingsIo(SettingsStore& store, Regional& regional, ErrorReporter& reporter)
      : store_(store), regional_(regional), reporter_(reporter) {}

  // Fills every field. A stored text that is not a number, or does not fit
  // its field, is reported once; the field then takes its default.
  void LoadConfig(SaverSettings& s);
  // Writes every field but the background kind, in a fixed order.
  void SaveConfig(const SaverSettings& s);
  // The background group's immediate write; raises when the store fails.
  void WriteBackground(int16_t kind);

 private:
  std::string Read(std::string_view key, std::string_view default_text);
  void Write(std::string_view key, const std::string& text);

  SettingsStore& store_;
  Regional& regional_;
  ErrorReporter& reporter_;
};

}  // namespace sarvel
