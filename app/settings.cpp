#include "app/settings.h"

#include <array>
#include <utility>

#include "app/options.h"
#include "core/base/checked.h"
#include "core/base/number_text.h"
#include "core/report/procedure.h"

namespace sarvel {

std::string SettingsIo::Read(std::string_view key, std::string_view default_text) {
  return store_.Read(kStoreApp, kStoreSection, std::string(key), std::string(default_text));
}

void SettingsIo::Write(std::string_view key, const std::string& text) {
  store_.Write(kStoreApp, kStoreSection, std::string(key), text);
}

namespace {

// The rows in SaveConfig's order.
constexpr std::array<const SettingOption*, kSettingOptions.size()> SaveOrder() {
  std::array<const SettingOption*, kSettingOptions.size()> order{};
  for (size_t i = 0; i < order.size(); ++i) order[i] = &kSettingOptions[i];
  for (size_t i = 1; i < order.size(); ++i)
    for (size_t j = i; j > 0 && order[j]->save_line < order[j - 1]->save_line; --j)
      std::swap(order[j], order[j - 1]);
  return order;
}

}  // namespace

void SettingsIo::LoadConfig(SaverSettings& s) {
  Procedure p(reporter_, "Saver", "LoadConfig");
  const std::string sep = regional_.DecimalSeparator();
  size_t next = 0;
  // The stored keys numbered below `line`, each falling back to its default.
  auto load_below = [&](int32_t line) {
    for (; next < kSettingOptions.size() && kSettingOptions[next].load_line < line; ++next) {
      const SettingOption& o = kSettingOptions[next];
      p.StepOr(
          o.load_line, [&] { SetFromText(o, s, Read(o.key, o.default_text), sep); },
          [&] { SetFromText(o, s, o.default_text, "."); });
    }
  };
  load_below(kMinLeafLine);
  p.Step(kMinLeafLine, [&] { s.min_leaf = ToInt16(double(s.max_leaf) * 0.7); });
  load_below(kRandomBackgroundLine);
  p.Step(kRandomBackgroundLine, [&] {
    if (s.background_kind == kBackgroundRandom) s.random_background = true;
  });
}

void SettingsIo::SaveConfig(const SaverSettings& s) {
  Procedure p(reporter_, "Saver", "SaveConfig");
  const std::string sep = regional_.DecimalSeparator();
  static constexpr auto kSaveOrder = SaveOrder();
  for (const SettingOption* o : kSaveOrder) {
    if (o->save_line != 0) p.Step(o->save_line, [&] { Write(o->key, StoredText(*o, s, sep)); });
  }
}

void SettingsIo::WriteBackground(int16_t kind) {
  Write(OptionOf(&SaverSettings::background_kind).key, IntegerText(kind));
}

}  // namespace sarvel
